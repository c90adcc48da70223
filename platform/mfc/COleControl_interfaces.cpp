#include "platform/mfc/COleControl_interfaces.h"

#include "platform/com/PropertyBag.h"

#include <cstring>

using Ifc = COleControl::Interfaces;

std::vector<com::ConnectionPoint*> Ifc::Points()
{
    std::vector<com::ConnectionPoint*> all;
    if (events)
        all.push_back(&*events);
    all.push_back(&notify);
    return all;
}

// --- IDispatch ---------------------------------------------------------------

HRESULT Ifc::Dispatch::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT Ifc::Dispatch::GetTypeInfo(UINT index, LCID, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    return index == 0 ? com::CreateTypeInfo(c.GetDispatchMap(), info) : DISP_E_BADINDEX;
}

HRESULT Ifc::Dispatch::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    return com::DispGetIDsOfNames(c.GetDispatchMap(), iid, names, count, ids);
}

HRESULT Ifc::Dispatch::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                              EXCEPINFO* excepInfo, UINT* argErr)
{
    return c.Invoke(id, iid, flags, params, result, excepInfo, argErr);
}

// --- IOleObject --------------------------------------------------------------

HRESULT Ifc::OleObject::SetClientSite(IOleClientSite* site)
{
    return c.SetClientSite(site);
}

HRESULT Ifc::OleObject::GetClientSite(IOleClientSite** site)
{
    if (!site)
        return E_POINTER;
    *site = c.m_pClientSite.Get();
    if (*site)
        (*site)->AddRef();
    return S_OK;
}

HRESULT Ifc::OleObject::Close(DWORD saveOption)
{
    return c.Close(saveOption);
}

HRESULT Ifc::OleObject::DoVerb(LONG verb, MSG* msg, IOleClientSite* site, LONG, HWND parent, const RECT* position)
{
    return c.DoVerb(verb, msg, site, parent, position);
}

HRESULT Ifc::OleObject::GetUserClassID(CLSID* clsid)
{
    return c.GetClassID(clsid);
}

HRESULT Ifc::OleObject::GetUserType(DWORD, LPOLESTR* name)
{
    if (!name)
        return E_POINTER;
    *name = com::TaskOleString(c.GetUserTypeName());
    return *name ? S_OK : E_OUTOFMEMORY;
}

HRESULT Ifc::OleObject::SetExtent(DWORD aspect, SIZEL* size)
{
    if (aspect != DVASPECT_CONTENT)
        return E_FAIL;
    return c.SetExtent(size);
}

HRESULT Ifc::OleObject::GetExtent(DWORD aspect, SIZEL* size)
{
    if (!size)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return E_FAIL;
    *size = SIZEL{c.m_cxExtent, c.m_cyExtent};
    return S_OK;
}

HRESULT Ifc::OleObject::GetMiscStatus(DWORD, DWORD* status)
{
    if (!status)
        return E_POINTER;
    *status = c.GetMiscStatus();
    return S_OK;
}

// --- IOleInPlaceObject, IOleInPlaceActiveObject ---------------------------------

HRESULT Ifc::InPlaceObject::GetWindow(HWND* hwnd)
{
    if (!hwnd)
        return E_POINTER;
    *hwnd = c.m_hWnd;
    return *hwnd ? S_OK : E_FAIL;
}

HRESULT Ifc::InPlaceObject::InPlaceDeactivate()
{
    return c.InPlaceDeactivate();
}

HRESULT Ifc::InPlaceObject::UIDeactivate()
{
    return S_OK;
}

HRESULT Ifc::InPlaceObject::SetObjectRects(const RECT* position, const RECT* clip)
{
    return c.SetObjectRects(position, clip);
}

HRESULT Ifc::ActiveObject::GetWindow(HWND* hwnd)
{
    return c.m_interfaces->inPlaceObject.GetWindow(hwnd);
}

HRESULT Ifc::ActiveObject::TranslateAccelerator(MSG* msg)
{
    return msg && c.PreTranslateMessage(msg) ? S_OK : S_FALSE;
}

// --- IOleControl -------------------------------------------------------------

HRESULT Ifc::OleControl::GetControlInfo(CONTROLINFO* info)
{
    return c.GetControlInfo(info);
}

HRESULT Ifc::OleControl::OnMnemonic(MSG* msg)
{
    c.OnMnemonic(msg);
    return S_OK;
}

HRESULT Ifc::OleControl::OnAmbientPropertyChange(DISPID id)
{
    c.OnAmbientPropertyChange(id);
    return S_OK;
}

HRESULT Ifc::OleControl::FreezeEvents(BOOL freeze)
{
    return c.FreezeEvents(freeze);
}

// --- IViewObjectEx -----------------------------------------------------------

HRESULT Ifc::ViewObject::Draw(DWORD aspect, HDC hdc, const RECT* bounds)
{
    if (!hdc || !bounds)
        return E_INVALIDARG;
    if (aspect != DVASPECT_CONTENT)
        return E_FAIL;
    c.DrawContent(hdc, *bounds);
    return S_OK;
}

HRESULT Ifc::ViewObject::QueryHitPoint(DWORD aspect, const RECT* bounds, POINT location, LONG closeHint,
                                       DWORD* hitResult)
{
    if (!bounds || !hitResult)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return E_FAIL;
    return c.OnQueryHitPoint(aspect, bounds, location, closeHint, hitResult) ? S_OK : E_FAIL;
}

// --- IPersistStreamInit, IPersistPropertyBag ------------------------------------

HRESULT Ifc::PersistStream::GetClassID(CLSID* clsid)
{
    return c.GetClassID(clsid);
}

HRESULT Ifc::PersistStream::IsDirty()
{
    return c.IsModified() ? S_OK : S_FALSE;
}

