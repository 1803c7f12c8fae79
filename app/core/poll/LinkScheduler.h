#pragma once

#include "LinkSequence.h"
#include "PollCycle.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <deque>
#include <optional>

class Prompts;
struct LinkSession;

// When the next tick starts: one interval after the last one started, or at once when the last
// tick took longer than that (ticks never overlap and never wait idle behind a long one).
std::chrono::milliseconds nextTickDelay(std::chrono::steady_clock::time_point lastStart,
                                        std::chrono::steady_clock::time_point now,
                                        std::chrono::milliseconds interval);

// Every exchange the station makes with the unit in the background goes through here, one per
// turn of the event loop, so the window never waits for more than one exchange: the poll's ticks
// every 400 ms and the sequences of requests that dialogs and files send. A sequence waits only
// for the exchange under way, then runs to its end with no poll request between its requests.
// While a link box is open nothing is sent; after a box answered with Retry the link is opened
// again before the next exchange.
class LinkScheduler : public QObject, public SequenceRunner {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds TickInterval{400};

    LinkScheduler(LinkSession &session, PollCycle &poll, Prompts &prompts,
                  QObject *parent = nullptr);

    // The poll's ticks; the first starts at once.
    void startPolling();
    void stopPolling();
    bool isPolling() const { return m_polling; }

    void run(LinkSequence sequence) override;
    bool sequenceUnderWay() const { return m_sequence.has_value() || !m_queue.empty(); }

    // Asks the station to close although a link box may be open: the box is dismissed, the
    // failed call returns, nothing more is sent and closeRequested follows.
    void requestClose();

    // Poll steps run since the scheduler was made (each at most one exchange).
    long pollSteps() const { return m_pollSteps; }

Q_SIGNALS:
    void tickFinished();
    // A close was asked for with requestClose(); no exchange is under way any more.
    void closeRequested();

private:
    static constexpr std::chrono::milliseconds BoxRecheck{50};

    void runOne();
    void endForClose();
    bool runSequenceStep();
    // Whether the poll's step goes before a sequence's in this turn.
    bool pollsNext() const;
    bool runTickStep();
    // The tick under way ends (complete: every step ran, else it was dropped) and the poll hears
    // of it.
    void dropTick(bool complete);
    void afterExchange();
    void schedule();
    bool hasWorkNow() const;

    LinkSession &m_session;
    PollCycle &m_poll;
    Prompts &m_prompts;
    QTimer m_timer;
    bool m_polling = false;
    bool m_inStep = false;
    std::chrono::steady_clock::time_point m_lastTickStart{};
    std::chrono::steady_clock::time_point m_nextTickAt{};
    std::optional<PollTick> m_tick;
    size_t m_tickStep = 0;
    std::deque<LinkSequence> m_queue;
    std::optional<LinkSequence> m_sequence;
    int m_sequenceStep = 0;
    bool m_sequenceWentLast = false;
    long m_pollSteps = 0;
};
