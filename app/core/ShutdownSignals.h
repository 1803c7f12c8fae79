#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

// SIGTERM, SIGINT and SIGHUP ask the main window to close, running the same query and unload
// stages as a close from the desktop. The handler only writes a byte into a pipe; the window is
// asked from the event loop, where it is safe to run Qt code.
class ShutdownSignals : public QObject {
    Q_OBJECT

public:
    explicit ShutdownSignals(QWidget &mainWindow);
    ~ShutdownSignals() override;

    // False when the pipe or the handlers could not be set up (the signals then end the process
    // the default way).
    bool isInstalled() const { return m_notifier != nullptr; }

private:
    void onSignal();

    QWidget &m_mainWindow;
    QSocketNotifier *m_notifier = nullptr;
};
