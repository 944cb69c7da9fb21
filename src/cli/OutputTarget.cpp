// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/OutputTarget.h"

#include "cli/Cli.h"
#include "system/SameFile.h"
#include "system/Services.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <new>
#include <ostream>

namespace velmora::cli {

bool IsStandardOutput(std::string_view path)
{
    return path == "-";
}

bool StreamOutputFile::write(std::string_view bytes)
{
    try {
        held_ += bytes;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool StreamOutputFile::truncate(std::uint64_t size)
{
    if (size < held_.size())
        held_.resize(static_cast<std::size_t>(size));
    return true;
}

bool StreamOutputFile::commit()
{
    out_.write(held_.data(), static_cast<std::streamsize>(held_.size()));
    out_.flush();
    std::string().swap(held_);
    return static_cast<bool>(out_);
}

bool RefuseCollectionAsOutput(const std::string& target, const std::string& collectionPath,
                              std::ostream& err, const CliContext& context)
{
    if (IsStandardOutput(target) || !SameFile(context.services.files, target, collectionPath))
        return false;
    TellNotSaved(err, context.texts, target, texts::TextId::SameAsCollection);
    return true;
}

int WriteWholeOutput(FileSystem& files, const std::string& path, std::string_view bytes,
                     std::ostream& out, std::ostream& err, const texts::TextTable& table)
{
    WriteError error = WriteError::None;
    const std::unique_ptr<OutputFile> file = IsStandardOutput(path)
                                                 ? std::make_unique<StreamOutputFile>(out)
                                                 : files.createReplacement(path, error);
    if (file && file->write(bytes) && file->flush() && file->commit())
        return kSuccess;
    TellNotSaved(err, table, path, ReasonTextOf(error));
    return kFailed;
}

} // namespace velmora::cli
