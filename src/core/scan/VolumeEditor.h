// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "scan/EditorUser.h"
#include "scan/ScanThread.h"
#include "system/Services.h"
#include "system/Volumes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::collection {
class CollectionStore;
}

namespace velmora::scan {

/// Whether the searches of a volume's drive (the Update command's, and
/// playback's) pass over the first drive of the system's list. On Windows
/// that kept a floppy drive from being asked; on Linux the first mounted
/// volume is "/", which holds the user's folders, so none is skipped.
inline constexpr bool kSkipFirstDrive = false;

/// What the source dialog returns when it is accepted.
struct SourceChoice {
    std::string path;       ///< native folder path: a volume's root or a folder on it
    std::string volumeName; ///< the name a scan gives the volume (see VolumeName())
    std::uint32_t serial = 0;
    /// A label the user gave the source, which Add volume scans under as
    /// ScanRequest::label says: the folder then stands for a volume's root,
    /// named by the label alone, and the volume's identity is its serial
    /// and that name (see SameLabelledVolume()).
    std::optional<std::string> label = std::nullopt;
};

/// The dialogs of the volume commands, besides questions and messages.
class VolumeEditorUser : public EditorUser {
public:
    /// The source dialog with the caption text `captionText`
    /// (AddVolumeCommand "Add volume", UpdateVolumeCommand "Update volume").
    /// Nullopt when it is cancelled. It only accepts a source whose volume
    /// information can be read, and tells CannotReadDrive otherwise (see
    /// ReadSource()).
    [[nodiscard]] virtual std::optional<SourceChoice> ChooseSource(texts::TextId captionText) = 0;

    /// The volume list dialog over the collection's volumes: true after it
    /// gave the delete mark to the chosen volumes (see ConfirmVolumeList()),
    /// false with nothing marked.
    [[nodiscard]] virtual bool ChooseVolumesToDelete(collection::CollectionTree& tree) = 0;

    /// The rename box, prompt VolumeLabel "Volume" with the volume's `name`,
    /// initial value `label`. Returns the text entered, or `label` when the
    /// box is closed without Ok.
    virtual std::string AskLabel(std::string_view name, std::string_view label) = 0;

    /// Scans the request's source into `tree` with the scan window (see
    /// ScanSource()) and shows NotAllFoldersReadable when a folder could not be
    /// read.
    /// False when the user cancelled: a half-built volume node may then be
    /// left in the tree, which the caller removes.
    [[nodiscard]] virtual bool RunScan(collection::CollectionTree& tree,
                                       const ScanRequest& request) = 0;
};

/// How a volume command ended. Only Changed changes the collection; every
/// other outcome leaves the collection, its totals and its modified flag as
/// they were.
enum class EditOutcome {
    Changed,       ///< the collection changed and is marked modified
    Unchanged,     ///< nothing to do (a rename to the same label)
    Declined,      ///< the user answered No or cancelled a dialog
    NoAudio,       ///< the scan produced no volume (message NoAudioInSource)
    Cancelled,     ///< the scan was cancelled; its half-built volume was removed
    SourceMissing, ///< the volume's folder is missing on its drive (message CannotFindSource)
    NotAVolume,    ///< the node is not a volume: the command does nothing
    EmptyLabel,    ///< the label entered was empty or blank: the name stays
};

/// The commands that add, update, delete and rename volumes of the
/// collection. Each runs on the caller's thread, asks and tells through the
/// user, and reports its outcome. The store, user and services must outlive
/// the editor; the store's tree must hold its collection node.
class VolumeEditor {
public:
    /// `skipFirstDrive`: whether the Update command's search of the drives
    /// skips the first drive of the system's list (see CandidateDrives() and
    /// kSkipFirstDrive).
    VolumeEditor(collection::CollectionStore& store, VolumeEditorUser& user,
                 const Services& services, bool skipFirstDrive = kSkipFirstDrive);

    /// Add volume: the source dialog (AddVolumeCommand), then either the
    /// offer to update a volume of the same identity (VolumeExistsAskUpdate,
    /// Yes default) or a scan into a new last volume, under the label of the
    /// choice when it has one. The identity is SameVolume()'s, or with a
    /// label SameLabelledVolume()'s; the update of a volume found by its
    /// label scans under that label again. On Changed the new (or updated)
    /// volume is selected.
    [[nodiscard]] EditOutcome AddVolume();

