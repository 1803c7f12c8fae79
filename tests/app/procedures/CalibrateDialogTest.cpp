#include "CalibrationFixture.h"

#include "AmplifierSettings.h"
#include "SettingScrollBar.h"
#include "SetupFolder.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
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
    void setAmplifier(int probe, const AmplifierSettings &a) {
        link.QorSetLvdtGain(state.session.LinkHandle, probe, a.rf, a.ri);
        link.QorSetLvdtFine(state.session.LinkHandle, probe, a.fine);
        link.QorSetLvdtNull(state.session.LinkHandle, probe, a.null);
    }
    QString profileFile(const QString &name, const QByteArray &text) {
        const QString path = tempPath(name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text);
        return path;
    }
    // Reopens the dialog on `probe`, so that it reads what the unit holds now.
    bool reopen(int probe) {
        dialog->reject();
        return idle() && open(probe);
    }
};

// A profile of one probe, as Save writes it.
QByteArray oneProbeProfile(int probe, const AmplifierSettings &a) {
    const auto line = [](int value) {
        return QByteArray(value < 0 ? "" : " ") + QByteArray::number(value) + " \r\n";
    };
    return "[Amplifier Profile]\r\n[QORVIEW Version 6.0]\r\n[START_AMP_PROFILE]\r\n" + line(probe) +
           line(a.ri) + line(a.rf) + line(a.fine) + line(a.null) +
           "[END_AMP_PROFILE]\r\n[Amplifier Profile End]\r\n";
}

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

TEST_F(CalibrateDialogTest, AProfileOfValuesBeyondTheScrollBarsLoadsThemBackAsTheyWere) {
    state.config.SpecialCalibrate = true;
    // Probe 2 is shown: its bars cannot show these values.
    const AmplifierSettings first{10, 85, -32768, 32767}, second{20, 60, 150, -700};
    setAmplifier(1, first);
    setAmplifier(2, second);
    ASSERT_TRUE(open(2));
    const QString file = tempPath(QStringLiteral("beyond.qap"));
    prompts.fileNames.push_back(file);
    control<QPushButton>("cmdSave")->click();
    ASSERT_TRUE(idle());
    ASSERT_TRUE(waitFor([&] { return dialog->isReady(); }));

    setAmplifier(1, {});
    setAmplifier(2, {});
    ASSERT_TRUE(reopen(2));
    prompts.fileNames.push_back(file);
    ASSERT_TRUE(store(control<QPushButton>("cmdLoad")));
    EXPECT_TRUE(prompts.shown.empty()) << prompts.shown.front().text.toStdString();
    EXPECT_EQ(amplifierOf(1), first);
    EXPECT_EQ(amplifierOf(2), second) << "sent as the file holds them, not as the bars show them";
    EXPECT_EQ(control<SettingScrollBar>("vscrGainFine")->position(), 100) << "at its end";
    EXPECT_EQ(control<SettingScrollBar>("vscrNull")->position(), -500) << "at its end";
}

TEST_F(CalibrateDialogTest, ALoadComparesWithWhatTheUnitHoldsNotWithTheBar) {
    state.config.SpecialCalibrate = true;
    setAmplifier(3, {30, 85, 150, -20}); // the fine gain bar shows 0
    ASSERT_TRUE(open(3));
    ASSERT_EQ(control<SettingScrollBar>("vscrGainFine")->position(), 0);
    prompts.fileNames.push_back(
        profileFile(QStringLiteral("zero.qap"), oneProbeProfile(3, {30, 85, 0, -20})));
    ASSERT_TRUE(store(control<QPushButton>("cmdLoad")));
    EXPECT_EQ(amplifierOf(3), (AmplifierSettings{30, 85, 0, -20}));
}

TEST_F(CalibrateDialogTest, CancelWaitsWhileAProfileIsLoadedAndStored) {
    state.config.SpecialCalibrate = true;
    ASSERT_TRUE(open(1));
    const AmplifierSettings loaded{77, 50, 12, -34};
    prompts.fileNames.push_back(profileFile(QStringLiteral("two.qap"), oneProbeProfile(2, loaded)));
    QSignalSpy finished(dialog.get(), &dlgCalibrate::storeFinished);
    const qsizetype before = requests().size();
    control<QPushButton>("cmdLoad")->click();
    EXPECT_FALSE(control<QPushButton>("CancelButton")->isEnabled()) << "while the load runs";
    dialog->reject(); // Escape or the close box
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_TRUE(waitFor([&] { return finished.size() == 1; }));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(control<QPushButton>("CancelButton")->isEnabled()) << "once the store has ended";
    EXPECT_EQ(amplifierOf(2), loaded);
    EXPECT_EQ(requestsSince(before).filter(QStringLiteral("~PW")).size(), 1);
}

