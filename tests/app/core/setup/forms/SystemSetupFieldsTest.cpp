// The system settings dialog's fields: every range, the scan period's conversion to tenths, and
// the start-up options as the settings store keeps them.
#include "SystemSetupFields.h"
#include "Settings.h"
#include "StationFixture.h"

#include <gtest/gtest.h>

#include <optional>

using namespace setupforms;

namespace {

SystemSetupTexts goodTexts() {
    return {QStringLiteral("16"), QStringLiteral("8"),   QStringLiteral("2"),
            QStringLiteral("4"),  QStringLiteral("10"),  QStringLiteral("2.5"),
            QStringLiteral("3"),  QStringLiteral("0.05")};
}

TEST(SystemSetupFields, GoodFieldsBecomeTheValuesApplied) {
    const SystemFieldsCheck check = checkSystemFields(goodTexts());
    ASSERT_TRUE(check.values) << check.problem.toStdString();
    const SystemSetupValues &v = *check.values;
    EXPECT_EQ(v.channels, 16);
    EXPECT_EQ(v.probes, 8);
    EXPECT_EQ(v.analogs, 2);
    EXPECT_EQ(v.runningAverage, 4);
    EXPECT_EQ(v.burstAverage, 10);
    EXPECT_EQ(v.scanTenths, 25);
    EXPECT_EQ(v.decimals, 3);
    EXPECT_EQ(v.lvdtFullScale, 0.05f);
}

TEST(SystemSetupFields, EachFieldTakesItsRangeAndNamesIt) {
    const struct {
        const char *legend;
        QString SystemSetupTexts::*field;
        QString text;
        std::optional<SystemField> refused; // empty: accepted
        const char *named;
    } cases[] = {
        {"channels above the unit's", &SystemSetupTexts::channels, QStringLiteral("129"),
         SystemField::Channels, "Channels must be a number from 1 to 128"},
        {"channels 128", &SystemSetupTexts::channels, QStringLiteral("128"), std::nullopt, ""},
        {"channels 8.5 rounds to the even 8", &SystemSetupTexts::channels, QStringLiteral("8.5"),
         std::nullopt, ""},
        {"channels text", &SystemSetupTexts::channels, QStringLiteral("eight"),
         SystemField::Channels, "Channels"},
        {"probes 0", &SystemSetupTexts::probes, QStringLiteral("0"), SystemField::Probes,
         "Probes must be a number from 1 to 128"},
        {"analogs 0 (an empty set)", &SystemSetupTexts::analogs, QStringLiteral("0"), std::nullopt,
         ""},
        {"analogs 256", &SystemSetupTexts::analogs, QStringLiteral("256"), SystemField::Analogs,
         "Analogs must be a number from 0 to 255"},
        {"running average 0", &SystemSetupTexts::runningAverage, QStringLiteral("0"),
         SystemField::RunningAverage, "Running Average must be a number from 1 to 32767"},
        {"burst average 32768", &SystemSetupTexts::burstAverage, QStringLiteral("32768"),
         SystemField::BurstAverage, "Burst Average must be a number from 1 to 32767"},
        {"burst average with trailing text", &SystemSetupTexts::burstAverage, QStringLiteral("10x"),
         SystemField::BurstAverage, "Burst Average"},
        {"scan period 0.25 ms gives 2 tenths", &SystemSetupTexts::scanPeriod,
         QStringLiteral("0.25"), std::nullopt, ""},
        {"scan period 0.04 ms rounds to 0", &SystemSetupTexts::scanPeriod, QStringLiteral("0.04"),
         SystemField::ScanPeriod,
         "Scan Period must be a number of milliseconds from 0.1 to 3276.7"},
        {"scan period 3276.8 ms", &SystemSetupTexts::scanPeriod, QStringLiteral("3276.8"),
         SystemField::ScanPeriod, "0.1 to 3276.7"},
        {"scan period not a number", &SystemSetupTexts::scanPeriod, QStringLiteral("fast"),
         SystemField::ScanPeriod, "Scan Period"},
        {"decimals 6", &SystemSetupTexts::decimals, QStringLiteral("6"), SystemField::Decimals,
         "Default decimal places must be a number from 0 to 5"},
        {"decimals 0", &SystemSetupTexts::decimals, QStringLiteral("0"), std::nullopt, ""},
        {"full scale 0", &SystemSetupTexts::lvdtFullScale, QStringLiteral("0"),
         SystemField::LvdtFullScale, "Default LVDT Full Scale must be a number above 0"},
        {"full scale text", &SystemSetupTexts::lvdtFullScale, QStringLiteral("x"),
         SystemField::LvdtFullScale, "Default LVDT Full Scale"},
    };
    for (const auto &c : cases) {
        SystemSetupTexts texts = goodTexts();
        texts.*c.field = c.text;
        const SystemFieldsCheck check = checkSystemFields(texts);
        if (!c.refused) {
            EXPECT_TRUE(check.values) << c.legend << ": " << check.problem.toStdString();
            continue;
        }
        EXPECT_FALSE(check.values) << c.legend;
        EXPECT_EQ(check.field, *c.refused) << c.legend;
        EXPECT_TRUE(check.problem.contains(QLatin1String(c.named)))
            << c.legend << ": " << check.problem.toStdString();
    }
}

// Fewer than one channel is no setup: the count becomes 1 and the dialog says so, also when
// another field is refused.
TEST(SystemSetupFields, AChannelCountBelowOneIsRaisedToOne) {
    const struct {
        const char *legend;
        const char *channels;
        const char *decimals;
        bool raised;
        bool refused;
    } cases[] = {
        {"0", "0", "3", true, false},
        {"negative", "-3", "3", true, false},
        {"0.5 rounds to the even 0", "0.5", "3", true, false},
        {"1.5 rounds to 2", "1.5", "3", false, false},
        {"0 beside a refused field", "0", "9", true, true},
        {"no number is still refused", "none", "3", false, true},
    };
    for (const auto &c : cases) {
        SystemSetupTexts texts = goodTexts();
        texts.channels = QLatin1String(c.channels);
        texts.decimals = QLatin1String(c.decimals);
        const SystemFieldsCheck check = checkSystemFields(texts);
        EXPECT_EQ(check.channelsRaised, c.raised) << c.legend;
        EXPECT_EQ(!check.values, c.refused) << c.legend;
        if (check.values && c.raised) {
            EXPECT_EQ(check.values->channels, 1) << c.legend;
        }
    }
    EXPECT_EQ(ChannelsRaisedText, QStringLiteral("Channels must be at least 1"));
}

TEST(SystemSetupFields, ScanPeriodsConvertToTenthsHalfToEven) {
    const struct {
        const char *typed;
        int tenths;
    } cases[] = {{"2.5", 25}, {"0.25", 2}, {"0.35", 4}, {"5", 50}, {"3276.7", 32767}};
    for (const auto &c : cases) {
        SystemSetupTexts texts = goodTexts();
        texts.scanPeriod = QLatin1String(c.typed);
        const SystemFieldsCheck check = checkSystemFields(texts);
        ASSERT_TRUE(check.values) << c.typed;
        EXPECT_EQ(check.values->scanTenths, c.tenths) << c.typed;
    }
    EXPECT_EQ(scanPeriodText(25), QStringLiteral("2.5"));
    EXPECT_EQ(scanPeriodText(50), QStringLiteral("5"));
    EXPECT_EQ(generalText(0.05f), QStringLiteral("0.05"));
}

TEST(SystemSetupFields, TheRegionalCommaReadsAsThePoint) {
    SystemSetupTexts texts = goodTexts();
    texts.scanPeriod = QStringLiteral("2,5");
    const SystemFieldsCheck check = checkSystemFields(texts, u',');
    ASSERT_TRUE(check.values);
    EXPECT_EQ(check.values->scanTenths, 25);
}

struct StartupOptionsTest : ::testing::Test, StationFixture {};

TEST_F(StartupOptionsTest, MissingKeysReadAsTheirDefaultsAndWrittenOptionsReadBack) {
    const StartupOptions fresh = readStartupOptions(settings);
    EXPECT_TRUE(fresh.bars);
    EXPECT_TRUE(fresh.numbers);
    EXPECT_EQ(fresh.view, View::Channels);
    EXPECT_FALSE(fresh.runWizard);
    EXPECT_FALSE(fresh.disableSetups);

    const StartupOptions chosen{false, true, View::Probes, true, true};
    ASSERT_TRUE(writeStartupOptions(settings, chosen));
    EXPECT_EQ(settings.text(SettingKeys::BarsAtStartup), QStringLiteral("0"));
    EXPECT_EQ(settings.text(SettingKeys::TypeOfView), QStringLiteral("3"));
    EXPECT_EQ(settings.text(SettingKeys::DisableSetups), QStringLiteral("1"));
    const StartupOptions back = readStartupOptions(settings);
    EXPECT_EQ(back.bars, chosen.bars);
    EXPECT_EQ(back.view, chosen.view);
    EXPECT_EQ(back.runWizard, chosen.runWizard);
    EXPECT_EQ(back.disableSetups, chosen.disableSetups);

    settings.setText(SettingKeys::TypeOfView, QStringLiteral("4"));
    EXPECT_EQ(readStartupOptions(settings).view, View::None) << "no option named: none selected";
}

} // namespace
