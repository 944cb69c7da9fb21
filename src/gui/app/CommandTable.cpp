// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/CommandTable.h"

#include "gui/app/Icons.h"

#include <QApplication>
#include <utility>

namespace velmora::gui {

void CommandTable::Add(CommandRow row)
{
    if (row.id == Command::Count || Find(row.id) != nullptr)
        return;
    rows_.push_back(std::move(row));
}

const CommandRow* CommandTable::Find(Command id) const
{
    for (const CommandRow& row : rows_) {
        if (row.id == id)
            return &row;
    }
    return nullptr;
}

bool CommandTable::RuleHolds(Command id, const CommandState& state) const
{
    const CommandRow* row = Find(id);
    return row != nullptr && (row->enabledWhen == nullptr || row->enabledWhen(state));
}

bool CommandTable::Enabled(Command id, const CommandState& state) const
{
    const CommandRow* row = Find(id);
    return row != nullptr && row->handler && RuleHolds(id, state);
}

QIcon ThemeIcon(const char* name, QStyle::StandardPixmap fallback)
{
    const QIcon icon = Icons::ForCommand(name);
    return icon.isNull() ? QApplication::style()->standardIcon(fallback) : icon;
}

} // namespace velmora::gui
