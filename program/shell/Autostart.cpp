#include "program/shell/Autostart.h"

#include "program/services/Mod_Registry.h"

#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"
#include "platform/basic/RuntimeError.h"
#include "platform/registry/Registry.h"

#include <QCoreApplication>

#include <optional>
#include <string>

namespace Autostart {

namespace fs = std::filesystem;

namespace {

struct State {
    std::optional<fs::path> folder;
    int listener = 0;
};

State& state()
{
    static State s;
    return s;
}

// The program's path as one argument of an Exec line: quoted, with the
// characters special inside quotes escaped, then escaped again as a
// desktop-entry string.
std::string execArgument(const std::string& path)
{
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    quoted += '"';
    std::string out;
    for (const char c : quoted) {
        if (c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

} // namespace

fs::path ProgramFile()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath().toStdString();
    std::error_code ec;
    return fs::read_symlink("/proc/self/exe", ec);
}

std::string EntryText(const fs::path& program)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Tallyvane\n"
           "Comment=Keeps the leases of your stores\n"
           "Exec=" +
           execArgument(program.string()) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

fs::path Folder()
{
    if (state().folder)
        return *state().folder;
    return vb::AppPaths::ConfigFolder().parent_path() / "autostart";
}

void SetFolder(const fs::path& folder)
{
    if (folder.empty())
        state().folder.reset();
    else
        state().folder = folder;
}

fs::path EntryFile()
{
    return Folder() / "tallyvane.desktop";
}

bool Sync()
{
    if (winreg::StoreProblem())
        return true;
    const fs::path entry = EntryFile();
    std::error_code ec;
    if (!Mod_Registry::RegValueExists(winreg::HKEY_LOCAL_MACHINE, Mod_Registry::kRunKey, Mod_Registry::kRunValue)) {
        if (!fs::exists(fs::symlink_status(entry, ec)))
            return true;
        return fs::remove(entry, ec) && !ec;
    }
    const std::string text = EntryText(ProgramFile());
    try {
        if (vb::fso::FileExists(entry) && vb::fso::ReadAllBytes(entry) == text)
            return true;
        vb::fso::CreateFolder(Folder());
        vb::fso::WriteAllBytesAtomic(entry, text);
        return true;
    } catch (const vb::RuntimeError&) {
        return false;
    }
}

void Install()
{
    if (state().listener == 0)
        state().listener = winreg::AddChangeListener([] { Sync(); });
    Sync();
}

void Uninstall()
{
    if (state().listener != 0)
        winreg::RemoveChangeListener(state().listener);
    state().listener = 0;
}

} // namespace Autostart
