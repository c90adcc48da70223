// What a container's property browser shows: the names of enumerated
// values, their drop-down lists, the stock pages for colours and fonts, and
// the control's own property frame.

#include "buttonlib/control/CLumvexCtrl.h"

#include "platform/mfc/AfxMessageBox.h"

#include <cstdio>
#include <span>

namespace {

// The standard colour and font pages.
constexpr CLSID CLSID_StockColorPage = com::GuidLiteral("{0BE35201-8F91-11CE-9DE3-00AA004BB851}");
constexpr CLSID CLSID_StockFontPage = com::GuidLiteral("{0BE35200-8F91-11CE-9DE3-00AA004BB851}");

struct EnumEntry {
    short value;
    UINT stringId;
};

// One table of (value, string) pairs; each property uses its own run.
constexpr EnumEntry kEnumTable[] = {
    // Shape
    {0, 1000}, {1, 1001}, {2, 1002}, {3, 1003}, {4, 1004}, {5, 1005},
    // Roundness and Slant
    {0, 1050}, {1, 1051}, {2, 1052}, {3, 1053}, {4, 1054},
    // Surface
    {0, 1100}, {1, 1101}, {2, 1102}, {3, 1103},
    // PicturePosition
    {0, 1350}, {1, 1351}, {2, 1352}, {3, 1353}, {4, 1354}, {5, 1355}, {6, 1356}, {7, 1357}, {8, 1358},
    // PictureTranspMode
    {0, 1400}, {1, 1401},
    // SmoothEdges
    {0, 1150}, {1, 1151}, {2, 1152},
    // FocusMode
    {0, 1250}, {1, 1251}, {2, 1252},
    // SpecialEffect
    {0, 1450}, {1, 1451}, {2, 1452},
    // Optimization
    {0, 1420}, {1, 1421},
    // SpecialEffectFactor
    {0, 1480}, {1, 1481}, {2, 1482}, {3, 1483}, {4, 1484},
    // TextureMode
    {0, 2200}, {1, 2201}, {2, 2202}, {3, 2203},
    // TextureBevelFactor
    {0, 2103}, {1, 2102}, {2, 2101}, {3, 2100}, {4, 2099},
    // FlatPillowFactor
    {0, 2154}, {1, 2153}, {2, 2152}, {3, 2151}, {4, 2150},
    // ShadowMode
    {0, 2250}, {1, 2251}, {2, 2252}, {3, 2253},
    // Style
    {0, 2300}, {1, 2301}, {2, 2302},
};

struct EnumProperty {
    DISPID dispid;
    std::size_t first;
    std::size_t count;
    short CLumvexCtrl::*member;
    bool hasList;
};

constexpr EnumProperty kEnumProperties[] = {
    {dispidShape, 0, 6, &CLumvexCtrl::m_Shape, true},
    {dispidRoundness, 6, 5, &CLumvexCtrl::m_Roundness, true},
    {dispidSlant, 6, 5, &CLumvexCtrl::m_Slant, true},
    {dispidSurface, 11, 4, &CLumvexCtrl::m_Surface, true},
    {dispidPicturePosition, 15, 9, &CLumvexCtrl::m_PicturePosition, true},
    {dispidPictureTranspMode, 24, 2, &CLumvexCtrl::m_PictureTranspMode, true},
    {dispidSmoothEdges, 26, 3, &CLumvexCtrl::m_SmoothEdges, true},
    {dispidFocusMode, 29, 3, &CLumvexCtrl::m_FocusMode, true},
    {dispidSpecialEffect, 32, 3, &CLumvexCtrl::m_SpecialEffect, true},
    {dispidOptimization, 35, 2, &CLumvexCtrl::m_Optimization, true},
    // Shown by name, but chosen by number.
    {dispidSpecialEffectFactor, 37, 5, &CLumvexCtrl::m_SpecialEffectFactor, false},
    {dispidTextureMode, 42, 4, &CLumvexCtrl::m_TextureMode, true},
    {dispidTextureBevelFactor, 46, 5, &CLumvexCtrl::m_TextureBevelFactor, true},
    {dispidFlatPillowFactor, 51, 5, &CLumvexCtrl::m_FlatPillowFactor, true},
    {dispidShadowMode, 56, 4, &CLumvexCtrl::m_ShadowMode, true},
    {dispidStyle, 60, 3, &CLumvexCtrl::m_Style, true},
};
static_assert(std::size(kEnumTable) == 63);

const EnumProperty* findEnum(DISPID dispid)
{
    for (const EnumProperty& p : kEnumProperties)
        if (p.dispid == dispid)
            return &p;
    return nullptr;
}

std::span<const EnumEntry> runOf(const EnumProperty& p)
{
    return std::span<const EnumEntry>(kEnumTable).subspan(p.first, p.count);
}

// The properties whose values may be picked by cookie, lists or not.
bool takesPredefinedValue(DISPID dispid)
{
    switch (dispid) {
    case dispidShape:
    case dispidRoundness:
    case dispidSlant:
    case dispidSurface:
    case dispidPicturePosition:
    case dispidPictureTranspMode:
    case dispidButtonRaiseFactor:
    case dispidSmoothEdges:
    case dispidFocusMode:
    case dispidSpecialEffect:
    case dispidCaptionWordWrapPerc:
    case dispidOptimization:
    case dispidSpecialEffectFactor:
    case dispidTextureMode:
    case dispidTextureBevelFactor:
    case dispidFlatPillowFactor:
    case dispidShadowMode:
    case dispidStyle: return true;
    default: return false;
    }
}

} // namespace

