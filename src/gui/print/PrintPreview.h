// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/print/PaperPreview.h"
#include "gui/print/PrintUnits.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QPageLayout>
#include <QPicture>
#include <QPoint>
#include <QPointer>
#include <QPrintDialog>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QPrinter;

namespace velmora::gui {

/// How the sheet is sized: at Zoom() percent of the paper's real size, or
/// to fill the width, the height, or the whole of the visible area.
enum class TZoomState { zsZoomOther, zsZoomToWidth, zsZoomToHeight, zsZoomToFit };

/// What a print preview is doing.
enum class TPreviewState { Idle, Recording, Printing };

/// A print preview: records pages as vector drawings on paper of a chosen
/// size, shows one page at a time as a sheet (TPaperPreview) inside a
/// scroll area, and prints a range of pages on a printer or into a PDF.
///
/// Lengths. Every length it stores (paper size, margins, minimum margin,
/// font size) and every coordinate of Canvas() is in Units(); changing the
/// units converts them (ConvertUnits(): horizontal lengths and the minimum
/// margin with the device's horizontal resolution, vertical ones and the
/// font size with the vertical one). The paper's origin is its top-left
/// corner, x to the right, y downward.
///
/// Device. The device is the default printer when one is installed, else
/// the screen: DeviceDpiX()/DeviceDpiY() are its pixels per inch, and
/// DevicePageSize() is the paper in its pixels. They are renewed at
/// BeginDoc() and when the paper or the orientation changes.
///
/// Recording. BeginDoc(), NewPage() and EndDoc() record pages; in between,
/// Canvas() is a painter on the page being recorded. Each page is a
/// QPicture drawn in device pixels: the painter's transform maps the paper
/// in units onto DevicePageSize(), so Canvas() takes coordinates in units.
/// Replaying scales the device page onto the target, whatever its
/// resolution. Each page starts with Font() and a black cosmetic pen of 1:
/// lines one device pixel wide (on paper one pixel of the print resolution
/// below, usually 1/96 inch); a pen set with a width in units is scaled
/// like everything else.
///
/// Fonts. Font() gives its size as a pixel size in units (a font given in
/// points is taken as pixels at the screen's logical resolution, size ×
/// dpi ÷ 72, so that 36 pt is 48 units on a 96 dpi screen). Every page's
/// painter starts with it. Draw text with fonts sized in pixels
/// (FontForUnits() converts): a pixel size is a length in the painter's
/// coordinates, which the recording and replay transforms scale with the
/// rest of the page, so text keeps its size relative to the page on the
/// screen, in an image, on a printer and in a PDF. A point size would be
/// resolved against a device's resolution instead of the page's units.
///
/// Printers and PDFs are driven at the resolution pages are recorded at
/// (a QPicture's logical dpi, usually 96): Qt scales replayed text by the
/// ratio of the two, which must stay 1. The output remains vector graphics.
///
/// Printing runs synchronously on the interface thread, one page after the
/// other, without handling events in between; printProgress() is emitted
/// before and after each page and its handler may abort the job.
///
/// The sheet scrolls inside the area: a scroll position p puts the sheet's
/// edge at 6 − p pixels. Keys (with no modifier or Ctrl alone; any other
/// combination gets the default handling): Home/End move to the horizontal
/// (Ctrl: vertical) start/end, arrows scroll by 8 pixels (Ctrl: by the
/// visible width or height), Page Up/Down show the previous/next page
/// (Ctrl: the first/last). Dragging the sheet with the left button moves
/// the grabbed point with the pointer; a press on the sheet takes the focus.
/// Mouse events on the sheet then reach this widget as its own.
class TPrintPreview : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TPrintPreview(QWidget* parent = nullptr);
    ~TPrintPreview() override;

    // --- units and paper ---

    /// mmHiMetric by default.
    TUnits Units() const { return units_; }
    void SetUnits(TUnits units);
    /// pA4 by default. Setting a type other than pCustom sets the paper
    /// size from the table, converted to the units and exchanged for
    /// landscape; setting pCustom only changes the type.
    TPaperType PaperType() const { return paperType_; }
    void SetPaperType(TPaperType type);
    /// In units; 21000 × 29700 by default. Setting the size makes the type
    /// pCustom.
    int PaperWidth() const { return paperWidth_; }
    int PaperHeight() const { return paperHeight_; }
    void SetPaperSize(int width, int height);
    void SetPaperWidth(int width) { SetPaperSize(width, paperHeight_); }
    void SetPaperHeight(int height) { SetPaperSize(paperWidth_, height); }
    /// Portrait by default. Changing it exchanges width and height; ignored
    /// while recording.
    QPageLayout::Orientation Orientation() const { return orientation_; }
    void SetOrientation(QPageLayout::Orientation orientation);

