#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP ask the station to close (the main window runs the same query and
// unload stages as a close from the desktop). The handler only writes a byte into a pipe; the
// request is made from the event loop, where it is safe to run Qt code.
class ShutdownSignals : public QObject {
    Q_OBJECT

public:
    ShutdownSignals(QObject *parent, std::function<void()> closeRequest);
    ~ShutdownSignals() override;

    // False when the pipe or the handlers could not be set up (the signals then end the process
    // the default way).
    bool isInstalled() const { return m_notifier != nullptr; }

private:
    void onSignal();

    std::function<void()> m_closeRequest;
    QSocketNotifier *m_notifier = nullptr;
};
