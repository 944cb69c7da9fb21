// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/volumes/SourcePath.h"

#include "gui/dialogs/Messages.h"
#include "gui/dialogs/UserDialogs.h"
#include "system/Volumes.h"
#include "texts/TextIds.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileSystemModel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace velmora::gui {
namespace {
using texts::TextId;

QString WithSlash(const QString& path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}

// The folders of one volume under a row of their own: the tree's root is the
// volume root's parent, of which only the root and the folders on the way to
// it pass, so the root can be chosen like any of its folders.
class VolumeFolders : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void SetRoot(const QString& root)
    {
        root_ = WithSlash(root);
        invalidateRowsFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        const auto* folders = static_cast<const QFileSystemModel*>(sourceModel());
        const QString path = WithSlash(folders->filePath(folders->index(row, 0, parent)));
        return path.startsWith(root_) || root_.startsWith(path);
    }

private:
    QString root_ = QStringLiteral("/");
};
} // namespace

SourcePath::SourcePath(const QString& caption, const Volumes& volumes,
                       const texts::TextTable& texts, UserDialogs& dialogs, QWidget* parent,
                       const QString& startFolder)
    : QDialog(parent), volumes_(volumes), texts_(texts), dialogs_(dialogs)
{
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    drives_ = new QComboBox(this);
    for (const VolumeInfo& volume : volumes.list()) {
        const QString root = QFile::decodeName(QByteArray::fromStdString(volume.root));
        const QString label = QString::fromStdString(volume.label);
        drives_->addItem(label.isEmpty() ? root : root + QStringLiteral("  [") + label + u']',
                         root);
    }
    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::Dirs | QDir::NoDotAndDotDot);
    folders_->setReadOnly(true);
    volumeFolders_ = new VolumeFolders(this);
    volumeFolders_->setSourceModel(folders_);
    tree_ = new QTreeView(this);
    tree_->setModel(volumeFolders_);
    tree_->setHeaderHidden(true);
    for (int column = 1; column < folders_->columnCount(); ++column)
        tree_->hideColumn(column);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(TextOf(texts, TextId::OkButton), QDialogButtonBox::AcceptRole);
    buttons->addButton(TextOf(texts, TextId::CancelButton), QDialogButtonBox::RejectRole);
    ok_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &SourcePath::TryAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(drives_, &QComboBox::currentIndexChanged, this, &SourcePath::ShowVolume);
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &SourcePath::UpdateOk);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(drives_);
    layout->addWidget(tree_, 1);
    layout->addWidget(buttons);
    resize(420, 460);
    const QString startRoot =
        startFolder.isEmpty() ? QString()
                              : QFile::decodeName(QByteArray::fromStdString(
                                    volumes.rootOf(QFile::encodeName(startFolder).toStdString())));
    const int startDrive = startRoot.isEmpty() ? -1 : drives_->findData(startRoot);
    // A change of the drive shows its volume; the first one is shown here.
    if (startDrive > 0)
        drives_->setCurrentIndex(startDrive);
    else
        ShowVolume(drives_->currentIndex());
    if (startDrive >= 0)
        ChooseFolder(startFolder);
    UpdateOk();
}

void SourcePath::ShowVolume(int index)
{
    tree_->setCurrentIndex(QModelIndex());
    const QString root = drives_->itemData(index).toString();
    if (root.isEmpty())
        return;
    folders_->setRootPath(root);
    static_cast<VolumeFolders*>(volumeFolders_)->SetRoot(root);
    const QModelIndex shown = volumeFolders_->mapFromSource(folders_->index(root));
    tree_->setRootIndex(shown.parent());
    tree_->expand(shown);
}

void SourcePath::ChooseFolder(const QString& path)
{
    const QModelIndex folder = volumeFolders_->mapFromSource(folders_->index(path));
    if (!folder.isValid())
        return;
    tree_->setCurrentIndex(folder);
    tree_->scrollTo(folder);
}

void SourcePath::UpdateOk()
{
    ok_->setEnabled(!chosenPath().isEmpty());
}

QString SourcePath::chosenPath() const
{
    const QModelIndex chosen = tree_->currentIndex();
    if (!chosen.isValid())
        return QString();
    return folders_->filePath(volumeFolders_->mapToSource(chosen));
}

void SourcePath::TryAccept()
{
    const QString path = chosenPath();
    if (path.isEmpty())
        return;
    choice_ = scan::ReadSource(volumes_, QFile::encodeName(path).toStdString());
    if (!choice_) {
        dialogs_.Message(ErrorMessage(texts_, TextId::CannotReadDrive));
        return;
    }
    accept();
}

} // namespace velmora::gui
