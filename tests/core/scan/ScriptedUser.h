// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "collection/NodeText.h"
#include "scan/VolumeEditor.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora::scan::testing {

/// A user who answers from queues set up by the test and records, in order,
/// everything the commands do with it as readable events:
///   "ask 165 default No"       a question (", cancel" when Cancel is offered)
///   "ask 165 default No | 103 NAME | 89 NAME"   with its detail lines
///   "tell 158 PATH error"      a message (the path left out when empty)
///   "wait 163", "step 79", "close"   the wait window
///   "rebuild", "refresh", "select NAME", "renamed NAME"
///   "source 11", "list", "label NAME|LABEL", "scan PATH"   the dialogs
/// An empty queue answers No, cancels the dialogs and keeps the label.
class ScriptedUser final : public VolumeEditorUser {
public:
    explicit ScriptedUser(const collection::CollectionTree& tree) : tree_(tree) {}

    std::deque<Answer> answers;
    std::deque<std::optional<SourceChoice>> sources;
    std::deque<std::string> labels;
    /// Plays the volume list dialog: each call gets the tree and answers.
    std::function<bool(collection::CollectionTree&, EditorUser&)> volumeList;
    /// Plays the scan: what it does to the tree and whether it finished.
    std::function<bool(collection::CollectionTree&, const ScanRequest&)> scan;

    std::vector<std::string> events;
    std::vector<ScanRequest> scans;

    Answer Ask(texts::TextId text, Answer defaultAnswer, bool offerCancel) override
    {
        events.push_back("ask " + std::to_string(texts::Number(text)) + " default " +
                         Name(defaultAnswer) + (offerCancel ? ", cancel" : ""));
        return Pop(answers, Answer::No);
    }
    Answer AskAbout(texts::TextId text, std::span<const DetailLine> details, Answer defaultAnswer,
                    bool offerCancel) override
    {
        const Answer answer = Ask(text, defaultAnswer, offerCancel);
        for (const DetailLine& detail : details)
            events.back() +=
                " | " + std::to_string(texts::Number(detail.label)) + " " + detail.value;
        return answer;
    }
    void Tell(texts::TextId text, std::string_view path, MessageKind kind) override
    {
        std::string event = "tell " + std::to_string(texts::Number(text));
        if (!path.empty())
            event += " " + std::string(path);
        event += kind == MessageKind::Error     ? " error"
                 : kind == MessageKind::Warning ? " warning"
                                                : " information";
        events.push_back(event);
    }
    void ShowWait(texts::TextId title) override
    {
        events.push_back("wait " + std::to_string(texts::Number(title)));
    }
    void SetWaitText(texts::TextId text) override
    {
        events.push_back("step " + std::to_string(texts::Number(text)));
    }
    void CloseWait() override { events.push_back("close"); }
    void RebuildViews() override { events.push_back("rebuild"); }
    void RefreshViews() override { events.push_back("refresh"); }
    void SelectNode(collection::NodeId node) override
    {
        events.push_back("select " + std::string(collection::NodeName(tree_.text(node))));
    }
    void NodeRenamed(collection::NodeId node) override
    {
        events.push_back("renamed " + std::string(collection::NodeName(tree_.text(node))));
    }

    std::optional<SourceChoice> ChooseSource(texts::TextId caption) override
    {
        events.push_back("source " + std::to_string(texts::Number(caption)));
        return Pop(sources, std::optional<SourceChoice>());
    }
    bool ChooseVolumesToDelete(collection::CollectionTree& tree) override
    {
        events.push_back("list");
        return volumeList ? volumeList(tree, *this) : false;
    }
    std::string AskLabel(std::string_view name, std::string_view label) override
    {
        events.push_back("label " + std::string(name) + "|" + std::string(label));
        return Pop(labels, std::string(label));
    }
    bool RunScan(collection::CollectionTree& tree, const ScanRequest& request) override
    {
        events.push_back("scan " + request.sourcePath);
        scans.push_back(request);
        return scan ? scan(tree, request) : true;
    }

private:
    static std::string Name(Answer answer)
    {
        return answer == Answer::Yes ? "Yes" : answer == Answer::No ? "No" : "Cancel";
    }
    template <typename T> static T Pop(std::deque<T>& queue, T fallback)
    {
        if (queue.empty())
            return fallback;
        T value = std::move(queue.front());
        queue.pop_front();
        return value;
    }

    const collection::CollectionTree& tree_;
};

} // namespace velmora::scan::testing
