// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ScriptedUser.h"
#include "TestDir.h"
#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "scan/VolumeEditor.h"
#include "system/Services.h"
#include "texts/TextTable.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

// The fixture of the volume editor's tests: three drives in a test folder,
// a store with an empty collection, a scripted user and the editor.
namespace velmora::scan::testing {

using Events = std::vector<std::string>;

inline constexpr std::int32_t kToday = 46000;
inline constexpr std::int32_t kScanDay = 46100;
inline constexpr std::uint32_t kSerial = 0xFFFFFCDB; // -805 as stored
inline constexpr std::uint32_t kOtherSerial = 0x12345678;

// What the real scan does to the tree when it finds `fileCount` files of
// `sizeKB` and `duration` in all: a volume node (with one folder and its
// files) appended, or inserted before the volume it replaces and named like
// it when the folder part is unchanged; the totals moved from the old volume
// to the new one. The request's label and serial replace `name` and `serial`.
inline std::function<bool(collection::CollectionTree&, const ScanRequest&)>
ScanFinds(std::string name, std::int64_t sizeKB, std::int64_t duration, std::int64_t fileCount,
          std::uint32_t serial)
{
    return [=](collection::CollectionTree& tree, const ScanRequest& request) {
        std::string volumeName = request.label ? CleanLabel(*request.label) : name;
        collection::NodeId volume;
        if (request.replace == collection::kNoNode) {
            volume = tree.appendChild(tree.root(), volumeName);
        } else {
            const std::string_view oldName = collection::NodeName(tree.text(request.replace));
            if (collection::PathAfterDrive(oldName) == collection::PathAfterDrive(volumeName))
                volumeName = std::string(oldName);
            volume = tree.insertBefore(request.replace, volumeName);
        }
        const collection::NodeId folder = tree.appendChild(
            volume, collection::FolderText("Folder", sizeKB, duration, 0, fileCount));
        for (std::int64_t i = 0; i < fileCount; ++i)
            tree.appendChild(folder, "song" + std::to_string(i) + ".mp3");
        tree.setText(volume, collection::VolumeText(
                                 volumeName, sizeKB, duration, 1, fileCount, kScanDay,
                                 static_cast<std::int32_t>(request.serial.value_or(serial))));
        collection::Numbers totals{};
        collection::ReadNumbers(tree.text(tree.root()), totals);
        totals[0] += sizeKB;
        totals[1] += duration;
        totals[2] += 1;
        totals[3] += fileCount;
        if (request.replace != collection::kNoNode) {
            collection::Numbers old{};
            collection::ReadNumbers(tree.text(request.replace), old);
            totals[0] -= old[0];
            totals[1] -= old[1];
            totals[2] -= 1;
            totals[3] -= old[3];
        }
        tree.setText(tree.root(), collection::CollectionText(totals[0], totals[1], totals[2],
                                                             totals[3], kScanDay));
        return true;
    };
}

inline VolumeInfo Drive(std::string root, std::string label, std::uint32_t serial)
{
    VolumeInfo drive;
    drive.root = std::move(root);
    drive.label = std::move(label);
    drive.serial = serial;
    return drive;
}

// A scan that the user cancels after it put a half-built volume in place.
inline bool CancelledScan(collection::CollectionTree& tree, const ScanRequest& request)
{
    const collection::NodeId volume = request.replace == collection::kNoNode
                                          ? tree.appendChild(tree.root(), "HALF")
                                          : tree.insertBefore(request.replace, "HALF");
    tree.appendChild(tree.appendChild(volume, "Folder"), "a.mp3");
    return false;
}

// A scan that finds no audio file: it leaves the tree as it was.
inline bool EmptyScan(collection::CollectionTree&, const ScanRequest&)
{
    return true;
}

class VolumeEditorTest : public ::testing::Test {
protected:
    VolumeEditorTest()
    {
        for (const char* drive : {"a", "b", "c"})
            std::filesystem::create_directories(dir.path() / drive);
        volumes.setVolumes({
            {Root("a"), "SYSTEM", kOtherSerial, VolumeType::Fixed, "ext4", "/dev/sda1"},
            {Root("b"), "AUDIO", kSerial, VolumeType::Removable, "vfat", "/dev/sdb1"},
            {Root("c"), "OTHER", 0x0BADF00D, VolumeType::Optical, "iso9660", "/dev/sr0"},
        });
        tree().setText(tree().root(), collection::CollectionText(0, 0, 0, 0, 40000));
    }

    std::string Root(const std::string& drive) const { return (dir.path() / drive).string(); }
    collection::CollectionTree& tree() { return store.tree(); }

    // Appends a volume holding one file and adds it to the collection's totals.
    collection::NodeId AddVolume(const std::string& name, std::int64_t sizeKB,
                                 std::int64_t duration, std::int64_t fileCount,
                                 std::uint32_t serial = kSerial)
    {
        const collection::NodeId volume = tree().appendChild(
            tree().root(), collection::VolumeText(name, sizeKB, duration, 1, fileCount, 45000,
                                                  static_cast<std::int32_t>(serial)));
        tree().appendChild(tree().appendChild(volume, "Folder"), "x.mp3");
        collection::Numbers totals{};
        collection::ReadNumbers(tree().text(tree().root()), totals);
        tree().setText(tree().root(),
                       collection::CollectionText(totals[0] + sizeKB, totals[1] + duration,
                                                  totals[2] + 1, totals[3] + fileCount, 40000));
        return volume;
    }

    // Every node as "level text", in pre-order.
    Events Dump()
    {
        Events lines;
        for (collection::NodeId n = tree().root(); n != collection::kNoNode;
             n = tree().nextInPreOrder(n))
            lines.push_back(std::to_string(tree().level(n)) + " " + std::string(tree().text(n)));
        return lines;
    }

    // The names of the volumes in collection order.
    Events VolumeNames()
    {
        Events names;
        for (collection::NodeId v = tree().firstChild(tree().root()); v != collection::kNoNode;
             v = tree().nextSibling(v))
            names.emplace_back(collection::NodeName(tree().text(v)));
        return names;
    }

    std::string RootText() { return std::string(tree().text(tree().root())); }

    SourceChoice Source(const std::string& drive, const std::string& below = "")
    {
        const std::string path = below.empty() ? Root(drive) : Root(drive) + "/" + below;
        std::optional<SourceChoice> choice = ReadSource(volumes, path);
        EXPECT_TRUE(choice.has_value()) << path;
        return choice.value_or(SourceChoice{});
    }

    velmora::testing::TestDir dir;
    fakes::FaultyFileSystem files;
    fakes::FakeVolumes volumes;
    fakes::FakeLocale locale;
    fakes::FakeClock clock{kToday};
    texts::TextTable texts;
    collection::CollectionStore store{files, clock, texts};
    ScriptedUser user{store.tree()};
    Services services{files, volumes, locale, clock};
    VolumeEditor editor{store, user, services};
};

} // namespace velmora::scan::testing
