#include "Settings.h"
#include "SettingsWriteFailure.h"
#include "StationFixture.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

#include <gtest/gtest.h>

namespace {

QString makeFile(const QString &path) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    return path;
}

} // namespace

TEST(SettingsWriteReason, NamesWhatStandsInTheWay) {
    OfflineStation station;
    const QString blocker = makeFile(station.tempPath(QStringLiteral("plain-file")));
    const QString proc = QStringLiteral("/proc/qorview-test-%1").arg(::getpid());
    const struct {
        const char *legend;
        QString fileName;
        QString reasonStart;
    } cases[] = {
        {"a file where the settings folder's parent should be",
         blocker + QStringLiteral("/QorView/QorView.ini"),
         blocker + QStringLiteral(" is not a folder")},
        {"a file where the settings folder should be", blocker + QStringLiteral("/QorView.ini"),
         blocker + QStringLiteral(" is not a folder")},
        {"a folder the system does not let anyone make",
         proc + QStringLiteral("/QorView/QorView.ini"),
         QStringLiteral("the folder %1 cannot be made: ").arg(proc)},
    };
    for (const auto &c : cases) {
        const QString reason = settingsWriteReason(c.fileName);
        EXPECT_TRUE(reason.startsWith(c.reasonStart)) << c.legend << ": " << reason.toStdString();
        EXPECT_GT(reason.size(), c.reasonStart.size() - 1) << c.legend;
    }
}

TEST(SettingsStore, WritesThatDoNotReachTheFileAreKeptForTheReport) {
    OfflineStation station;
    SettingsStore &settings = station.settings;
    EXPECT_TRUE(settings.setNumber(SettingKeys::NewSetupFileNum, 3));
    EXPECT_FALSE(settings.takeWriteFailure());
    EXPECT_EQ(settings.failedWrites(), 0);

    const QString blocker = station.blockSettingsFolder();
    EXPECT_FALSE(
        settings.setNumbers({{{"QorViewSettings", "GCT"}, 10}, {{"QorViewSettings", "GCL"}, 20}}));
    EXPECT_FALSE(settings.setText(SettingKeys::MainLeft, QStringLiteral("15")));
    EXPECT_FALSE(QFile::exists(settings.fileName()));

    const auto failure = settings.takeWriteFailure();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->fileName, blocker + QStringLiteral("/QorView/QorView.ini"));
    EXPECT_EQ(failure->reason, blocker + QStringLiteral(" is not a folder"));
    EXPECT_EQ(failure->keys,
              (QStringList{"QorViewSettings/GCT", "QorViewSettings/GCL", "QorSettings/MainLeft"}));
    EXPECT_FALSE(settings.takeWriteFailure()) << "reported once";
    EXPECT_EQ(settings.failedWrites(), 2) << "the count outlives the report";
}

TEST(SettingsWriteFailure, LostKeysAreNamedInTheOperatorsWords) {
    const struct {
        QStringList keys;
        QStringList items;
    } cases[] = {
        {{"QorViewSettings/GCT", "QorViewSettings/DAW", "QorSettings/NewSetupFileNum",
          "QorSettings/MainLeft", "QorSettings/MainTop"},
         {"the display window layout", "the number of the next new setup file",
          "the main window position"}},
        {{"QorSettings/DisableSetups"}, {"setups enabled for later starts (/ENABLESETUP)"}},
        {{"QorSettings/Port", "Other/Key"},
         {"the port chosen in the Connection Wizard", "Other/Key"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(unsavedSettingsItems(c.keys), c.items) << c.keys.join(u' ').toStdString();
}
