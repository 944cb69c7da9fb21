// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/tags/TagCommands.h"

#include "collection/NodeText.h"
#include "gui/app/Application.h"
#include "gui/app/CollectionViews.h"
#include "gui/app/CommandTable.h"
#include "gui/collection/CollectionCommands.h"
#include "gui/dialogs/Messages.h"
#include "gui/dialogs/ModalFocus.h"
#include "gui/tags/ItemTag.h"
#include "gui/tags/TagEditor.h"
#include "platform/QtText.h"
#include "playback/Playback.h"
#include "tags/ItemTag.h"
#include "texts/TextIds.h"

#include <QDir>
#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace velmora::gui {

using texts::TextId;

TagCommands::TagCommands(const FeatureContext& context)
    : app_(context.app), views_(context.views), currentNode_(context.currentNode),
      currentNodes_(context.currentNodes), window_(context.window)
{
}

QString TagCommands::EditorStartFolder() const
{
    const collection::CollectionTree& tree = app_.store().tree();
    collection::NodeId volume = currentNode_();
    if (volume != collection::kNoNode && tree.level(volume) >= 1) {
        while (tree.level(volume) > 1)
            volume = tree.parent(volume);
        const playback::NodeLocation place = playback::LocateNode(tree, volume, app_.services());
        if (place.status == playback::NodeLocation::Status::Found)
            return platform::NativePath(place.path);
    }
    const QString& last = app_.folders().lastTagFolder;
    return last.isEmpty() ? QDir::currentPath() : last;
}

void TagCommands::OpenTagEditor(const QString& startFolder)
{
    TagEditor editor(app_.services(), app_.settings(), app_.texts().table(), app_.dialogs(),
                     startFolder.isEmpty() ? EditorStartFolder() : startFolder, window_);
    ExecModal(editor);
    if (const QString folder = editor.currentFolder(); !folder.isEmpty())
        app_.folders().lastTagFolder = folder;
}

void TagCommands::EditItemTag()
{
    collection::CollectionTree& tree = app_.store().tree();
    std::vector<collection::NodeId> nodes = currentNodes_();
    std::erase_if(nodes, [&tree](collection::NodeId node) {
        return node == collection::kNoNode || tree.hasChildren(node);
    });
    if (nodes.empty())
        return;
    // Several files show the values they share; a field left as shown keeps
    // each file's own value.
    std::vector<std::array<std::string, 6>> stored;
    for (const collection::NodeId node : nodes) {
        collection::Tags tags;
        collection::ReadTags(tree.text(node), tags);
        std::array<std::string, 6>& own = stored.emplace_back();
        for (std::size_t i = 0; i < own.size(); ++i)
            own[i] = std::string(tags[i]);
    }
    ItemTag::Fields shown;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const bool shared = std::all_of(stored.begin(), stored.end(),
                                        [&](const auto& own) { return own[i] == stored[0][i]; });
        shown[i] = shared ? platform::ToQString(stored[0][i]) : QString();
    }
    const QString name = nodes.size() == 1
                             ? platform::ToQString(collection::NodeName(tree.text(nodes.front())))
                             : TextOf(app_.texts().table(), TextId::SelectedFileCount) +
                                   QStringLiteral(": ") + QString::number(nodes.size());
    ItemTag window(app_.texts().table(), name, shown, window_);
    ExecModal(window);
    if (!window.confirmed())
        return;
    const ItemTag::Fields edited = window.fields();
    bool changedAny = false;
    for (std::size_t n = 0; n < nodes.size(); ++n) {
        tags::ItemTagFields fields;
        for (std::size_t i = 0; i < fields.size(); ++i)
            fields[i] = nodes.size() == 1 || edited[i] != shown[i]
                            ? platform::ToNodeBytes(edited[i])
                            : stored[n][i];
        const std::optional<std::string> changed = tags::ItemTagText(tree.text(nodes[n]), fields);
        if (!changed || *changed == tree.text(nodes[n]))
            continue;
        tree.setText(nodes[n], *changed);
        changedAny = true;
    }
    if (!changedAny)
        return;
    app_.store().setModified();
    views_.RefreshWindow();
    views_.SelectNode(nodes.front());
    views_.StateChanged();
}

void TagCommands::Register(CommandTable& table)
{
    TagCommands& commands = *this;
    table.Add({.id = Command::TagEditor,
               .text = TextId::TagEditorCommand,
               .shortcut = QKeySequence(Qt::CTRL | Qt::Key_T),
               .icon = ThemeIcon("document-edit", QStyle::SP_FileDialogDetailedView),
               .handler = [&commands](bool) { commands.OpenTagEditor(); }});
    table.Add({.id = Command::Tag,
               .text = TextId::TagInfoTitle,
               .shortcut = QKeySequence(Qt::Key_F4),
               .handler = [&commands](bool) { commands.EditItemTag(); }});
}

} // namespace velmora::gui
