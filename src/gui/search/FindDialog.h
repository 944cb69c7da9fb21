// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/Settings.h"

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

/// How the search dialog was left: Cancel, Escape or the close box (None),
/// Find (search the collection) or On drive (search a drive or folder).
enum class FindChoice { None, Find, OnDrive };

/// The search dialog: four pages of criteria (name, property, tag,
/// duplicates) set from the search values of a settings record, and the
/// buttons Find, On drive and Cancel.
///
/// Find and On drive are enabled by the page on view: the name page wants a
/// name text that is not blank, the property page a checked term, the tag
/// page a field that is not blank, the duplicates page Name or Property
/// checked. Find, or Enter anywhere but on the On drive and Cancel buttons,
/// accepts while Find is enabled. On opening, the keyboard goes to the
/// name field on the name page and to the first tag field holding text (or
/// the first) on the tag page, its text all selected, and to Find on the
/// other pages. Accepting copies the controls of every page into the
/// settings copy (through the search criteria of search/SearchCriteria.h)
/// and the page on view into `findArea`; Cancel, Escape and the close box
/// leave the copy as it was passed in. A choice that no entry of its list
/// or group stands for is shown as no selection; accepting then writes 255
/// for a pick list and keeps the stored area of a group.
///
/// The dialog runs no search; the caller stores settings() after an
/// accepted exec() and searches as choice() says.
class FindDialog : public QDialog {
    Q_OBJECT
public:
    /// The folder a search on a drive examines, or std::nullopt when the
    /// user cancelled its choice.
    using SourceChooser = std::function<std::optional<std::string>()>;

    /// `settings` is copied; the title gets " (cheat mode)" when its author
    /// mode is on.
    FindDialog(const texts::TextTable& texts, const settings::Settings& settings,
               QWidget* parent = nullptr);

    /// On drive asks `chooser` for the folder first and stays open when it
    /// gives none. Without a chooser On drive accepts at once with an empty
    /// source path, leaving the choice of the folder to the caller.
    void setSourceChooser(SourceChooser chooser) { chooser_ = std::move(chooser); }

    /// None until the dialog was accepted.
    FindChoice choice() const { return choice_; }
    /// The folder On drive chose; empty otherwise.
    const std::string& sourcePath() const { return sourcePath_; }
    /// The settings passed in, with the criteria of the controls once the
    /// dialog was accepted.
    const settings::Settings& settings() const { return settings_; }

    /// Find: accepts when Find is enabled, otherwise does nothing.
    void TryFind();
    /// On drive: chooses the folder and accepts when Find is enabled.
    void TryOnDrive();

    /// The controls, for the callers that set them (tests).
    struct Controls {
        QTabWidget* pages = nullptr;
        QPushButton* find = nullptr;
        QPushButton* onDrive = nullptr;
        QPushButton* cancel = nullptr;
        QLineEdit* nameText = nullptr;
        QButtonGroup* nameArea = nullptr; ///< ids 1 to 3 as SearchArea
        QCheckBox* nameCase = nullptr;
        /// Bit rate, sample rate, channel mode, version, layer, valid tag.
        std::array<QCheckBox*, 6> propertyOn = {};
        /// Per term the comparison list (none for channel mode and valid
        /// tag) and the value list.
        std::array<QComboBox*, 6> propertyComparison = {};
        std::array<QComboBox*, 6> propertyValue = {};
        /// Title, Artist, Album, Track, Year, Comment.
        std::array<QLineEdit*, 6> tagText = {};
        QCheckBox* compareName = nullptr;
        QCheckBox* compareProperty = nullptr;
        QButtonGroup* duplicateArea = nullptr; ///< ids 1 to 3 as SearchArea
    };
    const Controls& controls() const { return controls_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* NamePage(const texts::TextTable& texts);
    QWidget* PropertyPage(const texts::TextTable& texts);
    QWidget* TagPage(const texts::TextTable& texts);
    QWidget* DuplicatesPage(const texts::TextTable& texts);
    void ShowSettings();
    void FocusFirstField();
    void UpdateButtons();
    bool FindAllowed() const;
    void Accept(FindChoice choice);

    settings::Settings settings_;
    SourceChooser chooser_;
    FindChoice choice_ = FindChoice::None;
    std::string sourcePath_;
    Controls controls_;
};

} // namespace velmora::gui
