// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/tags/TagEditor.h"

#include "core/audio/Frames.h"
#include "gui/GuiFixture.h"
#include "gui/ModalScript.h"
#include "gui/mainwindow/FileListModel.h"
#include "gui/tags/ItemTag.h"
#include "gui/tags/TagCommands.h"
#include "platform/TagLibId3v2.h"
#include "tags/ItemTag.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>
#include <filesystem>
#include <iostream>

namespace velmora::gui::testing {
namespace {

using texts::TextId;
using velmora::testing::Id3v1;
using velmora::testing::ReadBytes;
using velmora::testing::WriteBytes;

std::string Fixture(const char* name)
{
    return ReadBytes(std::string(VELMORA_TEST_DATA_DIR) + "/audio/" + name);
}

const char* const kTagged = "mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3";
const char* const kUntagged = "mpeg1_l3_cbr128_44k_js.mp3";

/// An ID3v2.3 tag with a title and an artist.
std::string Id3v2Tag()
{
    const auto frame = [](const std::string& id, const std::string& text) {
        return id + std::string(3, '\0') + static_cast<char>(text.size() + 1) +
               std::string(3, '\0') + text;
    };
    return velmora::testing::Id3v2(frame("TIT2", "Real title") + frame("TPE1", "Real artist"));
}

class TagEditorTest : public GuiTest {
protected:
    TagEditorTest()
    {
        VolumeInfo volume;
        volume.root = root();
        volume.label = "MUSIC";
        volumes.setVolumes({volume});
        WriteBytes(dir.file("a.mp3"), Fixture(kTagged));
        WriteBytes(dir.file("b.MP3"), Fixture(kTagged));
        WriteBytes(dir.file("c.mp3"), Fixture(kUntagged));
        WriteBytes(dir.file("notes.txt"), "not audio");
    }

    std::string root() const { return dir.path().string(); }

    std::unique_ptr<TagEditor> OpenEditor()
    {
        auto editor =
            std::make_unique<TagEditor>(app.services(), app.settings(), app.texts().table(),
                                        dialogs, QString::fromStdString(root()));
        EXPECT_TRUE(editor->ChooseFolder(QString::fromStdString(root())));
        return editor;
    }

    static QStringList Names(const QListWidget* files)
    {
        QStringList names;
        for (int row = 0; row < files->count(); ++row)
            names << files->item(row)->text();
        return names;
    }

