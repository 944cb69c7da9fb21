// SPDX-License-Identifier: GPL-3.0-or-later
// The main of the GUI tests: the fixed environment of every test program
// (C.UTF-8, offscreen Qt, the test data folder), one QApplication, then
// GoogleTest.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::setenv("LANG", "C.UTF-8", 1);
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("VELMORA_TEST_DATA", VELMORA_TEST_DATA_DIR, 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
