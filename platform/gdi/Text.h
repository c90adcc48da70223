#pragma once
// Fonts and text. Glyphs are drawn without antialiasing and without hinting
// from the face the substitution table of Fonts.h picks for the font's name,
// so that text looks the same on every machine with the same fonts. Strings
// are UTF-8; a count of -1 means up to the terminating NUL.

#include "platform/gdi/Gdi.h"

inline constexpr int LF_FACESIZE = 32;

struct LOGFONT {
    // Negative: the character height in pixels; positive: the cell height
    // (character height plus internal leading); 0: 8 points.
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    // 0 (any) or 1 to 1000; 400 is normal and 700 bold.
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};
static_assert(sizeof(LOGFONT) == 60);

struct TEXTMETRIC {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};

inline constexpr LONG FW_DONTCARE = 0;
inline constexpr LONG FW_NORMAL = 400;
inline constexpr LONG FW_BOLD = 700;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE NONANTIALIASED_QUALITY = 3;

// DrawText formats.
inline constexpr UINT DT_TOP = 0x0000;
inline constexpr UINT DT_LEFT = 0x0000;
inline constexpr UINT DT_CENTER = 0x0001;
inline constexpr UINT DT_RIGHT = 0x0002;
inline constexpr UINT DT_VCENTER = 0x0004;
inline constexpr UINT DT_BOTTOM = 0x0008;
inline constexpr UINT DT_WORDBREAK = 0x0010;
inline constexpr UINT DT_SINGLELINE = 0x0020;
inline constexpr UINT DT_NOCLIP = 0x0100;
inline constexpr UINT DT_CALCRECT = 0x0400;
inline constexpr UINT DT_NOPREFIX = 0x0800;

HFONT CreateFontIndirect(const LOGFONT* lf);
// The advance width and the cell height of the text in the selected font.
BOOL GetTextExtentPoint32(HDC hdc, const char* text, int count, SIZE* size);
BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm);
// Lines are tmHeight apart. DT_WORDBREAK breaks lines at blanks only, so a
// word wider than the rectangle runs over it; DT_VCENTER and DT_BOTTOM apply
// to single lines. Unless DT_NOPREFIX, "&" underlines the next character and
// "&&" shows "&". DT_CALCRECT only measures: the rectangle keeps its left
// and top and is sized to the text. The text is clipped to the rectangle
// unless DT_NOCLIP. Returns the height of the text (with DT_VCENTER or
// DT_BOTTOM the offset of its bottom from the rectangle's top), 0 on failure.
int DrawText(HDC hdc, const char* text, int count, RECT* rect, UINT format);
