// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportSettings.h"

#include "settings/Settings.h"
#include "system/FileSystem.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

namespace velmora::reports {

namespace {

constexpr std::size_t kRowFlags = 4;

using texts::TextId;

// Dialog labels of columns 1 to 16; the tag columns have none of their own:
// their label is built from Id3TagLabel and the tag field's name.
constexpr std::array<std::optional<TextId>, kColumnCount> kLabelTexts = {
    TextId::SizeLabel,
    TextId::DurationLabel,
    TextId::BitRateCriterion,
    TextId::SampleRateCriterion,
    TextId::ChannelModeCriterion,
    TextId::MpegVersionLayerLabel,
    std::nullopt,
    std::nullopt,
    std::nullopt,
    std::nullopt,
    std::nullopt,
    std::nullopt,
    TextId::FolderCountLabel,
    TextId::FileCountLabel,
    TextId::DateLabel,
    TextId::VolumeLabel};

} // namespace

ReportSettings ReportSettingsFrom(const settings::Settings& settings)
{
    ReportSettings report;
    const auto& items = settings.reportItems;
    report.collectionRow = items[0];
    report.volumeRows = items[1];
    report.folderRows = items[2];
    report.fileRows = items[3];
    for (std::size_t i = 0; i < report.columnEnabled.size(); ++i)
        report.columnEnabled[i] = items[kRowFlags + i];
    report.columnOrder = NormalColumnOrder(settings.reportItemsIndex);
    report.format = static_cast<ReportFormat>(settings.reportFormat);
    report.scanning = static_cast<ReportScanning>(settings.reportScanning);
    report.sorting = settings.reportSorting;
    report.lastReportFile = settings.lastReportFile;
    return report;
}

void StoreReportSettings(const ReportSettings& report, settings::Settings& settings)
{
    auto& items = settings.reportItems;
    items[0] = report.collectionRow;
    items[1] = report.volumeRows;
    items[2] = report.folderRows;
    items[3] = report.fileRows;
    for (std::size_t i = 0; i < report.columnEnabled.size(); ++i)
        items[kRowFlags + i] = report.columnEnabled[i];
    settings.reportItemsIndex = report.columnOrder;
    settings.reportFormat = static_cast<std::int32_t>(report.format);
    settings.reportScanning = static_cast<std::int32_t>(report.scanning);
    settings.reportSorting = report.sorting;
    settings.lastReportFile = report.lastReportFile;
}

std::array<std::int32_t, kColumnCount>
NormalColumnOrder(const std::array<std::int32_t, kColumnCount>& order)
{
    std::array<bool, kColumnCount + 1> taken{};
    std::array<std::int32_t, kColumnCount> normal{};
    std::size_t count = 0;
    const auto take = [&](std::int32_t id) {
        if (id < 1 || id > kColumnCount || taken[static_cast<std::size_t>(id)])
            return;
        taken[static_cast<std::size_t>(id)] = true;
        normal[count++] = id;
    };
    for (const std::int32_t id : order)
        take(id);
    for (const std::int32_t id : ReportSettings().columnOrder)
        take(id);
    return normal;
}

std::string ColumnLabel(const texts::TextTable& table, int id)
{
    if (id < 1 || id > kColumnCount)
        return {};
    if (const std::optional<TextId> text = kLabelTexts[static_cast<std::size_t>(id - 1)])
        return std::string(table.Text(*text));
    std::string label(table.Text(TextId::Id3TagLabel));
    label += ": ";
    label +=
        table.Text(texts::After(TextId::TitleColumn, static_cast<std::size_t>(id - kTitleColumn)));
    return label;
}

std::string_view DefaultExtension(ReportFormat format)
{
    switch (format) {
    case ReportFormat::Text:
        return "txt";
    case ReportFormat::Dif:
        return "dif";
    case ReportFormat::Html:
        return "html";
    case ReportFormat::Csv:
        return "csv";
    }
    return {};
}

std::string ReportFilter(const texts::TextTable& table, ReportFormat format)
{
    const std::string extension(DefaultExtension(format));
    switch (format) {
    case ReportFormat::Text:
    case ReportFormat::Dif: {
        const TextId name = format == ReportFormat::Text ? TextId::TextFormat : TextId::DifFormat;
        return std::string(table.Text(name)) + " (*." + extension + ")|*." + extension;
    }
    case ReportFormat::Html:
        return std::string(table.Text(TextId::HtmlFormat)) + " (*." + extension + ", *.htm)|*." +
               extension + ";*.htm";
    case ReportFormat::Csv:
        // The format's own name, the same in every language: no text of the
        // table holds it.
        return "CSV (*." + extension + ")|*." + extension;
    }
    return {};
}

ReportFileProposal ProposeReportFile(const std::string& lastReportFile,
                                     const std::string& lastSaveDir, const FileSystem& files)
{
    if (lastReportFile.empty())
        return {lastSaveDir, {}};
    const std::size_t slash = lastReportFile.rfind('/');
    std::string name =
        slash == std::string::npos ? lastReportFile : lastReportFile.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    std::string folder;
    if (slash != std::string::npos)
        folder = lastReportFile.substr(0, slash == 0 ? 1 : slash);
    if (folder.empty() || !files.folderExists(folder))
        folder = lastSaveDir;
    return {std::move(folder), std::move(name)};
}

void RememberReportFile(const std::string& chosen, ReportSettings& report, std::string& lastSaveDir)
{
    const std::size_t slash = chosen.rfind('/');
    lastSaveDir = slash == std::string::npos ? std::string() : chosen.substr(0, slash + 1);
    report.lastReportFile = chosen;
}

bool CanWriteReport(FileSystem& files, const std::string& path, WriteError& why)
{
    // Dropped without a commit, the replacement takes its temporary file
    // with it and never touches the target.
    return files.createReplacement(path, why) != nullptr;
}

bool CanWriteReport(FileSystem& files, const std::string& path)
{
    WriteError ignored = WriteError::None;
    return CanWriteReport(files, path, ignored);
}

} // namespace velmora::reports
