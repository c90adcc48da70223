#pragma once
// The base of the editor's pages: it reaches the button control behind each
// object the frame bound to the page, so the page and its settings dialogs
// call the controls directly. Readers look at the first control; writers
// change every control.

#include "platform/mfc/COlePropertyPage.h"

#include <functional>
#include <initializer_list>

class CColorButton;
class CDialog;
class CLumvexCtrl;

inline constexpr CLSID CLSID_COlePropertyPageEnh = com::GuidLiteral("{37A4E062-2E2B-11D3-8868-00105A6EB3F2}");

class COlePropertyPageEnh : public COlePropertyPage {
    DECLARE_DYNAMIC(COlePropertyPageEnh)

public:
    COlePropertyPageEnh(UINT idTemplate, UINT idCaption);

    // The class of the base's own factory.
    HRESULT GetClassID(CLSID* pClassID) const;

    // The control of the first bound object that is one; null for none.
    CLumvexCtrl* GetControlObject();
    // Starts a walk over the bound controls: the number of bound objects in
    // *pnObjects, and the first control (null for none).
    CLumvexCtrl* GetFirstControl(ULONG* pnObjects);
    // The next control of the walk; null at its end.
    CLumvexCtrl* GetNextControl();

    // Calls fn once for every bound control, in order. The controls are
    // looked up and held before the first call, so a walk begun inside fn
    // (a message box runs posted messages) changes nothing here.
    void ForEachControl(const std::function<void(CLumvexCtrl&)>& fn);

    // The control behind one bound object: this module's control reached
    // directly or through its GetControlPtr method; null for anything else.
    // The reference the lookup took is kept in *held when given, else
    // released.
    static CLumvexCtrl* ResolveControl(IDispatch* entry, com::ComPtr<IUnknown>* held = nullptr);

    // The "Help..." button of every settings dialog.
    static constexpr int kHelpButton = 312;

    // A settings dialog opened from the page takes the page's look: when
    // EditProperties opened the editor, its colour buttons, background and
    // labels (unless bDialogColors is false) take the colours the caller
    // gave and its Help button (312) follows the editor's first show
    // command. Otherwise nothing changes.
    void PresentSettingsDialog(CDialog& dialog, std::initializer_list<CColorButton*> buttons,
                               bool bDialogColors = true);

private:
    // From the cursor on, the first object that is a control.
    CLumvexCtrl* nextFromCursor();

    ULONG m_nCursor = ULONG(-1);
};
