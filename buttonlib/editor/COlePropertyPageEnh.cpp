#include "buttonlib/editor/COlePropertyPageEnh.h"

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/editor/CColorButton.h"

#include "platform/mfc/CDialog.h"

#include "platform/com/Variant.h"

#include <utility>
#include <vector>

IMPLEMENT_DYNAMIC(COlePropertyPageEnh, COlePropertyPage)

COlePropertyPageEnh::COlePropertyPageEnh(UINT idTemplate, UINT idCaption) : COlePropertyPage(idTemplate, idCaption) {}

HRESULT COlePropertyPageEnh::GetClassID(CLSID* pClassID) const
{
    if (!pClassID)
        return E_POINTER;
    *pClassID = CLSID_COlePropertyPageEnh;
    return S_OK;
}

CLumvexCtrl* COlePropertyPageEnh::ResolveControl(IDispatch* entry, com::ComPtr<IUnknown>* held)
{
    if (!entry)
        return nullptr;
    if (auto* control = dynamic_cast<CLumvexCtrl*>(COleControl::FromIDispatch(entry))) {
        if (held)
            *held = com::ComPtr<IUnknown>(entry);
        return control;
    }
    // A wrapper around the control (a container's extender) answers the
    // control's GetControlPtr with the control's own IUnknown.
    com::ComVariant result;
    DISPPARAMS none{};
    const HRESULT hr = entry->Invoke(dispidGetControlPtr, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none,
                                     &result, nullptr, nullptr);
    if (FAILED(hr) || result.vt != VT_UNKNOWN || !result.punkVal)
        return nullptr;
    auto* control = dynamic_cast<CLumvexCtrl*>(COleControl::FromIDispatch(result.punkVal));
    if (control && held)
        *held = com::ComPtr<IUnknown>(result.punkVal);
    return control;
}

CLumvexCtrl* COlePropertyPageEnh::GetControlObject()
{
    ULONG count = 0;
    IDispatch** objects = GetObjectArray(&count);
    for (ULONG i = 0; i < count; ++i)
        if (CLumvexCtrl* control = ResolveControl(objects[i]))
            return control;
    return nullptr;
}

CLumvexCtrl* COlePropertyPageEnh::GetFirstControl(ULONG* pnObjects)
{
    m_nCursor = 0;
    ULONG count = 0;
    GetObjectArray(&count);
    if (pnObjects)
        *pnObjects = count;
    return nextFromCursor();
}

CLumvexCtrl* COlePropertyPageEnh::GetNextControl()
{
    return nextFromCursor();
}

CLumvexCtrl* COlePropertyPageEnh::nextFromCursor()
{
    ULONG count = 0;
    IDispatch** objects = GetObjectArray(&count);
    // Objects that are not controls are passed over, not taken for one.
    while (m_nCursor < count) {
        if (CLumvexCtrl* control = ResolveControl(objects[m_nCursor++]))
            return control;
    }
    return nullptr;
}

void COlePropertyPageEnh::ForEachControl(const std::function<void(CLumvexCtrl&)>& fn)
{
    ULONG count = 0;
    IDispatch** objects = GetObjectArray(&count);
    std::vector<std::pair<com::ComPtr<IUnknown>, CLumvexCtrl*>> controls;
    for (ULONG i = 0; i < count; ++i) {
        com::ComPtr<IUnknown> held;
        if (CLumvexCtrl* control = ResolveControl(objects[i], &held))
            controls.emplace_back(std::move(held), control);
    }
    for (auto& [held, control] : controls)
        fn(*control);
}

void COlePropertyPageEnh::PresentSettingsDialog(CDialog& dialog, std::initializer_list<CColorButton*> buttons,
                                                bool bDialogColors)
{
    CLumvexCtrl* control = GetControlObject();
    if (!control || !control->m_bEditorOpen)
        return;
    const COLORREF text = CLumvexCtrl::TranslateOleColor(control->m_EditColorText);
    const COLORREF back = CLumvexCtrl::TranslateOleColor(control->m_EditColorBack);
    for (CColorButton* button : buttons) {
        button->SetColors(text, back);
        button->Invalidate();
    }
    if (bDialogColors)
        dialog.SetDialogColors(back, text);
    if (CWnd* help = dialog.GetDlgItem(kHelpButton))
        help->ShowWindow(CLumvexCtrl::g_editButtonShow[0]);
}
