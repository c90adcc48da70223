#pragma once
// The button control: an owner-drawn button that paints everything itself,
// with its pictures, animations, sounds, cursor, texts and fonts as members.
// One object per button placed in a container.
//
// Members are public in the framework's manner: the property page and the
// settings dialogs of the editor work on them directly.

#include "buttonlib/control/ControlIds.h"
#include "buttonlib/media/CAnim.h"
#include "buttonlib/media/CColor.h"
#include "buttonlib/media/CCursor.h"
#include "buttonlib/media/CDIB.h"
#include "buttonlib/media/CSound.h"
#include "buttonlib/media/CText.h"

#include "platform/gdi/GdiDraw.h"
#include "platform/mfc/CFontHolder.h"
#include "platform/mfc/COleControl.h"
#include "platform/win/Accelerators.h"
#include "platform/win/CursorService.h"

#include <array>
#include <vector>

class CLumvexCtrl final : public COleControl {
public:
    CLumvexCtrl();
    ~CLumvexCtrl() override;

    // The tables of _DLumvex and _DLumvexEvents.
    static const com::DispatchTable& DispatchMap();
    static const com::DispatchTable& EventMap();
    const com::DispatchTable& GetDispatchMap() const override { return DispatchMap(); }
    const com::DispatchTable& GetEventMap() const override { return EventMap(); }
    HRESULT GetClassID(CLSID* pclsid) override;
    UINT GetUserTypeNameID() override;
    DWORD GetMiscStatus() override;
    const CLSID* GetPropPageIDs(ULONG& cPropPages) override;
    BOOL IsSubclassedControl() override;
    BOOL PreCreateWindow(win::CREATESTRUCT& cs) override;

    void DoPropExchange(CPropExchange* pPX) override;
    void OnResetState() override;
    void OnDraw(HDC hdc, const RECT& rcBounds, const RECT& rcInvalid) override;
    BOOL OnSetExtent(const SIZEL* pSize) override;
    BOOL OnSetObjectRects(const RECT* lprcPosRect, const RECT* lprcClipRect) override;
    BOOL OnQueryHitPoint(DWORD dwAspect, const RECT* pRectBounds, POINT ptlLoc, LONG lCloseHint,
                         DWORD* pHitResult) override;
    void OnAmbientPropertyChange(DISPID dispid) override;
    // The about box (stock AboutBox).
    void AboutBox() override;

    // Repaints the button: with bRebuild the window region and the faces are
    // rebuilt and the container told (ContainerNeedRefresh), or the rebuild is
    // left pending while automatic refresh is off at run time.
    void InvalidateButton(BOOL bRebuild);
    // The repaint after a property change.
    void RefreshAfterChange();

    // The windows told (UM_LOAD_DONE) when a download an editor dialog
    // started ends; null stops the notification.
    void SetPictureLoadNotifyWnd(win::HWND hWnd) { m_hWndPictureLoadNotify = hWnd; }
    void SetSoundLoadNotifyWnd(win::HWND hWnd) { m_hWndSoundLoadNotify = hWnd; }

    // Drawing work of the refresh paths (the faces, their caches and regions).
    void BuildWindowRegion();
    void BuildClipRegion();
    void RefreshButton();

    // What the refresh paths do, in order, is told to *m_pTrace when set (tests).
    enum class Step { WindowRegion, ClipRegion, RefreshButton, InvalidateErase, InvalidateNoErase, NeedRefresh };
    std::vector<Step>* m_pTrace = nullptr;

    // --- 1. Media paths -------------------------------------------------------
    CString m_SoundDown, m_SoundUp, m_Cursor, m_SoundMouseOver, m_SoundMouseOut;
    CString m_Picture, m_PicturePressed, m_PictureMouseOver, m_PictureCustom;
    BOOL m_EnableInternetLoadAtDT = FALSE;
    CString m_Texture, m_PictureDisabled;

    // --- 2. Surface colour tables: normal, interior, mouse over, focus,
    // disabled, pressed.
    CColor m_colorBack, m_colorIntern, m_colorMO, m_colorFocus, m_colorDisabled, m_colorPressed;

    // --- 3. Colours ---------------------------------------------------------
    OLE_COLOR m_BackColorContainer = 0;
    OLE_COLOR m_PictureTranspColor = 0x808000;
    OLE_COLOR m_HighlightColor = 0;
    OLE_COLOR m_ShadowColor = 0;
    OLE_COLOR m_ForeColorDisabled = 0x808080;

