// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/tags/TagCommands.h"

#include "collection/NodeText.h"
#include "gui/app/Application.h"
#include "gui/app/CollectionViews.h"
#include "gui/app/CommandTable.h"
#include "gui/collection/CollectionCommands.h"
#include "gui/tags/ItemTag.h"
#include "gui/tags/TagEditor.h"
#include "platform/QtText.h"
#include "tags/ItemTag.h"
#include "texts/TextIds.h"

#include <QDir>

namespace velmora::gui {

using texts::TextId;

TagCommands::TagCommands(const FeatureContext& context)
    : app_(context.app), views_(context.views), currentNode_(context.currentNode),
      window_(context.window)
{
}

void TagCommands::OpenTagEditor(const QString& startFolder)
{
    TagEditor editor(app_.services(), app_.settings(), app_.texts().table(), app_.dialogs(),
                     startFolder.isEmpty() ? QDir::currentPath() : startFolder, window_);
    editor.exec();
}

void TagCommands::EditItemTag()
{
    const collection::NodeId node = currentNode_();
    collection::CollectionTree& tree = app_.store().tree();
    if (node == collection::kNoNode || tree.hasChildren(node))
        return;
    const std::string_view text = tree.text(node);
    collection::Tags stored;
    collection::ReadTags(text, stored);
    ItemTag::Fields shown;
    for (std::size_t i = 0; i < shown.size(); ++i)
        shown[i] = platform::ToQString(stored[i]);
    ItemTag window(app_.texts().table(), platform::ToQString(collection::NodeName(text)), shown,
                   window_);
    window.exec();
    if (!window.confirmed())
        return;
    const ItemTag::Fields edited = window.fields();
    tags::ItemTagFields fields;
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i] = platform::ToNodeBytes(edited[i]);
    const std::optional<std::string> changed = tags::ItemTagText(text, fields);
    if (!changed)
        return;
    tree.setText(node, *changed);
    app_.store().setModified();
    views_.RefreshWindow();
    views_.SelectNode(node);
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
