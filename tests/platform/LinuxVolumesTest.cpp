// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LinuxVolumes.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>
#include <vector>

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- serials

TEST(PlatformUuidSerial, FatSerialIsTheEightDigitsWindowsShows)
{
    EXPECT_EQ(SerialFromUuid("ABCD-1234"), 0xABCD1234u);
    EXPECT_EQ(SerialFromUuid("5E2F-9A01"), 0x5E2F9A01u);
    EXPECT_EQ(SerialFromUuid("abcd-1234"), 0xABCD1234u);
    EXPECT_EQ(SerialFromUuid("F00D-0000"), 0xF00D0000u);
}

TEST(PlatformUuidSerial, NtfsSerialGivesItsLowHalf)
{
    EXPECT_EQ(SerialFromUuid("0123456789ABCDEF"), 0x89ABCDEFu);
    EXPECT_EQ(SerialFromUuid("7A4C2F6B4C2F2393"), 0x4C2F2393u);
    EXPECT_EQ(SerialFromUuid("0000000000000000"), 0u);
}

TEST(PlatformUuidSerial, OtherUuidsGiveTheirFirstEightHexDigits)
{
    EXPECT_EQ(SerialFromUuid("1b4e28ba-2fa1-11d2-883f-0016d3cca427"), 0x1B4E28BAu);
    EXPECT_EQ(SerialFromUuid("F3B2A1C0-9E8D-4C7B-A6F5-E4D3C2B1A098"), 0xF3B2A1C0u);
    // ISO 9660 media: the creation time as a UUID.
    EXPECT_EQ(SerialFromUuid("2019-09-08-16-57-51-00"), 0x20190908u);
    // Fifteen digits or a dash are not NTFS.
    EXPECT_EQ(SerialFromUuid("0123456789ABCDE"), 0x01234567u);
    EXPECT_EQ(SerialFromUuid("01234567-89ABCDEF"), 0x01234567u);
}

TEST(PlatformUuidSerial, TextsThatAreNoUuidGiveNothing)
{
    EXPECT_EQ(SerialFromUuid(""), std::nullopt);
    EXPECT_EQ(SerialFromUuid("ABC-123"), std::nullopt);
    EXPECT_EQ(SerialFromUuid("not-a-uuid"), std::nullopt);
    EXPECT_EQ(SerialFromUuid("ABCD 1234"), std::nullopt);
    EXPECT_EQ(SerialFromUuid("1b4e28bg-2fa1-11d2-883f-0016d3cca427"), std::nullopt);
}

TEST(PlatformFnv1a, KnownVectors)
{
    EXPECT_EQ(Fnv1a(""), 0x811C9DC5u);
    EXPECT_EQ(Fnv1a("a"), 0xE40C292Cu);
    EXPECT_EQ(Fnv1a("foobar"), 0xBF9CF968u);
    EXPECT_EQ(Fnv1a("bar", Fnv1a("foo")), 0xBF9CF968u);
}

TEST(PlatformFnv1a, FallbackSerialHashesSourceAndMountPoint)
{
    EXPECT_EQ(FallbackSerial("nas.local:/export/music", "/mnt/nas"), 0x49371094u);
    EXPECT_EQ(FallbackSerial("", "/"), 0x2276B290u);
    // The zero byte between the two keeps "ab"+"c" apart from "a"+"bc".
    EXPECT_NE(FallbackSerial("/dev/ab", "/c"), FallbackSerial("/dev/a", "b/c"));
    EXPECT_NE(FallbackSerial("nas.local:/export/music", "/mnt/nas"),
              FallbackSerial("nas.local:/export/music", "/mnt/nas2"));
}

// ---------------------------------------------------------------- escapes

TEST(PlatformMountEscapes, OctalEscapesOfMountInfo)
{
    EXPECT_EQ(DecodeOctalEscapes("/media/u/AUDIO\\040DISC"), "/media/u/AUDIO DISC");
    EXPECT_EQ(DecodeOctalEscapes("a\\011b\\012c\\134d"), "a\tb\nc\\d");
    EXPECT_EQ(DecodeOctalEscapes("\\303\\244"), "\xC3\xA4");
    EXPECT_EQ(DecodeOctalEscapes("plain"), "plain");
}

