#include "buttonlib/control/CLumvexCtrl.h"

#include "buttonlib/control/LumvexResources.h"

#include "platform/win/Window.h"

namespace {

constexpr LONG kHimetricPerInch = 2540;

bool intersects(const RECT& a, const RECT& b)
{
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

} // namespace

// --- Construction ------------------------------------------------------------------

CLumvexCtrl::CLumvexCtrl()
    : m_font{CFontHolder{GetFontNotificationSink()}, CFontHolder{GetFontNotificationSink()},
             CFontHolder{GetFontNotificationSink()}, CFontHolder{GetFontNotificationSink()},
             CFontHolder{GetFontNotificationSink()}, CFontHolder{GetFontNotificationSink()},
             CFontHolder{GetFontNotificationSink()}, CFontHolder{GetFontNotificationSink()},
             CFontHolder{GetFontNotificationSink()}}
{
    LumvexResources::Register();
    InitializeIIDs(&DIID_DLumvex, &DIID_DLumvexEvents);
    m_font[0].InitializeFont(&CaptionFontDesc());
    for (int i = 1; i < kTextCount; ++i)
        m_font[i].InitializeFont(&TextFontDesc());
}

CLumvexCtrl::~CLumvexCtrl()
{
    // The window goes while this class still hears its destruction.
    if (m_hWnd)
        DestroyWindow();
    freeRegions();
}

const FONTDESC& CLumvexCtrl::CaptionFontDesc()
{
    return AfxDefaultFontDesc();
}

const FONTDESC& CLumvexCtrl::TextFontDesc()
{
    static OLECHAR name[] = u"MS Sans Serif";
    static const FONTDESC desc{sizeof(FONTDESC), name, CY{120000}, short(FW_NORMAL), short(DEFAULT_CHARSET),
                               FALSE, FALSE, FALSE};
    return desc;
}

const com::DispatchTable& CLumvexCtrl::EventMap()
{
    static constexpr com::DispatchMember members[] = {
        com::Event("MouseIn", DISPID_EVT_MOUSEIN),
        com::Event("MouseOut", DISPID_EVT_MOUSEOUT),
        com::Event("SoundDone", DISPID_EVT_SOUNDDONE, {{"index", VT_I2}}),
        com::Event("PictureDLLDone", DISPID_EVT_PICTUREDLLDONE, {{"index", VT_I2}, {"success", VT_BOOL}}),
        com::Event("SoundDLLDone", DISPID_EVT_SOUNDDLLDONE, {{"index", VT_I2}, {"success", VT_BOOL}}),
        com::Event("AnimDLLDone", DISPID_EVT_ANIMDLLDONE, {{"index", VT_I2}, {"success", VT_BOOL}}),
        com::Event("ContainerNeedRefresh", DISPID_EVT_CONTAINERNEEDREFRESH),
        EventStockClick(),
        EventStockDblClick(),
        EventStockMouseDown(),
        EventStockMouseMove(),
        EventStockMouseUp(),
        EventStockKeyDown(),
        EventStockKeyUp(),
    };
    static constexpr com::DispatchTable table{&DIID_DLumvexEvents, "_DLumvexEvents", members};
    return table;
}

// --- What the framework asks -----------------------------------------------------------

HRESULT CLumvexCtrl::GetClassID(CLSID* pclsid)
{
    if (!pclsid)
        return E_POINTER;
    *pclsid = CLSID_LumvexCtrl;
    return S_OK;
}

UINT CLumvexCtrl::GetUserTypeNameID()
{
    return IDS_LUMVEX;
}

DWORD CLumvexCtrl::GetMiscStatus()
{
    return kLumvexMiscStatus;
}

const CLSID* CLumvexCtrl::GetPropPageIDs(ULONG& cPropPages)
{
    static const CLSID pages[] = {CLSID_LumvexPropPage};
    cPropPages = 1;
    return pages;
}

BOOL CLumvexCtrl::IsSubclassedControl()
{
    return TRUE;
}

BOOL CLumvexCtrl::PreCreateWindow(win::CREATESTRUCT& cs)
{
    cs.lpszClass = "Button";
    cs.style |= win::BS_OWNERDRAW;
    return COleControl::PreCreateWindow(cs);
}

void CLumvexCtrl::OnDraw(HDC hdc, const RECT& rcBounds, const RECT&)
{
    // The button paints in the reflected owner-draw request.
    DoSuperclassPaint(hdc, rcBounds);
}

// --- Size, position and hit test -------------------------------------------------------

BOOL CLumvexCtrl::OnSetExtent(const SIZEL* pSize)
{
    const HDC screen = CreateCompatibleDC(nullptr);
    const int dpiX = screen ? GetDeviceCaps(screen, LOGPIXELSX) : gdi::ScreenDpi();
    const int dpiY = screen ? GetDeviceCaps(screen, LOGPIXELSY) : gdi::ScreenDpi();
    if (screen)
        DeleteDC(screen);
    m_rcButton = RECT{0, 0, MulDiv(pSize->cx, dpiX, kHimetricPerInch), MulDiv(pSize->cy, dpiY, kHimetricPerInch)};
    m_bRebuildFaces = TRUE;
    InvalidateButton(FALSE);
    return COleControl::OnSetExtent(pSize);
}

BOOL CLumvexCtrl::OnSetObjectRects(const RECT* lprcPosRect, const RECT* lprcClipRect)
{
    const BOOL result = COleControl::OnSetObjectRects(lprcPosRect, lprcClipRect);
    // The container reflects messages itself: there is no reflector window
    // between it and the button.
    if (m_hWnd)
        GetClientRect(&m_rcButton);
    if (AmbientUserMode()) {
        if (lprcClipRect && intersects(*lprcPosRect, *lprcClipRect)) {
            m_rcButton = *lprcPosRect;
            if (m_hWnd) {
                POINT corners[2] = {{m_rcButton.left, m_rcButton.top}, {m_rcButton.right, m_rcButton.bottom}};
                win::MapWindowPoints(GetParent(), m_hWnd, corners, 2);
                m_rcButton = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
            } else {
                m_rcButton = RECT{0, 0, m_rcButton.right - m_rcButton.left, m_rcButton.bottom - m_rcButton.top};
            }
        }
    } else {
        InvalidateButton(TRUE);
    }
    BuildWindowRegion();
    InvalidateButton(FALSE);
    return result;
}

BOOL CLumvexCtrl::OnQueryHitPoint(DWORD dwAspect, const RECT* pRectBounds, POINT ptlLoc, LONG lCloseHint,
                                  DWORD* pHitResult)
{
    if (!m_hWindowRgn)
        return COleControl::OnQueryHitPoint(dwAspect, pRectBounds, ptlLoc, lCloseHint, pHitResult);
    // The region is in the button's own pixels; the point in the container's.
    const POINT origin = pRectBounds ? POINT{pRectBounds->left, pRectBounds->top} : POINT{0, 0};
    *pHitResult = PtInRegion(m_hWindowRgn, ptlLoc.x - origin.x, ptlLoc.y - origin.y) ? HITRESULT_HIT
                                                                                      : HITRESULT_OUTSIDE;
    return TRUE;
}

void CLumvexCtrl::OnAmbientPropertyChange(DISPID dispid)
{
    // The mode decides the faces' look, and the container's colour is baked
    // into them.
    if (dispid == DISPID_AMBIENT_USERMODE || dispid == DISPID_AMBIENT_BACKCOLOR) {
        m_bRebuildFaces = TRUE;
        RefreshAfterChange();
    }
    COleControl::OnAmbientPropertyChange(dispid);
}

// --- Repainting -------------------------------------------------------------------------

void CLumvexCtrl::trace(Step step)
{
    if (m_pTrace)
        m_pTrace->push_back(step);
}

void CLumvexCtrl::invalidate(BOOL bErase)
{
    trace(bErase ? Step::InvalidateErase : Step::InvalidateNoErase);
    InvalidateControl(nullptr, bErase);
}

void CLumvexCtrl::InvalidateButton(BOOL bRebuild)
{
    if (!m_hWnd)
        return;
    if (bRebuild)
        m_bRefreshPending = TRUE;
    const auto rebuild = [this] {
        BuildWindowRegion();
        RefreshButton();
        m_bRefreshPending = FALSE;
        trace(Step::NeedRefresh);
        FireEvent(DISPID_EVT_CONTAINERNEEDREFRESH);
    };
    if (AmbientUserMode()) {
        // With automatic refresh off the rebuild stays pending for
        // SetAutomaticRefresh.
        if (m_bAutomaticRefresh) {
            if (bRebuild)
                rebuild();
            else
                invalidate(TRUE);
        }
        if (m_bFocus)
            BuildClipRegion();
    } else {
        if (bRebuild)
            rebuild();
        else
            invalidate(FALSE);
        BuildClipRegion();
    }
}

void CLumvexCtrl::RefreshAfterChange()
{
    if (AmbientUserMode() || !m_bPropertiesExchanged) {
        InvalidateButton(FALSE);
        return;
    }
    RefreshButton();
    m_bRefreshPending = FALSE;
    BuildClipRegion();
}
