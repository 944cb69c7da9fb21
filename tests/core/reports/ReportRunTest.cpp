// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportTestFixture.h"
#include "collection/NodeText.h"
#include "reports/ReportCells.h"
#include "reports/ReportThread.h"
#include "texts/ActiveTexts.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

namespace velmora::reports {
namespace {

class ReportStopTest : public ReportTest {
protected:
    ReportStopTest()
    {
        Load(kMixed);
        WriteBytes(target, "previous");
        progress.stop = &stop;
    }

    ReportOutcome RunStoppingAt(std::string_view phase, std::uint64_t position)
    {
        progress.stopPhase = phase;
        progress.stopAt = position;
        ReportSettings s = NoColumns();
        s.sorting = false;
        s.fileRows = true;
        s.folderRows = false;
        return Run(s);
    }
};

TEST_F(ReportStopTest, StopWhileReadingTheCollectionCreatesNothing)
{
    EXPECT_EQ(RunStoppingAt("Process: Copy all selected objects", 3),
              ReportOutcome::StoppedBeforeWriting);
    EXPECT_EQ(ReadBytes(target), "previous");
    // The node at position 3 was read, the next one not.
    EXPECT_EQ(progress.objects.back(), "Object: Rock");
    EXPECT_EQ(progress.phases,
              (Lines{"Process: Copy all selected objects", "Process: Clear buffer"}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(ReportStopTest, StopWhileFormattingCreatesNothing)
{
    EXPECT_EQ(RunStoppingAt("Process: Format report", 2), ReportOutcome::StoppedBeforeWriting);
    EXPECT_EQ(ReadBytes(target), "previous");
    EXPECT_EQ(progress.phases.back(), "Process: Clear buffer");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(ReportStopTest, StopWhileWritingKeepsTheLinesWrittenSoFar)
{
    EXPECT_EQ(RunStoppingAt("Process: Write report in file", 2),
              ReportOutcome::StoppedWhileWriting);
    EXPECT_EQ(ReadBytes(target), "Name     \r\n---------\r\nloose.mp3\r\nB.mp3    \r\n");
}

TEST_F(ReportStopTest, StopBeforeTheStartReadsNothing)
{
    stop = true;
    const ReportSources sources{tree, "c.col", texts, services};
    ReportSettings s;
    s.lastReportFile = target;
    EXPECT_EQ(RunReport(sources, s, progress, stop), ReportOutcome::StoppedBeforeWriting);
    EXPECT_TRUE(progress.phases.empty());
    EXPECT_EQ(ReadBytes(target), "previous");
}

TEST_F(ReportStopTest, WriteFailuresLeaveThePreviousFile)
{
    ReportSettings s;
    files.failCreate = true;
    EXPECT_EQ(Run(s), ReportOutcome::CannotWrite);
    EXPECT_EQ(ReadBytes(target), "previous");
    files.failCreate = false;

    files.failWriteAfter = 10;
    EXPECT_EQ(Run(s), ReportOutcome::CannotWrite);
    EXPECT_EQ(ReadBytes(target), "previous");
    files.failWriteAfter = static_cast<std::size_t>(-1);

    files.failCommit = true;
    EXPECT_EQ(Run(s), ReportOutcome::CannotWrite);
    EXPECT_EQ(ReadBytes(target), "previous");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    files.failCommit = false;

    s.lastReportFile = dir.path().string(); // a folder
    const ReportSources sources{tree, "c.col", texts, services};
    EXPECT_EQ(RunReport(sources, s, progress, stop), ReportOutcome::CannotWrite);
}

TEST_F(ReportTest, UnknownFormatWritesNothing)
{
    Load(kRock);
    ReportSettings s;
    s.format = static_cast<ReportFormat>(5);
    EXPECT_EQ(Run(s), ReportOutcome::UnknownFormat);
    EXPECT_FALSE(std::filesystem::exists(target));
}

// A volume V holding a chain of folders "d", each with a file z.mp3 after
// its subfolder, and f.mp3 in the last folder.
void BuildChain(CollectionTree& tree, int depth)
{
    NodeId node = tree.addRoot(collection::CollectionText(1, 1, 1, 1, 45000));
    node = tree.appendChild(node, collection::VolumeText("V", 1, 1, 1, 1, 45000, 1));
    for (int i = 0; i < depth; ++i) {
        const NodeId folder = tree.appendChild(node, collection::FolderText("d", 1, 1, 1, 1));
        tree.appendChild(node, collection::FileText("z.mp3", {1, 1, 1, 1, 1, 3}, {}));
        node = folder;
    }
    tree.appendChild(node, collection::FileText("f.mp3", {1, 1, 1, 1, 1, 3}, {}));
}

TEST_F(ReportTest, TenThousandLevelsDeep)
{
    // Rows as deep as the folders would make the report's size grow with the
    // square of the depth; the row tree itself is tested deeper still.
    constexpr int kDepth = 10000;
    BuildChain(tree, kDepth);
    ReportSettings s = NoColumns();
    s.folderRows = false;
    s.volumeRows = s.fileRows = true;
    const Lines lines = ReportLines(s);
    ASSERT_EQ(lines.size(), 3u + kDepth + 1);
    EXPECT_EQ(lines[2], "V     ");
    EXPECT_EQ(lines[3], " f.mp3");
    EXPECT_EQ(lines.back(), " z.mp3");
}

TEST_F(ReportTest, DeepFolderRowsAreSortedAndIndentedByDepth)
{
    constexpr int kDepth = 1000;
    BuildChain(tree, kDepth);
    ReportSettings s = NoColumns();
    s.fileRows = true;
    s.format = ReportFormat::Html;
    const Lines lines = ReportLines(s);
    ASSERT_EQ(lines.size(), 3u + 2 * kDepth + 1);
    // Folders first at every level: the chain of folders, then f.mp3 at
    // depth 1001 below the last one, then each level's z.mp3 from the
    // deepest up.
    const std::string rowStart = "<TR BGCOLOR=\"#FFEDED\"><TD ALIGN=left NOWRAP>";
    EXPECT_EQ(lines[2 + kDepth], rowStart + std::string(2 * kDepth, '.') + "f.mp3</TD></TR>");
    const std::string evenStart = "<TR BGCOLOR=\"#FAEBDC\"><TD ALIGN=left NOWRAP>";
    EXPECT_EQ(lines[3 + kDepth],
              evenStart + std::string(2 * (kDepth - 1), '.') + "z.mp3</TD></TR>");
    EXPECT_EQ(lines[2 + 2 * kDepth], rowStart + "z.mp3</TD></TR>");
}

// A volume V with folder "d" holding `files` files "f00000.mp3" and on, in
// reverse order, of i % 10 MiB each; the file at `longAt` has a name 40
// characters longer than the others.
void BuildWide(CollectionTree& tree, int files, int longAt)
{
    const NodeId root = tree.addRoot(collection::CollectionText(1, 1, 1, 1, 45000));
    const NodeId volume = tree.appendChild(root, collection::VolumeText("V", 1, 1, 1, 1, 45000, 1));
    const NodeId folder = tree.appendChild(volume, collection::FolderText("d", 1, 1, 0, 1));
    for (int i = files - 1; i >= 0; --i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%05d", i);
        const std::string suffix = i == longAt ? std::string(40, 'x') + ".mp3" : ".mp3";
        tree.appendChild(folder,
                         collection::FileText(name + suffix, {i % 10 * 1024, 1, 1, 1, 1, 3}, {}));
    }
}

TEST_F(ReportTest, LargeReportsAreTheSameLineForLineOnTwoThreads)
{
    // Enough rows that a second thread takes chunks of them in each pass;
    // the longest name lies in a chunk of its own.
    constexpr int kFiles = 7000;
    constexpr int kLongAt = 1500;
    BuildWide(tree, kFiles, kLongAt);
    ReportSettings s = NoColumns();
    s.fileRows = true;
    s.columnEnabled[kSizeColumn - 1] = true;
    const Lines lines = ReportLines(s);
    ASSERT_EQ(lines.size(), 3u + kFiles);
    const std::size_t nameWidth = 1 + 10 + 40; // depth 2 indents by one
    EXPECT_EQ(lines[0], "Name" + std::string(nameWidth - 4, ' ') + " Mb  ");
    EXPECT_EQ(lines[2], "d" + std::string(nameWidth - 1, ' ') + " 0.00");
    for (int i = 0; i < kFiles; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%05d", i);
        std::string line = " " + std::string(name) + (i == kLongAt ? std::string(40, 'x') : "");
        line += ".mp3";
        line.resize(nameWidth, ' ');
        line += " " + std::to_string(i % 10) + ".00";
        ASSERT_EQ(lines[3 + static_cast<std::size_t>(i)], line) << "file " << i;
    }

    // A stop in a chunk of the formatting pass leaves nothing; one in the
    // writing pass keeps the lines before it.
    WriteBytes(target, "previous");
    progress.stop = &stop;
    progress.stopPhase = "Process: Format report";
    progress.stopAt = 1500;
    EXPECT_EQ(Run(s), ReportOutcome::StoppedBeforeWriting);
    EXPECT_EQ(ReadBytes(target), "previous");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    progress.stopPhase = "Process: Copy all selected objects";
    progress.stopAt = 3000;
    EXPECT_EQ(Run(s), ReportOutcome::StoppedBeforeWriting);
    EXPECT_EQ(ReadBytes(target), "previous");
    progress.stopPhase = "Process: Write report in file";
    progress.stopAt = 2500;
    EXPECT_EQ(Run(s), ReportOutcome::StoppedWhileWriting);
    const std::string kept = ReadBytes(target);
    std::string expected;
    for (std::size_t i = 0; i < 2 + 2500; ++i)
        expected += lines[i] + "\r\n";
    EXPECT_EQ(kept, expected);
}

// The window's thread may replace the active table (a language switch)
// while a report runs: the worker writes the report and its progress in the
// texts it started with.
TEST_F(ReportTest, ALanguageSwitchDuringTheReportLeavesTheWorkersTexts)
{
    BuildWide(tree, 800, 0);
    ReportSettings s = NoColumns();
    s.fileRows = true;
    for (const ColumnId column : {kSizeColumn, kBitRateColumn, kChannelModeColumn, kVersionColumn})
        s.columnEnabled[column - 1] = true;
    const std::string expected = Report(s);

    texts::ActiveTexts active;
    const texts::TextTable english = active.table();
    std::string pack;
    for (std::size_t n = 0; n < english.lineCount(); ++n) {
        const std::string_view line = english.line(n);
        pack += line.substr(0, 3);
        pack += '~';
        pack += line.substr(std::min<std::size_t>(3, line.size()));
        pack += "\r\n";
    }
    const texts::TextTable other = texts::TextTable::FromPackBytes(pack);
    ASSERT_EQ(other.Text(texts::TextId::ProcessLabel), "~Process");

    s.lastReportFile = dir.file("switched.txt");
    TReportThread worker(ReportSources{tree, "/home/u/music/c.col", active.table(), services}, s);
    ASSERT_TRUE(worker.Start());
    std::size_t switches = 0;
    do {
        active.Replace(switches++ % 2 == 0 ? other : english);
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    } while (!worker.Finished());
    worker.Wait();
    EXPECT_EQ(worker.Outcome(), ReportOutcome::Written);
    EXPECT_EQ(ReadBytes(s.lastReportFile), expected);
    EXPECT_EQ(worker.progress().Latest().phase, "Process: Clear buffer");
}

TEST(ReportThread, RunsOnAWorkerAndTellsItsEnd)
{
    TestDir dir;
    CollectionTree tree;
    ASSERT_TRUE(collection::ReadCollection(std::string_view(kRock), tree).valid);
    fakes::FaultyFileSystem files;
    fakes::FakeVolumes volumes;
    fakes::FakeLocale locale;
    const fakes::FakeClock clock;
    const Services services{files, volumes, locale, clock};
    const texts::TextTable texts;
    ReportSettings s;
    s.lastReportFile = dir.file("r.txt");
    const ReportSources sources{tree, "c.col", texts, services};

    std::atomic<bool> ended{false};
    TReportThread worker(sources, s);
    ASSERT_TRUE(worker.Start([&ended] { ended = true; }));
    worker.Wait();
    EXPECT_TRUE(worker.Finished());
    EXPECT_TRUE(ended);
    EXPECT_EQ(worker.Outcome(), ReportOutcome::Written);
    EXPECT_EQ(worker.progress().Latest().phase, "Process: Clear buffer");
    EXPECT_EQ(ReadBytes(s.lastReportFile).substr(0, 6), "Name M");

    s.lastReportFile = dir.file("stopped.txt");
    TReportThread stopped(sources, s);
    stopped.RequestStop();
    ASSERT_TRUE(stopped.Start());
    stopped.Wait();
    EXPECT_EQ(stopped.Outcome(), ReportOutcome::StoppedBeforeWriting);
    EXPECT_FALSE(std::filesystem::exists(s.lastReportFile));
}

// The counts of a folder are read as the collection reads numbers: a sign
// and digits only, nothing that overflows; anything else counts as 0.
TEST_F(ReportTest, CountsAreReadAsTheCollectionReadsNumbers)
{
    Load(Bytes("[01]0[02]0[03]1[04]0[05]45000[06]\r\n"
               "\tCD1[01]0[02]0[03]9[04]0[05]45000[06]7[07]\r\n"
               "\t\ta[01]0[02]0[03]+7[04]-3[05]\r\n"
               "\t\t\tx.mp3[01]0[02]0[03]0[04]0[05]0[06]0[07]\r\n"
               "\t\tb[01]0[02]0[03]1x[04]-[05]\r\n"
               "\t\t\tx.mp3[01]0[02]0[03]0[04]0[05]0[06]0[07]\r\n"
               "\t\tc[01]0[02]0[03]+-5[04]--5[05]\r\n"
               "\t\t\tx.mp3[01]0[02]0[03]0[04]0[05]0[06]0[07]\r\n"
               "\t\td[01]0[02]0[03]123456789012345678[04]-999999999999999999[05]\r\n"
               "\t\t\tx.mp3[01]0[02]0[03]0[04]0[05]0[06]0[07]\r\n"
               "\t\te[01]0[02]0[03]9223372036854775807[04]-9223372036854775808[05]\r\n"
               "\t\t\tx.mp3[01]0[02]0[03]0[04]0[05]0[06]0[07]\r\n"
               "\t\tf[01]0[02]0[03]9223372036854775808[04]00000000000000000000042[05]\r\n"
               "\t\t\tx.mp3[01]0[02]0[03]0[04]0[05]0[06]0[07]\r\n"));
    ReportSettings s = NoColumns();
    s.sorting = false;
    s.columnEnabled[kFolderCountColumn - 1] = true;
    s.columnEnabled[kFileCountColumn - 1] = true;
    const Lines lines = ReportLines(s);
    ASSERT_EQ(lines.size(), 2 + 6u);
    for (std::size_t row = 0; row < 6; ++row) {
        // Rows 2 to 7 show the folders, nodes 2, 4, ... 12.
        collection::Numbers n{};
        collection::ReadNumbers(tree.text(static_cast<NodeId>(2 + 2 * row)), n);
        std::istringstream cells(lines[2 + row]);
        std::string name;
        std::string folders;
        std::string files;
        cells >> name >> folders >> files;
        EXPECT_EQ(folders, std::to_string(n[collection::kFolderCount])) << name;
        EXPECT_EQ(files, std::to_string(n[collection::kFileCount])) << name;
    }
    EXPECT_EQ(lines[2], "a                      7                   -3");
    EXPECT_EQ(lines[5], "d     123456789012345678  -999999999999999999");
    EXPECT_EQ(lines[6], "e    9223372036854775807 -9223372036854775808");
}

// The lengths counted for measuring the columns are those of the cells made
// for the lines, in every format: for numbers where their lengths change
// and beyond any real file, for UTF-8, Windows-1252 and control bytes, and
// for marks out of their order.
TEST_F(ReportTest, MeasuredLengthsAreThoseOfTheMadeCells)
{
    Load(Bytes("[01]0[02]0[03]1[04]0[05]45000[06]\r\n"
               "\tCD1[01]0[02]0[03]9[04]0[05]45000[06]7[07]\r\n"
               "\t\ta[01]10239[02]35999[03]-12[04]9223372036854775807[05]\r\n"
               "\t\t\tx.mp3[01]10234[02]36000[03]4410[04]2[05]1[06]3[07]"
               "[15]T[16]Ar[17]Alb[18]1[19]1999[1A][1B]\r\n"
               "\t\t\ty.mp3[01]-10235[02]-36000[03]9223372036854775807[04]5[05]3[06]-2[07]"
               "[15][16][17][18][19][1A]c[1B]\r\n"
               "\t\t\tz.mp3[01]9223372036854775807[02]-9223372036854775808[03]-1[04]-1[05]7"
               "[06]12345[07]\r\n"
               "\t\t\t\xE9t\xE9.mp3[01]1047552[02]1[03]-9223372036854775808[04]0[05]2[06]1[07]"
               "[15]\xE9[16][17][18][19][1A][1B]\r\n"
               "\t\t\t\xC3\xA9t\xC3\xA9 \x81\x8D.mp3[01]1[02]1[03]1[04]1[05]1[06]1[07]"
               "[15]\xE2\x82\xAC 5[16]\x80\x9D\xFF[17]a\x01"
               "b[18][19][1A]\xC3[1B]\r\n"
               "\t\t\tbad\x02marks.mp3[01]1[02]1[03]1[04]1[05]1[07]1[06]"
               "[15]T[16][17][18][19][1A][1B]\r\n"
               "\t\tb[01]-9223372036854775808[02]9223372036854775807[03]0[04]-1[05]\r\n"
               "\t\t\tw.mp3[01]1023[02]0[03]0[04]0[05]0[06]0[07]\r\n"));
    ReportSettings settings;
    settings.collectionRow = settings.volumeRows = settings.folderRows = settings.fileRows = true;
    settings.columnEnabled.fill(true);
    FillSources sources{
        tree, settings, texts, ",", "/", "Collection c.col", std::make_unique<VolumeCells[]>(1)};
    sources.volumes[0] = {"CD1", "15/03/2023"};
    for (const ReportFormat format :
         {ReportFormat::Text, ReportFormat::Dif, ReportFormat::Html, ReportFormat::Csv}) {
        settings.format = format;
        CellFiller made(sources);
        CellFiller measured(sources);
        for (NodeId node = tree.root(); node != collection::kNoNode;
             node = tree.nextInPreOrder(node)) {
            made.Fill(node, 0);
            measured.Measure(node, 0);
            EXPECT_EQ(measured.lengths(), made.lengths()) << tree.text(node);
        }
    }
}

} // namespace
} // namespace velmora::reports