TEST(PlatformMountEscapes, IncompleteOctalEscapesStay)
{
    EXPECT_EQ(DecodeOctalEscapes("end\\04"), "end\\04");
    EXPECT_EQ(DecodeOctalEscapes("end\\"), "end\\");
    EXPECT_EQ(DecodeOctalEscapes("\\400"), "\\400");
    EXPECT_EQ(DecodeOctalEscapes("\\08x"), "\\08x");
}

TEST(PlatformMountEscapes, HexEscapesOfDiskLinkNames)
{
    EXPECT_EQ(DecodeHexEscapes("AUDIO\\x20DISC"), "AUDIO DISC");
    EXPECT_EQ(DecodeHexEscapes("My\\x2fStuff"), "My/Stuff");
    EXPECT_EQ(DecodeHexEscapes("M\\xc3\\xbcsik"), "M\xC3\xBCsik");
    EXPECT_EQ(DecodeHexEscapes("\\x5CHOME"), "\\HOME");
    EXPECT_EQ(DecodeHexEscapes("bad\\xZZ"), "bad\\xZZ");
    EXPECT_EQ(DecodeHexEscapes("short\\x2"), "short\\x2");
    EXPECT_EQ(DecodeHexEscapes("\\040"), "\\040");
}

// ---------------------------------------------------------------- mountinfo lines

TEST(PlatformMountInfoLine, RootFileSystemOfThisKindOfMachine)
{
    const auto entry = ParseMountInfoLine(
        "26 1 254:0 / / rw,relatime - ext4 /dev/vda rw,discard,resv_strict,resuid=65534");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->root, "/");
    EXPECT_EQ(entry->mountPoint, "/");
    EXPECT_EQ(entry->fileSystem, "ext4");
    EXPECT_EQ(entry->source, "/dev/vda");
}

TEST(PlatformMountInfoLine, PseudoFileSystemLinesParse)
{
    const auto cgroup =
        ParseMountInfoLine("31 30 0:28 / /sys/fs/cgroup/cpu rw,relatime - cgroup cgroup rw,cpu");
    ASSERT_TRUE(cgroup);
    EXPECT_EQ(cgroup->mountPoint, "/sys/fs/cgroup/cpu");
    EXPECT_EQ(cgroup->fileSystem, "cgroup");
    const auto devtmpfs = ParseMountInfoLine("23 26 0:6 / /dev rw,relatime - devtmpfs devtmpfs "
                                             "rw,size=12334808k,nr_inodes=3083702,mode=755");
    ASSERT_TRUE(devtmpfs);
    EXPECT_EQ(devtmpfs->fileSystem, "devtmpfs");
    EXPECT_EQ(devtmpfs->source, "devtmpfs");
}

TEST(PlatformMountInfoLine, VfatWithEscapedSpacesAndOptionalFields)
{
    const auto entry = ParseMountInfoLine(
        "98 29 8:17 / /media/u/AUDIO\\040DISC rw,nosuid,nodev,relatime shared:52 master:3 - vfat "
        "/dev/sdb1 rw,fmask=0022,dmask=0022,codepage=437,iocharset=utf8,shortname=mixed");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->mountPoint, "/media/u/AUDIO DISC");
    EXPECT_EQ(entry->fileSystem, "vfat");
    EXPECT_EQ(entry->source, "/dev/sdb1");
}

