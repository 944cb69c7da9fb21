// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/reports/ReportCommands.h"

#include "collection/CollectionStore.h"
#include "gui/app/Application.h"
#include "gui/app/CommandTable.h"
#include "gui/collection/CollectionCommands.h"
#include "gui/dialogs/Messages.h"
#include "gui/dialogs/ModalFocus.h"
#include "gui/dialogs/UserDialogs.h"
#include "gui/reports/ReportDialog.h"
#include "gui/reports/ReportProcess.h"
#include "platform/QtText.h"
#include "reports/ReportSettings.h"
#include "reports/ReportThread.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <QFile>
#include <QStringList>

namespace velmora::gui {

using texts::TextId;

namespace {

/// The Qt filter of a "Description (*.a, *.b)|*.a;*.b" filter: the
/// description without its list, then the patterns in parentheses.
QString QtFilter(const std::string& filter)
{
    const QString text = QString::fromStdString(filter);
    const qsizetype bar = text.indexOf(u'|');
    if (bar < 0)
        return text;
    QString description = text.left(bar);
    if (const qsizetype list = description.lastIndexOf(QStringLiteral(" (")); list >= 0)
        description.truncate(list);
    const QStringList patterns = text.mid(bar + 1).split(u';', Qt::SkipEmptyParts);
    return description + QStringLiteral(" (") + patterns.join(u' ') + u')';
}

} // namespace

ReportCommands::ReportCommands(const FeatureContext& context)
    : app_(context.app), lastSaveDir_(context.app.folders().lastSave), window_(context.window)
{
}

void ReportCommands::Report()
{
    const texts::TextTable& texts = app_.texts().table();
    ReportDialog dialog(texts, reports::ReportSettingsFrom(app_.settings()), window_);
    if (ExecModal(dialog) != QDialog::Accepted)
        return;
    reports::ReportSettings report = dialog.report();
    reports::StoreReportSettings(report, app_.settings());

    const QString path = ChooseFile(report);
    if (path.isEmpty())
        return;
    reports::StoreReportSettings(report, app_.settings());
    const std::string target = QFile::encodeName(path).toStdString();
    UserDialogs& dialogs = app_.dialogs();
    if (RefuseCollectionFile(path, app_.store().currentPath(), app_.services().files, dialogs,
                             texts))
        return;
    WriteError why = WriteError::None;
    if (!reports::CanWriteReport(app_.services().files, target, why)) {
        dialogs.Message(CannotSaveMessage(texts, path, ReasonTextOf(why)));
        return;
    }
    const collection::CollectionStore& store = app_.store();
    const reports::ReportSources sources{store.tree(), store.currentPath(), texts, app_.services()};
    ReportProcess process(sources, report, texts, window_);
    const reports::ReportOutcome outcome = process.Run();
    if (process.cancelled())
        return;
    if (outcome == reports::ReportOutcome::Written)
        dialogs.Message(InformationMessage(texts, TextId::ReportCreated, path));
    else
        dialogs.Message(ErrorMessage(texts, TextId::CannotSaveFile, path));
}

QString ReportCommands::ChooseFile(reports::ReportSettings& report)
{
    const texts::TextTable& texts = app_.texts().table();
    const reports::ReportFileProposal proposal = reports::ProposeReportFile(
        report.lastReportFile, QFile::encodeName(lastSaveDir_).toStdString(),
        app_.services().files);
    const QString extension = QString::fromLatin1(reports::DefaultExtension(report.format));
    FileRequest request;
    request.title = TextOf(texts, TextId::SaveReportAsTitle);
    request.folder = QFile::decodeName(proposal.folder.c_str());
    if (!proposal.name.empty())
        request.fileName = QFile::decodeName(proposal.name.c_str()) + u'.' + extension;
    request.filter = QtFilter(reports::ReportFilter(texts, report.format));
    request.defaultSuffix = extension;
    const QString path = app_.dialogs().SaveFileName(request);
    if (path.isEmpty())
        return path;
    std::string lastSaveDir;
    reports::RememberReportFile(QFile::encodeName(path).toStdString(), report, lastSaveDir);
    lastSaveDir_ = QFile::decodeName(lastSaveDir.c_str());
    return path;
}

void ReportCommands::Register(CommandTable& table)
{
    ReportCommands& commands = *this;
    table.Add({.id = Command::Report,
               .text = TextId::ReportCommand,
               .icon = ThemeIcon("document-print-preview", QStyle::SP_FileDialogDetailedView),
               .enabledWhen = rules::HasVolumes,
               .handler = [&commands](bool) { commands.Report(); }});
}

} // namespace velmora::gui
