// The end-to-end roads' program: GoogleTest's options, then where the
// programs under test are (programs.h).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "programs.h"

int wmain(int argc, wchar_t** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::string error;
    if (!e2e::ReadProgramPaths(argc, argv, e2e::ProgramPaths(), error)) {
        std::fprintf(stderr, "kestrum_e2e_tests: %s\n", error.c_str());
        return 2;
    }
    if (!GTEST_FLAG_GET(list_tests))
        std::printf("kestrum.exe: %s\nstand-in client: %s\n",
                    e2e::Narrow(e2e::ProgramPaths().kestrum).c_str(),
                    e2e::Narrow(e2e::ProgramPaths().client).c_str());
    return RUN_ALL_TESTS();
}
