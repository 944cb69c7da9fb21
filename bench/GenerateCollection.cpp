// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-bench-generate OUT.col [--nodes N]
//
// Writes a synthetic collection file of about N nodes (default 1,000,000)
// that looks like a real catalogue of MP3 CDs and DVDs: a few hundred
// volumes, folders one to four levels deep (genre / artist / album / CD),
// files named "07 - Title.mp3" with tag texts, and totals that are the true
// sums. The output depends on N only: a fixed-seed generator of our own makes
// the same bytes on every machine. The tree is built with the core's node
// text builders and written with WriteCollection, so the bytes are exactly
// those the program itself saves.

#include "collection/CollectionFile.h"
#include "collection/CollectionTree.h"
#include "collection/NodeText.h"
#include "platform/PosixFileSystem.h"
#include "system/FileSystem.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace {

using velmora::collection::CollectionTree;
using velmora::collection::NodeId;
namespace col = velmora::collection;

// SplitMix64: tiny, fast and the same everywhere.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    /// 0 .. n-1 (n > 0).
    std::uint64_t below(std::uint64_t n) { return next() % n; }
    /// lo .. hi inclusive.
    std::int64_t between(std::int64_t lo, std::int64_t hi)
    {
        return lo + static_cast<std::int64_t>(below(static_cast<std::uint64_t>(hi - lo + 1)));
    }
    /// True with the given chance in per mille.
    bool chance(unsigned perMille) { return below(1000) < perMille; }

    template <typename T, std::size_t N> const T& pick(const std::array<T, N>& items)
    {
        return items[below(N)];
    }

private:
    std::uint64_t state_;
};

constexpr std::array<std::string_view, 40> kWords = {
    "Love",    "Night",    "Blue",  "Road",   "Heart",  "Fire",     "Rain",     "Dream",
    "Song",    "Light",    "Time",  "River",  "Summer", "Black",    "Golden",   "Wild",
    "Home",    "Angel",    "Storm", "Moon",   "Street", "Shadow",   "Dance",    "Silver",
    "City",    "Highway",  "Ocean", "Winter", "Stone",  "Paradise", "Little",   "Broken",
    "Morning", "Electric", "Sweet", "Lonely", "Crazy",  "Freedom",  "Mountain", "Echo"};

// Letters beyond ASCII as UTF-8, as newer rippers and file systems store them.
constexpr std::array<std::string_view, 10> kUtf8Words = {
    "Björk", "Motörhead", "Café", "Señorita", "Für", "Déjà", "Žalm", "Łódź", "Mañana", "Blåbær"};

// The same kind of letters as Windows-1252 bytes, as in ID3v1 tags and old
// CD file names.
constexpr std::array<std::string_view, 8> kCp1252Words = {"Caf\xE9",
                                                          "M\xFCller",
                                                          "Gr\xF6\xDF",
                                                          "Se\xF1or",
                                                          "Gar\xE7on",
                                                          "\xC5ngel",
                                                          "R\xEAve",
                                                          "Fa\xE7"
                                                          "ade"};

constexpr std::array<std::string_view, 24> kFirstNames = {
    "John",  "Paul",  "Mary",  "David", "Anna",  "Peter",  "Linda", "Mike",
    "Sarah", "Tom",   "Laura", "James", "Nina",  "Frank",  "Elena", "Bob",
    "Alice", "Chris", "Maria", "Steve", "Julia", "George", "Karen", "Ray"};

constexpr std::array<std::string_view, 24> kLastNames = {
    "Smith",  "Miller", "Young",  "Parker",  "Walker", "Stone",  "Brown",  "Carter",
    "Davis",  "Morris", "Hughes", "Bennett", "Fisher", "Turner", "Porter", "Harris",
    "Cooper", "Reed",   "Ward",   "Gray",    "Wood",   "Hayes",  "Cole",   "Knight"};

constexpr std::array<std::string_view, 12> kGenres = {
    "Rock",  "Pop",     "Jazz", "Blues",       "Classical", "Electronic",
    "Metal", "Hip-Hop", "Folk", "Soundtracks", "Reggae",    "Country"};

constexpr std::array<std::string_view, 8> kComments = {"Ripped by EAC", "www.mp3.com", "LAME 3.97",
                                                       "Best of",       "Live",        "Remastered",
                                                       "Track from CD", "Promo"};