    /// Scans `sourcePath` into a new volume directly before `volume`, then
    /// removes `volume`: the new volume takes its position. The collection
    /// node's totals move from the old volume to the new one. NoAudio and
    /// Cancelled keep the old volume.
    ///
    /// Names: the new volume is named as the scan names it (the old name
    /// stays when the folder part is unchanged), with one exception that
    /// keeps a label the user gave. A volume named by a label alone (not
    /// empty, no folder part) stands for a whole volume: a volume's root, or
    /// a folder scanned under a given label and serial. Updated from a
    /// folder below the root of a volume that has no label of its own, or
    /// of the drive with its serial whose label is not its name (see
    /// NamedByGivenLabel()), that folder again stands for the volume's root:
    /// the new volume keeps the old name and the old serial (see
    /// UpdateRequest()). Any other source on a labelled volume is named by
    /// that label and its folders.
    [[nodiscard]] EditOutcome UpdateFromPath(collection::NodeId volume,
                                             const std::string& sourcePath);

    /// Update volume: looks for the volume's drive by serial (see
    /// FindVolumeSource()); found with its folder: asks AskUpdateThisVolume
    /// (No default) and updates; found without its folder: message
    /// CannotFindSource with the path; no such drive: the source dialog
    /// (UpdateVolumeCommand). A volume NamedByGivenLabel() for the drive
    /// found counts as not found: its drive's root is never taken unasked,
    /// since the volume may stand for a folder of it. A chosen source that
    /// is not the volume's own (see IsOwnSource()) is taken only after
    /// question AskUpdateThisVolume (No default) with the lines VolumeLabel
    /// "Volume" and the volume's name, SourceLabel "Source" and the
    /// source's volume name.
    [[nodiscard]] EditOutcome UpdateVolume(collection::NodeId volume);

    /// Delete volume: the volume list dialog, then the deletion pass.
    [[nodiscard]] EditOutcome DeleteVolumes();

    /// Delete: asks AskDeleteThisVolume (No default), then deletes this
    /// volume alone.
    [[nodiscard]] EditOutcome DeleteVolume(collection::NodeId volume);

    /// Removes every volume with the delete mark, takes their sizes,
    /// durations and file counts out of the collection node's totals (each
    /// held at 0 at least), counts them out of the volume count and sets the
    /// collection's last change to today. Marks the collection modified even
    /// when no volume was marked.
    void DeletionPass();

    /// Rename label: asks for the new label (see RenamedVolumeName()) and
    /// renames the volume in place, keeping its folder part, numbers and
    /// position. An answer that is empty once cleaned changes nothing
    /// (EmptyLabel).
    [[nodiscard]] EditOutcome RenameLabel(collection::NodeId volume);

private:
    // The end of every command that changed the structure: the wait window's
    // last steps, the rebuilt views, the modified flag, the selection.
    EditOutcome Rebuilt(collection::NodeId select);
    // Scans the request, which replaces `volume`, as UpdateFromPath() says.
    EditOutcome Replace(collection::NodeId volume, const ScanRequest& request);

