// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LinuxVolumes.h"

#include <algorithm>
#include <array>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/stat.h>
#include <utility>

namespace velmora::platform {

namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 23> kPseudoFileSystems = {
    "proc",        "sysfs",           "cgroup",   "cgroup2", "devpts",   "mqueue",    "debugfs",
    "tracefs",     "securityfs",      "pstore",   "bpf",     "autofs",   "fusectl",   "configfs",
    "binfmt_misc", "hugetlbfs",       "devtmpfs", "nsfs",    "efivarfs", "selinuxfs", "rpc_pipefs",
    "fuse.portal", "fuse.gvfsd-fuse",
};

constexpr std::array<std::string_view, 19> kNetworkFileSystems = {
    "nfs",        "nfs4",        "cifs",      "smb3",           "smbfs",         "sshfs",
    "fuse.sshfs", "afs",         "ceph",      "fuse.ceph",      "glusterfs",     "fuse.glusterfs",
    "davfs",      "fuse.rclone", "fuse.s3fs", "fuse.curlftpfs", "fuse.smbnetfs", "ncpfs",
    "lustre",
};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& table, std::string_view value)
{
    return std::find(table.begin(), table.end(), value) != table.end();
}

[[nodiscard]] int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsOctal(char c)
{
    return c >= '0' && c <= '7';
}

std::vector<std::string_view> SplitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start <= line.size()) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

bool IsDecimal(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A device path resolved through its links, so "/dev/disk/by-label/AUDIO" (a
// link to "../../sdb1") and "/dev/sdb1" give the same key.
std::string DeviceKey(const fs::path& path)
{
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(path, error);
    return error ? path.lexically_normal().string() : resolved.string();
}

// Link name -> device key for every link in a /dev/disk/by-* folder.
std::map<std::string, std::string> ReadDeviceLinks(const std::string& folder)
{
    std::map<std::string, std::string> namesByDevice;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path link = it->path();
        const fs::path target = fs::read_symlink(link, error);
        if (error) {
            error.clear();
            continue;
        }
        const fs::path absolute = target.is_absolute() ? target : link.parent_path() / target;
        namesByDevice.emplace(DeviceKey(absolute), DecodeHexEscapes(link.filename().string()));
    }
    return namesByDevice;
}

std::string ReadFirstLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

bool IsOpticalDevice(std::string_view name)
{
    return name.size() > 2 && name.starts_with("sr") && IsDecimal(name.substr(2));
}

bool IsNonFolder(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

std::string WithoutTrailingSlashes(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return std::string(path);
}

} // namespace

std::optional<MountEntry> ParseMountInfoLine(std::string_view line)
{
    // ID PARENT MAJOR:MINOR ROOT MOUNT-POINT OPTIONS [OPTIONAL...] - TYPE SOURCE SUPER-OPTIONS
    const std::vector<std::string_view> fields = SplitFields(line);
    const auto separator = std::find(fields.begin(), fields.end(), std::string_view("-"));
    if (separator - fields.begin() < 6 || fields.end() - separator < 3)
        return std::nullopt;
    if (!IsDecimal(fields[0]) || !IsDecimal(fields[1]) ||
        fields[2].find(':') == std::string_view::npos)
        return std::nullopt;
    if (fields[3].empty() || fields[4].empty() || separator[1].empty())
        return std::nullopt;
    MountEntry entry;
    entry.root = DecodeOctalEscapes(fields[3]);
    entry.mountPoint = DecodeOctalEscapes(fields[4]);
    entry.fileSystem = DecodeOctalEscapes(separator[1]);
    entry.source = DecodeOctalEscapes(separator[2]);
    return entry;
}

std::string DecodeOctalEscapes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && IsOctal(text[i + 1]) && text[i + 1] <= '3' &&
            IsOctal(text[i + 2]) && IsOctal(text[i + 3])) {
            out += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 +
                                     (text[i + 3] - '0'));
            i += 3;
            continue;
        }
        out += text[i];
    }
    return out;
}

std::string DecodeHexEscapes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            HexValue(text[i + 2]) >= 0 && HexValue(text[i + 3]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
            i += 3;
            continue;
        }
        out += text[i];
    }
    return out;
}

std::optional<std::uint32_t> SerialFromUuid(std::string_view uuid)
{
    std::string digits;
    for (const char c : uuid) {
        if (c == '-')
            continue;
        if (HexValue(c) < 0)
            return std::nullopt;
        digits += c;
    }
    if (digits.size() < 8)
        return std::nullopt;
    // NTFS serials are 64 bits; Windows shows their low half.
    const bool ntfs = uuid.size() == 16 && digits.size() == 16;
    const std::string_view chosen =
        ntfs ? std::string_view(digits).substr(8) : std::string_view(digits).substr(0, 8);
    std::uint32_t serial = 0;
    for (const char c : chosen)
        serial = serial << 4 | static_cast<std::uint32_t>(HexValue(c));
    return serial;
}

std::uint32_t Fnv1a(std::string_view bytes, std::uint32_t hash)
{
    constexpr std::uint32_t kPrime = 16777619u;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= kPrime;
    }
    return hash;
}

std::uint32_t FallbackSerial(std::string_view source, std::string_view mountPoint)
{
    const std::uint32_t hash = Fnv1a(std::string_view("\0", 1), Fnv1a(source));
    return Fnv1a(mountPoint, hash);
}

bool IsPseudoFileSystem(std::string_view fileSystem, std::string_view mountPoint)
{
    if (fileSystem == "tmpfs")
        return !IsUnderMountPoint(mountPoint, "/media") && !IsUnderMountPoint(mountPoint, "/mnt");
    return Contains(kPseudoFileSystems, fileSystem);
}

