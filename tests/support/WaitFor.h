#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

// Runs the event loop until done() holds or ms have passed; returns done(). The loop keeps the
// station's timers, the bus and the scheduler going while a test waits on them, and costs
// nothing extra while the test waits on another process.
template <typename F> bool waitFor(F done, int ms = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}
