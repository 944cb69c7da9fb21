// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/reports/ReportProcess.h"

#include "gui/dialogs/Messages.h"
#include "texts/TextIds.h"

namespace velmora::gui {
namespace {

using texts::TextId;

ProgressLayout ReportLayout()
{
    using Part = ProgressLayout::Part;
    ProgressLayout layout;
    layout.lines = {{Part::Phase, TextId::ProcessLabel, false},
                    {Part::Object, TextId::ObjectLabel, false}};
    layout.barFromStart = true;
    return layout;
}

} // namespace

ReportProcess::ReportProcess(const reports::ReportSources& sources,
                             reports::ReportSettings settings, const texts::TextTable& texts,
                             QWidget* parent)
    : ProgressWindow(TextOf(texts, TextId::BuildingTitle), ReportLayout(), texts, parent),
      sources_(sources), settings_(std::move(settings))
{
}

reports::ReportOutcome ReportProcess::Run()
{
    reports::TReportThread task(sources_, settings_);
    if (!ProgressWindow::Run(task) && !task.Finished())
        return reports::ReportOutcome::StoppedBeforeWriting;
    return task.Outcome();
}

} // namespace velmora::gui
