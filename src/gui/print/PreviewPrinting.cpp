// SPDX-License-Identifier: GPL-3.0-or-later
// Printing of a print preview's pages: on a printer, into a PDF, or on the
// output chosen in the print dialog.
#include "gui/print/PrintPreview.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace velmora::gui {
namespace {

/// The resolution pages are recorded at (a QPicture's) and printed at.
/// Qt lays out the text of a replayed picture for that resolution and, on a
/// printer or a PDF of another resolution, scales the text (glyphs and
/// positions) by the ratio, as for a font sized in screen pixels; a font
/// sized in units would come out that much too large. At this resolution the
/// ratio is 1. Output stays vector graphics, so nothing is lost.
int ReplayDpi()
{
    return QPicture().logicalDpiY();
}

} // namespace

bool TPrintPreview::PrinterInstalled()
{
    return !QPrinterInfo::availablePrinters().isEmpty();
}

QPrinter& TPrintPreview::SelectedPrinter()
{
    if (!printer_) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        printer_ = info.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                                 : std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    return *printer_;
}

QString TPrintPreview::PrintDialogOutputFile() const
{
    if (!printer_ || printer_->outputFormat() != QPrinter::PdfFormat)
        return {};
    return printer_->outputFileName();
}

QPageLayout TPrintPreview::PrintLayout() const
{
    const PaperInfo& paper = PaperInfoOf(paperType_);
    QPageSize size;
    if (paper.pageSizeId != QPageSize::Custom) {
        size = QPageSize(paper.pageSizeId);
    } else {
        // A paper of its own: the table's portrait size, or for pCustom the
        // set size, which is turned back to portrait.
        int width = paper.width;
        int height = paper.height;
        if (paperType_ == TPaperType::pCustom) {
            width = ConvertUnits(paperWidth_, units_, TUnits::mmLoMetric, deviceDpi_.width());
            height = ConvertUnits(paperHeight_, units_, TUnits::mmLoMetric, deviceDpi_.height());
            if (orientation_ == QPageLayout::Landscape)
                std::swap(width, height);
        }
        size = QPageSize(QSizeF(width / 10.0, height / 10.0), QPageSize::Millimeter, QString(),
                         QPageSize::ExactMatch);
    }
    return QPageLayout(size, orientation_, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

bool TPrintPreview::Print(int from, int to)
{
    // With nothing to print on, printing does nothing; the print dialog
    // (ShowPrintDialog()) is the way to a PDF then.
    if (!PrinterInstalled())
        return false;
    if (!printDialog_.isNull())
        return false;
    if (printer_ && !printer_->isValid())
        printer_.reset();
    return PrintTo(SelectedPrinter(), from, to);
}

bool TPrintPreview::PrintTo(QPrinter& printer, int from, int to)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return PrintToPdf(printer.outputFileName(), from, to);
    const int resolution = printer.resolution();
    printer.setFullPage(true);
    printer.setResolution(ReplayDpi());
    printer.setDocName(printJobTitle_);
    const bool printed = PrintPages(printer, &printer, from, to, [] { return true; });
    printer.setDocName(QString());
    printer.setResolution(resolution);
    return printed;
}

bool TPrintPreview::PrintToPdf(const QString& path, int from, int to)
{
    // QSaveFile writes beside the target and renames over it on commit; a
    // job that fails or is aborted never commits, and the target stays.
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        // A file that cannot be written fails the job like an error while
        // printing.
        aborted_ = true;
        emit abort();
        return false;
    }
    QPdfWriter writer(&file);
    writer.setResolution(ReplayDpi());
    writer.setTitle(printJobTitle_);
    writer.setCreator(QStringLiteral("Velmora"));
    return PrintPages(writer, nullptr, from, to, [&file] { return file.commit(); });
}

