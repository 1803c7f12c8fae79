#pragma once

#include "View.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>

// The station's command line. The start-up routine looks for its options (/COMMSETUP,
// /ENABLESETUP, /SPECIALCALIBRATE) anywhere in the whole line, ignoring case; the main window
// looks at whole words: /BARS, /NUMS, /LVDT, /CHAN, and a setup file name.
//
// The words are the program's arguments as the shell split them, so a file name with blanks stays
// one word. Only the first ten words count. A word is an option only when it is "/" followed by
// letters alone; every other word, an absolute path such as /home/op/line3.qor included, names a
// setup file, and the last one wins.
class CommandLine {
public:
    static constexpr int MaxWords = 10;

    CommandLine() = default;
    // arguments: without the program name.
    explicit CommandLine(QStringList arguments);

    const QStringList &arguments() const { return m_arguments; }
    bool isEmpty() const { return m_arguments.isEmpty(); }
    // The whole line, words joined by blanks.
    QString text() const { return m_arguments.join(QLatin1Char(' ')); }

    // Start-up options: a case-insensitive substring of the whole line ("/commsetupX" counts).
    bool containsStartupOption(const QString &option) const;

    // What the main window takes from the words.
    struct MainWindowOptions {
        bool bars = false;
        bool nums = false;
        std::optional<View> viewMode;
        QString setupFileName;
    };
    MainWindowOptions mainWindowOptions() const;

    static bool isOptionWord(const QString &word);

    // The exports for scripts, run before any window opens: `--export-log FILE`, `--export-spc
    // FILE` and `--export-study FILE`, one at a time, each with the options ScriptExports lists.
    // Each option takes the word after it whatever that word is (a file name may begin with "-");
    // all words count, not only the first ten.
    struct ScriptExport {
        QString command; // the export asked for, "--export-log"; empty when none is
        QString file;
        std::map<QString, QString> values; // each option given, with its word
        // Why the line is not a sound export (an option without its value, given twice, or
        // without its export; a word no option of the export takes; two exports); empty when it
        // is.
        QString mistake;

        // The option's word; empty when it was not given.
        QString value(const char *option) const;
        std::optional<QString> given(const char *option) const;
    };
    // Nothing when the line names none of the exports' options.
    std::optional<ScriptExport> scriptExport() const;

    // Answered before anything else runs.
    bool asksForHelp() const;
    bool asksForVersion() const;
    static QString usageText();

private:
    QStringList m_arguments;
};
