// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/search/FindDialog.h"

#include "gui/dialogs/ButtonGroups.h"
#include "gui/dialogs/Messages.h"
#include "gui/dialogs/Mnemonics.h"
#include "platform/QtText.h"
#include "search/SearchCriteria.h"
#include "texts/TextIds.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace velmora::gui {
namespace {

using search::Comparison;
using search::SearchArea;
using texts::TextId;

enum Page { NamePageIndex = 0, PropertyPageIndex, TagPageIndex, DuplicatesPageIndex };

/// The entry a stored byte selects: -1 (none) beyond the list.
int EntryOf(std::int32_t stored, int count)
{
    return stored >= 0 && stored < count ? stored : -1;
}

/// The byte of a pick list's selection; 255 when nothing is selected.
std::int32_t ByteOf(const QComboBox* list)
{
    return list->currentIndex() < 0 ? 255 : list->currentIndex();
}

bool Blank(const QLineEdit* field)
{
    return field->text().trimmed().isEmpty();
}

/// The three "In" choices, with the ids of SearchArea.
QGroupBox* AreaGroup(const texts::TextTable& texts, QButtonGroup*& group, QWidget* parent)
{
    auto* box = new QGroupBox(TextOf(texts, TextId::SearchInLabel), parent);
    auto* layout = new QVBoxLayout(box);
    group = new QButtonGroup(box);
    const std::array<std::pair<TextId, SearchArea>, 3> choices = {{
        {TextId::InDirectoryAndFile, SearchArea::FoldersAndFiles},
        {TextId::InDirectory, SearchArea::Folders},
        {TextId::InFile, SearchArea::Files},
    }};
    for (const auto& [text, area] : choices) {
        auto* choice = new QRadioButton(TextOf(texts, text), box);
        group->addButton(choice, static_cast<int>(area));
        layout->addWidget(choice);
    }
    return box;
}

/// `stored` with the chosen area, kept when no choice is selected.
SearchArea AreaOf(const QButtonGroup* group, SearchArea stored)
{
    const int id = group->checkedId();
    return id > 0 ? static_cast<SearchArea>(id) : stored;
}

QStringList NumbersWithUnit(const QStringList& numbers, const QString& unit)
{
    QStringList entries;
    for (const QString& number : numbers)
        entries.append(number + QLatin1Char(' ') + unit);
    return entries;
}

template <typename Value>
search::ComparedTerm<Value> ComparedTermOf(const FindDialog::Controls& controls, std::size_t row)
{
    return {controls.propertyOn[row]->isChecked(),
            static_cast<Comparison>(ByteOf(controls.propertyComparison[row])),
            static_cast<Value>(ByteOf(controls.propertyValue[row]))};
}

template <typename Value>
search::ChoiceTerm<Value> ChoiceTermOf(const FindDialog::Controls& controls, std::size_t row)
{
    return {controls.propertyOn[row]->isChecked(),
            static_cast<Value>(ByteOf(controls.propertyValue[row]))};
}

} // namespace