TEST(PlatformMountInfoLine, IsoNfsAndSshfs)
{
    const auto iso = ParseMountInfoLine(
        "101 29 11:0 / /media/u/MY\\040ALBUMS\\0402 ro,nosuid,nodev,relatime shared:55 - iso9660 "
        "/dev/sr0 ro,nojoliet,check=relaxed,map=normal,blocksize=2048");
    ASSERT_TRUE(iso);
    EXPECT_EQ(iso->mountPoint, "/media/u/MY ALBUMS 2");
    EXPECT_EQ(iso->fileSystem, "iso9660");
    EXPECT_EQ(iso->source, "/dev/sr0");

    const auto nfs = ParseMountInfoLine("110 29 0:55 / /mnt/nas rw,relatime shared:60 - nfs4 "
                                        "nas.local:/export/music rw,vers=4.2,rsize=131072");
    ASSERT_TRUE(nfs);
    EXPECT_EQ(nfs->fileSystem, "nfs4");
    EXPECT_EQ(nfs->source, "nas.local:/export/music");

    const auto sshfs = ParseMountInfoLine(
        "120 29 0:60 / /home/u/remote\\040music rw,nosuid,nodev,relatime shared:70 - fuse.sshfs "
        "u@host:/srv/my\\040music rw,user_id=1000,group_id=1000");
    ASSERT_TRUE(sshfs);
    EXPECT_EQ(sshfs->mountPoint, "/home/u/remote music");
    EXPECT_EQ(sshfs->fileSystem, "fuse.sshfs");
    EXPECT_EQ(sshfs->source, "u@host:/srv/my music");
}

TEST(PlatformMountInfoLine, BindMountKeepsItsRoot)
{
    const auto entry = ParseMountInfoLine(
        "200 26 254:0 /srv/music /home/u/Music rw,relatime shared:1 - ext4 /dev/vda rw");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->root, "/srv/music");
    EXPECT_EQ(entry->mountPoint, "/home/u/Music");
}

TEST(PlatformMountInfoLine, MalformedLinesAreRejected)
{
    EXPECT_FALSE(ParseMountInfoLine(""));
    EXPECT_FALSE(ParseMountInfoLine("26 1 254:0 / / rw,relatime ext4 /dev/vda rw"));
    EXPECT_FALSE(ParseMountInfoLine("26 1 254:0 / / rw,relatime - ext4"));
    EXPECT_FALSE(ParseMountInfoLine("26 1 254:0 / - ext4 /dev/vda rw"));
    EXPECT_FALSE(ParseMountInfoLine("x 1 254:0 / / rw - ext4 /dev/vda rw"));
    EXPECT_FALSE(ParseMountInfoLine("26 1 2540 / / rw - ext4 /dev/vda rw"));
    EXPECT_FALSE(ParseMountInfoLine("/dev/vda / ext4 rw 0 0")); // /proc/mounts, not mountinfo
}

// ---------------------------------------------------------------- rules

TEST(PlatformVolumeRules, PseudoFileSystems)
{
    for (const char* type : {"proc", "sysfs", "cgroup", "cgroup2", "devpts", "mqueue", "debugfs",
                             "tracefs", "securityfs", "pstore", "bpf", "autofs", "fusectl",
                             "configfs", "binfmt_misc", "hugetlbfs", "devtmpfs", "fuse.portal"})
        EXPECT_TRUE(IsPseudoFileSystem(type, "/x")) << type;
    EXPECT_TRUE(IsPseudoFileSystem("tmpfs", "/dev/shm"));
    EXPECT_TRUE(IsPseudoFileSystem("tmpfs", "/run/user/1000"));
    EXPECT_TRUE(IsPseudoFileSystem("tmpfs", "/mntx"));
    EXPECT_FALSE(IsPseudoFileSystem("tmpfs", "/mnt"));
    EXPECT_FALSE(IsPseudoFileSystem("tmpfs", "/mnt/ram"));
    EXPECT_FALSE(IsPseudoFileSystem("tmpfs", "/media/u/RAM"));
    for (const char* type : {"ext4", "vfat", "ntfs3", "iso9660", "nfs4", "fuse.sshfs", "overlay"})
        EXPECT_FALSE(IsPseudoFileSystem(type, "/x")) << type;
}

