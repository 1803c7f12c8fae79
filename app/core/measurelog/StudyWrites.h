#pragma once

#include "Sqlite.h"
#include "StudyRecord.h"

#include <QString>

// The statements that write gauge studies, prepared once on the log's writing connection. Each
// call runs inside a transaction its caller holds and throws SqliteError; what the log refuses
// for the study's own sake (a study it does not hold, a reading that does not fit the study)
// comes back as the reason, and the caller rolls back.
namespace measurelog {

class StudyWrites {
public:
    explicit StudyWrites(const SqliteDatabase &db);

    // The study with its channels; the record's uuid must be set. Returns the study's id.
    qint64 insertStudy(const StudyRecord &study);
    // The reading, with the earlier reading of its step, if any, marked replaced. Empty, or why
    // it was refused.
    QString insertReading(const StudyReadingRecord &reading);
    // Empty, or why the status was not set.
    QString setStatus(const QString &studyUuid, StudyStatus status);

private:
    SqliteStatement m_insertStudy, m_insertChannel, m_findStudy, m_replaceStep, m_insertValue,
        m_setStatus;
};

} // namespace measurelog
