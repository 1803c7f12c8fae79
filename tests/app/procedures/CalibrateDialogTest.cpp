#include "CalibrationFixture.h"

#include "AmplifierSettings.h"
#include "SettingScrollBar.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using procedures::AmplifierSettings;

QString joined(const QStringList &requests) {
    return requests.join(QLatin1Char('|'));
}

class CalibrateDialogTest : public ::testing::Test, public CalibrationFixture {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(connect(QStringLiteral("--preset demo"), &why)) << why.toStdString();
    }

    AmplifierSettings amplifierOf(int probe) {
        AmplifierSettings a;
        link.QorReadLvdtGain(state.session.LinkHandle, probe, &a.rf, &a.ri);
        link.QorReadLvdtFine(state.session.LinkHandle, probe, &a.fine);
        link.QorReadLvdtNull(state.session.LinkHandle, probe, &a.null);
        return a;
    }
    float fullScaleOf(int probe) {
        float value = 0;
        link.QorReadTfsv(state.session.LinkHandle, probe, &value);
        return value;
    }
    float offsetOf(int probe) {
        float value = 0;
        link.QorReadTzero(state.session.LinkHandle, probe, &value);
        return value;
    }
    void type(const char *box, const QString &text) {
        auto *edit = control<QLineEdit>(box);
        edit->setText(text);
        Q_EMIT edit->textEdited(text);
        Q_EMIT edit->editingFinished();
    }
    bool store(QPushButton *button) {
        QSignalSpy finished(dialog.get(), &dlgCalibrate::storeFinished);
        button->click();
        return waitFor([&] { return finished.size() == 1; });
    }
};

TEST_F(CalibrateDialogTest, OpeningReadsTheProbeAndSendsNothingElse) {
    const qsizetype before = requests().size();
    ASSERT_TRUE(open(3));
    EXPECT_EQ(requestsSince(before), (QStringList{"~PI 3", "~PJ 3", "~PK 3", "~PE 3", "~PD 3"}))
        << joined(requestsSince(before)).toStdString();
    const AmplifierSettings unit = amplifierOf(3);
    EXPECT_EQ(control<SettingScrollBar>("vscrGainCoarse")->position(), unit.rf);
    EXPECT_EQ(control<QLabel>("lblProbe")->text(), QStringLiteral("Probe 3"));
    EXPECT_EQ(state.live.CalibrationLiveProbe, 3);
}

TEST_F(CalibrateDialogTest, EachMoveSendsItsExchangeWithNoOtherRequestBetween) {
    ASSERT_TRUE(open(3));
    const AmplifierSettings was = amplifierOf(3);
    scheduler.startPolling();
    const struct {
        const char *legend;
        const char *bar;
        int position;
        QStringList expected;
    } cases[] = {
        {"coarse gain: read both, send the new Rf with Ri as read",
         "vscrGainCoarse",
         200,
         {"~PI 3", QStringLiteral("~PF 3 200 %1").arg(was.ri)}},
        {"fine gain: sent alone", "vscrGainFine", -40, {"~PG 3 -40"}},
        {"null: sent alone", "vscrNull", 123, {"~PH 3 123"}},
    };
    for (const auto &c : cases) {
        const qsizetype before = requests().size();
        control<SettingScrollBar>(c.bar)->setPosition(c.position);
        ASSERT_TRUE(idle());
        const QStringList sent = requestsSince(before);
        const qsizetype at = sent.indexOf(c.expected.front());
        ASSERT_GE(at, 0) << c.legend << ": " << joined(sent).toStdString();
        EXPECT_EQ(sent.mid(at, c.expected.size()), c.expected) << c.legend;
    }
    scheduler.stopPolling();
    EXPECT_EQ(amplifierOf(3), (AmplifierSettings{200, was.ri, -40, 123}));
}

