#include "cli/Cli.h"
#include "gui/render/CoverPainter.h"
#include "platform/LinuxVolumes.h"
#include "platform/PosixFileSystem.h"
#include "platform/QtLocale.h"
#include "platform/SystemClock.h"
#include "system/Services.h"
#include "texts/TextTable.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::atomic<bool> interrupted{false};

void OnInterrupt(int)
{
    interrupted = true;
}

} // namespace

int main(int argc, char** argv)
{
    // The first Ctrl+C asks long commands to stop cleanly; the default
    // action returns for a second one.
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;
    ::sigaction(SIGINT, &action, nullptr);
    // A write beyond the file size limit then fails like any other write
    // and is reported, instead of ending the program without a word.
    ::signal(SIGXFSZ, SIG_IGN);

    std::ios::sync_with_stdio(false);
    velmora::platform::PosixFileSystem files;
    velmora::platform::SystemClock clock;
    velmora::platform::QtLocale locale;
    const velmora::texts::TextTable texts;
    const velmora::platform::LinuxVolumes volumes;
    const velmora::Services services{files, volumes, locale, clock};
    velmora::gui::QtCoverRenderer coverRenderer;
    velmora::cli::CliContext context{services, texts, &interrupted, ::isatty(STDERR_FILENO) == 1};
    context.coverRenderer = &coverRenderer;
    const std::vector<std::string> args(argv + 1, argv + argc);
    return velmora::cli::RunCli(args, std::cout, std::cerr, context);
}
