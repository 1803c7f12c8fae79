#include "FormLinGage.h"
#include "DisplayRules.h"
#include "GaugeTestSetup.h"
#include "LinearGauge.h"
#include "SingleClickStyle.h"
#include "StationFixture.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

GaugeSetup channelSetup(const QString &label) {
    return channelGaugeSetup(label, 0.004, 0.002);
}

} // namespace

TEST(FormLinGage, DesignHasGaugeZeroAndCaption) {
    OfflineStation station;
    FormLinGage form(station.displayed());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Bar Graphs"));
    ASSERT_EQ(form.gaugeCount(), 1);
    EXPECT_EQ(form.gauge(0)->objectName(), QStringLiteral("LGauge1_0"));
    EXPECT_TRUE(form.isWindow());
}

TEST(FormLinGage, GaugesAreMadeAndDestroyedToTheViewsCount) {
    OfflineStation station;
    station.addLvdts(5);
    station.addAnalogs(2);
    FormLinGage form(station.displayed());
    form.gauge(0)->setCreationReal(0, 2.5);
    form.gauge(0)->setCreationReal(1, -1.0);

    station.state.view.ViewMode = View::Probes;
    form.SetNumberOfBars();
    EXPECT_EQ(form.TotalNumberOfBars(), 5);
    ASSERT_EQ(form.gaugeCount(), 5);
    EXPECT_EQ(form.gauge(4)->objectName(), QStringLiteral("LGauge1_4"));
    EXPECT_EQ(form.gauge(4)->creationInt(0), 1);
    EXPECT_EQ(form.gauge(4)->creationInt(1), 0);
    EXPECT_DOUBLE_EQ(form.gauge(4)->creationReal(0), 2.5);
    EXPECT_DOUBLE_EQ(form.gauge(4)->creationReal(1), -1.0);

    station.state.view.ViewMode = View::Analogs;
    form.SetNumberOfBars();
    EXPECT_EQ(form.gaugeCount(), 2);
    EXPECT_EQ(form.gauge(2), nullptr);

    station.state.view.ViewMode = View::Digitals; // digital inputs keep the count
    form.SetNumberOfBars();
    EXPECT_EQ(form.gaugeCount(), 2);

    station.addGroup(QStringLiteral("Empty"), {});
    station.state.view.ViewMode = View::Group;
    station.state.view.SelectedGroup = 1;
    form.UpdateBarDisplay(); // no items: gauge 0 remains, hidden
    EXPECT_EQ(form.TotalNumberOfBars(), 0);
    EXPECT_EQ(form.gaugeCount(), 1);
    EXPECT_TRUE(form.gauge(0)->isHidden());
}

TEST(FormLinGage, DigitalViewShowsPlaceholders) {
    OfflineStation station;
    station.addLvdts(3);
    FormLinGage form(station.displayed());
    station.state.view.ViewMode = View::Probes;
    form.SetNumberOfBars();
    station.state.view.ViewMode = View::Digitals;
    form.UpdateBarDisplay();

    EXPECT_EQ(form.windowTitle(), QStringLiteral("Display Digitals"));
    ASSERT_EQ(form.gaugeCount(), 3);
    const LinearGauge &g = *form.gauge(2);
    EXPECT_EQ(g.caption(), QStringLiteral("XXX3"));
    EXPECT_DOUBLE_EQ(g.scaleTop(), 0.05);
    EXPECT_DOUBLE_EQ(g.scaleBottom(), -0.05);
    EXPECT_DOUBLE_EQ(g.valueTop(), 0.05);
    EXPECT_DOUBLE_EQ(g.valueBottom(), -0.05);
    EXPECT_DOUBLE_EQ(g.tickStep(), 0.01);
    EXPECT_EQ(g.labelDecimals(), 1);
    EXPECT_EQ(g.markerIndex(), 0);
    for (int m = 1; m <= 4; ++m) {
        EXPECT_DOUBLE_EQ(g.marker(m).value, m <= 2 ? -0.05 : 0.05) << m;
        EXPECT_DOUBLE_EQ(g.marker(m).thickness, 0.0) << m;
        EXPECT_DOUBLE_EQ(g.marker(m).length, 1.0) << m;
    }
}

TEST(FormLinGage, ChannelGaugesCarryTheirLimits) {
    OfflineStation station;
    FormLinGage form(station.displayed());
    form.showSetups(QStringLiteral("Display Channels"),
                    {channelSetup(QStringLiteral("Journal diameter 1")),
                     channelSetup(QStringLiteral("Runout"))});
    const LinearGauge &g = *form.gauge(0);
    EXPECT_EQ(g.caption(), QStringLiteral("Journal "));
    EXPECT_EQ(g.toolTip(), QStringLiteral("Journal diameter 1"));
    const double limits[] = {-0.004, -0.002, 0.002, 0.004};
    for (int m = 1; m <= 4; ++m) {
        EXPECT_DOUBLE_EQ(g.marker(m).value, limits[m - 1]);
        EXPECT_DOUBLE_EQ(g.marker(m).length, 0.85);
        EXPECT_DOUBLE_EQ(g.marker(m).thickness, 0.01);
    }
    EXPECT_EQ(g.labelDecimals(), 4);
    EXPECT_EQ(g.extraInt(0), 0);
}

