// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/playback/Launcher.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace velmora::gui {

namespace {

// xdg-open's exit codes for "no method available for opening" the file and
// for a desktop opener (gio, kde-open, exo-open) that failed.
constexpr int kNoMethod = 3;
constexpr int kOpenerFailed = 4;

} // namespace

bool DesktopLauncher::Open(const std::string& path, std::function<void()> failed)
{
    const QString file = QFile::decodeName(path.c_str());
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(file));

    // xdg-open may run the program in the foreground until it ends: it gets
    // no pipes, which the program would inherit and lose with this process.
    auto* process = new QProcess(&openers_);
    process->setProgram(opener);
    process->setArguments({file});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, failed = std::move(failed)](int code, QProcess::ExitStatus how) {
                         process->deleteLater();
                         if (how == QProcess::NormalExit &&
                             (code == kNoMethod || code == kOpenerFailed) && failed)
                             failed();
                     });
    process->start();
    if (process->waitForStarted())
        return true;
    delete process;
    return false;
}

bool DesktopLauncher::OpenAddress(const std::string& address)
{
    // Blanks and other characters an address may not hold are sent
    // percent-encoded; the program that opens it decodes them again.
    const QUrl url(QString::fromStdString(address), QUrl::TolerantMode);
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return QDesktopServices::openUrl(url);
    return QProcess::startDetached(opener, {url.toString(QUrl::FullyEncoded)});
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
