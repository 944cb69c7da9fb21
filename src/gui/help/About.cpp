// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/help/About.h"

#include "Product.h"
#include "gui/app/Application.h"
#include "gui/dialogs/Messages.h"
#include "gui/help/HelpCommands.h"
#include "gui/playback/Launcher.h"
#include "texts/TextIds.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::gui {

namespace {

constexpr int kPictureSize = 64;
const char* const kMakersLine = "\u00a9 2026 the Velmora developers";
const char* const kAuthorMode = "cheat mode";

QString FromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Link(const QString& target, const QString& shown)
{
    return QStringLiteral("<a href=\"%1\">%2</a>")
        .arg(target.toHtmlEscaped(), shown.toHtmlEscaped());
}

// The picture, which tells when it is double-clicked.
class Picture : public QLabel {
public:
    Picture(std::function<void()> doubleClicked, QWidget* parent)
        : QLabel(parent), doubleClicked_(std::move(doubleClicked))
    {
    }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            doubleClicked_();
    }

private:
    std::function<void()> doubleClicked_;
};

} // namespace

About::About(Application& app, QWidget* parent) : QDialog(parent), app_(app)
{
    const texts::TextTable& texts = app.texts().table();
    setWindowTitle(TextOf(texts, texts::TextId::AboutCommand));

    picture_ = new Picture([this] { ToggleAuthorMode(); }, this);
    picture_->setPixmap(app.icons().window().pixmap(kPictureSize, kPictureSize));
    picture_->setAlignment(Qt::AlignTop);

    name_ = new QLabel(this);
    QFont bold = name_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    name_->setFont(bold);
    ShowName();
    auto* version = new QLabel(FromView(kVersion), this);
    auto* maker = new QLabel(QString::fromUtf8(kMakersLine), this);
    const QString mail = FromView(kMailAddress);
    const QString homepage = FromView(kHomepage);
    auto* mailLink = new QLabel(Link(QStringLiteral("mailto:") + mail, mail), this);
    auto* homeLink = new QLabel(Link(homepage, homepage), this);
    for (QLabel* link : {mailLink, homeLink}) {
        link->setTextFormat(Qt::RichText);
        link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    }
    // Both go through the launcher, the mail with the feedback subject.
    connect(mailLink, &QLabel::linkActivated, this,
            [this] { app_.launcher().OpenAddress(FeedbackAddress(app_.texts().table())); });
    connect(homeLink, &QLabel::linkActivated, this,
            [this] { app_.launcher().OpenAddress(std::string(kHomepage)); });

    auto* lines = new QVBoxLayout;
    lines->addWidget(name_);
    lines->addWidget(version);
    lines->addSpacing(8);
    lines->addWidget(maker);
    lines->addWidget(mailLink);
    lines->addWidget(homeLink);
    auto* top = new QHBoxLayout;
    top->addWidget(picture_);
    top->addSpacing(12);
    top->addLayout(lines);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        buttons->addButton(TextOf(texts, texts::TextId::OkButton), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    // Escape rejects, which closes the box as Ok does.
    connect(buttons, &QDialogButtonBox::accepted, this, &About::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ok->setFocus();
}

void About::ToggleAuthorMode()
{
    app_.settings().author = !app_.settings().author;
    ShowName();
}

void About::ShowName()
{
    QString name = FromView(kProductName);
    if (app_.settings().author)
        name += QStringLiteral(" (") + QLatin1String(kAuthorMode) + u')';
    name_->setText(name);
}

} // namespace velmora::gui
