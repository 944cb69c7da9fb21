#pragma once

#include <QDialog>
#include <string_view>

class QLabel;

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

class Application;
class CommandTable;

/// The statistics window: six totals of the collection, read from the
/// collection node's text alone (reports::StatisticRows()), and an Ok button
/// that Escape presses too.
class Statistic : public QDialog {
    Q_OBJECT
public:
    Statistic(std::string_view rootText, const texts::TextTable& texts,
              std::string_view decimalSeparator, std::string_view dateSeparator,
              QWidget* parent = nullptr);

    /// The caption and value of row 0 to 5, as shown.
    QString caption(int row) const;
    QString value(int row) const;

private:
    QLabel* captions_[6] = {};
    QLabel* values_[6] = {};
};

/// Registers the row of Statistics: the statistics window of the
/// application's collection, over `parent`.
void RegisterStatisticsCommand(CommandTable& table, const Application& application,
                               QWidget* parent);

} // namespace velmora::gui
