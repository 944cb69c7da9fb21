// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionStore.h"
#include "collection/CollectionTransaction.h"
#include "texts/TextIds.h"

#include <atomic>
#include <chrono>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {
struct Services;
} // namespace velmora
namespace velmora::texts {
class TextTable;
}
namespace velmora::cover {
class CoverRenderer;
}

namespace velmora::cli {

/// Exit codes of velmora-cli.
enum ExitCode : int { kSuccess = 0, kFailed = 1, kUsage = 2 };

/// What the commands run on: the system's services (from the platform or
/// from fakes) and the command line's own state. The services and the texts
/// must outlive the context.
struct CliContext {
    const Services& services;
    const texts::TextTable& texts;
    /// Set when the user interrupts (Ctrl+C); long commands stop then.
    const std::atomic<bool>* interrupted = nullptr;
    /// Long commands show their progress on stderr. main() sets it once when
    /// stderr is a terminal; the commands never ask the terminal themselves.
    bool showProgress = false;
    /// How long a command waits for another process that is changing the
    /// same collection.
    std::chrono::milliseconds lockWait = collection::kCollectionLockWait;
    /// What the cover command draws with; null where nothing can draw.
    cover::CoverRenderer* coverRenderer = nullptr;
};

/// Writes a message about a file: `text`, ": " and the path.
void TellAboutFile(std::ostream& err, const texts::TextTable& table, texts::TextId text,
                   const std::string& path);

/// Writes that `path` was not saved: CannotSaveFile, ": ", the path, and
/// `reason` on the next line where there is one.
void TellNotSaved(std::ostream& err, const texts::TextTable& table, const std::string& path,
                  std::optional<texts::TextId> reason = std::nullopt);

/// The collection file a command works on and the store it is loaded into:
/// no command builds a store of its own. A command that only reads the
/// collection loads it without the lock: files are only ever replaced whole,
/// so a read never sees half of a save. A command that changes it takes the
/// lock first (Lock()) and holds it from before its load until after its
/// save (a CollectionTransaction), so that two programs never change the
/// same collection at once. Every failure is reported on the error stream.
class CliCollection {
public:
    /// `path` is the collection file; nothing is read or taken yet.
    CliCollection(std::string path, std::ostream& err, CliContext& context);

    /// Takes the lock, waiting up to `context.lockWait` for another program
    /// that holds it; false when it was not obtained.
    [[nodiscard]] bool Lock();
    /// Loads the file, under the lock when Lock() took it. A file that
    /// breaks the indentation rule counts as failed: commands never go on
    /// with half of a collection. With `orEmpty`, a missing file leaves the
    /// collection empty.
    [[nodiscard]] bool Load(bool orEmpty = false);
    /// Loads another collection file, `source`, into the store, without its
    /// lock, as Load() does; Save() still writes the file at path().
    [[nodiscard]] bool LoadFrom(const std::string& source);
    /// Saves the collection to its file under the lock.
    [[nodiscard]] bool Save();

    /// Adds the volumes that `words` name to `found`, each once: a volume by
    /// its name or, when no volume has that name, by its number in
    /// collection order (1 for the first). False when a word names none;
    /// each such word is reported.
    [[nodiscard]] bool FindVolumes(const std::vector<std::string>& words,
                                   std::vector<collection::NodeId>& found) const;

    collection::CollectionStore& store() { return store_; }
    collection::CollectionTree& tree() { return store_.tree(); }
    const std::string& path() const { return path_; }

private:
    // Reports a load that failed, naming `path`.
    [[nodiscard]] bool Loaded(const collection::LoadResult& result, const std::string& path) const;

    std::string path_;
    std::ostream& err_;
    CliContext& context_;
    collection::CollectionStore store_;
    std::optional<collection::CollectionTransaction> transaction_;
};

/// Runs one command line (without the program name). Normal output goes to
/// `out`, messages and errors to `err`; returns the exit code.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           CliContext& context);

} // namespace velmora::cli
