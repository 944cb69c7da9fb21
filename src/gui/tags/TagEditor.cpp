// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/tags/TagEditor.h"

#include "gui/dialogs/Messages.h"
#include "gui/dialogs/Mnemonics.h"
#include "gui/dialogs/UserDialogs.h"
#include "gui/tags/TagFields.h"
#include "platform/QtText.h"
#include "settings/Settings.h"
#include "system/FileSystem.h"
#include "system/Locale.h"
#include "system/Services.h"
#include "system/Volumes.h"
#include "tags/TagSeries.h"
#include "texts/TextIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <optional>

namespace velmora::gui {
namespace {

using texts::TextId;

constexpr int kPathRole = Qt::UserRole;
constexpr int kListedRole = Qt::UserRole + 1;

std::string Join(const std::string& folder, const std::string& name)
{
    return !folder.empty() && folder.back() == '/' ? folder + name : folder + '/' + name;
}

std::string PathOf(const QTreeWidgetItem* item)
{
    return item->data(0, kPathRole).toByteArray().toStdString();
}

/// Unselects the files the series changed and asks how to go on after a
/// failure.
class EditorSeries : public tags::SeriesUser {
public:
    EditorSeries(QListWidget* files, const std::vector<int>& rows,
                 std::function<bool(std::size_t, TextId)> goOn)
        : files_(files), rows_(rows), goOn_(std::move(goOn))
    {
    }

    void Changed(std::size_t index) override
    {
        files_->item(rows_[index])->setSelected(false);
        ++changed_;
    }
    bool GoOn(std::size_t index, TextId error) override { return goOn_(index, error); }

    /// The files changed so far.
    std::size_t changed() const { return changed_; }

private:
    QListWidget* files_;
    const std::vector<int>& rows_;
    std::function<bool(std::size_t, TextId)> goOn_;
    std::size_t changed_ = 0;
};

} // namespace

TagEditor::TagEditor(const Services& services, settings::Settings& settings,
                     const texts::TextTable& texts, UserDialogs& dialogs,
                     const QString& startFolder, QWidget* parent)
    : QDialog(parent), services_(services), settings_(settings), texts_(texts), dialogs_(dialogs),
      editor_(services.files, services.id3v2)
{
    editor_.SetReadId3v2(settings.readId3v2);
    setWindowTitle(TextOf(texts, TextId::TagEditorCommand));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* panels = new QHBoxLayout;
    panels->addWidget(SourcePanel(), 3);
    panels->addWidget(TagPanel(texts), 2);

    const TagButtons buttons = MakeTagButtons(texts, this);
    controls_.save = buttons.save;
    controls_.remove = buttons.remove;
    controls_.close = buttons.close;
    connect(controls_.save, &QPushButton::clicked, this, &TagEditor::Save);
    connect(controls_.remove, &QPushButton::clicked, this, &TagEditor::Remove);
    connect(controls_.close, &QPushButton::clicked, this, &QDialog::reject);
    controls_.status = new QLabel(this);
    buttons.row->insertWidget(0, controls_.status);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panels, 1);
    layout->addLayout(buttons.row);
    resize(760, 540);

    for (std::size_t i = 0; i < controls_.checks.size(); ++i)
        controls_.checks[i]->setChecked(settings_.tagField[i]);
    UpdateEnabling();
    AssignMnemonics(this);

    for (const VolumeInfo& volume : services_.volumes.list()) {
        const QString root = platform::NativePath(volume.root);
        const QString label = QString::fromStdString(volume.label);
        controls_.drives->addItem(
            label.isEmpty() ? root : root + QStringLiteral("  [") + label + u']', root);
    }
    const QString startRoot =
        platform::NativePath(services_.volumes.rootOf(platform::PathBytes(startFolder)));
    const int startDrive = std::max(0, controls_.drives->findData(startRoot));
    controls_.drives->setCurrentIndex(startDrive);
    ChooseDrive(startDrive);
    if (!startRoot.isEmpty())
        ChooseFolder(startFolder);
    connect(controls_.drives, &QComboBox::activated, this, &TagEditor::ChooseDrive);
    controls_.close->setFocus();
}

TagEditor::~TagEditor() = default;

