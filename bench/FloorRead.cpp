// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-bench-floor DIR
//
// The floor for analysing audio files: the least I/O any analyser needs per
// file. Walks DIR recursively and, for every regular file whose name ends in
// .mp1, .mp2, .mp3 or .mpa (any case), opens it, reads its first 4 KiB and its
// last 128 bytes with pread() and closes it. Nothing is parsed. Prints the
// number of such files, the wall time and files per second on stdout; exits 1
// when DIR cannot be walked, 2 on bad arguments. Files that cannot be opened
// are counted apart and do not stop the walk.

#include "AudioTree.h"

#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::size_t kHeadBytes = 4096;
constexpr std::size_t kTailBytes = 128;
// Reads the head and the tail of one file; false when it cannot be opened.
// The buffers are the caller's so the loop allocates nothing.
bool ReadHeadAndTail(const char* path, std::array<char, kHeadBytes>& head,
                     std::array<char, kTailBytes>& tail)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && ::pread(fd, head.data(), head.size(), 0) >= 0;
    const off_t tailAt = st.st_size - static_cast<off_t>(kTailBytes);
    if (ok && tailAt >= 0)
        ok = ::pread(fd, tail.data(), tail.size(), tailAt) >= 0;
    ::close(fd);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora-bench-floor DIR\n");
        return 2;
    }
    std::array<char, kHeadBytes> head{};
    std::array<char, kTailBytes> tail{};
    long files = 0;
    long failed = 0;

    const auto start = std::chrono::steady_clock::now();
    const bool walked = velmora::bench::WalkAudioFiles(argv[1], [&](const std::string& path) {
        if (ReadHeadAndTail(path.c_str(), head, tail))
            ++files;
        else
            ++failed;
    });
    if (!walked)
        return 1;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("files: %ld\n", files);
    if (failed > 0)
        std::printf("not readable: %ld\n", failed);
    std::printf("seconds: %.3f\n", seconds);
    std::printf("files/second: %.0f\n", seconds > 0 ? static_cast<double>(files) / seconds : 0.0);
    return 0;
}
