#include "LinkErrorHandler.h"
#include "LinkLibrary.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "Station.h"
#include "frmWizard.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

LinkLibrary &loadedLink() {
    static LinkLibrary link;
    QString error;
    if (!link.isLoaded() && !link.load(&error))
        ADD_FAILURE() << "link library: " << error.toStdString();
    return link;
}

class WizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        QFile::remove(settings.fileName());
        QFile::remove(PortMap::fromEnvironment().userFile());
        setLinkErrorReporting(&session, &prompts);
    }
    void TearDown() override { setLinkErrorReporting(nullptr, nullptr); }

    template <typename T> static T *child(frmWizard &w, const char *name) {
        T *found = w.findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static QPushButton *nav(frmWizard &w, int index) {
        return w.findChild<QPushButton *>(QStringLiteral("cmdNav_%1").arg(index));
    }
    static QString result(frmWizard &w) { return child<QLabel>(w, "lblTestResult")->text(); }
    static void choosePort(frmWizard &w, const QString &text) {
        QComboBox *box = child<QComboBox>(w, "cboPortSelect");
        box->setCurrentIndex(box->findText(text));
    }
    static void runTest(frmWizard &w) { child<QPushButton>(w, "cmdTestConnection")->click(); }
    // Clicks Next until the wizard stands on page.
    static void goTo(frmWizard &w, int page) {
        while (w.steps().page() < page && nav(w, frmWizard::NavNext)->isEnabled())
            nav(w, frmWizard::NavNext)->click();
        ASSERT_EQ(w.steps().page(), page);
    }
    std::optional<QString> stored(SettingKey key) const { return settings.find(key); }

    ScriptedPrompts prompts;
    SettingsStore settings;
    LinkSession session{loadedLink()};
};

TEST_F(WizardTest, LoadShowsTheIntroductionAndTheStoredChoice) {
    settings.setText(SettingKeys::Port, QStringLiteral("COM3"));
    settings.setText(SettingKeys::BaudRate, QStringLiteral("19200"));
    frmWizard w(session, settings, prompts);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Qor Connection Wizard - Introduction"));
    EXPECT_FALSE(w.windowIcon().isNull());
    const char *captions[] = {"Help", "Cancel", "< &Back", "&Next >", "&Finish"};
    for (int i = 0; i < frmWizard::NavCount; ++i)
        EXPECT_EQ(nav(w, i)->text(), QString::fromLatin1(captions[i]));
    EXPECT_EQ(child<QLabel>(w, "lblStep_3")->text(),
              QStringLiteral("The Connection Wizard is finished collecting information.\n\nTo "
                             "start using your QOR, press Finish!"));
    EXPECT_EQ(child<QStackedWidget>(w, "stackSteps")->currentWidget()->objectName(),
              QStringLiteral("fraStep_0"));
    EXPECT_EQ(child<QComboBox>(w, "cboPortSelect")->currentText(), QStringLiteral("COM3"));
    EXPECT_EQ(child<QComboBox>(w, "cboPortSelect")->currentData().toInt(), 3);
    EXPECT_EQ(child<QComboBox>(w, "cboBaudSelect")->currentData().toInt(), 19200);
    EXPECT_EQ(result(w), QStringLiteral("Not Tested Yet"));
    EXPECT_FALSE(nav(w, frmWizard::NavBack)->isEnabled());
    EXPECT_TRUE(nav(w, frmWizard::NavNext)->isEnabled());
    EXPECT_FALSE(nav(w, frmWizard::NavFinish)->isEnabled());
}

TEST_F(WizardTest, HelpButtonAndF1SayThereIsNoHelpYet) {
    frmWizard w(session, settings, prompts);
    nav(w, frmWizard::NavHelp)->click();
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_F1);
    ASSERT_EQ(prompts.shown.size(), 2u);
    for (const auto &shown : prompts.shown) {
        EXPECT_EQ(shown.text, QStringLiteral("No help available yet"));
        EXPECT_EQ(shown.buttons, PromptButtons::Ok);
    }
}

