#pragma once

#include <QString>

#include <functional>
#include <vector>

// Requests that belong together (a dialog's Program, loading or saving a setup, mastering writes,
// a calibration exchange): run by the link scheduler one exchange per turn of the event loop,
// with no poll request between them.
class LinkSequence {
public:
    // One exchange with the unit; false stops the sequence there (the failure has already been
    // reported by the link error handler or by the step itself).
    using Exchange = std::function<bool()>;

    explicit LinkSequence(QString title = {}) : m_title(std::move(title)) {}

    // Reads that need no exclusive use of the line (a display's set-up): their steps take turns
    // with the poll's, so neither waits for the other to finish.
    void setSharesLineWithPoll(bool shares) { m_sharesLine = shares; }
    bool sharesLineWithPoll() const { return m_sharesLine; }

    void add(const QString &what, Exchange exchange) {
        m_steps.push_back({what, std::move(exchange)});
    }

    // Called after each step with the steps done, the steps in all and what the next one does.
    std::function<void(int done, int total, const QString &next)> progress;
    // Called once at the end: completed is false when a step stopped the sequence.
    std::function<void(bool completed)> finished;

    const QString &title() const { return m_title; }
    int size() const { return static_cast<int>(m_steps.size()); }
    const QString &what(int step) const { return m_steps[static_cast<size_t>(step)].what; }
    bool run(int step) const { return m_steps[static_cast<size_t>(step)].exchange(); }

private:
    struct Step {
        QString what;
        Exchange exchange;
    };
    QString m_title;
    std::vector<Step> m_steps;
    bool m_sharesLine = false;
};

// Runs sequences for whoever sends them (the link scheduler in the station): what a form that
// talks to the unit is handed instead of the scheduler itself.
class SequenceRunner {
public:
    virtual ~SequenceRunner() = default;
    // Queues a sequence behind those already queued.
    virtual void run(LinkSequence sequence) = 0;
};
