// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/collection/CollectionCommands.h"

#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "gui/app/Application.h"
#include "gui/app/CollectionViews.h"
#include "gui/app/CommandTable.h"
#include "gui/dialogs/Messages.h"
#include "gui/dialogs/UserDialogs.h"
#include "gui/dialogs/WaitWindow.h"
#include "platform/QtText.h"
#include "system/FileSystem.h"
#include "system/SameFile.h"
#include "texts/ActiveTexts.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <QDir>
#include <QFileInfo>
#include <system_error>

namespace velmora::gui {
namespace {

using texts::TextId;

std::string ToNative(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString FromNative(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// Adds the line that tells why to a message about a file: the text
// `reason` where there is one, else the system's text for the error number
// `error`; nothing when neither tells more.
MessageRequest WithReason(MessageRequest message, const texts::TextTable& table,
                          std::optional<TextId> reason, int error)
{
    if (reason)
        message.text += QStringLiteral("\r\n") + TextOf(table, *reason);
    else if (error != 0)
        message.text +=
            QStringLiteral("\r\n") + QString::fromLocal8Bit(std::generic_category().message(error));
    return message;
}

} // namespace

QString FolderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.left(slash + 1);
}

bool RefuseCollectionFile(const QString& path, const std::string& collectionPath,
                          const FileSystem& files, UserDialogs& dialogs,
                          const texts::TextTable& texts)
{
    if (collectionPath.empty() || !SameFile(files, ToNative(path), collectionPath))
        return false;
    dialogs.Message(CannotSaveMessage(texts, path, TextId::SameAsCollection));
    return true;
}

CollectionCommands::CollectionCommands(const FeatureContext& context)
    : app_(context.app), store_(context.app.store()), files_(context.app.services().files),
      texts_(context.app.texts()), dialogs_(context.app.dialogs()), wait_(context.wait),
      views_(context.views), lastOpenDir_(context.app.folders().lastOpen),
      lastSaveDir_(context.app.folders().lastSave)
{
}

QString CollectionCommands::CollectionFilter() const
{
    return TextOf(texts_.table(), TextId::CollectionFileType) + QStringLiteral(" (*.col)");
}

QString CollectionCommands::AllFilesFilter() const
{
    return QStringLiteral(";;") + TextOf(texts_.table(), TextId::AllFilesFilter) +
           QStringLiteral(" (*)");
}

void CollectionCommands::New()
{
    if (store_.modified()) {
        const int answer = AskToSave();
        if (answer != kYes && answer != kNo)
            return;
    }
    NewCollection();
}

void CollectionCommands::NewCollection()
{
    views_.DetachViews();
    store_.NewCollection();
    views_.RebuildViewTree();
    views_.RefreshWindow();
    views_.StateChanged();
}

int CollectionCommands::AskToSave()
{
    const int answer = dialogs_.Message(Question(texts_.table(), TextId::AskSaveChanges, true, 1));
    // A Yes whose save did not happen must not let the caller throw the
    // changes away.
    if (answer == kYes && !SaveWithDialog(FromNative(store_.currentPath()),
                                          TextOf(texts_.table(), TextId::SaveAsCommand)))
        return kCancel;
    return answer;
}

bool CollectionCommands::Open()
{
    FileRequest request;
    request.title = TextOf(texts_.table(), TextId::OpenCommand);
    // The folder of the open collection, where the user most likely keeps
    // the others.
    const QString current = FolderOf(FromNative(store_.currentPath()));
    request.folder = current.isEmpty() ? lastOpenDir_ : current;
    request.filter = CollectionFilter() + AllFilesFilter();
    request.defaultSuffix = QStringLiteral("col");
    const QString path = dialogs_.OpenFileName(request);
    if (path.isEmpty())
        return false;
    return OpenCollection(path);
}

bool CollectionCommands::OpenCollection(const QString& path)
{
    lastOpenDir_ = FolderOf(path);
    if (store_.modified()) {
        const int answer = AskToSave();
        if (answer != kYes && answer != kNo)
            return false;
    }
    const LoadOutcome outcome = LoadCollection(path);
    if (outcome == LoadOutcome::CannotOpen) {
        // A recent file that is gone or broken is not offered again.
        store_.RemoveRecentFile(ToNative(path));
        TellCannotOpen(path);
    }
    return outcome == LoadOutcome::Loaded;
}

void CollectionCommands::TellCannotOpen(const QString& path)
{
    const texts::TextTable& table = texts_.table();
    dialogs_.Message(WithReason(ErrorMessage(table, TextId::CannotOpenFile, path), table,
                                collection::ReasonTextOf(lastFailure_), lastFailure_.error));
}

std::unique_ptr<collection::CollectionTransaction>
CollectionCommands::Lock(const QString& path, const QString& title, bool forSave)
{
    using collection::LockStatus;
    const std::string native = ToNative(path);
    auto transaction = std::make_unique<collection::CollectionTransaction>(
        store_, native, std::chrono::milliseconds(0));
    if (transaction->status() == LockStatus::Busy) {
        // The wait runs on a worker; only the file system is touched there.
        transaction.reset();
        wait_.Run(title, TextOf(texts_.table(), TextId::CollectionBusy), [&](ProgressState&) {
            transaction =
                std::make_unique<collection::CollectionTransaction>(store_, native, lockWait);
        });
    }
    const LockStatus status = transaction->status();
    if (status == LockStatus::Held || (status == LockStatus::Failed && !forSave))
        return transaction;
    dialogs_.Message(WithReason(
        ErrorMessage(texts_.table(), *collection::MessageTextOf(status), path), texts_.table(),
        std::nullopt, status == LockStatus::Failed ? transaction->error() : 0));
    return nullptr;
}

CollectionCommands::LoadOutcome CollectionCommands::LoadCollection(const QString& given)
{
    // A bare name is looked for in the current folder.
    const QString path = given.contains(u'/') ? given : QFileInfo(given).absoluteFilePath();
    const std::string native = ToNative(path);
    // The probe of the core runs before anything changes; the views let go
    // of the tree only when the file will replace it.
    lastFailure_ = collection::ProbeCollectionFile(files_, native);
    if (!lastFailure_.loaded())
        return LoadOutcome::CannotOpen;
    const std::unique_ptr<collection::CollectionTransaction> transaction =
        Lock(path, TextOf(texts_.table(), TextId::LoadingTitle), false);
    if (!transaction)
        return LoadOutcome::Busy;

    // The file is read on a worker while the views still show the
    // collection, which stays as it was when the load is cancelled.
    const texts::TextTable& table = texts_.table();
    collection::ReadFile read;
    if (!wait_.Run(
            TextOf(table, TextId::LoadingTitle),
            platform::ToQString(table.Step(TextId::ReadDataStep)),
            [&](ProgressState& progress) { read = transaction->Read(progress); }, true) ||
        read.result.status == collection::LoadStatus::Cancelled)
        return LoadOutcome::Cancelled;
    if (!read.result.loaded()) {
        lastFailure_ = read.result;
        return LoadOutcome::CannotOpen;
    }

    views_.DetachViews();
    const collection::LoadResult result = transaction->Adopt(std::move(read));
    if (result.status == collection::LoadStatus::NotValid)
        dialogs_.Message(ErrorMessage(table, *collection::MessageTextOf(result.status), path));
    views_.RebuildViewTree();
    views_.RefreshWindow();
    views_.StateChanged();
    return LoadOutcome::Loaded;
}

void CollectionCommands::Save()
{
    SaveWithDialog(FromNative(store_.currentPath()), TextOf(texts_.table(), TextId::SaveAsCommand));
}

void CollectionCommands::SaveAs()
{
    SaveWithDialog(QString(), TextOf(texts_.table(), TextId::SaveAsCommand));
}

bool CollectionCommands::SaveWithDialog(const QString& given, const QString& title)
{
    QString path = given;
    if (path.isEmpty()) {
        FileRequest request;
        request.title = title;
        request.filter = CollectionFilter();
        request.defaultSuffix = QStringLiteral("col");
        request.folder = lastSaveDir_;
        std::string name;
        std::string directory;
        if (collection::SplitCollectionPath(store_.currentPath(), name, directory)) {
            if (!directory.empty() && files_.folderExists(directory))
                request.folder = FromNative(directory);
            request.fileName = FromNative(name);
        }
        path = dialogs_.SaveFileName(request);
        if (path.isEmpty())
            return false;
        lastSaveDir_ = FolderOf(path);
    }

    // From here until the file is replaced no other program that changes
    // collections (a scan from the command line) can load or save it.
    std::unique_ptr<collection::CollectionTransaction> transaction =
        Lock(path, TextOf(texts_.table(), TextId::SavingTitle), true);
    if (!transaction)
        return false;
    // Another program may have written the file since this window read or
    // wrote it; saving would drop that.
    if (transaction->ChangedOnDisk()) {
        MessageRequest question = Question(texts_.table(), TextId::ChangedOnDisk, false, 2);
        question.text = MessageText(texts_.table(), TextId::ChangedOnDisk, path) +
                        QStringLiteral("\r\n") + TextOf(texts_.table(), TextId::AskOverwrite);
        if (dialogs_.Message(question) != kYes)
            return false;
    }

    // The file is written on a worker; the views go on reading the tree.
    collection::SaveResult result;
    wait_.Run(TextOf(texts_.table(), TextId::SavingTitle),
              platform::ToQString(texts_.table().Step(TextId::PleaseWaitStep)),
              [&](ProgressState& progress) { result = transaction->Write(progress); });
    transaction->NoteSaved(result);
    transaction.reset();
    if (result.backupFailed)
        dialogs_.Message(
            ErrorMessage(texts_.table(), TextId::CannotSaveFile, FromNative(result.backupPath)));
    if (!result.saved()) {
        const std::optional<TextId> reason = collection::ReasonTextOf(result);
        dialogs_.Message(WithReason(CannotSaveMessage(texts_.table(), path, reason), texts_.table(),
                                    std::nullopt, reason ? 0 : result.error));
        return false;
    }
    views_.StateChanged();
    return true;
}

bool CollectionCommands::Import()
{
    FileRequest request;
    request.title = TextOf(texts_.table(), TextId::ImportCommand);
    request.folder = lastOpenDir_;
    request.filter = TextOf(texts_.table(), TextId::CollectionFileType) +
                     QStringLiteral(" (*.col *.vlm)") + AllFilesFilter();
    request.defaultSuffix = QStringLiteral("col");
    const QString path = dialogs_.OpenFileName(request);
    if (path.isEmpty())
        return false;
    return ImportFile(path);
}

bool CollectionCommands::ImportFile(const QString& path)
{
    lastOpenDir_ = FolderOf(path);

    // The import changes the tree on a worker: the views let go of it first.
    views_.DetachViews();
    bool imported = false;
    const std::string native = ToNative(path);
    wait_.Run(
        TextOf(texts_.table(), TextId::ImportingTitle),
        platform::ToQString(texts_.table().Step(TextId::LoadDataStep)),
        [&](ProgressState& progress) { imported = store_.ImportCollection(native, progress); });
    views_.RebuildViewTree();
    views_.RefreshWindow();
    views_.StateChanged();
    if (!imported) {
        dialogs_.Message(ErrorMessage(texts_.table(), TextId::CannotImportFile, path));
        return false;
    }
    dialogs_.Message(InformationMessage(texts_.table(), TextId::ImportingFinished));
    return true;
}

bool CollectionCommands::CloseQuery()
{
    if (!store_.modified())
        return true;
    const int answer = AskToSave();
    return answer == kYes || answer == kNo;
}

void CollectionCommands::Register(CommandTable& table)
{
    CollectionCommands& commands = *this;
    table.Add({.id = Command::New,
               .text = TextId::NewCommand,
               .icon = ThemeIcon("document-new", QStyle::SP_FileIcon),
               .handler = [&commands](bool) { commands.New(); }});
    table.Add({.id = Command::Open,
               .text = TextId::OpenCommand,
               .shortcut = QKeySequence(Qt::CTRL | Qt::Key_O),
               .icon = ThemeIcon("document-open", QStyle::SP_DialogOpenButton),
               .handler = [&commands](bool) {
                   if (commands.Open())
                       commands.views_.FocusTree();
               }});
    table.Add({.id = Command::Save,
               .text = TextId::SaveCommand,
               .shortcut = QKeySequence(Qt::CTRL | Qt::Key_S),
               .icon = ThemeIcon("document-save", QStyle::SP_DialogSaveButton),
               .enabledWhen = rules::Modified,
               .handler = [&commands](bool) { commands.Save(); }});
    table.Add({.id = Command::SaveAs,
               .text = TextId::SaveAsCommand,
               .icon = ThemeIcon("document-save-as", QStyle::SP_DialogSaveButton),
               .handler = [&commands](bool) { commands.SaveAs(); }});
    table.Add({.id = Command::Import,
               .text = TextId::ImportCommand,
               .icon = ThemeIcon("document-import", QStyle::SP_ArrowDown),
               .handler = [&commands](bool) { commands.Import(); }});
}

} // namespace velmora::gui
