// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TestDir.h"
#include "cli/Cli.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "system/Services.h"
#include "texts/TextTable.h"

#include <atomic>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace velmora::cli {

/// velmora-cli in process, over a test folder of its own and fakes of the
/// system's services (day 46000 for today).
class CliFixture : public ::testing::Test {
protected:
    /// Runs the command line `args` (the command first); `out` and `err`
    /// hold what this run printed.
    int Run(const std::vector<std::string>& args)
    {
        out.str({});
        err.str({});
        return RunCli(args, out, err, context);
    }

    velmora::testing::TestDir dir;
    fakes::FaultyFileSystem files;
    fakes::FakeClock clock{46000};
    fakes::FakeLocale locale;
    fakes::FakeVolumes volumes;
    texts::TextTable texts;
    std::atomic<bool> interrupted{false};
    Services services{files, volumes, locale, clock};
    CliContext context{services, texts, &interrupted};
    std::ostringstream out;
    std::ostringstream err;
};

} // namespace velmora::cli
