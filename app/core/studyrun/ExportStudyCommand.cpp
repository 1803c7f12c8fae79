#include "ExportStudyCommand.h"

#include "LogLocation.h"
#include "LogReader.h"
#include "StudyCsv.h"
#include "StudyPlan.h"
#include "TextFileStore.h"

#include <QDir>

namespace studyrun {

ExportStudyOutcome exportStudyCommand(const ExportStudyOptions &options) {
    if (options.file.isEmpty())
        return {StudyBadOption,
                QStringLiteral("--export-study: the name of the file to write is missing.")};
    bool isNumber = false;
    const qint64 id = options.study.toLongLong(&isNumber);
    if (options.study.isEmpty())
        return {StudyBadOption, QStringLiteral("--study: the study's number is missing.")};
    if (!isNumber || id <= 0)
        return {StudyBadOption,
                QStringLiteral("--study: \"%1\" is not a study's number.").arg(options.study)};

    const QString logPath =
        options.logPath.isEmpty() ? measurelog::defaultLogPath() : options.logPath;
    measurelog::LogReader reader(logPath);
    const measurelog::Read<std::optional<measurelog::StoredStudy>> read = reader.study(id);
    if (!read.ok())
        return {StudyNotWritten, read.failure};
    if (!read.value)
        return {StudyNotWritten, QStringLiteral("The measurement log %1 holds no study %2.")
                                     .arg(QDir::toNativeSeparators(logPath))
                                     .arg(id)};
    const Restored restored = restoreReadings(*read.value);
    if (!restored.readings)
        return {StudyNotWritten, restored.refusal};
    const QByteArray csv =
        studyCsv(*read.value, studyFigures(read.value->study, *restored.readings));
    if (const QString failure = textfile::saveFileBytes(options.file, csv); !failure.isEmpty())
        return {StudyNotWritten, failure};
    return {StudyWritten, QStringLiteral("Study %1 (%2, %3 of %4 readings) written to %5.")
                              .arg(id)
                              .arg(kindName(read.value->study.kind))
                              .arg(restored.readings->takenSteps())
                              .arg(read.value->study.readingCount())
                              .arg(QDir::toNativeSeparators(options.file))};
}

} // namespace studyrun
