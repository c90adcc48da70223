#pragma once
// The control's about box: an icon, two lines of text and the library's
// version, shown modally through the host's UI services.

#include "platform/mfc/WinTypes.h"
#include "platform/win/Window.h"

class CAboutDlg {
public:
    // The version field: the product version, or "?" when the build has none.
    static CString VersionText(const char* productVersion);
    static void Show(win::HWND owner);
};
