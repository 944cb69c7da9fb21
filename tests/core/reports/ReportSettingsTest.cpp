// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportSettings.h"

#include "TestDir.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "settings/Settings.h"
#include "texts/TextTable.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace velmora::reports {
namespace {

using Order = std::array<std::int32_t, kColumnCount>;
using testing::ReadBytes;
using testing::TestDir;
using testing::WriteBytes;

TEST(ReportSettings, DefaultsAgreeWithTheSettingsRecord)
{
    const ReportSettings defaults;
    EXPECT_EQ(ReportSettingsFrom(settings::Settings()), defaults);
    EXPECT_FALSE(defaults.collectionRow);
    EXPECT_FALSE(defaults.volumeRows);
    EXPECT_TRUE(defaults.folderRows);
    EXPECT_FALSE(defaults.fileRows);
    for (int id = 1; id <= kColumnCount; ++id)
        EXPECT_EQ(defaults.columnOn(id), id <= 3 || id == 16) << id;
    EXPECT_EQ(defaults.columnOrder, (Order{1, 2, 3, 13, 14, 15, 16, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(defaults.format, ReportFormat::Text);
    EXPECT_EQ(defaults.scanning, ReportScanning::AllItems);
    EXPECT_TRUE(defaults.sorting);
    EXPECT_EQ(defaults.lastReportFile, "");
}

TEST(ReportSettings, StoredInTheItemsOfTheSettingsRecord)
{
    ReportSettings report;
    report.collectionRow = true;
    report.folderRows = false;
    report.fileRows = true;
    report.columnEnabled[kSizeColumn - 1] = false;
    report.columnEnabled[kCommentColumn - 1] = true;
    report.columnOrder = {16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    report.format = ReportFormat::Html;
    report.scanning = ReportScanning::SelectedOnly;
    report.sorting = false;
    report.lastReportFile = "/tmp/r.html";

    settings::Settings settings;
    settings.lastSaveDir = "/kept/";
    StoreReportSettings(report, settings);
    EXPECT_EQ(
        settings.reportItems,
        (std::array<bool, 20>{true,  false, false, true,                                // rows
                              false, true,  true,  false, false, false, false, false,   // 1-8
                              false, false, false, true,  false, false, false, true})); // 9-16
    EXPECT_EQ(settings.reportItemsIndex, report.columnOrder);
    EXPECT_EQ(settings.reportFormat, 3);
    EXPECT_EQ(settings.reportScanning, 2);
    EXPECT_FALSE(settings.reportSorting);
    EXPECT_EQ(settings.lastReportFile, "/tmp/r.html");
    EXPECT_EQ(settings.lastSaveDir, "/kept/");
    EXPECT_EQ(ReportSettingsFrom(settings), report);
}

TEST(ReportSettings, UnknownChoicesSurviveAndBrokenOrdersAreMended)
{
    settings::Settings settings;
    settings.reportFormat = 7;
    settings.reportScanning = 0;
    settings.reportItemsIndex = {3, 3, 99, 1, -1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0};
    const ReportSettings report = ReportSettingsFrom(settings);
    EXPECT_EQ(static_cast<int>(report.format), 7);
    EXPECT_EQ(static_cast<int>(report.scanning), 0);
    // Repeats and ids outside 1 to 16 dropped, the missing ids in their
    // default order after the others.
    EXPECT_EQ(report.columnOrder, (Order{3, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
    settings::Settings back;
    StoreReportSettings(report, back);
    EXPECT_EQ(back.reportFormat, 7);
    EXPECT_EQ(back.reportScanning, 0);

    const Order permutation = {16, 1, 15, 2, 14, 3, 13, 4, 12, 5, 11, 6, 10, 7, 9, 8};
    EXPECT_EQ(NormalColumnOrder(permutation), permutation);
}

TEST(ReportSettings, ColumnLabels)
{
    const texts::TextTable table;
    EXPECT_EQ(ColumnLabel(table, 1), "Size");
    EXPECT_EQ(ColumnLabel(table, 3), "Bit rate");
    EXPECT_EQ(ColumnLabel(table, 6), "MPEG version/layer");
    EXPECT_EQ(ColumnLabel(table, 7), "ID3-Tag: Title");
    EXPECT_EQ(ColumnLabel(table, 10), "ID3-Tag: Track");
    EXPECT_EQ(ColumnLabel(table, 12), "ID3-Tag: Comment");
    EXPECT_EQ(ColumnLabel(table, 13), "Folder count");
    EXPECT_EQ(ColumnLabel(table, 14), "File count");
    EXPECT_EQ(ColumnLabel(table, 15), "Date");
    EXPECT_EQ(ColumnLabel(table, 16), "Volume");
    EXPECT_EQ(ColumnLabel(table, 0), "");
    EXPECT_EQ(ColumnLabel(table, 17), "");
}

TEST(ReportCommand, ExtensionsAndFiltersByFormat)
{
    const texts::TextTable table;
    EXPECT_EQ(DefaultExtension(ReportFormat::Text), "txt");
    EXPECT_EQ(DefaultExtension(ReportFormat::Dif), "dif");
    EXPECT_EQ(DefaultExtension(ReportFormat::Html), "html");
    EXPECT_EQ(DefaultExtension(ReportFormat::Csv), "csv");
    EXPECT_EQ(DefaultExtension(static_cast<ReportFormat>(0)), "");
    EXPECT_EQ(DefaultExtension(static_cast<ReportFormat>(5)), "");
    EXPECT_EQ(ReportFilter(table, ReportFormat::Text), "Text (*.txt)|*.txt");
    EXPECT_EQ(ReportFilter(table, ReportFormat::Dif), "DIF for Excel (*.dif)|*.dif");
    EXPECT_EQ(ReportFilter(table, ReportFormat::Html), "HTML page (*.html, *.htm)|*.html;*.htm");
    EXPECT_EQ(ReportFilter(table, ReportFormat::Csv), "CSV (*.csv)|*.csv");
    EXPECT_EQ(ReportFilter(table, static_cast<ReportFormat>(5)), "");
}

TEST(ReportCommand, ProposesTheLastReportsFolderAndName)
{
    TestDir dir;
    const fakes::FaultyFileSystem files;
    const std::string folder = dir.path().string();
    const std::string saveDir = "/save/dir/";

    ReportFileProposal proposal = ProposeReportFile(folder + "/music.txt", saveDir, files);
    EXPECT_EQ(proposal.folder, folder);
    EXPECT_EQ(proposal.name, "music");

    // Only the last extension goes.
    proposal = ProposeReportFile(folder + "/my.music.list.dif", saveDir, files);
    EXPECT_EQ(proposal.name, "my.music.list");
    proposal = ProposeReportFile(folder + "/plain", saveDir, files);
    EXPECT_EQ(proposal.name, "plain");

    // A folder that is gone gives way to the last save directory.
    proposal = ProposeReportFile(folder + "/gone/music.html", saveDir, files);
    EXPECT_EQ(proposal.folder, saveDir);
    EXPECT_EQ(proposal.name, "music");
    proposal = ProposeReportFile("music.txt", saveDir, files);
    EXPECT_EQ(proposal.folder, saveDir);
    EXPECT_EQ(proposal.name, "music");

    proposal = ProposeReportFile("", saveDir, files);
    EXPECT_EQ(proposal.folder, saveDir);
    EXPECT_EQ(proposal.name, "");
}

TEST(ReportCommand, RemembersTheChosenFileAndItsFolder)
{
    ReportSettings report;
    std::string lastSaveDir = "/old/";
    RememberReportFile("/home/u/reports/music.html", report, lastSaveDir);
    EXPECT_EQ(report.lastReportFile, "/home/u/reports/music.html");
    EXPECT_EQ(lastSaveDir, "/home/u/reports/");
}

TEST(ReportCommand, TheWriteTestLeavesEverythingAsItWas)
{
    TestDir dir;
    fakes::FaultyFileSystem files;
    const std::string existing = dir.file("r.txt");
    WriteBytes(existing, "previous");
    EXPECT_TRUE(CanWriteReport(files, existing));
    EXPECT_EQ(ReadBytes(existing), "previous");
    EXPECT_TRUE(CanWriteReport(files, dir.file("new.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("new.txt")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    EXPECT_FALSE(CanWriteReport(files, dir.file("missing/r.txt")));
    EXPECT_FALSE(CanWriteReport(files, dir.path().string()));
    files.failCreate = true;
    EXPECT_FALSE(CanWriteReport(files, existing));
}

} // namespace
} // namespace velmora::reports
