#include "cli/Cli.h"
#include "platform/PosixFileSystem.h"
#include "platform/QtLocale.h"
#include "platform/SystemClock.h"
#include "texts/TextTable.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    velmora::platform::PosixFileSystem files;
    velmora::platform::SystemClock clock;
    velmora::platform::QtLocale locale;
    const velmora::texts::TextTable texts;
    velmora::cli::CliContext context{files, clock, locale, texts};
    const std::vector<std::string> args(argv + 1, argv + argc);
    return velmora::cli::RunCli(args, std::cout, std::cerr, context);
}
