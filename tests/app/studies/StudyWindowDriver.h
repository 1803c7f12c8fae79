#pragma once

#include "GaugeStudyWindow.h"
#include "LogWriter.h"
#include "ScriptedPrompts.h"
#include "ScriptedReadingSource.h"
#include "StudyLayout.h"

#include <QString>
#include <QStringList>

#include <functional>

// What an operator does with the gauge study window, through its widgets: set up a study, take
// the readings the prompts ask for, open the report. The window, its log writer, a scripted
// reading source and the prompts live here.
class StudyWindowDriver {
public:
    explicit StudyWindowDriver(const QString &logPath);

    // Sets up a gauge R&R of the channels (of the source's) with the counts and names given, and
    // starts it; empty, or the set-up page's message.
    QString startRr(const std::vector<int> &channels, int parts, int appraisers, int trials,
                    const QString &names);
    // Sets up a type-1 study and starts it; empty, or the set-up page's message.
    QString startType1(int channelIndex, double reference, int repeats);
    // Until the study is complete: `place` puts the step's part in the gauge (a tick of the
    // source), then Take Reading is clicked and the log's commit awaited. False when a reading
    // is refused or never stored.
    bool takeEveryReading(const std::function<void(const studies::StudyStep &)> &place);
    // Clicks Take Reading and waits for the log; false when refused or never stored.
    bool takeOne();

    studyrun::ScriptedReadingSource source;
    ScriptedPrompts prompts;
    measurelog::LogWriter writer;
    GaugeStudyWindow window;
};
