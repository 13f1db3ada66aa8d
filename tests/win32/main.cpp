#include "tests/win32/testsupport.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char** argv) {
    // Started again by a test as the other process.
    if (argc > 1 && (!std::strcmp(argv[1], "--window") || !std::strcmp(argv[1], "--hold-lock")))
        return klavoro::win32::test::runHelper(argc, argv);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
