#include "program/shell/FirstRun.h"

#include "program/services/Mod_Registry.h"
#include "program/services/Mod_SpecialFunctions.h"

#include "platform/basic/App.h"
#include "platform/com/Loader.h"
#include "platform/com/Registration.h"
#include "platform/registry/Registry.h"

#include <cerrno>
#include <cstdio>
#include <optional>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FirstRun {

namespace fs = std::filesystem;

namespace {

std::string boolText(bool b)
{
    return b ? "True" : "False";
}

std::string versionText()
{
    return std::to_string(vb::App::Major()) + "." + std::to_string(vb::App::Minor()) + "." +
           std::to_string(vb::App::Revision());
}

// Moves temp to target unless target exists; err tells why not.
bool placeWithoutReplacing(const std::string& temp, const fs::path& target, int& err)
{
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    err = errno;
    if (err != EINVAL && err != ENOSYS)
        return false;
    // A file system that cannot refuse to replace on rename: a hard link can.
    if (::link(temp.c_str(), target.c_str()) == 0) {
        ::unlink(temp.c_str());
        return true;
    }
    err = errno;
    return false;
}

// Copies source to target unless target exists. The copy is made under a
// temporary name and moved into place without replacing anything, so a file
// that appeared meanwhile is kept and a crash leaves no half-copied file
// under the real name.
void copyIfMissing(const fs::path& source, const fs::path& target, const fs::path& shown, Report& report)
{
    auto fail = [&](const std::string& why) {
        report.problems.push_back("Cannot copy " + shown.string() + " into the program folder: " + why + ".");
    };
    std::error_code ec;
    if (fs::exists(fs::symlink_status(target, ec)))
        return;
    std::string temp = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        fail(std::strerror(errno));
        return;
    }
    ::close(fd);
    fs::copy_file(source, temp, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        ::unlink(temp.c_str());
        fail(ec.message());
        return;
    }
    // The user owns the copy and may change it, whatever the shipped file allowed.
    struct stat st {};
    ::chmod(temp.c_str(), ::stat(source.c_str(), &st) == 0 ? (st.st_mode & 0777) | 0600 : 0644);
    int err = 0;
    if (placeWithoutReplacing(temp, target, err)) {
        report.copied.push_back(shown);
        return;
    }
    ::unlink(temp.c_str());
    if (err != EEXIST)
        fail(std::strerror(err));
}

void copyShippedFiles(Report& report)
{
    const fs::path from = vb::AppPaths::InstallFolder();
    const fs::path to = vb::AppPaths::ProgramFolder();
    std::error_code ec;
    if (!fs::is_directory(from, ec)) {
        report.problems.push_back("The folder of Tallyvane's own files, " + from.string() +
                                  ", is missing; nothing was copied into the program folder.");
        return;
    }
    fs::recursive_directory_iterator it(from, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path relative = it->path().lexically_relative(from);
        const fs::path target = to / relative;
        std::error_code entryEc;
        if (it->is_directory(entryEc)) {
            if (fs::exists(fs::symlink_status(target, entryEc)) && !fs::is_directory(target, entryEc)) {
                // Something of the user's stands where the folder goes: keep it, skip the folder.
                it.disable_recursion_pending();
                continue;
            }
            fs::create_directories(target, entryEc);
            if (entryEc) {
                report.problems.push_back("Cannot create the folder " + target.string() + ": " +
                                          entryEc.message() + ".");
                it.disable_recursion_pending();
            }
        } else if (it->is_regular_file(entryEc)) {
            copyIfMissing(it->path(), target, relative, report);
        }
    }
    if (ec)
        report.problems.push_back("Cannot read the folder " + from.string() + ": " + ec.message() + ".");
}