constexpr std::array<std::string_view, 6> kLabels = {"MP3 CD", "MP3 DVD", "MUSIC",
                                                     "BACKUP", "AUDIO",   "MP3"};

constexpr std::array<std::string_view, 5> kFolderParts = {"\\Music", "\\Music\\Rock", "\\MP3",
                                                          "\\Audio\\Albums", "\\Daten\\Musik"};

constexpr std::size_t kId3TextBytes = 30;

// ID3v1 fields hold 30 bytes; cut there without splitting a UTF-8 letter and
// without trailing blanks (the scan would have removed them).
std::string TagField(std::string_view text)
{
    std::size_t n = std::min(text.size(), kId3TextBytes);
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    while (n > 0 && text[n - 1] == ' ')
        --n;
    return std::string(text.substr(0, n));
}

// "Title (1999)" and "1999 - Title" folder names hold the album title.
std::string AlbumTitle(std::string_view folderName)
{
    if (folderName.size() > 7 && folderName.ends_with(")") &&
        folderName[folderName.size() - 7] == '(')
        return std::string(folderName.substr(0, folderName.size() - 8));
    if (folderName.size() > 7 && folderName.substr(4, 3) == " - ")
        return std::string(folderName.substr(7));
    return std::string(folderName);
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool LessIgnoringCase(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return AsciiLower(x) < AsciiLower(y);
    });
}

// Sorted, without duplicates under case folding: a listing of one folder.
void AsListing(std::vector<std::string>& names)
{
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    names.erase(std::unique(names.begin(), names.end(),
                            [](const std::string& a, const std::string& b) {
                                return !LessIgnoringCase(a, b) && !LessIgnoringCase(b, a);
                            }),
                names.end());
}

// Totals of a subtree, gathered bottom-up after the tree is built.
struct Totals {
    std::int64_t sizeKB = 0;
    std::int64_t duration = 0;
    std::int64_t folders = 0;
    std::int64_t files = 0;
};

class Generator {
public:
    Generator(std::size_t targetNodes, std::uint64_t seed) : target_(targetNodes), rng_(seed) {}

    /// Builds the tree and returns the root's text.
    std::string build(CollectionTree& tree)
    {
        tree_ = &tree;
        tree.clear();
        tree.reserve(target_);
        addNode(col::kNoNode, "", false);

        const std::size_t volumes = std::clamp<std::size_t>(target_ / 3300, 1, 400);
        std::size_t remaining = target_ > 1 ? target_ - 1 : 0;
        for (std::size_t v = 0; v < volumes; ++v) {
            // At least the volume node and one file.
            const std::size_t budget = std::max<std::size_t>(2, remaining / (volumes - v));
            addVolume(v, budget);
            remaining -= std::min(remaining, budget);
        }
        return finishTotals();
    }

private:
    NodeId addNode(NodeId parent, std::string_view text, bool isFile)
    {
        const NodeId id =
            parent == col::kNoNode ? tree_->addRoot(text) : tree_->appendChild(parent, text);
        if (totals_.size() <= id)
            totals_.resize(id + 1);
        isFile_.resize(totals_.size());
        isFile_[id] = isFile;
        return id;
    }

    std::string word(unsigned utf8PerMille = 5, unsigned cp1252PerMille = 3)
    {
        const std::uint64_t r = rng_.below(1000);
        if (r < utf8PerMille)
            return std::string(rng_.pick(kUtf8Words));
        if (r < utf8PerMille + cp1252PerMille)
            return std::string(rng_.pick(kCp1252Words));
        return std::string(rng_.pick(kWords));
    }

    std::string words(int lo, int hi)
    {
        std::string out = word();
        for (std::int64_t i = rng_.between(lo, hi) - 1; i > 0; --i)
            out += ' ' + word();
        return out;
    }

    std::string artistName()
    {
        switch (rng_.below(4)) {
        case 0:
            return "The " + words(1, 2);
        case 1:
            return words(1, 3);
        default:
            return std::string(rng_.pick(kFirstNames)) + ' ' +
                   (rng_.chance(10) ? word(500, 500) : std::string(rng_.pick(kLastNames)));
        }
    }

    std::string yearText() { return std::to_string(rng_.between(1962, 2009)); }

