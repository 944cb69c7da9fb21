// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velmora {

class Clock;
class FileSystem;
class Locale;
class Volumes;

namespace settings {
class SettingsStore;
}
namespace tags {
class Id3v2Writer;
}

/// The services of the operating system that the core uses, one set for the
/// whole program: the window and the command line build it once from the
/// platform layer (tests from its fakes) and hand it on by reference. Every
/// service must outlive every user of this struct.
struct Services {
    FileSystem& files;
    const Volumes& volumes;
    const Locale& locale;
    const Clock& clock;
    /// Where settings are read and written; nullptr runs on the defaults and
    /// writes nothing.
    settings::SettingsStore* settingsStore = nullptr;
    /// What writes and removes ID3v2 tags; nullptr leaves them alone.
    tags::Id3v2Writer* id3v2 = nullptr;
};

} // namespace velmora
