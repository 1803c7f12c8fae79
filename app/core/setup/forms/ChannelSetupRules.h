#pragma once

#include "Prompts.h"

#include <QString>

#include <optional>

// How the channel setup dialog moves between channels and what it asks before it leaves one.
namespace setupforms {

// Next: one up, or 1 from the last channel (or beyond it). Previous: one down, or the last
// channel from 1 (or below it). `count` is the channel count, at least 1.
int nextChannel(int current, int count);
int previousChannel(int current, int count);

// The channel a typed text names: a whole number from 1 to count, blanks around it allowed.
std::optional<int> typedChannel(const QString &text, int count);
// "Channel must be a whole number from 1 to 8."
QString typedChannelRefusal(int count);

// Leaving a channel (Next, Previous, a typed channel, a pick in a view, closing): without edits
// the dialog goes on at once; with edits it asks leavePromptText, titled with the channel's
// description, with Yes, No and Cancel.
enum class LeaveStep {
    GoOn,            // no edits, or No: the edits are dropped
    ProgramThenGoOn, // Yes: program the channel first; a refused field stops there
    Stay,            // Cancel: channel and edits stay as they are
};
LeaveStep leaveStep(bool edited, std::optional<PromptAnswer> answer = std::nullopt);
// "Channel 3 has been modified", a carriage return, "Save changes".
QString leavePromptText(int channel);

// The decimals box after a step of its spinner: up (+1) raises it while it is below 5, down (-1)
// lowers it while it is above 0; empty when the box stays as it is. A box that does not hold a
// whole number steps from 0.
std::optional<int> decimalsAfterStep(const QString &text, int step);

} // namespace setupforms
