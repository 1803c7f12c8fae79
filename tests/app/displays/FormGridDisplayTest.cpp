#include "FormGridDisplay.h"
#include "DisplayRules.h"
#include "DisplayWindowLayout.h"
#include "GaugeTestSetup.h"
#include "SingleClickStyle.h"
#include "StationFixture.h"
#include "Twips.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <array>
#include <functional>

#include <gtest/gtest.h>

namespace {

QTableWidget *gridOf(FormGridDisplay &form) {
    return form.findChild<QTableWidget *>(QStringLiteral("GridView"));
}

} // namespace

TEST(FormGridDisplay, DesignHasTheGridAndCaption) {
    OfflineStation station;
    FormGridDisplay form(station.displayed());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Numeric Display"));
    ASSERT_NE(gridOf(form), nullptr);
    EXPECT_EQ(gridOf(form)->columnCount(), 2);
    EXPECT_TRUE(form.isWindow());
}

TEST(FormGridDisplay, RowsAndSizeAtSeventeenAndEighteenRows) {
    const struct {
        int probes;
        bool scrolls;
    } cases[] = {{16, false}, {17, true}};
    for (const auto &c : cases) {
        OfflineStation station;
        station.addLvdts(c.probes);
        station.state.view.ViewMode = View::Probes;
        FormGridDisplay form(station.displayed());
        form.UpdateGridDisplay();

        QTableWidget *grid = gridOf(form);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("LVDTs"));
        EXPECT_EQ(form.gridRowCount(), c.probes + 1);
        EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("LVDT"));
        EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), QStringLiteral("Value"));
        EXPECT_EQ(grid->item(c.probes - 1, 0)->text(),
                  station.state.unit.lvdt(c.probes)->Description);

        // No window manager frames an offscreen window: its inner area is the grid's size.
        const GridWindowSize rule = gridWindowSize(c.probes + 1);
        EXPECT_EQ(rule.scrolls, c.scrolls);
        EXPECT_EQ(form.height(), Twips::toPixelsY(rule.gridHeightTwips(), &form)) << c.probes;
        EXPECT_EQ(form.width(), Twips::toPixelsX(rule.gridWidthTwips(), &form)) << c.probes;
        EXPECT_EQ(grid->verticalScrollBarPolicy(),
                  c.scrolls ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);

        form.show();
        QCoreApplication::processEvents();
        // A fitting grid shows every row; a scrolling one does not.
        const int lastBottom = grid->visualItemRect(grid->item(c.probes - 1, 0)).bottom();
        EXPECT_EQ(lastBottom < grid->viewport()->height(), !c.scrolls) << c.probes;
    }
}

TEST(FormGridDisplay, ColumnsAndAlignments) {
    OfflineStation station;
    station.addAnalogs(2);
    station.state.view.ViewMode = View::Digitals;
    FormGridDisplay form(station.displayed());
    form.UpdateGridDisplay();
    QTableWidget *grid = gridOf(form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Digitals"));
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("Not Available"));
    EXPECT_EQ(grid->item(1, 0)->text(), QStringLiteral("Digital2"));
    EXPECT_EQ(grid->columnWidth(0), Twips::toPixelsX(GridLabelColumnTwips, &form));
    EXPECT_GE(grid->columnWidth(1), Twips::toPixelsX(GridValueColumnTwips, &form));
    EXPECT_EQ(grid->item(0, 0)->textAlignment(), int(Qt::AlignLeft | Qt::AlignVCenter));
    EXPECT_EQ(grid->item(0, 1)->textAlignment(), int(Qt::AlignCenter));
}

TEST(FormGridDisplay, ValuesGoToColumnOneOfExistingRows) {
    OfflineStation station;
    station.addLvdts(3);
    station.state.view.ViewMode = View::Probes;
    FormGridDisplay form(station.displayed());
    form.UpdateGridDisplay();

    form.SetGridValue(1, QStringLiteral(" 0.12500"));
    form.SetGridValue(3, QStringLiteral("-1.00000"));
    for (int outside : {0, -1, 4, 1000})
        form.SetGridValue(outside, QStringLiteral("x"));
    QTableWidget *grid = gridOf(form);
    EXPECT_EQ(grid->item(0, 1)->text(), QStringLiteral(" 0.12500"));
    EXPECT_EQ(grid->item(2, 1)->text(), QStringLiteral("-1.00000"));
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), QStringLiteral("Value"));
    EXPECT_EQ(grid->item(0, 0)->text(), station.state.unit.lvdt(1)->Description);

    // Only a reading that changed touches the grid, and only its own cell.
    QSignalSpy changed(grid->model(), &QAbstractItemModel::dataChanged);
    form.SetGridValue(1, QStringLiteral(" 0.12500"));
    EXPECT_EQ(changed.count(), 0);
    form.SetGridValue(2, QStringLiteral(" 0.50000"));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toModelIndex(), grid->model()->index(1, 1));
    EXPECT_EQ(changed.at(0).at(1).toModelIndex(), grid->model()->index(1, 1));

    // Another view starts without the old readings.
    station.addAnalogs(2);
    station.state.view.ViewMode = View::Analogs;
    form.UpdateGridDisplay();
    EXPECT_EQ(grid->item(0, 1)->text(), QString());
    EXPECT_EQ(form.gridRowCount(), 3);

    // So does a view with no rows of its own, which keeps the labels and gets no readings.
    form.SetGridValue(2, QStringLiteral(" 0.50000"));
    station.state.view.ViewMode = View::None;
    form.UpdateGridDisplay();
    EXPECT_EQ(form.gridRowCount(), 3);
    EXPECT_EQ(grid->item(1, 0)->text(), station.state.unit.analogInput(2)->Description);
    EXPECT_EQ(grid->item(1, 1)->text(), QString());
}

