// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "texts/TextTable.h"

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace velmora::texts {

/// The text table in use, owned in one place and replaceable while the
/// program runs (a language pack). Whoever shows texts asks this object for
/// them when it labels itself, and registers to be told when the table is
/// replaced, so that it labels itself again.
///
/// Only the thread that owns it (the interface thread) may call the members;
/// a worker gets a copy of the table it needs.
class ActiveTexts {
public:
    using Listener = std::function<void()>;
    /// A registration, to be handed back to Unsubscribe().
    using Subscription = std::size_t;

    ActiveTexts() = default;
    explicit ActiveTexts(TextTable table) : table_(std::move(table)) {}
    ActiveTexts(const ActiveTexts&) = delete;
    ActiveTexts& operator=(const ActiveTexts&) = delete;

    const TextTable& table() const { return table_; }
    std::string_view Text(TextId id) const { return table_.Text(id); }

    /// Makes `table` the active table, then tells every listener, in the
    /// order they registered.
    void Replace(TextTable table)
    {
        table_ = std::move(table);
        // A listener may register or leave while being told; those that are
        // registered when the replacement began are each told once.
        const std::vector<Entry> told = listeners_;
        for (const Entry& entry : told) {
            if (Registered(entry.id))
                entry.listener();
        }
    }

    Subscription Subscribe(Listener listener)
    {
        listeners_.push_back({++lastId_, std::move(listener)});
        return lastId_;
    }

    void Unsubscribe(Subscription subscription)
    {
        std::erase_if(listeners_,
                      [subscription](const Entry& entry) { return entry.id == subscription; });
    }

private:
    struct Entry {
        Subscription id;
        Listener listener;
    };

    bool Registered(Subscription id) const
    {
        for (const Entry& entry : listeners_) {
            if (entry.id == id)
                return true;
        }
        return false;
    }

    TextTable table_;
    std::vector<Entry> listeners_;
    Subscription lastId_ = 0;
};

} // namespace velmora::texts
