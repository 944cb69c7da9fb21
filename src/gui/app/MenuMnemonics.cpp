// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/MenuMnemonics.h"

#include <QSet>

namespace velmora::gui {

QStringList WithMnemonics(const QStringList& captions)
{
    QStringList marked;
    marked.reserve(captions.size());
    QSet<QChar> taken;
    for (const QString& caption : captions) {
        QString text = caption;
        text.replace(u'&', QStringLiteral("&&"));
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == u'&') {
                ++i; // the second half of a doubled "&"
                continue;
            }
            if (c.isLetterOrNumber() && !taken.contains(c.toUpper())) {
                taken.insert(c.toUpper());
                text.insert(i, u'&');
                break;
            }
        }
        marked.push_back(text);
    }
    return marked;
}

QString Unmarked(const QString& caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        plain.push_back(caption[i]);
    }
    return plain;
}

QChar MnemonicOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1].toUpper();
        ++i;
    }
    return {};
}

} // namespace velmora::gui