    /// Margins in units, 700 each by default; a value below
    /// MinimumMargin() is raised to it.
    int MarginLeft() const { return marginLeft_; }
    int MarginTop() const { return marginTop_; }
    int MarginRight() const { return marginRight_; }
    int MarginBottom() const { return marginBottom_; }
    void SetMargins(int left, int top, int right, int bottom);
    void SetMarginLeft(int value);
    void SetMarginTop(int value);
    void SetMarginRight(int value);
    void SetMarginBottom(int value);
    /// The lowest margin, in units; 600 by default. Applies to margins set
    /// afterwards.
    int MinimumMargin() const { return minimumMargin_; }
    void SetMinimumMargin(int value) { minimumMargin_ = value; }
    /// The paper less its margins, in units: from (MarginLeft, MarginTop)
    /// to (PaperWidth − MarginRight, PaperHeight − MarginBottom), those
    /// right and bottom edges excluded.
    QRect PageRect() const;

    // --- zoom ---

    /// Percent of the paper's real size when ZoomState() is zsZoomOther;
    /// 100 by default. Setting it (at least 1) also sets that state.
    int Zoom() const { return zoom_; }
    void SetZoom(int percent);
    /// zsZoomToFit by default.
    TZoomState ZoomState() const { return zoomState_; }
    void SetZoomState(TZoomState state);

    // --- document ---

    /// Title of the print job and of a PDF; empty by default.
    QString PrintJobTitle() const { return printJobTitle_; }
    void SetPrintJobTitle(const QString& title) { printJobTitle_ = title; }
    /// The font every new page's painter starts with, its pixel size in
    /// units; Arial of 200 by default. A font sized in points is converted
    /// by FontForUnits().
    QFont Font() const { return font_; }
    void SetFont(const QFont& font);
    /// `font` with a pixel size: its own, or its point size × the screen's
    /// vertical logical dpi ÷ 72, rounded (at least 1).
    QFont FontForUnits(const QFont& font) const;

    /// Discards every page and any recording; state idle, no current page,
    /// Aborted() off; hides the sheet; emits changed().
    void Clear();
    /// Starts a document: clears, renews the device metrics, starts
    /// recording (beginDoc()) and starts the first page. Does nothing but
    /// return true while recording. False, with LastError(), when the page
    /// cannot be started.
    [[nodiscard]] bool BeginDoc();
    /// Finishes the page being recorded and starts the next (newPage()).
    /// Does nothing but return true unless recording. False, with
    /// LastError() "Not enough memory to create a new page", when the new
    /// page cannot be started; the document stays open without a page.
    [[nodiscard]] bool NewPage();
    /// Finishes the page being recorded, emits changed() and endDoc(), and
    /// returns to idle. Does nothing unless recording.
    void EndDoc();
    /// The reason of the last failure of BeginDoc() or NewPage().
    QString LastError() const { return lastError_; }

    /// While recording, the painter of the page being recorded, in units;
    /// while printing, the printer's painter, in its pixels; otherwise null.
    /// Owned by this object; valid until the page ends.
    QPainter* Canvas() const;

    TPreviewState State() const { return state_; }
    int PageCount() const { return static_cast<int>(pages_.size()); }
    /// The page shown, 1 .. PageCount(); 0 when there are no pages.
    int CurrentPage() const { return currentPage_; }
    /// Clamped to 1 .. PageCount(); nothing without pages. A change
    /// repaints the sheet and emits changed().
    void SetCurrentPage(int page);
    /// Replays page `page` (1 .. PageCount(), else nothing) scaled to fill
    /// `target`, in the painter's coordinates.
    void RenderPage(int page, QPainter& painter, const QRectF& target) const;

    /// Pixels per inch of the device; DevicePageSize() is the paper in its
    /// pixels.
    int DeviceDpiX() const { return deviceDpi_.width(); }
    int DeviceDpiY() const { return deviceDpi_.height(); }
    QSize DevicePageSize() const { return devicePageSize_; }

    // --- printing ---

