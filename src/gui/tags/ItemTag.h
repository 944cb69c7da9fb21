// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <array>

class QLineEdit;
class QPushButton;

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

/// The tag that the collection holds for one file, in six fields: title,
/// artist, album, track, year, comment. Save confirms the fields as they
/// stand, Remove empties them and confirms, Close (also Escape and the
/// close box) confirms nothing. Characters below 32 never get into a field
/// by typing or pasting. Each field takes tags::kItemTagLengths characters,
/// or as many as the text it starts with.
class ItemTag : public QDialog {
    Q_OBJECT
public:
    using Fields = std::array<QString, 6>;

    ItemTag(const texts::TextTable& texts, const QString& nodeName, const Fields& fields,
            QWidget* parent = nullptr);

    /// True once Save or Remove was chosen.
    bool confirmed() const { return confirmed_; }
    /// The six texts as they stand in the window.
    Fields fields() const;

    struct Controls {
        std::array<QLineEdit*, 6> fields = {};
        QPushButton* save = nullptr;
        QPushButton* remove = nullptr;
        QPushButton* close = nullptr;
    };
    const Controls& controls() const { return controls_; }

private:
    void Confirm();
    void RemoveTag();

    Controls controls_;
    bool confirmed_ = false;
};

} // namespace velmora::gui