TEST_F(CalibrateDialogTest, ARangeEntrySetsRiAndCustomShowsItsScrollBar) {
    ASSERT_TRUE(open(2));
    auto *range = control<QComboBox>("cboGainSelect");
    range->setCurrentIndex(1); // "M Lo"
    ASSERT_TRUE(idle());
    EXPECT_EQ(amplifierOf(2).ri, 60);
    EXPECT_TRUE(control<SettingScrollBar>("vscrRi")->isHidden());
    range->setCurrentIndex(procedures::CustomGainRange);
    EXPECT_FALSE(control<SettingScrollBar>("vscrRi")->isHidden());
    control<SettingScrollBar>("vscrRi")->setPosition(40);
    ASSERT_TRUE(idle());
    EXPECT_EQ(amplifierOf(2).ri, 40);
}

TEST_F(CalibrateDialogTest, CancelPutsBackEverythingTheDialogChanged) {
    ASSERT_TRUE(open(4));
    const AmplifierSettings was = amplifierOf(4);
    const float fullScale = fullScaleOf(4), offset = offsetOf(4);
    control<SettingScrollBar>("vscrGainCoarse")->setPosition(was.rf == 10 ? 11 : 10);
    control<QComboBox>("cboGainSelect")->setCurrentIndex(3); // "Hi": Ri 30
    control<SettingScrollBar>("vscrGainFine")->setPosition(77);
    control<SettingScrollBar>("vscrNull")->setPosition(-222);
    type("txtFullScale", QStringLiteral("2.5"));
    type("txtOffset", QStringLiteral("-0.125"));
    ASSERT_TRUE(idle());
    ASSERT_NE(amplifierOf(4), was);
    ASSERT_EQ(fullScaleOf(4), 2.5f);
    EXPECT_TRUE(state.setup.SetupChanged);

    control<QPushButton>("CancelButton")->click();
    ASSERT_TRUE(idle());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(amplifierOf(4), was);
    EXPECT_EQ(fullScaleOf(4), fullScale);
    EXPECT_EQ(offsetOf(4), offset);
    EXPECT_EQ(state.live.CalibrationLiveProbe, 0);
}

TEST_F(CalibrateDialogTest, NumbersThatCannotBeUsedAreRefusedAndNothingIsSent) {
    ASSERT_TRUE(open(1));
    const struct {
        const char *box;
        const char *text;
        const char *named; // part of the refusal
    } cases[] = {
        {"txtFullScale", "abc", "0.001"},
        {"txtFullScale", "0.0005", "0.001"},
        {"txtOffset", "1e99", ""},
    };
    for (const auto &c : cases) {
        prompts.shown.clear();
        const qsizetype before = requests().size();
        type(c.box, QString::fromLatin1(c.text));
        ASSERT_TRUE(idle());
        EXPECT_TRUE(requestsSince(before).isEmpty()) << c.text;
        ASSERT_EQ(prompts.shown.size(), 1u) << c.text;
        EXPECT_TRUE(prompts.shown.front().text.contains(QLatin1String(c.named))) << c.text;
    }
}

TEST_F(CalibrateDialogTest, OkStoresTheCalibrationWithTheControlsDisabled) {
    ASSERT_TRUE(open(3));
    const qsizetype before = requests().size();
    control<QPushButton>("OKButton")->click();
    const bool disabledWhileStoring = !control<SettingScrollBar>("vscrGainCoarse")->isEnabled() &&
                                      !control<QPushButton>("OKButton")->isEnabled() &&
                                      !control<QPushButton>("CancelButton")->isEnabled() &&
                                      control<QProgressBar>("prgStore")->isVisible();
    QSignalSpy finished(dialog.get(), &dlgCalibrate::storeFinished);
    ASSERT_TRUE(waitFor([&] { return finished.size() == 1; }));
    EXPECT_TRUE(disabledWhileStoring);
    EXPECT_TRUE(finished.front().front().toBool());
    const QStringList sent = requestsSince(before);
    ASSERT_GE(sent.size(), 2) << joined(sent).toStdString();
    EXPECT_EQ(sent.front(), QStringLiteral("~PW"));
    EXPECT_EQ(sent.at(1), QStringLiteral("~PX"));
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(CalibrateDialogTest, TheScrollBarsHaveTheirLargestValueAtTheTop) {
    ASSERT_TRUE(open(1));
    for (const char *name : {"vscrGainCoarse", "vscrGainFine", "vscrNull"}) {
        auto *bar = control<SettingScrollBar>(name);
        bar->setPosition(0);
        QTest::keyClick(bar, Qt::Key_Up);
        EXPECT_EQ(bar->position(), 1) << name << ": the Up key";
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 3));
        EXPECT_EQ(bar->position(), 2) << name << ": the top arrow";
        bar->setPosition(1000);
        EXPECT_EQ(bar->value(), bar->minimum()) << name << ": the largest setting at the top";
        QTest::keyClick(bar, Qt::Key_Down);
        EXPECT_LT(bar->position(), -bar->minimum()) << name << ": the Down key";
    }
}

