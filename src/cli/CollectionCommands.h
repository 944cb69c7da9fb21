#pragma once

#include "cli/Cli.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::cli {

// Commands on collection files. Each takes its operands (the words after
// the command's name) and returns the exit code.

/// new COLLECTION: writes an empty collection.
int NewCommand(const std::vector<std::string>& operands, std::ostream& out, std::ostream& err,
               CliContext& context);
/// dump COLLECTION: one tab-separated line per node in pre-order.
int DumpCommand(const std::vector<std::string>& operands, std::ostream& out, std::ostream& err,
                CliContext& context);
/// stats COLLECTION: the six rows of the statistics.
int StatsCommand(const std::vector<std::string>& operands, std::ostream& out, std::ostream& err,
                 CliContext& context);
/// convert SOURCE TARGET: a collection or older "vlm" file saved as a
/// collection file.
int ConvertCommand(const std::vector<std::string>& operands, std::ostream& out, std::ostream& err,
                   CliContext& context);
/// import COLLECTION SOURCE...: every source imported, then the collection
/// saved; nothing is saved when any source fails.
int ImportCommand(const std::vector<std::string>& operands, std::ostream& out, std::ostream& err,
                  CliContext& context);

} // namespace velmora::cli
