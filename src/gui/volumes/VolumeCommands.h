// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/app/Feature.h"
#include "scan/VolumeEditor.h"
#include "settings/Settings.h"
#include "system/Services.h"

#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace velmora::collection {
class CollectionStore;
}
namespace velmora::texts {
class ActiveTexts;
}

namespace velmora::gui {

class Application;
class CollectionViews;
class CommandTable;
class Icons;
class UserDialogs;
class WaitWindow;

/// The volume commands of the desktop (Add, Update, Delete through the
/// volume list, Delete, Rename label, Sort all): the core's VolumeEditor and
/// SortCollection, answered with the program's windows. Questions and
/// messages go through UserDialogs, the wait window shows the steps, the
/// scan runs in the ScanDialog, the source in SourcePath and the volume list
/// in SelectVolume. Before anything changes the tree the views let go of it;
/// after every command they are built again.
///
/// The scans follow the choices of the application's settings (whether files
/// without an ID3v1 tag take their texts from an ID3v2 tag).
///
/// The source dialog starts at the volume's own folder (Update), at the
/// selected volume's folder (Add), when it is mounted, or else at the folder
/// chosen last in the session. Add offers a label for a source that is not
/// the root of a labelled volume, pre-filled with the folder's name: the
/// folder is then scanned as a volume of that name (see
/// scan::SourceChoice::label); Cancel stops the Add, a blank answer names
/// the volume after its path.
class VolumeCommands : public Feature, public scan::VolumeEditorUser {
public:
    /// The texts are read from the active table whenever a dialog or message
    /// is shown.
    explicit VolumeCommands(const FeatureContext& context);
    ~VolumeCommands() override;

    /// Add volume, Delete volume (through the volume list) and Sort all, both
    /// enabled while the collection holds volumes, and the context menu's
    /// Update volume, Delete volume and Rename label, which work on the
    /// current node.
    void Register(CommandTable& table) override;

    scan::EditOutcome Add();
    /// Add for a folder given beforehand (dropped on the window): the same
    /// flow, its questions and label offer included, without the source
    /// dialog.
    scan::EditOutcome AddFrom(const QString& folder);
    scan::EditOutcome Update(collection::NodeId volume);
    scan::EditOutcome DeleteFromList();
    scan::EditOutcome Delete(collection::NodeId volume);
    scan::EditOutcome Rename(collection::NodeId volume);
    bool SortAll();

    // scan::VolumeEditorUser
    scan::Answer Ask(texts::TextId text, scan::Answer defaultAnswer, bool offerCancel) override;
    scan::Answer AskAbout(texts::TextId text, std::span<const scan::DetailLine> details,
                          scan::Answer defaultAnswer, bool offerCancel) override;
    void Tell(texts::TextId text, std::string_view path, scan::MessageKind kind) override;
    void ShowWait(texts::TextId titleText) override;
    void SetWaitText(texts::TextId stepText) override;
    void CloseWait() override;
    void RunStep(const std::function<void()>& step) override;
    void RebuildViews() override;
    void RefreshViews() override;
    void SelectNode(collection::NodeId node) override;
    void NodeRenamed(collection::NodeId node) override;
    std::optional<scan::SourceChoice> ChooseSource(texts::TextId captionText) override;
    bool ChooseVolumesToDelete(collection::CollectionTree& tree) override;
    std::string AskLabel(std::string_view name, std::string_view label) override;
    bool RunScan(collection::CollectionTree& tree, const scan::ScanRequest& request) override;

private:
    template <typename Command> auto Run(Command command);
    void Detach();
    /// Add's label question for `choice`; false when it was cancelled.
    bool OfferLabel(scan::SourceChoice& choice);

    collection::CollectionStore& store_;
    Services services_;
    const settings::Settings& settings_;
    std::function<collection::NodeId()> currentNode_;
    const texts::ActiveTexts& texts_;
    UserDialogs& dialogs_;
    WaitWindow& wait_;
    CollectionViews& views_;
    QWidget* window_;
    QString& lastSource_;
    std::unique_ptr<scan::VolumeEditor> editor_;
    bool detached_ = false;
    collection::NodeId select_ = collection::kNoNode;
    collection::NodeId updating_ = collection::kNoNode; ///< the volume Update runs on
    QString given_; ///< the source of AddFrom(), chosen without the dialog
};

} // namespace velmora::gui
