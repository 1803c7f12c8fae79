#pragma once

#include "LinkSequence.h"
#include "SetupFileReader.h"
#include "SetupProgress.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class LinkScheduler;
class Prompts;
class SetupWindows;
class StationSetup;
class QWidget;

// The work of the File menu on setups: New, Open, Store, Save, Save As and the test load, the
// setup file named on the command line, and Save As when a changed setup is saved at exit.
//
// A file is read whole and checked before anything changes: a file that cannot be read, holds a
// line that cannot be read or sets a count the unit cannot take changes nothing (not the unit,
// not the station, not SetupFileName), and the message names the file, the line and what is
// wrong. A sound file becomes one sequence of exchanges run by the link scheduler, one exchange
// per turn of the event loop, with a progress window; so does a save. While one runs the file
// commands wait for it (the main window greys them out).
//
// New and Open ask the exit's questions before they throw anything away: first whether to drop
// edits an open setup dialog holds that were never programmed (No keeps them and does nothing),
// then about a changed setup: Yes saves under a name chosen in Save As and goes on only once that
// save has succeeded, No goes on, Cancel keeps everything. While the new setup replaces the old one
// the open dialogs wait, and then show the new one (SetupWindows::setupReplacing/setupReplaced).
// File dialogs open in the folder last used, else in the setups folder.
class SetupFileCommands : public QObject {
    Q_OBJECT

public:
    static constexpr const char *OpenFilter = "QOR Setups (*.qor);;All (*.*)";
    static constexpr const char *SaveFilter = "Qor Setups (*.qor);;All (*.*)";

    SetupFileCommands(StationSetup &setup, Prompts &prompts, LinkScheduler &scheduler,
                      SetupWindows &windows, QWidget *window);
    ~SetupFileCommands() override;

    void NewFile();
    void OpenFile();
    void SaveToQor();
    void SaveFile();
    void SaveAsFile();
    // A service command (its menu item is disabled): loads test.qor from the working folder.
    void LoadTest();

    // Loads the setup file named on the command line.
    void loadAtStart(const QString &fileName);
    // Save As for the exit question. False when nothing is saved (the dialog was cancelled);
    // otherwise `then` runs once the save has ended, whatever it did.
    bool saveAsThen(std::function<void()> then);

    // A load, save, new setup or store is under way.
    bool busy() const { return m_running > 0; }
    // The progress window of the work under way, if any.
    SetupProgress *progress() const { return m_progress; }
    // Where the next file dialog opens.
    QString dialogFolder() const;

Q_SIGNALS:
    // A load or save has started with a file name: File > Save is available from now on.
    void saveAvailable();
    void busyChanged(bool busy);

private:
    void afterSavingChanges(std::function<void()> next);
    bool load(const QString &fileName);
    // Runs a load or New: the windows are told before and after.
    void replaceSetup(LinkSequence sequence, SetupProgress *progress);
    bool saveAs(std::function<void(bool saved)> then);
    void save(const QString &fileName, std::function<void(bool saved)> then);
    SetupProgress *startProgress(const QString &task, bool cancellable);
    // Runs the sequence; the progress window (may be null) goes when it ends.
    void run(LinkSequence sequence, SetupProgress *progress);
    void rememberFolderOf(const QString &fileName);
    // Runs work from the event loop, outside the sequence step that asks for it.
    void later(std::function<void()> work);
    void countRunning(int change);

    StationSetup &m_setup;
    Prompts &m_prompts;
    LinkScheduler &m_scheduler;
    SetupWindows &m_windows;
    QWidget *m_window;
    QPointer<SetupProgress> m_progress;
    QString m_lastFolder;
    int m_running = 0; // sequences queued or under way
};

// The message for a setup file that cannot be loaded: the file, the line's number and text, and
// what is wrong with it; a file that cannot be read at all is named by the reason itself.
QString setupLoadFailureText(const QString &fileName, const setupfile::SetupReadError &error);
