#include "buttonlib/control/LumvexResources.h"

#include "buttonlib/control/ControlIds.h"

#include "platform/mfc/AfxMessageBox.h"
#include "platform/win/Resources.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <mutex>
#include <utility>

namespace LumvexResources {

namespace {

// The display name of the control, its property page and the titles of the
// design-time message boxes.
constexpr const char* kDisplayName = "Quorvel Button";

const std::pair<UINT, const char*> kStrings[] = {
    {IDS_LUMVEX, kDisplayName},
    {IDS_LUMVEX_PPG, "Lumvex Property Page"},
    {3, "Lumvex Colors Property Page"},
    {4, "Lumvex Sounds Property Page"},
    {5, "Lumvex Text Property Page"},
    {6, "Lumvex Picture Property Page"},
    {IDS_APP_TITLE, kDisplayName},
    {51, "Select pictures"},
    {52, "Picture for button in normal state"},
    {53, "Picture for button with mouse over"},
    {54, "Pictures choice"},
    {55, "Pictures settings"},
    {100, "Sound files (*.wav) |*.wav|All files (*.*)|*.*||"},
    {101, "Select sound file"},
    {102, "Cursor files (*.cur, *.ani) |*.cur;*.ani|All files (*.*)|*.*||"},
    {103, "Select cursor file"},
    {104, "Picture files (*.bmp, *.png, *.jpg, *.gif) |*.bmp;*.png;*.jpg;*.gif|All files (*.*)|*.*||"},
    {105, "Select picture file"},
    {106, "Graphic files (*.bmp, *.png, *.avi, *.jpg, *.gif) |*.bmp;*.png;*.avi;*.jpg;*.gif|All files (*.*)|*.*||"},
    {107, "Texture files (*.bmp, *.png, *.jpg) |*.bmp;*.png;*.jpg|All files (*.*)|*.*||"},
    {108, "Picture files (*.bmp, *.png) |*.bmp;*.png|All files (*.*)|*.*||"},
    {109, "Template files (*.kzt) |*.kzt|All files (*.*)|*.*||"},
    {110, "Select button template file"},
    {111, "Save button template file"},
    {200, "General"},
    {201, "Colors"},
    {202, "Resources"},
    {203, "Text"},
    {204, "Pictures and AVIs"},
    {1000, "Rectangle"},
    {1001, "Rounded rectangle"},
    {1002, "Parallelogram"},
    {1003, "Ellipse"},
    {1004, "Text"},
    {1005, "Custom"},
    {1050, "Very High"},
    {1051, "High"},
    {1052, "Medium"},
    {1053, "Low"},
    {1054, "Very Low"},
    {1100, "Hard pillow"},
    {1101, "Soft pillow"},
    {1102, "Flat"},
    {1103, "Flat pillow"},
    {1150, "None"},
    {1151, "Low"},
    {1152, "High"},
    {1200, "0 degrees"},
    {1201, "90 degrees counter clockwise"},
    {1202, "45 degrees counter clockwise"},
    {1203, "90 degrees clockwise"},
    {1204, "45 degrees clockwise"},
    {1250, "None"},
    {1251, "Black border"},
    {1252, "Predefined color"},
    {1350, "Center (Horizontal) Middle (Vertical)"},
    {1351, "Left (Horizontal) Top (Vertical)"},
    {1352, "Center (Horizontal) Top (Vertical)"},
    {1353, "Right (Horizontal) Top (Vertical)"},
    {1354, "Left (Horizontal) Middle (Vertical)"},
    {1355, "Right (Horizontal) Middle (Vertical)"},
    {1356, "Left (Horizontal) Bottom (Vertical)"},
    {1357, "Center (Horizontal) Bottom (Vertical)"},
    {1358, "Right (Horizontal) Bottom (Vertical)"},
    {1400, "Use PictureTranspColor property"},
    {1401, "Use picture Left Top pixel color"},
    {1420, "Optimize button load speed"},
    {1421, "Optimize final EXE size"},
    {1450, "None"},
    {1451, "Raised"},
    {1452, "Sunken"},
    {1453, "Floating"},
    {1480, "Very High (Big buttons)"},
    {1481, "High"},
    {1482, "Medium (Medium buttons)"},
    {1483, "Low"},
    {1484, "Very Low (Small buttons)"},
    {IDS_ERROR_OPEN_FILE, "Error opening file %1"},
    {IDS_NOT_MONOCHROME, "The file %1 is not a monochrome black and white file (1 bit per pixel)."},
    {IDS_INVALID_EXTENSION, "The file %1 has an invalid extension."},
    {IDS_OUT_OF_BOUNDS, "Property value out of bounds: it will be reset to default."},
    {IDS_INVALID_PICTURE, "Invalid picture file"},
    {IDS_SOUND_NOTICE, "This sound is loaded from the Internet and cannot be played at design time while Internet "
                       "loading at design time is switched off."},
    {IDS_INVALID_TEXTURE, "Invalid extension for texture file (only BMP, JPG and PNG allowed)."},
    {2099, "Very High"},
    {2100, "High"},
    {2101, "Medium"},
    {2102, "Low"},
    {2103, "Very Low"},
    {2150, "Very High"},
    {2151, "High"},
    {2152, "Medium"},
    {2153, "Low"},
    {2154, "Very Low"},
    {2200, "No texture"},
    {2201, "Whole button"},
    {2202, "Outside button"},
    {2203, "Inside button"},
    {2250, "No shadow"},
    {2251, "Solid shadow"},
    {2252, "Half blurred shadow"},
    {2253, "Blurred shadow"},
    {2300, "Push Button"},
    {2301, "Check Box"},
    {2302, "Radio Button"},
};

void put16(std::vector<BYTE>& b, std::size_t at, WORD v)
{
    b[at] = BYTE(v);
    b[at + 1] = BYTE(v >> 8);
}

void put32(std::vector<BYTE>& b, std::size_t at, DWORD v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = BYTE(v >> (8 * i));
}

constexpr std::size_t kHeaderSize = 40;
constexpr LONG kPixelsPerMeter = 3780; // 96 dpi

// The sixteen colours of a 4-bit bitmap: the download picture's own first.
constexpr COLORREF kSixteen[16] = {
    RGB(128, 128, 128), RGB(0, 64, 160),   RGB(240, 240, 232), RGB(0, 0, 0),
    RGB(128, 0, 0),     RGB(0, 128, 0),    RGB(128, 128, 0),   RGB(0, 0, 128),
    RGB(128, 0, 128),   RGB(0, 128, 128),  RGB(192, 192, 192), RGB(255, 0, 0),
    RGB(0, 255, 0),     RGB(255, 255, 0),  RGB(0, 0, 255),     RGB(255, 255, 255),
};

// A packed DIB of colour(x, y), y counting from the top: 1 bit (0 black,
// anything else white), 4 bits (each colour one of the sixteen above) or
// 24 bits.
std::vector<BYTE> packed(int width, int height, WORD bitCount, const std::function<COLORREF(int, int)>& colour)
{
    const std::size_t stride = ((std::size_t(width) * bitCount + 31) / 32) * 4;
    const std::size_t tableSize = bitCount == 1 ? 8 : bitCount == 4 ? 64 : 0;
    std::vector<BYTE> b(kHeaderSize + tableSize + stride * height, 0);
    put32(b, 0, kHeaderSize);
    put32(b, 4, DWORD(width));
    put32(b, 8, DWORD(height));
    put16(b, 12, 1);
    put16(b, 14, bitCount);
    put32(b, 20, DWORD(stride * height));
    put32(b, 24, kPixelsPerMeter);
    put32(b, 28, kPixelsPerMeter);
    if (bitCount == 1) {
        // Entry 0 black, entry 1 white.
        b[kHeaderSize + 4] = b[kHeaderSize + 5] = b[kHeaderSize + 6] = 0xFF;
    } else if (bitCount == 4) {
        put32(b, 32, 16);
        for (int i = 0; i < 16; ++i) {
            b[kHeaderSize + 4 * i] = GetBValue(kSixteen[i]);
            b[kHeaderSize + 4 * i + 1] = GetGValue(kSixteen[i]);
            b[kHeaderSize + 4 * i + 2] = GetRValue(kSixteen[i]);
        }
    }
    BYTE* bits = b.data() + kHeaderSize + tableSize;
    for (int y = 0; y < height; ++y) {
        BYTE* row = bits + stride * std::size_t(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colour(x, y);
            if (bitCount == 1) {
                if (c != 0)
                    row[x / 8] |= BYTE(0x80 >> (x % 8));
            } else if (bitCount == 4) {
                const BYTE index = BYTE(std::find(std::begin(kSixteen), std::end(kSixteen), c) - std::begin(kSixteen));
                row[x / 2] |= BYTE((index & 0xF) << (x % 2 ? 0 : 4));
            } else {
                row[x * 3] = GetBValue(c);
                row[x * 3 + 1] = GetGValue(c);
                row[x * 3 + 2] = GetRValue(c);
            }
        }
    }
    return b;
}

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Whether (x, y) lies inside the polygon (even-odd rule), at pixel centres.
bool inside(const std::vector<std::pair<double, double>>& poly, int x, int y)
{
    const double px = x + 0.5;
    const double py = y + 0.5;
    bool in = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const auto [xi, yi] = poly[i];
        const auto [xj, yj] = poly[j];
        if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi)
            in = !in;
    }
    return in;
}

