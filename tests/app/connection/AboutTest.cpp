#include "AboutTexts.h"
#include "FormAboutQorView.h"
#include "LinkErrorHandler.h"
#include "LinkLibrary.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "Station.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class AboutTest : public ::testing::Test {
protected:
    void SetUp() override { setLinkErrorReporting(&state.session, &prompts); }
    void TearDown() override { setLinkErrorReporting(nullptr, nullptr); }
    static QString text(FormAboutQorView &about, const char *name) {
        const QLabel *label = about.findChild<QLabel *>(QString::fromLatin1(name));
        EXPECT_NE(label, nullptr) << name;
        return label ? label->text() : QString();
    }

    LinkLibrary link;
    ScriptedPrompts prompts;
    SettingsStore settings;
    Station state{link, prompts, settings};
};

TEST_F(AboutTest, ShowsTheFirmwareAndTheLibraryInUse) {
    QString error;
    ASSERT_TRUE(link.load(&error)) << error.toStdString();
    ASSERT_TRUE(SimulatedUnit::available());
    SimulatedUnit unit;
    PortOverride port(1, unit.device());
    state.session.LinkInfo = link.QorInitInfoStructure(1, 9600, 1, &LinkErrorHandler);
    state.session.LinkHandle = link.QorOpen(state.session.LinkInfo);
    ASSERT_NE(state.session.LinkHandle, nullptr);
    state.session.ReportLinkErrors = 1;

    FormAboutQorView about(buildAboutTexts(state.session, state.config));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About QorView"));
    EXPECT_FALSE(about.findChild<QLabel *>(QStringLiteral("Picture1"))->pixmap().isNull());
    EXPECT_EQ(about.findChild<QPushButton *>(QStringLiteral("CommandOK"))->text(),
              QStringLiteral("OK"));
    EXPECT_EQ(text(about, "LabelDescription"),
              QStringLiteral("QOR-128 server program\nVersion 6.0\nQor Instruments"));

    // The version is the unit's own reply, as the simulated unit gives it.
    EXPECT_EQ(
        text(about, "LabelFirmware"),
        QStringLiteral("QOR-128 Firmware currently in use:\nFile: (not reported by the unit)\n"
                       "Version: QOR-128 qorsim 1.0"));

    // Whatever file the build produced (libqorlink.so, or the versioned file its symbolic link
    // names): the About box names the real file and the version in its name.
    EXPECT_TRUE(link.loadedPath().endsWith(QStringLiteral("/libqorlink.so.6")));
    const QString real = QFileInfo(link.loadedPath()).canonicalFilePath();
    ASSERT_FALSE(real.isEmpty());
    EXPECT_EQ(link.realFilePath(), real);
    const QString name = QFileInfo(real).fileName();
    const qsizetype so = name.lastIndexOf(QStringLiteral(".so."));
    const QString version = so < 0 ? QStringLiteral("(not in the file name)") : name.mid(so + 4);
    EXPECT_EQ(text(about, "LabelDLL"),
              QStringLiteral("%1\nFile: %2\nVersion: %3").arg(name, real, version));
    EXPECT_TRUE(prompts.shown.empty());
    link.QorClose(state.session.LinkHandle);
}

TEST_F(AboutTest, WithoutALinkItSaysSoInsteadOfAsking) {
    FormAboutQorView about(buildAboutTexts(state.session, state.config));
    EXPECT_TRUE(text(about, "LabelFirmware").endsWith(QStringLiteral("Version: (not connected)")));
    EXPECT_EQ(text(about, "LabelDLL"),
              QStringLiteral("libqorlink.so.6\nFile: (not loaded)\nVersion: "));
}

TEST(AboutTexts, LibraryVersionIsWhatFollowsSoInTheFileName) {
    const struct {
        const char *fileName;
        const char *version;
    } cases[] = {
        {"libqorlink.so.6.0.0", "6.0.0"},
        {"libqorlink.so.6", "6"},
        {"libqorlink.so", ""},
        {"libqorlink.so.", ""},
        {"qorlink", ""},
        {"libqor.so.link.so.7.1", "7.1"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(libraryVersionOf(QLatin1String(c.fileName)), QLatin1String(c.version))
            << c.fileName;
}

} // namespace
