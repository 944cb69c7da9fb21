// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/options/Options.h"

#include "gui/dialogs/Messages.h"
#include "gui/dialogs/Mnemonics.h"
#include "platform/QtText.h"
#include "system/FileSystem.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::gui {

using texts::TextId;

namespace {

// The language name is on the first line; a pack's first line is short.
constexpr std::size_t kLanguageNameBytes = 4096;
constexpr int kVisiblePacks = 12;

QCheckBox* CheckBox(const texts::TextTable& texts, TextId text, bool checked, QWidget* parent)
{
    auto* box = new QCheckBox(TextOf(texts, text), parent);
    box->setChecked(checked);
    return box;
}

} // namespace

Options::Options(const texts::TextTable& texts, const settings::Settings& settings,
                 std::vector<texts::PackFile> packs, const FileSystem& files, QWidget* parent)
    : QDialog(parent), settings_(settings), packs_(std::move(packs)), files_(files)
{
    setWindowTitle(TextOf(texts, TextId::OptionsCommand));

    auto* general = new QGroupBox(TextOf(texts, TextId::GeneralSettingsGroup), this);
    controls_.autoBackup =
        CheckBox(texts, TextId::BackupOldCollections, settings.autoBackup, general);
    controls_.readId3v2 = CheckBox(texts, TextId::ReadId3v2Tags, settings.readId3v2, general);
    auto* generalLayout = new QVBoxLayout(general);
    generalLayout->addWidget(controls_.autoBackup);
    generalLayout->addWidget(controls_.readId3v2);

    auto* startUp = new QGroupBox(TextOf(texts, TextId::OnStartUpGroup), this);
    controls_.autoOpen =
        CheckBox(texts, TextId::AutoOpenLastCollection, settings.autoOpen, startUp);
    controls_.useWindowSettings =
        CheckBox(texts, TextId::RestoreWindowSettings, settings.useWindowSettings, startUp);
    auto* startUpLayout = new QVBoxLayout(startUp);
    startUpLayout->addWidget(controls_.autoOpen);
    startUpLayout->addWidget(controls_.useWindowSettings);

    auto* language = new QGroupBox(TextOf(texts, TextId::LanguagePackLabel), this);
    controls_.languageName = new QLabel(language);
    controls_.language = new QComboBox(language);
    controls_.language->setMaxVisibleItems(kVisiblePacks);
    controls_.language->addItem(TextOf(texts, TextId::DefaultLanguage).toLower());
    int chosen = 0;
    const QString active = platform::ToQString(settings.langName).toLower();
    for (const texts::PackFile& pack : packs_) {
        const QString name = platform::ToQString(pack.name);
        controls_.language->addItem(name);
        if (name == active)
            chosen = controls_.language->count() - 1;
    }
    controls_.language->setCurrentIndex(chosen);
    ShowLanguageName(chosen);
    connect(controls_.language, &QComboBox::currentIndexChanged, this, &Options::ShowLanguageName);
    auto* languageLayout = new QVBoxLayout(language);
    languageLayout->addWidget(controls_.languageName);
    languageLayout->addWidget(controls_.language);

    auto* player = new QGroupBox(TextOf(texts, TextId::PlayerCommandLabel), this);
    controls_.playerCommand = new QLineEdit(QString::fromStdString(settings.playerCommand), player);
    auto* hint = new QLabel(TextOf(texts, TextId::PlayerCommandHint), player);
    hint->setWordWrap(true);
    hint->setEnabled(false);
    auto* playerLayout = new QVBoxLayout(player);
    playerLayout->addWidget(controls_.playerCommand);
    playerLayout->addWidget(hint);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        buttons->addButton(TextOf(texts, TextId::OkButton), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    buttons->addButton(TextOf(texts, TextId::CancelButton), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &Options::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &Options::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(general);
    layout->addWidget(startUp);
    layout->addWidget(language);
    layout->addWidget(player);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    AssignMnemonics(this);
    ok->setFocus();
}

void Options::ShowLanguageName(int index)
{
    QString name;
    if (index > 0 && static_cast<std::size_t>(index) <= packs_.size()) {
        std::string head;
        if (files_.readHead(packs_[static_cast<std::size_t>(index) - 1].path, kLanguageNameBytes,
                            head))
            name = platform::ToQString(texts::PackLanguageName(head));
    }
    controls_.languageName->setText(name);
}

void Options::accept()
{
    settings_.autoBackup = controls_.autoBackup->isChecked();
    settings_.readId3v2 = controls_.readId3v2->isChecked();
    settings_.autoOpen = controls_.autoOpen->isChecked();
    settings_.useWindowSettings = controls_.useWindowSettings->isChecked();
    const int index = controls_.language->currentIndex();
    settings_.langName = index > 0 ? packs_[static_cast<std::size_t>(index) - 1].name : "";
    settings_.playerCommand = controls_.playerCommand->text().toStdString();
    QDialog::accept();
}

} // namespace velmora::gui
