// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/Mnemonics.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <functional>
#include <vector>

namespace velmora::gui {
namespace {

/// The position of the mnemonic mark ("&" before a character that is not
/// "&") in `text`, or -1.
qsizetype MarkIn(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] != u'&')
            return i;
        ++i; // "&&" is a literal ampersand
    }
    return -1;
}

/// `text` with a mark before a free character, which is then taken.
QString Marked(const QString& text, QSet<QChar>& taken)
{
    if (text.isEmpty())
        return text;
    if (const qsizetype mark = MarkIn(text); mark >= 0) {
        taken.insert(text[mark + 1].toUpper());
        return text;
    }
    const auto freeAt = [&](qsizetype i) {
        const QChar c = text[i];
        return c.isLetterOrNumber() && !taken.contains(c.toUpper());
    };
    qsizetype chosen = -1;
    for (qsizetype i = 0; i < text.size() && chosen < 0; ++i) {
        const bool wordStart = i == 0 || !text[i - 1].isLetterOrNumber();
        if (wordStart && freeAt(i))
            chosen = i;
    }
    for (qsizetype i = 0; i < text.size() && chosen < 0; ++i) {
        if (freeAt(i))
            chosen = i;
    }
    if (chosen < 0)
        return text;
    taken.insert(text[chosen].toUpper());
    QString marked = text;
    marked.insert(chosen, u'&');
    return marked;
}

/// Marks the controls below `root` (and `root` itself) that `inScope` lets
/// through.
void MarkControls(QWidget* root, const std::function<bool(QWidget*)>& inScope, QSet<QChar>& taken)
{
    std::vector<QWidget*> widgets = {root};
    const QList<QWidget*> children = root->findChildren<QWidget*>();
    widgets.insert(widgets.end(), children.begin(), children.end());
    for (QWidget* widget : widgets) {
        if (!inScope(widget))
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (!qobject_cast<QTabBar*>(button->parentWidget()))
                button->setText(Marked(button->text(), taken));
        } else if (auto* group = qobject_cast<QGroupBox*>(widget);
                   group && (group->isCheckable() || group->focusProxy() != nullptr)) {
            group->setTitle(Marked(group->title(), taken));
        } else if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy()) {
            label->setText(Marked(label->text(), taken));
        }
    }
}

} // namespace

void AssignMnemonics(QWidget* dialog)
{
    std::vector<QWidget*> pages;
    const QList<QTabWidget*> tabs = dialog->findChildren<QTabWidget*>();
    for (QTabWidget* tab : tabs) {
        for (int i = 0; i < tab->count(); ++i)
            pages.push_back(tab->widget(i));
    }
    const auto onPage = [&pages](QWidget* widget) {
        for (QWidget* page : pages) {
            if (page == widget || page->isAncestorOf(widget))
                return true;
        }
        return false;
    };

    QSet<QChar> common;
    for (QTabWidget* tab : tabs) {
        for (int i = 0; i < tab->count(); ++i)
            tab->setTabText(i, Marked(tab->tabText(i), common));
    }
    MarkControls(
        dialog, [&](QWidget* widget) { return !onPage(widget); }, common);
    for (QWidget* page : pages) {
        QSet<QChar> taken = common;
        MarkControls(
            page, [](QWidget*) { return true; }, taken);
    }
}

} // namespace velmora::gui
