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

/// The position of the mnemonic mark ("&" before a letter or digit) in
/// `text`, or -1. "&&" is a literal ampersand.
qsizetype MarkIn(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1].isLetterOrNumber())
            return i;
        if (text[i + 1] == u'&')
            ++i;
    }
    return -1;
}

/// `text` without its mark, every other single "&" doubled so that it
/// shows as itself and reaches nothing.
QString Unmarked(const QString& text)
{
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            plain += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == u'&') {
            plain += QStringLiteral("&&");
            ++i;
        } else if (i + 1 >= text.size() || !text[i + 1].isLetterOrNumber()) {
            plain += QStringLiteral("&&");
        }
    }
    return plain;
}

/// Unmarked `text` with a mark before a free letter or digit, which is then
/// taken: the first letter of a word, else any.
QString Marked(const QString& text, QSet<QChar>& taken)
{
    const QString plain = Unmarked(text);
    const auto freeAt = [&](qsizetype i) {
        const QChar c = plain[i];
        return c.isLetterOrNumber() && !taken.contains(c.toUpper());
    };
    qsizetype chosen = -1;
    for (qsizetype i = 0; i < plain.size() && chosen < 0; ++i) {
        const bool wordStart = i == 0 || !plain[i - 1].isLetterOrNumber();
        if (wordStart && freeAt(i))
            chosen = i;
    }
    for (qsizetype i = 0; i < plain.size() && chosen < 0; ++i) {
        if (freeAt(i))
            chosen = i;
    }
    if (chosen < 0)
        return plain;
    taken.insert(plain[chosen].toUpper());
    QString marked = plain;
    marked.insert(chosen, u'&');
    return marked;
}

/// A text that can carry a mark, and where it goes back to.
struct Caption {
    QString text;
    std::function<void(const QString&)> set;
};

/// The captions of the controls below `root` (and of `root` itself) that
/// `inScope` lets through, in the order of the widgets.
std::vector<Caption> CaptionsOf(QWidget* root, const std::function<bool(QWidget*)>& inScope)
{
    std::vector<Caption> captions;
    std::vector<QWidget*> widgets = {root};
    const QList<QWidget*> children = root->findChildren<QWidget*>();
    widgets.insert(widgets.end(), children.begin(), children.end());
    for (QWidget* widget : widgets) {
        if (!inScope(widget))
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (!qobject_cast<QTabBar*>(button->parentWidget()) && !button->text().isEmpty())
                captions.push_back(
                    {button->text(), [button](const QString& text) { button->setText(text); }});
        } else if (auto* group = qobject_cast<QGroupBox*>(widget);
                   group && (group->isCheckable() || group->focusProxy() != nullptr)) {
            captions.push_back(
                {group->title(), [group](const QString& text) { group->setTitle(text); }});
        } else if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy()) {
            captions.push_back(
                {label->text(), [label](const QString& text) { label->setText(text); }});
        }
    }
    return captions;
}

/// Gives each caption a letter that is not in `taken`, and takes it. Marks
/// the captions carry already are kept first, so that no caption before
/// one of them can take its letter; a mark whose letter is taken (by an
/// earlier mark, or in `taken` from the start) is given up and the caption
/// marked anew.
void MarkCaptions(std::vector<Caption>& captions, QSet<QChar>& taken)
{
    std::vector<bool> kept(captions.size(), false);
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const QString& text = captions[i].text;
        const qsizetype mark = MarkIn(text);
        if (mark < 0 || taken.contains(text[mark + 1].toUpper()))
            continue;
        taken.insert(text[mark + 1].toUpper());
        kept[i] = true;
    }
    for (std::size_t i = 0; i < captions.size(); ++i) {
        Caption& caption = captions[i];
        if (kept[i])
            continue;
        const QString marked = Marked(caption.text, taken);
        if (marked != caption.text)
            caption.set(marked);
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
    std::vector<Caption> outside;
    for (QTabWidget* tab : tabs) {
        for (int i = 0; i < tab->count(); ++i)
            outside.push_back(
                {tab->tabText(i), [tab, i](const QString& text) { tab->setTabText(i, text); }});
    }
    std::vector<Caption> controls =
        CaptionsOf(dialog, [&](QWidget* widget) { return !onPage(widget); });
    outside.insert(outside.end(), controls.begin(), controls.end());
    MarkCaptions(outside, common);
    for (QWidget* page : pages) {
        QSet<QChar> taken = common;
        std::vector<Caption> captions = CaptionsOf(page, [](QWidget*) { return true; });
        MarkCaptions(captions, taken);
    }
}

} // namespace velmora::gui
