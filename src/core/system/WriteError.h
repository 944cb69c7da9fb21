// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "texts/TextIds.h"

#include <optional>

namespace velmora {

/// Why a file was not written.
enum class WriteError {
    None,
    /// The file exists and may not be written: its mode grants no write
    /// permission (to root neither), or not to this user. Saving over a file
    /// needs the permission to write that file, not only its folder.
    WriteProtected,
    /// The path leads through a symbolic link in a sticky, world-writable
    /// folder (such as /tmp) that belongs to neither the folder's owner nor
    /// this user: a link another user may have planted there.
    ForeignLink,
    /// Anything else: the folder cannot be written, the disk is full, ...
    Failed,
};

/// The text that says why, for the errors that have one.
inline std::optional<texts::TextId> ReasonTextOf(WriteError error)
{
    switch (error) {
    case WriteError::WriteProtected:
        return texts::TextId::FileWriteProtected;
    case WriteError::ForeignLink:
        return texts::TextId::ForeignLink;
    default:
        return std::nullopt;
    }
}

} // namespace velmora
