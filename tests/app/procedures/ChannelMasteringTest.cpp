#include "MasteringFixture.h"

#include "FreshReading.h"

#include <gtest/gtest.h>

namespace {

// Demo channel 1: "Bore diameter" = P1 around 25 mm, masters 24.990 and 25.010 (two masters).
// Demo channel 2: "Shaft diameter" = P2 around 12 mm, master 11.990 (one master).
constexpr double Noise = 2e-4;

class ChannelMasteringTest : public ::testing::Test, public MasteringStation {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(startWithMastersOff(&why)) << why.toStdString();
    }

    // Puts a master part in the fixture and waits for the dialog's next reading of it.
    void insert(const char *part) {
        ASSERT_TRUE(control(part));
        ASSERT_TRUE(freshReading());
    }
};

TEST_F(ChannelMasteringTest, TwoMastersGiveBothSizesAndWriteZeroThenScaling) {
    ASSERT_TRUE(channelCommand(&FormMain::MasterChannel_Click));
    EXPECT_EQ(dialog().windowTitle(), QStringLiteral("Master Channels"));
    EXPECT_EQ(instruction(), QStringLiteral("Insert Master 1:  24.99000"));
    insert("part master1");
    ASSERT_NEAR(read(1), 24.987, Noise) << "before mastering";
    const qsizetype before = requests().size();
    ASSERT_TRUE(pressMaster());
    EXPECT_EQ(instruction(), QStringLiteral("Insert Master 2:  25.01000"));
    EXPECT_EQ(dialog().step(), FormMastering::Step::WaitMaster2);
    insert("part master2");
    ASSERT_TRUE(pressMaster());
    EXPECT_EQ(instruction(), QStringLiteral("Mastering completed."));
    EXPECT_EQ(control<QPushButton>(dialog(), "CommandMaster")->text(),
              QStringLiteral("Next Channel"));
    EXPECT_TRUE(state.setup.SetupChanged);

    const QStringList sent = sentSince(before);
    ASSERT_EQ(sent.size(), 11) << joined(sent).toStdString();
    EXPECT_EQ(sent.mid(0, 9), (QStringList{"~CL 1", "~CJ 1", "~CK 1", "~CD 1", "~CE 1", "~CJ 1",
                                           "~CK 1", "~CD 1", "~CE 1"}))
        << "the constants are read at each press";
    EXPECT_TRUE(sent[9].startsWith(QStringLiteral("~CB 1 "))) << "zero first";
    EXPECT_TRUE(sent[10].startsWith(QStringLiteral("~CC 1 "))) << "then scaling";

    EXPECT_NEAR(read(1), 25.010, Noise) << "master 2 reads its size";
    ASSERT_TRUE(control("part master1"));
    EXPECT_NEAR(read(1), 24.990, Noise) << "master 1 reads its size";
}

TEST_F(ChannelMasteringTest, ZeroTakesOnePressAndChangesOnlyTheZero) {
    for (const int channel : {1, 2}) {
        SCOPED_TRACE(channel);
        if (channel == 1) {
            ASSERT_TRUE(channelCommand(&FormMain::ZeroChannel_Click));
        } else {
            ASSERT_TRUE(settleAfter(dialog(), [&] { dialog().NextChannel(); }));
        }
        EXPECT_EQ(dialog().channel(), channel);
        insert("part master1");
        const qsizetype before = requests().size();
        ASSERT_TRUE(pressMaster());
        EXPECT_EQ(instruction(), QStringLiteral("Zero completed."));
        const QStringList sent = sentSince(before);
        ASSERT_EQ(sent.size(), 6) << joined(sent).toStdString();
        EXPECT_TRUE(sent.back().startsWith(QStringLiteral("~CB %1 ").arg(channel)));
        EXPECT_NEAR(read(channel), channel == 1 ? 24.990 : 11.990, Noise);
        // "Next Channel" continues with the following channel.
        if (channel == 2) {
            ASSERT_TRUE(pressMaster());
            EXPECT_EQ(dialog().channel(), 3);
        }
    }
}

TEST_F(ChannelMasteringTest, APressRightAfterPreparingWaitsForAFreshReading) {
    window->linkScheduler().stopPolling();
    ASSERT_TRUE(channelCommand(&FormMain::ZeroChannel_Click));
    ASSERT_TRUE(control("part master1"));
    const qsizetype before = requests().size();
    ASSERT_TRUE(pressMaster());
    EXPECT_EQ(instruction(), procedures::noReadingYetText(1));
    EXPECT_EQ(control<QLabel>(dialog(), "LblInstruction")->styleSheet(),
              QStringLiteral("color: rgb(255, 0, 0);"));
    EXPECT_EQ(dialog().step(), FormMastering::Step::WaitMaster1);
    EXPECT_TRUE(sentSince(before).isEmpty()) << "nothing is read or written";
    EXPECT_FALSE(state.setup.SetupChanged);

    window->linkScheduler().startPolling();
    ASSERT_TRUE(freshReading());
    ASSERT_TRUE(pressMaster());
    EXPECT_EQ(instruction(), QStringLiteral("Zero completed."));
    EXPECT_NEAR(read(1), 24.990, Noise);
}

