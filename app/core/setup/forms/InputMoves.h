#pragma once

#include "Prompts.h"

#include <QString>

#include <optional>

// How the probe and analog setup dialogs go from one input to another: the spinner's arrows, a
// number typed into the current-number box, the move after Program with auto increment, and the
// question asked before edits would be left behind.
namespace setupforms {

enum class InputKind { Probe, Analog };

// Up is the next input, Down the previous one, Typed the number typed into the box.
enum class InputMove { Up, Down, Typed };

// The input a move from `current` ends on, in a set of `count` inputs (count >= 1). Probes wrap
// around at both ends; analog inputs stay on the first and the last. A typed number is taken
// when it lies in 1..count; anything else gives nothing (the dialog stays where it is).
std::optional<int> inputAfterMove(InputKind kind, InputMove move, int current, int count,
                                  int typed = 0);

// After Program with auto increment ticked: the next input, the first after the last (both
// dialogs).
int inputAfterProgram(int current, int count);

// What leaving an input does. Without edits the move goes ahead; with edits the operator's answer
// to leaveQuestion() decides: Yes programs first, No drops the edits, Cancel stays.
enum class InputLeaveStep { Go, ProgramThenGo, Stay };
InputLeaveStep leaveStep(bool edited, PromptAnswer answer);

// "Lvdt 3 has been modified\rSave changes" (probe) or "Analog 3 has been modified\rSave
// changes"; asked with Yes/No/Cancel and the question icon, titled with the input's description.
QString leaveQuestion(InputKind kind, int input);

// The input as a message names it: "probe 3", "analog input 3".
QString inputName(InputKind kind, int input);

// Why a typed input number is refused: "Probe must be a number from 1 to 8".
QString inputNumberProblem(InputKind kind, int count);

// Why the dialog cannot be used: the set is empty (one line).
QString emptySetReason(InputKind kind);

} // namespace setupforms
