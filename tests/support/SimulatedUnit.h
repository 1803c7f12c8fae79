#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// qorsim on a pseudo-terminal, logging every exchange; ready once it names its terminal on its
// first line of output, stopped by its process id.
class SimulatedUnit {
public:
    explicit SimulatedUnit(const QStringList &options = {});
    ~SimulatedUnit();
    SimulatedUnit(const SimulatedUnit &) = delete;
    SimulatedUnit &operator=(const SimulatedUnit &) = delete;

    // Whether the simulator program has been built beside the tests.
    static bool available();
    bool isRunning() const { return !m_device.isEmpty(); }
    QString device() const { return m_device; }
    // The requests of the exchange log, in order ("~YE 8\r" shown as "~YE 8").
    QStringList requests() const;
    // Ends the simulator now, as a pulled cable would.
    void stop();

private:
    QTemporaryDir m_folder;
    QProcess m_process;
    QString m_device;
};

// Lines of a qorsim exchange log reduced to their requests.
QStringList requestsOfLog(const QString &logFile);
