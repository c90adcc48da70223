#pragma once
// Colours as the runtime passes them: an OLE colour &HBBGGRR, or a system
// colour &H800000nn. System colours come from one fixed classic palette, so
// that what is drawn does not depend on the desktop theme.

#include <QColor>

#include <cstdint>

namespace forms {

using OLE_COLOR = uint32_t;

constexpr OLE_COLOR RGB(int red, int green, int blue)
{
    return static_cast<OLE_COLOR>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// The system colours the program names.
enum : OLE_COLOR {
    vbScrollBars = 0x80000000,
    vbDesktop = 0x80000001,
    vbActiveTitleBar = 0x80000002,
    vbInactiveTitleBar = 0x80000003,
    vbMenuBar = 0x80000004,
    vbWindowBackground = 0x80000005,
    vbWindowFrame = 0x80000006,
    vbMenuText = 0x80000007,
    vbWindowText = 0x80000008,
    vbTitleBarText = 0x80000009,
    vbActiveBorder = 0x8000000A,
    vbInactiveBorder = 0x8000000B,
    vbApplicationWorkspace = 0x8000000C,
    vbHighlight = 0x8000000D,
    vbHighlightText = 0x8000000E,
    vbButtonFace = 0x8000000F,
    vbButtonShadow = 0x80000010,
    vbGrayText = 0x80000011,
    vbButtonText = 0x80000012,
    vbInactiveCaptionText = 0x80000013,
    vb3DHighlight = 0x80000014,
    vb3DDKShadow = 0x80000015,
    vb3DLight = 0x80000016,
    vbInfoText = 0x80000017,
    vbInfoBackground = 0x80000018,
};

constexpr OLE_COLOR vbBlack = 0x000000;
constexpr OLE_COLOR vbWhite = 0xFFFFFF;

QColor ToQColor(OLE_COLOR color);
// The plain RGB colour (a system colour resolved through the palette).
OLE_COLOR ToOleColor(const QColor& color);

} // namespace forms
