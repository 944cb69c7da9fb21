// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SystemClock.h"

#include <QDate>

namespace velmora::platform {

std::int32_t SystemClock::today() const
{
    static const QDate dayZero(1899, 12, 30);
    return static_cast<std::int32_t>(dayZero.daysTo(QDate::currentDate()));
}

} // namespace velmora::platform