TEST(PlatformVolumeRules, NetworkFileSystems)
{
    for (const char* type : {"nfs", "nfs4", "cifs", "smb3", "sshfs", "fuse.sshfs", "fuse.rclone"})
        EXPECT_TRUE(IsNetworkFileSystem(type)) << type;
    for (const char* type : {"ext4", "vfat", "fuse", "fuseblk", "fuse.portal", "tmpfs"})
        EXPECT_FALSE(IsNetworkFileSystem(type)) << type;
}

TEST(PlatformVolumeRules, MediaFolderName)
{
    EXPECT_EQ(MediaFolderName("/media/u/AUDIO"), "AUDIO");
    EXPECT_EQ(MediaFolderName("/media/u/AUDIO DISC"), "AUDIO DISC");
    EXPECT_EQ(MediaFolderName("/run/media/u/STICK"), "STICK");
    EXPECT_EQ(MediaFolderName("/media/AUDIO"), "");
    EXPECT_EQ(MediaFolderName("/media/u/AUDIO/Music"), "");
    EXPECT_EQ(MediaFolderName("/media/u/"), "");
    EXPECT_EQ(MediaFolderName("/media//AUDIO"), "");
    EXPECT_EQ(MediaFolderName("/mnt/u/AUDIO"), "");
    EXPECT_EQ(MediaFolderName("/run/user/1000/doc"), "");
}

TEST(PlatformVolumeRules, MountPointBoundaries)
{
    EXPECT_TRUE(IsUnderMountPoint("/media/u/AUDIO", "/media/u/AUDIO"));
    EXPECT_TRUE(IsUnderMountPoint("/media/u/AUDIO/Music/Rock", "/media/u/AUDIO"));
    EXPECT_TRUE(IsUnderMountPoint("/media/u/AUDIO/", "/media/u/AUDIO"));
    EXPECT_FALSE(IsUnderMountPoint("/media/u/AUDIO2", "/media/u/AUDIO"));
    EXPECT_FALSE(IsUnderMountPoint("/media/u/AUDIO2/Music", "/media/u/AUDIO"));
    EXPECT_FALSE(IsUnderMountPoint("/media/u", "/media/u/AUDIO"));
    EXPECT_TRUE(IsUnderMountPoint("/anything", "/"));
    EXPECT_TRUE(IsUnderMountPoint("/", "/"));
    EXPECT_FALSE(IsUnderMountPoint("relative/path", "/"));
    EXPECT_FALSE(IsUnderMountPoint("", "/"));
}

// ---------------------------------------------------------------- a fake machine