BOOL CLumvexCtrl::OnGetDisplayString(DISPID dispid, CString& strValue)
{
    const EnumProperty* p = findEnum(dispid);
    if (!p)
        return COleControl::OnGetDisplayString(dispid, strValue);
    const short value = this->*(p->member);
    for (const EnumEntry& e : runOf(*p)) {
        if (e.value == value) {
            CString text;
            AfxLoadString(e.stringId, text);
            strValue = text;
            return TRUE;
        }
    }
    // The browser then shows the number itself.
    return FALSE;
}

BOOL CLumvexCtrl::OnGetPredefinedStrings(DISPID dispid, std::vector<CString>* pStringArray,
                                         std::vector<DWORD>* pCookieArray)
{
    const EnumProperty* p = findEnum(dispid);
    if (!p || !p->hasList)
        return COleControl::OnGetPredefinedStrings(dispid, pStringArray, pCookieArray);
    for (const EnumEntry& e : runOf(*p)) {
        CString text;
        AfxLoadString(e.stringId, text);
        char number[16];
        std::snprintf(number, sizeof number, "%d - ", int(e.value));
        pStringArray->push_back(number + text);
        pCookieArray->push_back(DWORD(e.value));
    }
    return TRUE;
}

BOOL CLumvexCtrl::OnGetPredefinedValue(DISPID dispid, DWORD dwCookie, VARIANT* lpvarOut)
{
    if (!takesPredefinedValue(dispid))
        return COleControl::OnGetPredefinedValue(dispid, dwCookie, lpvarOut);
    VariantClear(lpvarOut);
    lpvarOut->vt = VT_I2;
    lpvarOut->iVal = short(dwCookie);
    return TRUE;
}

BOOL CLumvexCtrl::OnMapPropertyToPage(DISPID dispid, CLSID* lpclsid, BOOL* pbPageOptional)
{
    switch (dispid) {
    case dispidPictureTranspColor:
    case dispidBackColorContainer:
    case dispidHighlightColor:
    case dispidShadowColor:
    case dispidTextureColorMix:
    case dispidForeColorDisabled:
    case dispidBackColorDisabled:
    case dispidBackColorMouseOver:
    case dispidBackColorFocus:
    case dispidBackColorInterior:
    case dispidForeColorMouseOver:
    case DISPID_FORECOLOR:
    case DISPID_BACKCOLOR:
        *lpclsid = CLSID_StockColorPage;
        *pbPageOptional = TRUE;
        return TRUE;
    case dispidFontTextLT:
    case dispidFontTextCT:
    case dispidFontTextRT:
    case dispidFontTextLM:
    case dispidFontTextRM:
    case dispidFontTextLB:
    case dispidFontTextCB:
    case dispidFontTextRB:
    case dispidFontTextCaption:
        *lpclsid = CLSID_StockFontPage;
        *pbPageOptional = TRUE;
        return TRUE;
    default: return COleControl::OnMapPropertyToPage(dispid, lpclsid, pbPageOptional);
    }
}

BOOL CLumvexCtrl::OnProperties(win::MSG* lpMsg, win::HWND hWndParent, const RECT* lpRect)
{
    // A running program's user gets no property pages.
    if (AmbientUserMode())
        return FALSE;
    return COleControl::OnProperties(lpMsg, hWndParent, lpRect);
}