// Creates the key and writes the value unless the key already holds one of
// that name (an empty name only creates the key).
winreg::LONG writeIfMissing(std::string_view subKey, std::string_view name, const std::string& text, Report& report)
{
    using namespace winreg;
    HKEY key = 0;
    LONG rc = RegCreateKeyEx(HKEY_CURRENT_USER, subKey, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, &key, nullptr);
    if (rc == ERROR_SUCCESS) {
        if (!name.empty() && RegQueryValueEx(key, name, nullptr, nullptr, nullptr) == ERROR_FILE_NOT_FOUND) {
            rc = Mod_Registry::WriteOpenKeyValue(key, name, REG_SZ, vb::Variant(text));
            if (rc == ERROR_SUCCESS)
                report.written.push_back(std::string(subKey) + "\\" + std::string(name));
        }
        RegCloseKey(key);
    }
    return rc;
}

void writeInstallerValues(Report& report)
{
    using Mod_Registry::kEMailKey;
    using Mod_Registry::kImagesKey;
    using Mod_Registry::kProgramKey;
    winreg::LONG failed = winreg::ERROR_SUCCESS;
    auto write = [&](std::string_view subKey, std::string_view name, const std::string& text) {
        if (const winreg::LONG rc = writeIfMissing(subKey, name, text, report); rc != winreg::ERROR_SUCCESS)
            failed = rc;
    };
    write(kProgramKey, "ShowTips", boolText(kDefaultShowTips));
    write(kProgramKey, "ScreenClose", boolText(kDefaultScreenClose));
    write(kProgramKey, "UseExampleDB", boolText(kDefaultUseExampleDB));
    write(kProgramKey, "Version", versionText());
    for (const char* name : {"SMTPMailServer", "OriginatorsName", "OriginatorsEmail"})
        write(kEMailKey, name, "");
    // An empty picture name means the built-in picture.
    for (const auto& name : Mod_SpecialFunctions::ImageValueNames())
        write(kImagesKey, name, "");
    // The report colours are stored when the user picks them; the key must
    // be there, since the settings are only ever written into existing keys.
    write(Mod_Registry::kReportsKey, "", "");
    if (failed != winreg::ERROR_SUCCESS)
        report.problems.push_back(winreg::StoreProblem().value_or(
            "Cannot write Tallyvane's settings into " + vb::AppPaths::RegistryFile().string() + " (error " +
            std::to_string(failed) + "); the defaults are used."));
}

// The library registered for the buttons' class, when it names a file that
// is there.
bool buttonLibraryRegistered()
{
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(kButtonProgId, &clsid)))
        return false;
    const std::optional<std::string> server = com::ClassesRootValue(com::ClassKey(clsid) + "\\InprocServer32");
    std::error_code ec;
    return server && !server->empty() && fs::is_regular_file(*server, ec);
}

void registerButtonLibrary(Report& report)
{
    if (buttonLibraryRegistered())
        return;
    const fs::path library = ButtonLibrary();
    std::error_code ec;
    if (!fs::is_regular_file(library, ec)) {
        report.problems.push_back("The button library " + library.string() +
                                  " is missing; Tallyvane's windows cannot show their buttons.");
        return;
    }
    if (const HRESULT hr = com::RegisterServer(library); hr != S_OK) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", unsigned(hr));
        report.problems.push_back("Cannot register the button library " + library.string() + " (error " + code +
                                  "); Tallyvane's windows cannot show their buttons.");
        return;
    }
    report.registeredLibrary = library;
}

} // namespace

fs::path ButtonLibrary()
{
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    return program.parent_path().parent_path() / "lib" / "libquorvel.so";
}

Report Run()
{
    Report report;
    std::error_code ec;
    const fs::path programFolder = vb::AppPaths::ProgramFolder();
    fs::create_directories(programFolder, ec);
    if (ec)
        report.problems.push_back("Cannot create the program folder " + programFolder.string() + ": " +
                                  ec.message() + ".");
    else
        copyShippedFiles(report);

    // A file that reads well may still take no change: that is told now,
    // once, instead of every change being lost without a word.
    if (auto problem = winreg::StoreProblem())
        report.problems.push_back(*problem);
    else if (auto cannotWrite = winreg::StoreWriteProblem())
        report.problems.push_back(*cannotWrite);
    else
        writeInstallerValues(report);
    // Also when the settings cannot be read or written: the registration is
    // then kept for this run only, and the windows still get their buttons.
    winreg::KeepClassesRootInMemory();
    registerButtonLibrary(report);
    return report;
}

} // namespace FirstRun