// A temporary tree standing in for /proc/self/mountinfo, /dev, /dev/disk and
// /sys, with the device files as plain files and the links as symbolic links.
class PlatformLinuxVolumes : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "velmora-volumes-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        top_ = pattern;
        for (const char* folder :
             {"dev/mapper", "disk/by-label", "disk/by-uuid", "sys/class/block", "mnt"})
            fs::create_directories(top_ / folder);
    }

    void TearDown() override
    {
        std::error_code error;
        fs::remove_all(top_, error);
    }

    std::string path(const std::string& relative) const { return (top_ / relative).string(); }

    void write(const std::string& relative, const std::string& text) const
    {
        fs::create_directories((top_ / relative).parent_path());
        std::ofstream(top_ / relative) << text;
    }

    void link(const std::string& relative, const std::string& target) const
    {
        fs::create_symlink(target, top_ / relative);
    }

    // "{T}" in the lines stands for the temporary tree.
    void writeMountInfo(std::string lines) const
    {
        for (std::size_t at = lines.find("{T}"); at != std::string::npos; at = lines.find("{T}"))
            lines.replace(at, 3, top_.string());
        write("mountinfo", lines);
    }

    LinuxVolumes volumes() const
    {
        return LinuxVolumes(path("mountinfo"), path("disk/by-uuid"), path("disk/by-label"),
                            path("sys/class/block"));
    }

    // Devices of a desktop: a system disk, a USB stick, an NTFS disk, a DVD
    // drive, an encrypted volume reached through /dev/mapper and a card reader
    // used without partitions.
    void makeDesktop() const
    {
        for (const char* device :
             {"dev/vda", "dev/sdb1", "dev/sdc1", "dev/sr0", "dev/dm-0", "dev/sdd"})
            write(device, "");
        link("dev/mapper/crypt", "../dm-0");

        link("disk/by-label/AUDIO\\x20DISC", "../../dev/sdb1");
        link("disk/by-label/MY\\x20ALBUMS", "../../dev/sr0");
        link("disk/by-label/SECRET", "../../dev/dm-0");
        link("disk/by-uuid/ABCD-1234", "../../dev/sdb1");
        link("disk/by-uuid/0123456789ABCDEF", "../../dev/sdc1");
        link("disk/by-uuid/2019-09-08-16-57-51-00", "../../dev/sr0");
        link("disk/by-uuid/1b4e28ba-2fa1-11d2-883f-0016d3cca427", path("dev/vda"));
        link("disk/by-uuid/5E2F-9A01", "../../dev/sdd");

        write("sys/devices/vda/removable", "0\n");
        link("sys/class/block/vda", "../../devices/vda");
        write("sys/devices/sdb/removable", "1\n");
        write("sys/devices/sdb/sdb1/partition", "1\n");
        link("sys/class/block/sdb1", "../../devices/sdb/sdb1");
        write("sys/devices/sdc/removable", "0\n");
        write("sys/devices/sdc/sdc1/partition", "1\n");
        link("sys/class/block/sdc1", "../../devices/sdc/sdc1");
        write("sys/devices/sr0/removable", "1\n");
        link("sys/class/block/sr0", "../../devices/sr0");
        write("sys/devices/sdd/removable", "1\n");
        link("sys/class/block/sdd", "../../devices/sdd");

        writeMountInfo(
            "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
            "22 26 0:21 / /sys rw,relatime - sysfs sysfs rw\n"
            "23 26 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw,size=12334808k,mode=755\n"
            "24 23 0:22 / /dev/shm rw,relatime - tmpfs tmpfs rw,size=24683748k\n"
            "25 23 0:23 / /dev/pts rw,relatime - devpts devpts rw,mode=600,ptmxmode=000\n"
            "26 1 254:0 / / rw,relatime - ext4 {T}/dev/vda rw,discard\n"
            "30 22 0:27 / /sys/fs/cgroup rw,relatime - tmpfs tmpfs rw,mode=755\n"
            "31 30 0:28 / /sys/fs/cgroup/cpu rw,relatime - cgroup cgroup rw,cpu\n"
            "40 30 0:37 / /sys/fs/cgroup/unified rw,relatime - cgroup2 cgroup2 rw\n"
            "60 26 8:17 / /media/u/AUDIO\\040DISC rw,nosuid,nodev,relatime shared:52 - vfat "
            "{T}/dev/sdb1 rw,fmask=0022,dmask=0022,codepage=437,iocharset=utf8\n"
            "61 26 11:0 / /media/u/MY\\040ALBUMS ro,nosuid,nodev,relatime shared:55 - iso9660 "
            "{T}/dev/sr0 ro,nojoliet,check=relaxed,map=normal,blocksize=2048\n"
            "62 26 8:33 / /media/u/BACKUP rw,nosuid,nodev,relatime shared:56 - ntfs3 "
            "{T}/dev/sdc1 rw,uid=1000,gid=1000\n"
            "63 26 0:55 / /mnt/nas rw,relatime shared:60 - nfs4 nas.local:/export/music "
            "rw,vers=4.2\n"
            "64 26 0:60 / /home/u/remote\\040music rw,nosuid,nodev,relatime shared:70 - "
            "fuse.sshfs u@host:/srv/music rw,user_id=1000,group_id=1000\n"
            "65 26 0:65 / /run/user/1000/doc rw,nosuid,nodev,relatime shared:75 - fuse.portal "
            "portal rw,user_id=1000,group_id=1000\n"
            "66 26 0:70 / /mnt/ram rw,relatime - tmpfs tmpfs rw,size=1024k\n"
            "67 26 253:0 / /mnt/secret rw,relatime - ext4 {T}/dev/mapper/crypt rw\n"
            "68 26 8:48 / /run/media/u/CARD rw,nosuid,nodev,relatime - exfat {T}/dev/sdd rw\n");
    }

    fs::path top_;
};

