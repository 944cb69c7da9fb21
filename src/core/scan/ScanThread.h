#pragma once

#include "collection/CollectionTree.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace velmora {
class Clock;
class FileSystem;
class Locale;
class Volumes;
} // namespace velmora

namespace velmora::scan {

/// The three progress lines of a running scan (volume, folder, file). The
/// worker sets them, another thread reads the latest values whenever it
/// likes; setting costs a short lock and a string copy, never a wait for the
/// reader.
class ScanLines {
public:
    void setVolume(std::string_view text) { set(volume_, text); }
    void setFolder(std::string_view text) { set(folder_, text); }
    void setFile(std::string_view text) { set(file_, text); }

    struct Snapshot {
        std::string volume;
        std::string folder;
        std::string file;
        std::uint64_t version = 0; ///< grows with every change
    };
    Snapshot snapshot() const;

private:
    void set(std::string& line, std::string_view text);

    mutable std::mutex mutex_;
    std::string volume_;
    std::string folder_;
    std::string file_;
    std::uint64_t version_ = 0;
};

/// The services a scan uses.
struct ScanServices {
    FileSystem& files;
    const Volumes& volumes;
    const Locale& locale;
    const Clock& clock;
};

/// What to scan.
struct ScanRequest {
    /// A native folder path: a volume's root or a folder on it.
    std::string sourcePath;
    /// The volume node the new volume will replace (it is inserted directly
    /// before it and keeps its name when the folder part is unchanged), or
    /// kNoNode to add a last volume.
    collection::NodeId replace = collection::kNoNode;
    /// Fold the new volume into the collection node's totals (and take the
    /// replaced one out of them).
    bool updateTotals = true;
    /// Used instead of what the platform reports for the source's volume.
    /// With a label the source folder stands for the volume's root: the
    /// volume is named by the label alone, cleaned by CleanLabel() (a copy
    /// of a disc catalogued under the disc's label).
    std::optional<std::string> label;
    std::optional<std::uint32_t> serial;
};

/// How a scan ended.
struct ScanOutcome {
    /// The new volume node; kNoNode when the scan produced none (no audio
    /// file, volume information unreadable). After a cancel it may be a
    /// half-built node that the caller removes.
    collection::NodeId volume = collection::kNoNode;
    bool cancelled = false;
    /// Some folder could not be read (text 201).
    bool warning = false;
    /// The label and serial of the source's volume could not be read.
    bool noVolumeInformation = false;
};

/// Scans the source into a new volume node of `tree` (whose root is the
/// collection node) and returns how it went. `stop` is read before each
/// subfolder and each file; a file being analysed is finished first.
/// Folders are walked with an explicit stack, so depth costs no stack.
///
/// Listing: subfolders and files in case-insensitive order of the locale;
/// hidden folders (name beginning with ".") are skipped; links to folders
/// and mount points of other file systems are not entered; files match
/// "*.mpa;*.mp1;*.mp2;*.mp3" ignoring case, whatever their modes. A name
/// with bytes below 32 is stored with each replaced by "?"; only a folder
/// that cannot be read counts as a warning. Folders without audio files
/// below them are not kept.
ScanOutcome ScanSource(collection::CollectionTree& tree, const ScanServices& services,
                       const ScanRequest& request, ScanLines& lines, const std::atomic<bool>& stop);

/// A volume label as volume names hold it, whoever gave it (the platform,
/// a caller, the user renaming a volume): backslashes become blanks, since
/// a label ends at the name's first backslash, then CleanText() trims
/// leading and trailing blanks and control bytes and drops every other byte
/// below 32. A name beginning with a blank would read back from the
/// collection file as deeper indentation. Empty for a blank label.
std::string CleanLabel(std::string_view label);

/// The volume name for a source: the label (cleaned by CleanLabel()) alone
/// for a volume's root, else the label, "\" and the source's path below the
/// root with "\" between its folders and "?" for bytes below 32 (label
/// AUDIO, root /media/u/AUDIO, source /media/u/AUDIO/Music/Rock give
/// AUDIO\Music\Rock).
std::string VolumeName(std::string_view label, std::string_view root, std::string_view source);

/// Runs ScanSource on a worker thread. The tree must not be touched by
/// anyone else until Wait() returned.
class TScanThread {
public:
    TScanThread(collection::CollectionTree& tree, const ScanServices& services, ScanRequest request,
                ScanLines& lines);
    ~TScanThread(); ///< asks the worker to stop and waits for it

    /// Starts the worker; `onEnd` runs on the worker thread when it ends.
    void Start(std::function<void()> onEnd = {});
    void RequestStop() { stop_ = true; }
    void Wait();
    bool Finished() const { return finished_; }
    /// Valid after Wait().
    const ScanOutcome& Outcome() const { return outcome_; }

private:
    collection::CollectionTree& tree_;
    const ScanServices services_;
    const ScanRequest request_;
    ScanLines& lines_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    ScanOutcome outcome_;
    std::thread worker_;
};

} // namespace velmora::scan
