#include "BadGroundNotice.h"
#include "LogLocation.h"
#include "MeasureSettings.h"
#include "PartCounter.h"
#include "Settings.h"
#include "SetupIdentity.h"

#include <QFile>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using measurelog::Counters;
using measurelog::LogState;
using measurelog::LogStatus;

namespace recording {
namespace {

struct YieldCase {
    const char *legend;
    Counters counters;
    const char *text;
};

TEST(PartCounter, YieldIsTheShareOfJudgedPartsThatPassed) {
    const YieldCase cases[] = {
        {"nothing counted", {}, "\u2013"},
        {"only parts without limits are not judged", {4, 0, 0, 0, 0}, "\u2013"},
        {"all good", {3, 3, 0, 0, 0}, "100.0 %"},
        {"warn parts passed", {4, 2, 2, 0, 0}, "100.0 %"},
        {"one reject in three", {3, 1, 1, 1, 0}, "66.7 %"},
        {"parts without limits are left out", {10, 6, 1, 1, 0}, "87.5 %"},
        {"all rejects", {2, 0, 0, 2, 0}, "0.0 %"},
    };
    for (const auto &c : cases) {
        PartCounter counter;
        counter.opened({}, c.counters);
        EXPECT_EQ(counter.yieldText(), QString(c.text)) << c.legend;
    }
}

TEST(PartCounter, OnlyTheLogsAnswersChangeIt) {
    PartCounter counter;
    QSignalSpy changed(&counter, &PartCounter::changed);
    counter.opened({}, {5, 4, 1, 0, 100});
    EXPECT_EQ(counter.counters(), (Counters{5, 4, 1, 0, 100}));
    counter.committed({6, QStringLiteral("u"), 6, {6, 4, 1, 1, 100}});
    EXPECT_EQ(counter.counters(), (Counters{6, 4, 1, 1, 100}));
    counter.countersReset({}, {0, 0, 0, 0, 200});
    EXPECT_EQ(counter.counters(), (Counters{0, 0, 0, 0, 200}));
    const LogStatus full{LogState::DiskFull, QStringLiteral("full")};
    counter.countersReset(full, {0, 0, 0, 0, 200}); // a failed reset reports the old counter
    EXPECT_EQ(changed.count(), 3) << "once for each change, not for an answer that changed nothing";
}

TEST(BadGroundNotice, TheBoxComesOnceForEachTroubleUntilTheLogWorksAgain) {
    const LogStatus readOnly{LogState::ReadOnly, QStringLiteral("read-only")};
    const LogStatus full{LogState::DiskFull, QStringLiteral("full")};
    BadGroundNotice notice;
    EXPECT_FALSE(notice.shouldTell({})) << "a sound log";
    EXPECT_TRUE(notice.shouldTell(full));
    EXPECT_FALSE(notice.shouldTell(full)) << "the next part that does not fit";
    EXPECT_TRUE(notice.shouldTell(readOnly)) << "another trouble";
    notice.logWorked();
    EXPECT_TRUE(notice.shouldTell(readOnly)) << "trouble again after a part went in";
}

TEST(MeasureSettings, WhatIsWrittenIsReadBack) {
    SettingsStore store;
    const MeasureSettings settings{true,
                                   {12, 25, 200},
                                   QStringLiteral("/data/log.sqlite"),
                                   QStringLiteral("Jörg, Müller"),
                                   QStringLiteral("Line 3")};
    ASSERT_TRUE(writeMeasureSettings(store, settings));
    EXPECT_EQ(readMeasureSettings(store), settings);
    EXPECT_EQ(settings.logPath(), QStringLiteral("/data/log.sqlite"));
    EXPECT_EQ(settings.station(), QStringLiteral("Line 3"));
    const MeasureSettings defaults;
    EXPECT_EQ(defaults.logPath(), measurelog::defaultLogPath());
    EXPECT_EQ(defaults.station(), QSysInfo::machineHostName());
}

struct DamagedCase {
    const char *legend;
    SettingKey key;
    const char *stored;
};

TEST(MeasureSettings, ADamagedOrOutOfBoundsValueGivesTheDefault) {
    const DamagedCase cases[] = {
        {"not a number", SettingKeys::StableTicks, "five"},
        {"not whole", SettingKeys::StableTicks, "4.5"},
        {"too few ticks to tell still from moving", SettingKeys::StableTicks, "1"},
        {"no threshold at all", SettingKeys::StablePercent, "0"},
        {"a negative margin", SettingKeys::MarginPercent, "-10"},
        {"an absurd margin", SettingKeys::MarginPercent, "100000"},
    };
    SettingsStore store;
    for (const auto &c : cases) {
        ASSERT_TRUE(writeMeasureSettings(store, {}));
        ASSERT_TRUE(store.setText(c.key, QString::fromUtf8(c.stored)));
        EXPECT_EQ(readMeasureSettings(store).rule, AutoRecordRule{}) << c.legend;
    }
    ASSERT_TRUE(store.setText(SettingKeys::AutoRecord, QStringLiteral("yes")));
    EXPECT_FALSE(readMeasureSettings(store).autoRecord) << "only 1 switches it on";
}

TEST(SetupIdentity, ASetupIsKnownByItsNameAndItsContent) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("bore.qor"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("abc") == 3);
    file.close();
    EXPECT_EQ(setupIdentity(path),
              (SetupIdentity{QStringLiteral("bore.qor"),
                             QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff"
                                            "61f20015ad")}));
    EXPECT_EQ(setupIdentity(folder.filePath(QStringLiteral("gone.qor"))),
              (SetupIdentity{QStringLiteral("gone.qor"), {}}))
        << "a file no longer there keeps its name";
    EXPECT_EQ(setupIdentity({}), SetupIdentity{});
}

} // namespace
} // namespace recording
