#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The station's widget tests run offscreen with a configuration folder of their own, so neither
// the operator's settings nor their ports.conf are ever read or touched. The folder must be set
// before the first settings access: the settings store fixes its path then.
int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
