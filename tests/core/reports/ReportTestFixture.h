// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the tests of RunReport share: two collections, a progress that
// records, and a fixture that runs reports into a test folder.

#include "Bytes.h"
#include "TestDir.h"
#include "collection/CollectionFile.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "reports/ReportThread.h"
#include "texts/TextTable.h"

#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <vector>

namespace velmora::reports {

using collection::CollectionTree;
using collection::NodeId;
using testing::Bytes;
using testing::ReadBytes;
using testing::TestDir;
using testing::WriteBytes;
using Lines = std::vector<std::string>;

// One volume CD1 (scanned on day 45000, 15/03/2023) with one folder Rock of
// 10240 KB and 600 s holding one file.
inline const std::string kRock = Bytes("[01]10240[02]600[03]1[04]1[05]45000[06]\r\n"
                                       "\tCD1[01]10240[02]600[03]1[04]1[05]45000[06]7[07]\r\n"
                                       "\t\tRock[01]10240[02]600[03]0[04]1[05]\r\n"
                                       "\t\t\tsong.mp3[01]10240[02]600[03]4410[04]2[05]1[06]3[07]"
                                       "[15][16][17][18][19][1A][1B]\r\n");

// Two volumes. CD1 (day 45000) holds, in this order, a file in its root, the
// folder Rock with B.mp3 and a.mp3, and the folder jazz with x.mp3.
// AUDIO\Music (day 44000, 18/06/2020) holds c.mp3, which no analyser took.
//   loose.mp3  1000 KB in 100 s CBR, MPEG 1 layer 3, 44100 Hz, stereo
//   B.mp3      1587 KB in 100 s CBR (average 130), 44100 Hz, joint stereo,
//              MPEG 1 layer 3, tag with quotes, "&" and "<>"
//   a.mp3      1600 KB in 100 s VBR (average 131.07), 22050 Hz, mono,
//              MPEG 2 layer 3
//   x.mp3      1465 KB in 100 s CBR (average 120), 48000 Hz, dual channel,
//              MPEG 1 layer 3
inline const std::string kMixed =
    Bytes("[01]8652[02]500[03]2[04]5[05]45000[06]\r\n"
          "\tCD1[01]7652[02]400[03]2[04]4[05]45000[06]7[07]\r\n"
          "\t\tloose.mp3[01]1000[02]100[03]4410[04]1[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n"
          "\t\tRock[01]3187[02]200[03]0[04]2[05]\r\n"
          "\t\t\tB.mp3[01]1587[02]100[03]4410[04]2[05]1[06]3[07]"
          "[15]Song \"B\"[16]Band & Co[17]<Album>[18]2[19]1999[1A]fine[1B]\r\n"
          "\t\t\ta.mp3[01]1600[02]-100[03]2205[04]4[05]2[06]3[07][15][16][17][18][19][1A][1B]\r\n"
          "\t\tjazz[01]1465[02]100[03]0[04]1[05]\r\n"
          "\t\t\tx.mp3[01]1465[02]100[03]4800[04]3[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n"
          "\tAUDIO\\Music[01]1000[02]0[03]0[04]1[05]44000[06]9[07]\r\n"
          "\t\tc.mp3[01]1000[02]0[03]0[04]0[05]0[06]0[07][15][16][17][18][19][1A][1B]\r\n");

inline ReportSettings NoColumns()
{
    ReportSettings s;
    s.columnEnabled.fill(false);
    return s;
}

// Records the outputs (the maximum of each pass that has steps), and sets the
// stop flag when a position is reached in a phase.
class RecordingProgress : public Progress {
public:
    void setPhase(std::string_view label) override
    {
        const std::lock_guard lock(mutex);
        phases.emplace_back(label);
        stepped = false;
    }
    void setObject(std::string_view label) override
    {
        const std::lock_guard lock(mutex);
        objects.emplace_back(label);
    }
    void step(std::uint64_t position, std::uint64_t maximum, std::string_view) override
    {
        const std::lock_guard lock(mutex);
        if (!stepped)
            maxima.push_back(maximum);
        stepped = true;
        if (stop != nullptr && !phases.empty() && phases.back() == stopPhase && position == stopAt)
            *stop = true;
    }
    bool cancelled() const override { return false; }

    std::mutex mutex;
    Lines phases;
    Lines objects;
    std::vector<std::uint64_t> maxima;
    bool stepped = false;
    std::atomic<bool>* stop = nullptr;
    std::string stopPhase;
    std::uint64_t stopAt = 0;
};

class ReportTest : public ::testing::Test {
protected:
    void Load(const std::string& bytes)
    {
        ASSERT_TRUE(collection::ReadCollection(std::string_view(bytes), tree).valid);
    }

    ReportOutcome Run(ReportSettings settings)
    {
        settings.lastReportFile = target;
        stop = false;
        const ReportSources sources{tree, "/home/u/music/c.col", texts, services};
        return RunReport(sources, settings, progress, stop);
    }

    // The report written with these settings; empty when none was written.
    std::string Report(const ReportSettings& settings)
    {
        const ReportOutcome outcome = Run(settings);
        EXPECT_EQ(outcome, ReportOutcome::Written);
        return ReadBytes(target);
    }

    // The report's lines; each must end with CR LF.
    Lines ReportLines(const ReportSettings& settings)
    {
        const std::string bytes = Report(settings);
        Lines lines;
        std::size_t start = 0;
        while (start < bytes.size()) {
            const std::size_t end = bytes.find("\r\n", start);
            EXPECT_NE(end, std::string::npos) << "last line without CR LF";
            if (end == std::string::npos)
                break;
            lines.push_back(bytes.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }

    TestDir dir;
    CollectionTree tree;
    fakes::FaultyFileSystem files;
    fakes::FakeVolumes volumes;
    fakes::FakeLocale locale;
    fakes::FakeClock clock;
    Services services{files, volumes, locale, clock};
    texts::TextTable texts;
    RecordingProgress progress;
    std::atomic<bool> stop{false};
    const std::string target = dir.file("report.txt");
};

} // namespace velmora::reports
