#pragma once

#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

namespace velmora {
class Clock;
class FileSystem;
class Locale;
class Volumes;
} // namespace velmora
namespace velmora::texts {
class TextTable;
}

namespace velmora::cli {

/// Exit codes of velmora-cli.
enum ExitCode : int { kSuccess = 0, kFailed = 1, kUsage = 2 };

/// The services the commands use, from the platform or from fakes.
struct CliContext {
    FileSystem& files;
    const Clock& clock;
    const Locale& locale;
    const texts::TextTable& texts;
    const Volumes& volumes;
    /// Set when the user interrupts (Ctrl+C); long commands stop then.
    const std::atomic<bool>* interrupted = nullptr;
    /// Long commands show progress on stderr when it is a terminal.
    bool showProgress = false;
};

/// Runs one command line (without the program name). Normal output goes to
/// `out`, messages and errors to `err`; returns the exit code.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           CliContext& context);

} // namespace velmora::cli