    // What the folders of one level are named after.
    enum class Level { Genre, Artist, Album, ArtistAlbum, Disc };
    using Layout = std::vector<Level>;

    static const Layout& PickLayout(Rng& rng)
    {
        static const std::array<Layout, 5> layouts = {{
            {Level::ArtistAlbum},
            {Level::Artist, Level::Album},
            {Level::Artist, Level::Album, Level::Disc},
            {Level::Genre, Level::ArtistAlbum},
            {Level::Genre, Level::Artist, Level::Album, Level::Disc},
        }};
        return rng.pick(layouts);
    }

    // Average number of nodes of one folder at layout[index] with its
    // subtree, to size the top level of a volume to its budget.
    static double ExpectedNodes(const Layout& layout, std::size_t index)
    {
        constexpr double kTracks = 13.0;
        if (index == layout.size())
            return kTracks;
        const double below = ExpectedNodes(layout, index + 1);
        switch (layout[index]) {
        case Level::Genre:
            return 1.0 + 14.5 * below;
        case Level::Artist:
            return 1.0 + 3.5 * below;
        case Level::Album:
        case Level::ArtistAlbum:
            return 1.0 + below;
        case Level::Disc:
            // 30 % of albums have two or three disc folders.
            return 0.7 * kTracks + 0.3 * 2.5 * (1.0 + kTracks);
        }
        return below;
    }

    void addVolume(std::size_t index, std::size_t budget)
    {
        char label[32];
        std::snprintf(label, sizeof label, "%s %03zu", std::string(rng_.pick(kLabels)).c_str(),
                      index + 1);
        std::string name = label;
        if (rng_.chance(200))
            name += rng_.pick(kFolderParts);
        const NodeId volume = addNode(tree_->root(), name, false);
        volumeInfo_.push_back({volume, rng_.between(36526, 45000),
                               static_cast<std::int32_t>(static_cast<std::uint32_t>(rng_.next()))});
        std::size_t left = budget - 1;

        const Layout& layout = PickLayout(rng_);
        const double expected = ExpectedNodes(layout, 0);
        const std::size_t topCount =
            static_cast<std::size_t>(1.5 * static_cast<double>(left) / expected) + 2;
        fillFolder(volume, layout, 0, topCount, left, "", "");
        // What the folders did not use goes into loose files at the top.
        if (left > 0)
            addLooseFiles(volume, left, "", "");
    }

    std::vector<std::string> levelNames(Level level, std::size_t topCount,
                                        const std::string& artist)
    {
        std::vector<std::string> names;
        std::size_t count = 0;
        switch (level) {
        case Level::Genre:
            count = topCount > 0 ? topCount : static_cast<std::size_t>(rng_.between(3, 10));
            for (std::size_t i = 0; i < count; ++i)
                names.emplace_back(rng_.pick(kGenres));
            break;
        case Level::Artist:
            count = topCount > 0 ? topCount : static_cast<std::size_t>(rng_.between(4, 25));
            for (std::size_t i = 0; i < count; ++i)
                names.push_back(artistName());
            break;
        case Level::Album:
            count = topCount > 0 ? topCount : static_cast<std::size_t>(rng_.between(1, 6));
            for (std::size_t i = 0; i < count; ++i)
                names.push_back(rng_.chance(500) ? yearText() + " - " + words(1, 4)
                                                 : words(1, 4) + " (" + yearText() + ")");
            break;
        case Level::ArtistAlbum:
            count = topCount > 0 ? topCount : static_cast<std::size_t>(rng_.between(5, 40));
            for (std::size_t i = 0; i < count; ++i)
                names.push_back((artist.empty() ? artistName() : artist) + " - " + words(1, 3));
            break;
        case Level::Disc:
            count = static_cast<std::size_t>(rng_.between(2, 3));
            for (std::size_t i = 0; i < count; ++i)
                names.push_back((rng_.chance(500) ? "CD" : "Disc ") + std::to_string(i + 1));
            break;
        }
        AsListing(names);
        return names;
    }