    /// Whether a printer is installed.
    static bool PrinterInstalled();
    /// Prints pages `from` to `to` (each clamped to 1 .. PageCount()) on the
    /// selected printer, or the default one when none is selected. Does
    /// nothing and returns false when no printer is installed, when not
    /// idle, or when the range is empty. False too when the job failed or
    /// was aborted (then Aborted() is on and abort() was emitted).
    [[nodiscard]] bool Print(int from, int to);
    /// The same on `printer`, which gets this preview's paper size,
    /// orientation and job title and prints on the whole sheet. A printer
    /// set to PDF output writes its file as PrintToPdf() does.
    [[nodiscard]] bool PrintTo(QPrinter& printer, int from, int to);
    /// The same into the PDF file `path`, with this paper and orientation
    /// and the job title as the PDF's title. The file is written under a
    /// temporary name and replaces `path` only when the whole job
    /// succeeded; otherwise `path` is left as it was. A file that cannot be
    /// created fails the job (Aborted(), abort()).
    [[nodiscard]] bool PrintToPdf(const QString& path, int from, int to);
    /// Opens the print dialog (window-modal on `parent`) for pages `from`
    /// to `to` and returns at once. The file it offers for PDF output is
    /// `pdfPath`, else the one chosen last, else the job title (or "print")
    /// with ".pdf" in the documents folder. When the user accepts, prints
    /// the range chosen there on the output chosen there (a printer or a PDF
    /// file), with afterPrint() or abort() telling the outcome. Returns false, and
    /// opens nothing, when not idle, without pages, or while the dialog is
    /// open; Print() does nothing while it is open either. Destroying this
    /// object closes the dialog.
    [[nodiscard]] bool ShowPrintDialog(QWidget* parent, int from, int to,
                                       const QString& pdfPath = QString());
    /// The last printing was aborted or failed.
    bool Aborted() const { return aborted_; }
    /// The PDF file the print dialog's printer writes to; empty when it
    /// prints on paper or the dialog was never opened.
    QString PrintDialogOutputFile() const;

    /// The sheet that shows the current page.
    TPaperPreview* Sheet() const { return sheet_; }

signals:
    void beginDoc();
    void endDoc();
    void newPage();
    /// The pages or the current page changed.
    void changed();
    void beforePrint();
    void afterPrint();
    void abort();
    /// Before and after page `pageNum` is printed; `progress` is the percent
    /// of the range printed so far. Setting `abortIt` aborts the job.
    /// Connect directly.
    void printProgress(int pageNum, int progress, bool& abortIt);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Page {
        QPicture picture;
        /// The device page the picture was drawn on, in pixels.
        QSize deviceSize;
    };

    [[nodiscard]] bool StartPage();
    void FinishPage();
    void ApplyRecordingTransform();
    void UpdateDeviceMetrics();
    void UpdateLayout();
    void PlaceSheet();
    void PaintSheet(QPainter& painter, const QRect& pageRect);
    QPageLayout PrintLayout() const;
    [[nodiscard]] bool PrintPages(QPagedPaintDevice& device, QPrinter* printer, int from, int to,
                                  const std::function<bool()>& finish);
    [[nodiscard]] bool ProgressTest(int page, int printed, int count, const QPrinter* printer);
    QPrinter& SelectedPrinter();

    TUnits units_ = TUnits::mmHiMetric;
    TPaperType paperType_ = TPaperType::pA4;
    int paperWidth_ = 21000;
    int paperHeight_ = 29700;
    QPageLayout::Orientation orientation_ = QPageLayout::Portrait;
    int marginLeft_ = 700;
    int marginTop_ = 700;
    int marginRight_ = 700;
    int marginBottom_ = 700;
    int minimumMargin_ = 600;
    int zoom_ = 100;
    TZoomState zoomState_ = TZoomState::zsZoomToFit;
    QString printJobTitle_;
    QFont font_;
    QString lastError_;

    TPreviewState state_ = TPreviewState::Idle;
    std::vector<Page> pages_;
    int currentPage_ = 0;
    bool aborted_ = false;
    QSize deviceDpi_;
    QSize devicePageSize_;

    // The page being recorded; the painter is declared last so that it ends
    // before its picture goes.
    std::unique_ptr<QPicture> recording_;
    QSize recordingDeviceSize_;
    std::unique_ptr<QPainter> recorder_;
    QPainter* printPainter_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
    /// The open print dialog, which works on printer_.
    QPointer<QPrintDialog> printDialog_;

    TPaperPreview* sheet_;
    bool inLayout_ = false;
    bool dragging_ = false;
    QPoint dragOrigin_;
};

} // namespace velmora::gui
