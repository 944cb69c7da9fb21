// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/app/Feature.h"

class QWidget;

namespace velmora::gui {

class Application;

/// The CD cover command (Tools menu, tool button, Ctrl+C): the cover window
/// for a mounted volume, always available.
class CoverCommands : public Feature {
public:
    explicit CoverCommands(const FeatureContext& context);

    void Register(CommandTable& table) override;

    /// Shows the cover window; returns once it has closed.
    void ShowCover();

private:
    Application& app_;
    QWidget* window_;
};

} // namespace velmora::gui
