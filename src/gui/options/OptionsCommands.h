// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/app/Feature.h"

class QWidget;

namespace velmora::gui {

class Application;

/// The Options command (Tools menu, tool button): the Options window, and
/// after Ok the settings it changed and the language it chose, which
/// relabels the main window at once.
class OptionsCommands : public Feature {
public:
    explicit OptionsCommands(const FeatureContext& context);

    void Register(CommandTable& table) override;

    /// Shows the Options window; true when it was closed with Ok.
    bool ShowOptions();

private:
    Application& app_;
    QWidget* window_;
};

} // namespace velmora::gui