TEST_F(ChannelMasteringTest, ReadingsThatCannotBeComputedAreRefusedInRed) {
    ASSERT_TRUE(channelCommand(&FormMain::MasterChannel_Click));
    insert("part master1");
    ASSERT_TRUE(pressMaster());
    // Master 2 reads as master 1 did: the readings are too close.
    ASSERT_TRUE(freshReading());
    ASSERT_TRUE(pressMaster());
    EXPECT_EQ(instruction(), QStringLiteral("Mastering unsuccessful."));
    EXPECT_EQ(dialog().step(), FormMastering::Step::WaitMaster2) << "master 2 is read again";

    // A scaling of 0 set behind the dialog's back: the reading becomes the zero, far from master
    // 1's reading, and the computation is impossible.
    setScaling(1, 0.0f);
    ASSERT_TRUE(freshReading());
    const qsizetype before = requests().size();
    ASSERT_TRUE(pressMaster());
    EXPECT_TRUE(instruction().contains(QStringLiteral("scaling is 0")))
        << instruction().toStdString();
    EXPECT_EQ(control<QLabel>(dialog(), "LblInstruction")->styleSheet(),
              QStringLiteral("color: rgb(255, 0, 0);"));
    for (const QString &request : sentSince(before))
        EXPECT_FALSE(request.startsWith(QStringLiteral("~CB")) ||
                     request.startsWith(QStringLiteral("~CC")))
            << request.toStdString();
    EXPECT_FALSE(state.setup.SetupChanged);
}

TEST_F(ChannelMasteringTest, TheDialogKeepsItsModeUntilACommandStartsItAfresh) {
    ASSERT_TRUE(channelCommand(&FormMain::MasterChannel_Click));
    insert("part master1");
    ASSERT_TRUE(pressMaster());
    ASSERT_EQ(dialog().step(), FormMastering::Step::WaitMaster2);

    insert("part master2");
    ASSERT_TRUE(pressMaster());
    EXPECT_EQ(instruction(), QStringLiteral("Mastering completed."));

    ASSERT_TRUE(channelCommand(&FormMain::ZeroChannel_Click));
    EXPECT_EQ(dialog().windowTitle(), QStringLiteral("Zero Channels"));
    EXPECT_EQ(dialog().channel(), 1) << "the channel last used";
    EXPECT_EQ(dialog().step(), FormMastering::Step::WaitMaster1);
    insert("part master1");
    ASSERT_TRUE(pressMaster());
    EXPECT_EQ(instruction(), QStringLiteral("Zero completed.")) << "one press in zero mode";
}

TEST_F(ChannelMasteringTest, AChannelWithoutFormulaCannotBeMastered) {
    link.QorClearChannel(state.session.LinkHandle, 3);
    ASSERT_TRUE(channelCommand(&FormMain::ZeroChannel_Click));
    ASSERT_TRUE(settleAfter(dialog(), [&] { dialog().PrevChannel(); }));
    EXPECT_EQ(dialog().channel(), 8) << "down from channel 1 goes to the highest";
    ASSERT_TRUE(settleAfter(dialog(), [&] { dialog().NextChannel(); }));
    ASSERT_TRUE(settleAfter(dialog(), [&] { dialog().NextChannel(); }));
    ASSERT_TRUE(settleAfter(dialog(), [&] { dialog().NextChannel(); }));
    ASSERT_EQ(dialog().channel(), 3);
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown.back().text, QStringLiteral("No formula defined for channel 3"));
    EXPECT_EQ(instruction(), QStringLiteral("This Channel has no formula"));
    const auto *button = control<QPushButton>(dialog(), "CommandMaster");
    EXPECT_EQ(button->text(), QStringLiteral("Cannot Zero"));
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(state.live.MasteringChannel, 0) << "nothing is read for it";
}

TEST_F(ChannelMasteringTest, AChannelNumberBeyondASmallerSetupComesBackInRange) {
    ASSERT_TRUE(channelCommand(&FormMain::ZeroChannel_Click));
    ASSERT_TRUE(settleAfter(dialog(), [&] { dialog().PrevChannel(); }));
    ASSERT_EQ(dialog().channel(), 8);
    dialog().reject();
    EXPECT_EQ(state.live.MasteringChannel, 0) << "closing stops the live value";
    state.unit.UnitSystem->setMaxChannel(5);
    ASSERT_TRUE(channelCommand(&FormMain::ZeroChannel_Click));
    EXPECT_EQ(dialog().channel(), 5);
    EXPECT_EQ(control<QLineEdit>(dialog(), "TextMasterChannel")->text(), QStringLiteral("5"));
    EXPECT_EQ(state.live.MasteringChannel, 5);

    // The setup shrinks while the dialog is open on its last channel.
    ASSERT_TRUE(settleAfter(dialog(), [&] { dialog().keepChannelWithin(3); }));
    EXPECT_EQ(dialog().channel(), 3);
    EXPECT_EQ(state.live.MasteringChannel, 3);
    EXPECT_EQ(dialog().step(), FormMastering::Step::WaitMaster1);
}

} // namespace
