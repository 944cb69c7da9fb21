// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::settings {

/// The type of a setting, and of a value as a store holds it.
enum class ValueType {
    Text,   ///< a string of UTF-8 bytes
    Number, ///< a 32-bit signed integer
    Flag,   ///< a number that means true when not 0; written as 0 or 1
    Other,  ///< only in a store: any other type the store may hold, or a
            ///< damaged entry that still has a readable name
};

/// One named value of a settings store.
struct StoredValue {
    std::string name;
    ValueType type = ValueType::Text;
    std::string text;        ///< with Text; empty otherwise
    std::int32_t number = 0; ///< with Number and Flag; 0 otherwise

    bool operator==(const StoredValue&) const = default;
};

/// The per-user settings store of the platform: a list of named, typed
/// values. Neither operation throws.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    /// Fills `values` with every value of the store in the store's order.
    /// False when there is no store yet (first start) or it cannot be read;
    /// `values` is then empty.
    [[nodiscard]] virtual bool read(std::vector<StoredValue>& values) = 0;

    /// Replaces the whole store by `values` in one step. False when nothing
    /// could be written; the store is then as it was.
    [[nodiscard]] virtual bool write(const std::vector<StoredValue>& values) = 0;
};

} // namespace velmora::settings
