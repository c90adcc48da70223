#pragma once
// One of the button's colour elements: a base colour expanded into 64 shades
// from light (entry 0) to dark (entry 63), by lightness steps in HLS space
// (coloration 0) or by fixed RGB steps (coloration 1). Stored as 12 bytes:
// LONG custom, DWORD base colour, WORD step, WORD coloration.

#include "buttonlib/media/CBlob.h"

// Hue in degrees, saturation and lightness 0..100.
struct HslTriple {
    int hue;
    int saturation;
    int lightness;
};

// Argument record of CColor::SetColorInfo.
struct ShadeParams {
    COLORREF baseColor;
    short step;
    short coloration;
};

// Double precision, every conversion truncating toward zero. Hues come out
// in -59..300 (reds leaning to blue are negative).
void RgbToHsl(COLORREF color, HslTriple* hsl);
// Hues -359..359 are taken as given (negative ones plus 360); others are
// first wrapped into 0..359.
void HslToRgb(int hue, int saturation, int lightness, COLORREF* color);

class CColor : public CBlob {
    DECLARE_SERIAL(CColor)

public:
    static constexpr int kShadeCount = 64;

    CColor();
    CColor(const CColor&) = delete;
    CColor& operator=(const CColor& other);

    void Set(COLORREF base, short step, short coloration);
    void SetColorInfo(const ShadeParams& params);
    void SetBaseColor(COLORREF base);
    // Clamped to 1..8.
    void SetStep(short step);
    // Negative gives 0, above 1 gives 1.
    void SetColoration(short coloration);

    BOOL IsCustom() const { return custom; }
    COLORREF GetBaseColor() const { return baseColor; }
    short GetStep() const { return step; }
    short GetColoration() const { return coloration; }
    // Entry i of the table; black outside 0..63.
    COLORREF GetShade(int i) const;

    void BuildShades();

    void Serialize(CArchive& ar) override;
    void SerializeEx(CArchive& ar, BOOL bCompressed) override;

private:
    BOOL custom = FALSE;
    COLORREF baseColor = 0;
    short step = 4;
    short coloration = 1;
    // Zeroed until the first build, so that an unknown coloration never
    // hands out undefined colours.
    COLORREF shades[kShadeCount] = {};
};
