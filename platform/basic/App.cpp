#include "platform/basic/App.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

#include <cstdlib>
#include <optional>

#ifndef TV_VERSION_MAJOR
#define TV_VERSION_MAJOR 1
#define TV_VERSION_MINOR 0
#define TV_VERSION_PATCH 0
#endif

namespace vb {

namespace {

struct PathState {
    std::optional<std::filesystem::path> program, install, config, cache;
    std::string title = "Tallyvane";
};

PathState& state()
{
    static PathState s;
    return s;
}

std::filesystem::path standardFolder(QStandardPaths::StandardLocation location, const char* fallback)
{
    QString base = QStandardPaths::writableLocation(location);
    if (base.isEmpty()) {
        const char* home = std::getenv("HOME");
        return std::filesystem::path(home ? home : "/tmp") / fallback / "tallyvane";
    }
    return std::filesystem::path(base.toStdString()) / "tallyvane";
}

} // namespace

namespace AppPaths {

std::filesystem::path ProgramFolder()
{
    if (state().program)
        return *state().program;
    return standardFolder(QStandardPaths::GenericDataLocation, ".local/share");
}

std::filesystem::path InstallFolder()
{
    if (state().install)
        return *state().install;
    std::filesystem::path exeDir;
    if (QCoreApplication::instance()) {
        exeDir = QCoreApplication::applicationDirPath().toStdString();
    } else {
        std::error_code ec;
        exeDir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
    }
    return (exeDir / ".." / "share" / "tallyvane").lexically_normal();
}

std::filesystem::path ConfigFolder()
{
    if (state().config)
        return *state().config;
    return standardFolder(QStandardPaths::GenericConfigLocation, ".config");
}

std::filesystem::path CacheFolder()
{
    if (state().cache)
        return *state().cache;
    return standardFolder(QStandardPaths::GenericCacheLocation, ".cache");
}

std::filesystem::path RegistryFile()
{
    return ConfigFolder() / "registry.txt";
}

void SetProgramFolder(const std::filesystem::path& folder)
{
    state().program = folder;
}

void SetInstallFolder(const std::filesystem::path& folder)
{
    state().install = folder;
}

void SetConfigFolder(const std::filesystem::path& folder)
{
    state().config = folder;
}

void SetCacheFolder(const std::filesystem::path& folder)
{
    state().cache = folder;
}

void UseRoot(const std::filesystem::path& root)
{
    SetProgramFolder(root / "program");
    SetInstallFolder(root / "install");
    SetConfigFolder(root / "config");
    SetCacheFolder(root / "cache");
}

void Reset()
{
    state().program.reset();
    state().install.reset();
    state().config.reset();
    state().cache.reset();
}

} // namespace AppPaths

namespace App {

std::string Path()
{
    std::string p = AppPaths::ProgramFolder().string();
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

std::string Title()
{
    return state().title;
}

void SetTitle(const std::string& title)
{
    state().title = title;
}

std::string EXEName()
{
    return "tallyvane";
}

std::string CompanyName()
{
    return "Merrowgate";
}

std::string ProductName()
{
    return "Tallyvane";
}

int Major()
{
    return TV_VERSION_MAJOR;
}

int Minor()
{
    return TV_VERSION_MINOR;
}

int Revision()
{
    return TV_VERSION_PATCH;
}

} // namespace App

namespace Screen {

namespace {
QSize screenPixels()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* s = QGuiApplication::primaryScreen())
            return s->geometry().size();
    }
    return {1024, 768};
}
} // namespace

int Width()
{
    return screenPixels().width() * kTwipsPerPixel;
}

int Height()
{
    return screenPixels().height() * kTwipsPerPixel;
}

} // namespace Screen

void DoEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace vb