TEST_F(WizardTest, StoredTextMatchingNoEntryIsRefusedWithoutTouchingTheLink) {
    settings.setText(SettingKeys::Port, QStringLiteral("COM9"));
    frmWizard w(session, settings, prompts);
    EXPECT_EQ(child<QComboBox>(w, "cboPortSelect")->currentIndex(), -1);
    goTo(w, 1);
    runTest(w);
    EXPECT_TRUE(result(w).startsWith(QStringLiteral("Not tested"))) << result(w).toStdString();
    EXPECT_EQ(session.LinkInfo, nullptr);
    EXPECT_FALSE(nav(w, frmWizard::NavNext)->isEnabled());
    w.reject();
    EXPECT_EQ(stored(SettingKeys::Port), QStringLiteral("COM9")) << "nothing new stored";
}

// A port that will not open says why, quietly, and never enables Next.
TEST_F(WizardTest, UnableToOpenSaysWhy) {
    QTemporaryDir dir;
    const QString plainFile = dir.filePath(QStringLiteral("plain"));
    QFile(plainFile).open(QIODevice::WriteOnly);
    SilentTerminal held;
    const int holder = ::open(QFile::encodeName(held.device()).constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);

    const struct {
        const char *legend;
        QString device;
        QString reason;
    } cases[] = {
        {"missing device", dir.filePath(QStringLiteral("ttyUSB7")),
         QStringLiteral("There is no device")},
        {"not a device", plainFile, QStringLiteral("is not a serial device")},
        {"not a serial port", QStringLiteral("/dev/null"),
         QStringLiteral("refuses the serial line settings")},
        {"held by another program", held.device(), QStringLiteral("in use by another program")},
    };
    for (const auto &c : cases) {
        PortOverride port(2, c.device);
        frmWizard w(session, settings, prompts);
        choosePort(w, QStringLiteral("COM2"));
        goTo(w, 1);
        session.ReportLinkErrors = 1;
        runTest(w);
        const QString text = result(w);
        EXPECT_TRUE(text.startsWith(QStringLiteral("Unable to open this port\n"))) << c.legend;
        EXPECT_TRUE(text.contains(c.reason)) << c.legend << ": " << text.toStdString();
        EXPECT_TRUE(text.contains(c.device)) << c.legend;
        EXPECT_FALSE(nav(w, frmWizard::NavNext)->isEnabled()) << c.legend;
        EXPECT_EQ(session.ReportLinkErrors, 1) << c.legend;
    }
    EXPECT_TRUE(prompts.shown.empty()) << "errors during the test stay quiet";
    ::close(holder);
}

TEST_F(WizardTest, SilentPortIsNotFunctioning) {
    SilentTerminal silent;
    PortOverride port(1, silent.device());
    frmWizard w(session, settings, prompts);
    choosePort(w, QStringLiteral("COM1"));
    goTo(w, 1);
    runTest(w);
    EXPECT_EQ(result(w), QStringLiteral("Communication not functioning"));
    EXPECT_FALSE(nav(w, frmWizard::NavNext)->isEnabled());
    EXPECT_TRUE(prompts.shown.empty());
    w.reject();
    EXPECT_FALSE(stored(SettingKeys::Port));
}

TEST_F(WizardTest, MappingAPortWritesPortsConf) {
    SilentTerminal adapter;
    frmWizard w(session, settings, prompts);
    choosePort(w, QStringLiteral("COM3"));
    goTo(w, 1);
    EXPECT_TRUE(child<QLabel>(w, "lblPortDevice")->text().startsWith(QStringLiteral("/dev/ttyS2")));
    QComboBox *devices = child<QComboBox>(w, "cboDeviceSelect");
    QPushButton *use = child<QPushButton>(w, "cmdMapPort");
    EXPECT_FALSE(use->isEnabled()) << "the device in use is already chosen";
    devices->addItem(adapter.device()); // as if the adapter were plugged in and listed
    devices->setCurrentText(adapter.device());
    ASSERT_TRUE(use->isEnabled());
    use->click();
    QFile conf(PortMap::fromEnvironment().userFile());
    ASSERT_TRUE(conf.open(QIODevice::ReadOnly));
    EXPECT_EQ(conf.readAll(), QStringLiteral("COM3=%1\n").arg(adapter.device()).toUtf8());
    EXPECT_TRUE(child<QLabel>(w, "lblPortDevice")->text().startsWith(adapter.device()));
    EXPECT_FALSE(use->isEnabled());
}

