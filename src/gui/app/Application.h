// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionStore.h"
#include "gui/app/Icons.h"
#include "settings/Settings.h"
#include "system/Services.h"
#include "texts/ActiveTexts.h"

#include <QString>
#include <QTranslator>
#include <memory>
#include <string>

namespace velmora::gui {

class Launcher;
class UserDialogs;

/// The state of the desktop program, apart from any window: the platform's
/// services, the dialogs every question and message goes through, the
/// active text table, the collection, the settings record, the remembered
/// folders and the icons. main() builds it once, after the QApplication, and
/// the main window over it; tests build it over fakes.
///
/// It holds state and wiring only: what the commands do lives in their
/// classes (CollectionCommands, VolumeCommands), what the window shows in
/// the window.
class Application {
public:
    /// `services` and `dialogs` must outlive the application. `startFolder`
    /// is the folder the open and save dialogs start in on a first start;
    /// `texts` becomes the active table; `dataFolder` holds the language
    /// packs and the help documents (a native path ending in "/").
    Application(const Services& services, UserDialogs& dialogs, std::string startFolder = {},
                texts::TextTable texts = {}, std::string dataFolder = {});
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    const std::string& dataFolder() const { return dataFolder_; }

    /// How files and addresses are handed to other programs: the desktop's
    /// launcher unless a test put another in its place (which must then
    /// outlive the application).
    Launcher& launcher() const { return *launcher_; }
    void setLauncher(Launcher& launcher) { launcher_ = &launcher; }

    /// Makes the table of the active-language setting active (see
    /// texts::ChooseLanguage), which relabels every subscriber; a pack that
    /// cannot be read is told, and the setting cleared. Qt's own dialogs
    /// (files, fonts, printing) then speak the table's language too, where
    /// Qt has a translation for it.
    void ApplyLanguage();

    const Services& services() const { return services_; }
    UserDialogs& dialogs() const { return dialogs_; }
    const std::string& startFolder() const { return startFolder_; }

    /// The active text table; replacing it tells every subscriber.
    texts::ActiveTexts& texts() { return texts_; }
    const texts::ActiveTexts& texts() const { return texts_; }

    collection::CollectionStore& store() { return store_; }
    const collection::CollectionStore& store() const { return store_; }

    /// The settings record: read at start, written at the end.
    settings::Settings& settings() { return settings_; }
    const settings::Settings& settings() const { return settings_; }

    /// The folders the open and save dialogs start in (native paths, ending
    /// in "/"), shared by every feature; read from the settings record at
    /// start and written back with it. The source dialog's last folder is
    /// kept for the session only.
    struct Folders {
        QString lastOpen;
        QString lastSave;
        /// The folder last accepted as a volume's source (a native path
        /// without a trailing "/" except for "/"); empty before the first.
        QString lastSource;
        /// The tag editor's folder when it last closed (native); empty
        /// before the first. Kept for the session only.
        QString lastTagFolder;
    };
    Folders& folders() { return folders_; }

    /// The program's own pictures, shared by the windows and their models.
    const Icons& icons() const { return icons_; }

private:
    Services services_;
    UserDialogs& dialogs_;
    std::string startFolder_;
    std::string dataFolder_;
    std::unique_ptr<Launcher> desktop_;
    Launcher* launcher_;
    std::unique_ptr<QTranslator> qtTexts_;
    texts::ActiveTexts texts_;
    // The store reads the progress texts through a reference to the active
    // table, which stays the same object when the table is replaced.
    collection::CollectionStore store_;
    settings::Settings settings_;
    Folders folders_;
    Icons icons_;
};

} // namespace velmora::gui
