// The exported interface: each export checks what it can and hands over to one row of the
// operation table.
#include "qorlink.h"

#include "connection.h"
#include "errors.h"
#include "operations.h"

using qor::Arguments;
using qor::Op;
using qor::perform;

namespace {

int32_t number_op(QorHandle h, Op op, int32_t number) {
    return perform(h, op, {.number = number});
}

int32_t real_op(QorHandle h, Op op, int32_t number, const float *value) {
    return perform(h, op, {.number = number, .real = value});
}

int32_t out_op(QorHandle h, Op op, int32_t number, void *out) {
    return perform(h, op, {.number = number, .out = {out, nullptr}});
}

} // namespace

extern "C" {

QOR_API QorInfo *QORAPI QorInitInfoStructure(int32_t port, int32_t baud, int32_t protocol,
                                             QorErrorHandler handler) {
    return qor::init_info(port, baud, protocol, handler);
}

QOR_API QorHandle QORAPI QorOpen(QorInfo *info) {
    return qor::open_connection(info);
}

QOR_API int32_t QORAPI QorClose(QorHandle h) {
    return qor::close_connection(h);
}

QOR_API int32_t QORAPI QorSetErrorHandler(QorHandle h, QorErrorHandler handler) {
    QorConnection *connection = qor::checked(h);
    if (connection == nullptr) {
        return qor::kInvalidHandle;
    }
    connection->handler = handler != nullptr ? handler : qor::default_error_handler;
    return qor::kOk;
}

QOR_API int32_t QORAPI QorDecodeError(QorHandle h, int32_t *error, char *text) {
    const QorConnection *connection = qor::checked(h);
    if (connection == nullptr) {
        return qor::kInvalidHandle;
    }
    if (error != nullptr) {
        *error = connection->error;
    }
    if (text != nullptr) {
        qor::describe_error(connection->error, text);
    }
    return qor::kOk;
}

// ---- Channels ----------------------------------------------------------------------------

QOR_API int32_t QORAPI QorDefineChannel(QorHandle h, int32_t channel, const char *formula) {
    return perform(h, Op::DefineChannel, {.number = channel, .text = formula});
}
QOR_API int32_t QORAPI QorReadFormula(QorHandle h, int32_t channel, char *text) {
    return out_op(h, Op::ReadFormula, channel, text);
}
QOR_API int32_t QORAPI QorReadChannel(QorHandle h, int32_t channel, float *value) {
    return out_op(h, Op::ReadChannel, channel, value);
}
QOR_API int32_t QORAPI QorClearAllChannels(QorHandle h) {
    return number_op(h, Op::ClearAllChannels, 0);
}
QOR_API int32_t QORAPI QorClearChannel(QorHandle h, int32_t channel) {
    return number_op(h, Op::ClearChannel, channel);
}
QOR_API int32_t QORAPI QorResetMM(QorHandle h) {
    return number_op(h, Op::ResetMM, 0);
}

QOR_API int32_t QORAPI QorSetCzero(QorHandle h, int32_t channel, const float *value) {
    return real_op(h, Op::SetCzero, channel, value);
}
QOR_API int32_t QORAPI QorReadCzero(QorHandle h, int32_t channel, float *value) {
    return out_op(h, Op::ReadCzero, channel, value);
}
QOR_API int32_t QORAPI QorSetCscale(QorHandle h, int32_t channel, const float *value) {
    return real_op(h, Op::SetCscale, channel, value);
}
QOR_API int32_t QORAPI QorReadCscale(QorHandle h, int32_t channel, float *value) {
    return out_op(h, Op::ReadCscale, channel, value);
}
QOR_API int32_t QORAPI QorSetMaster1(QorHandle h, int32_t channel, const float *value) {
    return real_op(h, Op::SetMaster1, channel, value);
}
QOR_API int32_t QORAPI QorReadMaster1(QorHandle h, int32_t channel, float *value) {
    return out_op(h, Op::ReadMaster1, channel, value);
}
QOR_API int32_t QORAPI QorSetMaster2(QorHandle h, int32_t channel, const float *value) {
    return real_op(h, Op::SetMaster2, channel, value);
}
QOR_API int32_t QORAPI QorReadMaster2(QorHandle h, int32_t channel, float *value) {
    return out_op(h, Op::ReadMaster2, channel, value);
}
QOR_API int32_t QORAPI QorSetBarScaleTop(QorHandle h, int32_t channel, const float *value) {
    return real_op(h, Op::SetBarScaleTop, channel, value);
}
QOR_API int32_t QORAPI QorReadBarScaleTop(QorHandle h, int32_t channel, float *value) {
    return out_op(h, Op::ReadBarScaleTop, channel, value);
}
QOR_API int32_t QORAPI QorSetBarScaleBottom(QorHandle h, int32_t channel, const float *value) {
    return real_op(h, Op::SetBarScaleBottom, channel, value);
}
QOR_API int32_t QORAPI QorReadBarScaleBottom(QorHandle h, int32_t channel, float *value) {
    return out_op(h, Op::ReadBarScaleBottom, channel, value);
}
QOR_API int32_t QORAPI QorSetHiApproach(QorHandle h, int32_t channel, const float *value) {
    return real_op(h, Op::SetHiApproach, channel, value);
}
QOR_API int32_t QORAPI QorReadHiApproach(QorHandle h, int32_t channel, float *value) {
    return out_op(h, Op::ReadHiApproach, channel, value);
}
QOR_API int32_t QORAPI QorSetHiTolerance(QorHandle h, int32_t channel, const float *value) {
    return real_op(h, Op::SetHiTolerance, channel, value);
}
QOR_API int32_t QORAPI QorReadHiTolerance(QorHandle h, int32_t channel, float *value) {
    return out_op(h, Op::ReadHiTolerance, channel, value);
}
QOR_API int32_t QORAPI QorSetLoTolerance(QorHandle h, int32_t channel, const float *value) {
    return real_op(h, Op::SetLoTolerance, channel, value);
}
QOR_API int32_t QORAPI QorReadLoTolerance(QorHandle h, int32_t channel, float *value) {
    return out_op(h, Op::ReadLoTolerance, channel, value);
}
QOR_API int32_t QORAPI QorSetLoApproach(QorHandle h, int32_t channel, const float *value) {
    return real_op(h, Op::SetLoApproach, channel, value);
}
QOR_API int32_t QORAPI QorReadLoApproach(QorHandle h, int32_t channel, float *value) {
    return out_op(h, Op::ReadLoApproach, channel, value);
}
QOR_API int32_t QORAPI QorSetUse2Masters(QorHandle h, int32_t channel, int32_t useTwo) {
    return perform(h, Op::SetUse2Masters, {.number = channel, .second = useTwo});
}
QOR_API int32_t QORAPI QorReadUse2Masters(QorHandle h, int32_t channel, int32_t *useTwo) {
    return out_op(h, Op::ReadUse2Masters, channel, useTwo);
}
QOR_API int32_t QORAPI QorSetChannelDesc(QorHandle h, int32_t channel, const char *text) {
    return perform(h, Op::SetChannelDesc, {.number = channel, .text = text});
}
QOR_API int32_t QORAPI QorReadChannelDesc(QorHandle h, int32_t channel, char *text) {
    return out_op(h, Op::ReadChannelDesc, channel, text);
}
QOR_API int32_t QORAPI QorReadDirectCopy(QorHandle h, int32_t count, const uint8_t *channels,
                                         int16_t *results) {
    return perform(h, Op::ReadDirectCopy,
                   {.number = count, .bytes = channels, .out = {results, nullptr}});
}

// ---- Probes and analog inputs ------------------------------------------------------------

QOR_API int32_t QORAPI QorReadLvdt(QorHandle h, int32_t probe, float *value) {
    return out_op(h, Op::ReadLvdt, probe, value);
}
QOR_API int32_t QORAPI QorSetTfsv(QorHandle h, int32_t probe, const float *value) {
    return real_op(h, Op::SetTfsv, probe, value);
}
QOR_API int32_t QORAPI QorReadTfsv(QorHandle h, int32_t probe, float *value) {
    return out_op(h, Op::ReadTfsv, probe, value);
}
QOR_API int32_t QORAPI QorSetTzero(QorHandle h, int32_t probe, const float *value) {
    return real_op(h, Op::SetTzero, probe, value);
}
QOR_API int32_t QORAPI QorReadTzero(QorHandle h, int32_t probe, float *value) {
    return out_op(h, Op::ReadTzero, probe, value);
}
QOR_API int32_t QORAPI QorReadAnalog(QorHandle h, int32_t input, float *value) {
    return out_op(h, Op::ReadAnalog, input, value);
}
QOR_API int32_t QORAPI QorSetAfsv(QorHandle h, int32_t input, const float *value) {
    return real_op(h, Op::SetAfsv, input, value);
}
QOR_API int32_t QORAPI QorReadAfsv(QorHandle h, int32_t input, float *value) {
    return out_op(h, Op::ReadAfsv, input, value);
}
QOR_API int32_t QORAPI QorSetAzero(QorHandle h, int32_t input, const float *value) {
    return real_op(h, Op::SetAzero, input, value);
}
QOR_API int32_t QORAPI QorReadAzero(QorHandle h, int32_t input, float *value) {
    return out_op(h, Op::ReadAzero, input, value);
}
QOR_API int32_t QORAPI QorSetLvdtGain(QorHandle h, int32_t probe, int32_t first, int32_t second) {
    return perform(h, Op::SetLvdtGain, {.number = probe, .second = first, .third = second});
}
QOR_API int32_t QORAPI QorReadLvdtGain(QorHandle h, int32_t probe, uint8_t *first,
                                       uint8_t *second) {
    return perform(h, Op::ReadLvdtGain, {.number = probe, .out = {first, second}});
}
QOR_API int32_t QORAPI QorSetLvdtFine(QorHandle h, int32_t probe, int32_t fine) {
    return perform(h, Op::SetLvdtFine, {.number = probe, .second = fine});
}
QOR_API int32_t QORAPI QorReadLvdtFine(QorHandle h, int32_t probe, int16_t *fine) {
    return out_op(h, Op::ReadLvdtFine, probe, fine);
}
QOR_API int32_t QORAPI QorSetLvdtNull(QorHandle h, int32_t probe, int32_t null) {
    return perform(h, Op::SetLvdtNull, {.number = probe, .second = null});
}
QOR_API int32_t QORAPI QorReadLvdtNull(QorHandle h, int32_t probe, int16_t *null) {
    return out_op(h, Op::ReadLvdtNull, probe, null);
}
QOR_API int32_t QORAPI QorSaveCalibration(QorHandle h, int16_t *status) {
    return out_op(h, Op::SaveCalibration, 0, status);
}
QOR_API int32_t QORAPI QorGetSaveStatus(QorHandle h, int16_t *first, int16_t *second) {
    return perform(h, Op::GetSaveStatus, {.out = {first, second}});
}

// ---- Scan and unit settings --------------------------------------------------------------

QOR_API int32_t QORAPI QorStartScan(QorHandle h) {
    return number_op(h, Op::StartScan, 0);
}
QOR_API int32_t QORAPI QorStopScan(QorHandle h) {
    return number_op(h, Op::StopScan, 0);
}
QOR_API int32_t QORAPI QorGetScanFlag(QorHandle h, int16_t *flag) {
    return out_op(h, Op::GetScanFlag, 0, flag);
}
QOR_API int32_t QORAPI QorSetScanTime(QorHandle h, int32_t value) {
    return number_op(h, Op::SetScanTime, value);
}
QOR_API int32_t QORAPI QorGetScanTime(QorHandle h, int16_t *value) {
    return out_op(h, Op::GetScanTime, 0, value);
}
QOR_API int32_t QORAPI QorSetFpIn(QorHandle h, int32_t value) {
    return number_op(h, Op::SetFpIn, value);
}
QOR_API int32_t QORAPI QorGetFpIn(QorHandle h, int16_t *value) {
    return out_op(h, Op::GetFpIn, 0, value);
}
QOR_API int32_t QORAPI QorSetFpOut(QorHandle h, int32_t value) {
    return number_op(h, Op::SetFpOut, value);
}
QOR_API int32_t QORAPI QorGetFpOut(QorHandle h, int16_t *value) {
    return out_op(h, Op::GetFpOut, 0, value);
}
QOR_API int32_t QORAPI QorSetFpPrec(QorHandle h, int32_t value) {
    return number_op(h, Op::SetFpPrec, value);
}
QOR_API int32_t QORAPI QorGetFpPrec(QorHandle h, int16_t *value) {
    return out_op(h, Op::GetFpPrec, 0, value);
}
QOR_API int32_t QORAPI QorSet_muxTime(QorHandle h, int32_t value) {
    return number_op(h, Op::Set_muxTime, value);
}
QOR_API int32_t QORAPI QorSetAdcAvg(QorHandle h, int32_t value) {
    return number_op(h, Op::SetAdcAvg, value);
}
QOR_API int32_t QORAPI QorGetAdcAvg(QorHandle h, int16_t *value) {
    return out_op(h, Op::GetAdcAvg, 0, value);
}
QOR_API int32_t QORAPI QorSetRunAvg(QorHandle h, int32_t value) {
    return number_op(h, Op::SetRunAvg, value);
}
QOR_API int32_t QORAPI QorGetRunAvg(QorHandle h, int16_t *value) {
    return out_op(h, Op::GetRunAvg, 0, value);
}
QOR_API int32_t QORAPI QorSetNumberOfChannels(QorHandle h, int32_t value) {
    return number_op(h, Op::SetNumberOfChannels, value);
}
QOR_API int32_t QORAPI QorGetNumberOfChannels(QorHandle h, int16_t *value) {
    return out_op(h, Op::GetNumberOfChannels, 0, value);
}
QOR_API int32_t QORAPI QorSetNumberOfProbes(QorHandle h, int32_t value) {
    return number_op(h, Op::SetNumberOfProbes, value);
}
QOR_API int32_t QORAPI QorGetNumberOfProbes(QorHandle h, int16_t *value) {
    return out_op(h, Op::GetNumberOfProbes, 0, value);
}
QOR_API int32_t QORAPI QorReadVersion(QorHandle h, char *text) {
    return out_op(h, Op::ReadVersion, 0, text);
}
QOR_API int32_t QORAPI QorSetFrequency(QorHandle h, int32_t index, int32_t value) {
    return perform(h, Op::SetFrequency, {.number = index, .second = value});
}
QOR_API int32_t QORAPI QorReadFrequency(QorHandle h, int32_t index, int32_t *value) {
    return out_op(h, Op::ReadFrequency, index, value);
}
QOR_API int32_t QORAPI QorStoreFrequency(QorHandle h, int32_t index, int32_t value) {
    return perform(h, Op::StoreFrequency, {.number = index, .second = value});
}

// ---- Setups stored in the unit -----------------------------------------------------------

QOR_API int32_t QORAPI QorSaveSetup(QorHandle h, const char *name) {
    return perform(h, Op::SaveSetup, {.text = name});
}
QOR_API int32_t QORAPI QorLoadSetup(QorHandle h, const char *name) {
    return perform(h, Op::LoadSetup, {.text = name});
}
QOR_API int32_t QORAPI QorResetSetup(QorHandle h) {
    return number_op(h, Op::ResetSetup, 0);
}
QOR_API int32_t QORAPI QorListFirstSetup(QorHandle h, char *text) {
    return out_op(h, Op::ListFirstSetup, 0, text);
}
QOR_API int32_t QORAPI QorListNextSetup(QorHandle h, char *text) {
    return out_op(h, Op::ListNextSetup, 0, text);
}

} // extern "C"
