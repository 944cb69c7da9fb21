#include "gui/playback/Launcher.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace velmora::gui {

bool DesktopLauncher::Open(const std::string& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
}

bool DesktopLauncher::Start(const std::vector<std::string>& arguments)
{
    if (arguments.empty())
        return false;
    QStringList rest;
    for (std::size_t i = 1; i < arguments.size(); ++i)
        rest << QFile::decodeName(arguments[i].c_str());
    return QProcess::startDetached(QFile::decodeName(arguments.front().c_str()), rest);
}

bool DesktopLauncher::Installed(std::string_view program) const
{
    const QString name = QString::fromUtf8(program.data(), static_cast<qsizetype>(program.size()));
    return !QStandardPaths::findExecutable(name).isEmpty();
}

std::string TemporaryPlaylist()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                           QStringLiteral("/velmora");
    QDir().mkpath(folder);
    return QFile::encodeName(folder + QStringLiteral("/vlm.m3u")).toStdString();
}

} // namespace velmora::gui
