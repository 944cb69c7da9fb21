// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "gui/app/Feature.h"
#include "playback/Playback.h"

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace velmora::gui {

class Application;
class CommandTable;
class Launcher;
class WaitWindow;

/// Play, Enqueue and Playlist: the node found on its mounted volume, its
/// files written as a playlist and handed to the desktop's opener or the
/// player. The files of a folder are collected on a worker while the wait
/// window shows their progress.
class PlaybackCommands : public Feature {
public:
    explicit PlaybackCommands(const FeatureContext& context);

    /// Play (F5), Enqueue (F6) and Playlist over the current nodes (none:
    /// the command does nothing).
    void Register(CommandTable& table) override;
    ~PlaybackCommands();
    PlaybackCommands(const PlaybackCommands&) = delete;
    PlaybackCommands& operator=(const PlaybackCommands&) = delete;

    /// Opens the single file, or the temporary playlist of the nodes' files.
    void Play(std::vector<collection::NodeId> nodes);
    /// Hands the temporary playlist of the nodes' files to the player.
    void Enqueue(std::vector<collection::NodeId> nodes);
    /// Writes the nodes' files to a playlist file the user chooses, its name
    /// proposed from the first node.
    void SavePlaylist(std::vector<collection::NodeId> nodes);

private:
    class User;
    void Run(const std::vector<collection::NodeId>& nodes, const std::string& playlistFile,
             playback::PlayMode mode);
    /// The error that `path` could not be opened: CannotOpenFile, ": ", the
    /// path, then `reason` on a line of its own.
    void TellNotOpened(const std::string& path, const QString& reason);

    Application& app_;
    WaitWindow& wait_;
    QString& lastSaveDir_;
    QWidget* window_;
    std::function<std::vector<collection::NodeId>()> currentNodes_;
};

} // namespace velmora::gui
