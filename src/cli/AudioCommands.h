#pragma once

#include "cli/Cli.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::cli {

/// analyse FILE...: per file the path as given, the analyser that accepted
/// it (mpeg, info or none), then the six numbers and six texts a scan stores,
/// tab-separated.
int AnalyseCommand(const std::vector<std::string>& operands, std::ostream& out, std::ostream& err,
                   CliContext& context);

/// tag show FILE... | tag write [--title T] [--artist A] [--album A]
/// [--track N] [--year Y] [--comment C] FILE... | tag remove FILE...
int TagCommand(const std::vector<std::string>& operands, std::ostream& out, std::ostream& err,
               CliContext& context);

} // namespace velmora::cli
