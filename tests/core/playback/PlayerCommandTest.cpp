// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/PlayerCommand.h"

#include <gtest/gtest.h>

namespace velmora::playback {
namespace {

using Words = std::vector<std::string>;

TEST(PlayerArguments, AFileNameWithBlanksAndQuotesStaysOneArgument)
{
    const std::string file = "/home/u/My \"Best\" Songs.m3u";
    EXPECT_EQ(PlayerArguments(R"("/opt/my player/play" --title "say \"hi\"" -e %f)", file),
              (Words{"/opt/my player/play", "--title", "say \"hi\"", "-e", file}));
    EXPECT_EQ(PlayerArguments(R"(  play  --add=%f a\\b "" )", file),
              (Words{"play", "--add=" + file, "a\\b", ""}));
    // Without "%f" the file comes last.
    EXPECT_EQ(PlayerArguments("vlc --one-instance", file), (Words{"vlc", "--one-instance", file}));
    EXPECT_TRUE(PlayerArguments(" \t ", file).empty());
}

TEST(PlayerArguments, TheDefaultIsTheFirstInstalledKnownPlayer)
{
    EXPECT_EQ(
        DefaultPlayerCommand([](std::string_view p) { return p == "vlc" || p == "deadbeef"; }),
        "vlc --one-instance --playlist-enqueue %f");
    EXPECT_EQ(DefaultPlayerCommand([](std::string_view) { return false; }), "");
}

} // namespace
} // namespace velmora::playback
