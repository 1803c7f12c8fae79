#include "LinkScheduler.h"

#include "LinkRecovery.h"
#include "LinkSession.h"
#include "Prompts.h"

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

milliseconds nextTickDelay(Clock::time_point lastStart, Clock::time_point now,
                           milliseconds interval) {
    const auto due = lastStart + interval;
    if (due <= now)
        return milliseconds{0};
    return std::chrono::ceil<milliseconds>(due - now);
}

LinkScheduler::LinkScheduler(LinkSession &session, PollCycle &poll, Prompts &prompts,
                             QObject *parent)
    : QObject(parent), m_session(session), m_poll(poll), m_prompts(prompts) {
    m_timer.setSingleShot(true);
    m_timer.setObjectName(QStringLiteral("Timer1"));
    connect(&m_timer, &QTimer::timeout, this, &LinkScheduler::runOne);
}

void LinkScheduler::startPolling() {
    m_polling = true;
    m_nextTickAt = Clock::now();
    schedule();
}

void LinkScheduler::stopPolling() {
    m_polling = false;
    dropTick(false);
    schedule();
}

void LinkScheduler::run(LinkSequence sequence) {
    m_queue.push_back(std::move(sequence));
    schedule();
}

bool LinkScheduler::hasWorkNow() const {
    return sequenceUnderWay() || m_tick.has_value() ||
           (m_polling && Clock::now() >= m_nextTickAt) || m_session.ReopenRequested;
}

void LinkScheduler::schedule() {
    if (m_inStep)
        return; // the step under way schedules again when it returns
    if (hasWorkNow()) {
        // A zero timer fires once the events waiting (input, painting) have been handled.
        m_timer.start(0);
    } else if (m_polling) {
        m_timer.start(nextTickDelay(m_lastTickStart, Clock::now(), TickInterval));
    } else {
        m_timer.stop();
    }
}

void LinkScheduler::runOne() {
    if (m_inStep)
        return; // a link box's own event loop delivers this timer inside the step
    if (m_session.InLinkErrorHandler) {
        // A box of a call made outside the scheduler: look again once it may have closed.
        m_timer.start(BoxRecheck);
        return;
    }
    if (m_session.CloseRequested) {
        endForClose();
        return;
    }
    m_inStep = true;
    if (m_session.ReopenRequested) {
        reopenLink(m_session, m_prompts);
    } else if (pollsNext()) {
        if (!runTickStep())
            runSequenceStep();
        m_sequenceWentLast = false;
    } else {
        m_sequenceWentLast = runSequenceStep();
        if (!m_sequenceWentLast)
            runTickStep();
    }
    afterExchange();
    m_inStep = false;
    if (m_session.CloseRequested) {
        endForClose();
        return;
    }
    schedule();
}

void LinkScheduler::requestClose() {
    m_session.CloseRequested = true;
    m_prompts.dismissOpenBoxes();
    if (!m_inStep)
        m_timer.start(0);
}

void LinkScheduler::endForClose() {
    m_polling = false;
    dropTick(false);
    m_queue.clear();
    m_timer.stop();
    Q_EMIT closeRequested();
}

bool LinkScheduler::pollsNext() const {
    const LinkSequence *next = m_sequence        ? &*m_sequence
                               : m_queue.empty() ? nullptr
                                                 : &m_queue.front();
    if (next && !next->sharesLineWithPoll())
        return false;
    const bool tickWanted = m_tick.has_value() || (m_polling && Clock::now() >= m_nextTickAt);
    // A sequence that shares the line takes turns with the poll's steps.
    return tickWanted && (!next || m_sequenceWentLast);
}

bool LinkScheduler::runSequenceStep() {
    if (!m_sequence) {
        if (m_queue.empty())
            return false;
        m_sequence = std::move(m_queue.front());
        m_queue.pop_front();
        m_sequenceStep = 0;
    }
    const int total = m_sequence->size();
    const bool ok = m_sequenceStep < total && m_sequence->run(m_sequenceStep);
    ++m_sequenceStep;
    const bool done = !ok || m_sequenceStep >= total;
    if (m_sequence->progress)
        m_sequence->progress(m_sequenceStep, total,
                             done ? QString() : m_sequence->what(m_sequenceStep));
    if (done) {
        LinkSequence finished = std::move(*m_sequence);
        m_sequence.reset();
        if (finished.finished)
            finished.finished(ok || total == 0);
    }
    return true;
}

bool LinkScheduler::runTickStep() {
    if (!m_tick) {
        if (!m_polling || Clock::now() < m_nextTickAt)
            return false;
        m_lastTickStart = Clock::now();
        m_nextTickAt = m_lastTickStart + TickInterval;
        m_tick = m_poll.planTick();
        m_tickStep = 0;
    }
    // A view change drops what is left of a tick planned for the old view.
    if (m_poll.isCurrent(*m_tick) && m_tickStep < m_tick->steps.size()) {
        // The step runs from a copy of its own: a box it opens may stop the poll, which drops
        // the tick it came from while the step is still running.
        const std::function<void()> step = std::move(m_tick->steps[m_tickStep++]);
        step();
        ++m_pollSteps;
        if (!m_tick)
            return true;
    }
    if (!m_poll.isCurrent(*m_tick) || m_tickStep >= m_tick->steps.size()) {
        dropTick(m_tickStep >= m_tick->steps.size());
        Q_EMIT tickFinished();
    }
    return true;
}

void LinkScheduler::dropTick(bool complete) {
    if (!m_tick)
        return;
    const PollTick ended = std::move(*m_tick);
    m_tick.reset();
    m_poll.endTick(ended, complete);
}

void LinkScheduler::afterExchange() {
    if (m_session.ReopenRequested && !m_session.CloseRequested)
        reopenLink(m_session, m_prompts);
}
