#pragma once

#include "AmplifierRequests.h"
#include "AmplifierSettings.h"

#include <vector>

// The calibration of one probe while the calibration dialog is open: the scroll-bar positions,
// what the unit holds as far as the dialog has changed it, and the values Cancel puts back. Each
// control move returns the exchange to send, so the dialog only carries it out.
//
// Opening only reads. Every move is sent at once; a position that does not change sends nothing.
// Cancel puts back in the unit every setting the dialog changed, full scale and zero offset
// included, as they were read at opening (or as the last profile load left them).
namespace procedures {

struct ProbeCalibration {
    AmplifierSettings amplifier;
    float fullScale = 1.0f;
    float zeroOffset = 0.0f;

    bool operator==(const ProbeCalibration &) const = default;
};

class CalibrationSession {
public:
    // Read when the dialog opens, in this order: both gain settings, fine gain, null, full
    // scale, zero offset.
    static AmpExchange openRequests(int probe);

    // `read`: what the open requests returned.
    CalibrationSession(int probe, const ProbeCalibration &read);

    int probe() const { return m_probe; }
    // The scroll bars: as read, except a fine gain or null out of its range shows as 0.
    const AmplifierSettings &positions() const { return m_positions; }
    // The unit's calibration as the dialog last read or sent it.
    const ProbeCalibration &unit() const { return m_unit; }
    const ProbeCalibration &baseline() const { return m_baseline; }
    // The entry of the gain range box.
    int gainRange() const { return m_gainRange; }
    bool riScrollBarShown() const;
    float gain() const;

    // A scroll bar moved to a position (taken at the nearer end of its range when beyond it).
    // Coarse gain and Ri read both gain settings first and send the other one as read.
    AmpExchange moveCoarse(int rf);
    AmpExchange moveRi(int ri);
    AmpExchange moveFine(int fine);
    AmpExchange moveNull(int null);
    // A range entry chosen: its Ri goes to the Ri scroll bar, which sends it when it moves.
    AmpExchange selectGainRange(int index);
    // The full scale or offset box left with a checked number.
    AmpExchange changeFullScale(float value);
    AmpExchange changeZeroOffset(float value);

    // The settings of a loaded profile for this probe: each one the unit holds differently is
    // sent as the file gives it, in the order Ri, coarse gain, fine gain, null, also when its
    // scroll bar cannot show it (the bar then stands at its nearer end). The range box follows
    // the new Ri.
    std::vector<AmpExchange> loadSettings(const AmplifierSettings &settings);

    // Cancel: one exchange per setting the unit holds differently from the baseline, in the order
    // Ri, coarse gain, fine gain, null, full scale, zero offset. The scroll bars and the range box
    // go back to the baseline.
    std::vector<AmpExchange> cancel();

    // The unit's present calibration becomes what Cancel puts back (after a profile load).
    void adoptUnitAsBaseline() { m_baseline = m_unit; }

private:
    // One exchange per amplifier setting the unit holds differently from `target`, in the order
    // Ri, coarse gain, fine gain, null; the gain settings each keep the other one as read.
    std::vector<AmpExchange> amplifierToward(const AmplifierSettings &target) const;

    int m_probe;
    ProbeCalibration m_baseline;
    ProbeCalibration m_unit;
    AmplifierSettings m_positions;
    int m_gainRange;
};

} // namespace procedures