TEST_F(CalibrateDialogTest, HelpOpensTheDialogsContext) {
    ASSERT_TRUE(open(1));
    control<QPushButton>("cmdHelp")->click();
    EXPECT_EQ(help.contexts, (std::vector<int>{dlgCalibrate::HelpContext}));
}

TEST_F(CalibrateDialogTest, TheProbesReadingIsShownLive) {
    ASSERT_TRUE(open(3));
    scheduler.startPolling();
    EXPECT_TRUE(waitFor([&] { return !control<QLabel>("lblLiveValue")->text().isEmpty(); }));
    scheduler.stopPolling();
}

TEST_F(CalibrateDialogTest, SaveAndLoadAreOfferedOnlyInSpecialCalibration) {
    for (const bool special : {false, true}) {
        state.config.SpecialCalibrate = special;
        ASSERT_TRUE(open(1));
        for (const bool details : {true, false}) {
            if (dialog->detailsShown() != details)
                control<QPushButton>("cmdAdvanced")->click();
            EXPECT_EQ(control<QPushButton>("cmdSave")->isVisible(), special && details);
            EXPECT_EQ(control<QPushButton>("cmdLoad")->isVisible(), special && details);
        }
        dialog->reject();
    }
}

TEST_F(CalibrateDialogTest, AProfileSavedAndLoadedBackRestoresEveryProbe) {
    state.config.SpecialCalibrate = true;
    ASSERT_TRUE(open(2));
    const int probes = state.unit.UnitSystem->MaxLvdt();
    ASSERT_GE(probes, 2);
    std::vector<AmplifierSettings> saved;
    for (int p = 1; p <= probes; ++p) {
        // Each probe different, so a mixed-up block would show.
        link.QorSetLvdtGain(state.session.LinkHandle, p, 100 + p, 40 + p);
        link.QorSetLvdtFine(state.session.LinkHandle, p, p * 3);
        link.QorSetLvdtNull(state.session.LinkHandle, p, -p * 7);
        saved.push_back(amplifierOf(p));
    }
    dialog->reject();
    ASSERT_TRUE(idle());
    ASSERT_TRUE(open(2));

    const QString file = tempPath(QStringLiteral("unit"));
    prompts.fileNames.push_back(file);
    control<QPushButton>("cmdSave")->click();
    ASSERT_TRUE(idle());
    ASSERT_TRUE(waitFor([&] { return dialog->isReady(); }));
    ASSERT_TRUE(QFile::exists(file + QStringLiteral(".qap")));
    EXPECT_TRUE(prompts.shown.empty());

    for (int p = 1; p <= probes; ++p) {
        link.QorSetLvdtGain(state.session.LinkHandle, p, 1, 85);
        link.QorSetLvdtFine(state.session.LinkHandle, p, 0);
        link.QorSetLvdtNull(state.session.LinkHandle, p, 0);
    }
    dialog->reject();
    ASSERT_TRUE(idle());
    ASSERT_TRUE(open(2));

    const qsizetype before = requests().size();
    prompts.fileNames.push_back(file + QStringLiteral(".qap"));
    ASSERT_TRUE(store(control<QPushButton>("cmdLoad")));
    for (int p = 1; p <= probes; ++p)
        EXPECT_EQ(amplifierOf(p), saved[static_cast<size_t>(p - 1)]) << "probe " << p;
    EXPECT_TRUE(requestsSince(before).contains(QStringLiteral("~PW")));
    EXPECT_EQ(control<SettingScrollBar>("vscrGainCoarse")->position(), saved[1].rf);

    // After a load Cancel keeps the loaded state.
    control<QPushButton>("CancelButton")->click();
    ASSERT_TRUE(idle());
    EXPECT_EQ(amplifierOf(2), saved[1]);
}

