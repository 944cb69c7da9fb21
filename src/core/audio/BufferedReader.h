#pragma once

#include "system/FileSystem.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace velmora::audio {

/// A window over a source: small reads near each other, and a search by
/// single bytes at increasing positions, cost one read of the source per
/// window. The first read fills 4 KiB from where it is asked (most files
/// need no more); later ones fill 8 KiB starting 3 KiB before the asked
/// offset, so that a look one frame ahead (at most 2,884 bytes) and the
/// step back to the byte after the candidate header stay in one window.
/// findSync() scans forward with memchr, window by window.
class BufferedReader final : public ByteSource {
public:
    explicit BufferedReader(ByteSource& source) : source_(source) {}

    std::int64_t size() const override { return source_.size(); }

    std::int64_t readAt(std::int64_t offset, char* out, std::size_t count) override
    {
        if (offset < 0)
            return -1;
        if (count > kFirstFill)
            return source_.readAt(offset, out, count);
        if (!inWindow(offset, count) && !fill(offset))
            return -1;
        const std::int64_t available = windowStart_ + windowSize_ - offset;
        const auto n = static_cast<std::size_t>(
            std::max<std::int64_t>(0, std::min<std::int64_t>(count, available)));
        std::memcpy(out, window_.data() + (offset - windowStart_), n);
        return static_cast<std::int64_t>(n);
    }

    /// The byte at `position`, or -1 past the end or on a read error.
    int byteAt(std::int64_t position)
    {
        if (position < 0)
            return -1;
        if (!inWindow(position, 1) && (!fill(position) || windowSize_ == 0))
            return -1;
        return static_cast<unsigned char>(
            window_[static_cast<std::size_t>(position - windowStart_)]);
    }

    /// The first offset in [first, last] whose byte is 0xFF and whose next
    /// byte has its top three bits set (the eleven sync bits of a frame
    /// header); -1 when there is none, -2 on a read error. The byte after
    /// `last` must lie within the source.
    std::int64_t findSync(std::int64_t first, std::int64_t last)
    {
        std::int64_t at = first;
        while (at <= last) {
            // A scan goes forward: the window starts just before it.
            if (!inWindow(at, 2) && (!fill(at, kScanLookBack) || windowSize_ < 2))
                return -2;
            // The offsets whose next byte is in the window too.
            const std::int64_t windowLast =
                std::min<std::int64_t>(last, windowStart_ + windowSize_ - 2);
            const char* const window = window_.data();
            auto i = static_cast<std::size_t>(at - windowStart_);
            const auto end = static_cast<std::size_t>(windowLast - windowStart_) + 1;
            while (i < end) {
                const void* hit = std::memchr(window + i, 0xFF, end - i);
                if (hit == nullptr)
                    break;
                i = static_cast<std::size_t>(static_cast<const char*>(hit) - window);
                if ((static_cast<unsigned char>(window[i + 1]) & 0xE0) == 0xE0)
                    return windowStart_ + static_cast<std::int64_t>(i);
                ++i;
            }
            at = windowLast + 1;
        }
        return -1;
    }

    /// Reads exactly `count` bytes at `position`; false when fewer were there.
    bool read(std::int64_t position, unsigned char* out, std::size_t count)
    {
        return readAt(position, reinterpret_cast<char*>(out), count) ==
               static_cast<std::int64_t>(count);
    }

private:
    // True when the window holds the range, or all of it that the source has.
    bool inWindow(std::int64_t offset, std::size_t count) const
    {
        const std::int64_t end = offset + static_cast<std::int64_t>(count);
        const std::int64_t windowEnd = windowStart_ + windowSize_;
        const bool windowReachesEnd = windowEnd >= source_.size();
        return windowSize_ > 0 && offset >= windowStart_ && (end <= windowEnd || windowReachesEnd);
    }

    bool fill(std::int64_t offset, std::int64_t lookBack = kLookBack)
    {
        const std::int64_t start = filled_ ? std::max<std::int64_t>(0, offset - lookBack) : offset;
        const std::size_t size = filled_ ? window_.size() : kFirstFill;
        filled_ = true;
        const std::int64_t got = source_.readAt(start, window_.data(), size);
        if (got < 0) {
            windowSize_ = 0;
            return false;
        }
        windowStart_ = start;
        windowSize_ = got;
        return true;
    }

    static constexpr std::size_t kFirstFill = 4096;
    static constexpr std::int64_t kLookBack = 3072;
    static constexpr std::int64_t kScanLookBack = 4;

    ByteSource& source_;
    std::array<char, 8192> window_{};
    bool filled_ = false;
    std::int64_t windowStart_ = 0;
    std::int64_t windowSize_ = 0;
};

} // namespace velmora::audio
