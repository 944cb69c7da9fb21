// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/options/Options.h"

#include "gui/ModalScript.h"
#include "gui/RunFixture.h"
#include "gui/options/OptionsCommands.h"
#include "gui/search/ResultsModel.h"
#include "settings/Settings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmora::gui::testing {
namespace {

class OptionsTest : public RunTest {
protected:
    /// Runs the Options command, answered by `act`.
    void RunOptions(MainWindow& window, std::function<void(Options&)> act)
    {
        ModalScript script;
        script.Then<Options>(std::move(act));
        window.action(Command::Options)->trigger();
        EXPECT_EQ(script.left(), 0u);
    }

    /// The first settings of a store, as if a run had written them.
    void StoreSettings(const settings::Settings& settings)
    {
        store.values = settings::StoredValues(settings);
        store.exists = true;
    }

    static QStringList Entries(const Options& options)
    {
        QStringList entries;
        for (int i = 0; i < options.controls().language->count(); ++i)
            entries << options.controls().language->itemText(i);
        return entries;
    }
};

TEST_F(OptionsTest, TheUsersLanguageAtStartThenAnotherPackThenTheAutomaticChoiceAgain)
{
    locale.setLanguageName("German");
    Pack("deutsch.lng", "German", "de:");
    Pack("francais.lng", "French", "fr:");
    auto window = Start();
    Application& app = window->application();
    EXPECT_EQ(FirstMenu(*window), "de:Collection");
    EXPECT_EQ(app.settings().langName, "deutsch.lng");
    // Qt's own dialogs follow, with Debian's translations of Qt.
    const auto qtCancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    EXPECT_EQ(qtCancel(), QStringLiteral("Abbrechen"));

    // A window open while the language changes keeps its texts.
    const search::ResultList results;
    const ResultsModel openList(app.store().tree(), results, app.texts().table(), {});
    EXPECT_EQ(openList.headerData(0, Qt::Horizontal), QStringLiteral("de:Name"));

    RunOptions(*window, [](Options& options) {
        EXPECT_EQ(Entries(options), (QStringList{"de:default", "deutsch.lng", "francais.lng"}));
        EXPECT_EQ(options.controls().language->currentIndex(), 1);
        EXPECT_EQ(options.controls().languageName->text(), QStringLiteral("German"));
        options.controls().language->setCurrentIndex(2);
        EXPECT_EQ(options.controls().languageName->text(), QStringLiteral("French"));
        options.controls().autoBackup->setChecked(true);
        options.controls().playerCommand->setText(QStringLiteral("mpv %f"));
        options.accept();
    });
    EXPECT_EQ(FirstMenu(*window), "fr:Collection");
    EXPECT_EQ(app.settings().langName, "francais.lng");
    EXPECT_EQ(qtCancel(), QStringLiteral("Annuler"));
    EXPECT_TRUE(app.settings().autoBackup);
    EXPECT_EQ(app.settings().playerCommand, "mpv %f");
    EXPECT_EQ(openList.headerData(0, Qt::Horizontal), QStringLiteral("de:Name"));

    // The first entry is the automatic choice, not the default table.
    RunOptions(*window, [](Options& options) {
        EXPECT_EQ(options.controls().language->currentIndex(), 2);
        options.controls().language->setCurrentIndex(0);
        EXPECT_EQ(options.controls().languageName->text(), QString());
        options.accept();
    });
    EXPECT_EQ(FirstMenu(*window), "de:Collection");
    EXPECT_EQ(app.settings().langName, "deutsch.lng");

    // Cancel changes nothing.
    const settings::Settings before = app.settings();
    RunOptions(*window, [](Options& options) {
        options.controls().language->setCurrentIndex(2);
        options.controls().readId3v2->setChecked(false);
        options.reject();
    });
    EXPECT_EQ(app.settings(), before);
    EXPECT_EQ(FirstMenu(*window), "de:Collection");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(OptionsTest, AMissingPackIsToldAtStartAndTheSettingCleared)
{
    settings::Settings stored;
    stored.langName = "gone.lng";
    StoreSettings(stored);
    auto window = Start();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QString::fromStdString("Can not open the file: " + dataFolder() +
                                     "gone.lng. The default language restored."));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(FirstMenu(*window), "Collection");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    ASSERT_TRUE(window->WriteSettings());
    settings::Settings written;
    (void)settings::ReadSettings(store, written);
    EXPECT_EQ(written.langName, "");
}

TEST_F(OptionsTest, AShortPackShowsQuestionMarksPastItsEndInTheWindows)
{
    std::string pack;
    for (int n = 0; n < 100; ++n) {
        const std::string number = std::string(n < 10 ? "00" : "0") + std::to_string(n);
        pack += number + "Text " + number + "\n";
    }
    DataFile("kurz.lng", pack);
    settings::Settings stored;
    stored.langName = "kurz.lng";
    StoreSettings(stored);
    auto window = Start();
    EXPECT_EQ(FirstMenu(*window), "Text 001");

    RunOptions(*window, [](Options& options) {
        EXPECT_EQ(options.windowTitle(), QStringLiteral("Text 031"));
        // Texts numbered past the table's own keep their English wording.
        QStringList groups;
        for (const QGroupBox* group : options.findChildren<QGroupBox*>())
            groups << group->title().remove(u'&');
        EXPECT_EQ(groups, (QStringList{"?", "?", "?", "Player command"}));
        EXPECT_EQ(options.controls().autoBackup->text().remove(u'&'), QStringLiteral("?"));
        QStringList buttons;
        for (const QPushButton* button : options.findChildren<QPushButton*>())
            buttons << button->text().remove(u'&');
        EXPECT_EQ(buttons, (QStringList{"Text 054", "Text 057"}));
        options.reject();
    });
}

} // namespace
} // namespace velmora::gui::testing