    static QStringList Selected(const QListWidget* files)
    {
        QStringList names;
        for (int row = 0; row < files->count(); ++row) {
            if (files->item(row)->isSelected())
                names << files->item(row)->text();
        }
        return names;
    }
};

// Only Album ticked: the album goes into the first and third files, the
// second cannot be opened for writing and stays as it was and selected; the
// bytes before each tag are never touched.
TEST_F(TagEditorTest, SaveWritesTheTickedFieldIntoEverySelectedFileThatCanBeWritten)
{
    app.settings().tagField = {false, false, true, false, false, false};
    const std::string a = dir.file("a.mp3");
    const std::string b = dir.file("b.MP3");
    const std::string c = dir.file("c.mp3");
    const std::string oldA = ReadBytes(a);
    const std::string oldB = ReadBytes(b);
    const std::string oldC = ReadBytes(c);
    files.readOnlyFiles = {b};

    std::unique_ptr<TagEditor> editor = OpenEditor();
    const TagEditor::Controls& ui = editor->controls();
    ASSERT_EQ(Names(ui.files), (QStringList{"a.mp3", "b.MP3", "c.mp3"}));
    EXPECT_FALSE(ui.fields[0]->isEnabled());
    EXPECT_TRUE(ui.fields[2]->isEnabled());
    ui.files->selectAll();
    QTest::keyClicks(ui.fields[2], QStringLiteral("New album"));
    dialogs.messageAnswers = {1};
    ui.save->click();

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Can not write tag in the file: ") + QString::fromStdString(b));
    EXPECT_EQ(dialogs.messages[0].button2, QStringLiteral("Cancel"));
    EXPECT_EQ(dialogs.messages[0].escapeButton, 2);
    EXPECT_EQ(Selected(ui.files), QStringList{"b.MP3"});
    EXPECT_EQ(ReadBytes(b), oldB);
    EXPECT_EQ(ui.status->text(), QStringLiteral("Changed files: 2"));

    const std::string newA = ReadBytes(a);
    ASSERT_EQ(newA.size(), oldA.size());
    EXPECT_EQ(newA.substr(0, newA.size() - 128), oldA.substr(0, oldA.size() - 128));
    EXPECT_EQ(newA.substr(newA.size() - 128, 33), oldA.substr(oldA.size() - 128, 33));
    EXPECT_EQ(newA.substr(newA.size() - 128 + 63, 9), "New album");
    const std::string newC = ReadBytes(c);
    ASSERT_EQ(newC.size(), oldC.size() + 128);
    EXPECT_EQ(newC.substr(0, oldC.size()), oldC);
    EXPECT_EQ(newC.substr(oldC.size(), 3), "TAG");

    // The shown fields of a written file hold the new album beside its old title.
    ui.files->setCurrentRow(0);
    EXPECT_EQ(ui.fields[2]->text(), QStringLiteral("New album"));
    EXPECT_FALSE(ui.fields[0]->text().isEmpty());

    // The check boxes go back into the settings on closing.
    ui.checks[4]->click();
    EXPECT_TRUE(ui.fields[4]->isEnabled());
    ui.close->click();
    EXPECT_EQ(app.settings().tagField,
              (std::array<bool, 6>{false, false, true, false, true, false}));
    EXPECT_EQ(dialogs.unscripted, 0);
}

// Cancel in the message of a failed file leaves the files after it alone.
TEST_F(TagEditorTest, CancelAfterAFailureEndsTheSave)
{
    const std::string c = dir.file("c.mp3");
    const std::string oldC = ReadBytes(c);
    files.readOnlyFiles = {dir.file("b.MP3")};
    std::unique_ptr<TagEditor> editor = OpenEditor();
    const TagEditor::Controls& ui = editor->controls();
    ui.files->selectAll();
    dialogs.messageAnswers = {1, 2}; // overwrite the files' differing values; Cancel
    ui.save->click();
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(Selected(ui.files), (QStringList{"b.MP3", "c.mp3"}));
    EXPECT_EQ(ReadBytes(c), oldC);
}

// Removing the tag of a file that has none succeeds: the file is unselected
// and stays as it was; the tag of a tagged file is cut off.
TEST_F(TagEditorTest, RemoveSucceedsOnAFileWithoutATag)
{
    const std::string a = dir.file("a.mp3");
    const std::string c = dir.file("c.mp3");
    const std::string oldA = ReadBytes(a);
    const std::string oldC = ReadBytes(c);
    std::unique_ptr<TagEditor> editor = OpenEditor();
    const TagEditor::Controls& ui = editor->controls();
    ui.files->setCurrentRow(0);
    EXPECT_EQ(ui.fields[3]->text(), QStringLiteral("7"));
    ui.files->item(0)->setSelected(true);
    ui.files->item(2)->setSelected(true);
    ui.remove->click();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(ui.status->text(), QStringLiteral("Changed files: 2"));
    EXPECT_EQ(Selected(ui.files), QStringList());
    EXPECT_EQ(ReadBytes(c), oldC);
    EXPECT_EQ(ReadBytes(a), oldA.substr(0, oldA.size() - 128));
    EXPECT_TRUE(ui.fields[3]->text().isEmpty());
}

// The fields show the file under the cursor, while all ticked fields go
// into every selected file: a save that would replace values that differ
// among the files asks first, naming those fields; one typed into since the
// cursor last moved is wanted and not asked about.
TEST_F(TagEditorTest, ASaveThatReplacesDifferingValuesAsksFirst)
{
    const std::string folder = dir.file("album");
    std::filesystem::create_directory(folder);
    const char* const titles[] = {"\xDC"
                                  "berall",
                                  "Zwei", "Drei", "Vier", "F\xFCnf"};
    std::vector<std::string> paths;
    for (int track = 1; track <= 5; ++track) {
        paths.push_back(folder + "/" + std::to_string(track) + ".mp3");
        WriteBytes(paths.back(), Fixture(kUntagged) + Id3v1(titles[track - 1], "Band", "Album",
                                                            "2001", "Notes", track));
    }
    const auto contents = [&paths] {
        std::vector<std::string> bytes;
        for (const std::string& path : paths)
            bytes.push_back(ReadBytes(path));
        return bytes;
    };
    const std::vector<std::string> before = contents();

    std::unique_ptr<TagEditor> editor = OpenEditor();
    ASSERT_TRUE(editor->ChooseFolder(QString::fromStdString(folder)));
    const TagEditor::Controls& ui = editor->controls();
    ui.files->setCurrentRow(0);
    EXPECT_EQ(ui.fields[0]->text(), QStringLiteral("Überall"));
    ui.files->selectAll();
    for (const int field : {2, 4}) { // Album and Year
        ui.fields[field]->selectAll();
        QTest::keyClicks(ui.fields[field],
                         field == 2 ? QStringLiteral("Live") : QStringLiteral("2024"));
    }
    dialogs.messageAnswers = {2}; // No
    ui.save->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const MessageRequest& question = dialogs.messages[0];
    EXPECT_EQ(question.text,
              QStringLiteral("The selected files have different values in these fields: Title, "
                             "Track\r\nSelected files: 5\r\nWould you like to overwrite them?"));
    EXPECT_EQ(question.caption, QStringLiteral("Confirmation"));
    EXPECT_EQ(question.button1, QStringLiteral("Yes"));
    EXPECT_EQ(question.button2, QStringLiteral("No"));
    EXPECT_EQ(contents(), before);
    EXPECT_EQ(Selected(ui.files).size(), 5);

    ui.fields[0]->selectAll();
    QTest::keyClicks(ui.fields[0], QStringLiteral("Live song"));
    dialogs.messageAnswers = {2};
    ui.save->click();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[1].text.startsWith(
        QStringLiteral("The selected files have different values in these fields: Track\r\n")));
    EXPECT_EQ(contents(), before);

