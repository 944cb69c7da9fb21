// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/playback/PlaybackCommands.h"

#include "collection/CollectionStore.h"
#include "gui/app/Application.h"
#include "gui/app/CommandTable.h"
#include "gui/collection/CollectionCommands.h"
#include "gui/dialogs/Messages.h"
#include "gui/dialogs/UserDialogs.h"
#include "gui/dialogs/WaitWindow.h"
#include "gui/playback/Launcher.h"
#include "platform/QtText.h"
#include "playback/PlayerCommand.h"
#include "settings/Settings.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <QFile>

namespace velmora::gui {

using playback::PlayMode;
using texts::TextId;

/// What the locating asks of the desktop: messages through the program's
/// dialogs, the listing on a worker under the wait window, and the launcher.
class PlaybackCommands::User final : public playback::PlaybackUser {
public:
    User(PlaybackCommands& commands) : commands_(commands) {}

    void ShowError(const std::string& message) override
    {
        const texts::TextTable& texts = commands_.app_.texts().table();
        MessageRequest request = ErrorMessage(texts, TextId::CannotFindSource);
        request.text = platform::ToQString(message);
        commands_.app_.dialogs().Message(request);
    }

    void RunListing(const std::function<void(Progress&)>& job) override
    {
        const texts::TextTable& texts = commands_.app_.texts().table();
        commands_.wait_.Run(TextOf(texts, TextId::ListingTitle),
                            platform::ToQString(texts.Step(TextId::CreatePlaylistCommand)),
                            [&job](ProgressState& progress) { job(progress); });
    }

    void ShowLeftOut(const std::string& message) override
    {
        const texts::TextTable& texts = commands_.app_.texts().table();
        MessageRequest request = WarningMessage(texts, TextId::ItemsLeftOut);
        request.text = platform::ToQString(message);
        commands_.app_.dialogs().Message(request);
    }

    // With a player command set, the player gets the file; without one, the
    // desktop's opener. A failure names the file, then the reason.
    void Open(const std::string& path) override
    {
        const std::vector<std::string> arguments =
            playback::PlayerArguments(commands_.app_.settings().playerCommand, path);
        if (arguments.empty()) {
            OpenOnDesktop(path);
            return;
        }
        if (!commands_.app_.launcher().Start(arguments))
            commands_.TellNotOpened(path, CannotStart(arguments.front()));
    }

    void Enqueue(const std::string& playlistFile) override
    {
        Launcher& launcher = commands_.app_.launcher();
        std::string command = commands_.app_.settings().playerCommand;
        if (command.find_first_not_of(" \t") == std::string::npos) {
            command = playback::DefaultPlayerCommand(
                [&launcher](std::string_view program) { return launcher.Installed(program); });
        }
        const std::vector<std::string> arguments = playback::PlayerArguments(command, playlistFile);
        if (arguments.empty()) {
            OpenOnDesktop(playlistFile);
            return;
        }
        if (!launcher.Start(arguments)) {
            commands_.app_.dialogs().Message(
                ErrorMessage(Texts(), TextId::CannotStartPlayer, Native(arguments.front())));
        }
    }

private:
    const texts::TextTable& Texts() const { return commands_.app_.texts().table(); }

    static QString Native(const std::string& path) { return QFile::decodeName(path.c_str()); }

    QString CannotStart(const std::string& program) const
    {
        return MessageText(Texts(), TextId::CannotStartPlayer, Native(program));
    }

    // The desktop's opener, which may find no program for the file at once
    // or only later.
    void OpenOnDesktop(const std::string& path)
    {
        PlaybackCommands& commands = commands_;
        const auto noOpener = [&commands, path] {
            commands.TellNotOpened(path, TextOf(commands.app_.texts().table(), TextId::NoOpener));
        };
        if (!commands.app_.launcher().Open(path, noOpener))
            noOpener();
    }

    PlaybackCommands& commands_;
};

PlaybackCommands::PlaybackCommands(const FeatureContext& context)
    : app_(context.app), wait_(context.wait), lastSaveDir_(context.app.folders().lastSave),
      window_(context.window), currentNodes_(context.currentNodes)
{
}

PlaybackCommands::~PlaybackCommands() = default;

void PlaybackCommands::TellNotOpened(const std::string& path, const QString& reason)
{
    MessageRequest request =
        ErrorMessage(app_.texts().table(), TextId::CannotOpenFile, QFile::decodeName(path.c_str()));
    request.text += QStringLiteral("\r\n") + reason;
    app_.dialogs().Message(request);
}

void PlaybackCommands::Play(std::vector<collection::NodeId> nodes)
{
    Run(nodes, TemporaryPlaylist(), PlayMode::Play);
}

void PlaybackCommands::Enqueue(std::vector<collection::NodeId> nodes)
{
    Run(nodes, TemporaryPlaylist(), PlayMode::Enqueue);
}

void PlaybackCommands::SavePlaylist(std::vector<collection::NodeId> nodes)
{
    std::erase(nodes, collection::kNoNode);
    if (nodes.empty())
        return;
    const collection::NodeId node = nodes.front();
    const texts::TextTable& texts = app_.texts().table();
    FileRequest request;
    request.title = TextOf(texts, TextId::SaveAsPlaylistCommand);
    request.folder = lastSaveDir_;
    request.fileName =
        platform::ToQString(playback::ProposedPlaylistName(app_.store().tree(), node));
    request.filter = TextOf(texts, TextId::PlaylistFileType) + QStringLiteral(" (*.m3u *.pls)");
    request.defaultSuffix = QStringLiteral("m3u");
    const QString path = app_.dialogs().SaveFileName(request);
    if (path.isEmpty())
        return;
    lastSaveDir_ = FolderOf(path);
    if (RefuseCollectionFile(path, app_.store().currentPath(), app_.services().files,
                             app_.dialogs(), texts))
        return;
    Run(nodes, QFile::encodeName(path).toStdString(), PlayMode::Playlist);
}

void PlaybackCommands::Run(const std::vector<collection::NodeId>& nodes,
                           const std::string& playlistFile, PlayMode mode)
{
    std::vector<collection::NodeId> known = nodes;
    std::erase(known, collection::kNoNode);
    if (known.empty())
        return;
    User user(*this);
    // Every failure has been shown to the user on the way.
    static_cast<void>(playback::LocateAndPlay(app_.store().tree(), known, playlistFile, mode,
                                              app_.services(), app_.texts().table(), user));
}

void PlaybackCommands::Register(CommandTable& table)
{
    PlaybackCommands& commands = *this;
    const auto& currentNodes = currentNodes_;
    table.Add({.id = Command::Play,
               .text = TextId::PlayCommand,
               .shortcut = QKeySequence(Qt::Key_F5),
               .enabledWhen = rules::HasNode,
               .handler = [&commands, currentNodes](bool) { commands.Play(currentNodes()); }});
    table.Add({.id = Command::Enqueue,
               .text = TextId::EnqueueCommand,
               .shortcut = QKeySequence(Qt::Key_F6),
               .enabledWhen = rules::HasNode,
               .handler = [&commands, currentNodes](bool) { commands.Enqueue(currentNodes()); }});
    table.Add(
        {.id = Command::Playlist,
         .text = TextId::SaveAsPlaylistCommand,
         .enabledWhen = rules::FolderNode,
         .handler = [&commands, currentNodes](bool) { commands.SavePlaylist(currentNodes()); }});
}

} // namespace velmora::gui
