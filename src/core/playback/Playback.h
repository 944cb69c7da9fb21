#pragma once

#include "collection/CollectionTree.h"
#include "system/FileSystem.h"
#include "system/Progress.h"
#include "system/Services.h"
#include "texts/TextTable.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
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
        PathMissing,   ///< the volume is mounted but `path` does not exist there
    };
    Status status = Status::VolumeMissing;
    /// The native path of the node: the volume's mount point, its folder
    /// part, then the names below it, joined with "/" (never a doubled "/").
    /// Set for Found and PathMissing.
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
/// by name (a name may hold "\"). A name that is not valid UTF-8 and is not
/// found as it stands is tried once more as its Windows-1252 reading in
/// UTF-8.
NodeLocation LocateNode(const collection::CollectionTree& tree, collection::NodeId node,
                        const Services& services);

/// The native paths of every file (node without children) below `node`, in
/// pre-order, `folderPath` being the native path of `node` itself. Runs
/// without recursion; reports `step(done, total)` over the branch's nodes and
/// stops early (returning what it has) when `progress.cancelled()`. Names that
/// are not valid UTF-8 are mapped as LocateNode() maps them.
std::vector<std::string> CollectBranch(const collection::CollectionTree& tree,
                                       collection::NodeId node, const std::string& folderPath,
                                       const FileSystem& files, Progress& progress);

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
bool WritePlaylist(FileSystem& files, const std::string& fileName,
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
    virtual void RunListing(const std::function<void(Progress&)>& job) = 0;

    /// The desktop's "open" on a file.
    virtual void Open(const std::string& path) = 0;

    /// The player's "enqueue" command on a playlist file.
    virtual void Enqueue(const std::string& playlistFile) = 0;
};

/// Locate and play: finds `node`, collects its files (through
/// user.RunListing for a volume or folder), writes them to `playlistFile`
/// and, by `mode`, opens the single file or the playlist, or enqueues the
/// playlist. Errors go to user.ShowError: NotFoundMessage() when the node
/// cannot be found; CannotCreatePlaylist, ": " and the file name when the
/// playlist cannot be written (nothing is then opened or enqueued). An empty
/// branch writes nothing and starts nothing. Returns true when the playlist
/// was written. With `output`, the playlist goes there instead of into a
/// replacement of `playlistFile`, whose name still gives its format and the
/// messages.
bool LocateAndPlay(const collection::CollectionTree& tree, collection::NodeId node,
                   const std::string& playlistFile, PlayMode mode, const Services& services,
                   const texts::TextTable& table, PlaybackUser& user,
                   std::unique_ptr<OutputFile> output = nullptr);

/// The file name the Playlist command proposes for `node`: its name with
/// everything up to and including its last "\" removed.
std::string ProposedPlaylistName(const collection::CollectionTree& tree, collection::NodeId node);

} // namespace velmora::playback
