#pragma once
// The button control: an owner-drawn button that paints everything itself,
// with its pictures, animations, sounds, cursor, texts and fonts as members.
// One object per button placed in a container.
//
// Members are public in the framework's manner: the property page and the
// settings dialogs of the editor work on them directly.

#include "buttonlib/control/CNetDownloadFile.h"
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
#include <functional>
#include <memory>
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

    // --- Bitmap operations and regions (CLumvexCtrl_bitmaps.cpp) -------------
    // The picture to draw in the rectangle: the bitmap itself when it fits,
    // else a new one shrunk into it (with PictureKeepRatio its proportions
    // kept); null for an empty rectangle or a bitmap that cannot be read.
    // Takes over the bitmap given: what is not returned is deleted.
    HBITMAP FitPictureToFace(HDC hdc, HBITMAP hbm, const RECT& rect);
    // The picture stretched to the rectangle less one pixel on each side;
    // takes over the bitmap as above.
    HBITMAP StretchPictureToFace(HDC hdc, HBITMAP hbm, const RECT& rect);
    // Where a bw x bh picture too large for the rectangle goes in it: the
    // whole rectangle, or with keepRatio the centred part of its proportions.
    static RECT FitPictureTarget(const RECT& rect, int bw, int bh, BOOL keepRatio);
    // The colour behind the button: the one SetNSContainerColor gave, else
    // the container's ambient BackColor.
    COLORREF GetContainerBackColor();
    // Paints a mask shape's bevel onto the face at the rectangle's corner:
    // the mask (one bit, shape black, outside white) tiled with the face
    // copy, the outside in the container colour (black around a focused
    // button with FocusMode 1), the top-left band in colour1 and the
    // bottom-right band in colour2 (exchanged when not raised).
    void DrawMaskBevel(HDC hdc, HBITMAP hMask, HBITMAP hFaceCopy, BOOL bRaised, COLORREF colour1, COLORREF colour2,
                       UINT itemState, const RECT& rect);
    // The region of the bitmap's pixels outside the transparent colour range
    // (the colour up to colour + tolerance, channel by channel); null when
    // no pixel is opaque or the bitmap cannot be read.
    static HRGN BitmapToRegion(HBITMAP hbm, COLORREF transparent, COLORREF tolerance);

    // ===== Face drawing (CLumvexCtrl_faces.cpp, CLumvexCtrl_edges.cpp,
    // CLumvexCtrl_caption.cpp) ==================================================
    // The faces a button shows; the paint keeps one cached bitmap of each.
    enum class Face { Normal, Focus, MouseOver, Pressed, PressedFocus, PressedMouseOver, Disabled };
    // Draws face `face` of the current properties for a button of rect's
    // size into hdc, its top-left corner at rect's: the item flags and the
    // mouse-over and focus flags of the state are set for the duration
    // (Pressed also sets the mouse-over flag for a push button), textured
    // faces are built when they are missing. FALSE for an empty rectangle.
    BOOL RenderFace(HDC hdc, const RECT& rect, Face face);
    // Renders one face into target (replaced) for rect with the item flags
    // (ODS_SELECTED, ODS_DISABLED, ODS_FOCUS) and the control's own mouse-over
    // and focus flags as they stand. The bitmap reaches rect's right and
    // bottom edge (rect's size when it starts at the origin), so a face drawn
    // for a rectangle shrunk by one pixel stays in place.
    BOOL RenderFace(CDIB& target, const RECT& rect, UINT itemState);
    // The texture tiled over a face of rect's size and lit by a grey bevel map
    // of the face: m_dibTexturedBtn (or m_dibTexturedBtnPressed), with the map
    // in m_dibTextureBevel (m_dibTextureBevelPressed).
    BOOL BuildTexturedFace(const RECT& rect, BOOL bPressed);
    // The shape's region for a rectangle (owned by the caller), its shape
    // geometry set as SetShapeGeometry sets it; with geometry the light
    // geometry is set too.
    HRGN BuildShapeRegion(const RECT& rect, BOOL bWithGeometry);
    // The shape's geometry for a rectangle, without a region: the divisors,
    // the rounded corner, the parallelogram's points, or for the mask shapes
    // the stretched mask and inner region.
    void SetShapeGeometry(const RECT& rect);
    // The light spots, ring step and ring count of a face of rect's size.
    void SetLightGeometry(const RECT& rect);
    // The colour table of a state: disabled, then (with bUseState) pressed,
    // mouse over, focus and interior, else the normal one.
    const CColor& GetSurfaceTable(BOOL bUseState, UINT itemState) const;
    // Highlight and shadow of edges and text effects; never pure black.
    void GetEdgeColors(BOOL bPressedLook, COLORREF* pHighlight, COLORREF* pShadow) const;
    // The radial shade: rounded rings from the spot's edge to its centre.
    void DrawRings(HDC hdc, const RECT& rect, BOOL bHighlightSpot, BOOL bUseState, UINT itemState);
    // Background frame, shadow, special-effect bands and flat pillow; rect
    // becomes the button's body (less the shadow's room).
    void DrawSurface(HDC hdc, RECT& rect, UINT itemState);
    // The caption over the face, wrapped, with its effect and angle.
    void DrawCaption(HDC hdc, const RECT& rect, UINT itemState);
    // The text of position 1 to 8 (left top ... right bottom), on one line.
    void DrawAuxText(HDC hdc, const RECT& rect, UINT itemState, int position);
    // A picture (or caption bitmap) drawn with its key colour transparent;
    // depth is the bits per pixel of the picture it came from.
    void DrawTransparentBitmap(HDC hdc, const RECT& rect, HBITMAP hbm, BOOL bIsPicture, int depth);
    // Top-left corner of a bw x bh picture in rect by PicturePosition and the
    // picture offsets.
    POINT PlacePicture(const RECT& rect, int bw, int bh) const;
    // Every other pixel of rect in the grey text colour.
    void DrawDisabledLook(HDC hdc, const RECT& rect);
    // BackColorContainer when set, else the colour behind the button.
    COLORREF GetFaceContainerColor();
    // An OLE colour as RGB, system colours looked up.
    static COLORREF TranslateOleColor(OLE_COLOR color);
    // The corner and slant divisors from Roundness and Slant; a value out of
    // range keeps the last valid divisor.
    void DeriveShapeDivisors();

    struct RgnDeleter {
        void operator()(HRGN h) const { DeleteObject(h); }
    };
    using OwnedRgn = std::unique_ptr<HRGN__, RgnDeleter>;
    // Geometry of the last shape region built.
    SIZE m_sizeCorner{1, 1};
    std::array<POINT, 4> m_ptParallelogram{};
    RECT m_rcHighlightSpot{0, 0, 0, 0};
    RECT m_rcShadowSpot{0, 0, 0, 0};
    SIZE m_sizeRingStep{1, 1};
    int m_nRings = 0;
    // Mask shapes: the mask (shape white on black) stretched to the last
    // rectangle and the eroded inner region.
    CDIB m_dibStretchedMask;
    OwnedRgn m_hInnerRgn;
    // Scratch of face rendering: the whole shape of the face.
    OwnedRgn m_hRgnOuter;
    // The size of the face bitmap being rendered.
    SIZE m_sizeFace{0, 0};
    // Mask shapes built while faces render, by size: the properties do not
    // change meanwhile, and each part of each face asks for the shape again.
    struct MaskCacheEntry {
        int w = 0;
        int h = 0;
        OwnedRgn region;
        OwnedRgn inner;
        CDIB mask;
    };
    std::vector<std::unique_ptr<MaskCacheEntry>> m_maskCache;
    // Faces built together share their mask shapes and scratch bitmaps
    // (FaceBatch.h): the outermost batch while one lives.
    class FaceBatch;
    FaceBatch* m_pFaceBatch = nullptr;

    // The faces per shape: surface, then edges.
    void DrawRectangleFace(HDC hdc, const RECT& rect, UINT itemState);
    void DrawParallelogramFace(HDC hdc, const RECT& rect, UINT itemState);
    void DrawEllipseFace(HDC hdc, const RECT& rect, UINT itemState);
    void DrawMaskFace(HDC hdc, const RECT& rect, UINT itemState);

