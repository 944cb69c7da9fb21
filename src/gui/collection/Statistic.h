// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/app/Feature.h"

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

/// The Statistics command: the statistics window of the application's
/// collection.
class StatisticCommand : public Feature {
public:
    explicit StatisticCommand(const FeatureContext& context)
        : app_(context.app), window_(context.window)
    {
    }
    void Register(CommandTable& table) override;

private:
    const Application& app_;
    QWidget* window_;
};

} // namespace velmora::gui