bool TPrintPreview::PrintPages(QPagedPaintDevice& device, QPrinter* printer, int from, int to,
                               const std::function<bool()>& finish)
{
    const int count = PageCount();
    if (count == 0)
        return false;
    from = std::clamp(from, 1, count);
    to = std::clamp(to, 1, count);
    if (state_ != TPreviewState::Idle || from > to)
        return false;

    aborted_ = false;
    state_ = TPreviewState::Printing;
    emit beforePrint();

    bool ok = device.setPageLayout(PrintLayout());
    QPainter painter;
    ok = ok && painter.begin(&device);
    if (ok) {
        printPainter_ = &painter;
        // The whole sheet: the device has no margins (a printer prints on
        // its full page), so its painter's area is the paper.
        const QRectF target(0, 0, painter.device()->width(), painter.device()->height());
        const int total = to - from + 1;
        int printed = 0;
        for (int page = from; ok && page <= to; ++page) {
            ok = ProgressTest(page, printed, total, printer);
            // A progress handler may have cleared the document.
            ok = ok && page <= PageCount();
            if (!ok)
                break;
            RenderPage(page, painter, target);
            ++printed;
            ok = ProgressTest(page, printed, total, printer);
            if (ok && page != to)
                ok = device.newPage();
        }
        printPainter_ = nullptr;
        if (!ok && printer)
            printer->abort();
        ok = painter.end() && ok;
    }
    ok = ok && finish();
    aborted_ = !ok;
    if (ok)
        emit afterPrint();
    else
        emit abort();
    state_ = TPreviewState::Idle;
    return ok;
}

bool TPrintPreview::ProgressTest(int page, int printed, int count, const QPrinter* printer)
{
    bool abortIt = false;
    emit printProgress(page, MulDivRound(100, printed, count), abortIt);
    if (printer && (printer->printerState() == QPrinter::Aborted ||
                    printer->printerState() == QPrinter::Error))
        return false;
    return !abortIt;
}

bool TPrintPreview::ShowPrintDialog(QWidget* parent, int from, int to, const QString& pdfPath)
{
    const int count = PageCount();
    if (count == 0 || state_ != TPreviewState::Idle || !printDialog_.isNull())
        return false;
    // Unlike Print(), this opens without any printer installed: Qt's dialog
    // always offers printing to a PDF file, and many desktops have no other
    // printer.
    QPrinter& printer = SelectedPrinter();
    printer.setPageLayout(PrintLayout());
    printer.setDocName(printJobTitle_);
    if (!pdfPath.isEmpty()) {
        printer.setOutputFileName(pdfPath);
    } else if (printer.outputFileName().isEmpty()) {
        const QString name = printJobTitle_.isEmpty() ? QStringLiteral("print") : printJobTitle_;
        printer.setOutputFileName(
            QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                .filePath(name + QStringLiteral(".pdf")));
    }
    from = std::clamp(from, 1, count);
    to = std::clamp(to, 1, count);
    auto* dialog = new QPrintDialog(&printer, parent);
    printDialog_ = dialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QAbstractPrintDialog::PrintPageRange);
    dialog->setOption(QAbstractPrintDialog::PrintCurrentPage);
    dialog->setMinMax(1, count);
    if (from != 1 || to != count) {
        dialog->setFromTo(from, to);
        printer.setPrintRange(QPrinter::PageRange);
    } else {
        printer.setPrintRange(QPrinter::AllPages);
    }
    connect(dialog, &QDialog::accepted, this, [this, dialog, from, to] {
        QPrinter& chosen = *dialog->printer();
        int first = from;
        int last = to;
        switch (chosen.printRange()) {
        case QPrinter::PageRange:
            first = chosen.fromPage();
            last = chosen.toPage();
            break;
        case QPrinter::CurrentPage:
            first = last = currentPage_;
            break;
        case QPrinter::AllPages:
            first = 1;
            last = PageCount();
            break;
        case QPrinter::Selection:
            break;
        }
        // The outcome reaches the caller through afterPrint() or abort().
        static_cast<void>(PrintTo(chosen, first, last));
    });
    dialog->open();
    return true;
}

} // namespace velmora::gui
