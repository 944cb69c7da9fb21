// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstring>
#include <string_view>

namespace velmora::texts {

/// Splits bytes into lines at CR LF, a lone CR and a lone LF, without
/// copying. A line end at the very end does not start another line. Each
/// byte is looked at a bounded number of times whatever the mix of line ends.
class LineSplitter {
public:
    explicit LineSplitter(std::string_view bytes)
        : bytes_(bytes), nextLf_(Find(0, '\n')), nextCr_(Find(0, '\r'))
    {
    }

    /// The next line without its line end; false after the last one.
    bool next(std::string_view& line)
    {
        if (pos_ >= bytes_.size())
            return false;
        if (nextLf_ < pos_)
            nextLf_ = Find(pos_, '\n');
        if (nextCr_ < pos_)
            nextCr_ = Find(pos_, '\r');
        const std::size_t stop = nextLf_ < nextCr_ ? nextLf_ : nextCr_;
        line = bytes_.substr(pos_, stop - pos_);
        if (stop == bytes_.size())
            pos_ = stop;
        else if (bytes_[stop] == '\r' && stop + 1 < bytes_.size() && bytes_[stop + 1] == '\n')
            pos_ = stop + 2;
        else
            pos_ = stop + 1;
        ++number_;
        return true;
    }

    /// 1-based number of the line last returned by next().
    std::size_t lineNumber() const { return number_; }

private:
    std::size_t Find(std::size_t from, char c) const
    {
        if (from >= bytes_.size())
            return bytes_.size();
        const void* hit = std::memchr(bytes_.data() + from, c, bytes_.size() - from);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - bytes_.data())
                   : bytes_.size();
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::size_t nextLf_;
    std::size_t nextCr_;
    std::size_t number_ = 0;
};

/// The bytes before the first NUL: readers of text files stop there.
inline std::string_view UpToNul(std::string_view bytes)
{
    if (bytes.empty())
        return bytes;
    const void* nul = std::memchr(bytes.data(), '\0', bytes.size());
    return nul ? bytes.substr(
                     0, static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data()))
               : bytes;
}

} // namespace velmora::texts
