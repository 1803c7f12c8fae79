#pragma once

#include "View.h"

#include <QString>
#include <QStringList>

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

    // `--export-study FILE --study ID`: a gauge study's figures and readings written as CSV for
    // scripts, run before any window opens. Each option takes the word after it whatever that
    // word is; all words count, not only the first ten.
    struct ExportStudy {
        QString file;
        QString study;
        // Why the line is not a sound export (an option without its value or given twice, --study
        // without --export-study, a word neither takes); empty when it is.
        QString mistake;
    };
    // Nothing when the line names neither option.
    std::optional<ExportStudy> exportStudy() const;

    // Answered before anything else runs.
    bool asksForHelp() const;
    bool asksForVersion() const;
    static QString usageText();

private:
    QStringList m_arguments;
};
