// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestDir.h"
#include "collection/CollectionTree.h"
#include "cover/CoverLayout.h"
#include "cover/CoverSource.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace velmora::cover {
namespace {

// Fixed metrics: every character half as wide as the font is high, lines an
// eighth higher than the character height (its internal leading).
class FixedMeasure : public TextMeasure {
public:
    TextSize measure(const CoverFont& font, std::string_view text) const override
    {
        const int height = font.height + font.height / 8 + extraLeading;
        return {static_cast<int>(text.size()) * font.height / 2, height};
    }
    int extraLeading = 0;
};

std::vector<std::string> Folders(int count)
{
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i)
        names.push_back("Folder " + std::to_string(i));
    return names;
}

std::vector<TextOp> Texts(const std::vector<DrawOp>& ops)
{
    std::vector<TextOp> texts;
    for (const DrawOp& op : ops) {
        if (const auto* text = std::get_if<TextOp>(&op))
            texts.push_back(*text);
    }
    return texts;
}

TEST(CoverLayout, StretchRoundsHalvesTowardOneHundredPercent)
{
    const CoverDimensions narrow = Dimensions(95, 98);
    EXPECT_EQ(narrow.frontWidth, 1145);
    EXPECT_EQ(narrow.backWidth, 1439);
    EXPECT_EQ(narrow.spine, 66);
    EXPECT_EQ(narrow.marginX, 47);
    EXPECT_EQ(narrow.backHeight, 1200);
    const CoverDimensions wide = Dimensions(105, 102);
    EXPECT_EQ(wide.frontWidth, 1265);
    EXPECT_EQ(wide.backWidth, 1591);
    EXPECT_EQ(wide.spine, 74);
    EXPECT_EQ(wide.marginX, 53);
    EXPECT_EQ(wide.backHeight, 1250);
    EXPECT_EQ(Dimensions(100, 100), (CoverDimensions{1205, 1255, 1515, 1225, 70, 50, 50}));
    EXPECT_EQ(CharacterHeight(36, 96), 48);
    EXPECT_EQ(CharacterHeight(28, 96), 37);
    EXPECT_EQ(CharacterHeight(18, 120), 30);
}

TEST(CoverLayout, FramesListingsDateAndLabelAtTheDefaults)
{
    const FixedMeasure measure;
    CoverContent content;
    content.folders = Folders(25);
    content.date = "09/12/2026";
    content.label = "MY DISC";
    const CoverFont font{.name = "Sans", .height = CharacterHeight(36, 96)};
    const auto ops = LayoutCover(Dimensions(100, 100), kCoverPage, font, 96, content, measure);

    ASSERT_GE(ops.size(), 4u);
    EXPECT_EQ(std::get<RectangleOp>(ops[0]).box, (Box{447, 180, 1652, 1436}));
    EXPECT_EQ(std::get<RectangleOp>(ops[1]).box, (Box{292, 1435, 1807, 2660}));
    EXPECT_EQ(std::get<LineOp>(ops[2]), (LineOp{{362, 1435}, {362, 2660}}));
    EXPECT_EQ(std::get<LineOp>(ops[3]), (LineOp{{1737, 1435}, {1737, 2660}}));

    // 19 lines on each part at a pitch of 60; the back starts again with
    // the first folder.
    const auto texts = Texts(ops);
    ASSERT_EQ(texts.size(), 19u + 19u + 1u + 2u);
    EXPECT_EQ(texts[0].text, "Folder 1");
    EXPECT_EQ(texts[0].origin, (Point{497, 230}));
    EXPECT_EQ(texts[0].clip, (Box{497, 230, 1602, 290}));
    EXPECT_EQ(texts[18].text, "Folder 19");
    EXPECT_EQ(texts[18].clip->bottom, 1370);
    EXPECT_EQ(texts[19].text, "Folder 1");
    EXPECT_EQ(texts[19].origin, (Point{412, 1485}));
    EXPECT_EQ(texts[19].clip, (Box{412, 1485, 1687, 1545}));
    EXPECT_EQ(texts[37].clip->bottom, 2625);

    // The date at 18 points (24 high, 27 with leading), centred at the foot.
    const TextOp& date = texts[38];
    EXPECT_EQ(date.font.height, 24);
    EXPECT_EQ(date.origin, (Point{292 + (1515 - 120) / 2, 2660 - (27 + 50) / 2}));
    EXPECT_EQ(date.clip, (Box{989, 2622, 1109, 2659}));

    // The label at 28 points (37, 41 with leading) on both spines, unclipped.
    const TextOp& up = texts[39];
    const TextOp& down = texts[40];
    EXPECT_EQ(up.font.height, 37);
    EXPECT_EQ(up.angle, 90);
    EXPECT_EQ(up.origin, (Point{292 + (70 - 41) / 2, 2660 - 50}));
    EXPECT_EQ(down.angle, 270);
    EXPECT_EQ(down.origin, (Point{1807 - (70 - 41) / 2, 1435 + 50}));
    EXPECT_FALSE(up.clip.has_value());
    EXPECT_FALSE(down.clip.has_value());
}

