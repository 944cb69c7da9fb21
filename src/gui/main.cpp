// SPDX-License-Identifier: GPL-3.0-or-later
// velmora: the desktop program. `velmora [COLLECTION]` starts the window;
// `velmora --version` prints the version;
// `velmora --screenshot FILE.png [COLLECTION]` renders it into a picture and
// ends without asking anything or writing settings.
#include "Product.h"
#include "gui/app/Application.h"
#include "gui/dialogs/QtUserDialogs.h"
#include "gui/mainwindow/MainWindow.h"
#include "platform/DataFolder.h"
#include "platform/LinuxVolumes.h"
#include "platform/PosixFileSystem.h"
#include "platform/QtLocale.h"
#include "platform/SettingsFile.h"
#include "platform/SystemClock.h"
#include "platform/TagLibId3v2.h"
#include "system/Services.h"

#include <QApplication>
#include <QDir>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // A save beyond the file size limit then fails like any other write and
    // is reported, instead of ending the program without a word.
    ::signal(SIGXFSZ, SIG_IGN);
    // Before the application object, which needs a display.
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("velmora %.*s\n", static_cast<int>(velmora::kVersion.size()),
                    velmora::kVersion.data());
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setDesktopFileName(QStringLiteral("velmora"));

    QStringList args = QApplication::arguments();
    args.removeFirst();
    QString screenshot;
    if (!args.isEmpty() && args.first() == QLatin1String("--screenshot")) {
        if (args.size() < 2)
            return 2;
        screenshot = args.at(1);
        args = args.mid(2);
    }

    velmora::platform::PosixFileSystem files;
    velmora::platform::SystemClock clock;
    velmora::platform::QtLocale locale;
    const velmora::platform::LinuxVolumes volumes;
    velmora::gui::QtUserDialogs dialogs;
    // The screenshot runs on the default settings and leaves the file alone.
    velmora::platform::SettingsFile settingsFile(files, velmora::platform::SettingsPath());
    velmora::platform::TagLibId3v2 id3v2;
    const velmora::Services services{
        files, volumes, locale, clock, screenshot.isEmpty() ? &settingsFile : nullptr, &id3v2};
    velmora::gui::Application application(services, dialogs, QDir::homePath().toStdString(), {},
                                          velmora::platform::ProgramDataFolder());
    velmora::gui::MainWindow window(application);
    dialogs.setParent(&window);

    if (!screenshot.isEmpty()) {
        window.StartUp(args.value(0));
        window.SelectFirstVolume();
        window.show();
        // grab() renders the widgets itself; the layouts only need the
        // requests show() posted, not a turn of the event loop.
        QCoreApplication::sendPostedEvents();
        return window.grab().save(screenshot) ? 0 : 1;
    }

    window.StartUp(args.value(0));
    window.show();
    return QApplication::exec();
}
