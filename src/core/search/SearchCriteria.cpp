// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/SearchCriteria.h"

#include "settings/Settings.h"

namespace velmora::search {

namespace {

template <typename Value>
ComparedTerm<Value> ComparedFrom(const PropertyBytes& bytes, std::size_t on)
{
    return {bytes[on] == 1, static_cast<Comparison>(bytes[on + 1]),
            static_cast<Value>(bytes[on + 2])};
}

template <typename Value> ChoiceTerm<Value> ChoiceFrom(const PropertyBytes& bytes, std::size_t on)
{
    return {bytes[on] == 1, static_cast<Value>(bytes[on + 1])};
}

void WriteOn(bool used, PropertyBytes& bytes, std::size_t on)
{
    if (used)
        bytes[on] = 1;
    else if (bytes[on] == 1)
        bytes[on] = 0;
}

template <typename Value>
void WriteCompared(const ComparedTerm<Value>& term, PropertyBytes& bytes, std::size_t on)
{
    WriteOn(term.used, bytes, on);
    bytes[on + 1] = static_cast<std::int32_t>(term.comparison);
    bytes[on + 2] = static_cast<std::int32_t>(term.value);
}

template <typename Value>
void WriteChoice(const ChoiceTerm<Value>& term, PropertyBytes& bytes, std::size_t on)
{
    WriteOn(term.used, bytes, on);
    bytes[on + 1] = static_cast<std::int32_t>(term.value);
}

} // namespace

PropertyCriteria PropertyCriteriaFrom(const PropertyBytes& bytes)
{
    PropertyCriteria criteria;
    criteria.bitRate = ComparedFrom<BitRateValue>(bytes, 0);
    criteria.sampleRate = ComparedFrom<SampleRateValue>(bytes, 3);
    criteria.channelMode = ChoiceFrom<ChannelMode>(bytes, 6);
    criteria.version = ComparedFrom<VersionValue>(bytes, 9);
    criteria.layer = ComparedFrom<LayerValue>(bytes, 12);
    criteria.validTag = ChoiceFrom<TagPresence>(bytes, 15);
    return criteria;
}

PropertyBytes PropertyBytesOf(const PropertyCriteria& criteria, PropertyBytes stored)
{
    WriteCompared(criteria.bitRate, stored, 0);
    WriteCompared(criteria.sampleRate, stored, 3);
    WriteChoice(criteria.channelMode, stored, 6);
    WriteCompared(criteria.version, stored, 9);
    WriteCompared(criteria.layer, stored, 12);
    WriteChoice(criteria.validTag, stored, 15);
    return stored;
}

NameCriteria NameCriteriaFrom(const settings::Settings& settings)
{
    return {settings.nameText, settings.nameCase, static_cast<SearchArea>(settings.nameArea)};
}

TagCriteria TagCriteriaFrom(const settings::Settings& settings)
{
    return {settings.tagText};
}

PropertyCriteria PropertyCriteriaFrom(const settings::Settings& settings)
{
    PropertyCriteria criteria = PropertyCriteriaFrom(settings.property);
    criteria.authorMode = settings.author;
    return criteria;
}

DuplicateCriteria DuplicateCriteriaFrom(const settings::Settings& settings)
{
    return {settings.compareName, settings.compareProperty,
            static_cast<SearchArea>(settings.duplicateArea)};
}

void WriteCriteria(const NameCriteria& criteria, settings::Settings& settings)
{
    settings.nameText = criteria.text;
    settings.nameCase = criteria.matchCase;
    settings.nameArea = static_cast<std::int32_t>(criteria.area);
}

void WriteCriteria(const TagCriteria& criteria, settings::Settings& settings)
{
    settings.tagText = criteria.texts;
}

void WriteCriteria(const PropertyCriteria& criteria, settings::Settings& settings)
{
    settings.property = PropertyBytesOf(criteria, settings.property);
}

void WriteCriteria(const DuplicateCriteria& criteria, settings::Settings& settings)
{
    settings.compareName = criteria.compareName;
    settings.compareProperty = criteria.compareProperty;
    settings.duplicateArea = static_cast<std::int32_t>(criteria.area);
}

} // namespace velmora::search
