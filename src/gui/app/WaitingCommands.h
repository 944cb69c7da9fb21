#pragma once

#include "gui/app/Feature.h"

namespace velmora::gui {

class CommandTable;

/// The commands whose windows are still to be built (options, the help
/// entries): each has its caption, key, icon and rule, so
/// menus, tool bar and context menu show it in its place, but no handler, so
/// it is never enabled. A window that is built registers its command's row with a
/// handler in its own feature instead.
class WaitingCommands : public Feature {
public:
    explicit WaitingCommands(const FeatureContext&) {}
    void Register(CommandTable& table) override;
};

} // namespace velmora::gui
