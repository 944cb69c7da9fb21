// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "system/FileSystem.h"
#include "system/Progress.h"
#include "system/Services.h"
#include "texts/TextTable.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::playback {

/// What Play, Enqueue and Playlist do once the files are found.
enum class PlayMode {
    Play,     ///< opens the single file itself, or else the playlist
    Enqueue,  ///< hands the playlist to the player's enqueue command
    Playlist, ///< writes the playlist and nothing more
};

/// Where a node of the collection is on disk.
struct NodeLocation {
    enum class Status {
        Found,         ///< `path` exists (a folder for volumes and folders, a file for files)
        VolumeMissing, ///< no mounted volume matches the node's volume
        PathMissing,   ///< the volume is mounted but the node is not found there
    };
    Status status = Status::VolumeMissing;
    /// The native path of the node: the volume's mount point, its folder
    /// part, then the names below it as found on disk, joined with "/"
    /// (never a doubled "/"). Set for Found and PathMissing; for
    /// PathMissing, from the first name not found on, the names as stored.
    std::string path;
    /// The node's drive label: its volume's name up to the first "\".
    std::string driveLabel;
    /// The volume's stored serial (0 when none was recorded).
    std::int32_t serial = 0;
};

/// Finds `node` (a volume, folder or file node of `tree`) on disk: its volume
/// among services.volumes.list() by serial, or, when the stored serial is 0,
/// by label with the letters a to z folded; volumes whose information cannot
/// be read are passed over. The path is built from the chain of nodes, name
/// by name (a name may hold "\"), each looked up in the folder found for its
/// parent:
/// - a name that is empty, ".", "..", or holds "/" or a zero byte names no
///   entry of a folder, nor does a part ".", ".." or one holding "/" of the
///   volume's folder part: the node is not found (PathMissing);
/// - the name as stored, when an entry of the node's kind (folder or file)
///   has it;
/// - else, for a name that is not valid UTF-8, its Windows-1252 reading in
///   UTF-8;
/// - else the one entry of the folder, of the node's kind, that a scan
///   stores under that name (scan::ScannedName(): a scan drops leading and
///   trailing blanks); with none or more than one, the node is not found.
/// So a path of a Found location always exists.
[[nodiscard]] NodeLocation LocateNode(const collection::CollectionTree& tree,
                                      collection::NodeId node, const Services& services);

/// The files of a branch found on disk, and how many were not.
struct BranchFiles {
    std::vector<std::string> paths;
    /// Files (nodes without children) left out: not found as LocateNode()
    /// finds names, or below a folder not found.
    std::size_t leftOut = 0;
};

/// The native paths of every file (node without children) below `node` that
/// is found on disk, in pre-order, `folderPath` being the native path of
/// `node` itself; names are found as LocateNode() finds them. Runs without
/// recursion; reports `step(done, total)` over the branch's nodes and stops
/// early (returning what it has) when `progress.cancelled()`.
[[nodiscard]] BranchFiles CollectBranch(const collection::CollectionTree& tree,
                                        collection::NodeId node, const std::string& folderPath,
                                        const FileSystem& files, Progress& progress);

/// The note on files a playlist or a listing left out: ItemsLeftOut, ": "
/// and the count.
std::string LeftOutMessage(const texts::TextTable& table, std::size_t count);

/// The two playlist formats: ".pls" (letters a to z folded) is PLS, every
/// other name M3U.
enum class PlaylistFormat { M3u, Pls };
PlaylistFormat FormatOf(std::string_view fileName);

/// The bytes of a playlist: M3U is the paths, one per line, each ended by
/// CR LF, with no header; PLS is "[playlist]", "File1=" ... "FileN=",
/// "NumberOfEntries=N" and "Version=2", each line ended by CR LF.
std::string PlaylistBytes(const std::vector<std::string>& paths, PlaylistFormat format);

/// Writes the playlist through a replacement file; false when it cannot be
/// created or written (the previous file is then untouched).
[[nodiscard]] bool WritePlaylist(FileSystem& files, const std::string& fileName,
                                 const std::vector<std::string>& paths);

/// The message for a node that cannot be found: CannotFindSource, ": " and
/// the path for PathMissing; for VolumeMissing CannotFindSource, CR LF,
/// DriveLabelLabel, ": ", the label in double quotes and, when the serial is
/// not 0, CR LF, DriveSerialLabel, ": " and the serial as unsigned upper-case
/// hexadecimal without leading zeros (-1 gives FFFFFFFF).
std::string NotFoundMessage(const texts::TextTable& table, const NodeLocation& location);

/// What the front end carries out for a play request.
class PlaybackUser {
public:
    virtual ~PlaybackUser() = default;

    /// An error message: caption ErrorCaption, the error icon, button OkButton.
    virtual void ShowError(const std::string& message) = 0;

    /// Runs `job` while the wait window shows ListingTitle and
    /// CreatePlaylistCommand followed by "..."; returns when the job is done.
    /// The job may run on a worker thread: it reads nothing of the text
    /// table, whose texts it got beforehand.
    virtual void RunListing(const std::function<void(Progress&)>& job) = 0;

    /// Files of a branch were left out (LeftOutMessage()); the rest were
    /// written and handed over, or there was none.
    virtual void ShowLeftOut(const std::string& message) = 0;

    /// Play's hand-over of a file: the single audio file or the playlist,
    /// to the player the user set, else to the desktop's "open".
    virtual void Open(const std::string& path) = 0;

    /// The player's "enqueue" command on a playlist file.
    virtual void Enqueue(const std::string& playlistFile) = 0;
};

/// Locate and play: finds `node`, collects its files found on disk
/// (through user.RunListing for a volume or folder), writes them to
/// `playlistFile` and, by `mode`, opens the single file or the playlist, or
/// enqueues the playlist. Errors go to user.ShowError: NotFoundMessage() when
/// the node cannot be found; CannotCreatePlaylist, ": " and the file name
/// when the playlist cannot be written (nothing is then opened or
/// enqueued). Files of the branch not found are left out and counted to
/// user.ShowLeftOut once the rest is handed over. A branch without files
/// found writes nothing and starts nothing. Returns true when the playlist
/// was written. With `output`, the playlist goes there instead of into a
/// replacement of `playlistFile`, whose name still gives its format and the
/// messages.
///
/// Several nodes (a selection of the list) go into one playlist in their
/// order, with one listing for all folders among them; a node that cannot
/// be found is then left out with its files, and only when none is found is
/// the first one's NotFoundMessage() shown.
[[nodiscard]] bool LocateAndPlay(const collection::CollectionTree& tree,
                                 std::span<const collection::NodeId> nodes,
                                 const std::string& playlistFile, PlayMode mode,
                                 const Services& services, const texts::TextTable& table,
                                 PlaybackUser& user, std::unique_ptr<OutputFile> output = nullptr);
/// LocateAndPlay() for one node.
[[nodiscard]] inline bool LocateAndPlay(const collection::CollectionTree& tree,
                                        collection::NodeId node, const std::string& playlistFile,
                                        PlayMode mode, const Services& services,
                                        const texts::TextTable& table, PlaybackUser& user,
                                        std::unique_ptr<OutputFile> output = nullptr)
{
    return LocateAndPlay(tree, std::span<const collection::NodeId>(&node, 1), playlistFile, mode,
                         services, table, user, std::move(output));
}

/// The file name the Playlist command proposes for `node`: its name with
/// everything up to and including its last "\" removed.
std::string ProposedPlaylistName(const collection::CollectionTree& tree, collection::NodeId node);

} // namespace velmora::playback
