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
};

/// Writes that `path` was not saved: CannotSaveFile, ": ", the path, and
/// `reason` on the next line where there is one.
void TellNotSaved(std::ostream& err, const texts::TextTable& table, const std::string& path,
                  std::optional<texts::TextId> reason = std::nullopt);

/// Loads the collection file at `path` into `store` for a command that only
/// reads it; reports a failure on `err`. A file that breaks the indentation
/// rule counts as failed: commands never go on with half of a collection.
[[nodiscard]] bool LoadCollection(collection::CollectionStore& store, const std::string& path,
                                  std::ostream& err, const texts::TextTable& table);

/// The collection that a command changes, held from before its load until
/// after its save (a CollectionTransaction), so that two programs never
/// change the same collection at once. Every failure is reported on the
/// error stream.
class EditedCollection {
public:
    /// `path` is the collection file; nothing is taken yet.
    EditedCollection(std::string path, std::ostream& err, CliContext& context);

    /// Takes the lock, waiting up to `context.lockWait` for another program
    /// that holds it; false when it was not obtained.
    [[nodiscard]] bool Lock();
    /// Loads the file under the lock, as LoadCollection() does. With
    /// `orEmpty`, a missing file leaves the collection empty.
    [[nodiscard]] bool Load(bool orEmpty = false);
    /// Saves the collection to its file under the lock.
    [[nodiscard]] bool Save();

    collection::CollectionStore& store() { return store_; }
    const std::string& path() const { return path_; }

private:
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
