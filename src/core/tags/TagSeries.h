// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/BulkTagEdit.h"
#include "texts/TextIds.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::tags {

/// Whether a file name matches the tag editor's mask "*.mp?": a name that
/// ends in ".mp" and one more character, the letters compared without
/// regard to their case (a CD written on Windows often holds "SONG.MP3").
bool MatchesTagEditorMask(std::string_view name);

/// What a series of tag changes over many files asks of the one who runs it.
class SeriesUser {
public:
    virtual ~SeriesUser() = default;
    /// The file at `index` of the series was changed.
    virtual void Changed(std::size_t index) = 0;
    /// The file at `index` failed with the error text `error`: true goes on
    /// with the next file, false ends the series at once.
    virtual bool GoOn(std::size_t index, texts::TextId error) = 0;
};

/// Writes `changes` into each of `paths` in turn (the fields not set in
/// `changes` keep what each file holds). False when the user ended the
/// series after a failure.
[[nodiscard]] bool WriteSeries(BulkTagEditor& editor, const std::vector<std::string>& paths,
                               const TagChanges& changes, SeriesUser& user);

/// Removes the tags `parts` of each of `paths` in turn; a file without a
/// tag counts as changed. False when the user ended the series after a
/// failure.
[[nodiscard]] bool RemoveSeries(BulkTagEditor& editor, const std::vector<std::string>& paths,
                                SeriesUser& user, TagParts parts = TagParts::Id3v1);

} // namespace velmora::tags
