#include "LinkStatusLine.h"
#include "PlantLinkSettings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

using namespace plantlink;

namespace {

class StationSettings : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_folder.path());
    }
    QByteArray iniFile() {
        QFile file(m_store.fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_folder;
    SettingsStore m_store;
};

TEST_F(StationSettings, OffByDefaultAndKeptWithoutThePassword) {
    EXPECT_EQ(loadPlantLinkSettings(m_store), PlantLinkSettings{})
        << "nothing stored: off, with the defaults";

    PlantLinkSettings settings;
    settings.enabled = true;
    PlantLinkConfig &config = settings.config;
    config.host = QStringLiteral("broker.plant");
    config.port = 8883;
    config.tls = true;
    config.caFile = QStringLiteral("/etc/ssl/plant-ca, 2025.crt");
    config.certFile = QStringLiteral("/home/op/station.crt");
    config.keyFile = QStringLiteral("/home/op/station.key");
    config.userName = QStringLiteral("line-7");
    config.password = QStringLiteral("pa55;word=x");
    config.station = QStringLiteral("Line 7 / bore");
    config.publishParts = false;
    config.liveValues = true;
    config.liveMinIntervalMs = 250;
    ASSERT_TRUE(savePlantLinkSettings(m_store, settings));

    PlantLinkSettings expected = settings;
    expected.config.password.clear();
    EXPECT_EQ(loadPlantLinkSettings(m_store), expected) << "every setting comes back";
    EXPECT_FALSE(iniFile().contains("pa55")) << "the password is never in the settings file";
}

TEST_F(StationSettings, DamagedValuesTakeTheirDefaults) {
    struct Case {
        const char *proves;
        SettingKey key;
        const char *stored;
    };
    const Case cases[] = {
        {"a port that is no number", SettingKeys::PlantLinkPort, "mqtt"},
        {"a port out of range", SettingKeys::PlantLinkPort, "70000"},
        {"a port with a fraction", SettingKeys::PlantLinkPort, "1883.5"},
        {"an interval below zero", SettingKeys::PlantLinkLiveInterval, "-5"},
        {"a switch that is neither 0 nor 1", SettingKeys::PlantLinkEnabled, "yes"},
        {"a switch that is 2", SettingKeys::PlantLinkParts, "2"},
    };
    for (const Case &c : cases) {
        m_store.setText(c.key, QString::fromLatin1(c.stored));
        EXPECT_EQ(loadPlantLinkSettings(m_store), PlantLinkSettings{}) << c.proves;
    }
}

TEST(PlantLinkSettings, WhatStopsSettingsFromBeingUsed) {
    auto with = [](auto change) {
        PlantLinkSettings settings;
        settings.enabled = true;
        settings.config.host = QStringLiteral("broker.plant");
        change(settings);
        return settings;
    };
    struct Case {
        const char *proves;
        PlantLinkSettings settings;
        const char *problem;
    };
    const Case cases[] = {
        {"a broker and nothing else", with([](PlantLinkSettings &) {}), ""},
        {"off, nothing is checked", with([](PlantLinkSettings &s) {
             s.enabled = false;
             s.config.host.clear();
         }),
         ""},
        {"no broker", with([](PlantLinkSettings &s) { s.config.host = QStringLiteral("  "); }),
         "Enter the broker's host name"},
        {"a client certificate without its key", with([](PlantLinkSettings &s) {
             s.config.tls = true;
             s.config.certFile = QStringLiteral("station.crt");
         }),
         "needs its key"},
        {"a key without TLS is not used, so not checked",
         with([](PlantLinkSettings &s) { s.config.keyFile = QStringLiteral("station.key"); }), ""},
    };
    for (const Case &c : cases) {
        const QString problem = settingsProblem(c.settings);
        EXPECT_EQ(problem.isEmpty(), *c.problem == '\0')
            << c.proves << ": " << problem.toStdString();
        EXPECT_TRUE(problem.contains(QLatin1String(c.problem)))
            << c.proves << ": " << problem.toStdString();
    }
}

TEST(LinkStatusLine, StateAndWaitingPartsInAFewWords) {
    struct Case {
        const char *proves;
        LinkState state;
        qint64 waiting;
        const char *text;
        LinkStatusLine::Tone tone;
    };
    const Case cases[] = {
        {"connected, nothing waiting",
         {LinkState::Connected, QStringLiteral("Connected to b:1.")},
         0,
         "Plant link: connected",
         LinkStatusLine::Tone::Good},
        {"one part",
         {LinkState::Connected, {}},
         1,
         "Plant link: connected, 1 part to send",
         LinkStatusLine::Tone::Good},
        {"a backlog while away",
         {LinkState::Unreachable, QStringLiteral("b:1 did not answer.")},
         1234,
         "Plant link: broker not reachable, 1234 parts to send",
         LinkStatusLine::Tone::Trouble},
        {"trying",
         {LinkState::Connecting, {}},
         0,
         "Plant link: connecting",
         LinkStatusLine::Tone::Busy},
        {"credentials turned down",
         {LinkState::NotAuthorised, {}},
         0,
         "Plant link: not authorised",
         LinkStatusLine::Tone::Trouble},
    };
    for (const Case &c : cases) {
        const LinkStatusLine line = linkStatusLine(c.state, c.waiting);
        EXPECT_EQ(line.text, QLatin1String(c.text)) << c.proves;
        EXPECT_EQ(line.tone, c.tone) << c.proves;
        EXPECT_EQ(line.toolTip, c.state.text) << c.proves << ": the whole outcome in the tip";
    }
}

} // namespace
