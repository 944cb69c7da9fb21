// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

namespace velmora::gui::testing {

/// Answers the modal dialogs of a command in turn: each step waits for the
/// next dialog of its class to come up and acts on it. Wait windows and
/// dialogs of other classes are passed over. Steps left at the end mean a
/// dialog that never came.
class ModalScript {
public:
    template <typename Dialog> void Then(std::function<void(Dialog&)> act)
    {
        steps_.push_back([act = std::move(act)](QWidget* widget) {
            auto* dialog = qobject_cast<Dialog*>(widget);
            if (dialog == nullptr)
                return false;
            act(*dialog);
            return true;
        });
    }

    ModalScript()
    {
        timer_.setInterval(2);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || modal == last_ || !modal->isVisible() || steps_.empty())
                return;
            if (steps_.front()(modal)) {
                last_ = modal;
                steps_.pop_front();
            }
        });
        timer_.start();
    }

    std::size_t left() const { return steps_.size(); }

private:
    std::deque<std::function<bool(QWidget*)>> steps_;
    QPointer<QWidget> last_;
    QTimer timer_;
};

} // namespace velmora::gui::testing
