// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::cli {

// Commands on collection files. They have no options: every word is an
// operand, also one that starts with "-".

/// new COLLECTION: writes an empty collection.
class NewCommand final : public Command {
public:
    NewCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};

/// dump COLLECTION: one tab-separated line per node in pre-order.
class DumpCommand final : public Command {
public:
    DumpCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};

/// stats COLLECTION: the six rows of the statistics.
class StatsCommand final : public Command {
public:
    StatsCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};

/// convert SOURCE TARGET: a collection or older "vlm" file saved as a
/// collection file.
class ConvertCommand final : public Command {
public:
    ConvertCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};

/// import COLLECTION SOURCE...: every source imported, then the collection
/// saved; nothing is saved when any source fails.
class ImportCommand final : public Command {
public:
    ImportCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};

} // namespace velmora::cli
