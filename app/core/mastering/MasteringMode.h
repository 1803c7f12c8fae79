#pragma once

#include <QString>

#include <cstdint>

// Whether a mastering dialog zeroes or masters. The main window's Zero and Master commands say
// it through the shared ZeroMode flag; each dialog takes its own copy when it is shown, so a
// command given while the dialog is open cannot change an open procedure midway, and the
// caption tells which procedure runs.
namespace procedures {

class MasteringMode {
public:
    static MasteringMode zero() { return MasteringMode(true); }
    static MasteringMode master() { return MasteringMode(false); }
    // The shared flag as the main window keeps it: true (-1, or any non-zero value) for Zero.
    static MasteringMode fromZeroModeFlag(int16_t zeroMode) { return MasteringMode(zeroMode != 0); }

    bool isZero() const { return m_zero; }
    // The flag's value for this mode: -1 for Zero, 0 for Master.
    int16_t zeroModeFlag() const { return m_zero ? int16_t{-1} : int16_t{0}; }

    // "Zero" or "Master".
    QString word() const;
    // The channel dialog's caption: "Zero Channels", or "Zero Channels by Group" when the main
    // window shows a group (view mode 1).
    QString channelDialogCaption(int viewMode) const;
    // The group dialog's caption: "Master Channels by Group".
    QString groupDialogCaption() const;
    // The master button of a channel that cannot be mastered: "Cannot Zero".
    QString cannotCaption() const;
    // The instruction after a one-press channel: "Zero completed." or "Master completed.".
    QString completedText() const;

    // Whether a channel takes a second master reading: only two-master channels in master mode.
    bool takesSecondMaster(bool usesTwoMasters) const { return !m_zero && usesTwoMasters; }
    // Whether the group procedure needs a second press: a master command on a group without
    // two-master channels runs as a one-press procedure, though its caption still says Master.
    bool groupTakesSecondPress(bool anyChannelUsesTwoMasters) const {
        return takesSecondMaster(anyChannelUsesTwoMasters);
    }

    bool operator==(const MasteringMode &) const = default;

private:
    explicit MasteringMode(bool zero) : m_zero(zero) {}
    bool m_zero;
};

} // namespace procedures