private:
    // A mask as one-bit rows, top down, set outside the shape.
    struct MaskRows {
        std::vector<DWORD> rows;
        int width = 0;
        int height = 0;
    };
    // The bevel over the face that drawFace lays into a bitmap of the mask's size.
    void drawMaskBevel(HDC hdc, const MaskRows& outside, BOOL bRaised, COLORREF colour1, COLORREF colour2,
                       UINT itemState, const RECT& rect, const std::function<bool(HDC)>& drawFace);
    MaskRows maskOutside(int w, int h) const;
    std::vector<DWORD> textShapeRows(int w, int h);
    const MaskCacheEntry* placeMaskShape(const RECT& rect, std::unique_ptr<MaskCacheEntry>& made);
    void makeMaskShape(MaskCacheEntry& entry);
    void clipToShape(HDC hdc, const RECT& rect);
    void blurInside(HDC hdc, HRGN region, int passes);
    BOOL composeTexture(CDIB& target, bool pressed);
    void drawInnerPillow(HDC hdc, const RECT& rect, UINT itemState, int minInset, HRGN clip);
    void drawTextLayer(HDC hdc, int index, UINT itemState, RECT rect, UINT format);
    COLORREF textColor(int index, UINT itemState) const;

public:
    // ===== End of face drawing ====================================================

    // ===== Media loading and network downloads (CLumvexCtrl_media.cpp,
    // CLumvexCtrl_download.cpp) ===================================================
    // The notice posted to an editor window when a download it asked for
    // ends; wParam packs kind, index and success (UnpackLoadDone).
    static constexpr UINT UM_LOAD_DONE = win::WM_USER + 103;
    struct LoadDone {
        short kind = 0;
        short index = 0;
        BOOL success = FALSE;
    };
    static win::WPARAM PackLoadDone(short kind, short index, BOOL success);
    static LoadDone UnpackLoadDone(win::WPARAM wParam);
    // The last three characters of a path in lower case: what names its format.
    static std::string MediaExtension(const CString& path);

    // Loads a picture property's media (DISPIDs 6, 7, 8, 73, 96) from a
    // local file, or starts its download for an http address; TRUE when
    // loaded or started. Failures are told with a message box.
    BOOL LoadMediaFile(const CString& path, DISPID dispid);
    // The shape mask from PictureCustom: a one-bit BMP or PNG, framed by one
    // pixel of colour index 0; http and ftp addresses download.
    BOOL LoadCustomMask(const CString& path);
    // A sound property's WAVE file (DISPIDs 1, 2, 4, 5), or its download.
    BOOL LoadSoundFile(const CString& path, DISPID dispid);
    // Load a picture or sound property's media again only when its path is
    // an address.
    BOOL ReloadMediaFromUrl(DISPID dispid);
    // Window creation: the media named by addresses are fetched again (local
    // files came with the stored properties) and an empty PictureCustom
    // gets the built-in mask; the cursor is made from its stored bytes.
    void ReloadNetworkMedia();
    // Window destruction: every download is closed.
    void CloseDownloads();

    // Downloads: pictures 0..5, animations 0..2, sounds 0..3; FALSE with no
    // event for another index, FALSE and the done event with FALSE for an
    // address whose extension is no media of the kind.
    BOOL SetPictureFromNet(short index, CString address, CString username, CString password);
    BOOL SetAnimFromNet(short index, CString address, CString username, CString password);
    BOOL SetSoundFromNet(short index, CString address, CString username, CString password);

    // What a state shows: its picture when it has one, else its animation
    // when it has frames, else nothing (both null).
    struct StateMedia {
        CDIB* picture = nullptr;
        CAnim* animation = nullptr;
    };
    StateMedia GetNormalMedia();
    StateMedia GetPressedMedia();
    StateMedia GetMouseOverMedia();
    CDIB* GetDisabledPicture();

    // The end of a download: builds the media from the bytes and reports.
    void OnPictureDownloaded(NetLoadRequest& request);
    void OnAnimDownloaded(NetLoadRequest& request);
    void OnSoundDownloaded(NetLoadRequest& request);
    void OnLoadDone(NetLoadRequest& request);

    // Slots 0..5 pictures (0..2 also animations), 6..9 sounds.
    static constexpr int kDownloadSlots = 10;
    std::array<CNetDownloadFile, kDownloadSlots> m_download;

