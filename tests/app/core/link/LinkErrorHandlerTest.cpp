#include "LinkErrorHandler.h"
#include "CommandLine.h"
#include "PollCycle.h"
#include "ProcessEnd.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "Startup.h"
#include "StationFixture.h"

#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

namespace {

const QString NoResponseAdvice = QStringLiteral("\rPress Retry to continue\r"
                                                "Press Cancel to end program\r"
                                                "\r"
                                                "If you select end program,\r"
                                                "you can restart the program\r"
                                                "with the /COMMSETUP option\r");

// A unit that takes every request and never answers: each operation runs into the link's read
// time-out and fails with 259.
class SilentUnitTest : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override {
        ASSERT_FALSE(unit.device().isEmpty());
        qputenv("QORLINK_COM1", QFile::encodeName(unit.device()));
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QorView"),
                  QStringLiteral("QorView"))
            .setValue(QStringLiteral("QorSettings/Port"), QStringLiteral("COM1"));
        QString why;
        ASSERT_TRUE(link.load(&why)) << why.toStdString();
        StationStartup startup(state, CommandLine(), [] {});
        ASSERT_NE(startup.OpenUnitLink(), nullptr);
        state.session.ReportLinkErrors = 1;
    }

    SilentTerminal unit;
};

TEST_F(SilentUnitTest, RetryReturnsTheFailureToTheCaller) {
    prompts.answers = {PromptAnswer::Retry};
    EXPECT_EQ(link.QorStartScan(state.session.LinkHandle), QOR_ERR_NO_RESPONSE);
    ASSERT_EQ(prompts.shown.size(), 1u);
    int32_t error = 0;
    char text[QOR_TEXT_BUFFER_SIZE] = {};
    link.QorDecodeError(state.session.LinkHandle, &error, text);
    EXPECT_EQ(prompts.shown[0].text, QString::fromLatin1(text) + NoResponseAdvice);
    EXPECT_EQ(prompts.shown[0].buttons, PromptButtons::RetryCancel);
    EXPECT_EQ(prompts.shown[0].icon, PromptIcon::Critical);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("QorView"));
    EXPECT_EQ(unit.received(), QByteArray("~C7\r")) << "nothing is repeated";
}

// The box's event loop delivers poll ticks while the failed call is still inside the library.
TEST_F(SilentUnitTest, NoPollRunsWhileTheBoxIsOpen) {
    PollCycle poll(state.session, state.unit, state.view);
    std::vector<bool> ticks;
    prompts.whileShown = [&] {
        ticks.push_back(poll.tick());
    };
    link.QorStartScan(state.session.LinkHandle);
    EXPECT_EQ(ticks, std::vector<bool>{false});
    EXPECT_FALSE(state.session.InLinkErrorHandler);
}

TEST_F(SilentUnitTest, CancelEndsTheProcessAtOnce) {
    prompts.answers = {PromptAnswer::Cancel};
    EXPECT_EXIT(link.QorStartScan(state.session.LinkHandle),
                ::testing::ExitedWithCode(ImmediateEndStatus), "");
}

TEST_F(SilentUnitTest, NothingIsShownWhileConnecting) {
    state.session.ReportLinkErrors = 0;
    EXPECT_EQ(link.QorStartScan(state.session.LinkHandle), QOR_ERR_NO_RESPONSE);
    EXPECT_TRUE(prompts.shown.empty());
}

class UnitErrorTest : public ::testing::Test, public StationFixture {};

TEST_F(UnitErrorTest, OtherErrorsShowTheLibraryTextWithOkOnly) {
    connectStandIn();
    float value = 0;
    EXPECT_NE(link.QorReadChannel(state.session.LinkHandle, 250, &value), 0);
    ASSERT_EQ(prompts.shown.size(), 1u);
    int32_t error = 0;
    char text[QOR_TEXT_BUFFER_SIZE] = {};
    link.QorDecodeError(state.session.LinkHandle, &error, text);
    EXPECT_NE(error, QOR_ERR_NO_RESPONSE);
    EXPECT_EQ(prompts.shown[0].text, QString::fromLatin1(text));
    EXPECT_FALSE(prompts.shown[0].text.isEmpty());
    EXPECT_EQ(prompts.shown[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(prompts.shown[0].icon, PromptIcon::None);
}

} // namespace
