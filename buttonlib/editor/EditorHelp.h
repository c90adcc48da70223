#pragma once
// The help of the editor's screens (the property page and its settings
// dialogs). A screen's help link, when one is set, opens in the shell;
// otherwise, while the page was opened by EditProperties, the host's help
// at the screen's editor-open context, when it has one; otherwise the
// library's help at its own context.

#include "platform/mfc/WinTypes.h"
#include "platform/win/Window.h"

#include <span>

class COlePropertyPageEnh;

struct EditorHelpScreen {
    // The screen's dialog template.
    UINT templateId;
    // Its entry of the help-link table.
    int linkIndex;
    // Its context in the host's help; 0 for none (always the library's).
    UINT winHelpContext;
    // Its context in the library's help.
    UINT htmlHelpContext;
};

// The ten screens.
std::span<const EditorHelpScreen> EditorHelpScreens();
// Null for a template that is no editor screen.
const EditorHelpScreen* FindEditorHelpScreen(UINT templateId);

// Shows the help of the screen whose template is templateId, for the
// controls bound to page; owner is the screen's window. A template that is
// no editor screen shows nothing.
void EditorHelp(UINT templateId, COlePropertyPageEnh& page, win::HWND owner);
