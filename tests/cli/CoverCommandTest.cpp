// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bytes.h"
#include "CliFixture.h"
#include "TestDir.h"
#include "cover/CoverRenderer.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace velmora::cli {
namespace {

using testing::Bytes;
using testing::ReadBytes;
using testing::WriteBytes;
namespace fs = std::filesystem;

// Keeps what it was asked to draw; its "PDF" names the title.
class RecordingRenderer : public cover::CoverRenderer {
public:
    class Measure : public cover::TextMeasure {
    public:
        cover::TextSize measure(const cover::CoverFont& font, std::string_view text) const override
        {
            return {static_cast<int>(text.size()) * font.height / 2, font.height + 4};
        }
    };

    const cover::TextMeasure& measure() const override { return measure_; }
    int pixelsPerInch() const override { return 96; }
    [[nodiscard]] bool renderPdf(const std::vector<cover::DrawOp>& drawn, std::string_view title,
                                 std::string& pdf) override
    {
        ops = drawn;
        pdf = "%PDF " + std::string(title);
        return true;
    }

    std::vector<cover::DrawOp> ops;

private:
    Measure measure_;
};

class CoverCommandTest : public CliFixture {
protected:
    CoverCommandTest()
    {
        context.coverRenderer = &renderer;
        for (const char* name : {"b", "A", "c"})
            fs::create_directories(dir.path() / "disc" / name);
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& op : renderer.ops) {
            if (const auto* text = std::get_if<cover::TextOp>(&op))
                texts.push_back(text->text);
        }
        return texts;
    }

    RecordingRenderer renderer;
    const std::string disc = dir.file("disc");
    const std::string pdf = dir.file("cover.pdf");
};

TEST_F(CoverCommandTest, OptionsShapeTheCoverAndTheCollectionLabelsIt)
{
    ASSERT_EQ(Run({"cover", disc, "-o", pdf, "--numbered", "--no-date", "--stretch=105,95",
                   "--font", "Serif, Bold,30"}),
              kSuccess)
        << err.str();
    EXPECT_EQ(ReadBytes(pdf), "%PDF CD cover");
    EXPECT_EQ(std::get<cover::RectangleOp>(renderer.ops[0]).box.right -
                  std::get<cover::RectangleOp>(renderer.ops[0]).box.left,
              1265);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. A", "2. b", "3. c", "1. A", "2. b", "3. c"}));
    const auto& first = std::get<cover::TextOp>(renderer.ops[4]);
    EXPECT_EQ(first.font.name, "Serif, Bold");
    EXPECT_EQ(first.font.height, 40);

    // The collection's volume scanned from that root names the disc.
    volumes.setVolumes({fakes::MountedVolume(disc, VolumeType::Optical, "RAW", 7)});
    const std::string collection = dir.file("music.col");
    WriteBytes(collection, Bytes("[01]0[02]0[03]1[04]0[05]45000[06]\r\n"
                                 "\tMy Disc[01]0[02]0[03]0[04]0[05]45000[06]7[07]\r\n"));
    ASSERT_EQ(Run({"cover", disc, "-o", pdf, "--collection", collection}), kSuccess) << err.str();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"A", "b", "c", "A", "b", "c", "09/12/2025",
                                                 "My Disc", "My Disc"}));
    ASSERT_EQ(Run({"cover", disc, "-o", pdf, "--collection", collection, "--label", "Mine"}),
              kSuccess);
    EXPECT_EQ(Texts().back(), "Mine");
}

TEST_F(CoverCommandTest, FailuresLeaveTheFileAsItWas)
{
    WriteBytes(pdf, "old");
    EXPECT_EQ(Run({"cover", dir.file("missing"), "-o", pdf}), kFailed);
    EXPECT_EQ(err.str(),
              "velmora-cli cover: cannot read the folder \"" + dir.file("missing") + "\"\n");
    files.failCommit = true;
    EXPECT_EQ(Run({"cover", disc, "-o", pdf}), kFailed);
    EXPECT_EQ(err.str(), "Can not save in the file: " + pdf + "\n");
    EXPECT_EQ(ReadBytes(pdf), "old");

    EXPECT_EQ(Run({"cover", disc, "-o", pdf, "--stretch", "94,100"}), kUsage);
    EXPECT_EQ(Run({"cover", disc, "-o", pdf, "--label", std::string(31, 'x')}), kUsage);
    EXPECT_EQ(Run({"cover", disc}), kUsage);
}

} // namespace
} // namespace velmora::cli
