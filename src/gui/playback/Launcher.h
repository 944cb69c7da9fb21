#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora::gui {

/// How the program hands files to other programs: the desktop's opener and
/// a player started with an argument list. Tests put a recording fake in
/// its place.
class Launcher {
public:
    virtual ~Launcher() = default;

    /// The desktop's "open" on a file (native path); false when no program
    /// could be started for it.
    virtual bool Open(const std::string& path) = 0;

    /// Starts `arguments[0]` with the rest as its arguments, detached, never
    /// through a shell; false when it cannot be started.
    virtual bool Start(const std::vector<std::string>& arguments) = 0;

    /// True when `program` is found on the PATH.
    virtual bool Installed(std::string_view program) const = 0;
};

/// The desktop's launcher: QDesktopServices (xdg-open) and QProcess.
class DesktopLauncher final : public Launcher {
public:
    bool Open(const std::string& path) override;
    bool Start(const std::vector<std::string>& arguments) override;
    bool Installed(std::string_view program) const override;
};

/// The temporary playlist of Play and Enqueue: "vlm.m3u" in the program's
/// folder of the user's cache ($XDG_CACHE_HOME/velmora), which is made when
/// missing.
std::string TemporaryPlaylist();

} // namespace velmora::gui
