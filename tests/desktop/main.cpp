#include <QApplication>

#include <gtest/gtest.h>

// Desktop tests run on the X server of scripts/desktop-session.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
