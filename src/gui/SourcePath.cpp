#include "gui/SourcePath.h"

#include "gui/Messages.h"
#include "gui/UserDialogs.h"
#include "system/Volumes.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileSystemModel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace velmora::gui {
namespace {
constexpr std::size_t kCannotReadDrive = 98;
constexpr std::size_t kOk = 54;
constexpr std::size_t kCancel = 57;
} // namespace

SourcePath::SourcePath(const QString& caption, const Volumes& volumes,
                       const texts::TextTable& texts, UserDialogs& dialogs, QWidget* parent)
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
    tree_ = new QTreeView(this);
    tree_->setModel(folders_);
    tree_->setHeaderHidden(true);
    for (int column = 1; column < folders_->columnCount(); ++column)
        tree_->hideColumn(column);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(TextOf(texts, kOk), QDialogButtonBox::AcceptRole);
    buttons->addButton(TextOf(texts, kCancel), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &SourcePath::TryAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(drives_, &QComboBox::currentIndexChanged, this, &SourcePath::ShowVolume);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(drives_);
    layout->addWidget(tree_, 1);
    layout->addWidget(buttons);
    resize(420, 460);
    ShowVolume(drives_->currentIndex());
}

void SourcePath::ShowVolume(int index)
{
    const QString root = drives_->itemData(index).toString();
    if (root.isEmpty())
        return;
    folders_->setRootPath(root);
    tree_->setRootIndex(folders_->index(root));
}

QString SourcePath::chosenPath() const
{
    const QModelIndex selected = tree_->currentIndex();
    if (selected.isValid())
        return folders_->filePath(selected);
    return drives_->currentData().toString();
}

void SourcePath::TryAccept()
{
    const QString path = chosenPath();
    choice_ = scan::ReadSource(volumes_, QFile::encodeName(path).toStdString());
    if (!choice_) {
        dialogs_.Message(ErrorMessage(texts_, kCannotReadDrive));
        return;
    }
    accept();
}

} // namespace velmora::gui
