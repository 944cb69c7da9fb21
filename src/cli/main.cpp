// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Cli.h"
#include "gui/render/CoverPainter.h"
#include "platform/DataFolder.h"
#include "platform/LinuxVolumes.h"
#include "platform/PosixFileSystem.h"
#include "platform/QtLocale.h"
#include "platform/SettingsFile.h"
#include "platform/SystemClock.h"
#include "platform/TagLibId3v2.h"
#include "settings/Settings.h"
#include "system/Services.h"
#include "texts/LanguagePacks.h"
#include "texts/TextTable.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <string>
#include <unistd.h>
#include <utility>
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
    // Messages speak the language the window speaks: the pack of the
    // settings, else the one for the user's language.
    velmora::settings::Settings settings;
    velmora::platform::SettingsFile settingsFile(files, velmora::platform::SettingsPath());
    (void)velmora::settings::ReadSettings(settingsFile, settings);
    velmora::texts::LanguageChoice language = velmora::texts::ChooseLanguage(
        files, velmora::platform::ProgramDataFolder(), locale, settings.langName);
    if (!language.error.empty())
        std::cerr << language.error << '\n';
    const velmora::texts::TextTable texts = std::move(language.table);
    const velmora::platform::LinuxVolumes volumes;
    velmora::platform::TagLibId3v2 id3v2;
    const velmora::Services services{files, volumes, locale, clock, nullptr, &id3v2};
    velmora::gui::QtCoverRenderer coverRenderer;
    velmora::cli::CliContext context{services, texts, &interrupted, ::isatty(STDERR_FILENO) == 1};
    context.coverRenderer = &coverRenderer;
    const std::vector<std::string> args(argv + 1, argv + argc);
    return velmora::cli::RunCli(args, std::cout, std::cerr, context);
}
