#include "program/shell/Mod_AutoUpdate.h"

#include "platform/basic/App.h"
#include "platform/forms/Runtime.h"
#include "program/services/Deployment.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/Mod_Registry.h"
#include "program/services/ShellState.h"
#include "program/shell/Mod_FTPData_Download.h"
#include "program/shell/frmMain.h"
#include "program/shell/frmProgress.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace Mod_AutoUpdate {

namespace fs = std::filesystem;

namespace {

struct UpdateState {
    std::optional<UpdateSite> site;
    bool ended = false;
};

UpdateState& state()
{
    static UpdateState s;
    return s;
}

// A whole number of up to nine digits, so that it fits with room to spare.
bool wholeNumber(std::string_view text, int32_t& value)
{
    if (text.empty() || text.size() > 9)
        return false;
    int32_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    value = v;
    return true;
}

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

void closeProgressWindow()
{
    if (auto* progress = frmProgress::IfLoaded())
        progress->Unload();
}

// A folder of its own beside the staging folder, which each file arrives in
// alone before it joins the others: the download's temporary name for one
// file can then never be another listed file's name ("x.part" and "x").
class IncomingFolder {
public:
    explicit IncomingFolder(const fs::path& staging)
    {
        std::string pattern = (staging.parent_path() / (staging.filename().string() + "-incoming-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::system_error(errno, std::generic_category(), "Cannot create a folder beside " + staging.string());
        path_ = pattern;
    }
    ~IncomingFolder()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    IncomingFolder(const IncomingFolder&) = delete;
    IncomingFolder& operator=(const IncomingFolder&) = delete;
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

// Downloads every name; false at the first that does not arrive whole.
bool downloadAll(const std::vector<std::string>& fileNames, const fs::path& staging)
{
    Mod_FTPData::FtpState& ftp = Mod_FTPData::FtpData();
    ftp.g_FtpSession = net::OpenFtpSession(std::string(kAgentName));
    if (!ftp.g_FtpSession) {
        ftp.g_FtpErrorText = Mod_FTPData::GetInternetErrorText(net::ERROR_INTERNET_OUT_OF_HANDLES);
        return false;
    }
    ftp.g_FtpSession->SetStatusCallback(&Mod_FTPData::InternetStatusCallback);
    const UpdateSite site = Site();
    ftp.g_FtpConnection =
        ftp.g_FtpSession->Connect(site.ftpHost, site.ftpPort, site.ftpUser, site.ftpPassword, true);
    if (!ftp.g_FtpConnection) {
        ftp.g_FtpErrorText = Mod_FTPData::GetInternetErrorText(ftp.g_FtpSession->LastError());
        return false;
    }
    const IncomingFolder incoming(staging);
    for (const std::string& name : fileNames) {
        const std::string remote = std::string(kRemoteFolder) + name;
        ftp.g_FtpFileName = name;
        net::FtpFindData entry;
        const bool found = ftp.g_FtpSession->FindFirstFile(remote, entry);
        if (!Mod_FTPData::FtpDownloadFile(remote, incoming.Path() / name, found ? &entry : nullptr, 0))
            return false;
        std::error_code ec;
        fs::rename(incoming.Path() / name, staging / name, ec);
        if (ec) {
            ftp.g_FtpErrorText = "Cannot put " + name + " into " + staging.string() + ": " + ec.message() + ".";
            return false;
        }
    }
    return true;
}

void closeSession()
{
    Mod_FTPData::FtpState& ftp = Mod_FTPData::FtpData();
    if (ftp.g_FtpSession)
        ftp.g_FtpSession->Close();
    ftp.g_FtpSession.reset();
    ftp.g_FtpConnection = false;
}

} // namespace

std::string UpdateVersion::Text() const
{
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(build);
}

bool ParseVersionText(std::string_view text, UpdateVersion& version)
{
    text = trimBlanks(text);
    const size_t d1 = text.find('.');
    if (d1 == std::string_view::npos)
        return false;
    const size_t d2 = text.find('.', d1 + 1);
    if (d2 == std::string_view::npos)
        return false;
    UpdateVersion v;
    if (!wholeNumber(text.substr(0, d1), v.major) || !wholeNumber(text.substr(d1 + 1, d2 - d1 - 1), v.minor) ||
        !wholeNumber(text.substr(d2 + 1), v.build))
        return false;
    version = v;
    return true;
}

bool IsSafeFileName(std::string_view name)
{
    // "." names the folder itself, no file in it.
    return !name.empty() && name != "." &&
           name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos &&
           name.find("..") == std::string_view::npos;
}

UpdateVersion BuildVersion()
{
    return {vb::App::Major(), vb::App::Minor(), vb::App::Revision()};
}

UpdateSite Site()
{
    if (state().site)
        return *state().site;
    UpdateSite site;
    site.address = Deployment::UpdateAddress();
    site.ftpHost = Deployment::FtpHost();
    site.ftpUser = Deployment::FtpUser();
    site.ftpPassword = Deployment::FtpPassword();
    site.webAddress = Deployment::WebAddress();
    return site;
}

void SetSite(std::optional<UpdateSite> site)
{
    state().site = std::move(site);
}

fs::path StagingFolder()
{
    return vb::AppPaths::CacheFolder() / "update-download";
}

bool IsUpToDate(const UpdateVersion& fileVersion)
{
    UpdateVersion installed;
    ParseVersionText(Mod_Registry::ReadRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "Version"),
                     installed);
    return installed >= fileVersion;
}

void WriteBuildVersion()
{
    const std::string built = BuildVersion().Text();
    if (Mod_Registry::ReadRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "Version") != built)
        Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "Version",
                                    vb::Variant(built), winreg::REG_SZ);
}

