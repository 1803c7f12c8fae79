#include "ResourceInit.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Death tests start a fresh copy of this program, so no Qt thread is forked.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    loadStationResources();
    return RUN_ALL_TESTS();
}
