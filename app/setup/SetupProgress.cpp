#include "SetupProgress.h"

#include "StationIcon.h"

#include <QCloseEvent>

namespace {

constexpr int WidthPx = 460;
// Laying the label out again costs more than a short exchange at the unit's line rate does, so
// the window takes at most ten of a sequence's steps a second (and always its first and last).
constexpr qint64 RefreshMs = 100;

} // namespace

SetupProgress::SetupProgress(const QString &task, bool cancellable, QWidget *parent)
    : QProgressDialog(parent), m_task(task), m_cancellable(cancellable) {
    setObjectName(QStringLiteral("SetupProgress"));
    setWindowTitle(QStringLiteral("QorView"));
    setWindowIcon(stationIcon());
    setWindowModality(Qt::WindowModal);
    setMinimumWidth(WidthPx);
    setAutoClose(false);
    setAutoReset(false);
    setMinimumDuration(ShowAfterMs);
    if (cancellable)
        connect(this, &QProgressDialog::canceled, this, [this] { *m_cancelled = true; });
    else
        setCancelButton(nullptr);
    setLabelText(m_task);
    // The first value starts the clock of the half second.
    setValue(0);
}

void SetupProgress::step(int done, int total, const QString &next) {
    if (m_lastShown.isValid() && !m_lastShown.hasExpired(RefreshMs) && done < total)
        return;
    m_lastShown.start();
    setMaximum(total);
    setLabelText(next.isEmpty() ? m_task : m_task + QLatin1Char('\n') + next);
    setValue(done);
}

void SetupProgress::reject() {
    if (m_cancellable)
        Q_EMIT canceled();
}

void SetupProgress::closeEvent(QCloseEvent *event) {
    if (!m_cancellable) {
        event->ignore();
        return;
    }
    QProgressDialog::closeEvent(event);
}