private:
    BOOL startNetLoad(short kind, short index, CString address, CString username, CString password);
    void startStateAnimation(short index);
    void loadFailed(UINT nIDS, const CString& path);
    // The members behind a picture index (0 normal, 1 pressed, 2 mouse over,
    // 3 shape mask, 4 texture, 5 disabled; animations for 0..2) and a sound
    // index (0 down, 1 up, 2 mouse over, 3 mouse out); all null for another.
    struct PictureState {
        CDIB* picture = nullptr;
        CAnim* anim = nullptr;
        CString* path = nullptr;
        DISPID dispid = 0;
    };
    struct SoundState {
        CSound* sound = nullptr;
        CString* path = nullptr;
        DISPID dispid = 0;
    };
    PictureState pictureState(short index);
    SoundState soundState(short index);
    // The index of a picture or sound DISPID; -1 for any other.
    short pictureIndexOf(DISPID dispid);
    short soundIndexOf(DISPID dispid);
    StateMedia stateMedia(short index);
    // The path property of a media DISPID (null for any other), and a
    // finished download's address taken into it.
    CString* mediaPath(DISPID dispid);
    void takeDownloadedPath(DISPID dispid, const CString& address);
    // The notifications' loads: a path that does not load is cleared.
    void loadSoundPath(CString& path, CSound& sound, DISPID dispid);
    void loadPicturePath(CString& path, CDIB& picture, CAnim* animation, DISPID dispid);