class WizardWithUnitTest : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        ASSERT_TRUE(SimulatedUnit::available()) << "qorsim is built with the tests";
        // The unit's line runs at 38400, so only a test at that rate can pass.
        unit = std::make_unique<SimulatedUnit>(
            QStringList{QStringLiteral("--baud"), QStringLiteral("38400")});
        port = std::make_unique<PortOverride>(1, unit->device());
    }
    // Opens a wizard on COM1 at 38400 and passes its test.
    void passTest(frmWizard &w) {
        choosePort(w, QStringLiteral("COM1"));
        QComboBox *baud = child<QComboBox>(w, "cboBaudSelect");
        baud->setCurrentIndex(baud->findText(QStringLiteral("38400")));
        goTo(w, 1);
        runTest(w);
        ASSERT_EQ(result(w), QStringLiteral("Communication good"));
        ASSERT_TRUE(w.steps().testPassed());
    }
    std::unique_ptr<SimulatedUnit> unit;
    std::unique_ptr<PortOverride> port;
};

TEST_F(WizardWithUnitTest, PassedTestWalksToTheEndAndFinishStores) {
    frmWizard w(session, settings, prompts);
    passTest(w);
    EXPECT_TRUE(nav(w, frmWizard::NavNext)->isEnabled());
    EXPECT_FALSE(child<QComboBox>(w, "cboDeviceSelect")->isEnabled())
        << "the environment decides COM1, so the file's mapping would not count";
    goTo(w, 2);
    EXPECT_TRUE(child<QLabel>(w, "lblSummary")->text().contains(unit->device()));
    goTo(w, 3);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Qor Connection Wizard - Finished!"));
    EXPECT_TRUE(nav(w, frmWizard::NavFinish)->isEnabled());
    nav(w, frmWizard::NavBack)->click();
    EXPECT_FALSE(nav(w, frmWizard::NavFinish)->isEnabled()) << "back to Step 2";
    goTo(w, 3);
    nav(w, frmWizard::NavFinish)->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(stored(SettingKeys::Port), QStringLiteral("COM1"));
    EXPECT_EQ(stored(SettingKeys::BaudRate), QStringLiteral("38400"));
}

TEST_F(WizardWithUnitTest, PassedThenCancelStillStores) {
    frmWizard w(session, settings, prompts);
    passTest(w);
    nav(w, frmWizard::NavCancel)->click();
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_EQ(stored(SettingKeys::Port), QStringLiteral("COM1"));
}

TEST_F(WizardWithUnitTest, ANewChoiceAfterAPassIsStoredAsChosen) {
    frmWizard w(session, settings, prompts);
    passTest(w);
    choosePort(w, QStringLiteral("COM4"));
    goTo(w, 3);
    nav(w, frmWizard::NavFinish)->click();
    EXPECT_EQ(stored(SettingKeys::Port), QStringLiteral("COM4"));
}

TEST_F(WizardWithUnitTest, AFailedTestAfterAPassStoresNothing) {
    QTemporaryDir dir;
    PortOverride missing(2, dir.filePath(QStringLiteral("gone")));
    frmWizard w(session, settings, prompts);
    passTest(w);
    choosePort(w, QStringLiteral("COM2"));
    runTest(w);
    EXPECT_FALSE(w.steps().testPassed());
    w.close();
    EXPECT_FALSE(stored(SettingKeys::Port));
    EXPECT_FALSE(stored(SettingKeys::BaudRate));
}

} // namespace
