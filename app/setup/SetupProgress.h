#pragma once

#include <QElapsedTimer>
#include <QProgressDialog>

#include <memory>

// The progress window of a setup's load or save: what is being done to which file, and the step
// under way, moved on by the sequence's own steps. It shows itself only when the work lasts more
// than half a second. A save may be cancelled (nothing changes until its file is written); a load
// programs the unit and runs to its end, so it has no Cancel and cannot be closed.
class SetupProgress : public QProgressDialog {
    Q_OBJECT

public:
    static constexpr int ShowAfterMs = 500;

    SetupProgress(const QString &task, bool cancellable, QWidget *parent = nullptr);

    // After each step: steps done, steps in all, and what the next step does; shown at most ten
    // times a second, and always for the first and the last step.
    void step(int done, int total, const QString &next);
    // Set once the operator has cancelled.
    std::shared_ptr<const bool> cancelled() const { return m_cancelled; }
    bool cancellable() const { return m_cancellable; }

public Q_SLOTS:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QString m_task;
    bool m_cancellable;
    QElapsedTimer m_lastShown;
    std::shared_ptr<bool> m_cancelled = std::make_shared<bool>(false);
};