public:
    // ===== End of media loading and network downloads ============================

    // --- Properties of _DLumvex (CLumvexCtrl_properties.cpp) ------------------
    // Each setter stores the value, tells the container (BoundPropertyChanged),
    // marks the control modified and repaints as the property needs; values
    // out of range are reset (with a message at design time), ignored or
    // clamped, per property.
    CString GetSoundDown() const { return m_SoundDown; }
    void SetSoundDown(CString value);
    CString GetSoundUp() const { return m_SoundUp; }
    void SetSoundUp(CString value);
    CString GetCursor() const { return m_Cursor; }
    void SetCursor(CString value);
    CString GetSoundMouseOver() const { return m_SoundMouseOver; }
    void SetSoundMouseOver(CString value);
    CString GetSoundMouseOut() const { return m_SoundMouseOut; }
    void SetSoundMouseOut(CString value);
    CString GetPicture() const { return m_Picture; }
    void SetPicture(CString value);
    CString GetPicturePressed() const { return m_PicturePressed; }
    void SetPicturePressed(CString value);
    CString GetPictureMouseOver() const { return m_PictureMouseOver; }
    void SetPictureMouseOver(CString value);
    CString GetPictureCustom() const { return m_PictureCustom; }
    void SetPictureCustom(CString value);
    BOOL GetEnableInternetLoadAtDT() const { return m_EnableInternetLoadAtDT; }
    void SetEnableInternetLoadAtDT(BOOL value);
    CString GetTexture() const { return m_Texture; }
    void SetTexture(CString value);
    CString GetPictureDisabled() const { return m_PictureDisabled; }
    void SetPictureDisabled(CString value);

    // The notifications after a media path (or EnableInternetLoadAtDT) has
    // been stored; the editor calls them after writing the member itself.
    void OnSoundDownChanged();
    void OnSoundUpChanged();
    void OnCursorChanged();
    void OnSoundMouseOverChanged();
    void OnSoundMouseOutChanged();
    void OnPictureChanged();
    void OnPicturePressedChanged();
    void OnPictureMouseOverChanged();
    void OnPictureCustomChanged();
    void OnEnableInternetLoadAtDTChanged();
    void OnTextureChanged();
    void OnPictureDisabledChanged();

    short GetShape() const { return m_Shape; }
    void SetShape(short value);
    short GetRoundness() const { return m_Roundness; }
    void SetRoundness(short value);
    short GetSlant() const { return m_Slant; }
    void SetSlant(short value);
    short GetSurface() const { return m_Surface; }
    void SetSurface(short value);
    OLE_COLOR GetPictureTranspColor() const { return m_PictureTranspColor; }
    void SetPictureTranspColor(OLE_COLOR value);
    // The fonts of the texts around the button (position 1..8) and of the
    // caption (position 0), with a reference for the caller.
    IDispatch* GetFontText(int position) const;
    void SetFontText(int position, IDispatch* font);
    IDispatch* GetFontTextLT() const { return GetFontText(1); }
    void SetFontTextLT(IDispatch* font) { SetFontText(1, font); }
    IDispatch* GetFontTextCT() const { return GetFontText(2); }
    void SetFontTextCT(IDispatch* font) { SetFontText(2, font); }
    IDispatch* GetFontTextRT() const { return GetFontText(3); }
    void SetFontTextRT(IDispatch* font) { SetFontText(3, font); }
    IDispatch* GetFontTextLM() const { return GetFontText(4); }
    void SetFontTextLM(IDispatch* font) { SetFontText(4, font); }
    IDispatch* GetFontTextRM() const { return GetFontText(5); }
    void SetFontTextRM(IDispatch* font) { SetFontText(5, font); }
    IDispatch* GetFontTextLB() const { return GetFontText(6); }
    void SetFontTextLB(IDispatch* font) { SetFontText(6, font); }
    IDispatch* GetFontTextCB() const { return GetFontText(7); }
    void SetFontTextCB(IDispatch* font) { SetFontText(7, font); }
    IDispatch* GetFontTextRB() const { return GetFontText(8); }
    void SetFontTextRB(IDispatch* font) { SetFontText(8, font); }
    IDispatch* GetFontTextCaption() const { return GetFontText(0); }
    void SetFontTextCaption(IDispatch* font) { SetFontText(0, font); }
    short GetPicturePosition() const { return m_PicturePosition; }
    void SetPicturePosition(short value);
    short GetPictureXOffset() const { return m_PictureXOffset; }
    void SetPictureXOffset(short value);
    short GetPictureYOffset() const { return m_PictureYOffset; }
    void SetPictureYOffset(short value);
    short GetPictureTranspMode() const { return m_PictureTranspMode; }
    void SetPictureTranspMode(short value);
    BOOL GetButtonCustomRaised() const { return m_ButtonCustomRaised; }
    void SetButtonCustomRaised(BOOL value);
    OLE_COLOR GetBackColorContainer() const { return m_BackColorContainer; }
    void SetBackColorContainer(OLE_COLOR value);
    BOOL GetMovePictureOnPress() const { return m_MovePictureOnPress; }
    void SetMovePictureOnPress(BOOL value);
    short GetButtonRaiseFactor() const { return m_ButtonRaiseFactor; }
    void SetButtonRaiseFactor(short value);
    OLE_COLOR GetHighlightColor() const { return m_HighlightColor; }
    void SetHighlightColor(OLE_COLOR value);
    OLE_COLOR GetShadowColor() const { return m_ShadowColor; }
    void SetShadowColor(OLE_COLOR value);
    BOOL GetButtonCustomFitPicture() const { return m_ButtonCustomFitPicture; }
    void SetButtonCustomFitPicture(BOOL value);
    CString GetHyperlink() const { return m_Hyperlink; }
    void SetHyperlink(CString value);
    short GetSmoothEdges() const { return m_SmoothEdges; }
    void SetSmoothEdges(short value);
    CString GetTagEx() const { return m_TagEx; }
    void SetTagEx(CString value);
    BOOL GetPictureKeepRatio() const { return m_PictureKeepRatio; }
    void SetPictureKeepRatio(BOOL value);
    short GetFocusMode() const { return m_FocusMode; }
    void SetFocusMode(short value);
    short GetSpecialEffect() const { return m_SpecialEffect; }
    void SetSpecialEffect(short value);
    short GetCaptionWordWrapPerc() const { return m_CaptionWordWrapPerc; }
    void SetCaptionWordWrapPerc(short value);
    short GetOptimization() const { return m_Optimization; }
    void SetOptimization(short value);
    BOOL GetClickable() const { return m_Clickable; }
    void SetClickable(BOOL value);
    OLE_COLOR GetBackColor() const { return m_colorBack.GetBaseColor(); }
    void SetBackColor(OLE_COLOR value);
    OLE_COLOR GetForeColor() const { return m_text[0].GetForeColor(); }
    void SetForeColor(OLE_COLOR value);
    BOOL GetIgnoreSpaceBar() const { return m_IgnoreSpaceBar; }
    void SetIgnoreSpaceBar(BOOL value);
    short GetSpecialEffectFactor() const { return m_SpecialEffectFactor; }
    void SetSpecialEffectFactor(short value);
    short GetTextureMode() const { return m_TextureMode; }
    void SetTextureMode(short value);
    short GetTextureLightIntensity() const { return m_TextureLightIntensity; }
    void SetTextureLightIntensity(short value);
    OLE_COLOR GetTextureColorMix() const { return m_TextureColorMix; }
    void SetTextureColorMix(OLE_COLOR value);
    short GetTextureColorMixPerc() const { return m_TextureColorMixPerc; }
    void SetTextureColorMixPerc(short value);
    short GetTextureBevelFactor() const { return m_TextureBevelFactor; }
    void SetTextureBevelFactor(short value);
    OLE_COLOR GetForeColorDisabled() const { return m_ForeColorDisabled; }
    void SetForeColorDisabled(OLE_COLOR value);
    OLE_COLOR GetBackColorDisabled() const { return m_colorDisabled.GetBaseColor(); }
    void SetBackColorDisabled(OLE_COLOR value);
    OLE_COLOR GetBackColorMouseOver() const { return m_colorMO.GetBaseColor(); }
    void SetBackColorMouseOver(OLE_COLOR value);
    OLE_COLOR GetBackColorFocus() const { return m_colorFocus.GetBaseColor(); }
    void SetBackColorFocus(OLE_COLOR value);
    OLE_COLOR GetBackColorInterior() const { return m_colorIntern.GetBaseColor(); }
    void SetBackColorInterior(OLE_COLOR value);
    OLE_COLOR GetForeColorMouseOver() const { return m_text[0].GetMouseOverColor(); }
    void SetForeColorMouseOver(OLE_COLOR value);
    short GetFlatPillowFactor() const { return m_FlatPillowFactor; }
    void SetFlatPillowFactor(short value);
    short GetShadowMode() const { return m_ShadowMode; }
    void SetShadowMode(short value);
    short GetStyle() const { return m_Style; }
    void SetStyle(short value);
    OLE_COLOR GetForeColorPressed() const { return m_text[0].GetPressedColor(); }
    void SetForeColorPressed(OLE_COLOR value);
    OLE_COLOR GetBackColorPressed() const { return m_colorPressed.GetBaseColor(); }
    void SetBackColorPressed(OLE_COLOR value);
    short GetValue() const { return short(m_bChecked); }
    void SetValue(short value);

    // Whether a media path's media go into the stored state: the marker
    // "Bmp" and local files do; addresses are loaded again from the net, and
    // nothing else names media that could be stored.
    static BOOL ShouldPersistMedia(const CString& path);
    // Whether the path's media are stored as a picture ("bmp", "png" or "jpg"
    // as its last three characters, in any case) rather than an animation.
    static BOOL IsPicturePath(const CString& path);

    // How a property change is shown: a repaint, a rebuild of the faces, a
    // rebuild of the shape (with ContainerNeedRefresh), or nothing.
    enum class FollowUp { Repaint, Faces, Shape, None };
    void PropertyChanged(DISPID dispid, FollowUp followUp);
    // The caption after a change of the stock Caption.
    void OnTextChanged() override;

    // What the refresh paths do, in order, is told to *m_pTrace when set (tests).
    enum class Step { WindowRegion, ClipRegion, RefreshButton, InvalidateErase, InvalidateNoErase, NeedRefresh };
    std::vector<Step>* m_pTrace = nullptr;

    // ===== Window messages, input, timers, event sounds and paint
    // (CLumvexCtrl_input.cpp, CLumvexCtrl_timers.cpp, CLumvexCtrl_sound.cpp,
    // CLumvexCtrl_paint.cpp) =====================================================
    // The button window's private messages.
    static constexpr UINT UM_SOUND_DONE = win::WM_USER + 102;
    static constexpr UINT UM_DO_CLICK = win::WM_USER + 104;
    static constexpr UINT UM_RADIO_UNCHECK = win::WM_USER + 105;
    // The window's timers: pointer-leave test, deferred design-time paint,
    // and the frames of the normal, mouse-over and pressed animations.
    static constexpr std::uintptr_t TIMER_MOUSE_TRACK = 1;
    static constexpr std::uintptr_t TIMER_DEFERRED_PAINT = 2;
    static constexpr std::uintptr_t TIMER_ANIM_NORMAL = 10;
    static constexpr std::uintptr_t TIMER_ANIM_MOUSEOVER = 11;
    static constexpr std::uintptr_t TIMER_ANIM_PRESSED = 12;

    // Methods: mnemonic keys from the caption for containers that ask, and
    // MouseMove events also while the button is held.
    void EnableAcceleratorForVB();
    void MouseCapture(BOOL bCapture);

    // Start a state's animation timer (stopping the other two) at frame 0;
    // only at run time with a window and frames to show.
    void StartNormalAnimation();
    void StartPressedAnimation();
    void StartMouseOverAnimation();

    // Whether a point in client coordinates lies on the button's shape.
    BOOL HitTest(POINT point);
    // What a click on the button with Hyperlink set opens: the address, or
    // empty when the text names nothing that may be opened (a program, an
    // unknown scheme, a missing file).
    static std::string HyperlinkTarget(const CString& hyperlink);

    // Event sounds: 1 down, 2 up, 4 mouse over, 5 mouse out; others none.
    void PlayEventSound(int code);
    // Plays the event's sound on a thread of its own, which posts
    // UM_SOUND_DONE when it ends; FALSE when the thread cannot start.
    BOOL StartSoundThread(int code);
    // What a sound thread is given: it owns the block and its copy of the bytes.
    struct SoundThreadParams {
        win::HWND window = nullptr;
        std::vector<BYTE> data;
        int index = 0;
    };
    static int SoundThreadProc(std::unique_ptr<SoundThreadParams> params);
    // Sound threads of every button that have not posted UM_SOUND_DONE yet.
    static int SoundThreadsRunning();

    // The paint: the owner-draw item of the window, or of an export.
    void OnOcmDrawItem(const win::DRAWITEMSTRUCT* item);
    void BuildFaces(RECT rect); // the cached faces for the rectangle
    // Face renderings into the caches, and the face the last paint drew
    // (what tests look at).
    int m_nFaceRenders = 0;
    const CDIB* m_pFaceDrawn = nullptr;
    struct PaintCache; // what a paint keeps for the next (CLumvexCtrl_paint.cpp)
    std::shared_ptr<PaintCache> m_paintCache;

    // A sound thread is playing (further threaded sounds are skipped).
    BOOL m_bSoundThreadRunning = FALSE;
    // The last BM_SETSTATE value this button saw.
    WORD m_wLastButtonState = 0;

    win::LRESULT WindowProc(UINT message, win::WPARAM wParam, win::LPARAM lParam) override;
    BOOL PreTranslateMessage(win::MSG* msg) override;

