// A right click on a bar: the copy-link dialog in the group and channel views, with the value and
// the link on the clipboard; the calibration hook in the probe view; nothing elsewhere.

#include "CommandLine.h"
#include "FormLinGage.h"
#include "FormMain.h"
#include "LinearGauge.h"
#include "StationFixture.h"
#include "StationHelp.h"
#include "dlgCalibrate.h"
#include "dlgCopyLink.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace {

const QString LinkType = QStringLiteral("application/x-qorview-link");

// Eight channels that read n + 0.25, a group of channels 7 and 5, the bars shown.
class CopyLinkTest : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(connectStandIn(QStringLiteral("--preset empty")));
        for (int n = 1; n <= 8; ++n)
            state.unit.channel(n)->setFormula(QStringLiteral("%1.25").arg(n));
        addGroup(QStringLiteral("Bores"), {7, 5});
        window = std::make_unique<FormMain>(state, line, help);
        window->Form_Load();
        window->linkScheduler().stopPolling();
        QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
    }

    void showView(View view) {
        state.view.ViewMode = view;
        state.view.SelectedGroup = view == View::Group ? 1 : 0;
        window->UpdateMainDisplay();
    }
    // Right-clicks bar (1-based); the point on the screen where it was clicked.
    QPoint rightClick(int bar) {
        LinearGauge *gauge = window->barDisplay()->gauge(bar - 1);
        QTest::mousePress(gauge, Qt::RightButton, {}, QPoint(6, 7));
        return gauge->mapToGlobal(QPoint(6, 7));
    }
    dlgCopyLink *shownDialog() const {
        dlgCopyLink *dialog = window->dialogs().copyLinkDialog();
        return dialog && dialog->isVisible() ? dialog : nullptr;
    }
    void clickCopy(dlgCopyLink *dialog) {
        QTest::mouseClick(dialog->findChild<QLabel *>(QStringLiteral("Label1")), Qt::LeftButton);
    }

    CommandLine line;
    StationHelp help{state.config, state.prompts};
    std::unique_ptr<FormMain> window;
};

TEST_F(CopyLinkTest, CopyPutsTheValueAndTheLinkOfTheBarsChannelOnTheClipboard) {
    const struct {
        const char *legend;
        View view;
        int bar;
        int channel;
    } cases[] = {
        {"channel view: the bar's channel", View::Channels, 3, 3},
        {"group view: the channel at that row, not the row", View::Group, 2, 5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        showView(c.view);
        window->Timer1_Timer();
        const QPoint at = rightClick(c.bar);
        dlgCopyLink *dialog = shownDialog();
        ASSERT_NE(dialog, nullptr);
        // Where the bar was clicked, give or take the frame the window system may add.
        EXPECT_LE((dialog->pos() - at).manhattanLength(), 8);
        clickCopy(dialog);

        EXPECT_FALSE(dialog->isVisible());
        const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
        ASSERT_NE(copied, nullptr);
        EXPECT_EQ(copied->formats(), (QStringList{QStringLiteral("text/plain"), LinkType}));
        EXPECT_EQ(copied->text(), QStringLiteral(" %1.25000").arg(c.channel));
        EXPECT_EQ(QString::fromUtf8(copied->data(LinkType)),
                  QStringLiteral("qorview|Display!labelChan(%1)").arg(c.channel));
        EXPECT_EQ(dialog->CopyLinkApplication, QStringLiteral("qorview"));
        EXPECT_TRUE(dialog->CopyLinkTopic.isEmpty());
        EXPECT_TRUE(dialog->CopyLinkItem.isEmpty());
        EXPECT_TRUE(dialog->CopyLinkValue.isEmpty());
    }
}

TEST_F(CopyLinkTest, CopyWithoutAValueLeavesTheClipboardAndHides) {
    showView(View::Channels); // no tick yet: the labels are empty
    rightClick(1);
    dlgCopyLink *dialog = shownDialog();
    ASSERT_NE(dialog, nullptr);
    clickCopy(dialog);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasFormat(LinkType));
}

TEST_F(CopyLinkTest, RightClickDependsOnTheView) {
    const struct {
        const char *legend;
        View view;
        int bar;
        bool setupsEnabled;
        bool copyDialog;
        bool calibration;
    } cases[] = {
        {"probe view with setups: the calibration of that probe", View::Probes, 2, true, false,
         true},
        {"probe view without setups: nothing", View::Probes, 2, false, false, false},
        {"analog view: nothing", View::Analogs, 1, true, false, false},
        {"channel view: the copy dialog, also without setups", View::Channels, 2, false, true,
         false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        state.config.SetupsEnabled = c.setupsEnabled;
        showView(c.view);
        rightClick(c.bar);
        EXPECT_EQ(shownDialog() != nullptr, c.copyDialog);
        dlgCalibrate *calibration = window->dialogs().calibrationDialog();
        const bool calibrating = calibration && calibration->isVisible();
        ASSERT_EQ(calibrating, c.calibration);
        if (calibrating) {
            EXPECT_EQ(calibration->probe(), c.bar);
            calibration->hide();
        }
        if (dlgCopyLink *dialog = shownDialog())
            dialog->hide();
    }
}

} // namespace
