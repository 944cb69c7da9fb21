// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTransaction.h"
#include "collection/CollectionTree.h"
#include "gui/app/Feature.h"

#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace velmora {
class FileSystem;
}
namespace velmora::collection {
class CollectionStore;
}
namespace velmora::texts {
class ActiveTexts;
class TextTable;
} // namespace velmora::texts

namespace velmora::gui {

class Application;
class CollectionViews;
class CommandTable;
class UserDialogs;
class WaitWindow;

/// The commands around the collection file: New, Open, the recent files,
/// Save, Save as, Import, and the question about unsaved changes when the
/// window closes. Every question, message and file dialog goes through
/// `dialogs`; long steps show the wait window.
class CollectionCommands : public Feature {
public:
    /// Answers of AskToSave().
    enum Answer : int { kClosed = 0, kYes = 1, kNo = 2, kCancel = 3 };

    /// What LoadCollection() did.
    enum class LoadOutcome {
        Loaded,     ///< the file's nodes are the collection (or, told, the part before a fault)
        CannotOpen, ///< not a collection or unreadable; nothing changed, nothing told
        Busy,       ///< another program kept the file locked; told, nothing changed
        Cancelled,  ///< the user cancelled the read; nothing changed, nothing told
    };

    /// The texts are read from the active table whenever a dialog or
    /// message is shown.
    explicit CollectionCommands(const FeatureContext& context);

    /// New, Open, Save (enabled while the collection has unsaved changes),
    /// Save as and Import.
    void Register(CommandTable& table) override;

    /// How long a load or save waits for another program that holds the
    /// collection's lock (tests use less).
    std::chrono::milliseconds lockWait = collection::kCollectionLockWait;

    /// New: after the question about unsaved changes (Yes or No go on), an
    /// empty collection.
    void New();
    /// An empty collection without asking.
    void NewCollection();

    /// The question about unsaved changes (AskSaveChanges, Yes default, with Cancel).
    /// Yes saves with the current path (the save dialog when there is none);
    /// when that save is cancelled or fails the answer is Cancel, so the
    /// caller stops and the collection stays modified.
    int AskToSave();

    /// Open: the open dialog (collection files or any file), starting in
    /// the folder of the open collection, else in the last folder opened
    /// from; then OpenCollection(). False when nothing was opened.
    bool Open();
    /// Asks about unsaved changes (only Yes or No go on), loads the file and,
    /// when it cannot be opened, tells so (TellCannotOpen()) and drops it
    /// from the recent files; the collection then stays as it was.
    bool OpenCollection(const QString& path);
    /// Tells CannotOpenFile with `path`, and on the next line why the last
    /// LoadCollection() that gave CannotOpen failed: the system's text for
    /// the error, or FileNotValid for a file that is no collection file.
    void TellCannotOpen(const QString& path);
    /// Loads the file without asking, under the collection's lock. A file
    /// whose indentation breaks is told with FileNotValid and kept up to the
    /// faulty line as an untitled, modified collection.
    [[nodiscard]] LoadOutcome LoadCollection(const QString& path);

    /// Save: with the current path (the dialog when there is none).
    void Save();
    /// Save as: always the save dialog.
    void SaveAs();
    /// Saves to `path`, or to the file chosen in the save dialog (title
    /// `title`) when `path` is empty, under the collection's lock: while
    /// another program holds it the save waits up to `lockWait` and then
    /// tells CollectionBusy; a file that another program changed since this
    /// window loaded or saved it is replaced only after a question. False
    /// when cancelled or failed (told with CannotSaveFile and its reason:
    /// the text for it, else the system's text for the error); the
    /// collection then stays modified.
    bool SaveWithDialog(const QString& path, const QString& title);

    /// Import: the open dialog for "col" and "vlm" files (or any file), then
    /// ImportFile().
    bool Import();
    /// Imports the file at `path` and tells ImportingFinished or
    /// CannotImportFile.
    bool ImportFile(const QString& path);

    /// Whether the window may close: true when nothing is unsaved, or the
    /// question about it was answered Yes or No.
    bool CloseQuery();

private:
    QString CollectionFilter() const;
    /// The filter for any file, to follow another in a dialog's filter text.
    QString AllFilesFilter() const;
    /// Takes the lock of the collection file at `path` for a load or a
    /// save. While another program holds it, the wait window with `title`
    /// says so and a worker waits up to `lockWait`. nullptr, told, when the
    /// lock stayed busy (CollectionBusy), or when it cannot be taken at all
    /// and `forSave` (CannotSaveFile); a load goes on without a lock that
    /// cannot be taken (a collection on a disc).
    std::unique_ptr<collection::CollectionTransaction> Lock(const QString& path,
                                                            const QString& title, bool forSave);

    Application& app_;
    collection::CollectionStore& store_;
    const FileSystem& files_;
    const texts::ActiveTexts& texts_;
    UserDialogs& dialogs_;
    WaitWindow& wait_;
    CollectionViews& views_;
    QString& lastOpenDir_;
    QString& lastSaveDir_;
    /// Why the last load that gave CannotOpen failed.
    collection::LoadResult lastFailure_;
};

/// The folder part of a native path with its trailing "/": "/a/b.col" gives
/// "/a/"; a bare name gives "".
QString FolderOf(const QString& path);

/// Whether `path`, chosen in a save dialog for a file other than the
/// collection (a report, a result list, a playlist), is the file of the open
/// collection `collectionPath` (see SameFile()); writing it would replace
/// the collection. When it is, `dialogs` tells CannotSaveFile with the path
/// and, on the next line, SameAsCollection, and the caller writes nothing.
/// An untitled collection (empty path) has no file to refuse.
bool RefuseCollectionFile(const QString& path, const std::string& collectionPath,
                          const FileSystem& files, UserDialogs& dialogs,
                          const texts::TextTable& texts);

} // namespace velmora::gui