QWidget* TagEditor::SourcePanel()
{
    auto* group = new QGroupBox(TextOf(texts_, TextId::SourceLabel), this);
    controls_.drives = new QComboBox(group);
    controls_.folders = new QTreeWidget(group);
    controls_.folders->setHeaderHidden(true);
    controls_.folders->setColumnCount(1);
    controls_.files = new QListWidget(group);
    controls_.files->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(controls_.folders, &QTreeWidget::itemExpanded, this, &TagEditor::ListSubfolders);
    connect(controls_.folders, &QTreeWidget::currentItemChanged, this, &TagEditor::FillFiles);
    connect(controls_.files, &QListWidget::currentRowChanged, this, &TagEditor::ShowCurrentFile);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(controls_.drives);
    layout->addWidget(controls_.folders, 3);
    layout->addWidget(controls_.files, 2);
    return group;
}

QWidget* TagEditor::TagPanel(const texts::TextTable& texts)
{
    auto* group = new QGroupBox(TextOf(texts, TextId::TagInfoTitle), this);
    auto* layout = new QVBoxLayout(group);
    for (std::size_t i = 0; i < controls_.checks.size(); ++i) {
        auto* check = new QCheckBox(TextOf(texts, texts::After(TextId::TitleColumn, i)), group);
        auto* field = new QLineEdit(group);
        field->setMaxLength(kFieldLengths[i]);
        DropControlCharacters(field);
        connect(check, &QCheckBox::clicked, this, &TagEditor::UpdateEnabling);
        connect(field, &QLineEdit::textEdited, this, [this, i] { typed_[i] = true; });
        layout->addWidget(check);
        layout->addWidget(field);
        controls_.checks[i] = check;
        controls_.fields[i] = field;
    }
    controls_.tagKinds = new QLabel(group);
    layout->addWidget(controls_.tagKinds);
    layout->addStretch(1);
    return group;
}

void TagEditor::UpdateEnabling()
{
    bool any = false;
    for (std::size_t i = 0; i < controls_.checks.size(); ++i) {
        const bool ticked = controls_.checks[i]->isChecked();
        controls_.fields[i]->setEnabled(ticked);
        any = any || ticked;
    }
    controls_.save->setEnabled(any);
    controls_.remove->setEnabled(true);
}

void TagEditor::ClearFields()
{
    for (QLineEdit* field : controls_.fields)
        field->clear();
    typed_.fill(false);
}

std::string TagEditor::CurrentPath() const
{
    const QListWidgetItem* current = controls_.files->currentItem();
    const QTreeWidgetItem* folder = controls_.folders->currentItem();
    if (current == nullptr || folder == nullptr)
        return {};
    return Join(PathOf(folder), current->data(kPathRole).toByteArray().toStdString());
}

void TagEditor::SetFieldLengths(bool id3v2)
{
    const std::array<int, 6>& lengths = id3v2 ? kId3v2FieldLengths : kFieldLengths;
    for (std::size_t i = 0; i < controls_.fields.size(); ++i) {
        QLineEdit* field = controls_.fields[i];
        // A shorter limit would cut the text there.
        field->setMaxLength(std::max(lengths[i], static_cast<int>(field->text().size())));
    }
}

void TagEditor::ShowTagKinds(const tags::BulkTagEditor::Shown& shown)
{
    if (!shown.exists) {
        controls_.tagKinds->clear();
        return;
    }
    const std::string kinds = tags::TagKindsText(shown.id3v1, shown.id3v2Version);
    controls_.tagKinds->setText(
        TextOf(texts_, TextId::TagsInFile) + QStringLiteral(": ") +
        (kinds.empty() ? TextOf(texts_, TextId::NoTags) : QString::fromStdString(kinds)));
}

void TagEditor::ChooseDrive(int index)
{
    controls_.files->clear();
    controls_.folders->clear();
    const QString root = controls_.drives->itemData(index).toString();
    if (root.isEmpty() || DriveLabel(services_.volumes, platform::PathBytes(root)) == kNoDiscLabel)
        return;
    auto* item = new QTreeWidgetItem(controls_.folders, QStringList(root));
    item->setData(0, kPathRole, QFile::encodeName(root));
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    controls_.folders->setCurrentItem(item);
    item->setExpanded(true);
}

