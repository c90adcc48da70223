#include "program/shell/Mod_StoreInfo_Update.h"

#include "platform/basic/App.h"
#include "platform/basic/FlagScope.h"
#include "platform/basic/Strings.h"
#include "platform/forms/MsgBox.h"
#include "platform/win/Desktop.h"
#include "program/services/Mod_Registry.h"
#include "program/shell/Mod_FTPData_Download.h"
#include "program/shell/frmMain.h"
#include "program/shell/frmProgress.h"

#include "platform/net/HttpClient.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include <unistd.h>

namespace Mod_StoreInfo {

namespace fs = std::filesystem;
using Mod_AutoUpdate::ParseVersionText;

namespace {

// The desktop's opener: it starts the installer as the desktop would open it.
constexpr const char* kDesktopOpener = "xdg-open";

std::string_view withoutCr(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

fs::path updateFolder()
{
    return vb::AppPaths::ProgramFolder() / Mod_AutoUpdate::kUpdateFolder;
}

std::string programValue(std::string_view name)
{
    return Mod_Registry::ReadRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, name);
}

// After an update the folder "update" holds its files. They go, and the
// success is told only when the installer brought the version downloaded.
bool cleanUpAfterUpdate()
{
    const fs::path folder = updateFolder();
    std::error_code ec;
    bool holdsFiles = false;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (!it->is_directory(typeEc)) {
            holdsFiles = true;
            break;
        }
    }
    if (!holdsFiles)
        return false;
    fs::remove_all(folder, ec);

    UpdateVersion pending, installed;
    const bool reached = ParseVersionText(programValue(Mod_AutoUpdate::kPendingVersionValue), pending) &&
                         ParseVersionText(programValue("Version"), installed) && installed >= pending;
    Mod_Registry::DeleteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey,
                                 Mod_AutoUpdate::kPendingVersionValue);
    if (reached)
        forms::MsgBox(kUpdateSuccessful, forms::vbOKOnly);
    return true;
}

std::string fetchVersionFile(const std::string& url)
{
    return frmMain::Instance().Inet1.OpenURL(url);
}

