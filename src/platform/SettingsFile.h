// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/SettingsStore.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmora {
class FileSystem;
}

namespace velmora::platform {

/// The settings file of the user: "$XDG_CONFIG_HOME/velmora/settings" when
/// XDG_CONFIG_HOME is set to an absolute path, else
/// "HOME/.config/velmora/settings" with HOME from the environment or, when
/// unset, from the user database. Empty when no folder can be found.
std::string SettingsPath();

/// The same path from given values: `xdgConfigHome` as XDG_CONFIG_HOME
/// (nullptr when unset) and `home` as the user's home folder.
std::string SettingsPathFrom(const char* xdgConfigHome, const std::string& home);

/// The settings file format. UTF-8 text, one value per line, each line ended
/// by LF:
///
///     NAME <TAB> TYPE <TAB> VALUE <LF>        e.g. "LangName\ttext\tDeutsch\n"
///
/// TYPE is "text", "number" or "flag". A number or a flag is a decimal 32-bit
/// integer ("-" and digits, nothing else); flags are written as 0 or 1.
/// In NAME and in a text VALUE exactly four bytes are escaped: backslash as
/// "\\", TAB as "\t", LF as "\n" and CR as "\r"; every other byte stands for
/// itself, so UTF-8 (and any other byte) passes unchanged. The file begins
/// with the comment line "# Velmora settings"; on reading, lines that begin
/// with "#", empty lines and a CR before the LF are ignored (so no NAME
/// begins with "#").
///
/// A damaged line never stops the reading of the file: it is read as a value
/// of type Other under its name, which stops ReadSettings at that value
/// exactly as a value of a wrong type would. Damaged are: an unknown TYPE, a
/// number that does not parse or does not fit in 32 bits, a bad escape in a
/// text value, a line with fewer than two TABs, and a last line without its
/// LF (a truncated file). A line whose NAME holds a bad escape is dropped.
/// A StoredValue of type Other is written as "NAME\tother\t".
std::string EncodeSettings(const std::vector<settings::StoredValue>& values);
std::vector<settings::StoredValue> DecodeSettings(std::string_view bytes);

/// The settings store of Linux: one file in the format above, replaced
/// atomically on every write (a temporary file beside it, flushed with fsync
/// and renamed over it, through FileSystem::createReplacement). Its folder,
/// and missing folders above it, are created with mode 0700 when writing.
class SettingsFile final : public settings::SettingsStore {
public:
    /// `files` must outlive the store; `path` is the file, usually
    /// SettingsPath().
    SettingsFile(FileSystem& files, std::string path);

    const std::string& path() const { return path_; }

    /// False (no values) when the file is missing or cannot be read.
    [[nodiscard]] bool read(std::vector<settings::StoredValue>& values) override;
    /// False when the folder or the file cannot be written; a failure at any
    /// step leaves the previous file as it was.
    [[nodiscard]] bool write(const std::vector<settings::StoredValue>& values) override;

private:
    FileSystem& files_;
    std::string path_;
};

} // namespace velmora::platform
