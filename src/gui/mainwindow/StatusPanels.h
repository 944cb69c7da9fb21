// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>
#include <string>

class QLabel;
class QStatusBar;

namespace velmora::gui {

/// The six panels of the main window's status bar: sunken plain-text labels
/// of equal width. The labels belong to the bar, which must outlive this
/// object.
class StatusPanels {
public:
    static constexpr std::size_t kCount = 6;

    explicit StatusPanels(QStatusBar& bar);

    /// Gives each panel a sixth of `windowWidth` (pixels).
    void Layout(int windowWidth);
    void Clear();
    /// Shows the texts (UTF-8 or node bytes) in panels 0 to 5.
    void Show(const std::array<std::string, kCount>& texts);
    QString text(int panel) const;

private:
    QStatusBar& bar_;
    std::array<QLabel*, kCount> panels_{};
};

} // namespace velmora::gui
