// Every unit operation of the link as one row of a table that drives both protocols.
#pragma once

#include "qorlink.h"

#include <cstdint>

namespace qor {

enum class Op : uint8_t {
    DefineChannel,
    ReadFormula,
    ReadChannel,
    ClearAllChannels,
    ClearChannel,
    ResetMM,
    SetCzero,
    ReadCzero,
    SetCscale,
    ReadCscale,
    SetMaster1,
    ReadMaster1,
    SetMaster2,
    ReadMaster2,
    SetUse2Masters,
    ReadUse2Masters,
    SetChannelDesc,
    ReadChannelDesc,
    SetBarScaleTop,
    ReadBarScaleTop,
    SetBarScaleBottom,
    ReadBarScaleBottom,
    SetHiApproach,
    ReadHiApproach,
    SetHiTolerance,
    ReadHiTolerance,
    SetLoTolerance,
    ReadLoTolerance,
    SetLoApproach,
    ReadLoApproach,
    ReadDirectCopy,
    ReadLvdt,
    SetTfsv,
    ReadTfsv,
    SetTzero,
    ReadTzero,
    ReadAnalog,
    SetAfsv,
    ReadAfsv,
    SetAzero,
    ReadAzero,
    SetLvdtGain,
    ReadLvdtGain,
    SetLvdtFine,
    ReadLvdtFine,
    SetLvdtNull,
    ReadLvdtNull,
    SaveCalibration,
    GetSaveStatus,
    StartScan,
    StopScan,
    GetScanFlag,
    SetScanTime,
    GetScanTime,
    SetFpIn,
    GetFpIn,
    SetFpOut,
    GetFpOut,
    SetFpPrec,
    GetFpPrec,
    Set_muxTime,
    SetAdcAvg,
    GetAdcAvg,
    SetRunAvg,
    GetRunAvg,
    SetNumberOfChannels,
    GetNumberOfChannels,
    SetNumberOfProbes,
    GetNumberOfProbes,
    ReadVersion,
    SetFrequency,
    ReadFrequency,
    StoreFrequency,
    SaveSetup,
    LoadSetup,
    ResetSetup,
    ListFirstSetup,
    ListNextSetup,
    Count
};

// The arguments of one call: what the row's request and result columns refer to.
struct Arguments {
    int32_t number = 0; // channel, probe, input, index, count or the single value
    int32_t second = 0; // a second integer: switch, gain, fine gain, null, frequency value
    int32_t third = 0;  // the second gain setting
    const float *real = nullptr;
    const char *text = nullptr;
    const uint8_t *bytes = nullptr; // channel numbers of a direct copy
    void *out[2] = {nullptr, nullptr};
};

// Runs one operation on the connection behind handle: 260 for a bad handle, else the error
// number of the exchange (the error handler has then run once).
int32_t perform(QorHandle handle, Op op, const Arguments &arguments);

} // namespace qor
