#pragma once

#include "qorlink.h"

#include <QString>

#include <functional>

class CommandLine;
class InstanceLock;
struct Station;

// How the start-up routine ended. Every outcome but Started ends the process at once.
enum class StartupOutcome { Started, AlreadyRunning, LinkLibraryMissing, Cancelled };

// The start-up routine that runs before any window: one instance only, product and paths, the
// help file, the start-up switches, the connection wizard when needed, the connect loop, the
// counts, scan time and averages, the start of the scan and the measurement objects. The main
// window is shown by the caller afterwards.
class StationStartup {
public:
    // showWizard shows the connection wizard modally and returns when it has closed.
    StationStartup(Station &state, const CommandLine &commandLine,
                   std::function<void()> showWizard);

    StartupOutcome run(const QString &programFolder, InstanceLock &lock);

    // The steps of run(), in their order.
    void setProductAndPaths(const QString &programFolder);
    void readStartupSwitches();
    // The wizard when no port is stored or it is asked for, then the connect loop; false when
    // the operator chose Cancel.
    bool connectUnit();
    void prepareUnit();

    // Opens the link from the stored Port and BaudRate; the handle, also kept in LinkHandle.
    QorHandle OpenUnitLink();

private:
    Station &m_state;
    const CommandLine &m_commandLine;
    std::function<void()> m_showWizard;
};

// "COM1" ... "COM6" give 1 ... 6, compared exactly; anything else 0.
int portNumberOf(const QString &port);
// "9600", "19200", "38400" and "57600" give that rate; anything else 0.
int baudRateOf(const QString &rate);
