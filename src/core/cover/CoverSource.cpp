// SPDX-License-Identifier: GPL-3.0-or-later
#include "cover/CoverSource.h"

#include "collection/CollectionTree.h"
#include "collection/NodeText.h"
#include "display/Formats.h"
#include "system/Clock.h"
#include "system/FileSystem.h"
#include "system/Locale.h"
#include "texts/Encoding.h"

#include <algorithm>

namespace velmora::cover {

namespace {

// What fsck keeps in the root of ext2/3/4 volumes: no music, and nothing the
// user made.
constexpr std::string_view kSystemFolder = "lost+found";

} // namespace

bool RootFolders(const FileSystem& files, const Locale& locale, const std::string& root,
                 std::vector<std::string>& names)
{
    names.clear();
    std::vector<FolderEntry> entries;
    if (!files.listFolder(root, entries))
        return false;
    for (const FolderEntry& entry : entries) {
        if (entry.kind != FolderEntry::Kind::Folder || entry.hidden || entry.name == kSystemFolder)
            continue;
        names.push_back(texts::DisplayText(entry.name));
    }
    std::stable_sort(names.begin(), names.end(), [&locale](const auto& a, const auto& b) {
        return locale.compareIgnoreCase(a, b) < 0;
    });
    return true;
}

std::string VolumeCoverLabel(const Volumes& volumes, const std::string& root,
                             const collection::CollectionTree* tree)
{
    std::string label;
    std::uint32_t serial = 0;
    if (!volumes.info(root, label, serial))
        return {};
    if (tree != nullptr && !tree->empty()) {
        const auto wanted = static_cast<std::int32_t>(serial);
        for (auto volume = tree->firstChild(tree->root()); volume != collection::kNoNode;
             volume = tree->nextSibling(volume)) {
            const std::string_view text = tree->text(volume);
            const std::string_view name = collection::NodeName(text);
            if (name.find('\\') != std::string_view::npos)
                continue;
            collection::Numbers numbers{};
            numbers[collection::kSerial] = static_cast<std::int64_t>(wanted) + 1;
            collection::ReadNumbers(text, numbers);
            if (numbers[collection::kSerial] == wanted)
                label.assign(name);
        }
    }
    return texts::DisplayText(label);
}

std::string CoverDate(const Clock& clock, const Locale& locale)
{
    return display::FormatDay(clock.today(), locale.dateSeparator());
}

std::string ChooseCoverVolume(const std::vector<VolumeInfo>& volumes, std::string_view stored,
                              const FileSystem& files, const std::string& homeRoot)
{
    const auto usable = [&files](const VolumeInfo& volume) {
        return files.folderExists(volume.root);
    };
    if (!stored.empty()) {
        const auto it = std::find_if(volumes.begin(), volumes.end(),
                                     [stored](const auto& v) { return v.root == stored; });
        if (it != volumes.end() && usable(*it))
            return it->root;
    }
    for (const VolumeInfo& volume : volumes) {
        if (volume.type == VolumeType::Optical && usable(volume))
            return volume.root;
    }
    return homeRoot;
}

CoverContent ReadCoverContent(const CoverSources& sources, const std::string& root,
                              const CoverOptions& options)
{
    CoverContent content;
    content.numeration = options.numeration;
    std::vector<std::string> folders;
    if (!RootFolders(sources.files, sources.locale, root, folders))
        return content;
    content.folders = std::move(folders);
    if (options.addDate)
        content.date = CoverDate(sources.clock, sources.locale);
    content.label = options.customLabel ? texts::DisplayText(options.labelText)
                                        : VolumeCoverLabel(sources.volumes, root, sources.tree);
    return content;
}

} // namespace velmora::cover
