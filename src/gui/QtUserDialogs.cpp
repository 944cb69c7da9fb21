#include "gui/QtUserDialogs.h"

#include "gui/MessageDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>

namespace velmora::gui {
namespace {

QString RunFileDialog(QWidget* parent, const FileRequest& request, bool save)
{
    QFileDialog dialog(parent, request.title, request.folder, request.filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(QDir(request.folder).filePath(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

int QtUserDialogs::Message(const MessageRequest& request)
{
    MessageDialog dialog(request, parent_);
    return dialog.Run();
}

QString QtUserDialogs::OpenFileName(const FileRequest& request)
{
    return RunFileDialog(parent_, request, false);
}

QString QtUserDialogs::SaveFileName(const FileRequest& request)
{
    return RunFileDialog(parent_, request, true);
}

bool QtUserDialogs::TextInput(const QString& caption, const QString& prompt, QString& value)
{
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, value, &ok);
    if (ok)
        value = answer;
    return ok;
}

} // namespace velmora::gui
