#include "gui/app/Application.h"

#include "gui/dialogs/Messages.h"
#include "gui/dialogs/UserDialogs.h"
#include "gui/playback/Launcher.h"
#include "platform/QtText.h"
#include "texts/LanguagePacks.h"

#include <utility>

namespace velmora::gui {

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
    if (!choice.error.empty()) {
        MessageRequest request = ErrorMessage(texts_.table(), texts::TextId::CannotOpenFile);
        request.text = platform::ToQString(choice.error);
        dialogs_.Message(request);
    }
}

} // namespace velmora::gui
