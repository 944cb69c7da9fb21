// SPDX-License-Identifier: GPL-3.0-or-later
#include "texts/LanguagePacks.h"

#include "system/FileSystem.h"
#include "system/Locale.h"
#include "texts/Encoding.h"
#include "texts/Lines.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace velmora::texts {

namespace {

constexpr std::string_view kCreditMark = ">>>";

bool EndsWithExtension(std::string_view lowerName)
{
    return lowerName.size() > kPackExtension.size() && lowerName.ends_with(kPackExtension);
}

std::string Number(std::size_t n)
{
    std::array<char, 8> digits{};
    std::snprintf(digits.data(), digits.size(), "%03zu", n);
    return digits.data();
}

bool IsNumber(std::string_view line)
{
    return line.size() >= 3 &&
           std::all_of(line.begin(), line.begin() + 3, [](char c) { return c >= '0' && c <= '9'; });
}

// The place-holders of a text, sorted: "%" and the letter or digit after it.
std::vector<std::string> PlaceHolders(std::string_view text)
{
    std::vector<std::string> found;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const char c = text[i + 1];
        if (text[i] == '%' &&
            ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
            found.emplace_back(text.substr(i, 2));
            ++i;
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::size_t LeadingBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? text.size() : first;
}

std::size_t TrailingBlanks(std::string_view text)
{
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? text.size() : text.size() - 1 - last;
}

// The default text of number n (the table's or an extra one).
std::string_view DefaultText(std::size_t n)
{
    static const TextTable defaults;
    return defaults.TextAt(n);
}

// Windows-1252 leaves these five bytes undefined.
bool IsWindows1252(std::string_view bytes)
{
    return std::none_of(bytes.begin(), bytes.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
    });
}

} // namespace

std::vector<PackFile> ListPacks(const FileSystem& files, const std::string& folder,
                                const Locale& locale)
{
    std::vector<FolderEntry> entries;
    std::vector<PackFile> packs;
    if (!files.listFolder(folder, entries))
        return packs;
    for (FolderEntry& entry : entries) {
        if (entry.kind != FolderEntry::Kind::File)
            continue;
        std::string lower = locale.toLower(entry.name);
        if (EndsWithExtension(lower))
            packs.push_back({std::move(lower), folder + entry.name});
    }
    std::sort(packs.begin(), packs.end(),
              [](const PackFile& a, const PackFile& b) { return a.name < b.name; });
    return packs;
}

std::string_view PackLanguageName(std::string_view packBytes)
{
    LineSplitter lines(UpToNul(packBytes));
    std::string_view first;
    if (!lines.next(first) || first.size() <= 3)
        return {};
    return first.substr(3);
}

std::string AutomaticLanguage(const FileSystem& files, const std::string& folder,
                              const Locale& locale)
{
    const std::string user = locale.toLower(locale.languageName());
    std::string chosen;
    for (const PackFile& pack : ListPacks(files, folder, locale)) {
        ByteBuffer bytes;
        if (!files.readFile(pack.path, bytes))
            continue;
        const std::string name = locale.toLower(PackLanguageName(bytes.view()));
        if (!name.empty() && user.starts_with(name))
            chosen = pack.name;
    }
    return chosen;
}

LanguageChoice ChooseLanguage(const FileSystem& files, const std::string& folder,
                              const Locale& locale, std::string& langName)
{
    LanguageChoice choice;
    if (langName.empty())
        langName = AutomaticLanguage(files, folder, locale);
    if (langName.empty())
        return choice;

    // The setting holds the name lower-cased; the folder may spell it
    // otherwise.
    std::string path = folder + langName;
    if (!files.fileExists(path)) {
        for (const PackFile& pack : ListPacks(files, folder, locale)) {
            if (pack.name == langName)
                path = pack.path;
        }
    }
    ByteBuffer bytes;
    if (files.readFile(path, bytes)) {
        choice.table = TextTable::FromPackBytes(bytes.view());
        return choice;
    }
    choice.error = std::string(choice.table.Text(TextId::CannotOpenFile)) + ": " + folder +
                   langName + ". " +
                   std::string(choice.table.Text(TextId::DefaultLanguageRestored));
    langName.clear();
    return choice;
}

std::vector<std::string> CheckPack(std::string_view packBytes)
{
    std::vector<std::string> problems;
    const auto problem = [&problems](std::size_t line, const std::string& what) {
        problems.push_back("line " + std::to_string(line + 1) + ": " + what);
    };
    if (!IsValidUtf8(packBytes) && !IsWindows1252(packBytes))
        problems.emplace_back("neither UTF-8 nor Windows-1252 text");

    const std::vector<std::string_view> lines = SplitLines(packBytes);
    std::vector<bool> seen(kTextCount + kExtraTextCount, false);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.starts_with(kCreditMark) && i >= kTextCount)
            break;
        if (!IsNumber(line)) {
            problem(i, "no number; expected " + Number(i));
            continue;
        }
        const std::string number(line.substr(0, 3));
        const auto n = static_cast<std::size_t>(std::stoi(number));
        if (n < seen.size())
            seen[n] = true;
        if (number != Number(i)) {
            problem(i, "number " + number + " out of order; expected " + Number(i));
            continue;
        }
        if (i >= seen.size()) {
            problem(i, "text " + number + " is past the last text");
            continue;
        }
        const std::string_view text = line.substr(3);
        const std::string_view original = DefaultText(i);
        if (PlaceHolders(text) != PlaceHolders(original))
            problem(i, "text " + number + ": place-holders differ from the default text");
        if (!text.empty() && (LeadingBlanks(text) != LeadingBlanks(original) ||
                              TrailingBlanks(text) != TrailingBlanks(original)))
            problem(i, "text " + number + ": leading or trailing blanks differ");
    }
    for (std::size_t n = 0; n < kTextCount; ++n) {
        if (!seen[n])
            problems.push_back("text " + Number(n) + " is missing");
    }
    return problems;
}

} // namespace velmora::texts