// A downward arrow into a tray: the shape of something being fetched.
bool downloadShape(double x, double y, double size)
{
    const double s = size / 47.0;
    const std::vector<std::pair<double, double>> arrow = {
        {18 * s, 4 * s},  {29 * s, 4 * s},  {29 * s, 20 * s}, {38 * s, 20 * s},
        {23.5 * s, 34 * s}, {9 * s, 20 * s}, {18 * s, 20 * s},
    };
    const bool tray = y >= 37 * s && y < 43 * s && x >= 5 * s && x < 42 * s;
    return tray || inside(arrow, int(x), int(y));
}

} // namespace

std::vector<BYTE> ToolboxBitmap()
{
    // A raised grey button with a caption line.
    return packed(16, 16, 24, [](int x, int y) -> COLORREF {
        if (x == 0 || y == 0 || x == 15 || y == 15)
            return RGB(255, 0, 255); // the toolbox's transparent colour
        if (x == 1 || y == 1)
            return kWhite;
        if (x == 14 || y == 14)
            return RGB(64, 64, 64);
        if (x == 13 || y == 13)
            return RGB(128, 128, 128);
        if (y >= 7 && y <= 8 && x >= 4 && x <= 11)
            return RGB(0, 0, 128);
        return RGB(192, 192, 192);
    });
}

