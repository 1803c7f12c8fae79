#pragma once

#include "AmplifierRequests.h"
#include "CalibrationSession.h"
#include "LinkSequence.h"

#include <cstdint>
#include <memory>

struct LinkSession;

// Carries out the calibration's requests: each request of an exchange becomes one step of a link
// sequence, so the scheduler sends them one per turn of the event loop and no poll request falls
// between them.
namespace procedures {

// What the steps read, for the steps after them and for the sequence's end.
struct AmpReadings {
    ProbeCalibration probe; // the reads of the last probe read
    int lastProbe = 0;      // the probe of the last request that went out
    int32_t saveResult = 0; // the library's result of the last store request
    int16_t saveStatus = 0; // QorSaveCalibration's status
    int16_t firstSaveStatus = 0;
    int16_t secondSaveStatus = 0;
};

// Adds one step per request of `exchange`. A read or a setting the library reports as failed ends
// the sequence (the error handler has shown why); the store requests always go on, their results
// are judged by the store's wait.
void addExchange(LinkSequence &sequence, LinkSession &session, const AmpExchange &exchange,
                 std::shared_ptr<AmpReadings> readings);

} // namespace procedures
