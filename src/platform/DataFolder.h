// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace velmora::platform {

/// The program's data folder (language packs and the help documents), as a
/// native path ending in "/": "share/velmora" beside the "bin" folder that
/// holds the running program, wherever it was installed; when there is none
/// (the program runs from its build folder), the source tree's "data"
/// folder. This is the one place that knows where that folder is.
std::string ProgramDataFolder();

} // namespace velmora::platform
