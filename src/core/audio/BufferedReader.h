#pragma once

#include "system/FileSystem.h"

#include <array>
#include <cstdint>

namespace velmora::audio {

/// Byte-at-a-time reading at increasing positions through a window of the
/// source, so that a search by single bytes costs one read per window.
class BufferedReader {
public:
    explicit BufferedReader(ByteSource& source) : source_(source) {}

    /// The byte at `position`, or -1 past the end or on a read error.
    int byteAt(std::int64_t position)
    {
        if (position < windowStart_ || position >= windowStart_ + windowSize_) {
            if (position < 0)
                return -1;
            const std::int64_t got =
                source_.readAt(position, reinterpret_cast<char*>(window_.data()), window_.size());
            windowStart_ = position;
            windowSize_ = got > 0 ? got : 0;
            if (windowSize_ == 0)
                return -1;
        }
        return window_[static_cast<std::size_t>(position - windowStart_)];
    }

    /// Reads `count` bytes at `position`; false when fewer were there.
    bool read(std::int64_t position, unsigned char* out, std::size_t count)
    {
        return source_.readAt(position, reinterpret_cast<char*>(out), count) ==
               static_cast<std::int64_t>(count);
    }

private:
    ByteSource& source_;
    std::array<unsigned char, 4096> window_{};
    std::int64_t windowStart_ = 0;
    std::int64_t windowSize_ = 0;
};

} // namespace velmora::audio
