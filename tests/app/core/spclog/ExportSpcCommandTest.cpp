#include "ExportSpcCommand.h"
#include "LogStore.h"
#include "SampleParts.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace spclog {
namespace {

const QString LaterSetup = QStringLiteral("line 4, shaft.qor");

class ExportSpcCommandTest : public ::testing::Test {
protected:
    QString path(const char *name) const { return m_folder.filePath(QLatin1String(name)); }

    // 40 parts of the sample setup, then 30 of a later one: the station runs the later one now.
    void record() {
        std::vector<measurelog::PartRecord> parts;
        for (int seed = 1; seed <= 40; ++seed)
            parts.push_back(measurelog::samplePart(seed, 3, measurelog::SampleSetup, true));
        for (int seed = 41; seed <= 70; ++seed)
            parts.push_back(measurelog::samplePart(seed, 2, LaterSetup, true));
        measurelog::LogStore store(path("log.sqlite"));
        ASSERT_TRUE(store.open().isReady());
        for (const auto &outcome : store.record(parts))
            ASSERT_TRUE(outcome.committed.has_value());
    }

    ExportSpcOptions options() const {
        ExportSpcOptions o;
        o.file = path("spc.csv");
        o.channel = QStringLiteral("1");
        o.subgroup = QStringLiteral("5");
        o.logPath = path("log.sqlite");
        return o;
    }

    QString written() const {
        QFile file(path("spc.csv"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir m_folder;
};

TEST_F(ExportSpcCommandTest, ChartsTheNewestPartsSetupUnlessOneIsNamed) {
    record();
    const measurelog::CommandOutcome newest = exportSpcCommand(options());
    ASSERT_EQ(newest.exitCode, measurelog::ExportWritten) << newest.message.toStdString();
    EXPECT_TRUE(written().contains(QStringLiteral("setup,\"") + LaterSetup + QLatin1Char('"')));
    EXPECT_TRUE(written().contains(QStringLiteral("\nparts,30,")));

    ExportSpcOptions named = options();
    named.setup = measurelog::SampleSetup;
    ASSERT_EQ(exportSpcCommand(named).exitCode, measurelog::ExportWritten);
    EXPECT_TRUE(written().contains(QStringLiteral("\nparts,40,")));

    named.channel = QStringLiteral("3");
    named.setup = LaterSetup;
    const measurelog::CommandOutcome missing = exportSpcCommand(named);
    EXPECT_EQ(missing.exitCode, measurelog::ExportBadOption)
        << "the later setup recorded two channels only";
    EXPECT_TRUE(missing.message.contains(LaterSetup)) << missing.message.toStdString();
}

TEST_F(ExportSpcCommandTest, AWrongOptionReadsAndWritesNothing) {
    record();
    struct Row {
        const char *what;
        QString ExportSpcOptions::*option;
        const char *value;
        const char *said;
    };
    const Row rows[] = {
        {"no channel", &ExportSpcOptions::channel, "", "--channel N"},
        {"a channel in words", &ExportSpcOptions::channel, "one", "\"one\" is not a whole number"},
        {"a subgroup out of range", &ExportSpcOptions::subgroup, "26", "1 to 25"},
        {"a baseline too short", &ExportSpcOptions::baseline, "1", "at least"},
        {"a time that is none", &ExportSpcOptions::since, "yesterday", "\"yesterday\""},
        {"no file", &ExportSpcOptions::file, "", "file to write is missing"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        ExportSpcOptions o = options();
        o.*(row.option) = QLatin1String(row.value);
        const measurelog::CommandOutcome outcome = exportSpcCommand(o);
        EXPECT_EQ(outcome.exitCode, measurelog::ExportBadOption);
        EXPECT_TRUE(outcome.message.contains(QLatin1String(row.said)))
            << outcome.message.toStdString();
        EXPECT_FALSE(QFile::exists(path("spc.csv")));
    }
}

TEST_F(ExportSpcCommandTest, ALogWithoutPartsOrARangeWithoutThemFails) {
    ExportSpcOptions o = options();
    const measurelog::CommandOutcome empty = exportSpcCommand(o);
    EXPECT_EQ(empty.exitCode, measurelog::ExportFailed);
    EXPECT_TRUE(empty.message.contains(QStringLiteral("holds no parts")))
        << empty.message.toStdString();

    record();
    o.since = QStringLiteral("2099-01-01");
    const measurelog::CommandOutcome none = exportSpcCommand(o);
    EXPECT_EQ(none.exitCode, measurelog::ExportFailed);
    EXPECT_FALSE(QFile::exists(path("spc.csv")));
}

} // namespace
} // namespace spclog