    // Fills `folder` with the folders of layout[index] and below, until
    // `left` nodes are used up. topCount > 0 fixes the number of folders of
    // this level; `artist` and `album` are what the enclosing folders name.
    void fillFolder(NodeId folder, const Layout& layout, std::size_t index, std::size_t topCount,
                    std::size_t& left, const std::string& artist, const std::string& album)
    {
        // Most albums keep their tracks without disc folders.
        if (index == layout.size() || (layout[index] == Level::Disc && !rng_.chance(300))) {
            addTracks(folder, left, artist, album);
            return;
        }
        const Level level = layout[index];
        // A new folder needs room for itself, the chain below it and a file.
        const std::size_t chain = layout.size() - index + 1;
        for (const std::string& name : levelNames(level, topCount, artist)) {
            if (left < chain)
                return;
            const NodeId child = addNode(folder, name, false);
            --left;
            std::string childArtist = artist;
            std::string childAlbum = album;
            if (level == Level::Artist) {
                childArtist = name;
            } else if (level == Level::Album) {
                childAlbum = AlbumTitle(name);
            } else if (level == Level::ArtistAlbum) {
                const std::size_t dash = name.find(" - ");
                childArtist = name.substr(0, dash);
                childAlbum = name.substr(dash + 3);
            }
            fillFolder(child, layout, index + 1, 0, left, childArtist, childAlbum);
        }
        // Some collectors keep loose files beside their folders.
        if (index > 0 && left > 0 && rng_.chance(100)) {
            const std::size_t loose =
                std::min<std::size_t>(left, static_cast<std::size_t>(rng_.between(1, 8)));
            left -= loose;
            addLooseFiles(folder, loose, artist, album);
        }
    }

    void addTracks(NodeId folder, std::size_t& left, const std::string& artist,
                   const std::string& album)
    {
        const std::size_t count =
            std::min<std::size_t>(left, static_cast<std::size_t>(rng_.between(6, 20)));
        const std::string year = rng_.chance(900) ? yearText() : std::string();
        for (std::size_t i = 0; i < count; ++i) {
            const std::string title = words(1, 5);
            char number[24];
            std::snprintf(number, sizeof number, "%02zu", i + 1);
            addFile(folder, std::string(number) + " - " + title + Extension(), title, artist, album,
                    static_cast<int>(i + 1), year);
        }
        left -= count;
    }

    void addLooseFiles(NodeId folder, std::size_t count, const std::string& artist,
                       const std::string& album)
    {
        struct Loose {
            std::string name;
            std::string title;
            std::string artist;
        };
        std::vector<Loose> files;
        std::vector<std::string> names;
        for (std::size_t i = 0; i < count; ++i) {
            Loose f;
            f.artist = artist.empty() ? artistName() : artist;
            f.title = words(1, 5);
            f.name = f.artist + " - " + f.title + Extension();
            files.push_back(std::move(f));
        }
        std::sort(files.begin(), files.end(),
                  [](const Loose& a, const Loose& b) { return LessIgnoringCase(a.name, b.name); });
        for (const Loose& f : files)
            addFile(folder, f.name, f.title, f.artist, album, 0,
                    rng_.chance(700) ? yearText() : "");
    }

    std::string Extension()
    {
        const std::uint64_t r = rng_.below(1000);
        return r < 940 ? ".mp3" : r < 990 ? ".MP3" : ".mp2";
    }

    void addFile(NodeId folder, const std::string& name, const std::string& title,
                 const std::string& artist, const std::string& album, int track,
                 const std::string& year)
    {
        col::Numbers n{};
        n[col::kSizeKB] = rng_.between(2000, 12000);
        std::array<std::string, 6> tags;
        // A few files no analyser accepts: size only, zeros and empty tags.
        if (!rng_.chance(5)) {
            n[col::kDuration] = rng_.between(120, 600) * (rng_.chance(150) ? -1 : 1);
            const std::uint64_t rate = rng_.below(100);
            n[col::kSampleRate10] = rate < 70 ? 4410 : rate < 85 ? 4800 : rate < 93 ? 3200 : 2205;
            const std::uint64_t channel = rng_.below(100);
            n[col::kChannelCode] = channel < 35 ? 1 : channel < 85 ? 2 : channel < 88 ? 3 : 4;
            const std::uint64_t version = rng_.below(100);
            n[col::kVersionCode] = version < 90 ? 1 : version < 98 ? 2 : 3;
            const std::uint64_t layer = rng_.below(100);
            n[col::kLayerCode] = layer < 95 ? 3 : layer < 99 ? 2 : 1;
            if (!rng_.chance(100)) {
                tags[col::kTitle] = TagField(title);
                tags[col::kArtist] = TagField(artist);
                tags[col::kAlbum] = TagField(album);
                if (track >= 1 && track <= 31 && rng_.chance(800))
                    tags[col::kTrack] = std::to_string(track);
                tags[col::kYear] = year;
                if (rng_.chance(300))
                    tags[col::kComment] = TagField(rng_.pick(kComments));
            }
        }
        const NodeId id = addNode(folder, col::FileText(name, n, tags), true);
        Totals& t = totals_[id];
        t.sizeKB = n[col::kSizeKB];
        t.duration = n[col::kDuration] < 0 ? -n[col::kDuration] : n[col::kDuration];
        t.files = 1;
    }

