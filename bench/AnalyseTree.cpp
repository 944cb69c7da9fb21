// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-bench-analyse DIR
//
// The per-file record of a scan over every audio file below DIR, in process:
// the same walk as velmora-bench-floor, then FileAnalyser (the main analyser,
// the bounded one where the first does not accept a file) on each file.
// Prints the files analysed, how many each analyser accepted, the wall time
// and files per second; exits 1 when DIR cannot be walked, 2 on bad arguments.

#include "AudioTree.h"
#include "audio/FileRecord.h"
#include "platform/PosixFileSystem.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora-bench-analyse DIR\n");
        return 2;
    }
    velmora::platform::PosixFileSystem files;
    velmora::audio::FileAnalyser analyser(files);
    long counts[3] = {0, 0, 0};

    const auto start = std::chrono::steady_clock::now();
    // A scan hands the analyser absolute paths.
    const std::string root = std::filesystem::absolute(argv[1]).string();
    const bool walked = velmora::bench::WalkAudioFiles(root.c_str(), [&](const std::string& path) {
        const velmora::audio::FileRecord record = analyser.Analyse(path);
        ++counts[static_cast<int>(record.analyser)];
    });
    if (!walked)
        return 1;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const long total = counts[0] + counts[1] + counts[2];
    std::printf("files: %ld (mpeg %ld, info %ld, none %ld)\n", total, counts[1], counts[2],
                counts[0]);
    std::printf("seconds: %.3f\n", seconds);
    std::printf("files/second: %.0f\n", seconds > 0 ? static_cast<double>(total) / seconds : 0.0);
    return 0;
}
