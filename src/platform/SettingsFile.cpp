// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SettingsFile.h"

#include "system/FileSystem.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <memory>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::platform {

namespace {

using settings::StoredValue;
using settings::ValueType;

constexpr std::string_view kHeader = "# Velmora settings\n";

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0)
        size = 16384;
    const auto buffer = std::make_unique<char[]>(static_cast<std::size_t>(size));
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.get(), static_cast<std::size_t>(size), &found) ==
            0 &&
        found && found->pw_dir)
        return found->pw_dir;
    return {};
}

void AppendEscaped(std::string& out, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

[[nodiscard]] std::optional<std::string> Unescaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return out;
}

[[nodiscard]] std::optional<std::int32_t> ParsedNumber(std::string_view text)
{
    std::int32_t number = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return number;
}

// One line without its LF. A nullopt drops the line (its name is unreadable).
[[nodiscard]] std::optional<StoredValue> ParsedLine(std::string_view line, bool complete)
{
    const std::size_t nameEnd = line.find('\t');
    std::optional<std::string> name = Unescaped(line.substr(0, nameEnd));
    if (!name)
        return std::nullopt;
    StoredValue value;
    value.name = std::move(*name);
    value.type = ValueType::Other;
    if (!complete || nameEnd == std::string_view::npos)
        return value;
    const std::string_view rest = line.substr(nameEnd + 1);
    const std::size_t typeEnd = rest.find('\t');
    if (typeEnd == std::string_view::npos)
        return value;
    const std::string_view type = rest.substr(0, typeEnd);
    const std::string_view text = rest.substr(typeEnd + 1);
    if (type == "text") {
        if (std::optional<std::string> unescaped = Unescaped(text)) {
            value.type = ValueType::Text;
            value.text = std::move(*unescaped);
        }
    } else if (type == "number" || type == "flag") {
        if (const std::optional<std::int32_t> number = ParsedNumber(text)) {
            value.type = type == "flag" ? ValueType::Flag : ValueType::Number;
            value.number = *number;
        }
    }
    return value;
}

// Creates the folder and the missing folders above it, each private to the
// user; folders that exist keep their modes.
void CreateFolders(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return;
        if (slash == std::string::npos)
            return;
    }
}

} // namespace

std::string SettingsPathFrom(const char* xdgConfigHome, const std::string& home)
{
    // Relative values of XDG_CONFIG_HOME are invalid and to be ignored.
    if (xdgConfigHome && xdgConfigHome[0] == '/')
        return std::string(xdgConfigHome) + "/velmora/settings";
    if (home.empty())
        return {};
    return home + (home.back() == '/' ? "" : "/") + ".config/velmora/settings";
}

std::string SettingsPath()
{
    return SettingsPathFrom(std::getenv("XDG_CONFIG_HOME"), HomeFolder());
}

std::string EncodeSettings(const std::vector<StoredValue>& values)
{
    std::string out(kHeader);
    for (const StoredValue& value : values) {
        AppendEscaped(out, value.name);
        switch (value.type) {
        case ValueType::Text:
            out += "\ttext\t";
            AppendEscaped(out, value.text);
            break;
        case ValueType::Number:
            out += "\tnumber\t" + std::to_string(value.number);
            break;
        case ValueType::Flag:
            out += value.number != 0 ? "\tflag\t1" : "\tflag\t0";
            break;
        case ValueType::Other:
            out += "\tother\t";
            break;
        }
        out += '\n';
    }
    return out;
}

std::vector<StoredValue> DecodeSettings(std::string_view bytes)
{
    std::vector<StoredValue> values;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const bool complete = end != std::string_view::npos;
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(complete ? end + 1 : bytes.size());
        if (complete && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        if (std::optional<StoredValue> value = ParsedLine(line, complete))
            values.push_back(std::move(*value));
    }
    return values;
}

SettingsFile::SettingsFile(FileSystem& files, std::string path)
    : files_(files), path_(std::move(path))
{
}

bool SettingsFile::read(std::vector<StoredValue>& values)
{
    values.clear();
    ByteBuffer bytes;
    if (path_.empty() || !files_.readFile(path_, bytes))
        return false;
    values = DecodeSettings(bytes.view());
    return true;
}

bool SettingsFile::write(const std::vector<StoredValue>& values)
{
    if (path_.empty() || path_.back() == '/')
        return false;
    const std::size_t slash = path_.rfind('/');
    if (slash != std::string::npos && slash > 0)
        CreateFolders(path_.substr(0, slash));
    WriteError error = WriteError::None;
    const std::unique_ptr<OutputFile> out = files_.createReplacement(path_, error);
    return out && out->write(EncodeSettings(values)) && out->flush() && out->commit();
}

} // namespace velmora::platform
