// The main of every test program: the environment the tests rely on (no
// display needed, where the build and the sources are), then GoogleTest.
// Values already set in the environment win.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("TARNWICK_BIN", TARNWICK_BUILD_DIR "/bin", 0);
    setenv("TARNWICK_LIB", TARNWICK_BUILD_DIR "/lib", 0);
    setenv("TARNWICK_SOURCE", TARNWICK_SOURCE_DIR, 0);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
