// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/Id3v2Writer.h"

namespace velmora::platform {

/// The ID3v2 writer of the program, on TagLib.
///
/// TagLib reads the tag at the file's start (from a copy of its bytes, so it
/// never touches the file) and renders it again with the changed frames, in
/// the tag's version (2.2 becomes 2.3: TagLib writes no 2.2). Before
/// anything is written, the rendered tag is read back and every frame of the
/// changed tag must be in it byte for byte: TagLib drops some frames it
/// cannot write in 2.3 (RVAD, TIME, EQUA and the like) and those flagged to
/// be dropped when the tag changes, and such a file is left alone
/// (WouldLoseFrames).
///
/// New texts are written as ISO-8859-1 when they allow it, else as UTF-8 in
/// 2.4 and UTF-16 with a byte order mark in 2.3.
///
/// A tag that keeps its size (a smaller one is filled up to it with padding)
/// is written over the old one in place. Otherwise TagLib itself would move
/// every byte after the tag inside the file, which a crash or a full disk
/// leaves half done: instead the new tag and the rest of the file go into a
/// hidden file beside it (".NAME.velmora-XXXXXX"), with the old one's mode,
/// which replaces it by a rename once it is complete and on disk; such
/// copies that a killed write left are removed by the next one. A link is
/// followed to the file it names.
class TagLibId3v2 final : public tags::Id3v2Writer {
public:
    TagLibId3v2();

    [[nodiscard]] tags::Id3v2Outcome Write(const std::string& path, const tags::TagChanges& changes,
                                           std::string_view id3v1Block) override;
    [[nodiscard]] tags::Id3v2Outcome Remove(const std::string& path, bool alsoId3v1) override;
};

} // namespace velmora::platform