std::vector<std::string> Roots(const std::vector<VolumeInfo>& volumes)
{
    std::vector<std::string> roots;
    for (const VolumeInfo& volume : volumes)
        roots.push_back(volume.root);
    return roots;
}

const VolumeInfo* Find(const std::vector<VolumeInfo>& volumes, const std::string& root)
{
    for (const VolumeInfo& volume : volumes) {
        if (volume.root == root)
            return &volume;
    }
    return nullptr;
}

TEST_F(PlatformLinuxVolumes, ListsRealFileSystemsOrderedByMountPoint)
{
    makeDesktop();
    const std::vector<std::string> expected = {
        "/",
        "/home/u/remote music",
        "/media/u/AUDIO DISC",
        "/media/u/BACKUP",
        "/media/u/MY ALBUMS",
        "/mnt/nas",
        "/mnt/ram",
        "/mnt/secret",
        "/run/media/u/CARD",
    };
    EXPECT_EQ(Roots(volumes().list()), expected);
}

TEST_F(PlatformLinuxVolumes, LabelsSerialsAndTypes)
{
    makeDesktop();
    const std::vector<VolumeInfo> list = volumes().list();

    struct Expected {
        const char* root;
        const char* label;
        std::uint32_t serial;
        VolumeType type;
        const char* fileSystem;
    };
    const Expected expected[] = {
        {"/", "", 0x1B4E28BAu, VolumeType::Fixed, "ext4"},
        {"/home/u/remote music", "", 0x3853FFD0u, VolumeType::Network, "fuse.sshfs"},
        {"/media/u/AUDIO DISC", "AUDIO DISC", 0xABCD1234u, VolumeType::Removable, "vfat"},
        {"/media/u/BACKUP", "BACKUP", 0x89ABCDEFu, VolumeType::Fixed, "ntfs3"},
        {"/media/u/MY ALBUMS", "MY ALBUMS", 0x20190908u, VolumeType::Optical, "iso9660"},
        {"/mnt/nas", "", 0x49371094u, VolumeType::Network, "nfs4"},
        {"/mnt/ram", "", 0x14A54782u, VolumeType::Fixed, "tmpfs"},
        {"/run/media/u/CARD", "CARD", 0x5E2F9A01u, VolumeType::Removable, "exfat"},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.root);
        const VolumeInfo* volume = Find(list, e.root);
        ASSERT_NE(volume, nullptr);
        EXPECT_EQ(volume->label, e.label);
        EXPECT_EQ(volume->serial, e.serial);
        EXPECT_EQ(volume->type, e.type);
        EXPECT_EQ(volume->fileSystem, e.fileSystem);
    }
    EXPECT_EQ(Find(list, "/")->source, path("dev/vda"));
    EXPECT_EQ(Find(list, "/mnt/nas")->source, "nas.local:/export/music");
}

TEST_F(PlatformLinuxVolumes, LabelFoundThroughTheLinkOfTheSource)
{
    makeDesktop();
    const std::vector<VolumeInfo> list = volumes().list();
    const VolumeInfo* secret = Find(list, "/mnt/secret");
    ASSERT_NE(secret, nullptr);
    EXPECT_EQ(secret->label, "SECRET");
    EXPECT_EQ(secret->source, path("dev/mapper/crypt"));
    // No UUID link for dm-0.
    EXPECT_EQ(secret->serial, FallbackSerial(path("dev/mapper/crypt"), "/mnt/secret"));
}

