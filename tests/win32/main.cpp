#include "tests/win32/testsupport.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include <windows.h>

int main(int argc, char** argv) {
    // Started again by a test as the other process.
    if (argc > 1 && (!std::strcmp(argv[1], "--window") || !std::strcmp(argv[1], "--form") ||
                     !std::strcmp(argv[1], "--hold-lock")))
        return klavoro::win32::test::runHelper(argc, argv);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    // Under Wine the process sometimes never finishes exiting after the hook
    // tests (its last server call is not answered); the results are out, so
    // it ends here without the exit sequence.
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(rc));
    return rc;
}
