// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace velmora::settings {
struct Settings;
}

namespace velmora::search {

// What each search looks for. The settings record keeps these values
// between runs; the functions below read them from it and write them back.
// Stored values outside the named ones are kept as they are (only edited
// settings hold them), so that a run leaves them unchanged and the searches
// treat them as they always have.

/// Which nodes a name or duplicate search tests.
enum class SearchArea : std::int32_t { FoldersAndFiles = 1, Folders = 2, Files = 3 };

/// The name search: every word of `text` must occur in the node's name.
struct NameCriteria {
    std::string text;
    bool matchCase = false;
    SearchArea area = SearchArea::FoldersAndFiles;

    bool operator==(const NameCriteria&) const = default;
};

/// The tag search: the texts looked for in the tag fields Title, Artist,
/// Album, Track, Year and Comment; a text that is blank is not used.
struct TagCriteria {
    std::array<std::string, 6> texts;

    bool operator==(const TagCriteria&) const = default;
};

/// How a property term compares the file's number with the chosen value.
enum class Comparison : std::int32_t { Less = 0, Equal = 1, Greater = 2 };

/// The values a comparing term chooses from, in the order of kBitRateValues,
/// kSampleRateValues and of the version and layer codes.
enum class BitRateValue : std::int32_t { Kbps128 = 0, Kbps160 = 1, Kbps192 = 2 };
enum class SampleRateValue : std::int32_t { Hz22050 = 0, Hz32000 = 1, Hz44100 = 2 };
enum class VersionValue : std::int32_t { Mpeg1 = 0, Mpeg2 = 1, Mpeg25 = 2 };
enum class LayerValue : std::int32_t { Layer1 = 0, Layer2 = 1, Layer3 = 2 };

enum class ChannelMode : std::int32_t { Mono = 0, Stereo = 1 };
enum class TagPresence : std::int32_t { Present = 0, NotPresent = 1 };

/// A term that compares a number of the file with one of three values.
template <typename Value> struct ComparedTerm {
    bool used = false;
    Comparison comparison = Comparison::Less;
    Value value{};

    bool operator==(const ComparedTerm&) const = default;
};

/// A term that asks for one of two states.
template <typename Value> struct ChoiceTerm {
    bool used = false;
    Value value{};

    bool operator==(const ChoiceTerm&) const = default;
};

/// The property search: a file matches when at least one used term holds.
/// In author mode a file whose name breaks the naming rule matches as well.
struct PropertyCriteria {
    ComparedTerm<BitRateValue> bitRate;
    ComparedTerm<SampleRateValue> sampleRate;
    ChoiceTerm<ChannelMode> channelMode;
    ComparedTerm<VersionValue> version;
    ComparedTerm<LayerValue> layer;
    ChoiceTerm<TagPresence> validTag;
    bool authorMode = false;

    bool operator==(const PropertyCriteria&) const = default;
};

/// The duplicate search: what makes two nodes equal, and which are tested.
struct DuplicateCriteria {
    bool compareName = true;
    bool compareProperty = false;
    SearchArea area = SearchArea::FoldersAndFiles;

    bool operator==(const DuplicateCriteria&) const = default;
};

/// The stored form of the property terms ("Property0".."Property17"):
/// bytes 0, 3, 6, 9, 12 and 15 switch the bit rate, sample rate, channel
/// mode, version, layer and valid tag term on (only the value 1 does); bytes
/// 1 and 2, 4 and 5, 10 and 11, 13 and 14 hold the comparison and the value;
/// byte 7 the channel mode, byte 16 the tag presence; bytes 8 and 17 are
/// not used.
using PropertyBytes = std::array<std::int32_t, 18>;

/// The terms of stored bytes; author mode off.
PropertyCriteria PropertyCriteriaFrom(const PropertyBytes& bytes);

/// `stored` with the terms written into it. A term that is off leaves an
/// "on" byte other than 1 as it was, and bytes 8 and 17 stay as they are.
PropertyBytes PropertyBytesOf(const PropertyCriteria& criteria, PropertyBytes stored);

/// The criteria of the settings record: "NameText", "NameCase", "NameArea";
/// "TagText1".."TagText6"; the property bytes and "Author"; "CompareName",
/// "CompareProperty", "DuplicateArea".
NameCriteria NameCriteriaFrom(const settings::Settings& settings);
TagCriteria TagCriteriaFrom(const settings::Settings& settings);
PropertyCriteria PropertyCriteriaFrom(const settings::Settings& settings);
DuplicateCriteria DuplicateCriteriaFrom(const settings::Settings& settings);

/// Write the criteria back into the settings record; the other values stay
/// as they are. Author mode is the program's setting and is not written.
void WriteCriteria(const NameCriteria& criteria, settings::Settings& settings);
void WriteCriteria(const TagCriteria& criteria, settings::Settings& settings);
void WriteCriteria(const PropertyCriteria& criteria, settings::Settings& settings);
void WriteCriteria(const DuplicateCriteria& criteria, settings::Settings& settings);

} // namespace velmora::search