FindDialog::FindDialog(const texts::TextTable& texts, const settings::Settings& settings,
                       QWidget* parent)
    : QDialog(parent), settings_(settings)
{
    QString title = TextOf(texts, TextId::SearchMenu);
    if (settings_.author)
        title += QStringLiteral(" (cheat mode)");
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    controls_.pages = new QTabWidget(this);
    controls_.pages->addTab(NamePage(texts), TextOf(texts, TextId::SearchNameLabel));
    controls_.pages->addTab(PropertyPage(texts), TextOf(texts, TextId::PropertyCommand));
    controls_.pages->addTab(TagPage(texts), TextOf(texts, TextId::TagCommand));
    controls_.pages->addTab(DuplicatesPage(texts), TextOf(texts, TextId::DuplicatesCommand));

    controls_.find = new QPushButton(TextOf(texts, TextId::FindCommand), this);
    controls_.onDrive = new QPushButton(TextOf(texts, TextId::OnDriveCommand), this);
    controls_.cancel = new QPushButton(TextOf(texts, TextId::CancelButton), this);
    // Enter goes through keyPressEvent() and TryFind(): no button may become
    // the dialog's default and take Enter from the other controls.
    for (QPushButton* button : {controls_.find, controls_.onDrive, controls_.cancel})
        button->setAutoDefault(false);
    connect(controls_.find, &QPushButton::clicked, this, &FindDialog::TryFind);
    connect(controls_.onDrive, &QPushButton::clicked, this, &FindDialog::TryOnDrive);
    connect(controls_.cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(controls_.find);
    buttons->addWidget(controls_.onDrive);
    buttons->addWidget(controls_.cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(controls_.pages);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ShowSettings();
    connect(controls_.pages, &QTabWidget::currentChanged, this, &FindDialog::UpdateButtons);
    UpdateButtons();
    AssignMnemonics(this);
    FocusFirstField();
}

void FindDialog::FocusFirstField()
{
    // On the name and tag pages the keyboard goes to the field typed into
    // last time (the first one holding text, else the first one), all of it
    // selected, so that typing replaces it and Enter searches; on the other
    // pages to Find.
    QLineEdit* field = nullptr;
    if (controls_.pages->currentIndex() == NamePageIndex) {
        field = controls_.nameText;
    } else if (controls_.pages->currentIndex() == TagPageIndex) {
        const auto filled = std::find_if(controls_.tagText.begin(), controls_.tagText.end(),
                                         [](const QLineEdit* tag) { return !Blank(tag); });
        field = filled != controls_.tagText.end() ? *filled : controls_.tagText[0];
    }
    if (field != nullptr) {
        field->selectAll();
        field->setFocus();
    } else {
        controls_.find->setFocus();
    }
}

void FindDialog::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (!enter || modifiers != Qt::NoModifier) {
        QDialog::keyPressEvent(event);
        return;
    }
    // Enter on a button presses that button; anywhere else on every page it
    // presses Find, while Find may be pressed.
    event->accept();
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (button == controls_.onDrive || button == controls_.cancel) {
        if (button->isEnabled())
            button->click();
        return;
    }
    TryFind();
}

QWidget* FindDialog::NamePage(const texts::TextTable& texts)
{
    auto* page = new QWidget;
    controls_.nameText = new QLineEdit(page);
    connect(controls_.nameText, &QLineEdit::textChanged, this, &FindDialog::UpdateButtons);
    QGroupBox* area = AreaGroup(texts, controls_.nameArea, page);
    auto* options = new QGroupBox(TextOf(texts, TextId::OptionsGroup), page);
    controls_.nameCase = new QCheckBox(TextOf(texts, TextId::MatchCaseOption), options);
    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(controls_.nameCase);
    optionsLayout->addStretch();
    auto* groups = new QHBoxLayout;
    groups->addWidget(area);
    groups->addWidget(options);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(controls_.nameText);
    layout->addLayout(groups);
    layout->addStretch();
    return page;
}

QWidget* FindDialog::PropertyPage(const texts::TextTable& texts)
{
    const QStringList comparisons = {QStringLiteral("<"), QStringLiteral("="), QStringLiteral(">")};
    const QString kbps = TextOf(texts, TextId::KbpsUnit);
    const QString hertz = TextOf(texts, TextId::HertzUnit);
    struct Row {
        TextId caption;
        bool compared;
        QStringList values;
    };
    const std::array<Row, 6> rows = {{
        {TextId::BitRateCriterion, true,
         NumbersWithUnit({QStringLiteral("128"), QStringLiteral("160"), QStringLiteral("192")},
                         kbps)},
        {TextId::SampleRateCriterion, true,
         NumbersWithUnit(
             {QStringLiteral("22050"), QStringLiteral("32000"), QStringLiteral("44100")}, hertz)},
        {TextId::ChannelModeCriterion,
         false,
         {TextOf(texts, TextId::MonoMode), TextOf(texts, TextId::StereoMode)}},
        {TextId::MpegVersionCriterion,
         true,
         {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("2.5")}},
        {TextId::MpegLayerCriterion,
         true,
         {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}},
        {TextId::ValidTagCriterion,
         false,
         {TextOf(texts, TextId::TagPresent), TextOf(texts, TextId::TagNotPresent)}},
    }};
    auto* page = new QWidget;
    auto* terms = new QGroupBox(TextOf(texts, TextId::TermsGroup), page);
    auto* grid = new QGridLayout(terms);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const int line = static_cast<int>(i);
        auto* on = new QCheckBox(TextOf(texts, row.caption), terms);
        grid->addWidget(on, line, 0);
        controls_.propertyOn[i] = on;
        if (row.compared) {
            auto* comparison = new QComboBox(terms);
            comparison->addItems(comparisons);
            grid->addWidget(comparison, line, 1);
            controls_.propertyComparison[i] = comparison;
            connect(on, &QCheckBox::toggled, comparison, &QWidget::setEnabled);
        }
        auto* value = new QComboBox(terms);
        value->addItems(row.values);
        // A value without a comparison spans both columns.
        grid->addWidget(value, line, row.compared ? 2 : 1, 1, row.compared ? 1 : 2);
        controls_.propertyValue[i] = value;
        connect(on, &QCheckBox::toggled, value, &QWidget::setEnabled);
        connect(on, &QCheckBox::toggled, this, &FindDialog::UpdateButtons);
    }
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(terms);
    layout->addStretch();
    return page;
}

