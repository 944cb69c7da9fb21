// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/print/PrintPreview.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace velmora::gui {
namespace {

using enum TUnits;

/// A preview set up as the CD cover uses it: A4 in tenths of a millimetre.
void SetUpLoMetricA4(TPrintPreview& preview)
{
    preview.SetUnits(mmLoMetric);
    preview.SetPaperType(TPaperType::pA4);
}

/// Records `pages` pages, each with a frame 1 mm inside the paper.
void RecordPages(TPrintPreview& preview, int pages)
{
    ASSERT_TRUE(preview.BeginDoc());
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) {
            ASSERT_TRUE(preview.NewPage());
        }
        preview.Canvas()->drawRect(10, 10, preview.PaperWidth() - 20, preview.PaperHeight() - 20);
    }
    preview.EndDoc();
}

/// Rows of `image` holding a pixel darker than mid grey: first and last.
std::optional<std::pair<int, int>> InkRows(const QImage& image)
{
    std::optional<std::pair<int, int>> rows;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                rows = std::pair(rows ? rows->first : y, y);
                break;
            }
        }
    }
    return rows;
}

QImage WhiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

/// The output of `program` with `arguments`; nullopt when it is not installed
/// or fails.
std::optional<QString> RunTool(const QString& program, const QStringList& arguments)
{
    if (QStandardPaths::findExecutable(program).isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(PrintUnitsTest, ConversionRoundsHalvesAwayFromZeroAndTakesTenfoldStepsExactly)
{
    EXPECT_EQ(ConvertUnits(108, mmTWIPS, mmLoEnglish, 96), 8); // 7.5
    EXPECT_EQ(ConvertUnits(-108, mmTWIPS, mmLoEnglish, 96), -8);
    EXPECT_EQ(ConvertUnits(2100, mmLoMetric, mmPixel, 96), 794); // 793.7
    EXPECT_EQ(ConvertUnits(794, mmPixel, mmLoMetric, 96), 2101);
    EXPECT_EQ(ConvertUnits(29, mmHiMetric, mmLoMetric, 96), 2);
    EXPECT_EQ(ConvertUnits(-29, mmHiMetric, mmLoMetric, 96), -2);
    EXPECT_EQ(ConvertUnits(29, mmHiEnglish, mmLoEnglish, 96), 2);
    EXPECT_EQ(ConvertUnits(3, mmLoEnglish, mmHiEnglish, 96), 30);
    EXPECT_EQ(ConvertUnits(1440, mmTWIPS, mmHiMetric, 96), 2540);
}

TEST(PrintUnitsTest, PaperTableAgreesWithQtPageSizes)
{
    EXPECT_EQ(PaperInfoOf(TPaperType::pA4).code, 9);
    EXPECT_EQ(PaperInfoOf(TPaperType::pLetterExtra).code, 50);
    EXPECT_EQ(PaperInfoOf(TPaperType::pCustom).code, 255);
    EXPECT_EQ(PaperInfoOf(TPaperType::pA4).pageSizeId, QPageSize::A4);
    EXPECT_EQ(PaperInfoOf(TPaperType::pLetter).pageSizeId, QPageSize::Letter);
    EXPECT_EQ(PaperInfoOf(TPaperType::pEnvDL).pageSizeId, QPageSize::EnvelopeDL);
    EXPECT_EQ(PaperInfoOf(TPaperType::pCSheet).pageSizeId, QPageSize::AnsiC);
    // Every paper mapped to a Qt size has that size, within half a millimetre.
    for (const PaperInfo& paper : PaperTable()) {
        if (paper.pageSizeId == QPageSize::Custom)
            continue;
        const QSizeF qt = QPageSize(paper.pageSizeId).size(QPageSize::Millimeter);
        EXPECT_NEAR(qt.width() * 10, paper.width, 5) << paper.code;
        EXPECT_NEAR(qt.height() * 10, paper.height, 5) << paper.code;
    }
}

TEST(PrintPreviewTest, UnitsConvertPaperMarginsAndFont)
{
    TPrintPreview preview;
    EXPECT_EQ(preview.Units(), mmHiMetric);
    EXPECT_EQ(preview.PaperWidth(), 21000);
    EXPECT_EQ(preview.Font().pixelSize(), 200);

    SetUpLoMetricA4(preview);
    EXPECT_EQ(preview.PaperWidth(), 2100);
    EXPECT_EQ(preview.PaperHeight(), 2970);
    EXPECT_EQ(preview.MinimumMargin(), 60);
    EXPECT_EQ(preview.MarginLeft(), 70);
    EXPECT_EQ(preview.Font().pixelSize(), 20);

    preview.SetUnits(mmHiMetric);
    EXPECT_EQ(preview.PaperWidth(), 21000);
    EXPECT_EQ(preview.PaperHeight(), 29700);
    preview.SetUnits(mmLoMetric);
    EXPECT_EQ(preview.PaperWidth(), 2100);
    EXPECT_EQ(preview.PaperHeight(), 2970);
    EXPECT_EQ(preview.PaperType(), TPaperType::pA4);

    preview.SetPaperType(TPaperType::pLedger);
    EXPECT_EQ(preview.PaperWidth(), 4318);
    EXPECT_EQ(preview.PaperHeight(), 2794);
    preview.SetOrientation(QPageLayout::Landscape);
    EXPECT_EQ(preview.PaperWidth(), 2794);
    EXPECT_EQ(preview.PaperHeight(), 4318);
    preview.SetPaperSize(1000, 500);
    EXPECT_EQ(preview.PaperType(), TPaperType::pCustom);
}

TEST(PrintPreviewTest, MarginsAreRaisedToTheMinimumAndFramePageRect)
{
    TPrintPreview preview;
    preview.SetMarginLeft(100);
    EXPECT_EQ(preview.MarginLeft(), 600);

    SetUpLoMetricA4(preview);
    preview.SetMargins(60, 180, 59, 0);
    EXPECT_EQ(preview.MarginRight(), 60);
    EXPECT_EQ(preview.MarginBottom(), 60);
    const QRect page = preview.PageRect();
    EXPECT_EQ(page.left(), 60);
    EXPECT_EQ(page.top(), 180);
    EXPECT_EQ(page.left() + page.width(), 2040);
    EXPECT_EQ(page.top() + page.height(), 2910);

    preview.SetFont(QFont(QStringLiteral("Arial"), 36));
    EXPECT_EQ(preview.Font().pixelSize(), 36 * preview.logicalDpiY() / 72);
}

TEST(PrintPreviewTest, ZoomToFitFitsTheWidthOfATallAreaAndTheHeightOfAWideOne)
{
    TPrintPreview preview;
    preview.setFrameShape(QFrame::NoFrame);
    SetUpLoMetricA4(preview);
    RecordPages(preview, 1);
    preview.resize(300, 900);
    preview.show();
    const TPaperPreview& sheet = *preview.Sheet();
    EXPECT_EQ(sheet.width(), 300 - 12);
    EXPECT_EQ(sheet.x(), 6);
    EXPECT_GT(sheet.y(), 6);
    EXPECT_FALSE(preview.verticalScrollBar()->isVisible());

    preview.resize(900, 300);
    EXPECT_EQ(sheet.height(), 300 - 12);
    EXPECT_EQ(sheet.y(), 6);
    EXPECT_EQ(sheet.x(), (900 - sheet.width()) / 2);
    EXPECT_FALSE(preview.horizontalScrollBar()->isVisible());
    EXPECT_EQ(sheet.cursor().shape(), Qt::ArrowCursor);
}

TEST(PrintPreviewTest, ZoomedSheetScrollsByKeysAndFollowsADrag)
{
    TPrintPreview preview;
    SetUpLoMetricA4(preview);
    RecordPages(preview, 1);
    preview.resize(400, 300);
    preview.show();
    preview.SetZoom(200);
    EXPECT_EQ(preview.ZoomState(), TZoomState::zsZoomOther);
    const TPaperPreview& sheet = *preview.Sheet();
    const int dpi = preview.logicalDpiX();
    // 210 mm at twice the screen's size, plus the frame and the shadow.
    EXPECT_EQ(sheet.PaperWidth(),
              MulDivRound(preview.DevicePageSize().width(), std::int64_t(dpi) * 200,
                          std::int64_t(preview.DeviceDpiX()) * 100));
    QScrollBar& hbar = *preview.horizontalScrollBar();
    QScrollBar& vbar = *preview.verticalScrollBar();
    ASSERT_TRUE(hbar.isVisible());
    ASSERT_TRUE(vbar.isVisible());
    EXPECT_EQ(hbar.maximum(), sheet.width() - preview.viewport()->width() + 12);
    EXPECT_EQ(hbar.pageStep(), preview.viewport()->width());
    EXPECT_EQ(sheet.cursor().shape(), Qt::OpenHandCursor);
    EXPECT_EQ(sheet.pos(), QPoint(6, 6));

    QTest::keyClick(&preview, Qt::Key_Right);
    EXPECT_EQ(hbar.value(), 8);
    EXPECT_EQ(sheet.x(), 6 - 8);
    QTest::keyClick(&preview, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(vbar.value(), vbar.pageStep());
    QTest::keyClick(&preview, Qt::Key_End);
    EXPECT_EQ(hbar.value(), hbar.maximum());
    QTest::keyClick(&preview, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(vbar.value(), 0);
    QTest::keyClick(&preview, Qt::Key_Home);
    EXPECT_EQ(hbar.value(), 0);

    // Grab the sheet at (100, 100) and pull the pointer 20 left and 30 up.
    hbar.setValue(50);
    vbar.setValue(50);
    const QPoint grabbed(100, 100);
    const QPoint grabbedInArea = sheet.mapTo(preview.viewport(), grabbed);
    QMouseEvent press(QEvent::MouseButtonPress, grabbed, sheet.mapToGlobal(grabbed), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::setActiveWindow(&preview);
    preview.clearFocus();
    QApplication::sendEvent(preview.Sheet(), &press);
    EXPECT_TRUE(preview.hasFocus());
    const QPoint to = grabbed - QPoint(20, 30);
    QMouseEvent move(QEvent::MouseMove, to, sheet.mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(preview.Sheet(), &move);
    EXPECT_EQ(hbar.value(), 70);
    EXPECT_EQ(vbar.value(), 80);
    EXPECT_EQ(sheet.mapTo(preview.viewport(), grabbed), grabbedInArea - QPoint(20, 30));
}

TEST(PrintPreviewTest, PagesAreShownAndTurnedByKeys)
{
    TPrintPreview preview;
    std::vector<int> shown;
    QObject::connect(&preview, &TPrintPreview::changed, &preview,
                     [&] { shown.push_back(preview.CurrentPage()); });
    SetUpLoMetricA4(preview);
    RecordPages(preview, 1);
    EXPECT_EQ(preview.CurrentPage(), 1);
    EXPECT_EQ(preview.State(), TPreviewState::Idle);
    EXPECT_TRUE(preview.Sheet()->isVisibleTo(&preview));
    EXPECT_EQ(preview.Canvas(), nullptr);

    RecordPages(preview, 3);
    EXPECT_EQ(preview.PageCount(), 3);
    QTest::keyClick(&preview, Qt::Key_PageUp);
    EXPECT_EQ(preview.CurrentPage(), 1);
    QTest::keyClick(&preview, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(preview.CurrentPage(), 3);
    QTest::keyClick(&preview, Qt::Key_PageDown);
    EXPECT_EQ(preview.CurrentPage(), 3);
    QTest::keyClick(&preview, Qt::Key_PageUp);
    EXPECT_EQ(preview.CurrentPage(), 2);
    // With Shift the key is not ours: the default handling turns no page.
    QTest::keyClick(&preview, Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(preview.CurrentPage(), 2);
    preview.Clear();
    EXPECT_EQ(preview.CurrentPage(), 0);
    EXPECT_FALSE(preview.Sheet()->isVisibleTo(&preview));
    preview.SetCurrentPage(2);
    EXPECT_EQ(preview.CurrentPage(), 0);
    // Clear, page 1 of one page, clear, page 1 of three, 3, 2, clear.
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 0, 1, 1, 1, 3, 2, 0}));
}

TEST(PrintPreviewTest, RecordedLinesAreReplayedAtTheirPlaceOnAnImage)
{
    TPrintPreview preview;
    SetUpLoMetricA4(preview);
    ASSERT_TRUE(preview.BeginDoc());
    QPainter& canvas = *preview.Canvas();
    canvas.drawLine(0, 2500, 2100, 2500); // the page's own pen: one black pixel
    canvas.setPen(QPen(Qt::black, 10));
    canvas.drawLine(0, 1000, 2100, 1000); // y = 100 mm
    canvas.drawLine(1500, 0, 1500, 2970); // x = 150 mm
    // Units changed mid-page: the page's mapping and pen follow.
    preview.SetUnits(mmHiMetric);
    canvas.drawLine(5000, 0, 5000, 29700); // x = 50 mm, 1 mm wide
    preview.EndDoc();

    QImage image = WhiteImage(420, 594); // 2 pixels per mm
    QPainter painter(&image);
    preview.RenderPage(1, painter, QRectF(0, 0, 420, 594));
    painter.end();
    EXPECT_LT(qGray(image.pixel(50, 200)), 128);
    EXPECT_LT(qGray(image.pixel(300, 500)), 128);
    // At y = 250 mm, give or take the rounding to device pixels.
    const auto rows = InkRows(image.copy(50, 495, 1, 11));
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->first, rows->second);
    EXPECT_EQ(image.pixel(50, 495 + rows->first), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(100, 300), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(96, 300), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(50, 150), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(320, 400), qRgb(255, 255, 255));
}

TEST(PrintPreviewTest, TextKeepsItsSizeOnThePageAtAnyResolution)
{
    TPrintPreview preview;
    SetUpLoMetricA4(preview);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(48); // 4.8 mm, the cover's listing
    preview.SetFont(font);
    ASSERT_TRUE(preview.BeginDoc());
    preview.Canvas()->drawText(200, 1000, QStringLiteral("HHHH"));
    preview.EndDoc();

    // The ink's height as a fraction of the page's height.
    const auto inkFraction = [](const QImage& page) {
        const auto rows = InkRows(page);
        return rows ? double(rows->second - rows->first + 1) / page.height() : 0.0;
    };
    std::vector<double> fractions;
    for (const int width : {420, 1654}) { // 2 and about 7.9 pixels per mm
        const int height = width * 2970 / 2100;
        QImage image = WhiteImage(width, height);
        QPainter painter(&image);
        preview.RenderPage(1, painter, QRectF(0, 0, width, height));
        painter.end();
        fractions.push_back(inkFraction(image));
    }
    // A capital H is about 0.73 of the font's 4.8 mm.
    EXPECT_NEAR(fractions[0], 0.73 * 48 / 2970, 0.2 * 48 / 2970);
    EXPECT_NEAR(fractions[1], fractions[0], 0.1 * fractions[0]);

    // The same page through a 1200 dpi PDF, read back at 200 dpi.
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("text.pdf"));
    ASSERT_TRUE(preview.PrintToPdf(pdf, 1, 1));
    if (!RunTool(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("200"), QStringLiteral("-png"),
                  QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("text"))}))
        GTEST_SKIP() << "pdftoppm is not installed";
    const QImage printed(dir.filePath(QStringLiteral("text.png")));
    ASSERT_FALSE(printed.isNull());
    EXPECT_NEAR(inkFraction(printed), fractions[1], 0.1 * fractions[1]);
}

TEST(PrintPreviewTest, PrintingAWiderRangeThanTheDocumentPrintsEveryPageToPdf)
{
    TPrintPreview preview;
    SetUpLoMetricA4(preview);
    preview.SetPrintJobTitle(QStringLiteral("CD cover"));
    RecordPages(preview, 2);
    std::vector<std::pair<int, int>> progress;
    std::vector<const char*> events;
    QObject::connect(&preview, &TPrintPreview::printProgress, &preview,
                     [&](int page, int percent, bool&) { progress.emplace_back(page, percent); });
    QObject::connect(&preview, &TPrintPreview::beforePrint, &preview,
                     [&] { events.push_back("before"); });
    QObject::connect(&preview, &TPrintPreview::afterPrint, &preview,
                     [&] { events.push_back("after"); });
    QObject::connect(&preview, &TPrintPreview::abort, &preview, [&] { events.push_back("abort"); });

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("cover.pdf"));
    ASSERT_TRUE(preview.PrintToPdf(pdf, 0, 5));
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 0}, {1, 50}, {2, 50}, {2, 100}}));
    EXPECT_EQ(events, (std::vector<const char*>{"before", "after"}));
    EXPECT_FALSE(preview.Aborted());
    EXPECT_EQ(preview.State(), TPreviewState::Idle);

    const auto info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    if (!info)
        GTEST_SKIP() << "pdfinfo is not installed";
    EXPECT_TRUE(info->contains(QRegularExpression(QStringLiteral("Pages: +2\n"))))
        << info->toStdString();
    EXPECT_TRUE(info->contains(QStringLiteral("(A4)"))) << info->toStdString();
    EXPECT_TRUE(info->contains(QRegularExpression(QStringLiteral("Title: +CD cover\n"))))
        << info->toStdString();
}

