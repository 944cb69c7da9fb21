#include "gui/app/Application.h"

#include <utility>

namespace velmora::gui {

Application::Application(const Services& services, UserDialogs& dialogs, std::string startFolder,
                         texts::TextTable texts)
    : services_(services), dialogs_(dialogs), startFolder_(std::move(startFolder)),
      texts_(std::move(texts)), store_(services.files, services.clock, texts_.table())
{
    store_.NewCollection();
}

} // namespace velmora::gui