    // --- 4. Shape, surface and behaviour --------------------------------------
    short m_Shape = 0;
    short m_Roundness = 4;
    float m_fRoundDivisor = 3.5f; // from Roundness, used by drawing
    short m_Slant = 4;
    float m_fSlantDivisor = 2.66f; // from Slant, used by drawing
    short m_Surface = 0;
    short m_FlatPillowFactor = 4;
    short m_ShadowMode = 0;
    short m_PicturePosition = 0;
    short m_PictureXOffset = 0;
    short m_PictureYOffset = 0;
    short m_FocusMode = 0;
    short m_PictureTranspMode = 1;
    BOOL m_ButtonCustomRaised = TRUE;
    short m_ButtonRaiseFactor = 1;
    BOOL m_ButtonCustomFitPicture = FALSE;
    BOOL m_MovePictureOnPress = TRUE;
    short m_CaptionWordWrapPerc = 90;
    CString m_Hyperlink;
    short m_SmoothEdges = 0;
    CString m_TagEx;
    BOOL m_PictureKeepRatio = TRUE;
    short m_SpecialEffect = 0;
    short m_SpecialEffectFactor = 0;
    BOOL m_Clickable = TRUE;
    BOOL m_bMouseCapture = FALSE;
    BOOL m_IgnoreSpaceBar = FALSE;
    short m_Optimization = 0;
    short m_TextureMode = 1;
    short m_TextureLightIntensity = 40;
    OLE_COLOR m_TextureColorMix = 0;
    short m_TextureColorMixPerc = 50;
    short m_TextureBevelFactor = 4;
    short m_Style = 0;

    // --- 5. Window shape (owned by drawing) -----------------------------------
    HRGN m_hWindowRgn = nullptr; // hit test and clipping of the button
    HRGN m_hClipRgn = nullptr;

    // --- 6. Mouse and focus -----------------------------------------------------
    BOOL m_bMouseOver = FALSE;
    BOOL m_bFocus = FALSE;
    BOOL m_bAccelerator = FALSE;
    win::HACCEL m_hAccel = nullptr;
    BOOL m_bReloadOnCreate = TRUE;
    win::HWND m_hWndPictureLoadNotify = nullptr;
    win::HWND m_hWndSoundLoadNotify = nullptr;

    // --- 7. Bitmaps: the whole-button image the older versions store as
    // "btn", the eight media pictures, and the drawing caches.
    CDIB m_dibBtn;
    CDIB m_dibPicture, m_dibPicturePressed, m_dibPictureMouseOver, m_dibPictureDisabled;
    CDIB m_dibPictureCustom; // the custom-shape mask
    CDIB m_dibTexture, m_dibTexturedBtn, m_dibTexturedBtnPressed;
    std::array<CDIB, 10> m_dibCache;

    // --- 9. Animations and their frame counters -----------------------------
    CAnim m_aviPicture, m_aviPicturePressed, m_aviPictureMouseOver;
    int m_nFrameNormal = 0;
    int m_nFramePressed = 0;
    int m_nFrameMouseOver = 0;

    // --- 11. Sounds: down, up, mouse over, mouse out ------------------------
    CSound m_sndDown, m_sndUp, m_sndMouseOver, m_sndMouseOut;
    std::array<BOOL, 4> m_bSoundEnabled{TRUE, TRUE, TRUE, TRUE};
    std::array<BOOL, 4> m_bSoundThread{FALSE, FALSE, FALSE, FALSE};

    // --- 13. Cursor -----------------------------------------------------------
    CCursor m_curCursor;
    win::HCURSOR m_hCursor = nullptr;

    // --- 14. Refresh state ------------------------------------------------------
    BOOL m_bAutomaticRefresh = TRUE;
    BOOL m_bRefreshPending = FALSE;
    BOOL m_bEditorOpen = FALSE;
    BOOL m_bClickArmed = TRUE;
    BOOL m_bRebuildFaces = FALSE;

    // --- 15. The button's client rectangle in device pixels ---------------------
    RECT m_rcButton{0, 0, 0, 0};

    // --- 16-18. Texts around the button: caption, then left, centre and right
    // at top, middle and bottom (no centre middle); their fonts and visibility.
    static constexpr int kTextCount = 9;
    std::array<CText, kTextCount> m_text;
    std::array<CFontHolder, kTextCount> m_font;
    std::array<BOOL, kTextCount> m_bTextVisible{TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE};

    // --- 19-21. Persisted values -----------------------------------------------
    short m_LogPixels = 0; // the screen resolution the button was last stored at
    BOOL m_bPropertiesExchanged = FALSE;
    double m_UserData = 0;
    LONG m_Res = 0;
    LONG m_BitsPix = 0;

    // --- 22. Drawing states -------------------------------------------------------
    BOOL m_bExporting = FALSE;
    BOOL m_bPressedLook = FALSE;
    BOOL m_bPointerInside = FALSE;
    BOOL m_bChecked = FALSE;

    // --- 23-25. Templates and editor -----------------------------------------------
    short m_nEditingTplMode = 0;
    CString m_strTplPicturesDir, m_strTplTextureDir, m_strTplSoundsDir, m_strTplCursorDir;
    POINT m_ptEditProperties{0, 0};
    OLE_COLOR m_NSContainerColor = OLE_COLOR(-1);

    // The fonts' descriptions when nothing is stored: the caption's and the
    // other texts'.
    static const FONTDESC& CaptionFontDesc();
    static const FONTDESC& TextFontDesc();

private:
    void trace(Step step);
    void invalidate(BOOL bErase);
};
