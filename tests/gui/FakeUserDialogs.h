// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/dialogs/UserDialogs.h"

#include <QString>
#include <deque>
#include <vector>

namespace velmora::gui::testing {

/// Dialogs answered from a script: answers are queued before the action
/// under test, every request is recorded. A message without a queued answer
/// is answered 0 (as by the close box) and counted as unscripted, so a test
/// sees questions it did not expect.
class FakeUserDialogs : public UserDialogs {
public:
    std::deque<int> messageAnswers;
    std::deque<QString> openAnswers; ///< empty text: cancelled
    std::deque<QString> saveAnswers; ///< empty text: cancelled
    std::deque<QString> textAnswers; ///< each is entered and confirmed

    std::vector<MessageRequest> messages;
    std::vector<FileRequest> openRequests;
    std::vector<FileRequest> saveRequests;
    int unscripted = 0;

    int Message(const MessageRequest& request) override
    {
        messages.push_back(request);
        if (messageAnswers.empty()) {
            ++unscripted;
            return 0;
        }
        const int answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }

    QString OpenFileName(const FileRequest& request) override
    {
        openRequests.push_back(request);
        return Pop(openAnswers);
    }

    std::vector<TextRequest> textRequests;

    QString SaveFileName(const FileRequest& request) override
    {
        saveRequests.push_back(request);
        return Pop(saveAnswers);
    }

    bool TextInput(const TextRequest& request, QString& value) override
    {
        textRequests.push_back(request);
        if (textAnswers.empty()) {
            ++unscripted;
            return false;
        }
        value = Pop(textAnswers);
        return true;
    }

private:
    QString Pop(std::deque<QString>& queue)
    {
        if (queue.empty()) {
            ++unscripted;
            return {};
        }
        QString answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

} // namespace velmora::gui::testing
