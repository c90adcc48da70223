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

    // The library's help folder.
    std::filesystem::path m_htmlHelpPath;
};

// The one module object.
CLumvexApp& LumvexApp();

inline constexpr const char* kLibraryHelpFolder = "quorvel";
inline constexpr const char* kHostHelpFolder = "kestrum";
