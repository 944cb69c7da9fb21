// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;

namespace velmora::gui {

class Application;

/// The About box: the program's picture, its name (with " (cheat mode)"
/// while author mode is on), the version, the maker's line and the mail
/// and homepage addresses as links. Double-clicking the picture switches
/// author mode, a setting of the application.
class About : public QDialog {
    Q_OBJECT
public:
    explicit About(Application& app, QWidget* parent = nullptr);

    /// Switches author mode and shows it in the first line.
    void ToggleAuthorMode();

    QLabel* picture() const { return picture_; }
    QLabel* nameLine() const { return name_; }

private:
    void ShowName();

    Application& app_;
    QLabel* picture_ = nullptr;
    QLabel* name_ = nullptr;
};

} // namespace velmora::gui
