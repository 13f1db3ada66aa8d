#include <QGuiApplication>

#include <gtest/gtest.h>

// The exports are opened by the programs a user would open them with.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
