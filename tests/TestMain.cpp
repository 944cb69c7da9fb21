// SPDX-License-Identifier: GPL-3.0-or-later
// The main of every test program: a fixed environment whatever the shell
// that runs the tests has set, then GoogleTest.
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::setenv("LANG", "C.UTF-8", 1);
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("VELMORA_TEST_DATA", VELMORA_TEST_DATA_DIR, 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
