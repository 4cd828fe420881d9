// The main of every test program: the environment the tests rely on (no
// display needed, where the build and the sources are), then GoogleTest.
// Values already set in the environment win.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#ifdef _WIN32
// clang-format off
#include "platform/win/test_support.h"

#include <windows.h>
// clang-format on

namespace win::testing {
bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}
}  // namespace win::testing
#endif

namespace {

void SetDefault(const char* name, const char* value) {
#ifdef _WIN32
    if (!getenv(name)) _putenv_s(name, value);
#else
    setenv(name, value, 0);
#endif
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Started again by a test to play another program.
    if (win::testing::ServeAsLockHolder(argc, argv)) return 0;
#endif
    SetDefault("QT_QPA_PLATFORM", "offscreen");
    SetDefault("TARNWICK_BIN", TARNWICK_BUILD_DIR "/bin");
    SetDefault("TARNWICK_LIB", TARNWICK_BUILD_DIR "/lib");
    SetDefault("TARNWICK_SOURCE", TARNWICK_SOURCE_DIR);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
