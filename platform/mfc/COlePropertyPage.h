#pragma once
// A property page: a dialog made from its template and hosted in the
// property frame's page area, served as an IPropertyPage. The frame hands it
// the objects being edited (GetObjectArray), shows and hides it, and passes
// its Help button on to OnHelp. The page reaches the frame's window, its
// buttons included, through frame().

#include "platform/com/PropertyPage.h"
#include "platform/mfc/CDialog.h"

#include <memory>
#include <vector>

// The frame around a page: its window and its buttons by id (IDOK, IDCANCEL,
// the Apply button 12321 and the Help button 9).
class CPropertyFrameWnd : public CWnd {
public:
    CPropertyFrameWnd() = default;
    // The frame is not this object's to destroy.
    ~CPropertyFrameWnd() override;

    // Null for no such button.
    CWnd* GetDlgItem(int nID);
    // Moves the frame (SWP_NOSIZE keeps the size, SWP_NOMOVE the place).
    void SetWindowPos(int x, int y, int cx, int cy, UINT flags);

private:
    friend class COlePropertyPage;
    void attach(win::HWND frame);

    std::vector<std::unique_ptr<CWnd>> items_;
};

// The keys of a property page's class: its type name (a string-table
// entry), the module's file and the threading model.
BOOL AfxOleRegisterPropertyPageClass(REFCLSID clsid, UINT idTypeName);

class COlePropertyPage : public CDialog, public IPropertyPage, protected com::RefCounted {
    DECLARE_DYNAMIC(COlePropertyPage)

public:
    // The dialog template and the string-table entry of the tab's caption.
    COlePropertyPage(UINT idTemplate, UINT idCaption);
    ~COlePropertyPage() override;

    // The IDispatch of each object the frame handed over, in its order;
    // null with a count of 0 when there are none.
    IDispatch** GetObjectArray(ULONG* pnObjects);
    // The frame the page is shown in; null while it is not active.
    CPropertyFrameWnd* frame();

    // The frame's Help button; TRUE when the page showed help itself.
    virtual BOOL OnHelp(LPCTSTR lpszHelpDir);
    using CDialog::OnHelp;

    // IUnknown
    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    // IPropertyPage
    HRESULT SetPageSite(IPropertyPageSite* site) override;
    HRESULT SetObjects(ULONG count, IUnknown** objects) override;
    HRESULT Activate(HWND parent, const RECT* rect, BOOL modal) override;
    HRESULT Deactivate() override;
    HRESULT GetPageInfo(PROPPAGEINFO* info) override;
    HRESULT Show(UINT cmdShow) override;
    HRESULT Help(LPCOLESTR helpDir) override;

protected:
    // Enter and Escape inside the page are the frame's: they close it.
    void OnOK() override;
    void OnCancel() override;

private:
    void closeFrame(int result);

    UINT captionId_;
    com::ComPtr<IPropertyPageSite> site_;
    std::vector<com::ComPtr<IDispatch>> objects_;
    std::vector<IDispatch*> array_;
    CPropertyFrameWnd frame_;
};