// A rename, or across file systems a copy under a temporary name and a
// rename. The temporary name is one no file had, so that it never meets a
// file moved before ("x.part" and "x").
void moveFile(const fs::path& from, const fs::path& to, std::error_code& ec)
{
    fs::rename(from, to, ec);
    if (ec != std::errc::cross_device_link)
        return;
    std::string pattern = (to.parent_path() / ("." + to.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        ec.assign(errno, std::generic_category());
        return;
    }
    ::close(fd);
    const fs::path temp = pattern;
    ec.clear();
    fs::copy_file(from, temp, fs::copy_options::overwrite_existing, ec);
    if (!ec)
        fs::rename(temp, to, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return;
    }
    fs::remove(from, ec);
}

// Moves the downloaded files into the folder "update"; on a failure what was
// moved there goes again and g_FtpErrorText says what failed.
bool moveIntoUpdateFolder(const std::vector<std::string>& fileNames)
{
    const fs::path staging = Mod_AutoUpdate::StagingFolder();
    const fs::path folder = updateFolder();
    std::string& why = Mod_FTPData::FtpData().g_FtpErrorText;
    std::error_code ec;
    const bool created = fs::create_directories(folder, ec);
    if (ec) {
        why = "Cannot create " + folder.string() + ": " + ec.message() + ".";
        return false;
    }
    std::vector<fs::path> moved;
    for (const std::string& name : fileNames) {
        moveFile(staging / name, folder / name, ec);
        if (ec) {
            why = "Cannot move " + name + " into " + folder.string() + ": " + ec.message() + ".";
            break;
        }
        moved.push_back(folder / name);
    }
    if (!ec)
        return true;
    std::error_code ignored;
    for (const fs::path& file : moved)
        fs::remove(file, ignored);
    if (created)
        fs::remove(folder, ignored);
    return false;
}

// The question and the download let the tray menu run: a "Quit" there
// unloads the hidden main window, and nothing may be installed after it.
bool quitMeanwhile()
{
    if (frmMain::IfLoaded())
        return false;
    if (auto* progress = frmProgress::IfLoaded())
        progress->Unload();
    return true;
}

void showTransferError()
{
    if (auto* progress = frmProgress::IfLoaded())
        progress->Unload();
    forms::MsgBox(TransferErrorMessage(Mod_AutoUpdate::Site().webAddress, Mod_FTPData::FtpData().g_FtpErrorText),
                  forms::vbOKOnly);
}

// What the version file says, and what follows from it.
void checkVersionFile(const std::string& body, bool showMessages)
{
    UpdateVersion version;
    std::vector<std::string> fileNames;
    if (!ParseVersionFile(body, version, fileNames)) {
        if (showMessages)
            forms::MsgBox(kNoConnection, forms::vbInformation, std::string(kNoConnectionTitle));
        return;
    }
    if (Mod_AutoUpdate::IsUpToDate(version)) {
        if (showMessages)
            forms::MsgBox(kNoUpdate, forms::vbOKOnly, std::string(kNoUpdateTitle));
        return;
    }
    if (forms::MsgBox(kUpdateAvailable, forms::vbYesNo | forms::vbQuestion, std::string(kUpdateAvailableTitle)) !=
        forms::vbYes || quitMeanwhile())
        return;

    const int16_t status = Mod_AutoUpdate::DownloadUpdateFiles(fileNames);
    if (quitMeanwhile())
        return;
    if (status < 0 || !moveIntoUpdateFolder(fileNames)) {
        showTransferError();
        return;
    }
    // The next start tells whether the installer brought this version.
    Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey,
                                Mod_AutoUpdate::kPendingVersionValue, vb::Variant(version.Text()), winreg::REG_SZ);
    forms::MsgBox(kWillClose, forms::vbOKOnly);
    const fs::path installer = updateFolder() / fileNames.back();
    win::StartProcess(kDesktopOpener, {installer.string()}, updateFolder().string());
    Mod_AutoUpdate::CloseForUpdate();
    Mod_AutoUpdate::EndProgram();
}

void runCheck(bool showMessages)
{
    if (cleanUpAfterUpdate())
        return;

    // No address is no failed connection: the user hears which it is.
    const std::string url = VersionFileUrl(Mod_AutoUpdate::Site().address);
    if (url.empty()) {
        if (showMessages)
            forms::MsgBox(kNoUpdateAddress, forms::vbInformation, std::string(kNoUpdateAddressTitle));
        return;
    }
    checkVersionFile(fetchVersionFile(url), showMessages);
}

// One check at a time: the tray works during the question and the download.
bool checkRunning = false;

// Runs a step of the check, whatever it throws: the check never stops the
// program; an unforeseen failure ends it quietly, the progress window closed.
void guarded(const std::function<void()>& step)
{
    vb::FlagScope guard(checkRunning);
    try {
        step();
    } catch (const std::exception&) {
        if (auto* progress = frmProgress::IfLoaded())
            progress->Unload();
    }
}

// The start's fetch of the version file, on a thread of its own.
struct SilentFetch {
    std::thread worker;
    std::shared_ptr<std::atomic<bool>> cancel;
    uint64_t generation = 0;
    // From the start of the fetch until its answer is handled or dropped.
    bool underWay = false;
};

SilentFetch& silentFetch()
{
    static SilentFetch fetch;
    return fetch;
}

void joinSilentFetch()
{
    if (silentFetch().worker.joinable())
        silentFetch().worker.join();
}

// The fetch's answer, on the UI thread.
void silentAnswer(uint64_t generation, const std::string& body)
{
    SilentFetch& fetch = silentFetch();
    if (generation != fetch.generation || !fetch.underWay)
        return;
    // The worker has posted its last word and ends.
    joinSilentFetch();
    fetch.underWay = false;
    // A quit meanwhile: nothing is asked or installed after it.
    if (!frmMain::IfLoaded() || Mod_AutoUpdate::ProgramEnded() || checkRunning)
        return;
    guarded([&] { checkVersionFile(body, false); });
}

} // namespace

