// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>
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
    /// could be started for it. An opener that was started but then found
    /// no program for the file calls `failed` later, on the interface
    /// thread, unless the launcher is gone by then.
    virtual bool Open(const std::string& path, std::function<void()> failed) = 0;

    /// The desktop's "open" on an address ("https:...", "mailto:..."), not
    /// waiting for the program it starts and not telling whether one was
    /// found; false when no opener could be started.
    virtual bool OpenAddress(const std::string& address) = 0;

    /// Starts `arguments[0]` with the rest as its arguments, detached, never
    /// through a shell; false when it cannot be started.
    virtual bool Start(const std::vector<std::string>& arguments) = 0;

    /// True when `program` is found on the PATH.
    virtual bool Installed(std::string_view program) const = 0;
};

/// The desktop's launcher. "open" runs xdg-open on the file and watches how
/// it ends: xdg-open hands the file to the program the desktop has for its
/// type and exits 0, or exits 3 ("no method available") or 4 (the
/// desktop's own opener failed) when there is none, which is only written
/// to its error output. Without xdg-open on the PATH, QDesktopServices opens
/// the file, as far as it can tell. Players are started with QProcess,
/// detached.
class DesktopLauncher final : public Launcher {
public:
    bool Open(const std::string& path, std::function<void()> failed) override;
    bool OpenAddress(const std::string& address) override;
    bool Start(const std::vector<std::string>& arguments) override;
    bool Installed(std::string_view program) const override;

private:
    /// The running openers; one still running when the launcher goes is
    /// ended (the program it started stays).
    QObject openers_;
};

/// The temporary playlist of Play and Enqueue: "vlm.m3u" in the program's
/// folder of the user's cache ($XDG_CACHE_HOME/velmora), which is made when
/// missing.
std::string TemporaryPlaylist();

} // namespace velmora::gui
