// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace velmora::gui {

/// Gives the labelled controls of a dialog their Alt+letter: push buttons,
/// check and radio boxes, checkable group boxes, group boxes whose title
/// labels one control (their focus proxy), tab titles and labels that have a
/// buddy. Each takes the first letter of one of its words that is still
/// free, else any free letter or digit of its text, else none. The controls
/// outside the tab pages are served first and keep their letters on every
/// page; the controls of each page then share the rest among themselves,
/// since only one page is on view at a time.
///
/// A text that already marks a letter (from a language pack, or from an
/// earlier call) keeps it unless a control served before it marks the same
/// letter; the letters kept are set aside before any other control is
/// given one, so no two controls in view ever share a letter, whatever the
/// texts. An "&" that marks no letter or digit is doubled, so that it shows
/// as itself.
///
/// Call it once the dialog is built and its texts are set, and again after
/// they were replaced.
void AssignMnemonics(QWidget* dialog);

} // namespace velmora::gui