std::string TransferErrorMessage(const std::string& webAddress, const std::string& errorText)
{
    std::string message = "Error in transfer, please visit " + webAddress + " for the update.";
    if (!errorText.empty())
        message += "\r\n\r\n" + errorText;
    return message;
}

bool ParseVersionFile(std::string_view text, UpdateVersion& version, std::vector<std::string>& fileNames)
{
    const size_t p1 = text.find('\n');
    if (p1 == std::string_view::npos)
        return false;
    const size_t p2 = text.find('\n', p1 + 1);
    if (p2 == std::string_view::npos)
        return false;
    const std::string line1 = vb::Replace(withoutCr(text.substr(0, p1)), "VERSION:", "");
    const std::string line2 = vb::Replace(withoutCr(text.substr(p1 + 1, p2 - p1 - 1)), "NAME:", "");

    UpdateVersion v;
    if (!ParseVersionText(line1, v))
        return false;
    // Counted before it is split: a list of a hundred thousand names is
    // refused without making them.
    if (std::count(line2.begin(), line2.end(), ';') >= kMaxUpdateFiles)
        return false;
    std::vector<std::string> names;
    for (const std::string& piece : vb::Split(line2, ";")) {
        std::string name = vb::Trim(piece);
        if (!Mod_AutoUpdate::IsSafeFileName(name))
            return false;
        names.push_back(std::move(name));
    }
    if (names.empty())
        return false;
    version = v;
    fileNames = std::move(names);
    return true;
}

std::string VersionFileUrl(const std::string& siteAddress)
{
    std::string site = vb::Trim(siteAddress);
    while (!site.empty() && site.back() == '/')
        site.pop_back();
    if (site.empty())
        return {};
    if (site.find("://") == std::string::npos)
        site = "http://" + site;
    return site + std::string(kVersionFilePath);
}

void CheckForUpdate(bool showMessages)
{
    if (checkRunning)
        return;
    // Asked for from the tray, the check with messages replaces the start's.
    CancelSilentCheck();
    guarded([&] { runCheck(showMessages); });
}

bool CleanUpAfterUpdate()
{
    bool cleaned = false;
    guarded([&] { cleaned = cleanUpAfterUpdate(); });
    return cleaned;
}

void StartSilentCheck()
{
    StopSilentCheck();
    const std::string url = VersionFileUrl(Mod_AutoUpdate::Site().address);
    QCoreApplication* app = QCoreApplication::instance();
    if (url.empty() || !app)
        return;
    // The worker ends before the application does, whichever way it ends.
    static std::once_flag hooked;
    std::call_once(hooked, [] { qAddPostRoutine(&StopSilentCheck); });
    SilentFetch& fetch = silentFetch();
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    const uint64_t generation = ++fetch.generation;
    fetch.cancel = cancel;
    fetch.underWay = true;
    fetch.worker = std::thread([client = net::CurrentHttpClient(), url, cancel, generation, app] {
        std::string body;
        try {
            net::HttpResponse reply = client->Get(url, *cancel);
            if (reply.Ok())
                body = std::move(reply.body);
        } catch (const std::exception&) {
            // No answer: as from a server that cannot be reached.
        }
        if (*cancel)
            return;
        QMetaObject::invokeMethod(
            app, [generation, body = std::move(body)] { silentAnswer(generation, body); }, Qt::QueuedConnection);
    });
}

bool SilentCheckUnderWay()
{
    return silentFetch().underWay;
}

void CancelSilentCheck()
{
    SilentFetch& fetch = silentFetch();
    fetch.underWay = false;
    if (fetch.cancel)
        *fetch.cancel = true;
}

void StopSilentCheck()
{
    CancelSilentCheck();
    joinSilentFetch();
}

} // namespace Mod_StoreInfo
