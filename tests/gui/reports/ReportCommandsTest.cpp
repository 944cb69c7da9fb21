// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/reports/ReportCommands.h"

#include "gui/GuiFixture.h"
#include "gui/ModalScript.h"
#include "gui/reports/ReportDialog.h"
#include "gui/reports/ReportProcess.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDir>
#include <QPushButton>
#include <QThread>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

namespace velmora::gui::testing {
namespace {

class ReportCommandsTest : public GuiTest {
protected:
    static void Confirm(ReportDialog& dialog, int format)
    {
        dialog.controls().format->button(format)->setChecked(true);
        dialog.controls().ok->click();
    }

    /// The names in the test folder, sorted.
    std::vector<std::string> FolderNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.file("")))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    ModalScript script;
};

// The report dialog's format decides the next proposal: after a text report
// written to music.txt, an HTML report proposes music.html in that folder.
TEST_F(ReportCommandsTest, AWrittenReportIsToldAndNamesTheNextProposal)
{
    LoadSample();
    const QString text = QString::fromStdString(dir.file("music.txt"));
    script.Then<ReportDialog>([](ReportDialog& d) { Confirm(d, 1); });
    script.Then<ReportDialog>([](ReportDialog& d) { Confirm(d, 3); });
    dialogs.saveAnswers = {text, {}};
    dialogs.messageAnswers = {1};
    window->reportCommands().Report();
    window->reportCommands().Report();

    EXPECT_EQ(script.left(), 0u);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("The report successfully created in the file: ") + text);
    EXPECT_TRUE(std::filesystem::file_size(text.toStdString()) > 0);
    ASSERT_EQ(dialogs.saveRequests.size(), 2u);
    EXPECT_EQ(dialogs.saveRequests[0].filter, QStringLiteral("Text (*.txt)"));
    EXPECT_EQ(dialogs.saveRequests[1].title, QStringLiteral("Save report as"));
    EXPECT_EQ(dialogs.saveRequests[1].fileName, QStringLiteral("music.html"));
    EXPECT_EQ(QDir(dialogs.saveRequests[1].folder), QDir(QString::fromStdString(dir.file(""))));
    EXPECT_EQ(dialogs.saveRequests[1].filter, QStringLiteral("HTML page (*.html *.htm)"));
    EXPECT_EQ(dialogs.saveRequests[1].defaultSuffix, QStringLiteral("html"));
    // The cancelled save dialog kept what the report dialog confirmed.
    EXPECT_EQ(window->settingsRecord().reportFormat, 3);
}

// The save dialog answered with the collection itself, then with a hard link
// to it: both are refused before a report is built, and the collection
// stays as it was.
TEST_F(ReportCommandsTest, AReportOverTheCollectionIsRefused)
{
    const QString collection = LoadSample();
    const std::string before = velmora::testing::ReadBytes(collection.toStdString());
    const QString link = QString::fromStdString(dir.file("hard.col"));
    std::filesystem::create_hard_link(collection.toStdString(), link.toStdString());
    script.Then<ReportDialog>([](ReportDialog& d) { Confirm(d, 3); });
    script.Then<ReportDialog>([](ReportDialog& d) { Confirm(d, 1); });
    dialogs.saveAnswers = {collection, link};
    dialogs.messageAnswers = {1, 1};
    window->reportCommands().Report();
    window->reportCommands().Report();

    EXPECT_EQ(script.left(), 0u);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(dialogs.messages[i].text,
                  QStringLiteral("Can not save in the file: ") + (i == 0 ? collection : link) +
                      QStringLiteral("\r\nThe file is the collection itself"));
        EXPECT_EQ(dialogs.messages[i].caption, QStringLiteral("Error"));
    }
    EXPECT_EQ(velmora::testing::ReadBytes(collection.toStdString()), before);
    EXPECT_EQ(FolderNames(), (std::vector<std::string>{"hard.col", "sample.col"}));
    EXPECT_EQ(dialogs.unscripted, 0);
}

// Cancel while the report is being built: no message, the file that was at
// the path is as it was, and nothing is left beside it.
TEST_F(ReportCommandsTest, CancelBeforeWritingLeavesThePreviousFileAsItWas)
{
    LoadSample();
    const std::string target = dir.file("old.txt");
    velmora::testing::WriteBytes(target, "the previous report\r\n");
    const std::vector<std::string> before = FolderNames();
    // The report's worker waits where it creates its file until Cancel was
    // pressed; the test of the path on the interface thread goes through.
    std::atomic<bool> hold{true};
    files.onCreateReplacement = [&hold](const std::string&) {
        if (QThread::currentThread() == qApp->thread())
            return;
        while (hold)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    script.Then<ReportDialog>([](ReportDialog& d) { Confirm(d, 1); });
    script.Then<ReportProcess>([&hold](ReportProcess& p) {
        p.cancelButton()->click();
        hold = false;
    });
    dialogs.saveAnswers = {QString::fromStdString(target)};
    window->reportCommands().Report();

    EXPECT_EQ(script.left(), 0u);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(velmora::testing::ReadBytes(target), "the previous report\r\n");
    EXPECT_EQ(FolderNames(), before);
}

} // namespace
} // namespace velmora::gui::testing
