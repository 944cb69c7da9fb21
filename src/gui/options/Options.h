// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/Settings.h"
#include "texts/LanguagePacks.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace velmora {
class FileSystem;
}

namespace velmora::gui {

/// The Options window: the backup of old collection files and the reading
/// of ID3v2 tags, the two start-up options, the language pack and the
/// player command. It opens on a copy of the settings; Ok writes the
/// controls into the copy and closes, Cancel, Escape and the close box
/// leave it as it was.
class Options : public QDialog {
    Q_OBJECT
public:
    /// `packs` are the language packs of the data folder, in their order;
    /// `files` reads their language names and must outlive the window.
    Options(const texts::TextTable& texts, const settings::Settings& settings,
            std::vector<texts::PackFile> packs, const FileSystem& files, QWidget* parent = nullptr);

    /// The settings passed in, with the controls' values once accepted.
    const settings::Settings& settings() const { return settings_; }

    struct Controls {
        QCheckBox* autoBackup = nullptr;
        QCheckBox* readId3v2 = nullptr;
        QCheckBox* autoOpen = nullptr;
        QCheckBox* useWindowSettings = nullptr;
        QLabel* languageName = nullptr;
        /// The first entry is the automatic choice; then one per pack.
        QComboBox* language = nullptr;
        QLineEdit* playerCommand = nullptr;
    };
    const Controls& controls() const { return controls_; }

    void accept() override;

private:
    /// Shows the language name of the pack at `index` of the list (none for
    /// the first entry, and for a pack that cannot be read).
    void ShowLanguageName(int index);

    settings::Settings settings_;
    std::vector<texts::PackFile> packs_;
    const FileSystem& files_;
    Controls controls_;
};

} // namespace velmora::gui