protected:
    int OnCreate(win::CREATESTRUCT* cs) override;
    void OnDestroy() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnSetFocus(win::HWND oldWnd) override;
    void OnKillFocus(win::HWND newWnd) override;
    void OnShowWindow(BOOL show, UINT status) override;
    BOOL OnSetCursor(win::HWND wnd, UINT hitTest, UINT message) override;
    void OnTimer(std::uintptr_t id) override;
    BOOL OnEraseBkgnd(HDC hdc) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnLButtonDblClk(UINT flags, POINT point) override;
    void OnClick(short iButton) override;
    void OnMnemonic(win::MSG* pMsg) override;
    void OnGetControlInfo(CONTROLINFO* pControlInfo) override;

private:
    void onSetState(WORD state);
    void onSetCheck(BOOL check);
    void onRadioUncheck();
    void onSoundDone(int index);
    // After the checked flag changed: the pressed animation, or back to the
    // mouse-over one.
    void showCheckedAnimation();
    void startAnimation(std::uintptr_t timer, const CAnim& anim, int& frame);
    void animationTick(const CAnim& anim, int& frame);
    void pointerLeaveTest();
    // Design time: repaint once the container has drawn around the button.
    void deferPaint();
    // The clip region, without the refresh trace.
    void buildClipRegion();
    void renderCache(CDIB& face, const RECT& rect, UINT itemState, BOOL bMouseOver, BOOL bFocus);
    // The rectangle the faces are built for.
    RECT faceRect() const;
    // The paint's steps: the fill behind the face, the face and the picture
    // of the state (the picture is the caller's to delete), the texts.
    COLORREF paintFill(UINT state);
    CDIB* faceOfState(UINT state, BOOL runTime);
    HBITMAP pictureOfState(UINT state, BOOL runTime, int* depth);
    void drawPicture(HDC hdc, RECT rect, HBITMAP picture, int depth);
    void drawTexts(HDC hdc, const RECT& rect, UINT state);
    void freeRegions();

