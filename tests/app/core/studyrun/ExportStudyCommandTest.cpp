#include "ExportStudyCommand.h"
#include "PublishedExample.h"
#include "StudyTestParts.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace studyrun {
namespace {

using studies::example::agreesWithPrinted;

class ExportStudyCommandTest : public ::testing::Test {
protected:
    QString path(const QString &name) const { return m_folder.filePath(name); }
    QString logPath() const { return path(QStringLiteral("measurements.sqlite")); }

    QTemporaryDir m_folder;
};

QByteArray contents(const QString &file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The published example stored as a study comes out with its printed figures, each reading in
// the order taken, and the study's set-up.
TEST_F(ExportStudyCommandTest, AStudysFiguresAndReadingsAreWritten) {
    const qint64 id = testing::storePublishedStudy(logPath());
    ASSERT_GT(id, 0);
    const QString file = path(QStringLiteral("study.csv"));
    const ExportStudyOutcome outcome = exportStudyCommand({file, QString::number(id), logPath()});
    EXPECT_EQ(outcome.exitCode, StudyWritten) << outcome.message.toStdString();
    EXPECT_EQ(
        outcome.message,
        QStringLiteral("Study %1 (gauge R&R, 90 of 90 readings) written to %2.").arg(id).arg(file));

    const QList<QByteArray> lines = contents(file).split('\n');
    ASSERT_GT(lines.size(), 100);
    EXPECT_EQ(lines[0], "key,value\r");
    EXPECT_EQ(lines[1], QByteArray("study,") + QByteArray::number(id) + "\r");
    EXPECT_TRUE(lines.contains("kind,gauge-rr\r"));
    EXPECT_TRUE(lines.contains("appraisers,A;B;C\r"));
    EXPECT_TRUE(lines.contains("created_utc,2024-03-04T06:00:00.000Z\r"));
    const auto figure = [&](const char *method, const char *name) -> double {
        const QByteArray prefix = QByteArray("1,") + method + ',' + name + ',';
        for (const QByteArray &line : lines)
            if (line.startsWith(prefix))
                return line.mid(prefix.size()).trimmed().toDouble();
        ADD_FAILURE() << "no " << prefix.constData();
        return 0.0;
    };
    EXPECT_TRUE(agreesWithPrinted(figure("anova", "ev_sigma"), "0.199933"));
    EXPECT_TRUE(agreesWithPrinted(figure("anova", "pv_sigma"), "1.042327"));
    EXPECT_TRUE(agreesWithPrinted(figure("anova", "interaction_p"), "0.974"));
    EXPECT_EQ(figure("anova", "interaction_pooled"), 1.0);
    EXPECT_EQ(figure("anova", "ndc"), 4.0);
    EXPECT_TRUE(agreesWithPrinted(figure("average-range", "grr_percent_of_total"), "26.68"));
    EXPECT_EQ(figure("average-range", "k1"), 0.5908);

    const qsizetype header = lines.indexOf(
        "sequence,time_utc,appraiser,appraiser_name,part,trial,channel,value,replaced\r");
    ASSERT_GT(header, 0);
    EXPECT_EQ(lines.size() - header - 2, 90) << "one row a reading, then the last line's end";
    EXPECT_TRUE(lines[header + 1].startsWith("1,2024-03-04T06:00:00.000Z,"))
        << lines[header + 1].constData();
    EXPECT_TRUE(lines[header + 1].endsWith(",0\r"));
}

// Exit codes as the log's export has them; nothing is written unless the study is.
TEST_F(ExportStudyCommandTest, EachFailureHasItsExitCodeAndWritesNothing) {
    const qint64 id = testing::storePublishedStudy(logPath());
    const QString garbage = path(QStringLiteral("garbage.sqlite"));
    {
        QFile file(garbage);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    const QString file = path(QStringLiteral("out.csv"));
    const QString study = QString::number(id);
    const struct {
        const char *legend;
        ExportStudyOptions options;
        int exitCode;
        QString message;
    } cases[] = {
        {"no file named",
         {{}, study, logPath()},
         StudyBadOption,
         QStringLiteral("--export-study: the name of the file to write is missing.")},
        {"no study named",
         {file, {}, logPath()},
         StudyBadOption,
         QStringLiteral("--study: the study's number is missing.")},
        {"a study that is no number",
         {file, QStringLiteral("first"), logPath()},
         StudyBadOption,
         QStringLiteral("--study: \"first\" is not a study's number.")},
        {"study 0",
         {file, QStringLiteral("0"), logPath()},
         StudyBadOption,
         QStringLiteral("--study: \"0\" is not a study's number.")},
        {"a study the log does not hold",
         {file, QStringLiteral("99"), logPath()},
         StudyNotWritten,
         QStringLiteral("The measurement log %1 holds no study 99.").arg(logPath())},
        {"a log that does not exist",
         {file, study, path(QStringLiteral("none.sqlite"))},
         StudyNotWritten,
         QStringLiteral("The measurement log %1 holds no study %2.")
             .arg(path(QStringLiteral("none.sqlite")))
             .arg(id)},
        {"a log that is no database", {file, study, garbage}, StudyNotWritten, {}},
        {"a folder that does not exist",
         {path(QStringLiteral("missing/out.csv")), study, logPath()},
         StudyNotWritten,
         {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        const ExportStudyOutcome outcome = exportStudyCommand(c.options);
        EXPECT_EQ(outcome.exitCode, c.exitCode);
        if (!c.message.isEmpty()) {
            EXPECT_EQ(outcome.message, c.message);
        } else {
            EXPECT_FALSE(outcome.message.isEmpty());
        }
        EXPECT_FALSE(QFile::exists(file));
    }
}

} // namespace
} // namespace studyrun
