#include "platform/forms/Color.h"

#include <array>

namespace forms {

namespace {
// The classic desktop palette, indexes 0 to 24.
constexpr std::array<OLE_COLOR, 25> kSystemColors = {
    RGB(192, 192, 192), RGB(0, 128, 128),   RGB(0, 0, 128),     RGB(128, 128, 128), RGB(192, 192, 192),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
    RGB(192, 192, 192), RGB(192, 192, 192), RGB(128, 128, 128), RGB(0, 0, 128),     RGB(255, 255, 255),
    RGB(192, 192, 192), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(192, 192, 192),
    RGB(255, 255, 255), RGB(64, 64, 64),    RGB(223, 223, 223), RGB(0, 0, 0),       RGB(255, 255, 225),
};
} // namespace

QColor ToQColor(OLE_COLOR color)
{
    if (color & 0x80000000u) {
        const unsigned index = color & 0xFFu;
        color = index < kSystemColors.size() ? kSystemColors[index] : 0;
    }
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

OLE_COLOR ToOleColor(const QColor& color)
{
    return RGB(color.red(), color.green(), color.blue());
}

} // namespace forms
