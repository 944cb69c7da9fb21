// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace velmora::gui {

/// The captions of one menu (or of the menu bar's titles) with an Alt letter
/// each, in the same order: "&" before the first letter or digit of each
/// caption that no earlier caption has taken, letters compared upper-cased;
/// a caption with no free letter gets none. An "&" of the text itself is
/// doubled, so that it shows as it is and marks nothing. Made at run time
/// from whatever texts are active, so that every language gets its keys.
QStringList WithMnemonics(const QStringList& captions);

/// A caption without its Alt letter: the plain text that WithMnemonics()
/// marked ("&&" back to "&").
QString Unmarked(const QString& caption);

/// The character a caption made by WithMnemonics() is reached by (upper
/// case), or a null QChar when it has none.
QChar MnemonicOf(const QString& caption);

} // namespace velmora::gui
