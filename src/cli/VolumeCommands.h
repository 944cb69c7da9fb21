// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::cli {

// Commands on the volumes of a collection file. VOLUME is a volume's name,
// byte for byte, or else its number (1 for the first) in collection order.
// Every question of the editing commands is answered Yes; messages go to
// `err` in the system's texts. A command saves the collection only when it
// changed it; a failure leaves the file untouched.

/// update -c COLLECTION VOLUME [--from SOURCE [--force]]: scans the
/// volume's source again and puts the result in the volume's place. Without
/// --from the source is the volume's folder on the mounted volume with its
/// serial (CannotFindSource when there is none, or the folder is missing, or
/// the volume is named by a label other than that volume's, whose folder is
/// not kept: see scan::VolumeEditor::UpdateVolume()); with --from, SOURCE
/// when it is the volume's own (scan::IsOwnSource()), any SOURCE with
/// --force. The volume is then named as a scan of SOURCE names it, except
/// that a volume named by a label alone keeps its name and serial when
/// SOURCE is a folder standing for its root (see
/// scan::VolumeEditor::UpdateFromPath()).
class UpdateCommand final : public Command {
public:
    UpdateCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};
/// delete -c COLLECTION VOLUME...: removes the volumes and their totals.
class DeleteCommand final : public Command {
public:
    DeleteCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};
/// rename -c COLLECTION VOLUME LABEL: gives the volume a new label, keeping
/// its folder part. A label that is empty once blanks and control bytes are
/// trimmed fails and changes nothing.
class RenameCommand final : public Command {
public:
    RenameCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};
/// sort -c COLLECTION: sorts every level of the collection.
class SortCommand final : public Command {
public:
    SortCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};
/// volumes COLLECTION: one tab-separated line per volume: number, name,
/// serial (eight upper-case hexadecimal digits), scan date, folder count,
/// file count, size in KB, duration in seconds.
class VolumesCommand final : public Command {
public:
    VolumesCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};
/// drives: one tab-separated line per mounted volume: root, label, serial,
/// type (fixed, removable, optical, network).
class DrivesCommand final : public Command {
public:
    DrivesCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};

} // namespace velmora::cli
