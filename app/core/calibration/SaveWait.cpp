#include "SaveWait.h"

namespace procedures {

namespace {

constexpr int16_t StoreFinished = 1;

QString problemText(int16_t status) {
    return QStringLiteral("Problem saving to QOR '") + QString::number(status) + QLatin1Char('\'');
}

} // namespace

SaveDecision afterSaveStart(int32_t linkResult, int16_t status) {
    if (linkResult != 0 || status != 0)
        return {SaveProgress::Failed, QStringLiteral("Unable to initiate save operation")};
    return {SaveProgress::Waiting, {}};
}

SaveDecision afterSaveStatus(int poll, int32_t linkResult, int16_t first, int16_t second) {
    if (linkResult == 0 && first == StoreFinished) {
        if (second != 0)
            return {SaveProgress::Failed, problemText(second)};
        return {SaveProgress::Stored, {}};
    }
    if (poll < SaveStatusPolls)
        return {SaveProgress::Waiting, {}};
    const int seconds = static_cast<int>(
        std::chrono::duration_cast<std::chrono::seconds>(SaveStatusInterval * SaveStatusPolls)
            .count());
    return {SaveProgress::Failed,
            problemText(linkResult == 0 ? second : int16_t{0}) +
                QStringLiteral("\nThe unit did not finish storing its calibration within %1 "
                               "seconds.")
                    .arg(seconds)};
}

} // namespace procedures
