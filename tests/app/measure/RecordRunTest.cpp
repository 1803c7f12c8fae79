#include "CounterLabel.h"
#include "MeasureCommands.h"
#include "MeasureTestSupport.h"
#include "PartRecord.h"
#include "RecordingSamples.h"
#include "ScriptedPrompts.h"
#include "SerialLotInput.h"
#include "Settings.h"
#include "WaitFor.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <QWidget>

#include <memory>

using namespace recording;
using measurelog::Verdict;

namespace {

class RecordRun : public MeasureFolder {
protected:
    std::unique_ptr<MeasureCommands> makeCommands() {
        return std::make_unique<MeasureCommands>(m_settings, m_prompts, &m_window);
    }
    bool waitForParts(MeasureCommands &commands, qint64 parts) {
        return waitFor([&] {
            return commands.recorder().counter().counters().parts == parts &&
                   commands.recorder().pending() == 0;
        });
    }

    SettingsStore m_settings;
    ScriptedPrompts m_prompts;
    QWidget m_window;
};

// The parts of the run: each channel's offset from its nominal and the verdict the gauge shows
// for it, so the log must hold exactly what the gauges showed.
struct Reading {
    double offset;
    Verdict verdict;
};
struct RunPart {
    const char *legend;
    Reading readings[3];
    Verdict part;
};
constexpr RunPart TheRun[] = {
    {"all good",
     {{0.0, Verdict::Good}, {0.0021, Verdict::Good}, {-0.0079, Verdict::Good}},
     Verdict::Good},
    {"one between approach and tolerance",
     {{0.0, Verdict::Good}, {0.009, Verdict::Warn}, {0.0, Verdict::Good}},
     Verdict::Warn},
    {"a warn and a reject",
     {{-0.011, Verdict::Reject}, {-0.009, Verdict::Warn}, {0.0, Verdict::Good}},
     Verdict::Reject},
    {"far out",
     {{0.5, Verdict::Reject}, {-0.5, Verdict::Reject}, {0.0, Verdict::Good}},
     Verdict::Reject},
};

TEST_F(RecordRun, EveryRecordedValueAndVerdictIsInTheLogAsMeasured) {
    QFile setup(path(QStringLiteral("bore.qor")));
    ASSERT_TRUE(setup.open(QIODevice::WriteOnly) && setup.write("setup\n") == 6);
    setup.close();
    auto commands = makeCommands();
    RecordingView view = limitedView(3, QStringLiteral("Display Channels"));
    view.channels.push_back(unlimitedChannel(9));
    commands->showView(view);
    commands->setSetupFile(setup.fileName());
    std::unique_ptr<SerialLotInput> serial(commands->makeSerialLotInput(nullptr));
    serial->field()->setText(QStringLiteral("  LOT 7, box 2 "));
    EXPECT_FALSE(commands->recordAction()->isEnabled()) << "no readings yet";

    qint64 tick = 0;
    for (const RunPart &part : TheRun) {
        TickReadings readings = readingsAt(
            view, ++tick,
            {part.readings[0].offset, part.readings[1].offset, part.readings[2].offset, 0.25});
        feedTick(*commands, readings);
        ASSERT_TRUE(commands->recordAction()->isEnabled()) << part.legend;
        commands->recordAction()->trigger();
    }
    ASSERT_TRUE(waitForParts(*commands, std::size(TheRun)));

    const QStringList parts =
        sqliteCli(logPath(), QStringLiteral("SELECT serial_number, serial_text, setup_file, "
                                            "view_name, verdict FROM parts ORDER BY id"))
            .split(QLatin1Char('\n'));
    ASSERT_EQ(parts.size(), qsizetype(std::size(TheRun)));
    for (size_t i = 0; i < std::size(TheRun); ++i) {
        const RunPart &part = TheRun[i];
        EXPECT_EQ(parts[qsizetype(i)],
                  QStringLiteral("%1|LOT 7, box 2|bore.qor|Display Channels|%2")
                      .arg(i + 1)
                      .arg(int(part.part)))
            << part.legend;
        const QStringList values =
            sqliteCli(logPath(),
                      QStringLiteral("SELECT channel, printf('%.4f', value), verdict, "
                                     "CASE WHEN low_tolerance IS NULL THEN '' ELSE printf('%.4f', "
                                     "low_tolerance) END FROM part_values WHERE "
                                     "part_id = (SELECT id FROM parts WHERE serial_number = %1) "
                                     "ORDER BY position")
                          .arg(i + 1))
                .split(QLatin1Char('\n'));
        ASSERT_EQ(values.size(), 4) << part.legend;
        for (int c = 0; c < 3; ++c) {
            const int channel = c + 1;
            EXPECT_EQ(values[c], QStringLiteral("%1|%2|%3|%4")
                                     .arg(channel)
                                     .arg(nominalOf(channel) + part.readings[c].offset, 0, 'f', 4)
                                     .arg(int(part.readings[c].verdict))
                                     .arg(nominalOf(channel) - Tolerance, 0, 'f', 4))
                << part.legend << ", channel " << channel;
        }
        EXPECT_EQ(values[3], QStringLiteral("9|%1|0|").arg(nominalOf(9) + 0.25, 0, 'f', 4))
            << "a channel without limits is stored as no limits";
    }
    EXPECT_EQ(
        sqliteCli(logPath(), QStringLiteral("SELECT parts, good, warn, reject FROM counters")),
        QStringLiteral("4|1|1|2"));
}

TEST_F(RecordRun, RecordWaitsForFreshReadingsAndAnOpenPoll) {
    auto commands = makeCommands();
    const RecordingView view = limitedView(2);
    commands->showView(view);
    feedTick(*commands, uniformReadings(view, 1, 0.0));
    EXPECT_TRUE(commands->recordAction()->isEnabled());

    commands->setHeld(true);
    EXPECT_FALSE(commands->recordAction()->isEnabled()) << "the poll is held";
    commands->setHeld(false);

    // Channel 2 is not read again for two ticks: its reading is too old to record.
    commands->takeReading(0, {1, nominalOf(1), 2});
    commands->endTick(2, true);
    EXPECT_TRUE(commands->recordAction()->isEnabled()) << "one tick old is still fresh";
    commands->takeReading(0, {1, nominalOf(1), 3});
    commands->endTick(3, true);
    EXPECT_FALSE(commands->recordAction()->isEnabled()) << "two ticks old is stale";
    EXPECT_TRUE(commands->recordAction()->statusTip().contains(QLatin1String("channel 2")));

    commands->record();
    EXPECT_EQ(commands->recorder().pending(), 0) << "nothing was handed to the log";
    EXPECT_FALSE(QFile::exists(logPath())) << "a station that has recorded nothing keeps no log";
}

// Rows still on their way from a view no longer shown must not stand in for the new view's.
TEST_F(RecordRun, ReadingsOfAViewNoLongerShownAreNotRecorded) {
    auto commands = makeCommands();
    const RecordingView first = limitedView(2);
    commands->showView(first);
    feedTick(*commands, uniformReadings(first, 1, 0.0));
    ASSERT_TRUE(commands->recordAction()->isEnabled());

    RecordingView second = limitedView(0, QStringLiteral("Group 2"));
    second.channels = {limitedChannel(3), limitedChannel(4)};
    commands->showView(second);
    EXPECT_FALSE(commands->recordAction()->isEnabled()) << "the new view has no readings yet";
    feedTick(*commands, uniformReadings(first, 2, 0.0));
    EXPECT_FALSE(commands->recordAction()->isEnabled()) << "the old view's rows were dropped";
    commands->takeReading(0, {3, nominalOf(3), 3});
    commands->endTick(3, false);
    EXPECT_FALSE(commands->recordAction()->isEnabled()) << "an incomplete tick records nothing";
    feedTick(*commands, uniformReadings(second, 4, 0.0));
    EXPECT_TRUE(commands->recordAction()->isEnabled());
}

TEST_F(RecordRun, TheCounterCountsConfirmedPartsAndCarriesOverARestart) {
    const RecordingView view = limitedView(2);
    {
        auto commands = makeCommands();
        commands->showView(view);
        for (qint64 tick = 1; tick <= 3; ++tick) {
            feedTick(*commands, uniformReadings(view, tick, tick == 3 ? 0.02 : 0.0));
            commands->record();
        }
        ASSERT_TRUE(waitForParts(*commands, 3));
    }
    auto commands = makeCommands();
    CounterLabel label(commands->recorder().counter());
    ASSERT_TRUE(waitFor([&] { return commands->recorder().counter().counters().parts == 3; }));
    EXPECT_EQ(label.text(), QStringLiteral("Parts 3 \u00b7 good 2 \u00b7 warn 0 \u00b7 reject 1 "
                                           "\u00b7 yield 66.7 %"));

    m_prompts.answers = {PromptAnswer::No, PromptAnswer::Yes};
    commands->resetCounter();
    commands->resetCounter();
    ASSERT_TRUE(waitFor([&] { return commands->recorder().counter().counters().parts == 0; }));
    EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("SELECT count(*) FROM parts")), "3")
        << "a reset keeps every part";
}

