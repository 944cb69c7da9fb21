// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/CollectionFile.h"

#include "system/Progress.h"
#include "texts/Lines.h"

#include <cstring>
#include <string>

namespace velmora::collection {

namespace {

// Counts and strips the indentation of a line: each tab or blank is a level.
std::uint32_t StripIndent(std::string_view& line)
{
    std::size_t i = 0;
    while (i < line.size() && (line[i] == '\t' || line[i] == ' '))
        ++i;
    line.remove_prefix(i);
    return static_cast<std::uint32_t>(i);
}

std::size_t CountLineFeeds(std::string_view bytes)
{
    std::size_t count = 0;
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        const void* hit = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        if (!hit)
            break;
        ++count;
        p = static_cast<const char*>(hit) + 1;
    }
    return count;
}

// Lines between two progress steps while reading: a step costs a lock, a
// line a few nanoseconds.
constexpr std::size_t kLinesPerStep = 1 << 14;

} // namespace

bool LooksLikeCollection(std::string_view bytes)
{
    return !bytes.empty() && bytes.front() == '\x01';
}

ReadOutcome ReadCollection(ByteBuffer buffer, CollectionTree& tree, Progress* progress)
{
    tree.clear();
    const std::string_view all = tree.adopt(std::move(buffer));
    std::string_view bytes = texts::UpToNul(all);
    // No node text holds a NUL: a NUL makes the file not valid, and the line
    // that holds it is the faulty line. Only whole lines before it are read,
    // except in the first line, which always gives the root.
    const bool hasNul = bytes.size() < all.size();
    bool nulInFirstLine = false;
    if (hasNul) {
        const std::size_t lineStart = bytes.find_last_of("\r\n") + 1;
        nulInFirstLine = lineStart == 0;
        bytes = bytes.substr(0, lineStart == 0 ? bytes.size() : lineStart);
    }
    tree.reserve(CountLineFeeds(bytes) + 1);

    texts::LineSplitter lines(bytes);
    std::string_view line;
    if (!lines.next(line))
        return hasNul ? ReadOutcome{false, 1} : ReadOutcome{};
    StripIndent(line);
    NodeId previous = tree.addRootStored(line);
    std::uint32_t previousLevel = 0;
    std::size_t untilStep = kLinesPerStep;

    while (lines.next(line)) {
        if (progress != nullptr && --untilStep == 0) {
            untilStep = kLinesPerStep;
            if (progress->cancelled())
                return {.valid = true, .faultyLine = 0, .cancelled = true};
            const auto done = static_cast<std::uint64_t>(line.data() - bytes.data());
            progress->step(done, bytes.size(), {});
        }
        const std::uint32_t level = StripIndent(line);
        if (level == 0 || level > previousLevel + 1 || line.size() > 0xFFFFFFFFu)
            return {false, lines.lineNumber()};
        NodeId parent;
        if (level == previousLevel + 1) {
            parent = previous;
        } else {
            // Climb to the ancestor at `level`; its parent gets the new node.
            NodeId sibling = previous;
            for (std::uint32_t l = previousLevel; l > level; --l)
                sibling = tree.parent(sibling);
            parent = tree.parent(sibling);
        }
        previous = tree.appendChildStored(parent, line);
        previousLevel = level;
    }
    if (hasNul)
        return {false, nulInFirstLine ? 1 : lines.lineNumber() + 1};
    return {};
}

ReadOutcome ReadCollection(std::string_view bytes, CollectionTree& tree)
{
    ByteBuffer copy;
    copy.data = std::make_unique_for_overwrite<char[]>(bytes.size());
    if (!bytes.empty())
        std::memcpy(copy.data.get(), bytes.data(), bytes.size());
    copy.size = bytes.size();
    return ReadCollection(std::move(copy), tree);
}

bool WriteCollection(const CollectionTree& tree, std::string_view rootText, OutputFile& out,
                     Progress* progress)
{
    constexpr std::size_t kFlushAt = 1 << 20;
    std::string block;
    block.reserve(kFlushAt + 4096);
    const NodeId root = tree.root();
    std::uint64_t total = 0;
    std::uint64_t written = 0;
    if (progress != nullptr) {
        for (NodeId n = root; n != kNoNode; n = tree.nextInPreOrder(n))
            total += tree.level(n) + (n == root ? rootText : tree.text(n)).size() + 2;
    }
    for (NodeId n = root; n != kNoNode; n = tree.nextInPreOrder(n)) {
        block.append(tree.level(n), '\t');
        block.append(n == root ? rootText : tree.text(n));
        block.append("\r\n", 2);
        if (block.size() >= kFlushAt) {
            if (!out.write(block))
                return false;
            written += block.size();
            if (progress != nullptr)
                progress->step(written, total, {});
            block.clear();
        }
    }
    return block.empty() || out.write(block);
}

} // namespace velmora::collection
