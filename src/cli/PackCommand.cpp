// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PackCommand.h"

#include "system/FileSystem.h"
#include "system/Services.h"
#include "texts/LanguagePacks.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <ostream>

namespace velmora::cli {

CheckPackCommand::CheckPackCommand()
    : Command({.name = "check-pack",
               .summary = "check language packs against the built-in texts",
               .forms = {{"FILE..."}},
               .details = {"Reports lines without their number or out of order, missing",
                           "texts, place-holders (%f) and leading or trailing blanks that",
                           "differ from the built-in English text, and bytes that are neither",
                           "UTF-8 nor Windows-1252. The program itself reads any pack without",
                           "these checks."}})
{
}

int CheckPackCommand::Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const
{
    const std::vector<std::string> files = Words(args);
    if (files.empty())
        return Usage(err);
    bool sound = true;
    for (const std::string& file : files) {
        ByteBuffer bytes;
        if (!context.services.files.readFile(file, bytes)) {
            TellAboutFile(err, context.texts, texts::TextId::CannotOpenFile, file);
            sound = false;
            continue;
        }
        const std::vector<std::string> problems = texts::CheckPack(bytes.view());
        for (const std::string& problem : problems)
            out << file << ": " << problem << '\n';
        if (problems.empty())
            out << file << ": ok\n";
        sound = sound && problems.empty();
    }
    return sound ? kSuccess : kFailed;
}

} // namespace velmora::cli
