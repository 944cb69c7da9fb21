// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cover/CoverSource.h"

#include <QDialog>
#include <QFont>
#include <QString>
#include <vector>

class QComboBox;
class QPushButton;

namespace velmora::gui {

class Application;
class TPrintPreview;

/// The cover window: the cover of a mounted volume's folders drawn on an A4
/// page in the print preview, printed, or saved as a PDF.
///
/// The volumes are the mounted ones; the window starts with the one chosen
/// last when it is still mounted, else the first optical one, else the one
/// that holds the user's home folder. Choosing a volume, a font or options
/// redraws the cover; a volume whose root cannot be read shows the frames
/// only. Close (and Escape) stores the zoom choice, the volume and the font
/// in the settings; the close box stores none of them. The options dialog
/// stores its own on Ok.
class PrintCover : public QDialog {
    Q_OBJECT
public:
    /// The entries of the zoom list: 25, 50, 100 and 200 %, then zoom to
    /// fit, to height and to width.
    static constexpr int kZoomChoices = 7;

    PrintCover(Application& app, QWidget* parent = nullptr);
    ~PrintCover() override;

    /// Draws the cover of the chosen volume anew.
    void Redraw();
    /// Selects entry `index` of the zoom list and zooms the preview.
    void ChooseZoom(int index);
    /// Selects the volume mounted at `root` when it is in the list.
    void ChooseVolume(const QString& root);
    /// Sets the listing font (its size in points) and redraws.
    void SetListingFont(const QFont& font);
    /// The options dialog; redraws once it has closed.
    void ShowOptions();
    /// The font dialog: the cover follows the font as it is chosen, and
    /// returns to the old one on Cancel.
    void ChooseFont();
    /// The print dialog for page 1, offering Qt's PDF output too; a job
    /// that fails is told once it has ended.
    void PrintPage();
    /// Asks for a PDF file (in the last save folder) and writes the page.
    void SaveAsPdf();
    /// Saves page 1 to `path` as a PDF; false when it could not be written,
    /// which has been told then.
    [[nodiscard]] bool WritePdf(const QString& path);
    /// Stores the window's settings and closes.
    void CloseAndStore();

    QString chosenVolume() const;
    QFont listingFont() const { return font_; }
    TPrintPreview* preview() const { return preview_; }
    QComboBox* volumeList() const { return volumes_; }
    QComboBox* zoomList() const { return zoom_; }
    /// What the last Redraw() drew.
    const std::vector<cover::DrawOp>& drawn() const { return drawn_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FillVolumes();
    /// Tells that the print dialog's job failed.
    void TellPrintFailure();
    cover::CoverOptions Options() const;
    cover::CoverFont CoverFontOf(const QFont& font) const;

    Application& app_;
    TPrintPreview* preview_ = nullptr;
    QComboBox* volumes_ = nullptr;
    QComboBox* zoom_ = nullptr;
    QFont font_;
    std::vector<cover::DrawOp> drawn_;
    /// The print dialog is open, or its job runs.
    bool dialogJob_ = false;
};

} // namespace velmora::gui
