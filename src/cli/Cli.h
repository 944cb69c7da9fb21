#pragma once

#include <atomic>
#include <chrono>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace velmora {
class FileLock;
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
    std::chrono::milliseconds lockWait = std::chrono::seconds(5);
};

/// Takes the lock that a command changing the collection at `path` holds
/// from loading it to saving it, so that two processes never change the
/// same collection at once. nullptr, with the reason written to `err`, when
/// another process kept it for all of `context.lockWait` or it cannot be
/// taken at all.
std::unique_ptr<FileLock> LockCollection(const std::string& path, std::ostream& err,
                                         CliContext& context);

/// Runs one command line (without the program name). Normal output goes to
/// `out`, messages and errors to `err`; returns the exit code.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           CliContext& context);

} // namespace velmora::cli