    // The cursor moves: the fields show the second file, nothing typed.
    ui.files->setCurrentRow(1, QItemSelectionModel::NoUpdate);
    EXPECT_EQ(ui.fields[0]->text(), QStringLiteral("Zwei"));
    dialogs.messageAnswers = {1}; // Yes
    ui.save->click();
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_TRUE(dialogs.messages[2].text.contains(QStringLiteral("fields: Title, Track\r\n")));
    for (const std::string& bytes : contents()) {
        const std::string tag = bytes.substr(bytes.size() - 128);
        EXPECT_EQ(tag.substr(3, 5), std::string("Zwei\0", 5));
        EXPECT_EQ(tag.substr(63, 6), std::string("Album\0", 6));
        EXPECT_EQ(tag[126], 2);
    }
    EXPECT_TRUE(Selected(ui.files).isEmpty());
    EXPECT_EQ(dialogs.unscripted, 0);
}

// Saving into a file whose only tag is an ID3v2 tag keeps the texts the
// editor shows of it in the fields that are not ticked.
TEST_F(TagEditorTest, SavingIntoAFileWithOnlyAnId3v2TagKeepsItsTexts)
{
    app.settings().tagField = {false, false, true, false, false, false};
    const auto frame = [](const std::string& id, const std::string& text) {
        return id + std::string(3, '\0') + static_cast<char>(text.size() + 1) +
               std::string(3, '\0') + text;
    };
    WriteBytes(dir.file("a.mp3"),
               velmora::testing::Id3v2(frame("TIT2", "Real title") + frame("TPE1", "Real artist") +
                                       frame("TYER", "1994")) +
                   Fixture(kUntagged));
    std::unique_ptr<TagEditor> editor = OpenEditor();
    const TagEditor::Controls& ui = editor->controls();
    ui.files->setCurrentRow(0);
    EXPECT_EQ(ui.fields[0]->text(), QStringLiteral("Real title"));
    QTest::keyClicks(ui.fields[2], QStringLiteral("Album"));
    ui.save->click();
    EXPECT_TRUE(dialogs.messages.empty());

    const std::string bytes = ReadBytes(dir.file("a.mp3"));
    const std::string tag = bytes.substr(bytes.size() - 128);
    EXPECT_EQ(tag.substr(0, 14), std::string("TAGReal title\0", 14));
    EXPECT_EQ(tag.substr(33, 12), std::string("Real artist\0", 12));
    EXPECT_EQ(tag.substr(63, 6), std::string("Album\0", 6));
    EXPECT_EQ(tag.substr(93, 4), "1994");
}

// The line below the fields names the tags of the file under the cursor; the
// text fields of a file with an ID3v2 tag take longer texts.
TEST_F(TagEditorTest, TheCurrentFileShowsItsTagsAndTheirLengths)
{
    WriteBytes(dir.file("a.mp3"), Id3v2Tag() + Fixture(kTagged));
    std::unique_ptr<TagEditor> editor = OpenEditor();
    const TagEditor::Controls& ui = editor->controls();
    EXPECT_TRUE(ui.tagKinds->text().isEmpty());

    ui.files->setCurrentRow(0);
    EXPECT_EQ(ui.tagKinds->text(), QStringLiteral("Tags in the file: ID3v1 ID3v2.3"));
    EXPECT_EQ(ui.fields[0]->maxLength(), 250);
    EXPECT_EQ(ui.fields[5]->maxLength(), 250);
    EXPECT_EQ(ui.fields[3]->maxLength(), 2);
    EXPECT_EQ(ui.fields[4]->maxLength(), 4);

    ui.files->setCurrentRow(2);
    EXPECT_EQ(ui.tagKinds->text(), QStringLiteral("Tags in the file: None"));
    EXPECT_EQ(ui.fields[0]->maxLength(), 30);
    EXPECT_EQ(ui.fields[5]->maxLength(), 29);
    ui.files->setCurrentRow(1);
    EXPECT_EQ(ui.tagKinds->text(), QStringLiteral("Tags in the file: ID3v1"));
    EXPECT_TRUE(dialogs.messages.empty());
}

// Remove asks once for all selected files whether their ID3v2 tags go too:
// Cancel removes nothing, No the ID3v1 tags only, Yes both; files without an
// ID3v2 tag are not asked about.
TEST_F(TagEditorTest, RemoveAsksWhetherTheId3v2TagsGoToo)
{
    const std::string a = dir.file("a.mp3");
    const std::string b = dir.file("b.MP3");
    const std::string c = dir.file("c.mp3");
    const std::string audio = Fixture(kUntagged);
    const std::string tagged = Fixture(kTagged);
    WriteBytes(a, Id3v2Tag() + tagged);
    WriteBytes(b, Id3v2Tag() + tagged);
    platform::TagLibId3v2 id3v2;
    Services services = app.services();
    services.id3v2 = &id3v2;
    TagEditor editor(services, app.settings(), app.texts().table(), dialogs,
                     QString::fromStdString(root()));
    ASSERT_TRUE(editor.ChooseFolder(QString::fromStdString(root())));
    const TagEditor::Controls& ui = editor.controls();

    ui.files->selectAll();
    dialogs.messageAnswers = {3}; // Cancel
    ui.remove->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const MessageRequest& question = dialogs.messages[0];
    EXPECT_EQ(question.text, QStringLiteral("Remove the ID3v2 tags as well? They may hold "
                                            "pictures and other texts"));
    EXPECT_EQ(question.button1, QStringLiteral("Yes"));
    EXPECT_EQ(question.button2, QStringLiteral("No"));
    EXPECT_EQ(question.button3, QStringLiteral("Cancel"));
    EXPECT_EQ(question.escapeButton, 3);
    EXPECT_EQ(ReadBytes(a), Id3v2Tag() + tagged);
    EXPECT_EQ(ReadBytes(b), Id3v2Tag() + tagged);
    EXPECT_EQ(ReadBytes(c), audio);
    EXPECT_EQ(Selected(ui.files).size(), 3);

    ui.files->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    dialogs.messageAnswers = {2}; // No
    ui.remove->click();
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(ReadBytes(a), Id3v2Tag() + tagged.substr(0, tagged.size() - 128));
    EXPECT_EQ(ui.tagKinds->text(), QStringLiteral("Tags in the file: ID3v2.3"));
    EXPECT_EQ(ui.fields[0]->text(), QStringLiteral("Real title"));

    ui.files->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
    dialogs.messageAnswers = {1}; // Yes
    ui.remove->click();
    EXPECT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(ReadBytes(b), tagged.substr(0, tagged.size() - 128));
    EXPECT_EQ(ui.tagKinds->text(), QStringLiteral("Tags in the file: None"));

    // Neither of these holds an ID3v2 tag now.
    ui.files->item(1)->setSelected(true);
    ui.files->item(2)->setSelected(true);
    ui.remove->click();
    EXPECT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(ui.status->text(), QStringLiteral("Changed files: 2"));
    EXPECT_EQ(dialogs.unscripted, 0);
}

// A program named like audio, which the analysers take for audio, is told
// as not valid when the cursor reaches it and when a save comes to it, and
// stays as it was.
TEST_F(TagEditorTest, AProgramNamedLikeAudioTakesNoTag)
{
    const std::string folder = dir.file("programs");
    std::filesystem::create_directory(folder);
    const std::string program = folder + "/ls.mp3";
    std::filesystem::copy_file("/bin/ls", program);
    const std::string before = ReadBytes(program);
    std::unique_ptr<TagEditor> editor = OpenEditor();
    ASSERT_TRUE(editor->ChooseFolder(QString::fromStdString(folder)));
    const TagEditor::Controls& ui = editor->controls();
    ui.files->setCurrentRow(0);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("The file isn't valid: ") + QString::fromStdString(program));
    dialogs.messageAnswers = {1, 1};
    ui.save->click();
    ui.remove->click();
    ASSERT_EQ(dialogs.messages.size(), 3u);
    for (const std::size_t i : {1u, 2u}) {
        EXPECT_EQ(dialogs.messages[i].text, dialogs.messages[0].text);
        EXPECT_EQ(dialogs.messages[i].button2, QStringLiteral("Cancel"));
    }
    EXPECT_EQ(Selected(ui.files), QStringList{"ls.mp3"});
    EXPECT_EQ(ReadBytes(program), before);
}