TEST(PrintPreviewTest, FailedOrAbortedPdfLeavesTheTargetAsItWas)
{
    TPrintPreview preview;
    SetUpLoMetricA4(preview);
    RecordPages(preview, 2);
    QTemporaryDir dir;

    const QString missing = dir.filePath(QStringLiteral("no such folder/cover.pdf"));
    EXPECT_FALSE(preview.PrintToPdf(missing, 1, 2));
    EXPECT_FALSE(QFile::exists(missing));

    const QString existing = dir.filePath(QStringLiteral("cover.pdf"));
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write("old"), 3);
    }
    int aborts = 0;
    QObject::connect(&preview, &TPrintPreview::printProgress, &preview,
                     [](int page, int, bool& abortIt) { abortIt = page == 2; });
    QObject::connect(&preview, &TPrintPreview::abort, &preview, [&] { ++aborts; });
    EXPECT_FALSE(preview.PrintToPdf(existing, 1, 2));
    EXPECT_TRUE(preview.Aborted());
    EXPECT_EQ(aborts, 1);
    EXPECT_EQ(preview.State(), TPreviewState::Idle);
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("cover.pdf")});
}

TEST(PrintPreviewTest, PrintDialogOpensWithoutPrinterAndPrintsTheChosenRangeToPdf)
{
    if (TPrintPreview::PrinterInstalled())
        GTEST_SKIP() << "the dialog would offer a real printer";
    QWidget window;
    TPrintPreview preview(&window);
    SetUpLoMetricA4(preview);
    RecordPages(preview, 3);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("dialog.pdf"));
    ASSERT_TRUE(preview.ShowPrintDialog(&window, 2, 3, pdf));
    auto* dialog = window.findChild<QPrintDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->maxPage(), 3);
    EXPECT_EQ(dialog->fromPage(), 2);
    EXPECT_EQ(dialog->toPage(), 3);
    EXPECT_FALSE(preview.ShowPrintDialog(&window, 1, 1));

    std::vector<int> pages;
    QObject::connect(&preview, &TPrintPreview::printProgress, &preview,
                     [&](int page, int, bool&) { pages.push_back(page); });
    dialog->accept();
    EXPECT_EQ(pages, (std::vector<int>{2, 2, 3, 3}));
    EXPECT_TRUE(QFile::exists(pdf));
}

} // namespace
} // namespace velmora::gui
