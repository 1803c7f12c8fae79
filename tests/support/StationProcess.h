#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// The station program as the operator runs it, as a process of its own: offscreen, over private
// settings and runtime folders, COM1 mapped to port at 9600 baud. Its output goes where the
// test's goes, unless its standard error is asked to be kept for the test to read.
class StationProcess {
public:
    enum class ErrorOutput { Forwarded, Kept };

    // extra: further environment variables, e.g. another session bus address.
    StationProcess(const QString &program, const QString &port,
                   const QProcessEnvironment &extra = {},
                   ErrorOutput errors = ErrorOutput::Forwarded);
    ~StationProcess();
    StationProcess(const StationProcess &) = delete;
    StationProcess &operator=(const StationProcess &) = delete;

    // Sends signal and returns how long the station took to end, or -1 when it did not.
    qint64 endWith(int signal);
    int exitCode() const { return m_process.exitCode(); }
    bool crashed() const { return m_process.exitStatus() != QProcess::NormalExit; }
    QString iniFile() const;
    // The first line of the kept standard error that contains text, waiting up to ms for it;
    // empty when none came.
    QString waitForErrorLine(const QString &text, int ms);

private:
    QTemporaryDir m_home;
    QProcess m_process;
};
