// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/FileSystem.h"

#include <iosfwd>
#include <string>
#include <string_view>

namespace velmora::texts {
class TextTable;
}

namespace velmora::cli {

struct CliContext;

/// The output file "-" of report -o, playlist -o and --save: the command's
/// normal output stream instead of a file.
bool IsStandardOutput(std::string_view path);

/// A file written to a stream instead: what is written is held in memory
/// and reaches the stream only on commit(), whole, so that a command that
/// fails or is stopped before it puts nothing on the stream, as a file
/// target stays as it was. The stream must outlive the object.
class StreamOutputFile final : public OutputFile {
public:
    explicit StreamOutputFile(std::ostream& out) : out_(out) {}

    [[nodiscard]] bool write(std::string_view bytes) override;
    [[nodiscard]] bool truncate(std::uint64_t size) override;
    /// Nothing to flush before commit(): true.
    [[nodiscard]] bool flush() override { return true; }
    /// Writes everything to the stream and flushes it; false when the stream
    /// failed.
    [[nodiscard]] bool commit() override;

private:
    std::ostream& out_;
    std::string held_;
};

/// Writes `bytes` as the whole file `path` through a replacement, so that a
/// failure leaves an existing file as it was, or to `out` for "-". On
/// failure tells CannotSaveFile (with its reason) on `err` and returns
/// kFailed; kSuccess otherwise.
[[nodiscard]] int WriteWholeOutput(FileSystem& files, const std::string& path,
                                   std::string_view bytes, std::ostream& out, std::ostream& err,
                                   const texts::TextTable& table);

/// Whether the output file `target` of a command that read the collection
/// at `collectionPath` is that very file (see SameFile()). When it is, the
/// refusal is written to `err`: CannotSaveFile, ": ", the target, and on the
/// next line SameAsCollection; the command must then write nothing and fail.
/// "-" is never the collection.
[[nodiscard]] bool RefuseCollectionAsOutput(const std::string& target,
                                            const std::string& collectionPath, std::ostream& err,
                                            const CliContext& context);

} // namespace velmora::cli