std::vector<BYTE> CustomShapeMask()
{
    // A five-pointed star, black on white.
    std::vector<std::pair<double, double>> star;
    const double pi = std::acos(-1.0);
    for (int i = 0; i < 10; ++i) {
        const double r = (i % 2 == 0) ? 23.0 : 9.5;
        const double a = -pi / 2 + i * pi / 5;
        star.emplace_back(23.5 + r * std::cos(a), 24.5 + r * std::sin(a));
    }
    return packed(47, 47, 1, [&](int x, int y) { return inside(star, x, y) ? kBlack : kWhite; });
}

std::vector<BYTE> DownloadPicture()
{
    return packed(32, 33, 4, [](int x, int y) -> COLORREF {
        if (x == 0 || y == 0 || x == 31 || y == 32)
            return RGB(128, 128, 128);
        return downloadShape(x + 0.5, y + 0.5, 32.0) ? RGB(0, 64, 160) : RGB(240, 240, 232);
    });
}

std::vector<BYTE> DownloadShapeMask()
{
    return packed(47, 47, 1,
                  [](int x, int y) { return downloadShape(x + 0.5, y + 0.5, 47.0) ? kBlack : kWhite; });
}

void Register()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const auto& [id, text] : kStrings)
            AfxRegisterString(id, text);
        win::RegisterResource(win::RT_BITMAP, IDB_LUMVEX, ToolboxBitmap());
        win::RegisterResource(win::RT_BITMAP, IDB_CUSTOM_SHAPE, CustomShapeMask());
        win::RegisterResource(win::RT_BITMAP, IDB_DOWNLOAD_PICTURE, DownloadPicture());
        win::RegisterResource(win::RT_BITMAP, IDB_DOWNLOAD_SHAPE, DownloadShapeMask());
    });
}

const char* ProductVersion()
{
#ifdef QUORVEL_VERSION
    return QUORVEL_VERSION;
#else
    return "";
#endif
}

} // namespace LumvexResources
