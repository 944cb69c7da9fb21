// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/VolumeEditor.h"

#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "system/Clock.h"
#include "system/FileSystem.h"
#include "texts/TextIds.h"

#include <algorithm>
#include <array>
#include <limits>

namespace velmora::scan {

namespace {

using collection::CollectionTree;
using collection::kNoNode;
using collection::NodeId;
using collection::Numbers;

// Text numbers of the table.
using texts::TextId;

// Stands for a volume text without a readable serial: no 32-bit serial
// equals it.
constexpr std::int64_t kNoSerial = std::numeric_limits<std::int64_t>::min();

std::int64_t SubtractClamped(std::int64_t a, std::int64_t b)
{
    if (b == std::numeric_limits<std::int64_t>::min())
        return collection::AddClamped(
            collection::AddClamped(a, std::numeric_limits<std::int64_t>::max()), 1);
    return collection::AddClamped(a, -b);
}

void ClearDeleteMarks(CollectionTree& tree)
{
    for (NodeId v = tree.firstChild(tree.root()); v != kNoNode; v = tree.nextSibling(v))
        tree.setDeleteMark(v, false);
}

} // namespace

VolumeEditor::VolumeEditor(collection::CollectionStore& store, VolumeEditorUser& user,
                           const Services& services, bool skipFirstDrive)
    : store_(store), user_(user), services_(services), skipFirstDrive_(skipFirstDrive)
{
}

EditOutcome VolumeEditor::AddVolume()
{
    CollectionTree& tree = store_.tree();
    if (tree.empty())
        return EditOutcome::Unchanged;
    const std::optional<SourceChoice> source = user_.ChooseSource(TextId::AddVolumeCommand);
    if (!source)
        return EditOutcome::Declined;

    const std::string folderPart =
        FolderPartOf(services_.volumes.rootOf(source->path), source->path);
    for (NodeId v = tree.firstChild(tree.root()); v != kNoNode; v = tree.nextSibling(v)) {
        if (source->label ? !SameLabelledVolume(tree.text(v), source->serial, *source->label)
                          : !SameVolume(tree.text(v), source->serial, folderPart))
            continue;
        if (user_.Ask(TextId::VolumeExistsAskUpdate, Answer::Yes, false) != Answer::Yes)
            return EditOutcome::Declined;
        // The folder is scanned again under the label it was added with,
        // also on a drive whose own label would otherwise name it.
        ScanRequest request = UpdateRequest(tree, v, source->path, services_.volumes);
        if (source->label)
            request.label = source->label;
        return Replace(v, request);
    }

    const std::size_t countBefore = tree.size();
    ScanRequest request;
    request.sourcePath = source->path;
    request.label = source->label;
    const bool finished = user_.RunScan(tree, request);
    const bool grew = tree.size() > countBefore;
    if (!finished) {
        // The half-built volume is the last one: the node right after all
        // the nodes there were before.
        if (grew)
            tree.remove(tree.atPosition(countBefore));
        return EditOutcome::Cancelled;
    }
    if (!grew) {
        user_.Tell(TextId::NoAudioInSource, {}, MessageKind::Information);
        return EditOutcome::NoAudio;
    }
    user_.ShowWait(TextId::AddingTitle);
    return Rebuilt(tree.atPosition(countBefore));
}

EditOutcome VolumeEditor::UpdateFromPath(NodeId volume, const std::string& sourcePath)
{
    CollectionTree& tree = store_.tree();
    if (!IsVolume(tree, volume))
        return EditOutcome::NotAVolume;
    return Replace(volume, UpdateRequest(tree, volume, sourcePath, services_.volumes));
}

EditOutcome VolumeEditor::Replace(NodeId volume, const ScanRequest& request)
{
    CollectionTree& tree = store_.tree();
    const std::size_t countBefore = tree.size();
    const std::uint32_t position = tree.position(volume);

    const bool finished = user_.RunScan(tree, request);
    const bool grew = tree.size() > countBefore;
    if (!finished) {
        // The scan put the half-built volume directly before the old one,
        // at the old one's position.
        if (grew)
            tree.remove(tree.atPosition(position));
        return EditOutcome::Cancelled;
    }
    if (!grew) {
        user_.Tell(TextId::NoAudioInSource, {}, MessageKind::Information);
        return EditOutcome::NoAudio;
    }
    user_.ShowWait(TextId::UpdatingTitle);
    user_.SetWaitText(TextId::PleaseWaitStep);
    tree.remove(volume);
    return Rebuilt(tree.atPosition(position));
}

EditOutcome VolumeEditor::Rebuilt(NodeId select)
{
    user_.SetWaitText(TextId::BuildCollectionStep);
    user_.RebuildViews();
    user_.SetWaitText(TextId::RefreshWindowStep);
    store_.setModified();
    user_.RefreshViews();
    user_.CloseWait();
    if (select != kNoNode)
        user_.SelectNode(select);
    return EditOutcome::Changed;
}

EditOutcome VolumeEditor::UpdateVolume(NodeId volume)
{
    CollectionTree& tree = store_.tree();
    if (!IsVolume(tree, volume))
        return EditOutcome::NotAVolume;
    VolumeSource source = FindVolumeSource(tree.text(volume), services_, skipFirstDrive_);
    // A volume named by a label that is not its drive's may be a folder of
    // that drive scanned under a label given: its identity does not keep the
    // folder, so the drive's root is not taken for it. The source dialog
    // chooses the folder instead, as when the drive is not there.
    if (source.found && NamedByGivenLabel(tree.text(volume), source.label))
        source.found = false;
    if (source.found) {
        if (!source.folderExists) {
            user_.Tell(TextId::CannotFindSource, source.path, MessageKind::Error);
            return EditOutcome::SourceMissing;
        }
        if (user_.Ask(TextId::AskUpdateThisVolume, Answer::No, false) != Answer::Yes)
            return EditOutcome::Declined;
        return UpdateFromPath(volume, source.path);
    }
    const std::optional<SourceChoice> choice = user_.ChooseSource(TextId::UpdateVolumeCommand);
    if (!choice)
        return EditOutcome::Declined;
    if (!IsOwnSource(tree.text(volume), services_.volumes, choice->path)) {
        const std::array<DetailLine, 2> names = {
            DetailLine{TextId::VolumeLabel, std::string(collection::NodeName(tree.text(volume)))},
            DetailLine{TextId::SourceLabel, choice->volumeName}};
        if (user_.AskAbout(TextId::AskUpdateThisVolume, names, Answer::No, false) != Answer::Yes)
            return EditOutcome::Declined;
    }
    return UpdateFromPath(volume, choice->path);
}

EditOutcome VolumeEditor::DeleteVolumes()
{
    CollectionTree& tree = store_.tree();
    if (tree.empty())
        return EditOutcome::Unchanged;
    ClearDeleteMarks(tree);
    if (!user_.ChooseVolumesToDelete(tree)) {
        ClearDeleteMarks(tree);
        return EditOutcome::Declined;
    }
    DeletionPass();
    return EditOutcome::Changed;
}

EditOutcome VolumeEditor::DeleteVolume(NodeId volume)
{
    CollectionTree& tree = store_.tree();
    if (!IsVolume(tree, volume))
        return EditOutcome::NotAVolume;
    if (user_.Ask(TextId::AskDeleteThisVolume, Answer::No, false) != Answer::Yes)
        return EditOutcome::Declined;
    ClearDeleteMarks(tree);
    tree.setDeleteMark(volume, true);
    DeletionPass();
    return EditOutcome::Changed;
}

void VolumeEditor::DeletionPass()
{
    CollectionTree& tree = store_.tree();
    if (tree.empty())
        return;
    user_.ShowWait(TextId::DeletingTitle);
    user_.SetWaitText(TextId::RemoveSelectionCommand);

    const NodeId root = tree.root();
    Numbers totals{};
    collection::ReadNumbers(tree.text(root), totals);
    std::int64_t& sizeKB = totals[collection::kSizeKB];
    std::int64_t& duration = totals[collection::kDuration];
    std::int64_t& volumeCount = totals[collection::kVolumeCount];
    std::int64_t& fileCount = totals[collection::kCollectionFileCount];
    NodeId next = kNoNode;
    for (NodeId v = tree.firstChild(root); v != kNoNode; v = next) {
        next = tree.nextSibling(v);
        if (!tree.deleteMarked(v))
            continue;
        Numbers numbers{};
        collection::ReadNumbers(tree.text(v), numbers);
        sizeKB = SubtractClamped(sizeKB, numbers[collection::kSizeKB]);
        duration = SubtractClamped(duration, numbers[collection::kDuration]);
        fileCount = SubtractClamped(fileCount, numbers[collection::kFileCount]);
        volumeCount = SubtractClamped(volumeCount, 1);
        tree.remove(v);
    }
    tree.setText(root, collection::CollectionText(
                           std::max<std::int64_t>(sizeKB, 0), std::max<std::int64_t>(duration, 0),
                           std::max<std::int64_t>(volumeCount, 0),
                           std::max<std::int64_t>(fileCount, 0), services_.clock.today()));
    Rebuilt(kNoNode);
}

EditOutcome VolumeEditor::RenameLabel(NodeId volume)
{
    CollectionTree& tree = store_.tree();
    if (!IsVolume(tree, volume))
        return EditOutcome::NotAVolume;
    const std::string text(tree.text(volume));
    const std::string_view name = collection::NodeName(text);
    const std::string_view label = name.substr(0, name.find('\\'));
    const std::string answer = user_.AskLabel(name, label);
    const std::optional<std::string> renamed = RenamedVolumeName(name, answer);
    if (!renamed)
        return CleanLabel(answer).empty() ? EditOutcome::EmptyLabel : EditOutcome::Unchanged;

    // The name is everything before the first numeric mark; a text without
    // one is all name.
    const std::size_t mark = text.find(collection::kNumberMark);
    std::string newText = *renamed;
    if (mark != std::string::npos)
        newText.append(text, mark, std::string::npos);
    tree.setText(volume, newText);
    user_.NodeRenamed(volume);
    store_.setModified();
    user_.RefreshViews();
    return EditOutcome::Changed;
}

bool IsVolume(const CollectionTree& tree, NodeId node)
{
    return node != kNoNode && !tree.empty() && tree.level(node) == 1;
}

bool SameVolume(std::string_view volumeText, std::uint32_t serial, std::string_view folderPart)
{
    Numbers numbers{};
    numbers[collection::kSerial] = kNoSerial;
    collection::ReadNumbers(volumeText, numbers);
    if (numbers[collection::kSerial] != static_cast<std::int32_t>(serial))
        return false;
    return collection::SamePathIgnoringAsciiCase(
        collection::PathAfterDrive(collection::NodeName(volumeText)), folderPart);
}

bool SameLabelledVolume(std::string_view volumeText, std::uint32_t serial, std::string_view label)
{
    Numbers numbers{};
    numbers[collection::kSerial] = kNoSerial;
    collection::ReadNumbers(volumeText, numbers);
    if (numbers[collection::kSerial] != static_cast<std::int32_t>(serial))
        return false;
    return collection::SamePathIgnoringAsciiCase(collection::NodeName(volumeText),
                                                 CleanLabel(label));
}

bool NamedByGivenLabel(std::string_view volumeText, std::string_view driveLabel)
{
    const std::string_view name = collection::NodeName(volumeText);
    return !name.empty() && name.find('\\') == std::string_view::npos &&
           !collection::SamePathIgnoringAsciiCase(name, CleanLabel(driveLabel));
}

bool IsOwnSource(std::string_view volumeText, const Volumes& volumes, std::string_view sourcePath)
{
    std::string label;
    std::uint32_t serial = 0;
    if (!DriveInfo(volumes, sourcePath, label, serial))
        return false;
    const std::string folderPart = FolderPartOf(volumes.rootOf(sourcePath), sourcePath);
    // Such a volume may stand for any folder of its drive but not for the
    // whole drive: its root is asked about like another identity.
    if (NamedByGivenLabel(volumeText, label))
        return !folderPart.empty() && SameVolume(volumeText, serial, "");
    return SameVolume(volumeText, serial, folderPart);
}

std::string FolderPartOf(std::string_view root, std::string_view sourcePath)
{
    while (!root.empty() && root.back() == '/')
        root.remove_suffix(1);
    std::string_view below = sourcePath.substr(std::min(root.size(), sourcePath.size()));
    while (!below.empty() && below.front() == '/')
        below.remove_prefix(1);
    while (!below.empty() && below.back() == '/')
        below.remove_suffix(1);
    std::string part(below);
    std::replace(part.begin(), part.end(), '/', '\\');
    return part;
}

std::string SourcePathOf(std::string_view root, std::string_view folderPart)
{
    std::string path(root);
    if (folderPart.empty())
        return path;
    if (path.empty() || path.back() != '/')
        path += '/';
    for (const char c : folderPart)
        path += c == '\\' ? '/' : c;
    return path;
}

std::vector<VolumeInfo> CandidateDrives(const Volumes& volumes, bool skipFirstDrive)
{
    std::vector<VolumeInfo> drives = volumes.list();
    if (skipFirstDrive && !drives.empty())
        drives.erase(drives.begin());
    return drives;
}

VolumeSource FindVolumeSource(std::string_view volumeText, const Services& services,
                              bool skipFirstDrive)
{
    Numbers numbers{};
    numbers[collection::kSerial] = kNoSerial;
    collection::ReadNumbers(volumeText, numbers);
    const std::int64_t wanted = numbers[collection::kSerial];
    const std::string_view folderPart =
        collection::PathAfterDrive(collection::NodeName(volumeText));

    VolumeSource source;
    for (const VolumeInfo& drive : CandidateDrives(services.volumes, skipFirstDrive)) {
        std::string label;
        std::uint32_t serial = 0;
        if (!services.volumes.info(drive.root, label, serial))
            continue;
        if (static_cast<std::int32_t>(serial) != wanted)
            continue;
        source.found = true;
        source.label = label;
        source.path = SourcePathOf(drive.root, folderPart);
        source.folderExists = services.files.folderExists(source.path);
        break;
    }
    return source;
}

ScanRequest UpdateRequest(const CollectionTree& tree, NodeId volume, const std::string& sourcePath,
                          const Volumes& volumes)
{
    ScanRequest request;
    request.sourcePath = sourcePath;
    request.replace = volume;
    const std::string_view text = tree.text(volume);
    std::string label;
    std::uint32_t serial = 0;
    if (!DriveInfo(volumes, sourcePath, label, serial) || !NamedByGivenLabel(text, label))
        return request;
    if (FolderPartOf(volumes.rootOf(sourcePath), sourcePath).empty())
        return request;
    Numbers numbers{};
    numbers[collection::kSerial] = kNoSerial;
    collection::ReadNumbers(text, numbers);
    if (numbers[collection::kSerial] == kNoSerial)
        return request;
    // On a drive with a label of its own, only a folder of the volume's own
    // drive stands for it: a folder of another drive is named by that
    // drive's label.
    if (!CleanLabel(label).empty() &&
        numbers[collection::kSerial] != static_cast<std::int32_t>(serial))
        return request;
    request.label = std::string(collection::NodeName(text));
    request.serial = static_cast<std::uint32_t>(numbers[collection::kSerial]);
    return request;
}

std::optional<SourceChoice> ReadSource(const Volumes& volumes, std::string_view path)
{
    const std::string root = volumes.rootOf(path);
    if (root.empty())
        return std::nullopt;
    std::string label;
    std::uint32_t serial = 0;
    if (!volumes.info(root, label, serial))
        return std::nullopt;
    return SourceChoice{std::string(path), VolumeName(label, root, path), serial};
}

VolumeListAnswer ConfirmVolumeList(CollectionTree& tree, std::span<const NodeId> checked,
                                   EditorUser& user)
{
    if (checked.empty()) {
        user.Tell(TextId::NothingSelected, {}, MessageKind::Warning);
        return VolumeListAnswer::StayOpen;
    }
    switch (user.Ask(TextId::AskDeleteSelectedVolumes, Answer::No, true)) {
    case Answer::Yes:
        for (const NodeId v : checked)
            tree.setDeleteMark(v, true);
        return VolumeListAnswer::Confirmed;
    case Answer::No:
        return VolumeListAnswer::StayOpen;
    case Answer::Cancel:
        break;
    }
    return VolumeListAnswer::Cancelled;
}

std::optional<std::string> RenamedVolumeName(std::string_view name, std::string_view answer)
{
    const std::string_view label = name.substr(0, name.find('\\'));
    std::string renamed = CleanLabel(answer);
    if (renamed.empty() || renamed == label)
        return std::nullopt;
    const std::string_view folderPart = collection::PathAfterDrive(name);
    if (!folderPart.empty()) {
        renamed += '\\';
        renamed += folderPart;
    }
    return renamed;
}

} // namespace velmora::scan