TEST_F(CalibrateDialogTest, ADamagedProfileChangesNothing) {
    state.config.SpecialCalibrate = true;
    ASSERT_TRUE(open(1));
    const QString file = tempPath(QStringLiteral("bad.qap"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("[Amplifier Profile]\r\n[QORVIEW Version 6.0]\r\n[START_AMP_PROFILE]\r\n 1 \r\n"
              " 85 \r\n nine \r\n");
    out.close();
    const qsizetype before = requests().size();
    prompts.fileNames.push_back(file);
    control<QPushButton>("cmdLoad")->click();
    ASSERT_TRUE(idle());
    EXPECT_TRUE(requestsSince(before).isEmpty()) << joined(requestsSince(before)).toStdString();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown.front().text.contains(QLatin1String("Line")));
}

TEST_F(CalibrateDialogTest, AnEmptyProfileSendsNothingButStillStores) {
    state.config.SpecialCalibrate = true;
    ASSERT_TRUE(open(1));
    const QString file = tempPath(QStringLiteral("empty.qap"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.close();
    const qsizetype before = requests().size();
    prompts.fileNames.push_back(file);
    ASSERT_TRUE(store(control<QPushButton>("cmdLoad")));
    const QStringList sent = requestsSince(before);
    ASSERT_FALSE(sent.isEmpty());
    EXPECT_EQ(sent.front(), QStringLiteral("~PW")) << joined(sent).toStdString();
    EXPECT_EQ(sent.filter(QStringLiteral("~P")).size(), sent.size());
}

class FailingStoreTest : public ::testing::Test, public CalibrationFixture {};

TEST(StoredCalibrationTest, SurvivesARestartOfTheUnit) {
    QTemporaryDir folder;
    const QString stateFile = folder.filePath(QStringLiteral("unit.state"));
    const QString options = QStringLiteral("--preset demo --state ") + stateFile;
    {
        CalibrationFixture first;
        QString why;
        ASSERT_TRUE(first.connect(options, &why)) << why.toStdString();
        ASSERT_TRUE(first.open(3));
        first.control<SettingScrollBar>("vscrGainFine")->setPosition(42);
        QSignalSpy finished(first.dialog.get(), &dlgCalibrate::storeFinished);
        first.control<QPushButton>("OKButton")->click();
        ASSERT_TRUE(waitFor([&] { return finished.size() == 1; }));
        ASSERT_TRUE(finished.front().front().toBool());
    }
    CalibrationFixture second;
    QString why;
    ASSERT_TRUE(second.connect(options, &why)) << why.toStdString();
    ASSERT_TRUE(second.open(3));
    EXPECT_EQ(second.control<SettingScrollBar>("vscrGainFine")->position(), 42);
}

TEST_F(FailingStoreTest, AStoreTheUnitReportsAsFailedIsSaid) {
    QString why;
    ASSERT_TRUE(connect(QStringLiteral("--preset demo --save-status 3"), &why))
        << why.toStdString();
    ASSERT_TRUE(open(1));
    QSignalSpy finished(dialog.get(), &dlgCalibrate::storeFinished);
    control<QPushButton>("OKButton")->click();
    ASSERT_TRUE(waitFor([&] { return finished.size() == 1; }));
    EXPECT_FALSE(finished.front().front().toBool());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown.front().text, QStringLiteral("Problem saving to QOR '3'"));
}

} // namespace