TEST_F(PlatformLinuxVolumes, DiskLabelWinsOverTheMediaFolderName)
{
    makeDesktop();
    writeMountInfo("26 1 254:0 / / rw - ext4 {T}/dev/vda rw\n"
                   "60 26 8:17 / /media/u/STICK rw - vfat {T}/dev/sdb1 rw\n"
                   "61 26 8:18 / /media/u/OTHER rw - vfat {T}/dev/unlabelled rw\n");
    const std::vector<VolumeInfo> list = volumes().list();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1].root, "/media/u/OTHER");
    EXPECT_EQ(list[1].label, "OTHER");
    EXPECT_EQ(list[2].root, "/media/u/STICK");
    EXPECT_EQ(list[2].label, "AUDIO DISC");
}

TEST_F(PlatformLinuxVolumes, TheLastOfStackedMountsIsTheVisibleOne)
{
    writeMountInfo("26 1 254:0 / / rw - ext4 /dev/vda rw\n"
                   "60 26 8:17 / /mnt/stack rw - vfat /dev/sdb1 rw\n"
                   "61 26 8:33 / /mnt/stack rw - ext4 /dev/sdc1 rw\n"
                   "62 26 8:49 / /media/u/HIDDEN rw - vfat /dev/sdd1 rw\n"
                   "63 62 0:80 / /media/u/HIDDEN rw - autofs systemd-1 rw\n");
    const std::vector<VolumeInfo> list = volumes().list();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].root, "/mnt/stack");
    EXPECT_EQ(list[1].fileSystem, "ext4");
    EXPECT_EQ(list[1].source, "/dev/sdc1");
}

TEST_F(PlatformLinuxVolumes, RootIsListedEvenWhenTheMountTableLacksIt)
{
    writeMountInfo("60 26 8:17 / /mnt/stick rw - vfat /dev/sdb1 rw\n"
                   "this line is no mount\n");
    const std::vector<VolumeInfo> list = volumes().list();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].root, "/");
    EXPECT_EQ(list[0].label, "");
    EXPECT_EQ(list[0].serial, 0x2276B290u);
    EXPECT_EQ(list[0].type, VolumeType::Fixed);
    EXPECT_EQ(list[1].root, "/mnt/stick");
}

TEST_F(PlatformLinuxVolumes, UnreadableMountTableLeavesOnlyTheRoot)
{
    const std::vector<VolumeInfo> list = volumes().list();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].root, "/");
    EXPECT_EQ(volumes().rootOf("/media/u/AUDIO/x"), "/");
}

TEST_F(PlatformLinuxVolumes, FileBindMountsAreNoVolumes)
{
    write("hosts", "127.0.0.1 localhost\n");
    writeMountInfo("26 1 254:0 / / rw - ext4 /dev/vda rw\n"
                   "70 26 254:0 /etc/hosts {T}/hosts rw - ext4 /dev/vda rw\n"
                   "71 26 254:0 / {T}/mnt rw - ext4 /dev/vda rw\n");
    EXPECT_EQ(Roots(volumes().list()), (std::vector<std::string>{"/", path("mnt")}));
}

