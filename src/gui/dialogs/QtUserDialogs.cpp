// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/QtUserDialogs.h"

#include "gui/dialogs/MessageDialog.h"
#include "gui/dialogs/ModalFocus.h"

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
    if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
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

bool QtUserDialogs::TextInput(const TextRequest& request, QString& value)
{
    QInputDialog box(parent_);
    box.setWindowTitle(request.caption);
    box.setLabelText(request.prompt);
    box.setOkButtonText(request.okText);
    box.setCancelButtonText(request.cancelText);
    box.setTextValue(value);
    if (ExecModal(box) != QDialog::Accepted)
        return false;
    value = box.textValue();
    return true;
}

} // namespace velmora::gui
