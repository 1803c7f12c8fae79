#include "ChannelSetupRules.h"

#include "ChannelSetupFields.h"

namespace setupforms {

int nextChannel(int current, int count) {
    return current >= count ? 1 : current + 1;
}

int previousChannel(int current, int count) {
    return current <= 1 ? count : current - 1;
}

std::optional<int> typedChannel(const QString &text, int count) {
    bool whole = false;
    const int channel = text.trimmed().toInt(&whole);
    if (!whole || channel < 1 || channel > count)
        return std::nullopt;
    return channel;
}

QString typedChannelRefusal(int count) {
    return QStringLiteral("Channel must be a whole number from 1 to %1.").arg(count);
}

LeaveStep leaveStep(bool edited, std::optional<PromptAnswer> answer) {
    if (!edited)
        return LeaveStep::GoOn;
    switch (answer.value_or(PromptAnswer::Cancel)) {
    case PromptAnswer::Yes:
        return LeaveStep::ProgramThenGoOn;
    case PromptAnswer::No:
        return LeaveStep::GoOn;
    default:
        return LeaveStep::Stay;
    }
}

QString leavePromptText(int channel) {
    return QStringLiteral("Channel ") + QString::number(channel) +
           QStringLiteral(" has been modified") + QLatin1Char('\r') +
           QStringLiteral("Save changes");
}

std::optional<int> decimalsAfterStep(const QString &text, int step) {
    bool whole = false;
    const int typed = text.trimmed().toInt(&whole);
    const int decimals = whole ? typed : 0;
    if (step > 0)
        return decimals < MaxDecimals ? std::optional(decimals + 1) : std::nullopt;
    return decimals > MinDecimals ? std::optional(decimals - 1) : std::nullopt;
}

} // namespace setupforms
