#include "SetupFileStore.h"
#include "FileFolderFixture.h"
#include "SetupFileWriter.h"
#include "SetupTestText.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace setupfile;

namespace {

SetupDocument twoChannelSetup() {
    SetupDocument setup;
    setup.station.channelCount = 2;
    setup.channels.push_back(channelRecord(2, QStringLiteral("Höhe")));
    setup.groups.push_back(groupRecord(1, QStringLiteral("Group  1"), {2}));
    return setup;
}

class SetupFileStore : public FileFolderFixture {};

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
    EXPECT_EQ(files(), QStringList{"setup.qor"}) << "no temporary file is left behind";
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

} // namespace