QWidget* FindDialog::TagPage(const texts::TextTable& texts)
{
    auto* page = new QWidget;
    auto* group = new QGroupBox(TextOf(texts, TextId::TextCriterion), page);
    auto* form = new QFormLayout(group);
    for (std::size_t i = 0; i < controls_.tagText.size(); ++i) {
        auto* field = new QLineEdit(group);
        form->addRow(TextOf(texts, texts::After(TextId::TitleColumn, i)), field);
        connect(field, &QLineEdit::textChanged, this, &FindDialog::UpdateButtons);
        controls_.tagText[i] = field;
    }
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

QWidget* FindDialog::DuplicatesPage(const texts::TextTable& texts)
{
    auto* page = new QWidget;
    auto* compare = new QGroupBox(TextOf(texts, TextId::CompareLabel), page);
    controls_.compareName = new QCheckBox(TextOf(texts, TextId::SearchNameLabel), compare);
    controls_.compareProperty = new QCheckBox(TextOf(texts, TextId::PropertyCommand), compare);
    connect(controls_.compareName, &QCheckBox::toggled, this, &FindDialog::UpdateButtons);
    connect(controls_.compareProperty, &QCheckBox::toggled, this, &FindDialog::UpdateButtons);
    auto* compareLayout = new QVBoxLayout(compare);
    compareLayout->addWidget(controls_.compareName);
    compareLayout->addWidget(controls_.compareProperty);
    compareLayout->addStretch();
    QGroupBox* area = AreaGroup(texts, controls_.duplicateArea, page);
    auto* groups = new QHBoxLayout;
    groups->addWidget(compare);
    groups->addWidget(area);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(groups);
    layout->addStretch();
    return page;
}

void FindDialog::ShowSettings()
{
    const search::NameCriteria name = search::NameCriteriaFrom(settings_);
    controls_.nameText->setText(platform::ToQString(name.text));
    CheckButtonOf(controls_.nameArea, static_cast<std::int32_t>(name.area));
    controls_.nameCase->setChecked(name.matchCase);

    const search::PropertyCriteria property = search::PropertyCriteriaFrom(settings_.property);
    struct Term {
        bool used;
        std::int32_t comparison;
        std::int32_t value;
    };
    const auto compared = [](const auto& term) {
        return Term{term.used, static_cast<std::int32_t>(term.comparison),
                    static_cast<std::int32_t>(term.value)};
    };
    const auto chosen = [](const auto& term) {
        return Term{term.used, 0, static_cast<std::int32_t>(term.value)};
    };
    const std::array<Term, 6> terms = {compared(property.bitRate),   compared(property.sampleRate),
                                       chosen(property.channelMode), compared(property.version),
                                       compared(property.layer),     chosen(property.validTag)};
    for (std::size_t i = 0; i < terms.size(); ++i) {
        const Term& term = terms[i];
        controls_.propertyOn[i]->setChecked(term.used);
        if (QComboBox* comparison = controls_.propertyComparison[i]) {
            comparison->setCurrentIndex(EntryOf(term.comparison, comparison->count()));
            comparison->setEnabled(term.used);
        }
        QComboBox* value = controls_.propertyValue[i];
        value->setCurrentIndex(EntryOf(term.value, value->count()));
        value->setEnabled(term.used);
    }

    const search::TagCriteria tag = search::TagCriteriaFrom(settings_);
    for (std::size_t i = 0; i < tag.texts.size(); ++i)
        controls_.tagText[i]->setText(platform::ToQString(tag.texts[i]));

    const search::DuplicateCriteria duplicates = search::DuplicateCriteriaFrom(settings_);
    controls_.compareName->setChecked(duplicates.compareName);
    controls_.compareProperty->setChecked(duplicates.compareProperty);
    CheckButtonOf(controls_.duplicateArea, static_cast<std::int32_t>(duplicates.area));

    // A stored page beyond the four shows the first.
    controls_.pages->setCurrentIndex(EntryOf(settings_.findArea, controls_.pages->count()) < 0
                                         ? NamePageIndex
                                         : settings_.findArea);
}

bool FindDialog::FindAllowed() const
{
    switch (controls_.pages->currentIndex()) {
    case NamePageIndex:
        return !Blank(controls_.nameText);
    case PropertyPageIndex:
        return std::any_of(controls_.propertyOn.begin(), controls_.propertyOn.end(),
                           [](const QCheckBox* on) { return on->isChecked(); });
    case TagPageIndex:
        return std::any_of(controls_.tagText.begin(), controls_.tagText.end(),
                           [](const QLineEdit* field) { return !Blank(field); });
    case DuplicatesPageIndex:
        return controls_.compareName->isChecked() || controls_.compareProperty->isChecked();
    default:
        return false;
    }
}

void FindDialog::UpdateButtons()
{
    const bool allowed = FindAllowed();
    controls_.find->setEnabled(allowed);
    controls_.onDrive->setEnabled(allowed);
}

void FindDialog::TryFind()
{
    if (FindAllowed())
        Accept(FindChoice::Find);
}

void FindDialog::TryOnDrive()
{
    if (!FindAllowed())
        return;
    if (chooser_) {
        std::optional<std::string> folder = chooser_();
        if (!folder)
            return;
        sourcePath_ = std::move(*folder);
    }
    Accept(FindChoice::OnDrive);
}

void FindDialog::Accept(FindChoice choice)
{
    search::NameCriteria name = search::NameCriteriaFrom(settings_);
    name.text = platform::ToNodeBytes(controls_.nameText->text());
    name.area = AreaOf(controls_.nameArea, name.area);
    name.matchCase = controls_.nameCase->isChecked();
    search::WriteCriteria(name, settings_);

    search::PropertyCriteria property = search::PropertyCriteriaFrom(settings_);
    property.bitRate = ComparedTermOf<search::BitRateValue>(controls_, 0);
    property.sampleRate = ComparedTermOf<search::SampleRateValue>(controls_, 1);
    property.channelMode = ChoiceTermOf<search::ChannelMode>(controls_, 2);
    property.version = ComparedTermOf<search::VersionValue>(controls_, 3);
    property.layer = ComparedTermOf<search::LayerValue>(controls_, 4);
    property.validTag = ChoiceTermOf<search::TagPresence>(controls_, 5);
    search::WriteCriteria(property, settings_);

    search::TagCriteria tag;
    for (std::size_t i = 0; i < tag.texts.size(); ++i)
        tag.texts[i] = platform::ToNodeBytes(controls_.tagText[i]->text());
    search::WriteCriteria(tag, settings_);

    search::DuplicateCriteria duplicates = search::DuplicateCriteriaFrom(settings_);
    duplicates.compareName = controls_.compareName->isChecked();
    duplicates.compareProperty = controls_.compareProperty->isChecked();
    duplicates.area = AreaOf(controls_.duplicateArea, duplicates.area);
    search::WriteCriteria(duplicates, settings_);

    settings_.findArea = controls_.pages->currentIndex();
    choice_ = choice;
    accept();
}

} // namespace velmora::gui
