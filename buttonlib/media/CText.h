#pragma once
// One text layer of the button: the text with its colours, offsets, 3D
// effect and angle. The text is UTF-8 in memory and Windows-1252 bytes in
// every stored form; its length is counted in characters, which is the
// stored byte count.
//
// Stored form (the blob's archive): DWORD L, DWORD foreground, DWORD
// mouse-over, WORD x, WORD y, WORD effect, WORD factor, WORD angle, DWORD
// pressed (only when exchanged above version 0x5FFFF), then the L text
// bytes. An empty text stores nothing at all.

#include "buttonlib/media/CBlob.h"

class CText : public CBlob {
    DECLARE_SERIAL(CText)

public:
    // The version the control exchanges its properties at.
    static constexpr DWORD kCurrentVersion = 0x60000;

    CText();
    ~CText() override;

    void SetText(const CString& text);
    CString GetText() const { return text; }
    DWORD GetLength() const { return length; }
    BOOL IsLoaded() const { return loaded; }
    DWORD GetExchangeVersion() const { return exchangeVersion; }

    COLORREF GetForeColor() const { return foreColor; }
    void SetForeColor(COLORREF c) { foreColor = c; }
    COLORREF GetMouseOverColor() const { return mouseOverColor; }
    void SetMouseOverColor(COLORREF c) { mouseOverColor = c; }
    COLORREF GetPressedColor() const { return pressedColor; }
    void SetPressedColor(COLORREF c) { pressedColor = c; }
    short GetXOffset() const { return xOffset; }
    void SetXOffset(short v) { xOffset = v; }
    short GetYOffset() const { return yOffset; }
    void SetYOffset(short v) { yOffset = v; }
    // 0 None, 1 Raised, 2 Sunken, 3 Floating.
    short GetEffect() const { return effect; }
    void SetEffect(short v) { effect = v; }
    short GetEffectFactor() const { return effectFactor; }
    void SetEffectFactor(short v) { effectFactor = v; }
    // 0 = 0 degrees, 1 = 90 ccw, 2 = 45 ccw, 3 = 45 cw, 4 = 90 cw.
    short GetAngle() const { return angle; }
    void SetAngle(short v) { angle = v; }

    void Serialize(CArchive& ar) override;
    void ExchangeBlob(CPropExchange* pPX, LPCTSTR name) override;
    void SerializeEx(CArchive& ar, BOOL bCompressed) override;
    BOOL LoadData(CArchive& ar) override;
    BOOL StoreData(CArchive& ar) override;
    // Template form: the seven layout fields, then with a non-zero low word
    // of the flag the pressed colour and the text as an archive string.
    virtual void SerializeSettings(CArchive& ar, WORD flag);
    virtual void SerializeLayout(CArchive& ar);

    // The whole file as the text (up to its first NUL byte; read as UTF-8
    // where it is valid, else as Windows-1252). FALSE on a file error.
    BOOL Load(LPCTSTR path);
    // Writes the text to a new file (UTF-8); an empty text gives an empty
    // file. FALSE on a file error, the old file kept.
    BOOL Save(LPCTSTR path);

private:
    void storeFields(CArchive& ar);

    COLORREF foreColor = 0;
    COLORREF mouseOverColor = 0;
    COLORREF pressedColor = 0;
    short xOffset = 0;
    short yOffset = 0;
    short effect = 0;
    short effectFactor = 1;
    short angle = 0;
    DWORD length = 0;
    CString text;
    BOOL loaded = FALSE;
    // Defined from the start, so a text serialised outside an exchange is
    // stored in the current form.
    DWORD exchangeVersion = kCurrentVersion;
};
