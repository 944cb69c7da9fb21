// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FakeVolumes.h"

#include <gtest/gtest.h>

namespace velmora::fakes {
namespace {

TEST(PlatformFakeClock, ShowsTheDayItIsGiven)
{
    FakeClock clock;
    EXPECT_EQ(clock.today(), 36526);
    clock.setToday(45000);
    EXPECT_EQ(clock.today(), 45000);
}

TEST(PlatformFakeLocale, FoldsOnlyAsciiLetters)
{
    const FakeLocale locale;
    EXPECT_EQ(locale.toLower("AUDIO Disc 1"), "audio disc 1");
    EXPECT_EQ(locale.toLower("\xC3\x84PFEL"), "\xC3\x84pfel");
    EXPECT_EQ(locale.compareIgnoreCase("apple", "Banana"), -1);
    EXPECT_EQ(locale.compareIgnoreCase("Banana", "cherry"), -1);
    EXPECT_EQ(locale.compareIgnoreCase("MUSIC", "music"), 0);
    EXPECT_EQ(locale.compareIgnoreCase("music", "MUSIC2"), -1);
    // Bytes above 0x7F compare unsigned: after every ASCII letter.
    EXPECT_EQ(locale.compareIgnoreCase("\xC3\x84pfel", "Zebra"), 1);
    EXPECT_EQ(locale.compareIgnoreCase("[", "a"), -1);
}

TEST(PlatformFakeLocale, SeparatorsAndLanguageAreSettable)
{
    FakeLocale locale;
    EXPECT_EQ(locale.languageName(), "English");
    EXPECT_EQ(locale.dateSeparator(), "/");
    EXPECT_EQ(locale.decimalSeparator(), ".");
    locale.setLanguageName("German");
    locale.setDateSeparator(".");
    locale.setDecimalSeparator(",");
    EXPECT_EQ(locale.languageName(), "German");
    EXPECT_EQ(locale.dateSeparator(), ".");
    EXPECT_EQ(locale.decimalSeparator(), ",");
}

TEST(PlatformFakeVolumes, RootOfTakesTheLongestRootAtAFolderBoundary)
{
    const FakeVolumes volumes(
        {{"/", "", 1, VolumeType::Fixed, "ext4", "/dev/sda2"},
         {"/media/u/AUDIO", "AUDIO", 2, VolumeType::Removable, "vfat", "/dev/sdb1"}});
    EXPECT_EQ(volumes.rootOf("/media/u/AUDIO/Music"), "/media/u/AUDIO");
    EXPECT_EQ(volumes.rootOf("/media/u/AUDIO"), "/media/u/AUDIO");
    EXPECT_EQ(volumes.rootOf("/media/u/AUDIO2/Music"), "/");
    EXPECT_EQ(volumes.rootOf("Music"), "");
}

TEST(PlatformFakeVolumes, InfoFailsForUnreadableAndUnknownRoots)
{
    FakeVolumes volumes(
        {{"/media/u/AUDIO", "AUDIO", 0xABCD1234u, VolumeType::Removable, "vfat", "/dev/sdb1"}});
    std::string label = "old";
    std::uint32_t serial = 7;
    ASSERT_TRUE(volumes.info("/media/u/AUDIO", label, serial));
    EXPECT_EQ(label, "AUDIO");
    EXPECT_EQ(serial, 0xABCD1234u);

    volumes.setUnreadable("/media/u/AUDIO");
    label = "old";
    serial = 7;
    EXPECT_FALSE(volumes.info("/media/u/AUDIO", label, serial));
    EXPECT_FALSE(volumes.info("/media/u/OTHER", label, serial));
    EXPECT_EQ(label, "old");
    EXPECT_EQ(serial, 7u);
    EXPECT_EQ(DriveLabel(volumes, "/media/u/AUDIO/Music"), "NO DISC");

    volumes.setUnreadable("/media/u/AUDIO", false);
    EXPECT_EQ(DriveLabel(volumes, "/media/u/AUDIO/Music"), "AUDIO");
}

} // namespace
} // namespace velmora::fakes
