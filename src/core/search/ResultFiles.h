// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "search/ResultList.h"
#include "search/SearchCriteria.h"

#include <string>
#include <string_view>

namespace velmora::texts {
class TextTable;
}

namespace velmora::search {

// The saved forms of the four result lists. Each returns the whole file's
// bytes: UTF-8 (each name, path and criteria line that is not valid UTF-8 is
// read as Windows-1252, as DisplayText does), every line ended by CR LF. A
// row line is the node's RowPath immediately followed by its name; after a
// search on a drive `driveRoot` is the searched source's mount point and the
// paths are real folders (see RowPath). The entries of `results` must refer
// to nodes of `tree`.

/// "Found: Name", "", "Text: " NameText, "Match case: Yes|No", "", rows.
std::string NameResultsFile(const collection::CollectionTree& tree, const ResultList& results,
                            const NameCriteria& criteria, const texts::TextTable& table,
                            std::string_view driveRoot = {});

/// "Found: Tag", "", one "Label: text" line per used tag text (as stored),
/// "", rows.
std::string TagResultsFile(const collection::CollectionTree& tree, const ResultList& results,
                           const TagCriteria& criteria, const texts::TextTable& table,
                           std::string_view driveRoot = {});

/// "Found: Property", "", one line per used term ("Bit rate: < 128
/// Kbps", "Sample rate: = 44100 Hz", "Channel mode: Mono", "MPEG version: >
/// 1", "MPEG layer: < 3", "Valid tag: Present"), "", rows. A comparison or
/// value out of range is written as "?".
std::string PropertyResultsFile(const collection::CollectionTree& tree, const ResultList& results,
                                const PropertyCriteria& criteria, const texts::TextTable& table,
                                std::string_view driveRoot = {});

/// "Found: Duplicates", then per group (runs of keys equal by
/// CompareFoldedAZ): "", its DuplicateGroupLabel, its rows.
std::string DuplicateResultsFile(const collection::CollectionTree& tree, const ResultList& results,
                                 const DuplicateCriteria& criteria, const texts::TextTable& table,
                                 std::string_view decimalSeparator,
                                 std::string_view driveRoot = {});

} // namespace velmora::search
