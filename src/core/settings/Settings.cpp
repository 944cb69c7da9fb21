// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Settings.h"

#include <algorithm>
#include <cstddef>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <variant>

namespace velmora::settings {

namespace {

// Where one value lives in the record, for reading into it and writing from it.
using Slot = std::variant<std::string*, std::int32_t*, bool*, std::optional<std::int32_t>*>;
using ConstSlot = std::variant<const std::string*, const std::int32_t*, const bool*,
                               const std::optional<std::int32_t>*>;

template <typename T> constexpr ValueType TypeOf()
{
    if constexpr (std::is_same_v<T, std::string>)
        return ValueType::Text;
    else if constexpr (std::is_same_v<T, bool>)
        return ValueType::Flag;
    else if constexpr (std::is_same_v<T, std::int32_t> ||
                       std::is_same_v<T, std::optional<std::int32_t>>)
        return ValueType::Number;
    else
        static_assert(sizeof(T) == 0, "a setting is text, a 32-bit number or a flag");
}

template <auto Member>
using MemberType = std::remove_cvref_t<decltype(std::declval<Settings&>().*Member)>;

// A member or an array member of the record, stored as one value or as one
// value per element.
struct Field {
    std::string_view name;
    ValueType type;
    std::size_t count; // values stored: 1, or the array's size
    int firstIndex;    // number after the name of element 0; only with arrays
    bool array;
    bool windowBound; // skipped on reading when the window's bounds are not used
    Slot (*slot)(Settings&, std::size_t element);
    ConstSlot (*constSlot)(const Settings&, std::size_t element);
};

template <auto Member> constexpr Field One(std::string_view name, bool windowBound = false)
{
    return {name,
            TypeOf<MemberType<Member>>(),
            1,
            0,
            false,
            windowBound,
            [](Settings& s, std::size_t) -> Slot { return &(s.*Member); },
            [](const Settings& s, std::size_t) -> ConstSlot { return &(s.*Member); }};
}

template <auto Member> constexpr Field Range(std::string_view name, int firstIndex)
{
    using Array = MemberType<Member>;
    return {name,
            TypeOf<typename Array::value_type>(),
            std::tuple_size_v<Array>,
            firstIndex,
            true,
            false,
            [](Settings& s, std::size_t i) -> Slot { return &(s.*Member)[i]; },
            [](const Settings& s, std::size_t i) -> ConstSlot { return &(s.*Member)[i]; }};
}

// Every value in the order of reading and writing: the names and the order
// are those of the store and must not change.
constexpr std::array kFields = {
    One<&Settings::langName>("LangName"),
    One<&Settings::currentCollection>("CurrentCollection"),
    One<&Settings::findArea>("FindArea"),
    One<&Settings::nameText>("NameText"),
    One<&Settings::nameArea>("NameArea"),
    One<&Settings::nameCase>("NameCase"),
    Range<&Settings::property>("Property", 0),
    Range<&Settings::tagText>("TagText", 1),
    One<&Settings::autoOpen>("AutoOpen"),
    One<&Settings::useWindowSettings>("UseWindowSettings"),
    Range<&Settings::reportItems>("ReportItems", 1),
    Range<&Settings::reportItemsIndex>("ReportItemsIndex", 1),
    One<&Settings::reportFormat>("ReportFormat"),
    One<&Settings::reportScanning>("ReportScanning"),
    One<&Settings::lastReportFile>("LastReportFile"),
    One<&Settings::lastOpenDir>("LastOpenDir"),
    One<&Settings::lastSaveDir>("LastSaveDir"),
    One<&Settings::compareName>("CompareName"),
    One<&Settings::compareProperty>("CompareProperty"),
    Range<&Settings::lastCol>("LastCol", 1),
    One<&Settings::lastDrive>("LastDrive"),
    One<&Settings::lastZoom>("LastZoom"),
    One<&Settings::fontName>("FontName"),
    One<&Settings::fontSize>("FontSize"),
    One<&Settings::fontColor>("FontColor"),
    One<&Settings::fontCharSet>("FontCharSet"),
    Range<&Settings::fontStyle>("FontStyle", 1),
    Range<&Settings::stretch>("Stretch", 1),
    One<&Settings::author>("Author"),
    Range<&Settings::column>("Column", 0),
    One<&Settings::gridLines>("GridLines"),
    One<&Settings::hotTrack>("HotTrack"),
    One<&Settings::tagInfo>("TagInfo"),
    One<&Settings::toolbar>("Toolbar"),
    One<&Settings::statusbar>("Statusbar"),
    One<&Settings::panelWidth>("PanelWidth"),
    One<&Settings::top>("Top", true),
    One<&Settings::left>("Left", true),
    One<&Settings::height>("Height", true),
    One<&Settings::width>("Width", true),
    One<&Settings::reportSorting>("ReportSorting"),
    One<&Settings::duplicateArea>("DuplicateArea"),
    One<&Settings::columnToSort>("ColumnToSort"),
    Range<&Settings::tagField>("TagField", 1),
    One<&Settings::autoBackup>("AutoBackup"),
    One<&Settings::numeration>("Numeration"),
    One<&Settings::addDate>("AddDate"),
    One<&Settings::customLabel>("CustomLabel"),
    One<&Settings::labelText>("LabelText"),
    One<&Settings::playerCommand>("PlayerCommand"),
    One<&Settings::readId3v2>("ReadID3v2"),
    Range<&Settings::detailColumn>("Column", 7),
    One<&Settings::shownColumns>("ShownColumns"),
    One<&Settings::detailSort>("DetailSort"),
    One<&Settings::sortDescending>("SortDescending"),
};

// One stored value: a field, or one element of an array field.
struct Value {
    std::string name;
    const Field* field;
    std::size_t element;
};

const std::vector<Value>& Values()
{
    static const std::vector<Value> values = [] {
        std::vector<Value> all;
        for (const Field& field : kFields) {
            for (std::size_t i = 0; i < field.count; ++i) {
                std::string name(field.name);
                if (field.array)
                    name += std::to_string(field.firstIndex + static_cast<int>(i));
                all.push_back({std::move(name), &field, i});
            }
        }
        return all;
    }();
    return values;
}

bool IsNumeric(ValueType type)
{
    return type == ValueType::Number || type == ValueType::Flag;
}

template <typename... F> struct Overloaded : F... {
    using F::operator()...;
};
// Spelled out for compilers without deduction for aggregates.
template <typename... F> Overloaded(F...) -> Overloaded<F...>;

// Puts a stored value into the record; false when it is not of the slot's
// type. Flags and numbers are both stored as numbers, so either type is
// accepted for either.
[[nodiscard]] bool Assign(const StoredValue& stored, const Slot& slot)
{
    return std::visit(Overloaded{
                          [&](std::string* text) {
                              if (stored.type != ValueType::Text)
                                  return false;
                              *text = stored.text;
                              return true;
                          },
                          [&](std::int32_t* number) {
                              if (!IsNumeric(stored.type))
                                  return false;
                              *number = stored.number;
                              return true;
                          },
                          [&](bool* flag) {
                              if (!IsNumeric(stored.type))
                                  return false;
                              *flag = stored.number != 0;
                              return true;
                          },
                          [&](std::optional<std::int32_t>* number) {
                              if (!IsNumeric(stored.type))
                                  return false;
                              if (stored.number == kUnsetNumber)
                                  number->reset();
                              else
                                  *number = stored.number;
                              return true;
                          },
                      },
                      slot);
}

StoredValue Stored(const Value& value, const ConstSlot& slot)
{
    StoredValue stored;
    stored.name = value.name;
    stored.type = value.field->type;
    std::visit(Overloaded{
                   [&](const std::string* text) { stored.text = *text; },
                   [&](const std::int32_t* number) { stored.number = *number; },
                   [&](const bool* flag) { stored.number = *flag ? 1 : 0; },
                   [&](const std::optional<std::int32_t>* number) {
                       stored.number = number->value_or(kUnsetNumber);
                   },
               },
               slot);
    return stored;
}

} // namespace

bool ReadResult::wasRead(std::string_view name) const
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

ReadResult ReadSettings(const std::vector<StoredValue>& stored, Settings& settings)
{
    std::unordered_map<std::string_view, const StoredValue*> byName;
    for (const StoredValue& value : stored)
        byName[value.name] = &value;

    ReadResult result;
    for (const Value& value : Values()) {
        // The record's flag is the one just read: the bounds come after it.
        if (value.field->windowBound && !settings.useWindowSettings)
            continue;
        const Slot slot = value.field->slot(settings, value.element);
        const auto found = byName.find(value.name);
        if (found == byName.end()) {
            if (value.field->type != ValueType::Text) {
                result.stoppedAt = value.name;
                break;
            }
            std::get<std::string*>(slot)->clear();
        } else if (!Assign(*found->second, slot)) {
            result.stoppedAt = value.name;
            break;
        }
        result.names.push_back(value.name);
    }
    return result;
}

ReadResult ReadSettings(SettingsStore& store, Settings& settings)
{
    std::vector<StoredValue> stored;
    if (!store.read(stored))
        return {};
    return ReadSettings(stored, settings);
}

std::vector<StoredValue> StoredValues(const Settings& settings)
{
    std::vector<StoredValue> stored;
    stored.reserve(Values().size());
    for (const Value& value : Values())
        stored.push_back(Stored(value, value.field->constSlot(settings, value.element)));
    return stored;
}

bool WriteSettings(SettingsStore& store, const Settings& settings)
{
    return store.write(StoredValues(settings));
}

void ResolveStartFolders(Settings& settings, const std::string& startFolder)
{
    if (settings.lastOpenDir.empty())
        settings.lastOpenDir = startFolder;
    if (settings.lastSaveDir.empty())
        settings.lastSaveDir = startFolder;
}

} // namespace velmora::settings
