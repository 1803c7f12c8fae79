// The View, Help and About commands as the operator gives them: the item is found on the menu bar
// and triggered, so a command that is not wired to its item, or wired to another one, fails here.

#include "CommandLine.h"
#include "FormAboutQorView.h"
#include "FormGridDisplay.h"
#include "FormMain.h"
#include "MenuItems.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"
#include "StationHelp.h"
#include "WaitFor.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class MenuCommandsTest : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(connectStandIn(QStringLiteral("--preset demo"), &why)) << why.toStdString();
        window.Form_Load();
        window.linkScheduler().stopPolling();
    }

    // Triggers the menu item named so, as a click on it does.
    void choose(const char *name) {
        QAction *item = menuItem(window.menuBar()->actions(), QLatin1String(name));
        ASSERT_NE(item, nullptr) << name << " is not on the menu bar";
        ASSERT_TRUE(item->isEnabled()) << name;
        item->trigger();
    }
    bool checked(const char *name) {
        const QAction *item = menuItem(window.menuBar()->actions(), QLatin1String(name));
        return item && item->isChecked();
    }
    // The first column of the numeric grid, as the operator sees it.
    QStringList gridLabels() {
        QStringList labels;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (auto *grid = qobject_cast<FormGridDisplay *>(top)) {
                const auto *table = grid->findChild<QTableWidget *>();
                for (int row = 0; table && row < table->rowCount(); ++row)
                    labels << (table->item(row, 0) ? table->item(row, 0)->text() : QString());
            }
        }
        return labels;
    }
    void show(View view, int16_t group = 0) {
        state.view.ViewMode = view;
        state.view.SelectedGroup = group;
        window.UpdateMainDisplay();
    }

    CommandLine line;
    StationHelp help{state.config, state.prompts};
    FormMain window{state, line, help};
};

TEST_F(MenuCommandsTest, ViewItemsShowTheirViewAndCarryTheCheckMark) {
    addGroup(QStringLiteral("Bores"), {2, 5});
    const struct {
        const char *legend;
        View from;
        int16_t fromGroup;
        const char *item;
        View shown;
        const char *firstRow;
    } cases[] = {
        {"Probes from the channels", View::Channels, 0, "ViewLVDTs", View::Probes, "Lvdt 1"},
        {"Channels from the probes", View::Probes, 0, "ViewChannels", View::Channels, "Channel 1"},
        {"Channels from a group leave the group", View::Group, 1, "ViewChannels", View::Channels,
         "Channel 1"},
        {"Probes from a group", View::Group, 1, "ViewLVDTs", View::Probes, "Lvdt 1"},
        {"Channels again keep their mark", View::Channels, 0, "ViewChannels", View::Channels,
         "Channel 1"},
        {"Probes again keep their mark", View::Probes, 0, "ViewLVDTs", View::Probes, "Lvdt 1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        show(c.from, c.fromGroup);
        choose(c.item);
        EXPECT_EQ(state.view.ViewMode, c.shown);
        EXPECT_EQ(state.view.SelectedGroup, c.shown == View::Channels ? 0 : c.fromGroup);
        EXPECT_EQ(checked("ViewChannels"), c.shown == View::Channels);
        EXPECT_EQ(checked("ViewLVDTs"), c.shown == View::Probes);
        EXPECT_FALSE(checked("ViewGroups"));
        EXPECT_EQ(state.view.PollHold, 0) << "the view's hold was lowered by its refresh";
        const QStringList rows = gridLabels();
        ASSERT_EQ(rows.size(), 8);
        EXPECT_EQ(rows.first(), QLatin1String(c.firstRow));
    }
}

TEST_F(MenuCommandsTest, HelpOpensTheDocumentAtItsContents) {
    QFile document(tempPath(QStringLiteral("qorview.hlp")));
    ASSERT_TRUE(document.open(QIODevice::WriteOnly));
    QByteArray html = "<html><body><h1>Contents</h1>";
    for (int i = 0; i < 200; ++i)
        html += "<p>Line of text</p>";
    html += "<h2><a name=\"20\"></a>Calibration</h2></body></html>";
    document.write(html);
    document.close();
    state.config.HelpFilePath = document.fileName();
    state.config.HelpAttached = true;
    help.ShowHelpContext(20);
    ASSERT_GT(help.browser()->verticalScrollBar()->value(), 0) << "open at a topic";

    choose("mnuHelpContents");
    ASSERT_TRUE(help.isOpen());
    EXPECT_TRUE(help.browser()->toPlainText().startsWith(QStringLiteral("Contents")));
    EXPECT_EQ(help.browser()->verticalScrollBar()->value(), 0) << "at the top, not at a topic";
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(MenuCommandsTest, HelpWithoutADocumentSaysSo) {
    state.config.HelpAttached = false;
    choose("mnuHelpContents");
    EXPECT_FALSE(help.isOpen());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("Unable to display Help Contents. There is no Help associated with "
                             "this project."));
    EXPECT_EQ(prompts.shown[0].icon, PromptIcon::Information);
}

// The box is modal: it is read and closed from inside its own event loop.
TEST_F(MenuCommandsTest, AboutShowsTheFirmwareTheUnitReportsAndClosesWithOk) {
    QString firmware;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto *about = qobject_cast<FormAboutQorView *>(QApplication::activeModalWidget())) {
            watch.stop();
            firmware = about->findChild<QLabel *>(QStringLiteral("LabelFirmware"))->text();
            about->findChild<QPushButton *>(QStringLiteral("CommandOK"))->click();
        }
    });
    watch.start(10);
    choose("AboutQorView");
    ASSERT_TRUE(waitFor([&] { return !firmware.isEmpty(); })) << "the About box did not open";
    EXPECT_TRUE(firmware.endsWith(QStringLiteral("\nVersion: QOR-128 qorsim 1.0")))
        << firmware.toStdString();
    EXPECT_TRUE(waitFor([] { return QApplication::activeModalWidget() == nullptr; }))
        << "OK closes the box";
    EXPECT_TRUE(prompts.shown.empty());
}

} // namespace
