#include "InputMoves.h"

#include "TypedNumbers.h"

namespace setupforms {

std::optional<int> inputAfterMove(InputKind kind, InputMove move, int current, int count,
                                  int typed) {
    if (count < 1)
        return std::nullopt;
    const bool wraps = kind == InputKind::Probe;
    switch (move) {
    case InputMove::Up:
        if (current >= count)
            return wraps ? 1 : count;
        return current + 1;
    case InputMove::Down:
        if (current <= 1)
            return wraps ? count : 1;
        return current - 1;
    case InputMove::Typed:
        if (typed >= 1 && typed <= count)
            return typed;
        return std::nullopt;
    }
    return std::nullopt;
}

int inputAfterProgram(int current, int count) {
    return current >= count ? 1 : current + 1;
}

InputLeaveStep leaveStep(bool edited, PromptAnswer answer) {
    if (!edited)
        return InputLeaveStep::Go;
    switch (answer) {
    case PromptAnswer::Yes:
        return InputLeaveStep::ProgramThenGo;
    case PromptAnswer::No:
        return InputLeaveStep::Go;
    default:
        return InputLeaveStep::Stay;
    }
}

QString leaveQuestion(InputKind kind, int input) {
    const QString word =
        kind == InputKind::Probe ? QStringLiteral("Lvdt ") : QStringLiteral("Analog ");
    return word + QString::number(input) + QStringLiteral(" has been modified") +
           QLatin1Char('\r') + QStringLiteral("Save changes");
}

QString inputName(InputKind kind, int input) {
    return (kind == InputKind::Probe ? QStringLiteral("probe %1")
                                     : QStringLiteral("analog input %1"))
        .arg(input);
}

QString inputNumberProblem(InputKind kind, int count) {
    const QString word =
        kind == InputKind::Probe ? QStringLiteral("Probe") : QStringLiteral("Analog");
    return word + QStringLiteral(" must be a number ") + rangeWords(1, count) + QLatin1Char('.');
}

QString emptySetReason(InputKind kind) {
    return kind == InputKind::Probe
               ? QStringLiteral("No probes: set their number in Setup > System.")
               : QStringLiteral("No analog inputs: set their number in Setup > System.");
}

} // namespace setupforms
