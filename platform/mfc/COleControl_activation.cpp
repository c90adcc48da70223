#include "platform/mfc/COleControl_interfaces.h"

namespace {

constexpr LONG kHimetricPerInch = 2540;

LONG toPixels(LONG himetric)
{
    return MulDiv(himetric, gdi::ScreenDpi(), kHimetricPerInch);
}

LONG toHimetric(LONG pixels)
{
    return MulDiv(pixels, kHimetricPerInch, gdi::ScreenDpi());
}

} // namespace

HRESULT COleControl::SetClientSite(IOleClientSite* pClientSite)
{
    if (pClientSite == m_pClientSite.Get())
        return S_OK;
    if (!pClientSite && m_bInPlaceActive)
        InPlaceDeactivate();
    m_pControlSite.Reset();
    m_pAmbientDispatch.Reset();
    m_pClientSite = pClientSite;
    if (m_pClientSite) {
        m_pControlSite = m_pClientSite.As<IOleControlSite>();
        m_pAmbientDispatch = m_pClientSite.As<IDispatch>();
    }
    OnSetClientSite();
    return S_OK;
}

HRESULT COleControl::DoVerb(LONG iVerb, win::MSG* lpMsg, IOleClientSite* pActiveSite, win::HWND hwndParent,
                            const RECT* lprcPosRect)
{
    if (!m_pClientSite && pActiveSite)
        SetClientSite(pActiveSite);
    switch (iVerb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
        return activateInPlace(hwndParent, lprcPosRect);
    case OLEIVERB_HIDE:
        if (m_hWnd)
            ShowWindow(win::SW_HIDE);
        return S_OK;
    case OLEIVERB_PROPERTIES:
        return OnProperties(lpMsg, hwndParent, lprcPosRect) ? S_OK : E_FAIL;
    default:
        return iVerb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT COleControl::activateInPlace(win::HWND hwndParent, const RECT* lprcPosRect)
{
    if (m_bInPlaceActive) {
        if (m_hWnd)
            ShowWindow(win::SW_SHOW);
        return S_OK;
    }
    if (!m_pClientSite)
        return E_UNEXPECTED;
    m_pInPlaceSite = m_pClientSite.As<IOleInPlaceSite>();
    if (!m_pInPlaceSite)
        return E_NOINTERFACE;
    if (m_pInPlaceSite->CanInPlaceActivate() != S_OK) {
        m_pInPlaceSite.Reset();
        return E_FAIL;
    }
    m_pInPlaceSite->OnInPlaceActivate();
    win::HWND parent = nullptr;
    if (FAILED(m_pInPlaceSite->GetWindow(&parent)) || !parent)
        parent = hwndParent;
    RECT position{0, 0, toPixels(m_cxExtent), toPixels(m_cyExtent)};
    RECT clip{};
    if (FAILED(m_pInPlaceSite->GetWindowContext(&position, &clip)) && lprcPosRect)
        position = *lprcPosRect;
    m_rcPos = position;

    win::CREATESTRUCT cs;
    cs.hwndParent = parent;
    cs.lpszName = m_strText;
    cs.style = win::WS_CHILD | win::WS_VISIBLE | win::WS_TABSTOP | (m_bEnabled ? 0 : win::WS_DISABLED);
    cs.x = position.left;
    cs.y = position.top;
    cs.cx = position.right - position.left;
    cs.cy = position.bottom - position.top;
    if (!parent || !CreateEx(cs)) {
        auto site = std::move(m_pInPlaceSite);
        site->OnInPlaceDeactivate();
        return E_FAIL;
    }
    m_bInPlaceActive = TRUE;
    m_pClientSite->ShowObject();
    return S_OK;
}

HRESULT COleControl::InPlaceDeactivate()
{
    if (!m_bInPlaceActive)
        return S_OK;
    // Held for the call: the site may let the control go.
    com::ComPtr<IUnknown> hold(GetControllingUnknown());
    m_bInPlaceActive = FALSE;
    if (m_hWnd)
        DestroyWindow();
    if (auto site = std::move(m_pInPlaceSite))
        site->OnInPlaceDeactivate();
    return S_OK;
}

HRESULT COleControl::Close(DWORD)
{
    return InPlaceDeactivate();
}

HRESULT COleControl::SetObjectRects(const RECT* pos, const RECT* clip)
{
    if (!pos)
        return E_INVALIDARG;
    return OnSetObjectRects(pos, clip) ? S_OK : E_FAIL;
}

BOOL COleControl::OnSetObjectRects(const RECT* lprcPosRect, const RECT*)
{
    const LONG width = lprcPosRect->right - lprcPosRect->left;
    const LONG height = lprcPosRect->bottom - lprcPosRect->top;
    // The extent follows a new size; the same size keeps it exactly.
    if (width != toPixels(m_cxExtent))
        m_cxExtent = toHimetric(width);
    if (height != toPixels(m_cyExtent))
        m_cyExtent = toHimetric(height);
    m_rcPos = *lprcPosRect;
    if (m_hWnd)
        MoveWindow(m_rcPos.left, m_rcPos.top, width, height, TRUE);
    return TRUE;
}

HRESULT COleControl::SetExtent(const SIZEL* pSize)
{
    if (!pSize)
        return E_POINTER;
    if (pSize->cx < 0 || pSize->cy < 0)
        return E_INVALIDARG;
    return OnSetExtent(pSize) ? S_OK : E_FAIL;
}

BOOL COleControl::OnSetExtent(const SIZEL* pSize)
{
    m_cxExtent = pSize->cx;
    m_cyExtent = pSize->cy;
    if (m_bInPlaceActive) {
        m_rcPos.right = m_rcPos.left + toPixels(m_cxExtent);
        m_rcPos.bottom = m_rcPos.top + toPixels(m_cyExtent);
        if (m_hWnd)
            MoveWindow(m_rcPos.left, m_rcPos.top, m_rcPos.right - m_rcPos.left, m_rcPos.bottom - m_rcPos.top, TRUE);
    }
    return TRUE;
}

BOOL COleControl::OnQueryHitPoint(DWORD, const RECT* pRectBounds, POINT ptlLoc, LONG, DWORD* pHitResult)
{
    const bool inside = ptlLoc.x >= pRectBounds->left && ptlLoc.x < pRectBounds->right &&
                        ptlLoc.y >= pRectBounds->top && ptlLoc.y < pRectBounds->bottom;
    *pHitResult = inside ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return TRUE;
}

BOOL COleControl::GetRectInContainer(RECT* prc)
{
    if (!m_bInPlaceActive || !prc)
        return FALSE;
    *prc = m_rcPos;
    return TRUE;
}

BOOL COleControl::SetRectInContainer(const RECT* prc)
{
    if (!prc)
        return FALSE;
    if (m_bInPlaceActive && m_pInPlaceSite)
        return SUCCEEDED(m_pInPlaceSite->OnPosRectChange(prc)) ? TRUE : FALSE;
    const SIZEL size{toHimetric(prc->right - prc->left), toHimetric(prc->bottom - prc->top)};
    return OnSetExtent(&size);
}

void COleControl::GetControlSize(int* pcx, int* pcy)
{
    if (pcx)
        *pcx = toPixels(m_cxExtent);
    if (pcy)
        *pcy = toPixels(m_cyExtent);
}

BOOL COleControl::SetControlSize(int cx, int cy)
{
    if (cx < 0 || cy < 0)
        return FALSE;
    if (m_bInPlaceActive) {
        const RECT wanted{m_rcPos.left, m_rcPos.top, m_rcPos.left + cx, m_rcPos.top + cy};
        return SetRectInContainer(&wanted);
    }
    const SIZEL size{toHimetric(cx), toHimetric(cy)};
    return OnSetExtent(&size);
}

void COleControl::SetInitialSize(int cx, int cy)
{
    m_cxExtent = toHimetric(cx);
    m_cyExtent = toHimetric(cy);
}

void COleControl::ControlInfoChanged()
{
    if (m_pControlSite)
        m_pControlSite->OnControlInfoChanged();
}

win::HWND COleControl::GetContainerWindow()
{
    win::HWND parent = nullptr;
    if (m_pInPlaceSite)
        m_pInPlaceSite->GetWindow(&parent);
    else if (auto site = m_pClientSite.As<IOleInPlaceSite>())
        site->GetWindow(&parent);
    return parent;
}

HRESULT COleControl::FreezeEvents(BOOL bFreeze)
{
    if (bFreeze)
        ++m_nFreezeEvents;
    else if (m_nFreezeEvents > 0)
        --m_nFreezeEvents;
    OnFreezeEvents(bFreeze);
    return S_OK;
}

HRESULT COleControl::GetControlInfo(CONTROLINFO* pInfo)
{
    if (!pInfo)
        return E_POINTER;
    pInfo->cb = sizeof(CONTROLINFO);
    pInfo->hAccel = nullptr;
    pInfo->cAccel = 0;
    pInfo->dwFlags = 0;
    OnGetControlInfo(pInfo);
    return S_OK;
}
