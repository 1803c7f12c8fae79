#include "SetupFileStore.h"
#include "SetupFileWriter.h"
#include "SetupTestText.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

using namespace setupfile;

namespace {

QByteArray contentsOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

SetupDocument twoChannelSetup() {
    SetupDocument setup;
    setup.station.channelCount = 2;
    setup.channels.push_back(channelRecord(2, QStringLiteral("Höhe")));
    setup.groups.push_back(groupRecord(1, QStringLiteral("Group  1"), {2}));
    return setup;
}

class SetupFileStore : public ::testing::Test {
protected:
    QString path(const char *name) const { return m_folder.filePath(QLatin1String(name)); }
    QTemporaryDir m_folder;
};

TEST_F(SetupFileStore, ASavedSetupLoadsBackAndReplacesTheOldFile) {
    const QString file = path("setup.qor");
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older and much longer file than the new one will be, by far, really");
    old.close();

    EXPECT_EQ(saveSetupFile(file, twoChannelSetup()), QString());
    EXPECT_EQ(contentsOf(file), writeSetup(twoChannelSetup()));
    const SetupReadResult loaded = loadSetupFile(file, testValuesInForce());
    ASSERT_TRUE(loaded.document) << loaded.error.message().toStdString();
    EXPECT_EQ(loaded.document->channels, twoChannelSetup().channels);
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files), QStringList{"setup.qor"})
        << "no temporary file is left behind";
}

struct FailureCase {
    const char *legend;
    QString path;
    QString reasonStart;
};

TEST_F(SetupFileStore, FilesThatCannotBeReadSayWhy) {
    QDir(m_folder.path()).mkdir(QStringLiteral("folder.qor"));
    QFile large(path("large.qor"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize(MaxSetupFileSize + 1));
    large.close();
    const FailureCase cases[] = {
        {"a missing file, in the station's words", path("missing.qor"),
         path("missing.qor") + QStringLiteral(" file not found.")},
        {"no file name", QString(), QStringLiteral("No file name has been specified.")},
        {"a folder", path("folder.qor"), path("folder.qor") + QStringLiteral(" is a folder")},
        {"a file too large to be a setup", path("large.qor"),
         path("large.qor") + QStringLiteral(" is larger than 64 MB")},
    };
    for (const auto &c : cases) {
        const SetupReadResult result = loadSetupFile(c.path, testValuesInForce());
        ASSERT_FALSE(result.document) << c.legend;
        EXPECT_EQ(result.error.lineNumber, 0) << c.legend;
        EXPECT_TRUE(result.error.reason.startsWith(c.reasonStart))
            << c.legend << ": " << result.error.reason.toStdString();
    }
}

TEST_F(SetupFileStore, ASaveThatCannotStartSaysWhyAndCreatesNothing) {
    EXPECT_TRUE(
        saveSetupFile(path("no/such/folder/setup.qor"), twoChannelSetup())
            .startsWith(path("no/such/folder/setup.qor") + QStringLiteral(" cannot be created: ")));
    EXPECT_EQ(saveSetupFile(QString(), twoChannelSetup()),
              QStringLiteral("No file name has been specified."));
    EXPECT_TRUE(QDir(m_folder.path()).isEmpty());
}

// A save that fails half way (here: the file size limit of the process, which holds for root
// too) reports the failure and leaves the old file exactly as it was.
TEST_F(SetupFileStore, ASaveThatFailsHalfWayLeavesTheOldFile) {
    const QString file = path("setup.qor");
    ASSERT_EQ(saveSetupFile(file, twoChannelSetup()), QString());
    const QByteArray old = contentsOf(file);

    SetupDocument large = twoChannelSetup();
    large.groups.push_back(groupRecord(2, QString(60000, QLatin1Char('x'))));
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{4096, limit.rlim_max};
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString failure = saveSetupFile(file, large);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_TRUE(failure.startsWith(file + QStringLiteral(" cannot be"))) << failure.toStdString();
    EXPECT_EQ(contentsOf(file), old);
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files), QStringList{"setup.qor"});
}

} // namespace
