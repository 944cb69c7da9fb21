// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/cover/PrintCover.h"

#include "gui/GuiFixture.h"
#include "gui/ModalScript.h"
#include "gui/app/CommandTable.h"
#include "gui/cover/Stretch.h"
#include "gui/print/PrintPreview.h"
#include "settings/Settings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <filesystem>

namespace velmora::gui::testing {
namespace {

namespace fs = std::filesystem;

class PrintCoverTest : public GuiTest {
protected:
    PrintCoverTest()
    {
        for (const char* name : {"beta", "Alpha", ".hidden"})
            fs::create_directories(fs::path(disc) / name);
        fs::create_directories(home);
        volumes.setVolumes({fakes::MountedVolume(home, VolumeType::Fixed, "HOME", 1),
                            fakes::MountedVolume(disc, VolumeType::Optical, "DISC", 7)});
    }

    std::vector<std::string> Texts(const PrintCover& cover) const
    {
        std::vector<std::string> texts;
        for (const auto& op : cover.drawn()) {
            if (const auto* text = std::get_if<cover::TextOp>(&op))
                texts.push_back(text->text);
        }
        return texts;
    }

    const std::string home = dir.file("home");
    const std::string disc = dir.file("disc");
};

TEST_F(PrintCoverTest, OpensOnTheDiscAndOnlyCloseStoresTheWindowsSettings)
{
    settings::Settings& s = app.settings();
    s.lastZoom = 2;
    s.fontColor = 0x0000FF;
    s.fontCharSet = 238;
    ModalScript script;
    script.Then<PrintCover>([&](PrintCover& cover) {
        EXPECT_EQ(cover.windowTitle(), "CD cover");
        EXPECT_EQ(cover.chosenVolume().toStdString(), disc);
        EXPECT_EQ(cover.preview()->Zoom(), 100);
        EXPECT_EQ(cover.preview()->ZoomState(), TZoomState::zsZoomOther);
        EXPECT_EQ(cover.preview()->PageCount(), 1);
        EXPECT_EQ(Texts(cover), (std::vector<std::string>{"Alpha", "beta", "Alpha", "beta",
                                                          "01/01/2000", "DISC", "DISC"}));
        cover.ChooseZoom(4);
        EXPECT_EQ(cover.preview()->ZoomState(), TZoomState::zsZoomToFit);
        cover.reject(); // the close box: nothing is stored
    });
    window->action(Command::CdCover)->trigger();
    EXPECT_EQ(script.left(), 0u);
    EXPECT_EQ(s.lastZoom, 2);
    EXPECT_EQ(s.lastDrive, "");

    script.Then<PrintCover>([&](PrintCover& cover) {
        cover.ChooseZoom(6);
        cover.ChooseVolume(QString::fromStdString(home));
        QFont font(QStringLiteral("Serif"));
        font.setPointSize(20);
        font.setItalic(true);
        cover.SetListingFont(font);
        const auto& first = std::get<cover::TextOp>(cover.drawn()[4]);
        EXPECT_TRUE(first.font.italic);
        EXPECT_EQ(first.font.color, 0x0000FFu);
        cover.CloseAndStore();
    });
    window->action(Command::CdCover)->trigger();
    EXPECT_EQ(script.left(), 0u);
    EXPECT_EQ(s.lastZoom, 6);
    EXPECT_EQ(s.lastDrive, home);
    EXPECT_EQ(s.fontSize, 20);
    EXPECT_EQ(s.fontStyle, (std::array<bool, 4>{false, true, false, false}));
    EXPECT_EQ(s.fontColor, 0x0000FF);
    EXPECT_EQ(s.fontCharSet, 238);

    // A stored volume that is gone: the optical one again.
    s.lastDrive = dir.file("gone");
    PrintCover again(app, window.get());
    EXPECT_EQ(again.chosenVolume().toStdString(), disc);
}

TEST_F(PrintCoverTest, OptionsChangeTheCoverOnOkOnly)
{
    cover::CoverOptions options;
    Stretch dialog(texts, options);
    const Stretch::Controls& c = dialog.controls();
    EXPECT_FALSE(c.labelText->isEnabled());
    c.customLabel->setChecked(true);
    EXPECT_TRUE(c.labelText->isEnabled());
    EXPECT_EQ(c.labelText->maxLength(), 30);
    c.labelText->setText(QStringLiteral("Sunday"));
    c.numeration->setChecked(true);
    c.horizontal->stepBy(10);
    EXPECT_EQ(c.horizontal->value(), 105);
    c.vertical->stepBy(-2);
    dialog.reject();
    EXPECT_FALSE(dialog.options().customLabel);
    dialog.accept();
    EXPECT_EQ(dialog.options().labelText, "Sunday");
    EXPECT_EQ(dialog.options().horizontalStretch, 105);
    EXPECT_EQ(dialog.options().verticalStretch, 98);

    ModalScript script;
    script.Then<PrintCover>([](PrintCover& cover) {
        QTimer::singleShot(0, &cover, [&cover] { cover.ShowOptions(); });
    });
    script.Then<Stretch>([](Stretch& stretch) {
        stretch.controls().numeration->setChecked(true);
        stretch.controls().customLabel->setChecked(true);
        stretch.controls().labelText->setText(QStringLiteral("Sunday"));
        stretch.accept();
    });
    script.Then<PrintCover>([this](PrintCover& cover) {
        const std::vector<std::string> drawn = Texts(cover);
        EXPECT_EQ(drawn.front(), "1. Alpha");
        EXPECT_EQ(drawn.back(), "Sunday");
        cover.reject();
    });
    window->action(Command::CdCover)->trigger();
    EXPECT_EQ(script.left(), 0u);
    EXPECT_TRUE(app.settings().numeration);
    EXPECT_EQ(app.settings().labelText, "Sunday");
}

TEST_F(PrintCoverTest, ThePageShowsTheFramesAndGoesToPdf)
{
    PrintCover cover(app, window.get());
    // The page replayed at one pixel per unit: the front's left edge at
    // x 447 from y 180 down, the paper white above it.
    QImage page(cover::kPaperWidth, cover::kPaperHeight, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        cover.preview()->RenderPage(1, painter, QRectF(page.rect()));
    }
    EXPECT_LT(qGray(page.pixel(447, 800)), 128);
    EXPECT_LT(qGray(page.pixel(1000, 180)), 128);
    EXPECT_EQ(qGray(page.pixel(1000, 170)), 255);
    EXPECT_EQ(qGray(page.pixel(1000, 1000)), 255);

    const QString pdf = QString::fromStdString(dir.file("cover.pdf"));
    ASSERT_TRUE(cover.WritePdf(pdf));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
    EXPECT_FALSE(cover.WritePdf(QString::fromStdString(dir.file("missing/cover.pdf"))));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("missing/cover.pdf")));

    // A job of the print dialog that fails is told too.
    cover.PrintPage();
    auto* print = cover.findChild<QPrintDialog*>();
    ASSERT_NE(print, nullptr);
    print->printer()->setOutputFormat(QPrinter::PdfFormat);
    print->printer()->setOutputFileName(QString::fromStdString(dir.file("missing/print.pdf")));
    print->done(QDialog::Accepted);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[1].text.contains(QStringLiteral("missing/print.pdf")));
}

} // namespace
} // namespace velmora::gui::testing