bool IsNetworkFileSystem(std::string_view fileSystem)
{
    return Contains(kNetworkFileSystems, fileSystem);
}

std::string MediaFolderName(std::string_view mountPoint)
{
    std::string_view rest;
    if (mountPoint.starts_with("/media/"))
        rest = mountPoint.substr(7);
    else if (mountPoint.starts_with("/run/media/"))
        rest = mountPoint.substr(11);
    else
        return {};
    const std::size_t slash = rest.find('/');
    if (slash == 0 || slash == std::string_view::npos)
        return {};
    const std::string_view name = rest.substr(slash + 1);
    if (name.empty() || name.find('/') != std::string_view::npos)
        return {};
    return std::string(name);
}

bool IsUnderMountPoint(std::string_view path, std::string_view mountPoint)
{
    if (mountPoint.empty() || !path.starts_with(mountPoint))
        return false;
    return mountPoint == "/" || path.size() == mountPoint.size() || path[mountPoint.size()] == '/';
}

LinuxVolumes::LinuxVolumes(std::string mountInfoFile, std::string byUuidFolder,
                           std::string byLabelFolder, std::string sysClassBlockFolder)
    : mountInfoFile_(std::move(mountInfoFile)), byUuidFolder_(std::move(byUuidFolder)),
      byLabelFolder_(std::move(byLabelFolder)), sysClassBlockFolder_(std::move(sysClassBlockFolder))
{
}

std::vector<MountEntry> LinuxVolumes::mounts() const
{
    // Later lines are mounted over earlier ones at the same mount point, and
    // only the top one is visible there.
    std::map<std::string, MountEntry> byMountPoint;
    std::ifstream in(mountInfoFile_);
    for (std::string line; std::getline(in, line);) {
        std::optional<MountEntry> entry = ParseMountInfoLine(line);
        if (entry)
            byMountPoint.insert_or_assign(entry->mountPoint, std::move(*entry));
    }
    std::vector<MountEntry> entries;
    bool haveRoot = false;
    for (auto& [mountPoint, entry] : byMountPoint) {
        if (mountPoint.front() != '/' || IsPseudoFileSystem(entry.fileSystem, mountPoint))
            continue;
        // Containers bind single files such as /etc/hosts; they hold no folders.
        if (IsNonFolder(mountPoint))
            continue;
        haveRoot = haveRoot || mountPoint == "/";
        entries.push_back(std::move(entry));
    }
    if (!haveRoot)
        entries.insert(entries.begin(), MountEntry{"/", "/", {}, {}});
    return entries;
}

std::vector<VolumeInfo> LinuxVolumes::describe(const std::vector<MountEntry>& entries) const
{
    const std::map<std::string, std::string> labels = ReadDeviceLinks(byLabelFolder_);
    const std::map<std::string, std::string> uuids = ReadDeviceLinks(byUuidFolder_);
    std::vector<VolumeInfo> volumes;
    volumes.reserve(entries.size());
    for (const MountEntry& entry : entries) {
        VolumeInfo volume;
        volume.root = entry.mountPoint;
        volume.fileSystem = entry.fileSystem;
        volume.source = entry.source;

        const bool isDevice = entry.source.starts_with('/');
        const std::string device = isDevice ? DeviceKey(entry.source) : std::string();
        const auto label = isDevice ? labels.find(device) : labels.end();
        volume.label = label != labels.end() ? label->second : MediaFolderName(entry.mountPoint);

        const auto uuid = isDevice ? uuids.find(device) : uuids.end();
        std::optional<std::uint32_t> serial;
        if (uuid != uuids.end())
            serial = SerialFromUuid(uuid->second);
        volume.serial = serial ? *serial : FallbackSerial(entry.source, entry.mountPoint);

        const std::string deviceName = isDevice ? fs::path(device).filename().string() : "";
        if (entry.fileSystem == "iso9660" || entry.fileSystem == "udf" ||
            IsOpticalDevice(deviceName)) {
            volume.type = VolumeType::Optical;
        } else if (IsNetworkFileSystem(entry.fileSystem)) {
            volume.type = VolumeType::Network;
        } else if (!deviceName.empty()) {
            // A partition has no "removable" file of its own; its disk is the
            // parent folder of its /sys entry (the kernel resolves the link
            // before "..").
            const std::string block = sysClassBlockFolder_ + "/" + deviceName;
            std::string removable = ReadFirstLine(block + "/removable");
            if (removable.empty())
                removable = ReadFirstLine(block + "/../removable");
            if (removable == "1")
                volume.type = VolumeType::Removable;
        }
        volumes.push_back(std::move(volume));
    }
    return volumes;
}

std::vector<VolumeInfo> LinuxVolumes::list() const
{
    return describe(mounts());
}

std::string LinuxVolumes::rootOf(std::string_view path) const
{
    std::string best;
    for (const MountEntry& entry : mounts()) {
        if (IsUnderMountPoint(path, entry.mountPoint) && entry.mountPoint.size() > best.size())
            best = entry.mountPoint;
    }
    return best;
}

bool LinuxVolumes::info(std::string_view root, std::string& label, std::uint32_t& serial) const
{
    const std::string mountPoint = WithoutTrailingSlashes(root);
    const std::vector<MountEntry> entries = mounts();
    const auto entry = std::find_if(entries.begin(), entries.end(), [&](const MountEntry& e) {
        return e.mountPoint == mountPoint;
    });
    if (entry == entries.end())
        return false;
    DIR* folder = ::opendir(mountPoint.c_str());
    if (folder == nullptr)
        return false;
    ::closedir(folder);
    const std::vector<VolumeInfo> volumes = describe({*entry});
    label = volumes.front().label;
    serial = volumes.front().serial;
    return true;
}

} // namespace velmora::platform
