// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/volumes/VolumeCommands.h"

#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "gui/app/Application.h"
#include "gui/app/CollectionViews.h"
#include "gui/app/CommandTable.h"
#include "gui/app/Icons.h"
#include "gui/collection/CollectionCommands.h"
#include "gui/dialogs/Messages.h"
#include "gui/dialogs/ModalFocus.h"
#include "gui/dialogs/UserDialogs.h"
#include "gui/dialogs/WaitWindow.h"
#include "gui/volumes/ScanDialog.h"
#include "gui/volumes/SelectVolume.h"
#include "gui/volumes/SourcePath.h"
#include "platform/QtText.h"
#include "scan/Sorting.h"
#include "system/FileSystem.h"
#include "system/Services.h"
#include "system/Volumes.h"
#include "texts/ActiveTexts.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <QFile>
#include <QFileInfo>
#include <limits>

namespace velmora::gui {
namespace {
using texts::TextId;

// The folder a volume was scanned from, on a mounted volume that has its
// serial or, failing that, its label; empty when no such folder exists.
QString OwnFolder(std::string_view volumeText, const Volumes& volumes, const FileSystem& files)
{
    constexpr std::int64_t kNoSerial = std::numeric_limits<std::int64_t>::min();
    collection::Numbers numbers{};
    numbers[collection::kSerial] = kNoSerial;
    collection::ReadNumbers(volumeText, numbers);
    const std::string_view name = collection::NodeName(volumeText);
    const std::string_view label = name.substr(0, name.find('\\'));
    const std::string_view folderPart = collection::PathAfterDrive(name);
    for (const bool bySerial : {true, false}) {
        for (const VolumeInfo& drive : volumes.list()) {
            std::string driveLabel;
            std::uint32_t serial = 0;
            if (!volumes.info(drive.root, driveLabel, serial))
                continue;
            const bool same =
                bySerial ? numbers[collection::kSerial] != kNoSerial &&
                               static_cast<std::int32_t>(serial) == numbers[collection::kSerial]
                         : !label.empty() && driveLabel == label;
            const std::string path = scan::SourcePathOf(drive.root, folderPart);
            if (same && files.folderExists(path))
                return QFile::decodeName(QByteArray::fromStdString(path));
        }
    }
    return QString();
}

// The volume that holds `node`; kNoNode for none or the collection node.
collection::NodeId VolumeOf(const collection::CollectionTree& tree, collection::NodeId node)
{
    if (node == collection::kNoNode || tree.level(node) < 1)
        return collection::kNoNode;
    while (tree.level(node) > 1)
        node = tree.parent(node);
    return node;
}

// Whether `path` is the root of a mounted volume that has a label: such a
// source is named by the label and needs none from the user.
bool IsLabelledRoot(const Volumes& volumes, const std::string& path)
{
    const std::string root = volumes.rootOf(path);
    std::string label;
    std::uint32_t serial = 0;
    return !root.empty() && scan::FolderPartOf(root, path).empty() &&
           volumes.info(root, label, serial) && !scan::CleanLabel(label).empty();
}
} // namespace

VolumeCommands::VolumeCommands(const FeatureContext& context)
    : store_(context.app.store()), services_(context.app.services()),
      settings_(context.app.settings()), currentNode_(context.currentNode),
      texts_(context.app.texts()), dialogs_(context.app.dialogs()), wait_(context.wait),
      views_(context.views), window_(context.window), lastSource_(context.app.folders().lastSource)
{
    editor_ = std::make_unique<scan::VolumeEditor>(store_, *this, services_);
}

VolumeCommands::~VolumeCommands() = default;

template <typename Command> auto VolumeCommands::Run(Command command)
{
    detached_ = false;
    select_ = collection::kNoNode;
    const auto result = command();
    wait_.Close();
    // Whatever the command did to the tree (a cancelled scan removes its
    // half-built volume without a rebuild), views that let go are rebuilt.
    if (detached_) {
        detached_ = false;
        views_.RebuildViewTree();
        views_.RefreshWindow();
    }
    views_.StateChanged();
    if (select_ != collection::kNoNode)
        views_.SelectNode(select_);
    return result;
}

void VolumeCommands::Detach()
{
    if (detached_)
        return;
    views_.DetachViews();
    detached_ = true;
}

scan::EditOutcome VolumeCommands::Add()
{
    return Run([this] { return editor_->AddVolume(); });
}

scan::EditOutcome VolumeCommands::AddFrom(const QString& folder)
{
    given_ = folder;
    const scan::EditOutcome outcome = Add();
    given_.clear();
    return outcome;
}

scan::EditOutcome VolumeCommands::Update(collection::NodeId volume)
{
    updating_ = volume;
    const scan::EditOutcome outcome = Run([this, volume] { return editor_->UpdateVolume(volume); });
    updating_ = collection::kNoNode;
    return outcome;
}

scan::EditOutcome VolumeCommands::DeleteFromList()
{
    return Run([this] { return editor_->DeleteVolumes(); });
}

scan::EditOutcome VolumeCommands::Delete(collection::NodeId volume)
{
    return Run([this, volume] { return editor_->DeleteVolume(volume); });
}

scan::EditOutcome VolumeCommands::Rename(collection::NodeId volume)
{
    return Run([this, volume] { return editor_->RenameLabel(volume); });
}

bool VolumeCommands::SortAll()
{
    return Run([this] { return scan::SortCollection(store_, services_.locale, *this); });
}

scan::Answer VolumeCommands::Ask(texts::TextId text, scan::Answer defaultAnswer, bool offerCancel)
{
    return AskAbout(text, {}, defaultAnswer, offerCancel);
}

scan::Answer VolumeCommands::AskAbout(texts::TextId text, std::span<const scan::DetailLine> details,
                                      scan::Answer defaultAnswer, bool offerCancel)
{
    const int defaultButton = defaultAnswer == scan::Answer::Yes  ? 1
                              : defaultAnswer == scan::Answer::No ? 2
                                                                  : 3;
    MessageRequest request = Question(texts_.table(), text, offerCancel, defaultButton);
    if (!details.empty())
        request.text = platform::ToQString(scan::QuestionText(texts_.table(), text, details));
    switch (dialogs_.Message(request)) {
    case 1:
        return scan::Answer::Yes;
    case 2:
        return scan::Answer::No;
    default:
        return offerCancel ? scan::Answer::Cancel : scan::Answer::No;
    }
}

void VolumeCommands::Tell(texts::TextId text, std::string_view path, scan::MessageKind kind)
{
    // A message in the middle of a step closes the wait window and opens it
    // again afterwards.
    const bool waiting = wait_.isOpen();
    const QString title = wait_.title();
    wait_.Close();
    MessageRequest request = kind == scan::MessageKind::Error ? ErrorMessage(texts_.table(), text)
                             : kind == scan::MessageKind::Warning
                                 ? WarningMessage(texts_.table(), text)
                                 : InformationMessage(texts_.table(), text);
    request.text = platform::ToQString(scan::MessageText(texts_.table(), text, path));
    dialogs_.Message(request);
    if (waiting)
        wait_.Show(title);
}

void VolumeCommands::ShowWait(texts::TextId titleText)
{
    // The wait window paints the main window too: the views let go first.
    Detach();
    wait_.Show(TextOf(texts_.table(), titleText));
}

void VolumeCommands::SetWaitText(texts::TextId stepText)
{
    wait_.SetText(platform::ToQString(texts_.table().Step(stepText)));
}

void VolumeCommands::CloseWait()
{
    wait_.Close();
}

void VolumeCommands::RunStep(const std::function<void()>& step)
{
    // The views let go of the tree when the wait window opened; the step
    // runs on a worker behind the same window, which shows its title and
    // text.
    Detach();
    const QString title = wait_.title();
    const QString text = wait_.text();
    wait_.Run(title, text, [&step](ProgressState&) { step(); });
    wait_.Show(title);
    wait_.SetText(text);
}

void VolumeCommands::RebuildViews()
{
    views_.RebuildViewTree();
    detached_ = false;
}

void VolumeCommands::RefreshViews()
{
    views_.RefreshWindow();
    views_.StateChanged();
}

void VolumeCommands::SelectNode(collection::NodeId node)
{
    select_ = node;
}

void VolumeCommands::NodeRenamed(collection::NodeId node)
{
    views_.NodeRenamed(node);
}

std::optional<scan::SourceChoice> VolumeCommands::ChooseSource(texts::TextId captionText)
{
    if (!given_.isEmpty()) {
        std::optional<scan::SourceChoice> choice =
            scan::ReadSource(services_.volumes, QFile::encodeName(given_).toStdString());
        if (!choice) {
            dialogs_.Message(ErrorMessage(texts_.table(), TextId::CannotReadDrive));
            return std::nullopt;
        }
        lastSource_ = given_;
        if (captionText == TextId::AddVolumeCommand && !OfferLabel(*choice))
            return std::nullopt;
        return choice;
    }
    // Update starts at its volume's own folder, Add at the selected volume's,
    // when it is mounted; otherwise the dialog starts at the folder chosen
    // last.
    const collection::NodeId volume =
        updating_ != collection::kNoNode ? updating_ : VolumeOf(store_.tree(), currentNode_());
    QString start = volume == collection::kNoNode
                        ? QString()
                        : OwnFolder(store_.tree().text(volume), services_.volumes, services_.files);
    if (start.isEmpty())
        start = lastSource_;
    SourcePath dialog(TextOf(texts_.table(), captionText), services_.volumes, texts_.table(),
                      dialogs_, window_, start);
    if (ExecModal(dialog) != QDialog::Accepted || !dialog.choice())
        return std::nullopt;
    scan::SourceChoice choice = *dialog.choice();
    lastSource_ = QFile::decodeName(QByteArray::fromStdString(choice.path));
    if (captionText == TextId::AddVolumeCommand && !OfferLabel(choice))
        return std::nullopt;
    return choice;
}

bool VolumeCommands::OfferLabel(scan::SourceChoice& choice)
{
    if (IsLabelledRoot(services_.volumes, choice.path))
        return true;
    QString value = QFileInfo(QFile::decodeName(QByteArray::fromStdString(choice.path))).fileName();
    const TextRequest request{TextOf(texts_.table(), TextId::AddVolumeCommand),
                              TextOf(texts_.table(), TextId::DriveLabelLabel) + u':',
                              TextOf(texts_.table(), TextId::OkButton),
                              TextOf(texts_.table(), TextId::CancelButton)};
    if (!dialogs_.TextInput(request, value))
        return false;
    // A blank answer leaves the volume named after its path.
    const std::string label = platform::ToNodeBytes(value);
    if (!scan::CleanLabel(label).empty()) {
        choice.volumeName = scan::CleanLabel(label);
        choice.label = label;
    }
    return true;
}

bool VolumeCommands::ChooseVolumesToDelete(collection::CollectionTree& tree)
{
    SelectVolume dialog(tree, texts_.table(), *this, window_);
    return ExecModal(dialog) == QDialog::Accepted;
}

std::string VolumeCommands::AskLabel(std::string_view name, std::string_view label)
{
    QString value = platform::ToQString(label);
    // The prompt is VolumeLabel followed by ": " and the volume's name.
    const TextRequest request{TextOf(texts_.table(), TextId::RenameLabelCommand),
                              TextOf(texts_.table(), TextId::VolumeLabel) + QStringLiteral(": ") +
                                  platform::ToQString(name),
                              TextOf(texts_.table(), TextId::OkButton),
                              TextOf(texts_.table(), TextId::CancelButton)};
    if (!dialogs_.TextInput(request, value))
        return std::string(label);
    return platform::ToNodeBytes(value);
}

bool VolumeCommands::RunScan(collection::CollectionTree& tree, const scan::ScanRequest& request)
{
    Detach();
    scan::ScanRequest chosen = request;
    chosen.readId3v2 = settings_.readId3v2;
    ScanDialog dialog(tree, services_, chosen, texts_.table(), window_);
    const bool finished = dialog.Run();
    if (finished && dialog.outcome().warning)
        dialogs_.Message(WarningMessage(texts_.table(), TextId::NotAllFoldersReadable));
    return finished;
}

void VolumeCommands::Register(CommandTable& table)
{
    VolumeCommands& commands = *this;
    const auto& currentNode = currentNode_;
    table.Add({.id = Command::Add,
               .text = TextId::AddVolumeCommand,
               .shortcut = QKeySequence(Qt::CTRL | Qt::Key_A),
               .icon = ThemeIcon("list-add", QStyle::SP_FileDialogNewFolder),
               .handler = [&commands](bool) { commands.Add(); }});
    table.Add({.id = Command::Delete,
               .text = TextId::DeleteVolumeCommand,
               .icon = ThemeIcon("list-remove", QStyle::SP_TrashIcon),
               .enabledWhen = rules::HasVolumes,
               .handler = [&commands](bool) { commands.DeleteFromList(); }});
    table.Add({.id = Command::Sort,
               .text = TextId::SortAllCommand,
               .icon = ThemeIcon("view-sort-ascending", QStyle::SP_ArrowUp),
               .enabledWhen = rules::HasVolumes,
               .handler = [&commands](bool) { commands.SortAll(); }});
    table.Add({.id = Command::Update,
               .text = TextId::UpdateVolumeCommand,
               .handler = [&commands, currentNode](bool) { commands.Update(currentNode()); }});
    table.Add({.id = Command::DeleteThis,
               .text = TextId::DeleteVolumeCommand,
               .handler = [&commands, currentNode](bool) { commands.Delete(currentNode()); }});
    table.Add({.id = Command::Rename,
               .text = TextId::RenameLabelCommand,
               .handler = [&commands, currentNode](bool) { commands.Rename(currentNode()); }});
}

} // namespace velmora::gui