// A volume whose information cannot be read shows no folders and no files.
TEST_F(TagEditorTest, AnUnreadableVolumeEmptiesTheLists)
{
    std::unique_ptr<TagEditor> editor = OpenEditor();
    EXPECT_EQ(editor->controls().files->count(), 3);
    volumes.setUnreadable(root());
    editor->ChooseDrive(0);
    EXPECT_EQ(editor->controls().folders->topLevelItemCount(), 0);
    EXPECT_EQ(editor->controls().files->count(), 0);
}

class ItemTagTest : public GuiTest {
protected:
    /// Shows the file "a.mp3" of "Rock" in the list, current.
    collection::NodeId ShowSong()
    {
        LoadSample();
        window->show();
        const collection::CollectionTree& tree = app.store().tree();
        collection::NodeId song = tree.root();
        while (song != collection::kNoNode && collection::NodeName(tree.text(song)) != "a.mp3")
            song = tree.nextInPreOrder(song);
        window->ShowNode(song);
        EXPECT_EQ(window->CurrentNode(), song);
        return song;
    }

    QString ListTitleOf(collection::NodeId node) const
    {
        const int row = window->listModel()->rowOf(node);
        return window->listModel()->index(row, 1).data().toString();
    }

    ModalScript script;
};

// Characters below 32 typed or pasted into a field never reach the node:
// the field drops them, and the node text is built without them anyway.
TEST_F(ItemTagTest, SaveWritesTheFieldsWithoutControlCharactersAndMarksTheCollection)
{
    const collection::NodeId song = ShowSong();
    script.Then<ItemTag>([](ItemTag& d) {
        QLineEdit* title = d.controls().fields[0];
        title->selectAll();
        title->insert(QStringLiteral("New\x15 title\x01\r\n"));
        EXPECT_EQ(title->text(), QStringLiteral("New title"));
        d.controls().fields[3]->setText(QStringLiteral("12"));
        d.controls().save->click();
    });
    window->action(Command::Tag)->trigger();
    EXPECT_EQ(script.left(), 0u);

    const std::string text(app.store().tree().text(song));
    collection::Tags tags;
    collection::ReadTags(text, tags);
    EXPECT_EQ(tags[collection::kTitle], "New title");
    EXPECT_EQ(tags[collection::kTrack], "12");
    EXPECT_EQ(text.substr(text.find('\x07') + 1), "\x15New title\x16\x17\x18"
                                                  "12\x19\x1A\x1B");
    EXPECT_TRUE(app.store().modified());
    EXPECT_TRUE(window->action(Command::Save)->isEnabled());
    EXPECT_EQ(ListTitleOf(song), QStringLiteral("New title"));
    EXPECT_EQ(window->CurrentNode(), song);

    // The core keeps them out whatever the window lets through.
    tags::ItemTagFields fields{"a\x15", "\x01", "", "", "", "b\x1B\r\n"};
    EXPECT_EQ(tags::ItemTagText(text, fields)->substr(text.find('\x07') + 1),
              "\x15"
              "a\x16\x17\x18\x19\x1A"
              "b\x1B");
}

TEST_F(ItemTagTest, CloseLeavesTheNodeAsItWas)
{
    const collection::NodeId song = ShowSong();
    const std::string before(app.store().tree().text(song));
    script.Then<ItemTag>([](ItemTag& d) {
        d.controls().fields[0]->setText(QStringLiteral("Changed"));
        d.controls().close->click();
    });
    window->action(Command::Tag)->trigger();
    EXPECT_EQ(script.left(), 0u);
    EXPECT_EQ(app.store().tree().text(song), before);
    EXPECT_FALSE(app.store().modified());
}

} // namespace
} // namespace velmora::gui::testing