    // Ids grow in pre-order and nothing is removed, so walking them
    // backwards meets every child before its parent.
    std::string finishTotals()
    {
        CollectionTree& tree = *tree_;
        for (NodeId id = static_cast<NodeId>(totals_.size()); id-- > 1;) {
            const NodeId parent = tree.parent(id);
            Totals& up = totals_[parent];
            const Totals& t = totals_[id];
            up.sizeKB += t.sizeKB;
            up.duration += t.duration;
            up.files += t.files;
            if (!isFile_[id] && tree.level(id) >= 2) {
                ++up.folders;
                const std::string name(tree.text(id));
                tree.setText(id, col::FolderText(name, t.sizeKB, t.duration, t.folders, t.files));
            }
        }
        for (const VolumeInfo& v : volumeInfo_) {
            const Totals& t = totals_[v.node];
            const std::string name(tree.text(v.node));
            tree.setText(v.node, col::VolumeText(name, t.sizeKB, t.duration, t.folders, t.files,
                                                 v.scanDate, v.serial));
        }
        const Totals& all = totals_[tree.root()];
        const std::int64_t lastChange =
            volumeInfo_.empty() ? 36526
                                : std::max_element(volumeInfo_.begin(), volumeInfo_.end(),
                                                   [](const VolumeInfo& a, const VolumeInfo& b) {
                                                       return a.scanDate < b.scanDate;
                                                   })
                                      ->scanDate;
        return col::CollectionText(all.sizeKB, all.duration,
                                   static_cast<std::int64_t>(volumeInfo_.size()), all.files,
                                   lastChange);
    }

    struct VolumeInfo {
        NodeId node;
        std::int64_t scanDate;
        std::int32_t serial;
    };

    std::size_t target_;
    Rng rng_;
    CollectionTree* tree_ = nullptr;
    std::vector<Totals> totals_;
    std::vector<bool> isFile_;
    std::vector<VolumeInfo> volumeInfo_;
};

int Usage()
{
    std::fprintf(stderr,
                 "usage: velmora-bench-generate OUT.col [--nodes N]   (N >= 3, default 1000000)\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string out;
    std::size_t nodes = 1000000;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--nodes" && i + 1 < argc) {
            char* end = nullptr;
            const unsigned long long n = std::strtoull(argv[++i], &end, 10);
            if (*end != '\0' || n < 3 || n > 0xFFFFFFF0ull)
                return Usage();
            nodes = static_cast<std::size_t>(n);
        } else if (out.empty() && !arg.starts_with("--")) {
            out = arg;
        } else {
            return Usage();
        }
    }
    if (out.empty())
        return Usage();

    CollectionTree tree;
    Generator generator(nodes, 0x56454C4D4F5241ull);
    const std::string rootText = generator.build(tree);

    velmora::platform::PosixFileSystem files;
    velmora::WriteError error = velmora::WriteError::None;
    const std::unique_ptr<velmora::OutputFile> file = files.createReplacement(out, error);
    if (!file || !col::WriteCollection(tree, rootText, *file) || !file->flush() ||
        !file->commit()) {
        std::fprintf(stderr, "velmora-bench-generate: cannot write %s\n", out.c_str());
        return 1;
    }
    struct stat st {};
    if (::stat(out.c_str(), &st) != 0) {
        std::fprintf(stderr, "velmora-bench-generate: cannot stat %s\n", out.c_str());
        return 1;
    }
    std::printf("%s: %zu nodes, %lld bytes\n", out.c_str(), tree.size(),
                static_cast<long long>(st.st_size));
    return 0;
}
