#pragma once

#include "system/FileSystem.h"

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

    bool fill(std::int64_t offset)
    {
        const std::int64_t start = filled_ ? std::max<std::int64_t>(0, offset - kLookBack) : offset;
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

    ByteSource& source_;
    std::array<char, 8192> window_{};
    bool filled_ = false;
    std::int64_t windowStart_ = 0;
    std::int64_t windowSize_ = 0;
};

} // namespace velmora::audio