    collection::CollectionStore& store_;
    VolumeEditorUser& user_;
    const Services services_;
    const bool skipFirstDrive_;
};

/// True for a node at level 1 of a tree: a volume.
bool IsVolume(const collection::CollectionTree& tree, collection::NodeId node);

/// The identity of a volume: its stored `Serial` equals `serial` taken as a
/// signed 32-bit value, and the folder part of its name equals `folderPart`
/// when the letters A to Z are folded.
bool SameVolume(std::string_view volumeText, std::uint32_t serial, std::string_view folderPart);

/// The identity of a source scanned under a label it was given (see
/// SourceChoice::label, ScanRequest::label): the volume's stored `Serial`
/// equals `serial` taken as a signed 32-bit value, and its whole name equals
/// `label` cleaned by CleanLabel() when the letters A to Z are folded. So
/// two folders of one drive added under two labels are two volumes, and a
/// volume with a folder part is never the same as a labelled source.
bool SameLabelledVolume(std::string_view volumeText, std::uint32_t serial, std::string_view label);

/// Whether a volume is named by a label alone (not empty, no folder part)
/// other than `driveLabel`, the label of the drive that has its serial,
/// cleaned by CleanLabel(), when the letters A to Z are folded: a folder of
/// that drive scanned under a label the user gave (see SourceChoice::label),
/// or its root renamed. Its name does not tell which.
bool NamedByGivenLabel(std::string_view volumeText, std::string_view driveLabel);

/// Whether Update takes `sourcePath` as the volume's own source, without
/// asking: the source's drive can be read, and for a volume
/// NamedByGivenLabel() for that drive, the drive has the volume's serial and
/// the source is a folder below its root, never the root itself (the
/// volume's identity does not keep which folder); for any other volume,
/// SameVolume() holds for the drive's serial and the source's folder part.
bool IsOwnSource(std::string_view volumeText, const Volumes& volumes, std::string_view sourcePath);

/// The folder part of a source below its volume's root, with "\" between
/// its folders as names store it: root "/media/u/AUDIO" and source
/// "/media/u/AUDIO/Music/Rock" give "Music\Rock"; the root itself gives "".
std::string FolderPartOf(std::string_view root, std::string_view sourcePath);

/// The native path of a folder part on a volume mounted at `root`: root
/// "/media/u/AUDIO" and "Music\Rock" give "/media/u/AUDIO/Music/Rock"; an
/// empty folder part gives the root.
std::string SourcePathOf(std::string_view root, std::string_view folderPart);

/// The drives the Update command looks through, in the system's order: all
/// of them, or all but the first with `skipFirstDrive`.
std::vector<VolumeInfo> CandidateDrives(const Volumes& volumes, bool skipFirstDrive);

/// Where the Update command finds a volume's source.
struct VolumeSource {
    bool found = false;        ///< a readable drive has the volume's serial
    std::string label;         ///< that drive's label
    std::string path;          ///< the source path on that drive
    bool folderExists = false; ///< that path is an existing folder
};

/// Looks through CandidateDrives() for the first one whose volume
/// information can be read and whose serial equals the volume's `Serial`;
/// the source path is that drive's root joined with the volume's folder part.
[[nodiscard]] VolumeSource FindVolumeSource(std::string_view volumeText, const Services& services,
                                            bool skipFirstDrive);

/// The scan request that updates `volume` of `tree` from `sourcePath`: it
/// replaces the volume, and gives the scan the volume's name as label and
/// its serial when VolumeEditor::UpdateFromPath() keeps them: for a volume
/// NamedByGivenLabel() for the source's drive, updated from a folder below
/// the root of a drive without a label or of the drive with its serial.
ScanRequest UpdateRequest(const collection::CollectionTree& tree, collection::NodeId volume,
                          const std::string& sourcePath, const Volumes& volumes);

/// What the source dialog returns for `path` (without a trailing "/" except
/// for "/"): the path, the volume name a scan would give it and the serial.
/// Nullopt when the volume information of its drive cannot be read (the
/// dialog then tells CannotReadDrive and stays open).
[[nodiscard]] std::optional<SourceChoice> ReadSource(const Volumes& volumes, std::string_view path);

/// What Ok in the volume list dialog leads to.
enum class VolumeListAnswer {
    StayOpen,  ///< nothing checked (warning NothingSelected), or No to AskDeleteSelectedVolumes
    Confirmed, ///< Yes to AskDeleteSelectedVolumes: the checked volumes got the delete mark
    Cancelled, ///< Cancel to AskDeleteSelectedVolumes: nothing marked
};

/// Ok in the volume list dialog with the `checked` volumes.
VolumeListAnswer ConfirmVolumeList(collection::CollectionTree& tree,
                                   std::span<const collection::NodeId> checked, EditorUser& user);

/// The name of a volume named `name` after the label `answer` was entered:
/// the answer cleaned by CleanLabel(), and the folder part of `name` after a
/// backslash when it is not empty. Nullopt when the cleaned answer is empty
/// (the volume keeps its label) or equals the current label (the part of
/// `name` before its first backslash) exactly.
std::optional<std::string> RenamedVolumeName(std::string_view name, std::string_view answer);

} // namespace velmora::scan