void TagEditor::ListSubfolders(QTreeWidgetItem* item)
{
    if (item->data(0, kListedRole).toBool())
        return;
    item->setData(0, kListedRole, true);
    const std::string path = PathOf(item);
    std::vector<FolderEntry> entries;
    // A folder that cannot be read shows no subfolders.
    if (!services_.files.listFolder(path, entries))
        entries.clear();
    std::vector<std::string> names;
    for (FolderEntry& entry : entries) {
        if (entry.kind == FolderEntry::Kind::Folder && !entry.hidden)
            names.push_back(std::move(entry.name));
    }
    const Locale& locale = services_.locale;
    std::sort(names.begin(), names.end(), [&locale](const std::string& a, const std::string& b) {
        const int order = locale.compareIgnoreCase(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    for (const std::string& name : names) {
        auto* child = new QTreeWidgetItem(item, QStringList(platform::NativePath(name)));
        child->setData(0, kPathRole, QByteArray::fromStdString(Join(path, name)));
        child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

bool TagEditor::ChooseFolder(const QString& folder)
{
    QTreeWidgetItem* item = controls_.folders->topLevelItem(0);
    if (item == nullptr)
        return false;
    const std::string target = platform::PathBytes(folder);
    while (PathOf(item) != target) {
        ListSubfolders(item);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < item->childCount() && next == nullptr; ++i) {
            const std::string path = PathOf(item->child(i));
            if (target == path || target.starts_with(path + '/'))
                next = item->child(i);
        }
        if (next == nullptr)
            return false;
        item->setExpanded(true);
        item = next;
    }
    controls_.folders->setCurrentItem(item);
    controls_.folders->scrollToItem(item);
    return true;
}

QString TagEditor::currentFolder() const
{
    const QTreeWidgetItem* item = controls_.folders->currentItem();
    return item == nullptr ? QString() : platform::NativePath(PathOf(item));
}

void TagEditor::FillFiles()
{
    controls_.files->clear();
    ClearFields();
    controls_.tagKinds->clear();
    const QTreeWidgetItem* item = controls_.folders->currentItem();
    if (item == nullptr)
        return;
    std::vector<FolderEntry> entries;
    // A folder that cannot be read shows no files.
    if (!services_.files.listFolder(PathOf(item), entries))
        entries.clear();
    std::vector<std::string> names;
    for (FolderEntry& entry : entries) {
        if (entry.kind == FolderEntry::Kind::File && tags::MatchesTagEditorMask(entry.name))
            names.push_back(std::move(entry.name));
    }
    const Locale& locale = services_.locale;
    std::sort(names.begin(), names.end(), [&locale](const std::string& a, const std::string& b) {
        const int order = locale.compareIgnoreCase(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    const QSignalBlocker quiet(controls_.files);
    for (const std::string& name : names) {
        auto* file = new QListWidgetItem(platform::NativePath(name), controls_.files);
        file->setData(kPathRole, QByteArray::fromStdString(name));
    }
}

void TagEditor::ShowCurrentFile()
{
    ReadCurrentFile(true);
}

void TagEditor::ReadCurrentFile(bool tellNotValid)
{
    ClearFields();
    const std::string path = CurrentPath();
    // What the fields show of a file: ShownFields of its analysis.
    const tags::BulkTagEditor::Shown shown =
        path.empty() ? tags::BulkTagEditor::Shown() : editor_.Show(path);
    ShowTagKinds(shown);
    SetFieldLengths(shown.id3v2Version > 0);
    if (!shown.exists)
        return;
    if (!shown.valid && tellNotValid)
        dialogs_.Message(ErrorMessage(texts_, TextId::FileNotValid, platform::NativePath(path)));
    for (std::size_t i = 0; i < controls_.fields.size(); ++i)
        controls_.fields[i]->setText(platform::ToQString(shown.fields[i]));
}

std::vector<int> TagEditor::SelectedRows() const
{
    std::vector<int> rows;
    for (int row = 0; row < controls_.files->count(); ++row) {
        if (controls_.files->item(row)->isSelected())
            rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> TagEditor::PathsOf(const std::vector<int>& rows) const
{
    std::vector<std::string> paths;
    const QTreeWidgetItem* folder = controls_.folders->currentItem();
    if (folder == nullptr)
        return paths;
    const std::string base = PathOf(folder);
    for (const int row : rows)
        paths.push_back(
            Join(base, controls_.files->item(row)->data(kPathRole).toByteArray().toStdString()));
    return paths;
}

bool TagEditor::GoOnAfter(TextId error, const std::string& path)
{
    MessageRequest request = ErrorMessage(texts_, error, platform::NativePath(path));
    request.button2 = TextOf(texts_, TextId::CancelButton);
    request.escapeButton = 2;
    return dialogs_.Message(request) == 1;
}

void TagEditor::ShowChangedCount(std::size_t count)
{
    controls_.status->setText(TextOf(texts_, TextId::ChangedFileCount) + QStringLiteral(": ") +
                              QString::number(count));
}

bool TagEditor::MayOverwrite(const std::vector<std::string>& paths,
                             const std::array<bool, 6>& asked)
{
    if (paths.size() < 2 || std::none_of(asked.begin(), asked.end(), std::identity()))
        return true;
    const std::array<bool, 6> differing = editor_.DifferingFields(paths, asked);
    QStringList names;
    for (std::size_t i = 0; i < differing.size(); ++i) {
        if (differing[i])
            names << TextOf(texts_, texts::After(TextId::TitleColumn, i));
    }
    if (names.isEmpty())
        return true;
    MessageRequest question = Question(texts_, TextId::DifferingFields, false, 2);
    const QString lineBreak = QStringLiteral("\r\n");
    question.text = MessageText(texts_, TextId::DifferingFields, names.join(QStringLiteral(", "))) +
                    lineBreak + TextOf(texts_, TextId::SelectedFileCount) + QStringLiteral(": ") +
                    QString::number(paths.size()) + lineBreak +
                    TextOf(texts_, TextId::AskOverwriteThem);
    return dialogs_.Message(question) == 1;
}

void TagEditor::Save()
{
    std::array<std::optional<std::string>, 6> values;
    std::array<bool, 6> asked{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (controls_.checks[i]->isChecked()) {
            values[i] = platform::ToNodeBytes(controls_.fields[i]->text());
            asked[i] = !typed_[i];
        }
    }
    const tags::TagChanges changes{values[0], values[1], values[2],
                                   values[3], values[4], values[5]};
    const std::vector<int> rows = SelectedRows();
    const std::vector<std::string> paths = PathsOf(rows);
    if (!MayOverwrite(paths, asked))
        return;
    EditorSeries series(controls_.files, rows, [this, &paths](std::size_t index, TextId error) {
        return GoOnAfter(error, paths[index]);
    });
    // Every failure has been shown to the user on the way (GoOnAfter).
    static_cast<void>(tags::WriteSeries(editor_, paths, changes, series));
    ShowChangedCount(series.changed());
    // The fields keep what was written; a file that had no ID3v1 tag has one now.
    if (const std::string current = CurrentPath(); !current.empty())
        ShowTagKinds(editor_.Show(current));
}

std::optional<tags::TagParts> TagEditor::PartsToRemove(const std::vector<std::string>& paths)
{
    // Without a writer the ID3v2 tags stay whatever the answer.
    if (services_.id3v2 == nullptr ||
        std::none_of(paths.begin(), paths.end(),
                     [this](const std::string& path) { return editor_.Id3v2VersionOf(path) > 0; }))
        return tags::TagParts::Id3v1;
    // No is the default: an ID3v2 tag may hold more than the fields show.
    switch (dialogs_.Message(Question(texts_, TextId::AskRemoveId3v2, true, 2))) {
    case 1:
        return tags::TagParts::Both;
    case 2:
        return tags::TagParts::Id3v1;
    default:
        return std::nullopt;
    }
}

void TagEditor::Remove()
{
    const std::vector<int> rows = SelectedRows();
    const std::vector<std::string> paths = PathsOf(rows);
    const std::optional<tags::TagParts> parts = PartsToRemove(paths);
    if (!parts)
        return;
    EditorSeries series(controls_.files, rows, [this, &paths](std::size_t index, TextId error) {
        return GoOnAfter(error, paths[index]);
    });
    // Every failure has been shown to the user on the way (GoOnAfter).
    static_cast<void>(tags::RemoveSeries(editor_, paths, series, *parts));
    ShowChangedCount(series.changed());
    // The current file may have lost one tag and still show the texts of the other.
    ReadCurrentFile(false);
}

void TagEditor::done(int result)
{
    for (std::size_t i = 0; i < controls_.checks.size(); ++i)
        settings_.tagField[i] = controls_.checks[i]->isChecked();
    QDialog::done(result);
}

} // namespace velmora::gui