public:
    // ===== End of window messages, input, timers, event sounds and paint ======

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
    // Scratch region of face rendering: the clip of the part being drawn.
    HRGN m_hRgnPartClip = nullptr;

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
    // Face caches, built by drawing.
    CDIB m_dibFaceNormal, m_dibFaceFocus, m_dibFaceMouseOver, m_dibFacePressed, m_dibFacePressedFocus,
        m_dibFacePressedMouseOver, m_dibFaceDisabled;
    CDIB m_dibTextureBevel, m_dibTextureBevelPressed, m_dibScratch;

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

    // ===== Methods, template files and property browsing
    // (CLumvexCtrl_methods.cpp, CLumvexCtrl_templates.cpp, CLumvexCtrl_browse.cpp)
    // Text positions: 0 caption, 1..8 left top .. right bottom. Surface
    // elements: 0 back, 1 mouse over, 2 focus, 3 interior, 4 disabled,
    // 5 pressed. Picture indices: 0 normal, 1 pressed, 2 mouse over, 3 shape
    // mask, 4 texture, 5 disabled; sounds 0 down, 1 up, 2 mouse over, 3 out.

    // The text-setting descriptor a caller passes by address (24 bytes).
    struct TextSettingDesc {
        DWORD color;
        DWORD colorMouseOver;
        DWORD colorPressed;
        short xOffset;
        short yOffset;
        short effect;
        short effectFactor;
        short angle;
        short padding;
    };
    // The surface-colour descriptor (8 bytes).
    struct SurfaceColorDesc {
        DWORD color;
        short gradientFactor;
        short render3D;
    };
    // Bits of SetTextSettingOnPos's nFlag: the fields left alone.
    enum : short {
        kSkipColor = 1,
        kSkipColorMouseOver = 2,
        kSkipColorPressed = 4,
        kSkipXOffset = 8,
        kSkipYOffset = 16,
        kSkipEffect = 32,
        kSkipEffectFactor = 64,
        kSkipAngle = 128,
    };

    void SetAuxText(short position, CString text, OLE_COLOR color, OLE_COLOR colorMouseOver, short xOffset,
                    short yOffset, short iEffect, short nFactor);
    CString GetAuxText(short position, OLE_COLOR* pcolor, OLE_COLOR* pcolorMouseOver, short* pxOffset,
                       short* pyOffset, short* piEffect, short* pnFactor);
    void SetAuxTextString(short position, CString text);
    void SetTextOnPos(short position, CString text) { SetAuxTextString(position, std::move(text)); }
    CString GetTextOnPos(short position);
    void SetCaptionText(CString text, OLE_COLOR color, OLE_COLOR colorMouseOver, short xOffset, short yOffset,
                        short iEffect, short nFactor, short nAngle);
    CString GetCaptionText(OLE_COLOR* pcolor, OLE_COLOR* pcolorMouseOver, short* pxOffset, short* pyOffset,
                           short* piEffect, short* pnFactor, short* pnAngle);
    void SetTextSettingOnPos(short position, const TextSettingDesc* pdesc, short nFlag);
    void GetTextSettingOnPos(short position, TextSettingDesc* pdesc);
    void SetTextVisible(short nText, BOOL bVisible);
    void SetSurfaceColor(short nElement, OLE_COLOR color, short nGradientFactor, short nRender3D);
    void GetSurfaceColor(short nElement, OLE_COLOR* pcolor, short* pnGradientFactor, short* pnRender3D);
    void SetSurfaceColorDesc(short nElement, const SurfaceColorDesc* pdesc);
    void GetSurfaceColorDesc(short nElement, SurfaceColorDesc* pdesc);
    // The memory methods read sizeData bytes at the address pData holds
    // (pointer-sized, this process's).
    LONG SetPictureFromHandle(short index, OLE_HANDLE hBmp);
    LONG SetPictureFromMemory(short index, const void* pData, LONG sizeData);
    LONG SetAnimFromMemory(short index, const void* pData, LONG sizeData);
    LONG SetSoundFromMemory(short index, const void* pData, LONG sizeData);
    LONG SetCursorFromHandle(OLE_HANDLE hCursor);
    void EnableSound(short nSound, BOOL bEnable);
    void SetSoundSync(short sound, BOOL flag);
    void SetAutomaticRefresh(BOOL bAutoRefresh);
    void InternalRefresh();
    void SetNSContainerColor(OLE_COLOR color);
    // The control's IUnknown with a reference for the caller.
    IUnknown* GetControlPtr();
    void SetEditingTplMode(short nMode) { m_nEditingTplMode = nMode; }
    void SetTemplateBinDir(short nType, CString strDirPath);
    void SetHelpLink(short nPage, CString strLink);
    void ShowEditingButtons(short lFlags, short bShow);
    // Writes the look of nImage (0 normal, 1 mouse over, 2 pressed mouse
    // over, 3 focused, 4 disabled) as nFormat 0 BMP, 1 PNG, 2 JPEG or 3 the
    // clipboard; FALSE when nothing could be written.
    BOOL ExportBtnImage(short nImage, CString strFilename, short nFormat);
    void EditProperties(OLE_COLOR colorText, OLE_COLOR colorBack, LONG x, LONG y);
    void OnKeyDownEvent(USHORT nChar, USHORT nShiftState) override;

    // Template files: 1 written or applied, 0 when the file cannot be opened,
    // written, or read whole (the control is then left as it was).
    short SaveTemplate(CString strFilename);
    short SaveTemplateEx(CString strFilename);
    short LoadTemplate(CString strFilename);
    short LoadTemplateEx(CString strFilename);
    // A media path read from an extended template, moved into the folder
    // SetTemplateBinDir gave its type (0 pictures, 1 texture, 2 sounds,
    // 3 cursor); addresses and paths without such a folder stay as they are.
    CString ResolveTemplatePath(int type, const CString& path) const;

    // Property browsing: names of enumerated values, their lists, and the
    // stock pages of colours and fonts.
    BOOL OnGetDisplayString(DISPID dispid, CString& strValue) override;
    BOOL OnGetPredefinedStrings(DISPID dispid, std::vector<CString>* pStringArray,
                                std::vector<DWORD>* pCookieArray) override;
    BOOL OnGetPredefinedValue(DISPID dispid, DWORD dwCookie, VARIANT* lpvarOut) override;
    BOOL OnMapPropertyToPage(DISPID dispid, CLSID* lpclsid, BOOL* pbPageOptional) override;
    BOOL OnProperties(win::MSG* lpMsg, win::HWND hWndParent, const RECT* lpRect) override;

    // The property page's colours while EditProperties shows it.
    OLE_COLOR m_EditColorText = 0;
    OLE_COLOR m_EditColorBack = 0;

    // Library-wide: the help links of the ten editor pages, and how the
    // editor shows its Help button (entry 0) and the page's twelve buttons
    // (show commands: 1 at first, then 5 shown or 0 hidden).
    static constexpr int kHelpLinkCount = 10;
    static constexpr int kEditButtonCount = 13;
    static inline std::array<CString, kHelpLinkCount> g_helpLinks{};
    static inline std::array<int, kEditButtonCount> g_editButtonShow{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

private:
    struct TemplateData;
    void writeTemplateBody(CArchive& ar);
    void applyTemplate(const TemplateData& data);
    void applyTemplateMedia(const TemplateData& data);
    short loadTemplateFile(const CString& strFilename, bool extended);
    CText* textAt(short position);
    CColor* surfaceAt(short nElement);
    void applyPicture(short index, const CDIB& picture);
    LONG setPictureFromBitmap(short index, HBITMAP hbm);
    // The picture one bit deep in mask: white where it shows white, black
    // elsewhere. colour is the picture as a device bitmap, or null.
    static BOOL monoMaskFrom(const CDIB& picture, HBITMAP colour, CDIB& mask);

public:
    // ===== End of methods, template files and property browsing ===============

private:
    enum class Range { Reset, Ignore, Clamp };
    struct RangeRule {
        Range style;
        short low;
        short high;
        short reset; // the value a reset gives
    };
    // The value as the rule takes it; false when it is to be ignored.
    bool applyRange(short& value, const RangeRule& rule);
    void setShort(short& member, short value, DISPID dispid, const RangeRule* rule, FollowUp followUp);
    void setSurfaceBase(CColor& element, OLE_COLOR value, DISPID dispid);
    void applyRoundness();
    void applySlant();
    // Persistence (CLumvexCtrl_persist.cpp).
    void exchangeVersionList(CPropExchange* pPX, DWORD version);
    void exchangeMediaBlobs(CPropExchange* pPX, DWORD version);
    void setOlderVersionDefaults(DWORD version);
    void resetProperties();
    void emptyFaceCaches();

    void trace(Step step);
    void invalidate(BOOL bErase);
};