TEST_F(RecordRun, AutoRecordTakesEachPartOnceWhenItHoldsStill) {
    m_settings.setNumber(SettingKeys::StableTicks, 3);
    auto commands = makeCommands();
    commands->setAutoRecord(true);
    const RecordingView view = limitedView(2);
    commands->showView(view);
    // Empty fixture (probes at rest far below), a part placed and settling, still, taken out,
    // and a second part.
    const double rest = -1.0;
    const double offsets[] = {rest,  rest, 0.004, 0.001,  0.001,  0.001,  0.001,
                              0.001, rest, 0.015, 0.0155, 0.0155, 0.0155, rest};
    qint64 tick = 0;
    for (double offset : offsets)
        feedTick(*commands, uniformReadings(view, ++tick, offset));
    ASSERT_TRUE(waitForParts(*commands, 2));
    EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("SELECT group_concat(verdict) FROM parts")),
              QStringLiteral("1,3"))
        << "the good part once, then the reject once";
    EXPECT_TRUE(commands->settings().autoRecord);
    EXPECT_TRUE(recording::readMeasureSettings(m_settings).autoRecord) << "the choice is kept";
}

// The operator watches the bar display, not the main window: F9 records from there too.
TEST_F(RecordRun, F9RecordsWhicheverWindowOfTheStationIsActive) {
    QMainWindow main;
    MeasureCommands commands(m_settings, m_prompts, &main);
    commands.addTo(main.menuBar()->addMenu(QStringLiteral("&Measure")));
    main.show();
    QWidget bars;
    bars.show();
    bars.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&bars));
    const RecordingView view = limitedView(2);
    commands.showView(view);
    feedTick(commands, uniformReadings(view, 1, 0.0));
    QTest::keyClick(&bars, Qt::Key_F9);
    ASSERT_TRUE(waitForParts(commands, 1));
}

} // namespace
