#pragma once

#include "BrokerSession.h"
#include "LinkState.h"
#include "PlantLinkConfig.h"
#include "SessionThread.h"

#include <QObject>

#include <memory>

namespace plantlink {

// The settings dialog's Test: one connection attempt with the settings as entered, on a thread
// of its own, so the window stays live while a broker takes its time to answer. The outcome
// arrives as finished() on this object's thread; a new start() or the end of this object drops
// the attempt under way, which then reports nothing.
class LinkTest : public QObject {
    Q_OBJECT
public:
    explicit LinkTest(QObject *parent = nullptr);
    ~LinkTest() override;

    void start(const PlantLinkConfig &config);
    // Drops the attempt under way, which then reports nothing.
    void cancel();
    bool isRunning() const { return m_running; }

Q_SIGNALS:
    void finished(const plantlink::LinkState &outcome);

private:
    struct Gate;
    void finish(quint64 attempt, const LinkState &outcome);

    bool m_running = false;
    quint64 m_attempt = 0;
    std::shared_ptr<Gate> m_gate;
    SessionThread m_session;
};

// A test attempt's session: a client id of its own (the station's with "-test"), so a running
// link is not pushed off the broker, and no session kept on the broker.
SessionOptions testSessionOptions(const PlantLinkConfig &config);
// Runs the session until the broker answered (then leaves at once) or the attempt failed.
LinkState runTestAttempt(BrokerSession &session, const PlantLinkConfig &config);

} // namespace plantlink
