// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/Volumes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

/// One line of /proc/self/mountinfo, with its escapes decoded.
struct MountEntry {
    std::string root;       ///< the part of the file system mounted, "/" for all of it
    std::string mountPoint; ///< for example "/media/u/AUDIO"
    std::string fileSystem; ///< for example "vfat", "fuse.sshfs"
    std::string source;     ///< for example "/dev/sdb1", "server:/export", "none"
};

/// Parses one line of mountinfo ("36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 -
/// ext3 /dev/root rw"). Nullopt when the line does not have that shape.
[[nodiscard]] std::optional<MountEntry> ParseMountInfoLine(std::string_view line);

/// Decodes the three-digit octal escapes the kernel writes in mountinfo
/// fields ("\040" space, "\011" tab, "\012" newline, "\134" backslash). A
/// backslash not followed by three octal digits up to \377 stays as it is.
std::string DecodeOctalEscapes(std::string_view text);

/// Decodes the "\xHH" escapes udev writes in /dev/disk link names ("My\x20Disk"
/// is "My Disk"). A backslash not followed by "x" and two hex digits stays.
std::string DecodeHexEscapes(std::string_view text);

/// The 32-bit serial of a file system UUID: "ABCD-1234" (FAT, exFAT) is
/// 0xABCD1234; 16 hex digits (NTFS) give their low 32 bits; any other UUID
/// gives its first 8 hex digits, dashes skipped. Hex digits may be of either
/// case. Nullopt when the text holds anything but hex digits and dashes, or
/// fewer than 8 hex digits.
[[nodiscard]] std::optional<std::uint32_t> SerialFromUuid(std::string_view uuid);

inline constexpr std::uint32_t kFnv1aOffsetBasis = 2166136261u;

/// 32-bit FNV-1a of `bytes`, continuing from `hash`.
std::uint32_t Fnv1a(std::string_view bytes, std::uint32_t hash = kFnv1aOffsetBasis);

/// The serial of a volume without a UUID: FNV-1a of the mount source, one zero
/// byte and the mount point. The same share mounted at the same place always
/// gets the same serial.
std::uint32_t FallbackSerial(std::string_view source, std::string_view mountPoint);

/// True for the file systems that hold no user files: the kernel's pseudo
/// file systems, the desktop's FUSE helpers, and tmpfs except under /media
/// and /mnt.
bool IsPseudoFileSystem(std::string_view fileSystem, std::string_view mountPoint);

/// True for network file systems (nfs, nfs4, cifs, smb3, sshfs, network FUSE
/// file systems such as fuse.sshfs, ...).
bool IsNetworkFileSystem(std::string_view fileSystem);

/// NAME for a mount point "/media/USER/NAME" or "/run/media/USER/NAME" (the
/// places desktop automounters use), empty for any other.
std::string MediaFolderName(std::string_view mountPoint);

/// True when `path` is `mountPoint` or lies below it; "/media/u/AUDIO2" is not
/// below "/media/u/AUDIO". Purely textual: no links are resolved.
bool IsUnderMountPoint(std::string_view path, std::string_view mountPoint);

/// The mounted file systems of a Linux machine as volumes.
///
/// Every query reads the mount table afresh, so media mounted or removed
/// meanwhile are seen. list() also reads the /dev/disk links and /sys, and
/// info() opens the mount point; nothing needs special privileges. Files or
/// folders that cannot be read count as empty: an unreadable mount table
/// leaves only the root file system.
class LinuxVolumes : public Volumes {
public:
    /// The paths are those of the mount table, the /dev/disk/by-uuid and
    /// /dev/disk/by-label folders and /sys/class/block; tests pass fakes.
    explicit LinuxVolumes(std::string mountInfoFile = "/proc/self/mountinfo",
                          std::string byUuidFolder = "/dev/disk/by-uuid",
                          std::string byLabelFolder = "/dev/disk/by-label",
                          std::string sysClassBlockFolder = "/sys/class/block");

    /// Mounted file systems without the pseudo ones, one per mount point (the
    /// one mounted last where several are stacked), ordered by mount point
    /// bytes; "/" is always there. Mounts of single files (a container's
    /// /etc/hosts) are left out.
    /// Label: the /dev/disk/by-label name of the source device, else NAME for
    /// /media/USER/NAME and /run/media/USER/NAME, else empty.
    /// Serial: from the source device's /dev/disk/by-uuid name by
    /// SerialFromUuid(), else FallbackSerial().
    /// Type: Optical for iso9660, udf and sr devices; Network by
    /// IsNetworkFileSystem(); Removable when /sys says the disk is; else Fixed.
    std::vector<VolumeInfo> list() const override;

    /// The longest listed mount point that `path` lies under (see
    /// IsUnderMountPoint()); empty for a relative path.
    std::string rootOf(std::string_view path) const override;

    /// Label and serial as list() gives them. False when `root` (a trailing
    /// "/" is allowed) is not a listed mount point or cannot be opened as a
    /// folder, for example because it no longer exists.
    [[nodiscard]] bool info(std::string_view root, std::string& label,
                            std::uint32_t& serial) const override;

private:
    std::vector<MountEntry> mounts() const;
    std::vector<VolumeInfo> describe(const std::vector<MountEntry>& entries) const;

    std::string mountInfoFile_;
    std::string byUuidFolder_;
    std::string byLabelFolder_;
    std::string sysClassBlockFolder_;
};

} // namespace velmora::platform
