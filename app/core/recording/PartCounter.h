#pragma once

#include "LogStatus.h"
#include "LogStore.h"
#include "PartRecord.h"

#include <QObject>
#include <QString>

#include <optional>

// The part counter as the main window shows it: parts, good, warn and reject since the last
// reset, and the yield. It changes only on the log's own answers (opened, a part committed, the
// counter reset), so it never counts a part the log did not keep; the log holds the counter, so
// it carries over a restart.
//
// Yield is the share of judged parts that passed: (good + warn) / (good + warn + reject). A warn
// part is within its tolerance, so it passed; a part whose channels have no limits is counted as
// a part but not judged, so it is left out of the yield.
namespace recording {

class PartCounter : public QObject {
    Q_OBJECT

public:
    explicit PartCounter(QObject *parent = nullptr);

    const measurelog::Counters &counters() const { return m_counters; }
    // 0 to 1; empty while no part has been judged.
    std::optional<double> yield() const;
    // "97.5 %", one decimal, or "–" while there is none.
    QString yieldText() const;

    // The writer's answers.
    void opened(const measurelog::LogStatus &status, const measurelog::Counters &counters);
    void committed(const measurelog::Committed &part);
    void countersReset(const measurelog::LogStatus &status, const measurelog::Counters &counters);

Q_SIGNALS:
    void changed();

private:
    void take(const measurelog::Counters &counters);

    measurelog::Counters m_counters;
};

} // namespace recording
