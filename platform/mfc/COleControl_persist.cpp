#include "platform/mfc/COleControl_interfaces.h"

#include "platform/mfc/CArchivePropExchange.h"
#include "platform/mfc/COleStreamFile.h"
#include "platform/mfc/CPropbagPropExchange.h"
#include "platform/mfc/CResetPropExchange.h"
#include "platform/mfc/PropertyStreamFormat.h"

#include <new>

DWORD COleControl::stockPropMask() const
{
    const com::DispatchTable& map = GetDispatchMap();
    return (map.Find(DISPID_CAPTION) ? px::kStockCaption : 0) | (map.Find(DISPID_ENABLED) ? px::kStockEnabled : 0);
}

void COleControl::DoPropExchange(CPropExchange* pPX)
{
    ExchangeExtent(pPX);
    ExchangeStockProps(pPX);
}

void COleControl::OnResetState()
{
    CResetPropExchange px;
    DoPropExchange(&px);
}

void COleControl::ExchangeVersion(CPropExchange* pPX, DWORD dwVersionDefault, BOOL bConvert)
{
    pPX->ExchangeVersion(m_dwVersionLoaded, dwVersionDefault, bConvert);
}

void COleControl::ExchangeExtent(CPropExchange* pPX)
{
    LONG cx = m_cxExtent;
    LONG cy = m_cyExtent;
    PX_Long(pPX, px::kBagExtentX, cx, m_cxExtent);
    PX_Long(pPX, px::kBagExtentY, cy, m_cyExtent);
    // A negative extent is no size: the control keeps its own.
    if (pPX->IsLoading() && cx >= 0 && cy >= 0) {
        m_cxExtent = cx;
        m_cyExtent = cy;
    }
}

void COleControl::ExchangeStockProps(CPropExchange* pPX)
{
    const DWORD own = stockPropMask();
    DWORD stored = own;
    PX_Long(pPX, "_StockProps", reinterpret_cast<LONG&>(stored), LONG(own));
    // What the stored mask lists is read even when this control lacks it.
    if (stored & px::kStockCaption) {
        CString text = m_strText;
        PX_String(pPX, px::kBagCaption, text, CString());
        if (pPX->IsLoading() && (own & px::kStockCaption)) {
            m_strText = text;
            if (m_hWnd)
                win::SetWindowText(m_hWnd, m_strText);
        }
    }
    if (stored & px::kStockEnabled) {
        BOOL enabled = m_bEnabled;
        PX_Bool(pPX, px::kBagEnabled, enabled, TRUE);
        if (pPX->IsLoading() && (own & px::kStockEnabled)) {
            m_bEnabled = enabled;
            if (m_hWnd)
                win::EnableWindow(m_hWnd, enabled);
        }
    }
}

HRESULT COleControl::InitNew()
{
    OnResetState();
    m_bModified = FALSE;
    m_bInitialized = TRUE;
    return S_OK;
}

HRESULT COleControl::LoadState(IStream* pStream)
{
    if (!pStream)
        return E_POINTER;
    com::ComPtr<IUnknown> hold(GetControllingUnknown());
    bool failed = false;
    try {
        COleStreamFile file(pStream);
        CArchive ar(&file, CArchive::load);
        CArchivePropExchange px(ar);
        DoPropExchange(&px);
        failed = px.Failed();
        if (!failed)
            ar.Flush(); // the stream stays right after the control's bytes
    } catch (const CException&) {
        failed = true;
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    if (failed) {
        // Nothing half-loaded: the control starts afresh.
        OnResetState();
    }
    m_bModified = FALSE;
    m_bInitialized = TRUE;
    InvalidateControl();
    return failed ? E_FAIL : S_OK;
}

HRESULT COleControl::SaveState(IStream* pStream, BOOL bClearDirty)
{
    if (!pStream)
        return E_POINTER;
    try {
        COleStreamFile file(pStream);
        CArchive ar(&file, CArchive::store);
        CArchivePropExchange px(ar);
        DoPropExchange(&px);
        ar.Close();
    } catch (const CException&) {
        return STG_E_WRITEFAULT;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (bClearDirty)
        m_bModified = FALSE;
    return S_OK;
}

HRESULT COleControl::LoadState(IPropertyBag* pBag, IErrorLog* pLog)
{
    if (!pBag)
        return E_POINTER;
    com::ComPtr<IUnknown> hold(GetControllingUnknown());
    bool failed = false;
    try {
        CPropbagPropExchange px(pBag, pLog, TRUE);
        DoPropExchange(&px);
    } catch (const CException&) {
        failed = true;
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    if (failed)
        OnResetState();
    m_bModified = FALSE;
    m_bInitialized = TRUE;
    InvalidateControl();
    return failed ? E_FAIL : S_OK;
}

HRESULT COleControl::SaveState(IPropertyBag* pBag, BOOL bClearDirty)
{
    if (!pBag)
        return E_POINTER;
    try {
        CPropbagPropExchange px(pBag, nullptr, FALSE);
        DoPropExchange(&px);
    } catch (const CException&) {
        return E_FAIL;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (bClearDirty)
        m_bModified = FALSE;
    return S_OK;
}
