#include "buttonlib/editor/EditorHelp.h"

#include "buttonlib/control/CLumvexApp.h"
#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/editor/COlePropertyPageEnh.h"

#include <algorithm>

namespace {

// Template, link index, host context, library context. The colour and
// picture-placement screens share link 3; link 5 belongs to none.
constexpr EditorHelpScreen kScreens[] = {
    {200, 0, 132, 149},   // the property page
    {32261, 1, 136, 151}, // shape settings
    {215, 2, 137, 152},   // text settings
    {32260, 3, 133, 153}, // colour settings
    {242, 3, 135, 155},   // picture and animation placement
    {32259, 4, 134, 154}, // picture and animation choice
    {243, 6, 138, 156},   // texture settings
    {32262, 7, 0, 157},   // sounds and cursors
    {241, 8, 0, 158},     // hyperlink
    {32263, 9, 0, 150},   // behaviour
};

} // namespace

std::span<const EditorHelpScreen> EditorHelpScreens()
{
    return kScreens;
}

const EditorHelpScreen* FindEditorHelpScreen(UINT templateId)
{
    const auto* it = std::find_if(std::begin(kScreens), std::end(kScreens),
                                  [templateId](const EditorHelpScreen& s) { return s.templateId == templateId; });
    return it == std::end(kScreens) ? nullptr : it;
}

void EditorHelp(UINT templateId, COlePropertyPageEnh& page, win::HWND owner)
{
    const EditorHelpScreen* screen = FindEditorHelpScreen(templateId);
    if (!screen)
        return;
    const CString& link = CLumvexCtrl::g_helpLinks[std::size_t(screen->linkIndex)];
    CLumvexCtrl* control = page.GetControlObject();
    // A link opens owned by the window the control sits in.
    win::HWND linkOwner = control && control->m_hWnd ? control->GetParent() : owner;
    const BOOL editorOpen = control ? control->m_bEditorOpen : FALSE;
    LumvexApp().ShowHelp(link.empty() ? owner : linkOwner, link, editorOpen, screen->winHelpContext,
                         screen->htmlHelpContext);
}
