#include "platform/mfc/COlePropertyPage.h"

#include "platform/com/PropertyBag.h"
#include "platform/com/PropertyFrame.h"
#include "platform/com/Module.h"
#include "platform/com/Registration.h"
#include "platform/mfc/AfxMessageBox.h"
#include "platform/mfc/COleObjectFactory.h"
#include "platform/win/WindowPos.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>


namespace {

// A module that has pages finds them among its own factories first, so a
// page and the controls it edits share the module's state.
const bool kModuleSourceSet = [] {
    com::SetModuleClassSource(&COleObjectFactory::GetClassObject);
    return true;
}();

} // namespace

BOOL AfxOleRegisterPropertyPageClass(REFCLSID clsid, UINT idTypeName)
{
    CString typeName;
    AfxLoadString(idTypeName, typeName);
    return SUCCEEDED(com::RegisterClass({clsid, "", typeName, com::ThisModulePath()})) ? TRUE : FALSE;
}

// --- The frame seen from the page -------------------------------------------------

CPropertyFrameWnd::~CPropertyFrameWnd()
{
    attach(nullptr);
}

void CPropertyFrameWnd::attach(win::HWND frame)
{
    for (auto& item : items_)
        item->m_hWnd = nullptr;
    items_.clear();
    m_hWnd = frame;
}

CWnd* CPropertyFrameWnd::GetDlgItem(int nID)
{
    if (!m_hWnd)
        return nullptr;
    QWidget* w = m_hWnd->findChild<QWidget*>(QStringLiteral("id%1").arg(nID));
    if (!w)
        return nullptr;
    for (auto& item : items_)
        if (item->m_hWnd == w)
            return item.get();
    items_.push_back(std::make_unique<CWnd>());
    items_.back()->m_hWnd = w;
    return items_.back().get();
}

void CPropertyFrameWnd::SetWindowPos(int x, int y, int cx, int cy, UINT flags)
{
    win::SetWindowPos(m_hWnd, win::HWND_TOP, x, y, cx, cy, flags);
}

// --- The page ------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(COlePropertyPage, CDialog)

COlePropertyPage::COlePropertyPage(UINT idTemplate, UINT idCaption) : CDialog(idTemplate), captionId_(idCaption)
{
    (void)kModuleSourceSet;
}

COlePropertyPage::~COlePropertyPage()
{
    frame_.attach(nullptr);
}

IDispatch** COlePropertyPage::GetObjectArray(ULONG* pnObjects)
{
    if (pnObjects)
        *pnObjects = ULONG(array_.size());
    return array_.empty() ? nullptr : array_.data();
}

CPropertyFrameWnd* COlePropertyPage::frame()
{
    win::HWND window = nullptr;
    if (!site_ || FAILED(site_->GetFrameWindow(&window)) || !window) {
        frame_.attach(nullptr);
        return nullptr;
    }
    if (frame_.m_hWnd != window)
        frame_.attach(window);
    return &frame_;
}

BOOL COlePropertyPage::OnHelp(LPCTSTR)
{
    return FALSE;
}

HRESULT COlePropertyPage::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IPropertyPage::kIid)
        return E_NOINTERFACE;
    *object = static_cast<IPropertyPage*>(this);
    AddRef();
    return S_OK;
}

ULONG COlePropertyPage::AddRef()
{
    return AddRefCount();
}

ULONG COlePropertyPage::Release()
{
    const ULONG left = ReleaseCount();
    if (left == 0)
        delete this;
    return left;
}

HRESULT COlePropertyPage::SetPageSite(IPropertyPageSite* site)
{
    site_ = site;
    if (!site)
        frame_.attach(nullptr);
    return S_OK;
}

HRESULT COlePropertyPage::SetObjects(ULONG count, IUnknown** objects)
{
    if (count && !objects)
        return E_POINTER;
    std::vector<com::ComPtr<IDispatch>> held;
    for (ULONG i = 0; i < count; ++i) {
        com::ComPtr<IDispatch> dispatch;
        // An object without automation has nothing a page can edit.
        if (objects[i] && SUCCEEDED(objects[i]->QueryInterface(IID_IDispatch, dispatch.ReceiveVoid())) && dispatch)
            held.push_back(std::move(dispatch));
    }
    // The old objects go only once the new array is in place.
    objects_.swap(held);
    array_.clear();
    for (const auto& d : objects_)
        array_.push_back(d.Get());
    return S_OK;
}

HRESULT COlePropertyPage::Activate(HWND parent, const RECT* rect, BOOL)
{
    if (m_hWnd)
        return E_UNEXPECTED;
    if (!Create(parent))
        return E_FAIL;
    // Made as a dialog of its own, then placed inside the frame's page area.
    QWidget* window = m_hWnd;
    window->setParent(parent, Qt::Widget);
    window->hide();
    if (rect)
        window->move(int(rect->left), int(rect->top));
    return S_OK;
}

HRESULT COlePropertyPage::Deactivate()
{
    if (m_hWnd)
        DestroyWindow();
    return S_OK;
}

HRESULT COlePropertyPage::GetPageInfo(PROPPAGEINFO* info)
{
    if (!info)
        return E_POINTER;
    info->pszTitle = nullptr;
    info->size = SIZE{0, 0};
    const DialogTemplate* dialog = Template();
    if (!dialog)
        return E_UNEXPECTED;
    CString caption;
    if (!AfxLoadString(captionId_, caption))
        caption = std::string(dialog->caption);
    const RECT pixels = MapDialogRect(RECT{0, 0, dialog->cx, dialog->cy}, BaseUnitsOf(*dialog));
    info->size = SIZE{pixels.right - pixels.left, pixels.bottom - pixels.top};
    info->pszTitle = com::TaskOleString(caption);
    return info->pszTitle ? S_OK : E_OUTOFMEMORY;
}

HRESULT COlePropertyPage::Show(UINT cmdShow)
{
    if (!m_hWnd)
        return E_UNEXPECTED;
    ShowWindow(int(cmdShow));
    return S_OK;
}

HRESULT COlePropertyPage::Help(LPCOLESTR helpDir)
{
    const std::string dir = helpDir ? com::Utf8FromOleString(helpDir) : std::string();
    return OnHelp(dir.c_str()) ? S_OK : E_NOTIMPL;
}

void COlePropertyPage::OnOK()
{
    closeFrame(IDOK);
}

void COlePropertyPage::OnCancel()
{
    closeFrame(IDCANCEL);
}

void COlePropertyPage::closeFrame(int result)
{
    // A page alone (no frame) has nothing to close.
    CPropertyFrameWnd* f = frame();
    auto* dialog = f ? qobject_cast<QDialog*>(f->m_hWnd) : nullptr;
    if (!dialog)
        return;
    // Closed once the key's handling is over: closing destroys this page's
    // window, which is still handling it.
    const int code = result == IDOK ? QDialog::Accepted : QDialog::Rejected;
    QMetaObject::invokeMethod(dialog, [frame = QPointer<QDialog>(dialog), code] {
        if (frame)
            frame->done(code);
    }, Qt::QueuedConnection);
}
