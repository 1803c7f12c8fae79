#pragma once

#include "Prompts.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <deque>
#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

// Answers message boxes from a queue (Ok when it runs dry) and remembers what was shown.
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        QString text;
        PromptButtons buttons;
        PromptIcon icon;
    };

    PromptAnswer message(const QString &text, PromptButtons buttons, PromptIcon icon,
                         const QString &) override {
        shown.push_back({text, buttons, icon});
        if (answers.empty())
            return PromptAnswer::Ok;
        const PromptAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &,
                         const QString &) override {
        return {};
    }
    void setParentWindow(QWidget *) override {}

    std::deque<PromptAnswer> answers;
    std::vector<Shown> shown;
};

// The simulated unit on a pseudo-terminal, started from the program folder and stopped with
// its process. device() is the terminal it serves, read from its first line of output.
class SimulatedUnit {
public:
    explicit SimulatedUnit(const QStringList &options = {});
    ~SimulatedUnit();
    SimulatedUnit(const SimulatedUnit &) = delete;
    SimulatedUnit &operator=(const SimulatedUnit &) = delete;

    // Whether the simulator program has been built beside the tests.
    static bool available();
    QString device() const { return m_device; }

private:
    QProcess m_process;
    QString m_device;
};

// A pseudo-terminal whose far end nobody reads or answers: a port that opens but stays silent.
class SilentTerminal {
public:
    SilentTerminal();
    ~SilentTerminal();
    SilentTerminal(const SilentTerminal &) = delete;
    SilentTerminal &operator=(const SilentTerminal &) = delete;
    QString device() const { return m_device; }

private:
    int m_master = -1;
    QString m_device;
};

// Points COM<port> at device through the environment for the lifetime of the object.
class PortOverride {
public:
    PortOverride(int port, const QString &device);
    ~PortOverride();
    PortOverride(const PortOverride &) = delete;
    PortOverride &operator=(const PortOverride &) = delete;

private:
    QByteArray m_name;
};
