// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playback/Playback.h"
#include "system/FileSystem.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace velmora::playback {

/// Writes a playlist (see PlaylistBytes()) into a replacement file while its
/// paths are still being found: the lines go out in blocks of about 1 MiB,
/// so a playlist of any length costs one small buffer. Nothing is visible at
/// the target before Finish() succeeds; a writer destroyed without it
/// leaves the target as it was.
class PlaylistWriter {
public:
    /// Starts the replacement of `fileName`; the format follows its name
    /// (FormatOf()). A replacement that cannot be created makes Finish()
    /// fail; the paths are still counted.
    PlaylistWriter(FileSystem& files, const std::string& fileName);
    /// Writes the playlist into `out` (nullptr: Finish() fails) in `format`.
    PlaylistWriter(std::unique_ptr<OutputFile> out, PlaylistFormat format);

    void Add(std::string_view path);

    /// Ends the playlist, flushes it to the storage device and puts it in
    /// the target's place; false when anything failed on the way.
    [[nodiscard]] bool Finish();

    /// The number of paths added and the first of them.
    std::size_t count() const { return count_; }
    const std::string& first() const { return first_; }

private:
    void WriteOut();

    std::unique_ptr<OutputFile> out_;
    PlaylistFormat format_;
    std::string buffer_;
    std::size_t count_ = 0;
    std::string first_;
    bool ok_;
};

/// Appends the playlist line of the `index`th path (counted from 1) to
/// `bytes`; the lines before the first and after the last are
/// AppendPlaylistStart() and AppendPlaylistEnd().
void AppendPlaylistLine(std::string& bytes, PlaylistFormat format, std::size_t index,
                        std::string_view path);
void AppendPlaylistStart(std::string& bytes, PlaylistFormat format);
void AppendPlaylistEnd(std::string& bytes, PlaylistFormat format, std::size_t count);

} // namespace velmora::playback
