#pragma once
// The library's module object: its help, where the help pages are looked
// for, and the links the editors open.
//
// Help is a folder of HTML pages, one per context number ("<n>.htm"): the
// folder "quorvel" beside the library, or, once EditProperties has opened
// the editor, the folder "kestrum" in the host program's folder. A page that
// is missing opens nothing.

#include "platform/mfc/COleControlModule.h"
#include "platform/win/Window.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// Where the module's help and links go: the desktop, unless a test records
// them.
class LumvexHelpPort {
public:
    virtual ~LumvexHelpPort() = default;
    virtual void OpenLink(win::HWND owner, const CString& target) = 0;
    // A help folder opened at a context number: the library's folder
    // (HTML Help) or the host's (WinHelp).
    virtual void ShowHtmlHelp(win::HWND owner, const std::filesystem::path& folder, UINT context) = 0;
    virtual void ShowWinHelp(const std::filesystem::path& folder, UINT context) = 0;
};

class CLumvexApp final : public COleControlModule {
public:
    CLumvexApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The host program's help folder becomes the editor-open help.
    void SetHostHelpPath();
    void ShowHtmlHelp(win::HWND owner, UINT context);
    void ShowWinHelp(UINT context);
    void OpenLink(win::HWND owner, const CString& target);

    // The help of an editor page or dialog: its help link when one is set,
    // else the editor-open help when the page was opened by EditProperties
    // and the dialog has such a context, else the library's help.
    void ShowHelp(win::HWND owner, const CString& helpLink, BOOL bEditorOpen, UINT winHelpContext,
                  UINT htmlHelpContext);

    // nullptr restores the desktop.
    void SetHelpPort(std::shared_ptr<LumvexHelpPort> port);

    // The library's help folder.
    std::filesystem::path m_htmlHelpPath;

private:
    LumvexHelpPort& helpPort();

    std::shared_ptr<LumvexHelpPort> m_helpPort;
};

// Keeps every help request instead of showing it.
class RecordingHelpPort : public LumvexHelpPort {
public:
    enum class Kind { Link, HtmlHelp, WinHelp };
    struct Request {
        Kind kind;
        win::HWND owner = nullptr;
        // The link, or the help folder.
        std::string target;
        UINT context = 0;
    };
    void OpenLink(win::HWND owner, const CString& target) override
    {
        requests.push_back({Kind::Link, owner, target, 0});
    }
    void ShowHtmlHelp(win::HWND owner, const std::filesystem::path& folder, UINT context) override
    {
        requests.push_back({Kind::HtmlHelp, owner, folder.string(), context});
    }
    void ShowWinHelp(const std::filesystem::path& folder, UINT context) override
    {
        requests.push_back({Kind::WinHelp, nullptr, folder.string(), context});
    }
    std::vector<Request> requests;
};

// The one module object.
CLumvexApp& LumvexApp();

inline constexpr const char* kLibraryHelpFolder = "quorvel";
inline constexpr const char* kHostHelpFolder = "kestrum";
