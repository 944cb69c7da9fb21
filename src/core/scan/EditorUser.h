// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "texts/TextTable.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace velmora::scan {

/// The buttons of a question.
enum class Answer { Yes, No, Cancel };

/// A line that follows the text of a question: the text `label`, ": " and
/// `value` (VolumeLabel "Volume" and a volume's name, for instance).
struct DetailLine {
    texts::TextId label;
    std::string value;
};

/// The kind of a message, which fixes its caption and symbol: Error
/// (ErrorCaption "Error"), Warning (WarningCaption "Warning"), Information
/// (InformationCaption "Information").
enum class MessageKind { Error, Warning, Information };

/// What a command that edits the collection asks and tells the user, and how
/// it keeps the user's views of the collection in step. The GUI answers with
/// dialogs and its view tree, the CLI with fixed answers, tests with a script.
/// Texts are passed by their id (TextId); the implementation looks them up.
class EditorUser {
public:
    virtual ~EditorUser() = default;

    /// A question, caption ConfirmationCaption "Confirmation", buttons
    /// YesButton "Yes" and NoButton "No", and CancelButton "Cancel" when
    /// `offerCancel`; `defaultAnswer` is the button that has the focus.
    /// Returns the button pressed; closing the question any other way answers
    /// No, or Cancel where it is offered.
    virtual Answer Ask(texts::TextId text, Answer defaultAnswer, bool offerCancel) = 0;

    /// A question like Ask() whose text is followed by `details`, one per
    /// line (see QuestionText()). A user who cannot show them asks the bare
    /// question.
    virtual Answer AskAbout(texts::TextId text, std::span<const DetailLine> /*details*/,
                            Answer defaultAnswer, bool offerCancel)
    {
        return Ask(text, defaultAnswer, offerCancel);
    }

    /// A message with the single button OkButton "Ok". It reads `path`, ": " and
    /// the text when `path` is not empty (see MessageText()), else the text.
    virtual void Tell(texts::TextId text, std::string_view path, MessageKind kind) = 0;

    // The wait window: a title text, then step texts shown as the text
    // followed by "..." (TextTable::Step()). Commands always close what they
    // showed.
    virtual void ShowWait(texts::TextId /*titleText*/) {}
    virtual void SetWaitText(texts::TextId /*stepText*/) {}
    virtual void CloseWait() {}
    /// Runs a long step of a command under the open wait window; the step
    /// may change the collection tree. A window runs it on a worker while its
    /// views have let go of the tree, and returns when it has ended.
    virtual void RunStep(const std::function<void()>& step) { step(); }

    // The views over the collection tree.
    /// The structure of the tree changed: build the view tree again.
    virtual void RebuildViews() {}
    /// Stored data changed: refresh the views (and the enabled commands).
    virtual void RefreshViews() {}
    /// Select the view item of this collection node.
    virtual void SelectNode(collection::NodeId /*node*/) {}
    /// The text of this node changed without a change of structure: the
    /// view item shows the node's new name.
    virtual void NodeRenamed(collection::NodeId /*node*/) {}
};

/// The text of a message as EditorUser::Tell() describes it.
inline std::string MessageText(const texts::TextTable& table, texts::TextId text,
                               std::string_view path)
{
    std::string message;
    if (!path.empty()) {
        message = path;
        message += ": ";
    }
    message += table.Text(text);
    return message;
}

/// The text of a question as EditorUser::AskAbout() describes it: the text,
/// then for each detail CR LF, its label text, ": " and its value.
inline std::string QuestionText(const texts::TextTable& table, texts::TextId text,
                                std::span<const DetailLine> details)
{
    std::string question(table.Text(text));
    for (const DetailLine& detail : details) {
        question += "\r\n";
        question += table.Text(detail.label);
        question += ": ";
        question += detail.value;
    }
    return question;
}

} // namespace velmora::scan
