#include "ResourceInit.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The station's tests run offscreen with a configuration folder of their own, so neither the
// operator's settings nor their ports.conf are ever read or touched. The folder must be set
// before the first settings access: the settings store fixes its path then.
int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Death tests start a fresh copy of this program, so no Qt thread is forked.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    // The measurement log, under XDG_DATA_HOME, is the test's own too.
    qputenv("XDG_DATA_HOME", config.filePath(QStringLiteral("data")).toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    loadStationResources();
    return RUN_ALL_TESTS();
}
