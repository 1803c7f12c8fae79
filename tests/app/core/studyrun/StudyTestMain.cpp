#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The study tests need an event loop for the log writer's answers; the default log location
// points into a folder of their own.
int main(int argc, char **argv) {
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
