#include "SpcCsv.h"
#include "HandWorkedChannel.h"
#include "MemorySpcSource.h"
#include "SpcExport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

using namespace spc;
using namespace handworked;

namespace {

SpcExportOptions options(const QString &file) {
    SpcExportOptions o;
    o.file = file;
    o.channel = Channel;
    o.subgroupSize = 2;
    o.baselineSubgroups = 3;
    return o;
}

QByteArray contents(const QString &file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(SpcCsv, SubgroupsThenLimitsThenCapabilityAsWorkedOutByHand) {
    MemorySpcSource source(QStringLiteral("line 3.qor"));
    fill(source);
    AnalysisSettings settings;
    settings.subgroupSize = 2;
    settings.baselineSubgroups = 3;
    SpcAnalysis analysis(source, source.channels().front(), settings);
    QString error;
    ASSERT_TRUE(analysis.load(&error));
    EXPECT_EQ(spcCsv(analysis), QByteArray(Expected));
}

TEST(SpcCsv, PendingLimitsAndMissingFiguresAreSaidInWords) {
    MemorySpcSource source(QStringLiteral("line"));
    source.addChannel({1, QStringLiteral("Coolant"), 2});
    for (int i = 0; i < 3; ++i)
        source.addPart(1, 20.0, StartMs + i);
    SpcAnalysis analysis(source, source.channels().front());
    QString error;
    ASSERT_TRUE(analysis.load(&error));
    const QString csv = QString::fromUtf8(spcCsv(analysis));
    EXPECT_TRUE(csv.startsWith(
        QStringLiteral("subgroup,first_part,last_part,time_utc,mean,range,violations\r\n\r\n")))
        << "no complete subgroup: no rows";
    EXPECT_TRUE(csv.contains(QStringLiteral("limits,pending,,\r\nlimits_set_at,,,\r\n"
                                            "limits_note,limits after 25 subgroups,,\r\n")));
    EXPECT_TRUE(csv.contains(QStringLiteral("\r\ncp,,,\r\n")));
    EXPECT_TRUE(csv.endsWith(QStringLiteral("capability_note,no tolerance,,\r\n")));
}

TEST(SpcExport, WritesTheWindowsFileAndSaysWhatItWrote) {
    QTemporaryDir folder;
    MemorySpcSource source(QStringLiteral("line 3.qor"));
    fill(source);
    const QString file = folder.filePath(QStringLiteral("spc.csv"));
    const SpcExportResult result = exportSpc(source, options(file));
    EXPECT_EQ(result.exitCode, SpcExportDone);
    EXPECT_EQ(result.message,
              QStringLiteral("Wrote %1: channel 7, 10 parts in 5 subgroups.").arg(file));
    EXPECT_EQ(contents(file), QByteArray(Expected));
    EXPECT_EQ(source.subgroupSize(Channel), DefaultSubgroupSize)
        << "a size asked for on the command line is not kept as the channel's";
}

TEST(SpcExport, FrozenLimitsServeUnlessABaselineIsAsked) {
    QTemporaryDir folder;
    MemorySpcSource source(QStringLiteral("line 3.qor"));
    fill(source);
    LimitValues values;
    values.plan = {2, ChartKind::XbarR};
    values.location = {9.0, 10.0, 11.0};
    values.spread = {0.0, 0.5, 1.0};
    values.baselineSubgroups = 4;
    QString error;
    ASSERT_TRUE(
        source.storeFrozenLimits({Channel, QStringLiteral("line 3.qor"),
                                  QDateTime(QDate(2024, 3, 1), QTime(7, 0), Qt::UTC), values},
                                 &error));
    const QString file = folder.filePath(QStringLiteral("frozen.csv"));
    SpcExportOptions frozen = options(file);
    frozen.baselineSubgroups.reset();
    ASSERT_EQ(exportSpc(source, frozen).exitCode, SpcExportDone);
    const QByteArray written = contents(file);
    EXPECT_TRUE(written.contains("limits,frozen,,\r\nlimits_set_at,2024-03-01T07:00:00.000Z,,"));
    EXPECT_TRUE(written.contains("mean_ucl,11.000,,"));
    EXPECT_TRUE(written.contains("5,9,10,2024-03-04T06:00:09.000Z,11.000,0.000,\r\n"))
        << "11.0 lies on the frozen UCL: on neither side";

    ASSERT_EQ(exportSpc(source, options(file)).exitCode, SpcExportDone);
    EXPECT_EQ(contents(file), QByteArray(Expected));
}

TEST(SpcExport, RefusesWhatCannotBeExportedAndWritesNothing) {
    QTemporaryDir folder;
    MemorySpcSource source(QStringLiteral("line 3.qor"));
    fill(source);
    const QString file = folder.filePath(QStringLiteral("out.csv"));
    const QDateTime march4(QDate(2024, 3, 4), QTime(6, 0), Qt::UTC);
    struct Case {
        const char *proves;
        std::function<void(SpcExportOptions &)> change;
        int exitCode;
        const char *message;
    };
    const std::vector<Case> cases{
        {"a channel the setup lacks", [](SpcExportOptions &o) { o.channel = 3; }, 2,
         "Channel 3 is not in the setup line 3.qor."},
        {"a subgroup size of 0", [](SpcExportOptions &o) { o.subgroupSize = 0; }, 2,
         "The subgroup size must be 1 to 25, not 0."},
        {"a subgroup size past 25", [](SpcExportOptions &o) { o.subgroupSize = 26; }, 2,
         "The subgroup size must be 1 to 25, not 26."},
        {"a baseline of one subgroup", [](SpcExportOptions &o) { o.baselineSubgroups = 1; }, 2,
         "The baseline needs at least 2 subgroups, not 1."},
        {"a range that ends before it starts",
         [&](SpcExportOptions &o) {
             o.since = march4.addDays(1);
             o.until = march4;
         },
         2, "The range starts after it ends."},
        {"a time that is not one", [](SpcExportOptions &o) { o.until = QDateTime(); }, 2,
         "A time of the range is not a valid date and time."},
        {"no file", [](SpcExportOptions &o) { o.file.clear(); }, 2,
         "No file is named to write the figures to."},
        {"no parts in the range", [&](SpcExportOptions &o) { o.since = march4.addDays(1); }, 1,
         "No parts of channel 7 are recorded in the range; nothing was written."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.proves);
        SpcExportOptions o = options(file);
        c.change(o);
        const SpcExportResult result = exportSpc(source, o);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(result.message, QString::fromUtf8(c.message));
        EXPECT_FALSE(QFile::exists(file));
    }

    const QString unwritable = folder.filePath(QStringLiteral("missing/out.csv"));
    const SpcExportResult noFolder = exportSpc(source, options(unwritable));
    EXPECT_EQ(noFolder.exitCode, SpcExportFailed);
    EXPECT_TRUE(noFolder.message.startsWith(unwritable + QStringLiteral(" cannot be created")));

    source.failWith(QStringLiteral("database is locked"));
    const SpcExportResult locked = exportSpc(source, options(file));
    EXPECT_EQ(locked.exitCode, SpcExportFailed);
    EXPECT_EQ(locked.message,
              QStringLiteral("The parts of channel 7 cannot be read: database is locked"));
}
