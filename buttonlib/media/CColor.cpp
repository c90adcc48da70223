#include "buttonlib/media/CColor.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

IMPLEMENT_SERIAL(CColor, CBlob, 0)

namespace {

// Truncation toward zero that stays defined for any double.
std::int64_t trunc64(double x)
{
    if (!std::isfinite(x) || x > 9.0e18 || x < -9.0e18)
        return 0;
    return static_cast<std::int64_t>(x);
}

int clampInt(int v, int lo, int hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}

} // namespace

void RgbToHsl(COLORREF color, HslTriple* hsl)
{
    const double r = GetRValue(color) / 255.0;
    const double g = GetGValue(color) / 255.0;
    const double b = GetBValue(color) / 255.0;
    double min = r < g ? r : g;
    min = min < b ? min : b;
    double max = r > g ? r : g;
    max = max > b ? max : b;
    const double l = (max + min) / 2.0;
    double s = 0.0;
    double h = 0.0;
    if (max != min) {
        s = l < 0.5 ? (max - min) / (max + min) : (max - min) / (2.0 - max - min);
        // Later tests override earlier ones: ties go to blue, then green.
        if (r == max)
            h = (g - b) / (max - min);
        if (g == max)
            h = (b - r) / (max - min) + 2.0;
        if (b == max)
            h = (r - g) / (max - min) + 4.0;
    }
    hsl->hue = int(trunc64(h * 360.0 / 6.0));
    hsl->saturation = int(trunc64(s * 100.0));
    hsl->lightness = int(trunc64(l * 100.0));
}

void HslToRgb(int hue, int saturation, int lightness, COLORREF* color)
{
    if (hue >= 360 || hue < -359)
        hue = ((hue % 360) + 360) % 360;
    double h = hue / 360.0;
    if (h < 0.0)
        h = h + 1.0;
    const double s = saturation / 100.0;
    const double l = lightness / 100.0;
    const double v = l <= 0.5 ? l * (1.0 + s) : l + s - l * s;
    if (v <= 0.0) {
        *color = 0;
        return;
    }
    const double m = l + l - v;
    const double sv = (v - m) / v;
    h = h * 6.0;
    const std::int64_t sextant = trunc64(h);
    const double fract = h - double(sextant);
    const double vsf = v * sv * fract;
    const double mid1 = m + vsf;
    const double mid2 = v - vsf;
    double r = 0.0, g = 0.0, b = 0.0;
    switch (sextant) {
    case 0: r = v; g = mid1; b = m; break;
    case 1: r = mid2; g = v; b = m; break;
    case 2: r = m; g = v; b = mid1; break;
    case 3: r = m; g = mid2; b = v; break;
    case 4: r = mid1; g = m; b = v; break;
    case 5: r = v; g = m; b = mid2; break;
    default: break;
    }
    const auto channel = [](double c) { return COLORREF(trunc64(c * 255.0) & 0xFF); };
    *color = channel(r) | (channel(g) << 8) | (channel(b) << 16);
}

CColor::CColor() = default;

CColor& CColor::operator=(const CColor& other)
{
    if (this == &other)
        return *this;
    custom = other.custom;
    baseColor = other.baseColor;
    step = other.step;
    coloration = other.coloration;
    BuildShades();
    return *this;
}

void CColor::Set(COLORREF base, short newStep, short newColoration)
{
    custom = TRUE;
    baseColor = base;
    step = newStep;
    coloration = newColoration;
    BuildShades();
}

void CColor::SetColorInfo(const ShadeParams& params)
{
    Set(params.baseColor, params.step, params.coloration);
}

void CColor::SetBaseColor(COLORREF base)
{
    custom = TRUE;
    baseColor = base;
    BuildShades();
}

void CColor::SetStep(short newStep)
{
    custom = TRUE;
    step = short(clampInt(newStep, 1, 8));
    BuildShades();
}

void CColor::SetColoration(short newColoration)
{
    custom = TRUE;
    coloration = short(clampInt(newColoration, 0, 1));
    BuildShades();
}

COLORREF CColor::GetShade(int i) const
{
    return i >= 0 && i < kShadeCount ? shades[i] : 0;
}

void CColor::BuildShades()
{
    if (coloration == 0) {
        HslTriple hsl;
        RgbToHsl(baseColor, &hsl);
        const int light = clampInt(hsl.lightness, 20, 80);
        for (int i = 0; i < kShadeCount; ++i)
            HslToRgb(hsl.hue, hsl.saturation, clampInt(light + 32 - i, 0, 100), &shades[i]);
    } else if (coloration == 1) {
        int r0 = std::min(GetRValue(baseColor) + 50, 255);
        int g0 = std::min(GetGValue(baseColor) + 50, 255);
        int b0 = std::min(GetBValue(baseColor) + 50, 255);
        if (r0 < 96 && g0 < 96 && b0 < 96)
            r0 = g0 = b0 = 96;
        // A step below 1 makes the channels rise; they stop at 255.
        const auto channel = [](int start, int delta) {
            return BYTE(std::clamp<long long>(static_cast<long long>(start) - delta, 0, 255));
        };
        for (int i = 0; i < kShadeCount; ++i) {
            const int delta = step * i;
            shades[i] = RGB(channel(r0, delta), channel(g0, delta), channel(b0, delta));
        }
    }
    // Any other coloration leaves the table as it was.
}

void CColor::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << LONG(custom) << DWORD(baseColor) << WORD(step) << WORD(coloration);
        return;
    }
    // All four fields first, so a short archive changes nothing.
    LONG newCustom;
    DWORD newBase;
    WORD newStep;
    WORD newColoration;
    ar >> newCustom >> newBase >> newStep >> newColoration;
    custom = newCustom;
    baseColor = newBase;
    step = short(newStep);
    coloration = short(newColoration);
    BuildShades();
}

void CColor::SerializeEx(CArchive& ar, BOOL)
{
    Serialize(ar);
}
