// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/volumes/ScanDialog.h"

#include "gui/dialogs/Messages.h"
#include "texts/TextIds.h"

namespace velmora::gui {
namespace {

using texts::TextId;

ProgressLayout ScanLayout()
{
    using Part = ProgressLayout::Part;
    ProgressLayout layout;
    layout.lines = {{Part::Title, TextId::VolumeLabel, true},
                    {Part::Phase, TextId::DirectoryLabel, true},
                    {Part::Object, TextId::FileLabel, true}};
    // The scan's steps count the files analysed of those it counted first.
    layout.barFromStart = true;
    layout.busyUntilTotal = true;
    return layout;
}

} // namespace

ScanDialog::ScanDialog(collection::CollectionTree& tree, const Services& services,
                       scan::ScanRequest request, const texts::TextTable& texts, QWidget* parent)
    : ProgressWindow(TextOf(texts, TextId::ScanningTitle), ScanLayout(), texts, parent),
      tree_(tree), services_(services), request_(std::move(request))
{
}

bool ScanDialog::Run()
{
    scan::TScanThread task(tree_, services_, request_);
    const bool finished = ProgressWindow::Run(task);
    outcome_ = task.Outcome();
    return finished;
}

} // namespace velmora::gui
