#include <QGuiApplication>

#include <gtest/gtest.h>

// Unit tests run with an application object (offscreen platform) so that code
// which lets events run or draws text behaves as in the program.
int main(int argc, char** argv) {
#ifndef _WIN32
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif // the Windows build has only the Windows platform, run on Wine's desktop
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
