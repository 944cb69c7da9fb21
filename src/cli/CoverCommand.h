// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

#include <iosfwd>
#include <vector>

namespace velmora::cli {

/// cover VOLUME_ROOT -o FILE.pdf [--label TEXT] [--collection FILE]
///       [--numbered] [--no-date] [--stretch H,V] [--font "NAME,SIZE"]
///
/// Writes the CD cover of the folders in VOLUME_ROOT as one A4 page of PDF,
/// laid out and drawn as the cover window prints it. The label is TEXT, or
/// the volume's own label, or (with --collection) the name of the
/// collection's volume scanned from that root. Exit 1 with a message when
/// VOLUME_ROOT cannot be read or FILE cannot be written (FILE is then as it
/// was); exit 2 for wrong usage.
class CoverCommand final : public Command {
public:
    CoverCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};

} // namespace velmora::cli
