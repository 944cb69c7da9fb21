// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioInfo.h"
#include "audio/MPGTools.h"
#include "collection/NodeText.h"

#include <array>
#include <string>
#include <string_view>

namespace velmora::audio {

/// Which analyser accepted a file.
enum class Analyser { None, Mpeg, Info };

/// What a file node stores about one audio file: the six numbers (SizeKB,
/// Duration negative for VBR, SampleRate10, ChannelCode, VersionCode,
/// LayerCode) and the six tag texts (Title, Artist, Album, Track, Year,
/// Comment; cleaned, UTF-8; Track "1".."31" or empty).
struct FileRecord {
    Analyser analyser = Analyser::None;
    collection::Numbers numbers{};
    std::array<std::string, 6> tags;
};

/// Turns paths into file records: TMPEGAudio first, TAudioInfo when the
/// first does not accept the file. A file neither accepts keeps its size and
/// zeros. The texts come from the ID3v1 tag of the analyser that accepted
/// the file; without one, from the ID3v2 tag at the file's start (unless
/// that is switched off). One object serves a whole scan.
class FileAnalyser {
public:
    explicit FileAnalyser(FileSystem& files, bool readId3v2 = true) : mpeg_(files), info_(files)
    {
        mpeg_.setReadId3v2(readId3v2);
    }

    FileRecord Analyse(const std::string& path);

    TMPEGAudio& mpeg() { return mpeg_; }

private:
    TMPEGAudio mpeg_;
    TAudioInfo info_;
};

/// The track rule of file nodes: "1" to "31", anything else empty.
std::string TrackText(int track);

/// The file node text: the name cleaned by CleanText(), the six numbers
/// after marks 0x01..0x06, 0x07, then the six texts between the tag marks
/// 0x15..0x1B.
std::string FileNodeText(std::string_view name, const FileRecord& record);

} // namespace velmora::audio
