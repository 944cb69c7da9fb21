// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/StatusPanels.h"

#include "platform/QtText.h"

#include <QLabel>
#include <QLayout>
#include <QStatusBar>
#include <algorithm>

namespace velmora::gui {

StatusPanels::StatusPanels(QStatusBar& bar) : bar_(bar)
{
    bar_.setSizeGripEnabled(false);
    for (QLabel*& panel : panels_) {
        panel = new QLabel(&bar_);
        panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        bar_.addWidget(panel);
    }
}

void StatusPanels::Layout(int windowWidth)
{
    const int panelWidth = windowWidth / static_cast<int>(kCount);
    for (QLabel* panel : panels_)
        panel->setFixedWidth(std::max(0, panelWidth - bar_.layout()->spacing()));
}

void StatusPanels::Clear()
{
    for (QLabel* panel : panels_)
        panel->clear();
}

void StatusPanels::Show(const std::array<std::string, kCount>& texts)
{
    for (std::size_t i = 0; i < kCount; ++i)
        panels_[i]->setText(platform::ToQString(texts[i]));
}

QString StatusPanels::text(int panel) const
{
    return panels_[static_cast<std::size_t>(panel)]->text();
}

} // namespace velmora::gui