TEST(FormGridDisplay, CloseBoxAsksTheMainWindowAndKeepsTheWindow) {
    OfflineStation station;
    FormGridDisplay form(station.displayed());
    QSignalSpy closeRequested(&form, &FormGridDisplay::closeRequested);
    form.show();
    EXPECT_FALSE(form.close());
    EXPECT_EQ(closeRequested.count(), 1);
    EXPECT_TRUE(form.isVisible());

    form.closeForShutdown();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(closeRequested.count(), 1);
}

TEST(FormGridDisplay, MinimisedWindowKeepsTheStoredLayout) {
    OfflineStation station;
    station.addLvdts(4);
    station.state.view.ViewMode = View::Probes;
    const int top = windowLayoutIndex(View::Probes, LayoutWindow::Grid, LayoutSide::Top);
    const auto stored = [&] {
        return std::array{station.state.view.WindowLayout[size_t(top)],
                          station.state.view.WindowLayout[size_t(top + 1)],
                          station.state.view.WindowLayout[size_t(top + 2)],
                          station.state.view.WindowLayout[size_t(top + 3)]};
    };
    station.state.view.WindowLayout[size_t(top)] = 111;
    station.state.view.WindowLayout[size_t(top + 2)] = 2222;

    FormGridDisplay form(station.displayed());
    form.UpdateGridDisplay();
    form.showMinimized();
    const auto before = stored();
    QEvent deactivate(QEvent::ActivationChange);
    QCoreApplication::sendEvent(&form, &deactivate);
    form.SaveGridFormSize();
    form.closeForShutdown();
    EXPECT_EQ(stored(), before);

    // The same window in its normal state stores where it is.
    FormGridDisplay normal(station.displayed());
    normal.UpdateGridDisplay();
    normal.show();
    normal.SaveGridFormSize();
    EXPECT_EQ(stored()[2],
              toStoredTwips(Twips::fromPixelsY(normal.frameGeometry().height(), &normal)));
    EXPECT_EQ(stored()[3],
              toStoredTwips(Twips::fromPixelsX(normal.frameGeometry().width(), &normal)));
}

TEST(FormGridDisplay, RestoreAppliesAStoredRectOnly) {
    OfflineStation station;
    station.state.view.ViewMode = View::Channels;
    FormGridDisplay form(station.displayed());
    const QRect before = form.geometry();
    form.RestoreGridFormSize(); // nothing stored: stays
    EXPECT_EQ(form.geometry(), before);

    const int top = windowLayoutIndex(View::Channels, LayoutWindow::Grid, LayoutSide::Top);
    const int16_t rect[4] = {1440, 2880, 2880, 4320}; // 1, 2, 2, 3 inches
    std::copy(std::begin(rect), std::end(rect), station.state.view.WindowLayout.begin() + top);
    form.RestoreGridFormSize();
    EXPECT_EQ(form.pos(), QPoint(Twips::toPixelsX(2880, &form), Twips::toPixelsY(1440, &form)));
    EXPECT_EQ(form.size(), QSize(Twips::toPixelsX(4320, &form), Twips::toPixelsY(2880, &form)));
}

TEST(FormGridDisplay, DoubleClickPicksTheRow) {
    OfflineStation station;
    station.addLvdts(5);
    station.state.view.ViewMode = View::Probes;
    FormGridDisplay form(station.displayed());
    form.UpdateGridDisplay();
    form.show();
    QSignalSpy picked(&form, &FormGridDisplay::rowPicked);
    QTableWidget *grid = gridOf(form);
    const QPoint at = grid->visualItemRect(grid->item(3, 1)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(picked.count(), 1);
    EXPECT_EQ(picked.at(0).at(0).toInt(), 4);
}

// Only a double click or Enter opens a row, whether or not the style activates items on a
// single click.
TEST(FormGridDisplay, OnlyDoubleClickOrEnterPicksARowWhateverTheStyle) {
    const struct {
        const char *legend;
        std::function<void(QTableWidget &, QPoint)> act;
        int picks;
    } cases[] = {
        {"single click",
         [](QTableWidget &g, QPoint at) {
             QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, at);
         },
         0},
        {"double click",
         [](QTableWidget &g, QPoint at) {
             QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, at);
             QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, at);
         },
         1},
        {"click, then Enter",
         [](QTableWidget &g, QPoint at) {
             QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, at);
             QTest::keyClick(&g, Qt::Key_Return);
             QTest::keyClick(&g, Qt::Key_Enter, Qt::KeypadModifier);
         },
         2},
    };
    SingleClickStyle singleClick;
    for (bool singleClickStyle : {false, true}) {
        for (const auto &c : cases) {
            OfflineStation station;
            station.addLvdts(5);
            station.state.view.ViewMode = View::Probes;
            FormGridDisplay form(station.displayed());
            QTableWidget *grid = gridOf(form);
            if (singleClickStyle)
                grid->setStyle(&singleClick);
            form.UpdateGridDisplay();
            form.show();
            QSignalSpy picked(&form, &FormGridDisplay::rowPicked);
            c.act(*grid, grid->visualItemRect(grid->item(2, 1)).center());
            EXPECT_EQ(picked.count(), c.picks)
                << c.legend << (singleClickStyle ? " (single-click style)" : "");
            for (const QList<QVariant> &pick : picked)
                EXPECT_EQ(pick.at(0).toInt(), 3) << c.legend;
        }
    }
}
