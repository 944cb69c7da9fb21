// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/SearchCriteria.h"

#include "settings/Settings.h"

#include <gtest/gtest.h>

namespace velmora::search {
namespace {

TEST(SearchCriteria, StoredPropertyBytesSurviveAReadAndWriteBack)
{
    // Off bytes other than 0, values outside the named ones and the unused
    // bytes 8 and 17 are kept.
    settings::Settings s;
    s.property = {2, 7, 11, 1, 2, 0, 0, 1, 9, 1, 0, 2, 5, -1, 4, 1, 1, 3};
    s.author = true;
    const PropertyCriteria criteria = PropertyCriteriaFrom(s);
    EXPECT_FALSE(criteria.bitRate.used);
    EXPECT_TRUE(criteria.sampleRate.used);
    EXPECT_EQ(criteria.sampleRate.comparison, Comparison::Greater);
    EXPECT_EQ(criteria.sampleRate.value, SampleRateValue::Hz22050);
    EXPECT_TRUE(criteria.authorMode);

    settings::Settings written = s;
    WriteCriteria(criteria, written);
    EXPECT_EQ(written.property, s.property);

    PropertyCriteria changed = criteria;
    changed.bitRate.used = true;
    changed.sampleRate.used = false;
    changed.validTag.value = TagPresence::Present;
    WriteCriteria(changed, written);
    EXPECT_EQ(written.property,
              (PropertyBytes{1, 7, 11, 0, 2, 0, 0, 1, 9, 1, 0, 2, 5, -1, 4, 1, 0, 3}));
}

} // namespace
} // namespace velmora::search
