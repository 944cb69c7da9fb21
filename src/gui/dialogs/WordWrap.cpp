// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/WordWrap.h"

namespace velmora::gui {
namespace {

bool IsBreakCharacter(QChar c)
{
    static constexpr char16_t kBreaks[] = u" !)*+-.:;?\\]_}";
    for (const char16_t b : kBreaks) {
        if (b != 0 && c.unicode() == b)
            return true;
    }
    return false;
}

} // namespace

QString WrapText(const QString& text, int maxColumns)
{
    const QString lineBreak = QStringLiteral("\r\n");
    QString result;
    result.reserve(text.size() + text.size() / maxColumns * 2);
    qsizetype lineStart = 0;
    qsizetype breakAfter = -1;
    QChar quote;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            result += QStringView(text).mid(lineStart, i + 2 - lineStart);
            lineStart = i + 2;
            breakAfter = -1;
            quote = QChar();
            ++i;
            continue;
        }
        // Characters up to i make the line too long: break after the last
        // break character seen, which carries the rest over.
        if (i - lineStart + 1 > maxColumns && breakAfter >= 0 && quote.isNull()) {
            result += QStringView(text).mid(lineStart, breakAfter + 1 - lineStart);
            result += lineBreak;
            lineStart = breakAfter + 1;
            breakAfter = -1;
        }
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (IsBreakCharacter(c)) {
            breakAfter = i;
        }
    }
    result += QStringView(text).mid(lineStart);
    return result;
}

} // namespace velmora::gui
