// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/MessageDialog.h"

#include "gui/dialogs/ModalFocus.h"
#include "gui/dialogs/WordWrap.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

namespace velmora::gui {
namespace {

// The design grid of the window in pixels; buttons grow when the desktop's
// font needs more room than the design gives them.
constexpr int kPanelMargin = 16;
constexpr int kIconSize = 32;
constexpr int kLabelLeft = 64;
constexpr int kLabelTop = 16;
constexpr int kDesignPanelWidth = 305;
constexpr int kDesignPanelHeight = 65;
constexpr int kDesignClientWidth = 336;
constexpr int kDesignButtonWidth = 81;
constexpr int kDesignButtonHeight = 25;
constexpr int kDesignButtonTop = 96;
constexpr int kDesignClientHeight = 136;
constexpr int kLabelBoxWidth = 480;
constexpr int kLabelBoxHeight = 200;

QStyle::StandardPixmap PixmapOf(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Question:
        return QStyle::SP_MessageBoxQuestion;
    case MessageIcon::Error:
        return QStyle::SP_MessageBoxCritical;
    case MessageIcon::Information:
        return QStyle::SP_MessageBoxInformation;
    case MessageIcon::Warning:
    case MessageIcon::None:
        break;
    }
    return QStyle::SP_MessageBoxWarning;
}

} // namespace

MessageDialog::MessageDialog(const MessageRequest& request, QWidget* parent) : QDialog(parent)
{
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    panel_ = new QFrame(this);
    panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    icon_ = new QLabel(panel_);
    label_ = new QLabel(panel_);
    label_->setTextFormat(Qt::PlainText);
    label_->setAlignment(Qt::AlignCenter);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const std::array<const QString*, 3> captions = {&request.button1, &request.button2,
                                                    &request.button3};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QPushButton(*captions[i], this);
        button->setAutoDefault(true);
        connect(button, &QPushButton::clicked, this, [this, i] {
            answer_ = i + 1;
            accept();
        });
        buttons_[i] = button;
    }
    Layout(request);
}

void MessageDialog::Layout(const MessageRequest& request)
{
    setWindowTitle(request.caption);

    // The label gets a large box, takes the wrapped text and then shrinks to
    // the text.
    label_->setGeometry(kLabelLeft, kLabelTop, kLabelBoxWidth, kLabelBoxHeight);
    label_->setText(WrapText(request.text, kMessageWrapColumns)
                        .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    label_->adjustSize();
    int labelLeft = kLabelLeft;
    int labelTop = kLabelTop;
    const int labelWidth = label_->width();
    const int labelHeight = label_->height();

    int iconTop = kPanelMargin;
    if (request.icon == MessageIcon::None) {
        icon_->hide();
        labelLeft = labelTop;
    } else {
        icon_->setPixmap(style()->standardIcon(PixmapOf(request.icon)).pixmap(kIconSize));
    }

    int buttonWidth = kDesignButtonWidth;
    int buttonHeight = kDesignButtonHeight;
    for (const QPushButton* button : buttons_) {
        buttonWidth = std::max(buttonWidth, button->sizeHint().width());
        buttonHeight = std::max(buttonHeight, button->sizeHint().height());
    }

    int panelWidth = kDesignPanelWidth;
    int panelHeight = kDesignPanelHeight;
    int buttonTop = kDesignButtonTop + (kDesignButtonHeight - buttonHeight) / 2;
    int clientWidth = kDesignClientWidth;
    int clientHeight = kDesignClientHeight + buttonHeight - kDesignButtonHeight;

    if (labelHeight > kIconSize) {
        iconTop = (labelHeight - kIconSize) / 2 + labelTop;
        panelHeight = labelHeight + 2 * labelTop;
        buttonTop = panelHeight + 2 * kPanelMargin;
        clientHeight = panelHeight + buttonHeight + 3 * kPanelMargin;
    } else {
        labelTop = (kIconSize - labelHeight) / 2 + iconTop;
    }

    if (panelWidth < labelLeft + labelWidth + labelTop) {
        panelWidth = labelLeft + labelWidth + labelTop;
        clientWidth = panelWidth + 2 * kPanelMargin;
    } else {
        labelLeft = (labelLeft + panelWidth - labelWidth - labelTop) / 2;
    }

    const int count = !request.button3.isEmpty() && !request.button2.isEmpty() ? 3
                      : !request.button2.isEmpty()                             ? 2
                                                                               : 1;
    // Buttons wider than the design may need a wider window to sit side by side.
    clientWidth = std::max(clientWidth, count * buttonWidth + (count + 1) * kPanelMargin);
    panelWidth = std::max(panelWidth, clientWidth - 2 * kPanelMargin);

    panel_->setGeometry(kPanelMargin, kPanelMargin, panelWidth, panelHeight);
    icon_->setGeometry(kPanelMargin, iconTop, kIconSize, kIconSize);
    label_->move(labelLeft, labelTop);

    const int firstLeft = (clientWidth - count * buttonWidth - (count - 1) * kPanelMargin) / 2;
    for (int i = 0; i < 3; ++i) {
        QPushButton* button = buttons_[i];
        if (i >= count) {
            button->hide();
            continue;
        }
        button->setGeometry(firstLeft + i * (buttonWidth + kPanelMargin), buttonTop, buttonWidth,
                            buttonHeight);
    }
    setFixedSize(clientWidth, clientHeight);

    defaultButton_ = std::clamp(request.defaultButton, 1, count);
    escapeButton_ =
        request.escapeButton >= 1 && request.escapeButton <= count ? request.escapeButton : 0;
    buttons_[defaultButton_ - 1]->setDefault(true);
    buttons_[defaultButton_ - 1]->setFocus();
}

int MessageDialog::Run()
{
    answer_ = 0;
    ExecModal(*this);
    return answer_;
}

void MessageDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The message takes the keyboard at once, whichever window asked it,
    // rather than waiting for the window manager to pass it on.
    activateWindow();
    QWidget* focus = focusWidget();
    if (focus == nullptr || !focus->isVisible())
        buttons_[defaultButton_ - 1]->setFocus(Qt::ActiveWindowFocusReason);
}

void MessageDialog::keyPressEvent(QKeyEvent* event)
{
    // QDialog's Escape would reject and answer 0; here it answers as the
    // escape button does, and without one the close box is the only way
    // out.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        if (escapeButton_ > 0)
            buttons_[escapeButton_ - 1]->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace velmora::gui
