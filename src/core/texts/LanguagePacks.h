// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "texts/TextTable.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmora {
class FileSystem;
class Locale;
} // namespace velmora

namespace velmora::texts {

/// The file name ending of language packs.
inline constexpr std::string_view kPackExtension = ".lng";

/// A language pack in the program's data folder.
struct PackFile {
    std::string name; ///< the file name, lower-cased: what the setting stores
    std::string path; ///< where it is, with the name as the folder spells it
};

/// The packs of `folder` (a native path ending in "/"): its files whose
/// names end in ".lng" in any case, by lower-cased name. Empty when the
/// folder cannot be read.
std::vector<PackFile> ListPacks(const FileSystem& files, const std::string& folder,
                                const Locale& locale);

/// The language name a pack gives itself: its first line from the fourth
/// character on; empty for a shorter line.
std::string_view PackLanguageName(std::string_view packBytes);

/// The automatic choice for the user's language (the locale's English
/// name): of the packs in name order, the last whose language name,
/// lower-cased, is not empty and begins the user's language lower-cased.
/// Empty when none does.
std::string AutomaticLanguage(const FileSystem& files, const std::string& folder,
                              const Locale& locale);

/// The table the active-language setting makes active, and what went wrong.
struct LanguageChoice {
    TextTable table;
    /// Empty, or the message to show: the active pack could not be read.
    std::string error;
};

/// The table for `langName` (the setting: a pack's lower-cased file name,
/// or empty). Empty first makes the automatic choice; a pack that cannot be
/// read gives the default table, the message (text 048, ": ", the pack's
/// path, ". ", text 147, in the default texts) and an empty `langName`;
/// empty in the end gives the default table. The pack is found by its name
/// without regard to case, as the setting stores it lower-cased; its
/// content is not checked.
LanguageChoice ChooseLanguage(const FileSystem& files, const std::string& folder,
                              const Locale& locale, std::string& langName);

/// What `velmora-cli check-pack` finds wrong with a pack, one line each, in
/// the order of the pack: lines without their number or out of order,
/// missing numbers (000 to 208; the texts after them are optional),
/// place-holders ("%" and a letter or digit) or leading and trailing blanks
/// that differ from the default text of the same number, and bytes that are
/// neither UTF-8 nor Windows-1252. Empty for a sound pack. Lines after the
/// texts that begin with ">>>" are credit lines.
std::vector<std::string> CheckPack(std::string_view packBytes);

} // namespace velmora::texts
