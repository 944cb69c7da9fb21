// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cover/CoverLayout.h"
#include "system/Volumes.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmora {
class Clock;
class FileSystem;
class Locale;
} // namespace velmora
namespace velmora::collection {
class CollectionTree;
}

namespace velmora::cover {

/// The folders in the root of the volume mounted at `root`, for the cover:
/// hidden folders, links and other file systems left out, and the file
/// system's own "lost+found"; in the locale's order, case ignored; names as
/// UTF-8 (Windows-1252 names decoded). False when the root cannot be read.
[[nodiscard]] bool RootFolders(const FileSystem& files, const Locale& locale,
                               const std::string& root, std::vector<std::string>& names);

/// The label the cover prints for the volume mounted at `root`: the
/// volume's own label, or the name of a volume of `tree` (when there is a
/// tree) that was scanned from that volume's root: the last one in
/// collection order with the volume's serial and no folder in its name.
/// Empty when the volume's information cannot be read.
std::string VolumeCoverLabel(const Volumes& volumes, const std::string& root,
                             const collection::CollectionTree* tree);

/// Today's date as the cover prints it: "dd/mm/yyyy" with the locale's
/// date separator in place of "/".
std::string CoverDate(const Clock& clock, const Locale& locale);

/// The volume the cover window starts with: `stored` when it is still
/// mounted and its root exists; else the first optical volume whose root
/// exists; else `homeRoot` (the volume of the user's home folder).
std::string ChooseCoverVolume(const std::vector<VolumeInfo>& volumes, std::string_view stored,
                              const FileSystem& files, const std::string& homeRoot);

/// The choices that shape a cover.
struct CoverOptions {
    bool numeration = false;
    bool addDate = true;
    bool customLabel = false;
    std::string labelText; ///< the label with `customLabel`
    int horizontalStretch = 100;
    int verticalStretch = 100;
};

/// The services a cover reads its content from.
struct CoverSources {
    const FileSystem& files;
    const Volumes& volumes;
    const Locale& locale;
    const Clock& clock;
    /// The collection whose volume names may label the disc; may be null.
    const collection::CollectionTree* tree = nullptr;
};

/// The content of the cover of the volume mounted at `root`: its folders
/// (none when they cannot be read, and then neither date nor label, as the
/// drawing stops there), the date and the label.
CoverContent ReadCoverContent(const CoverSources& sources, const std::string& root,
                              const CoverOptions& options);

} // namespace velmora::cover
