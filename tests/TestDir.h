// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace velmora::testing {

/// A fresh folder of its own for one test, removed with its content at the
/// end, so that tests run in parallel never share files.
class TestDir {
public:
    TestDir()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TestDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TestDir(const TestDir&) = delete;
    TestDir& operator=(const TestDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(std::string_view name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace velmora::testing