TEST(CoverLayout, LabelShrinksWhenItFillsTheSpineAndUnreadableRootsShowFramesOnly)
{
    FixedMeasure measure;
    measure.extraLeading = 30; // 37 + 4 + 30 = 71, wider than the spine
    CoverContent content;
    content.folders = std::vector<std::string>{};
    content.label = std::string(200, 'L');
    const CoverFont font{.name = "Sans", .height = 48, .bold = true};
    const auto texts =
        Texts(LayoutCover(Dimensions(100, 100), kCoverPage, font, 96, content, measure));
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].font.height, 35);
    EXPECT_TRUE(texts[0].font.bold);
    EXPECT_EQ(texts[0].text.size(), 200u);

    content.folders.reset();
    EXPECT_EQ(LayoutCover(Dimensions(100, 100), kCoverPage, font, 96, content, measure).size(), 4u);
}

TEST(CoverLayout, NumberingPrefixes)
{
    EXPECT_EQ(FolderPrefix(1, 12, true), "01. ");
    EXPECT_EQ(FolderPrefix(9, 12, true), "09. ");
    EXPECT_EQ(FolderPrefix(10, 12, true), "10. ");
    EXPECT_EQ(FolderPrefix(1, 9, true), "1. ");
    EXPECT_EQ(FolderPrefix(9, 9, true), "9. ");
    EXPECT_EQ(FolderPrefix(3, 12, false), "");
}

TEST(CoverSource, FoldersLabelDateAndVolumeChoice)
{
    const testing::TestDir dir;
    const std::filesystem::path root = dir.path();
    for (const char* name : {"beta", "Alpha", ".hidden", "lost+found", "Zulu"})
        std::filesystem::create_directory(root / name);
    testing::WriteBytes((root / "file.mp3").string(), "x");
    std::filesystem::create_directory_symlink(root / "Zulu", root / "link");

    fakes::FaultyFileSystem files;
    const fakes::FakeLocale locale;
    fakes::FakeVolumes volumes(
        {fakes::MountedVolume(root.string(), VolumeType::Optical, "DISC", 0x1234ABCD)});
    const fakes::FakeClock clock(46365); // 9 December 2026

    collection::CollectionTree tree;
    const auto top = tree.addRoot("[01]0[02]0[03]3[04]0[05]0[06]");
    const auto serial = std::to_string(static_cast<std::int32_t>(0x1234ABCD));
    tree.appendChild(top, "Rock\x01"
                          "0\x02"
                          "0\x03"
                          "0\x04"
                          "0\x05"
                          "0\x06" +
                              serial + "\x07");
    tree.appendChild(top, "DISC\\Sub\x01"
                          "0\x02"
                          "0\x03"
                          "0\x04"
                          "0\x05"
                          "0\x06" +
                              serial + "\x07");
    tree.appendChild(top, "Other\x01"
                          "0\x02"
                          "0\x03"
                          "0\x04"
                          "0\x05"
                          "0\x06"
                          "5\x07");

    const CoverSources sources{files, volumes, locale, clock, &tree};
    CoverOptions options;
    CoverContent content = ReadCoverContent(sources, root.string(), options);
    ASSERT_TRUE(content.folders.has_value());
    EXPECT_EQ(*content.folders, (std::vector<std::string>{"Alpha", "beta", "Zulu"}));
    EXPECT_EQ(content.label, "Rock");
    EXPECT_EQ(content.date, "09/12/2026");

    options.customLabel = true;
    options.labelText = "Mine";
    options.addDate = false;
    content = ReadCoverContent(sources, root.string(), options);
    EXPECT_EQ(content.label, "Mine");
    EXPECT_EQ(content.date, "");
    EXPECT_EQ(VolumeCoverLabel(volumes, root.string(), nullptr), "DISC");

    volumes.setUnreadable(root.string());
    EXPECT_EQ(VolumeCoverLabel(volumes, root.string(), &tree), "");
    content = ReadCoverContent(sources, (root / "missing").string(), CoverOptions{});
    EXPECT_FALSE(content.folders.has_value());

    const std::vector<VolumeInfo> mounted{fakes::MountedVolume("/", VolumeType::Fixed),
                                          fakes::MountedVolume(root.string(), VolumeType::Optical)};
    EXPECT_EQ(ChooseCoverVolume(mounted, "/", files, "/home"), "/");
    EXPECT_EQ(ChooseCoverVolume(mounted, "/media/gone", files, "/home"), root.string());
    EXPECT_EQ(ChooseCoverVolume({mounted[0]}, "", files, "/home"), "/home");
}

} // namespace
} // namespace velmora::cover
