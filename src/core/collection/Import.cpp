// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/Import.h"

#include "collection/NodeText.h"
#include "texts/Lines.h"

#include <array>
#include <charconv>
#include <string>
#include <vector>

namespace velmora::collection {

namespace {

// Larger values could overflow the conversion arithmetic, and no real
// collection holds them.
constexpr std::int64_t kLargestOldNumber = 999'999'999'999'999;

bool IsFirstDataLine(std::string_view line)
{
    if (line.find(';') == std::string_view::npos)
        return false;
    for (const char c : line) {
        if (c != ';' && (c < '0' || c > '9'))
            return false;
    }
    return true;
}

std::string_view TrimControls(std::string_view s)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32)
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32)
        s.remove_suffix(1);
    return s;
}

[[nodiscard]] bool ParseOldNumber(std::string_view s, std::int64_t& value)
{
    s = TrimControls(s);
    if (s.empty())
        return false;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    return error == std::errc() && end == s.data() + s.size() && value <= kLargestOldNumber &&
           value >= -kLargestOldNumber;
}

// The last six numbers of a data line; false when it holds fewer or one of
// them cannot be read.
[[nodiscard]] bool ParseDataLine(std::string_view line, Numbers& d)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t semicolon = line.find(';', start);
        fields.push_back(line.substr(start, semicolon - start));
        if (semicolon == std::string_view::npos)
            break;
        start = semicolon + 1;
    }
    if (fields.size() > 6 && TrimControls(fields.back()).empty())
        fields.pop_back(); // a trailing ";"
    if (fields.size() < 6)
        return false;
    const std::size_t first = fields.size() - 6;
    for (std::size_t j = 0; j < 6; ++j) {
        if (!ParseOldNumber(fields[first + j], d[j]))
            return false;
    }
    return true;
}

std::string ConvertedText(const CollectionTree& tree, NodeId node, const Numbers& d)
{
    const std::string_view name = tree.text(node);
    if (tree.level(node) == 0)
        return CollectionText(d[0], d[1], d[3], d[4], d[5]);
    if (tree.hasChildren(node)) {
        if (tree.level(node) == 1)
            return VolumeText(name, d[0], d[1], d[3], d[4], d[5], 0);
        return FolderText(name, d[0], d[1], d[3], d[4]);
    }
    const std::int64_t duration = d[2] < 0 ? -d[1] : d[1];
    const Numbers numbers = {d[0], duration, d[3] * 10, d[4] + 1, d[5] / 10, d[5] % 10};
    return FileText(name, numbers, {});
}

} // namespace

bool IsOlderFormatPath(std::string_view path)
{
    const std::size_t dot = path.rfind('.');
    return dot != std::string_view::npos && path.substr(dot + 1, 3) == "vlm";
}

bool ConvertOlderFile(std::string_view bytes, CollectionTree& scratch)
{
    scratch.clear();
    scratch.addRoot({});
    texts::LineSplitter lines(texts::UpToNul(bytes));

    // Tree section. lastAt[l] is the node most recently added at level l on
    // the path from the root.
    std::vector<NodeId> lastAt = {scratch.root()};
    std::string_view line;
    bool inData = false;
    while (lines.next(line)) {
        if (IsFirstDataLine(line)) {
            inData = true;
            break;
        }
        const std::size_t lastTab = line.rfind('\t');
        const std::size_t level = lastTab == std::string_view::npos ? 1 : lastTab + 2;
        if (level > lastAt.size())
            return false;
        // Cleaned as every name is: a mark byte inside it would shift the
        // fields of the converted text.
        const std::string name =
            CleanText(lastTab == std::string_view::npos ? line : line.substr(lastTab + 1));
        const NodeId node = scratch.appendChild(lastAt[level - 1], name);
        lastAt.resize(level);
        lastAt.push_back(node);
    }
    if (!inData)
        return false;

    // Data section: the line that ended the tree section and all that
    // follow, less the closing line.
    std::vector<std::string_view> data = {line};
    while (lines.next(line))
        data.push_back(line);
    data.pop_back();
    if (data.size() != scratch.size())
        return false;

    std::size_t i = 0;
    for (NodeId node = scratch.root(); node != kNoNode; node = scratch.nextInPreOrder(node), ++i) {
        Numbers d{};
        if (!ParseDataLine(data[i], d))
            return false;
        scratch.setText(node, ConvertedText(scratch, node, d));
    }
    return true;
}

void MergeImported(CollectionTree& collection, const CollectionTree& scratch, std::int32_t today)
{
    const NodeId target = collection.root();
    const NodeId source = scratch.root();
    // copyAt[l] is the copy most recently made at level l.
    std::vector<NodeId> copyAt = {target};
    for (NodeId n = scratch.firstChild(source); n != kNoNode; n = scratch.nextInPreOrder(n)) {
        const std::uint32_t level = scratch.level(n);
        copyAt.resize(level);
        copyAt.push_back(collection.appendChild(copyAt[level - 1], scratch.text(n)));
    }

    Numbers current{};
    Numbers imported{};
    ReadNumbers(collection.text(target), current);
    ReadNumbers(scratch.text(source), imported);
    Numbers sum{};
    for (const int j : {kSizeKB, kDuration, kVolumeCount, kCollectionFileCount})
        sum[j] = AddClamped(current[j], imported[j]);
    collection.setText(target, CollectionText(sum[kSizeKB], sum[kDuration], sum[kVolumeCount],
                                              sum[kCollectionFileCount], today));
}

} // namespace velmora::collection
