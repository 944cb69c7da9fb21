// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/FileSystem.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

namespace velmora::audio {

/// A few windows over a source: small reads near each other, and a search
/// by single bytes at increasing positions, cost one read of the source per
/// window. The first read fills 4 KiB from where it is asked (most files
/// need no more); later ones fill 8 KiB starting 3 KiB before the asked
/// offset, so that a look one frame ahead (at most 2,884 bytes) and the
/// step back to the byte after the candidate header stay in one window.
/// findSync() scans forward with memchr, window by window. The windows last
/// read are kept, so that going back to the start of the file, to the end
/// of its ID3v2 tags or to its end reads nothing again.
class BufferedReader final : public ByteSource {
public:
    explicit BufferedReader(ByteSource& source) : source_(source) {}

    std::int64_t size() const override { return source_.size(); }

    [[nodiscard]] std::int64_t readAt(std::int64_t offset, char* out, std::size_t count) override
    {
        if (offset < 0)
            return -1;
        if (count > kFirstFill)
            return source_.readAt(offset, out, count);
        const Window* w = windowFor(offset, count, kLookBack);
        if (w == nullptr)
            return -1;
        const std::int64_t available = w->start + w->size - offset;
        const auto n = static_cast<std::size_t>(
            std::max<std::int64_t>(0, std::min<std::int64_t>(count, available)));
        std::memcpy(out, w->bytes.data() + (offset - w->start), n);
        return static_cast<std::int64_t>(n);
    }

    /// The byte at `position`; none past the end or on a read error.
    [[nodiscard]] std::optional<unsigned char> byteAt(std::int64_t position)
    {
        if (position < 0)
            return std::nullopt;
        const Window* w = windowFor(position, 1, kLookBack);
        if (w == nullptr || position >= w->start + w->size)
            return std::nullopt;
        return static_cast<unsigned char>(w->bytes[static_cast<std::size_t>(position - w->start)]);
    }

    /// `at` := the first offset in [first, last] whose byte is 0xFF and
    /// whose next byte has its top three bits set (the eleven sync bits of a
    /// frame header), none when there is none. False on a read error, with
    /// `at` unset. The byte after `last` must lie within the source.
    [[nodiscard]] bool findSync(std::int64_t first, std::int64_t last,
                                std::optional<std::int64_t>& at)
    {
        at.reset();
        std::int64_t from = first;
        while (from <= last) {
            // A scan goes forward: the window starts just before it.
            const Window* w = windowFor(from, 2, kScanLookBack);
            if (w == nullptr || w->size < 2)
                return false;
            // The offsets whose next byte is in the window too.
            const std::int64_t windowLast = std::min<std::int64_t>(last, w->start + w->size - 2);
            const char* const window = w->bytes.data();
            auto i = static_cast<std::size_t>(from - w->start);
            const auto end = static_cast<std::size_t>(windowLast - w->start) + 1;
            while (i < end) {
                const void* hit = std::memchr(window + i, 0xFF, end - i);
                if (hit == nullptr)
                    break;
                i = static_cast<std::size_t>(static_cast<const char*>(hit) - window);
                if ((static_cast<unsigned char>(window[i + 1]) & 0xE0) == 0xE0) {
                    at = w->start + static_cast<std::int64_t>(i);
                    return true;
                }
                ++i;
            }
            from = windowLast + 1;
        }
        return true;
    }

    /// Reads exactly `count` bytes at `position`; false when fewer were there.
    [[nodiscard]] bool read(std::int64_t position, unsigned char* out, std::size_t count)
    {
        return readAt(position, reinterpret_cast<char*>(out), count) ==
               static_cast<std::int64_t>(count);
    }

private:
    struct Window {
        std::int64_t start = 0;
        std::int64_t size = 0; // 0: empty
        std::uint64_t lastUse = 0;
        std::array<char, 8192> bytes; // left unset: only [0, size) is read
    };

    // True when the window holds the range, or all of it that the source has.
    bool holds(const Window& w, std::int64_t offset, std::size_t count) const
    {
        const std::int64_t end = offset + static_cast<std::int64_t>(count);
        const std::int64_t windowEnd = w.start + w.size;
        return w.size > 0 && offset >= w.start && (end <= windowEnd || windowEnd >= source_.size());
    }

    // A window that holds the range, read from the source when none does
    // (into the one used longest ago); null on a read error.
    const Window* windowFor(std::int64_t offset, std::size_t count, std::int64_t lookBack)
    {
        ++uses_;
        // Reads mostly stay in the window of the read before.
        if (holds(*last_, offset, count)) {
            last_->lastUse = uses_;
            return last_;
        }
        for (Window& w : windows_) {
            if (holds(w, offset, count)) {
                w.lastUse = uses_;
                last_ = &w;
                return &w;
            }
        }
        Window& w = *std::min_element(
            windows_.begin(), windows_.end(),
            [](const Window& a, const Window& b) { return a.lastUse < b.lastUse; });
        const std::int64_t start = filled_ ? std::max<std::int64_t>(0, offset - lookBack) : offset;
        const std::size_t size = filled_ ? w.bytes.size() : kFirstFill;
        filled_ = true;
        w.lastUse = uses_;
        last_ = &w;
        const std::int64_t got = source_.readAt(start, w.bytes.data(), size);
        if (got < 0) {
            w.size = 0;
            return nullptr;
        }
        w.start = start;
        w.size = got;
        return &w;
    }

    static constexpr std::size_t kFirstFill = 4096;
    static constexpr std::int64_t kLookBack = 3072;
    static constexpr std::int64_t kScanLookBack = 4;
    static constexpr std::size_t kWindows = 4;

    ByteSource& source_;
    std::array<Window, kWindows> windows_;
    Window* last_ = windows_.data();
    bool filled_ = false;
    std::uint64_t uses_ = 0;
};

} // namespace velmora::audio