TEST(FormLinGage, SetBarValueWritesGaugeBarMinusOne) {
    OfflineStation station;
    FormLinGage form(station.displayed());
    form.showSetups(QStringLiteral("Display Channels"),
                    {channelSetup(QStringLiteral("A")), channelSetup(QStringLiteral("B"))});
    form.SetBarValue(1, 0.003f);
    EXPECT_DOUBLE_EQ(form.gauge(0)->value(), double(0.003f));
    EXPECT_DOUBLE_EQ(form.gauge(0)->marker(0).value, double(0.003f));
    EXPECT_TRUE(form.gauge(0)->redraw());
    EXPECT_DOUBLE_EQ(form.gauge(1)->value(), 0.0);
    EXPECT_TRUE(form.gauge(0)->hasReading());
    EXPECT_FALSE(form.gauge(1)->hasReading());
    for (int outside : {0, 3, -7})
        form.SetBarValue(outside, 1.0f); // ignored
    EXPECT_DOUBLE_EQ(form.gauge(1)->value(), 0.0);
    EXPECT_FALSE(form.gauge(1)->hasReading());
}

TEST(FormLinGage, EveryDisplayUpdateStartsWithoutReadings) {
    OfflineStation station;
    station.addLvdts(3);
    station.state.view.ViewMode = View::Probes;
    FormLinGage form(station.displayed());
    form.UpdateBarDisplay();
    for (int bar = 1; bar <= 3; ++bar)
        form.SetBarValue(bar, 0.01f * float(bar));
    form.UpdateBarDisplay(); // the same view again, as after a set-up
    for (int k = 0; k < 3; ++k) {
        EXPECT_FALSE(form.gauge(k)->hasReading()) << k;
        EXPECT_EQ(form.gauge(k)->readoutText(), QString()) << k;
    }
}

TEST(FormLinGage, ResizeLaysGaugesOutInRows) {
    OfflineStation station;
    FormLinGage form(station.displayed());
    form.showSetups(QStringLiteral("Display Channels"),
                    std::vector<GaugeSetup>(17, channelSetup(QStringLiteral("Bore"))));
    form.resize(906, 406);
    form.show();
    QCoreApplication::processEvents();
    const auto cells = gaugeCells(17, form.contentsRect());
    for (int k = 0; k < 17; ++k) {
        EXPECT_EQ(form.gauge(k)->geometry(), cells[size_t(k)]) << k;
        EXPECT_TRUE(form.gauge(k)->isVisible()) << k;
    }
    EXPECT_EQ(form.gauge(9)->y(), form.gauge(0)->y() + form.gauge(0)->height());
}

TEST(FormLinGage, ClicksNameTheItem) {
    OfflineStation station;
    FormLinGage form(station.displayed());
    form.showSetups(QStringLiteral("Display Channels"),
                    std::vector<GaugeSetup>(3, channelSetup(QStringLiteral("Bore"))));
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QSignalSpy clicked(&form, &FormLinGage::gaugeClicked);
    QSignalSpy rightClicked(&form, &FormLinGage::gaugeRightClicked);
    LinearGauge *third = form.gauge(2);
    SingleClickStyle singleClick;
    third->setStyle(&singleClick);
    // A single click opens nothing, also where the desktop activates items on one; a double
    // click does, and so does Enter once the click has given the gauge the focus.
    QTest::mouseClick(third, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicked.count(), 0);
    QTest::mouseDClick(third, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicked.count(), 1);
    ASSERT_TRUE(third->hasFocus());
    QTest::keyClick(third, Qt::Key_Return);
    QTest::mousePress(third, Qt::RightButton, {}, QPoint(6, 7));
    ASSERT_EQ(clicked.count(), 2);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 3);
    EXPECT_EQ(clicked.at(1).at(0).toInt(), 3);
    ASSERT_EQ(rightClicked.count(), 1);
    EXPECT_EQ(rightClicked.at(0).at(0).toInt(), 3);
    EXPECT_EQ(rightClicked.at(0).at(1).toPoint(), third->mapToGlobal(QPoint(6, 7)));
}

TEST(FormLinGage, CloseBoxAsksTheMainWindowAndMinimisedKeepsLayout) {
    OfflineStation station;
    station.state.view.ViewMode = View::Channels;
    const int top = windowLayoutIndex(View::Channels, LayoutWindow::Bar, LayoutSide::Top);
    station.state.view.WindowLayout[size_t(top + 2)] = 3000;
    const auto before = station.state.view.WindowLayout;

    FormLinGage form(station.displayed());
    QSignalSpy closeRequested(&form, &FormLinGage::closeRequested);
    form.showMinimized();
    EXPECT_FALSE(form.close());
    EXPECT_EQ(closeRequested.count(), 1);
    EXPECT_TRUE(form.isVisible());
    form.SaveLGaugeFormSize();
    form.closeForShutdown();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(station.state.view.WindowLayout, before);
}
