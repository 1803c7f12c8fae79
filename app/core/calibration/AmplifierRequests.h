#pragma once

#include <QString>

#include <optional>
#include <vector>

// The requests the calibration dialog and the amplifier profiles send to the unit, as data: the
// dialog carries them out one by one and the tests compare them, so the order of the requests has
// one source.
namespace procedures {

// Each request is one export of the link library; the probe's full scale and zero offset go
// through its probe object, which calls QorReadTfsv / QorSetTfsv and QorReadTzero / QorSetTzero.
enum class AmpRequest {
    ReadLvdtGain,
    ReadLvdtFine,
    ReadLvdtNull,
    ReadFullScale,
    ReadZeroOffset,
    SetLvdtGain,
    SetLvdtFine,
    SetLvdtNull,
    SetFullScale,
    SetZeroOffset,
    SaveCalibration,
    GetSaveStatus,
};

struct AmpOperation {
    AmpRequest request;
    int probe = 0; // unused by SaveCalibration and GetSaveStatus
    // SetLvdtGain: the first (Rf) and second (Ri) gain settings; an empty one is sent as the
    // ReadLvdtGain just before it in the same exchange returned it, so that a move of one
    // setting keeps the other as the unit holds it. SetLvdtFine and SetLvdtNull: the value, in
    // `first`.
    std::optional<int> first;
    std::optional<int> second;
    float real = 0.0f; // SetFullScale, SetZeroOffset

    bool operator==(const AmpOperation &) const = default;
};

// Requests sent with the poll timer stopped, so that no poll request falls between them.
using AmpExchange = std::vector<AmpOperation>;

// A request without arguments beyond the probe: the reads, and the store requests (probe 0).
AmpOperation readRequest(AmpRequest request, int probe);
AmpOperation readGain(int probe);
AmpOperation setGain(int probe, std::optional<int> rf, std::optional<int> ri);
AmpOperation setFine(int probe, int fine);
AmpOperation setNull(int probe, int null);
AmpOperation setFullScale(int probe, float value);
AmpOperation setZeroOffset(int probe, float value);
// Storing the calibration: the start, then the status polls (see SaveWait.h).
AmpOperation saveCalibration();
AmpOperation getSaveStatus();

// "QorSetLvdtGain(3, 200, as read)": the request as the link library's call, for logs and
// test messages.
QString describe(const AmpOperation &operation);
QString describe(const AmpExchange &exchange);

} // namespace procedures
