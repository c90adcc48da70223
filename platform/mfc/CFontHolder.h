#pragma once
// Holds one font object for a control's font property: made from a
// description or copied from another font, its changes reported to the
// control's notification sink, and turned into the LOGFONT and the font
// handle the drawing layer draws text with.

#include "platform/com/StdFont.h"
#include "platform/gdi/GdiDraw.h"

// "MS Sans Serif" 8 points, normal weight, default character set.
const FONTDESC& AfxDefaultFontDesc();

class CFontHolder {
public:
    // pNotify hears each change of the held font (may be null).
    explicit CFontHolder(IPropertyNotifySink* pNotify);
    ~CFontHolder();
    CFontHolder(const CFontHolder&) = delete;
    CFontHolder& operator=(const CFontHolder&) = delete;

    // A copy of pFontDispAmbient when it is a font, else a new font of the
    // description (the default one for null).
    void InitializeFont(const FONTDESC* pFontDesc = nullptr, IDispatch* pFontDispAmbient = nullptr);
    // Holds pNewFont (adding a reference of its own); null drops the font.
    void SetFont(IFont* pNewFont);
    void ReleaseFont();

    // The held font, or null.
    IFont* m_pFont = nullptr;
    // The font's dispatch interface with a reference for the caller, or null.
    IDispatch* GetFontDispatch() const;

    // The font as a LOGFONT for a device of dpi dots per inch (height in
    // pixels from the size in points); FALSE without a font.
    BOOL GetLogFont(LOGFONT* plf, int dpi) const;
    // A font handle at the screen's DPI, owned by the holder and remade when
    // the font has changed; null without a font.
    HFONT GetFontHandle();

private:
    void connect();
    void disconnect();

    IPropertyNotifySink* m_pNotify;
    DWORD m_dwConnectCookie = 0;
    HFONT m_hFont = nullptr;
    LOGFONT m_lfHandle{};
};
