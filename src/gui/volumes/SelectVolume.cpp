// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/volumes/SelectVolume.h"

#include "collection/NodeText.h"
#include "gui/dialogs/Messages.h"
#include "platform/QtText.h"
#include "scan/VolumeEditor.h"
#include "texts/TextIds.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velmora::gui {
namespace {
using texts::TextId;
} // namespace

SelectVolume::SelectVolume(collection::CollectionTree& tree, const texts::TextTable& texts,
                           scan::EditorUser& user, QWidget* parent)
    : QDialog(parent), tree_(tree), user_(user)
{
    setWindowTitle(TextOf(texts, TextId::DeleteVolumeCommand));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    list_ = new QTreeWidget(this);
    list_->setColumnCount(1);
    list_->setHeaderLabels({TextOf(texts, TextId::VolumeListTitle)});
    list_->setRootIsDecorated(false);
    // A double click acts as Ok.
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { TryAccept(); });
    // A handful of volumes: one check-list row each.
    for (collection::NodeId v = tree.firstChild(tree.root()); v != collection::kNoNode;
         v = tree.nextSibling(v)) {
        auto* item =
            new QTreeWidgetItem(list_, {platform::ToQString(collection::NodeName(tree.text(v)))});
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        volumes_.push_back(v);
    }
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(TextOf(texts, TextId::OkButton), QDialogButtonBox::AcceptRole)
        ->setDefault(true);
    buttons->addButton(TextOf(texts, TextId::CancelButton), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &SelectVolume::TryAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    resize(360, 360);
}

void SelectVolume::setChecked(int row, bool on)
{
    list_->topLevelItem(row)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
}

void SelectVolume::TryAccept()
{
    std::vector<collection::NodeId> checked;
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        if (list_->topLevelItem(row)->checkState(0) == Qt::Checked)
            checked.push_back(volumes_[static_cast<std::size_t>(row)]);
    }
    switch (scan::ConfirmVolumeList(tree_, checked, user_)) {
    case scan::VolumeListAnswer::StayOpen:
        return;
    case scan::VolumeListAnswer::Confirmed:
        accept();
        return;
    case scan::VolumeListAnswer::Cancelled:
        reject();
        return;
    }
}

} // namespace velmora::gui
