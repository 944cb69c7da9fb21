// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/help/HelpCommands.h"

#include "Product.h"
#include "gui/ModalScript.h"
#include "gui/RecordingLauncher.h"
#include "gui/RunFixture.h"
#include "gui/help/About.h"

#include <QAction>
#include <QLabel>
#include <QTest>

namespace velmora::gui::testing {
namespace {

class HelpCommandsTest : public RunTest {
protected:
    /// Opens the About box, double-clicks its picture `clicks` times and
    /// closes it; returns the name line as it was before closing.
    QString DoubleClickPicture(MainWindow& window, int clicks)
    {
        QString name;
        ModalScript script;
        script.Then<About>([&name, clicks](About& about) {
            for (int i = 0; i < clicks; ++i)
                QTest::mouseDClick(about.picture(), Qt::LeftButton);
            name = about.nameLine()->text();
            about.accept();
        });
        window.action(Command::About)->trigger();
        EXPECT_EQ(script.left(), 0u);
        return name;
    }

    RecordingLauncher launcher;
};

TEST_F(HelpCommandsTest, DocumentsGoToTheDesktopAndAMissingOneIsToldWithItsPath)
{
    DataFile("info.txt", "Velmora\n");
    auto window = Start();
    window->application().setLauncher(launcher);
    EXPECT_EQ(window->action(Command::Info)->shortcut(), QKeySequence(Qt::Key_F1));

    window->action(Command::Info)->trigger();
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{dataFolder() + "info.txt"}));
    window->action(Command::History)->trigger();
    EXPECT_EQ(launcher.opened.size(), 1u);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QString::fromStdString("Can not open the file: " + dataFolder() + "history.txt"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
}

TEST_F(HelpCommandsTest, TheFeedbackSubjectNamesTheProductTheVersionAndTheLanguage)
{
    auto window = Start();
    window->application().setLauncher(launcher);
    window->action(Command::Feedback)->trigger();
    window->action(Command::Homepage)->trigger();
    const std::string mailto = "mailto:" + std::string(kMailAddress) + "?subject=Velmora ";
    EXPECT_EQ(launcher.addresses,
              (std::vector<std::string>{mailto + "2.25 (English)", std::string(kHomepage)}));

    locale.setLanguageName("German");
    Pack("deutsch.lng", "German", "de:");
    window->application().settings().langName.clear();
    window->application().ApplyLanguage();
    window->action(Command::Feedback)->trigger();
    EXPECT_EQ(launcher.addresses.back(), mailto + "2.25 (German)");
}

TEST_F(HelpCommandsTest, AuthorModeSwitchesOnThePictureAndSurvivesARestart)
{
    auto window = Start();
    EXPECT_EQ(DoubleClickPicture(*window, 2), QStringLiteral("Velmora"));
    EXPECT_EQ(DoubleClickPicture(*window, 1), QStringLiteral("Velmora (cheat mode)"));
    ASSERT_TRUE(window->WriteSettings());

    auto again = Start();
    EXPECT_TRUE(again->application().settings().author);
    EXPECT_EQ(DoubleClickPicture(*again, 0), QStringLiteral("Velmora (cheat mode)"));
}

} // namespace
} // namespace velmora::gui::testing
