#include "tests/desktop/fixtureapp.h"

#include <QApplication>

#include <gtest/gtest.h>

// Desktop tests run on the X server of scripts/desktop-session.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr,
                     "desktop tests need an X display; run them through scripts/desktop-session\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    klavoro::test::stopSharedFixture();
    return rc;
}