HRESULT Ifc::PersistStream::Load(IStream* stream)
{
    return c.LoadState(stream);
}

HRESULT Ifc::PersistStream::Save(IStream* stream, BOOL clearDirty)
{
    return c.SaveState(stream, clearDirty);
}

HRESULT Ifc::PersistStream::GetSizeMax(std::uint64_t* size)
{
    if (!size)
        return E_POINTER;
    com::ComPtr<IStream> scratch;
    HRESULT hr = com::CreateStreamOnMemory({}, scratch.Receive());
    // Measuring leaves the modified mark as it was.
    const BOOL modified = c.m_bModified;
    if (SUCCEEDED(hr))
        hr = c.SaveState(scratch.Get(), FALSE);
    c.m_bModified = modified;
    std::uint64_t end = 0;
    if (SUCCEEDED(hr))
        hr = scratch->Seek(0, STREAM_SEEK_CUR, &end);
    *size = end;
    return hr;
}

HRESULT Ifc::PersistStream::InitNew()
{
    return c.InitNew();
}

HRESULT Ifc::PersistBag::GetClassID(CLSID* clsid)
{
    return c.GetClassID(clsid);
}

HRESULT Ifc::PersistBag::InitNew()
{
    return c.InitNew();
}

HRESULT Ifc::PersistBag::Load(IPropertyBag* bag, IErrorLog* log)
{
    return c.LoadState(bag, log);
}

HRESULT Ifc::PersistBag::Save(IPropertyBag* bag, BOOL clearDirty, BOOL)
{
    return c.SaveState(bag, clearDirty);
}

// --- Connection points and class information ---------------------------------

HRESULT Ifc::PointContainer::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    const auto all = c.m_interfaces->Points();
    return com::EnumConnectionPoints(all, points);
}

HRESULT Ifc::PointContainer::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    const auto all = c.m_interfaces->Points();
    return com::FindConnectionPoint(all, iid, point);
}

HRESULT Ifc::ClassInfo::GetClassInfo(ITypeInfo** info)
{
    return com::CreateClassTypeInfo(c.GetCoClassInfo(), info);
}

HRESULT Ifc::ClassInfo::GetGUID(DWORD kind, GUID* guid)
{
    return com::ClassDefaultSource(c.GetCoClassInfo(), kind, guid);
}

// --- Property pages and browsing ------------------------------------------------

HRESULT Ifc::PropertyPages::GetPages(CAUUID* pages)
{
    if (!pages)
        return E_POINTER;
    ULONG count = 0;
    const CLSID* ids = c.GetPropPageIDs(count);
    pages->cElems = 0;
    pages->pElems = nullptr;
    if (!ids || count == 0)
        return S_OK;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(count * sizeof(GUID)));
    if (!pages->pElems)
        return E_OUTOFMEMORY;
    std::copy_n(ids, count, pages->pElems);
    pages->cElems = count;
    return S_OK;
}

HRESULT Ifc::Browsing::GetDisplayString(DISPID id, BSTR* text)
{
    if (!text)
        return E_POINTER;
    *text = nullptr;
    CString value;
    if (!c.OnGetDisplayString(id, value))
        return S_FALSE;
    *text = com::BstrFromUtf8(value);
    return S_OK;
}

HRESULT Ifc::Browsing::MapPropertyToPage(DISPID id, CLSID* page)
{
    if (!page)
        return E_POINTER;
    *page = GUID_NULL;
    BOOL optional = FALSE;
    return c.OnMapPropertyToPage(id, page, &optional) ? S_OK : PERPROP_E_NOPAGEAVAILABLE;
}

HRESULT Ifc::Browsing::GetPredefinedStrings(DISPID id, CALPOLESTR* strings, CADWORD* cookies)
{
    if (!strings || !cookies)
        return E_POINTER;
    strings->cElems = cookies->cElems = 0;
    strings->pElems = nullptr;
    cookies->pElems = nullptr;
    std::vector<CString> texts;
    std::vector<DWORD> values;
    if (!c.OnGetPredefinedStrings(id, &texts, &values))
        return S_FALSE;
    const std::size_t n = std::min(texts.size(), values.size());
    if (n == 0)
        return S_OK;
    strings->pElems = static_cast<LPOLESTR*>(CoTaskMemAlloc(n * sizeof(LPOLESTR)));
    cookies->pElems = static_cast<DWORD*>(CoTaskMemAlloc(n * sizeof(DWORD)));
    if (!strings->pElems || !cookies->pElems) {
        CoTaskMemFree(strings->pElems);
        CoTaskMemFree(cookies->pElems);
        strings->pElems = nullptr;
        cookies->pElems = nullptr;
        return E_OUTOFMEMORY;
    }
    for (std::size_t i = 0; i < n; ++i) {
        strings->pElems[i] = com::TaskOleString(texts[i]);
        cookies->pElems[i] = values[i];
    }
    strings->cElems = cookies->cElems = ULONG(n);
    return S_OK;
}

HRESULT Ifc::Browsing::GetPredefinedValue(DISPID id, DWORD cookie, VARIANT* value)
{
    if (!value)
        return E_POINTER;
    return c.OnGetPredefinedValue(id, cookie, value) ? S_OK : E_FAIL;
}

HRESULT Ifc::FontNotification::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IPropertyNotifySink)
        return E_NOINTERFACE;
    *object = static_cast<IPropertyNotifySink*>(this);
    return S_OK;
}

HRESULT Ifc::FontNotification::OnChanged(DISPID)
{
    c.OnFontChanged();
    return S_OK;
}

HRESULT Ifc::FontNotification::OnRequestEdit(DISPID)
{
    return S_OK;
}
