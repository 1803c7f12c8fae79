#include "SetupFileCommands.h"

#include "LinkScheduler.h"
#include "Prompts.h"
#include "SetupFileStore.h"
#include "SetupFolder.h"
#include "SetupLoad.h"
#include "SetupProgress.h"
#include "SetupSave.h"
#include "SetupWindows.h"
#include "StationSetup.h"

#include <QFileInfo>
#include <QTimer>

#include <utility>

using setupfile::SetupReadError;
using setupfile::SetupReadResult;

namespace {

const QString SetupQuestion = QStringLiteral("Setup has been modified\rSave changes");
const QString NoFileName = QStringLiteral("No file name has been specified.");
const QString DefaultExtension = QStringLiteral("qor");
// The last line of the question about edits a setup dialog holds unprogrammed.
const QString NewQuestion = QStringLiteral("Start a new setup and drop them?");
const QString OpenQuestion = QStringLiteral("Open another setup and drop them?");

} // namespace

QString setupLoadFailureText(const QString &fileName, const SetupReadError &error) {
    if (error.lineNumber == 0)
        return error.reason;
    QString line = QStringLiteral("Line %1").arg(error.lineNumber);
    if (!error.lineText.isEmpty())
        line += QStringLiteral(" \"%1\"").arg(error.lineText);
    return QStringLiteral("%1 cannot be loaded:\r%2: %3.\rNothing has been changed.")
        .arg(fileName, line, error.reason);
}

SetupFileCommands::SetupFileCommands(StationSetup &setup, Prompts &prompts,
                                     LinkScheduler &scheduler, SetupWindows &windows,
                                     QWidget *window)
    : m_setup(setup), m_prompts(prompts), m_scheduler(scheduler), m_windows(windows),
      m_window(window) {}

SetupFileCommands::~SetupFileCommands() = default;

QString SetupFileCommands::dialogFolder() const {
    return m_lastFolder.isEmpty() ? setupsFolder() : m_lastFolder;
}

void SetupFileCommands::rememberFolderOf(const QString &fileName) {
    m_lastFolder = QFileInfo(fileName).absolutePath();
}

void SetupFileCommands::later(std::function<void()> work) {
    QTimer::singleShot(0, this, std::move(work));
}

void SetupFileCommands::countRunning(int change) {
    const bool wasBusy = busy();
    m_running += change;
    if (busy() != wasBusy)
        Q_EMIT busyChanged(busy());
}

// ---- the File menu ----------------------------------------------------------------------------

void SetupFileCommands::NewFile() {
    if (busy() || !m_windows.leaveUnprogrammedEdits(NewQuestion))
        return;
    afterSavingChanges([this] {
        LinkSequence sequence = m_setup.newSetup(setupsFolder());
        SetupProgress *progress = startProgress(sequence.title(), false);
        replaceSetup(std::move(sequence), progress);
    });
}

void SetupFileCommands::OpenFile() {
    if (busy() || !m_windows.leaveUnprogrammedEdits(OpenQuestion))
        return;
    afterSavingChanges([this] {
        const QString chosen = m_prompts.openFileName(QStringLiteral("Open"), dialogFolder(),
                                                      QLatin1String(OpenFilter));
        if (chosen.isEmpty())
            return;
        rememberFolderOf(chosen);
        load(chosen);
    });
}

void SetupFileCommands::SaveToQor() {
    if (busy() || !m_setup.unitPresent())
        return;
    m_prompts.message(QStringLiteral("QOR-128 System information is being stored. "));
    run(m_setup.storeInUnit(), nullptr);
}

void SetupFileCommands::SaveFile() {
    if (busy())
        return;
    save(m_setup.fileName(), {});
}

void SetupFileCommands::SaveAsFile() {
    if (busy())
        return;
    saveAs({});
}

void SetupFileCommands::LoadTest() {
    if (busy() || !m_windows.leaveUnprogrammedEdits(OpenQuestion))
        return;
    load(QStringLiteral("test.qor"));
}

void SetupFileCommands::loadAtStart(const QString &fileName) {
    load(fileName);
}

bool SetupFileCommands::saveAsThen(std::function<void()> then) {
    return saveAs([then = std::move(then)](bool) {
        if (then)
            then();
    });
}

// ---- the work behind them ---------------------------------------------------------------------

void SetupFileCommands::afterSavingChanges(std::function<void()> next) {
    if (!m_setup.changed()) {
        next();
        return;
    }
    const PromptAnswer answer =
        m_prompts.message(SetupQuestion, PromptButtons::YesNoCancel, PromptIcon::Question);
    if (answer == PromptAnswer::No) {
        next();
    } else if (answer == PromptAnswer::Yes) {
        // Only a setup that was saved may be thrown away; a cancelled Save As keeps everything.
        saveAs([next = std::move(next)](bool saved) {
            if (saved)
                next();
        });
    }
}

