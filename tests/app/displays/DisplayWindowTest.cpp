#include "DisplayWindow.h"
#include "DisplayWindowGeometry.h"
#include "DisplayWindowLayout.h"
#include "FormGridDisplay.h"
#include "FormLinGage.h"
#include "StationFixture.h"

#include <QApplication>

#include <functional>
#include <memory>
#include <optional>

#include <gtest/gtest.h>

namespace {

struct Window {
    const char *name;
    LayoutWindow kind;
    std::function<std::unique_ptr<DisplayWindow>(DisplayedState)> make;
};

const Window Windows[] = {
    {"grid", LayoutWindow::Grid,
     [](DisplayedState s) {
         return std::make_unique<FormGridDisplay>(s);
     }},
    {"bars", LayoutWindow::Bar,
     [](DisplayedState s) {
         return std::make_unique<FormLinGage>(s);
     }},
};

std::optional<StoredWindowRect> storedOf(OfflineStation &station, LayoutWindow kind) {
    return storedDisplayRect(station.displayed(), kind);
}

} // namespace

// A window the operator moves or resizes without ever activating it, or closes with its close
// box, remembers where it is; a hidden one remembers nothing.
TEST(DisplayWindow, MovesResizesAndClosesStoreTheRectangleWithoutActivation) {
    const struct {
        const char *legend;
        bool shown;
        std::function<void(DisplayWindow &)> act;
        bool stores;
    } cases[] = {
        {"moved", true, [](DisplayWindow &w) { w.move(w.pos() + QPoint(37, 21)); }, true},
        {"resized", true, [](DisplayWindow &w) { w.resize(w.size() + QSize(40, 30)); }, true},
        {"close box", true, [](DisplayWindow &w) { w.close(); }, true},
        {"moved while hidden", false, [](DisplayWindow &w) { w.move(w.pos() + QPoint(5, 5)); },
         false},
    };
    for (const Window &window : Windows) {
        for (const auto &c : cases) {
            OfflineStation station;
            station.state.view.ViewMode = View::Channels;
            auto form = window.make(station.displayed());
            // Another window holds the activation, as the main window would.
            QWidget active;
            if (c.shown)
                form->show();
            active.show();
            active.activateWindow();
            QApplication::processEvents();
            ASSERT_FALSE(form->isActiveWindow());
            station.state.view.WindowLayout.fill(0);
            c.act(*form);
            const auto stored = storedOf(station, window.kind);
            if (c.stores) {
                ASSERT_TRUE(stored) << window.name << ": " << c.legend;
                EXPECT_EQ(*stored, windowRectInTwips(*form)) << window.name << ": " << c.legend;
            } else {
                EXPECT_FALSE(stored) << window.name << ": " << c.legend;
            }
        }
    }
}

// The grid sizes itself for its rows when the view changes, then takes the view's stored layout:
// its own resize must not overwrite that layout first.
TEST(DisplayWindow, OwnSizeRuleDoesNotOverwriteTheStoredLayout) {
    OfflineStation station;
    station.addLvdts(3);
    station.state.view.ViewMode = View::Channels;
    FormGridDisplay grid(station.displayed());
    grid.show();
    QApplication::processEvents();
    grid.placeAt(QPoint(30, 40));
    EXPECT_FALSE(storedOf(station, LayoutWindow::Grid)) << "the station's own placing";

    const StoredWindowRect probes{1440, 1800, 2880, 4320};
    const int top = windowLayoutIndex(View::Probes, LayoutWindow::Grid, LayoutSide::Top);
    station.state.view.WindowLayout[size_t(top)] = probes.top;
    station.state.view.WindowLayout[size_t(top + 1)] = probes.left;
    station.state.view.WindowLayout[size_t(top + 2)] = probes.height;
    station.state.view.WindowLayout[size_t(top + 3)] = probes.width;

    station.state.view.ViewMode = View::Probes;
    grid.UpdateGridDisplay();
    grid.RestoreGridFormSize();
    EXPECT_EQ(storedOf(station, LayoutWindow::Grid), probes);
    EXPECT_EQ(windowRectInTwips(grid), probes);
}

// A layout stored wholly off every screen is not restored; one partly on a screen is.
TEST(DisplayWindow, LayoutOffEveryScreenIsNotRestored) {
    const struct {
        const char *legend;
        StoredWindowRect rect;
        bool restored;
    } cases[] = {
        {"far right of the screen", {1440, 30000, 2880, 4320}, false},
        {"far above the screen", {-30000, 1440, 2880, 4320}, false},
        {"hanging off the left edge", {1440, -600, 2880, 4320}, true},
    };
    for (const auto &c : cases) {
        OfflineStation station;
        station.state.view.ViewMode = View::Channels;
        FormLinGage bars(station.displayed());
        const QRect before = bars.geometry();
        storeDisplayRect(station.displayed(), LayoutWindow::Bar, c.rect);
        EXPECT_EQ(bars.hasRestorableLayout(), c.restored) << c.legend;
        bars.RestoreLGaugeFormSize();
        EXPECT_EQ(bars.geometry() != before, c.restored) << c.legend;
    }
}