int16_t DownloadUpdateFiles(const std::vector<std::string>& fileNames)
{
    Mod_FTPData::FtpState& ftp = Mod_FTPData::FtpData();
    ftp.g_FtpShowProgress = true;
    ftp.g_FtpErrorText.clear();
    frmProgress::Instance().Show(forms::vbModeless);
    bool ok = true;
    for (const std::string& name : fileNames) {
        if (ok && !IsSafeFileName(name)) {
            ftp.g_FtpErrorText = "The update names a file that cannot be used: \"" + name + "\".";
            ok = false;
        }
    }
    try {
        const fs::path staging = StagingFolder();
        fs::create_directories(staging);
        // Nothing from an earlier attempt may pass for this one's files.
        for (const std::string& name : ok ? fileNames : std::vector<std::string>{})
            fs::remove(staging / name);
        if (ok && !fileNames.empty())
            ok = downloadAll(fileNames, staging);
        closeSession();
        for (const std::string& name : fileNames) {
            if (ok && !fs::is_regular_file(staging / name)) {
                ftp.g_FtpErrorText = name + " did not arrive.";
                ok = false;
            }
        }
    } catch (const std::exception& e) {
        closeSession();
        if (ftp.g_FtpErrorText.empty())
            ftp.g_FtpErrorText = e.what();
        ok = false;
    }
    if (ok)
        return 0;
    // Whatever failed, the user is told why.
    if (ftp.g_FtpErrorText.empty())
        ftp.g_FtpErrorText = Mod_FTPData::GetInternetErrorText(0);
    closeProgressWindow();
    return -1;
}

void CloseForUpdate()
{
    // The windows close for good: no hint that the program stays in the
    // notification area.
    tv::Shell().g_ShowCloseMenu = false;
    Mod_FTPData::UnloadAllForms(false);
    if (frmMain* main = frmMain::IfLoaded()) {
        main->Tray1.RemoveIcon();
        main->Unload();
    }
}

void EndProgram()
{
    state().ended = true;
    if (forms::detail::RunActive())
        QCoreApplication::exit(0);
}

bool ProgramEnded()
{
    return state().ended;
}

void ResetUpdateState()
{
    state() = UpdateState{};
    Mod_FTPData::ResetFtpData();
}

} // namespace Mod_AutoUpdate
