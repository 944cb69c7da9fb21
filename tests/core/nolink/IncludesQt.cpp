// SPDX-License-Identifier: GPL-3.0-or-later
// Must fail to compile with the core's include paths: the core has no Qt.
#include <QString>

int main()
{
    return QString().size();
}
