#pragma once

#include "LinkLibrary.h"
#include "Prompts.h"
#include "Settings.h"
#include "StationState.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <vector>

// Answers the station's boxes from a script and remembers every box it was shown.
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        QString text;
        PromptButtons buttons;
        PromptIcon icon;
        QString title;
    };

    PromptAnswer message(const QString &text, PromptButtons buttons, PromptIcon icon,
                         const QString &title) override;
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &,
                         const QString &) override {
        return {};
    }
    void setParentWindow(QWidget *) override {}

    // Answers in order; when they run out, Ok (Retry for Retry/Cancel boxes, Yes for questions).
    std::deque<PromptAnswer> answers;
    // Runs while a box is "open", before it is answered.
    std::function<void()> whileShown;
    std::vector<Shown> shown;
};

// A station state over fresh per-test settings and runtime folders, with the real link library.
class StationFixture {
public:
    StationFixture();
    ~StationFixture();

    // Opens the link to the stand-in USB unit (in-process), with qorsim options (e.g. "--preset
    // demo --log FILE"), and prepares the unit as start-up does (counts, scan, objects).
    void connectStandIn(const QString &options = QStringLiteral("--preset demo"));

    QString configFolder() const { return m_config.path(); }
    QString runtimeFolder() const { return m_runtime.path(); }
    QString tempPath(const QString &name) const { return m_config.filePath(name); }

    ScriptedPrompts prompts;
    SettingsStore settings;
    LinkLibrary link;
    StationState state{link, prompts, settings};

private:
    QTemporaryDir m_config;
    QTemporaryDir m_runtime;
};

// qorsim on a pseudo-terminal, logging every exchange; stopped by its process id.
class SimulatedUnit {
public:
    explicit SimulatedUnit(const QStringList &extraArguments = {});
    ~SimulatedUnit();

    bool isRunning() const { return !m_device.isEmpty(); }
    QString device() const { return m_device; }
    // The requests of the exchange log, in order ("~YE 8\r" shown as "~YE 8").
    QStringList requests() const;

private:
    QTemporaryDir m_folder;
    QProcess m_process;
    QString m_device;
};

// A pseudo-terminal whose far end never answers; it ends with the process that made it, also in a
// death test's child.
class MutePty {
public:
    MutePty();
    ~MutePty();
    QString device() const { return m_device; }
    // Everything written to the device so far.
    QByteArray received();

private:
    int m_master = -1;
    QString m_device;
};

// Lines of a qorsim exchange log reduced to their requests.
QStringList requestsOfLog(const QString &logFile);