TEST_F(CalibrateDialogTest, ProfileFileDialogsOpenInTheSetupsFolderAndCancelChangesNothing) {
    state.config.SpecialCalibrate = true;
    ASSERT_TRUE(open(1));
    const qsizetype before = requests().size();
    // No file name: the operator cancels each dialog.
    control<QPushButton>("cmdSave")->click();
    control<QPushButton>("cmdLoad")->click();
    ASSERT_TRUE(idle());
    ASSERT_EQ(prompts.fileDialogs.size(), 2u);
    for (const auto &shown : prompts.fileDialogs) {
        EXPECT_EQ(shown.folder, setupsFolder()) << shown.title.toStdString();
        EXPECT_NE(shown.folder, QCoreApplication::applicationDirPath());
    }
    EXPECT_TRUE(requestsSince(before).isEmpty()) << joined(requestsSince(before)).toStdString();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(QDir(setupsFolder()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(dialog->isReady());
}

TEST_F(CalibrateDialogTest, TheStoreHoldsThePollFromItsFirstRequestToItsLast) {
    ASSERT_TRUE(open(3));
    scheduler.startPolling();
    const qsizetype before = requests().size();
    ASSERT_TRUE(store(control<QPushButton>("OKButton")));
    EXPECT_TRUE(scheduler.isPolling()) << "the poll goes on after the store";
    scheduler.stopPolling();
    const QStringList sent = requestsSince(before);
    const qsizetype first = sent.indexOf(QStringLiteral("~PW"));
    const qsizetype last = sent.lastIndexOf(QStringLiteral("~PX"));
    ASSERT_GE(first, 0) << joined(sent).toStdString();
    ASSERT_GT(last, first + 1) << "the unit took more than one status request";
    for (const QString &request : sent.mid(first, last - first + 1))
        EXPECT_TRUE(request == QStringLiteral("~PW") || request == QStringLiteral("~PX"))
            << request.toStdString() << " inside the store: " << joined(sent).toStdString();
}

struct CaptionRow {
    const char *control;
    const char *caption; // text of a label or button, title of a frame
    const char *tip;     // nullptr: none documented
};

QString captionOf(const QWidget *widget) {
    if (const auto *frame = qobject_cast<const QGroupBox *>(widget))
        return frame->title();
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    return {};
}

TEST_F(CalibrateDialogTest, CaptionsAndTipsAreTheDocumentedOnes) {
    ASSERT_TRUE(open(5));
    const CaptionRow rows[] = {
        {"lblProbe", "Probe 5", nullptr},
        {"frmGain", "Gain Adj", "Set amplifier gain"},
        {"lblGainCoarse", "Coarse", nullptr},
        {"lblGainFine", "Fine", nullptr},
        {"frmNull", "Null Adj", "Set amplifier null"},
        {"lblNullAdj", "Null", nullptr},
        {"Frame1", "Display", nullptr},
        {"lblFullScale", "FullSc", nullptr},
        {"txtFullScale", "", "Sets reading at full travel"},
        {"lblOffset", "Offset", nullptr},
        {"txtOffset", "", "Sets reading at probe null"},
        {"lblRangeSelect", "Range", nullptr},
        {"cboGainSelect", "", "Select gain range"},
        {"lblCustomGain", "Gain", nullptr},
        {"lblCustomFine", "Fine", nullptr},
        {"lblCustomRf", "Rf", nullptr},
        {"lblCustomRi", "Ri", nullptr},
        {"lblCustomNull", "Null", nullptr},
        {"OKButton", "OK", "Make changes permanent"},
        {"CancelButton", "Cancel", "Cancel changes made"},
        {"cmdHelp", "Help", nullptr},
        {"cmdAdvanced", "<< No Details", "Show/Hide Details"},
        {"cmdSave", "Save", "Saves to 'qap' file"},
        {"cmdLoad", "Load", "Loads from 'qap' file"},
    };
    for (const CaptionRow &row : rows) {
        const auto *widget = control<QWidget>(row.control);
        ASSERT_NE(widget, nullptr) << row.control;
        EXPECT_EQ(captionOf(widget), QString::fromLatin1(row.caption)) << row.control;
        if (row.tip) {
            EXPECT_EQ(widget->toolTip(), QString::fromLatin1(row.tip)) << row.control;
        }
    }
    control<QPushButton>("cmdAdvanced")->click();
    EXPECT_EQ(control<QPushButton>("cmdAdvanced")->text(), QStringLiteral("Details >>"));
    QStringList ranges;
    for (int i = 0; i < control<QComboBox>("cboGainSelect")->count(); ++i)
        ranges << control<QComboBox>("cboGainSelect")->itemText(i);
    EXPECT_EQ(ranges, (QStringList{"Lo", "M Lo", "M Hi", "Hi", "Cust"}));
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
