// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "gui/app/Feature.h"
#include "playback/Playback.h"

#include <QString>
#include <functional>
#include <memory>
#include <string>

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

    /// Play (F5), Enqueue (F6) and Playlist over the current node (none: the
    /// command does nothing).
    void Register(CommandTable& table) override;
    ~PlaybackCommands();
    PlaybackCommands(const PlaybackCommands&) = delete;
    PlaybackCommands& operator=(const PlaybackCommands&) = delete;

    /// Opens the node's single file, or the temporary playlist of its files.
    void Play(collection::NodeId node);
    /// Hands the temporary playlist of the node's files to the player.
    void Enqueue(collection::NodeId node);
    /// Writes the node's files to a playlist file the user chooses.
    void SavePlaylist(collection::NodeId node);

private:
    class User;
    void Run(collection::NodeId node, const std::string& playlistFile, playback::PlayMode mode);
    /// The error that `path` could not be opened: CannotOpenFile, ": ", the
    /// path, then `reason` on a line of its own.
    void TellNotOpened(const std::string& path, const QString& reason);

    Application& app_;
    WaitWindow& wait_;
    QString& lastSaveDir_;
    QWidget* window_;
    std::function<collection::NodeId()> currentNode_;
};

} // namespace velmora::gui
