#include "ScreenPlacement.h"

#include <gtest/gtest.h>

TEST(ScreenPlacement, AStoredPlaceIsKeptOnlyWhenPartOfItIsOnAScreen) {
    const QRect laptop(0, 0, 1920, 1040); // its available area: a panel takes the bottom 40
    const QRect rightMonitor(1920, 0, 1280, 984);
    const QList<QRect> one{laptop};
    const QList<QRect> two{laptop, rightMonitor};
    const struct {
        const char *legend;
        QRect window;
        QList<QRect> screens;
        bool kept;
    } cases[] = {
        {"wholly on the screen", {100, 100, 603, 89}, one, true},
        {"partly off the left edge", {-500, 100, 603, 89}, one, true},
        {"partly below the panel", {100, 1000, 603, 89}, one, true},
        {"a damaged setting far off to the left (MainLeft=-999999)",
         {-66667, 7, 603, 89},
         one,
         false},
        {"on the monitor that has been unplugged", {2500, 100, 603, 89}, one, false},
        {"on the monitor while it is attached", {2500, 100, 603, 89}, two, true},
        {"straddling both monitors", {1700, 100, 603, 89}, two, true},
        {"just right of the only screen, touching its edge", {1920, 100, 603, 89}, one, false},
        {"wholly under the panel", {100, 1040, 603, 30}, one, false},
        {"no size at all (a damaged width)", {100, 100, 0, 89}, one, false},
        {"a negative height", {100, 100, 603, -89}, one, false},
        {"no screen attached", {100, 100, 603, 89}, {}, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(liesOnAScreen(c.window, c.screens), c.kept) << c.legend;
}
