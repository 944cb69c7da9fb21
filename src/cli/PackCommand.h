// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

#include <iosfwd>
#include <vector>

namespace velmora::cli {

/// check-pack FILE...: what is wrong with language packs, one line per
/// problem ("FILE: line N: ..."), or "FILE: ok"; exit 1 when any pack has
/// a problem or cannot be read.
class CheckPackCommand final : public Command {
public:
    CheckPackCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};

} // namespace velmora::cli
