// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/Application.h"

#include "gui/dialogs/Messages.h"
#include "gui/dialogs/UserDialogs.h"
#include "gui/playback/Launcher.h"
#include "platform/QtText.h"
#include "texts/LanguagePacks.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <utility>

namespace velmora::gui {

namespace {

// The Qt language of a table's language name (its text 000, an English
// name): the one of that name, else the first whose name it begins
// ("German" for "German (Swiss)"); English when none is.
QLocale::Language LanguageNamed(const QString& name)
{
    QLocale::Language begun = QLocale::English;
    for (int l = QLocale::AnyLanguage + 1; l <= QLocale::LastLanguage; ++l) {
        const auto language = static_cast<QLocale::Language>(l);
        const QString qtName = QLocale::languageToString(language);
        if (qtName.compare(name, Qt::CaseInsensitive) == 0)
            return language;
        if (begun == QLocale::English && !name.isEmpty() &&
            name.startsWith(qtName, Qt::CaseInsensitive))
            begun = language;
    }
    return begun;
}

} // namespace

Application::Application(const Services& services, UserDialogs& dialogs, std::string startFolder,
                         texts::TextTable texts, std::string dataFolder)
    : services_(services), dialogs_(dialogs), startFolder_(std::move(startFolder)),
      dataFolder_(std::move(dataFolder)), desktop_(std::make_unique<DesktopLauncher>()),
      launcher_(desktop_.get()), texts_(std::move(texts)),
      store_(services.files, services.clock, texts_.table())
{
    store_.NewCollection();
}

Application::~Application() = default;

void Application::ApplyLanguage()
{
    texts::LanguageChoice choice =
        texts::ChooseLanguage(services_.files, dataFolder_, services_.locale, settings_.langName);
    texts_.Replace(std::move(choice.table));

    if (qtTexts_)
        QCoreApplication::removeTranslator(qtTexts_.get());
    qtTexts_ = std::make_unique<QTranslator>();
    const QLocale::Language language =
        LanguageNamed(platform::ToQString(texts_.Text(texts::TextId::LanguageName)));
    if (language != QLocale::English &&
        qtTexts_->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts_.get());
    if (!choice.error.empty()) {
        MessageRequest request = ErrorMessage(texts_.table(), texts::TextId::CannotOpenFile);
        request.text = platform::ToQString(choice.error);
        dialogs_.Message(request);
    }
}

} // namespace velmora::gui
