#include <QCoreApplication>

#include <gtest/gtest.h>

// The plant link's reports arrive through the event loop, so the tests run under one.
int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