bool SetupFileCommands::load(const QString &name) {
    if (!m_setup.unitPresent())
        return false;
    // A name from the command line may be relative to the working folder: the setup keeps the
    // whole path, so Save writes where the file was read and the caption tells where that is.
    const QString fileName = name.isEmpty() ? name : QFileInfo(name).absoluteFilePath();
    const SetupReadResult read =
        setupfile::loadSetupFile(fileName, m_setup.valuesInForce(), &unitCountCheck);
    if (!read.document) {
        m_prompts.message(setupLoadFailureText(fileName, read.error), PromptButtons::Ok,
                          PromptIcon::Critical);
        return false;
    }
    for (const setupfile::SetupNotice &notice : read.notices)
        m_prompts.message(notice.text);
    Q_EMIT saveAvailable();
    SetupProgress *progress = startProgress(QStringLiteral("Loading %1").arg(fileName), false);
    replaceSetup(m_setup.load(read.entries, fileName), progress);
    return true;
}

void SetupFileCommands::replaceSetup(LinkSequence sequence, SetupProgress *progress) {
    sequence.finished = [this, finished = std::move(sequence.finished)](bool completed) {
        if (finished)
            finished(completed);
        // Also after a load that stopped part way: the unit and the sets are no longer the
        // setup the dialogs were showing.
        m_windows.setupReplaced();
    };
    run(std::move(sequence), progress);
    // Once the new setup is queued: whatever the dialogs read from now on comes after it.
    m_windows.setupReplacing();
}

bool SetupFileCommands::saveAs(std::function<void(bool saved)> then) {
    const QString kept = m_setup.fileName();
    QString chosen = m_prompts.saveFileName(QStringLiteral("Save As"), dialogFolder(),
                                            QLatin1String(SaveFilter), kept);
    if (chosen.isEmpty())
        return false;
    if (QFileInfo(chosen).suffix().isEmpty())
        chosen += QLatin1Char('.') + DefaultExtension;
    rememberFolderOf(chosen);
    m_setup.setFileName(chosen);
    save(chosen, [this, kept, then = std::move(then)](bool saved) {
        // The setup is not in a file that could not be written: the name stays the old one.
        if (!saved)
            m_setup.setFileName(kept);
        if (then)
            then(saved);
    });
    return true;
}

void SetupFileCommands::save(const QString &fileName, std::function<void(bool saved)> then) {
    if (fileName.isEmpty() || !m_setup.unitPresent()) {
        if (fileName.isEmpty())
            m_prompts.message(NoFileName);
        if (then)
            then(false);
        return;
    }
    Q_EMIT saveAvailable();
    m_prompts.message(
        QStringLiteral("QOR-128 Setup information (channels, probes and groups) is being "
                       "saved in: ") +
        fileName);
    SetupProgress *progress = startProgress(QStringLiteral("Saving %1").arg(fileName), true);
    LinkSequence sequence = m_setup.save(
        fileName, progress->cancelled(),
        [this, fileName, then = std::move(then)](const SetupSaveResult &result) {
            const bool saved = result.outcome == SetupSaveResult::Outcome::Saved;
            if (saved)
                m_windows.setCaption(m_setup.caption(fileName));
            later([this, result, saved, then] {
                if (result.outcome == SetupSaveResult::Outcome::Failed)
                    m_prompts.message(result.why + QStringLiteral("\rThe file is as it was."),
                                      PromptButtons::Ok, PromptIcon::Critical);
                if (then)
                    then(saved);
            });
        });
    run(std::move(sequence), progress);
}

SetupProgress *SetupFileCommands::startProgress(const QString &task, bool cancellable) {
    auto *progress = new SetupProgress(task, cancellable, m_window);
    m_progress = progress;
    return progress;
}

void SetupFileCommands::run(LinkSequence sequence, SetupProgress *progress) {
    const QPointer<SetupProgress> shown(progress);
    if (progress) {
        sequence.progress = [shown](int done, int total, const QString &next) {
            if (shown)
                shown->step(done, total, next);
        };
    }
    sequence.finished = [this, shown, finished = std::move(sequence.finished)](bool completed) {
        if (shown) {
            shown->hide();
            shown->deleteLater();
        }
        if (finished)
            finished(completed);
        countRunning(-1);
    };
    countRunning(+1);
    m_scheduler.run(std::move(sequence));
}