TEST_F(PlatformLinuxVolumes, RootOfTakesTheLongestMountPointAtAFolderBoundary)
{
    writeMountInfo("26 1 254:0 / / rw - ext4 /dev/vda rw\n"
                   "21 26 0:20 / /proc rw - proc proc rw\n"
                   "60 26 8:17 / /media/u/AUDIO rw - vfat /dev/sdb1 rw\n"
                   "61 60 8:33 / /media/u/AUDIO/inner rw - ext4 /dev/sdc1 rw\n"
                   "62 26 8:49 / /media/u/AUDIO\\040DISC rw - vfat /dev/sdd1 rw\n");
    const LinuxVolumes machine = volumes();
    EXPECT_EQ(machine.rootOf("/media/u/AUDIO"), "/media/u/AUDIO");
    EXPECT_EQ(machine.rootOf("/media/u/AUDIO/"), "/media/u/AUDIO");
    EXPECT_EQ(machine.rootOf("/media/u/AUDIO/Music/Rock/01.mp3"), "/media/u/AUDIO");
    EXPECT_EQ(machine.rootOf("/media/u/AUDIO/inner/x.mp3"), "/media/u/AUDIO/inner");
    EXPECT_EQ(machine.rootOf("/media/u/AUDIO/innerx.mp3"), "/media/u/AUDIO");
    EXPECT_EQ(machine.rootOf("/media/u/AUDIO2/Music"), "/");
    EXPECT_EQ(machine.rootOf("/media/u/AUDIO DISC/Music"), "/media/u/AUDIO DISC");
    EXPECT_EQ(machine.rootOf("/proc/self"), "/");
    EXPECT_EQ(machine.rootOf("/"), "/");
    EXPECT_EQ(machine.rootOf("Music/Rock"), "");
    EXPECT_EQ(machine.rootOf(""), "");
}

TEST_F(PlatformLinuxVolumes, InfoReadsAMountedFolder)
{
    makeDesktop();
    fs::create_directories(top_ / "mnt/AUDIO");
    writeMountInfo("26 1 254:0 / / rw - ext4 {T}/dev/vda rw\n"
                   "60 26 8:17 / {T}/mnt/AUDIO rw - vfat {T}/dev/sdb1 rw\n");
    const LinuxVolumes machine = volumes();
    std::string label;
    std::uint32_t serial = 0;
    ASSERT_TRUE(machine.info(path("mnt/AUDIO"), label, serial));
    EXPECT_EQ(label, "AUDIO DISC");
    EXPECT_EQ(serial, 0xABCD1234u);

    label.clear();
    serial = 0;
    ASSERT_TRUE(machine.info(path("mnt/AUDIO") + "/", label, serial));
    EXPECT_EQ(label, "AUDIO DISC");
    EXPECT_EQ(serial, 0xABCD1234u);

    EXPECT_TRUE(DriveInfo(machine, path("mnt/AUDIO/Music/Rock"), label, serial));
    EXPECT_EQ(DriveLabel(machine, path("mnt/AUDIO/Music/Rock")), "AUDIO DISC");
}

TEST_F(PlatformLinuxVolumes, InfoFailsForAVanishedOrUnmountedFolder)
{
    makeDesktop();
    fs::create_directories(top_ / "mnt/UNMOUNTED");
    writeMountInfo("26 1 254:0 / / rw - ext4 {T}/dev/vda rw\n"
                   "60 26 8:17 / {T}/mnt/GONE rw - vfat {T}/dev/sdb1 rw\n");
    const LinuxVolumes machine = volumes();
    std::string label = "before";
    std::uint32_t serial = 42;
    EXPECT_FALSE(machine.info(path("mnt/GONE"), label, serial));
    EXPECT_FALSE(machine.info(path("mnt/UNMOUNTED"), label, serial));
    EXPECT_FALSE(machine.info(path("mnt"), label, serial));
    EXPECT_EQ(label, "before");
    EXPECT_EQ(serial, 42u);
    EXPECT_EQ(DriveLabel(machine, path("mnt/GONE/Music")), "NO DISC");
}

TEST(PlatformLinuxVolumesHere, ThisMachineListsItsRoot)
{
    const LinuxVolumes machine;
    const std::vector<VolumeInfo> list = machine.list();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front().root, "/");
    for (std::size_t i = 1; i < list.size(); ++i)
        EXPECT_LT(list[i - 1].root, list[i].root);

    const std::string root = machine.rootOf("/usr/bin");
    ASSERT_FALSE(root.empty());
    EXPECT_TRUE(IsUnderMountPoint("/usr/bin", root));

    std::string label = "unset";
    std::uint32_t serial = 0;
    ASSERT_TRUE(machine.info("/", label, serial));
    EXPECT_EQ(label, list.front().label);
    EXPECT_EQ(serial, list.front().serial);
}

} // namespace
} // namespace velmora::platform
