#pragma once

#include <QString>

// `qorview --export-study FILE --study ID`: a study's figures and raw readings as CSV for
// scripts, with no window. The options arrive as the command line gave them.
namespace studyrun {

struct ExportStudyOptions {
    QString file;
    QString study;   // the study's id as typed
    QString logPath; // the log to read; empty for the station's default location
};

// Exit codes as the log's export has them: 0 written, 1 the log or the study could not be read or
// the file not written, 2 an option is wrong (nothing is read or written then).
enum ExportStudyExit { StudyWritten = 0, StudyNotWritten = 1, StudyBadOption = 2 };

struct ExportStudyOutcome {
    int exitCode = StudyWritten;
    QString message; // one line for the terminal, on success too
};

ExportStudyOutcome exportStudyCommand(const ExportStudyOptions &options);

} // namespace studyrun
