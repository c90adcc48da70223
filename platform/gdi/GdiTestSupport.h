#pragma once
// What the drawing tests share: a colour memory DC to draw on, its pixels
// as a QImage, and comparison with the reviewed pictures in testdata/golden
// (TV_UPDATE_GOLDEN=1 writes them anew).

#include "platform/gdi/Gdi.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace gditest {

// A LOGFONT of the face and height, everything else at its default.
inline LOGFONT logFont(const char* face, LONG height, LONG weight = FW_NORMAL)
{
    LOGFONT lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

// A BITMAPINFO with room for 256 colours.
struct Info {
    BITMAPINFOHEADER h{};
    RGBQUAD colors[256]{};
    BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

inline Info header(int w, int h, int bpp)
{
    Info i;
    i.h.biSize = sizeof(BITMAPINFOHEADER);
    i.h.biWidth = w;
    i.h.biHeight = h;
    i.h.biPlanes = 1;
    i.h.biBitCount = WORD(bpp);
    i.h.biCompression = BI_RGB;
    return i;
}

// One pixel of a ROP's truth table, computed independently: bits 16-23
// indexed by pattern, source and destination bits.
inline DWORD ropReference(DWORD rop, DWORD p, DWORD s, DWORD d)
{
    DWORD out = 0;
    for (int b = 0; b < 24; ++b) {
        const int idx = int((p >> b) & 1) * 4 + int((s >> b) & 1) * 2 + int((d >> b) & 1);
        out |= DWORD((rop >> (16 + idx)) & 1) << b;
    }
    return out;
}

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = 0xFFFFFF) : width_(width), height_(height)
    {
        screen_ = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen_);
        bitmap_ = CreateCompatibleBitmap(screen_, width, height);
        old_ = SelectObject(dc_, bitmap_);
        Fill(fill);
    }
    ~Canvas()
    {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
        ReleaseDC(nullptr, screen_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Inside the clip region, when one is selected.
    void Fill(COLORREF color)
    {
        HBRUSH b = CreateSolidBrush(color);
        const RECT all{0, 0, width_, height_};
        FillRect(dc_, &all, b);
        DeleteObject(b);
    }

    // The pixels, top row first.
    QImage Image() const
    {
        Info info = header(width_, -height_, 32);
        QImage image(width_, height_, QImage::Format_RGB32);
        std::vector<BYTE> bits(std::size_t(width_) * std::size_t(height_) * 4);
        GetDIBits(dc_, bitmap_, 0, UINT(height_), bits.data(), info.get(), DIB_RGB_COLORS);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const BYTE* p = &bits[(std::size_t(y) * std::size_t(width_) + std::size_t(x)) * 4];
                image.setPixel(x, y, qRgb(p[2], p[1], p[0]));
            }
        return image;
    }

    COLORREF Pixel(int x, int y) const
    {
        const QRgb c = Image().pixel(x, y);
        return RGB(BYTE(qRed(c)), BYTE(qGreen(c)), BYTE(qBlue(c)));
    }

private:
    int width_;
    int height_;
    HDC screen_ = nullptr;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

inline QRgb Rgb(COLORREF c)
{
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

inline std::filesystem::path GoldenFolder()
{
    return std::filesystem::path(__FILE__).parent_path() / "testdata" / "golden";
}

// Exactly the reviewed picture name.png in folder; TV_UPDATE_GOLDEN=1
// writes it instead.
inline ::testing::AssertionResult MatchesGoldenIn(const std::filesystem::path& folder, const QImage& image,
                                                  const std::string& name)
{
    const std::filesystem::path file = folder / (name + ".png");
    const QString path = QString::fromStdString(file.string());
    if (std::getenv("TV_UPDATE_GOLDEN")) {
        std::filesystem::create_directories(file.parent_path());
        if (!image.save(path, "PNG"))
            return ::testing::AssertionFailure() << "cannot write " << file;
    }
    QImage golden;
    if (!golden.load(path, "PNG"))
        return ::testing::AssertionFailure() << "no golden picture " << file;
    golden = golden.convertToFormat(QImage::Format_RGB32);
    const QImage got = image.convertToFormat(QImage::Format_RGB32);
    if (golden.size() != got.size())
        return ::testing::AssertionFailure() << name << ": size differs from " << file;
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x)
            if (got.pixel(x, y) != golden.pixel(x, y))
                return ::testing::AssertionFailure()
                       << name << ": first difference at (" << x << ", " << y << ") from " << file;
    return ::testing::AssertionSuccess();
}

// The same in this folder's testdata/golden.
inline ::testing::AssertionResult MatchesGolden(const QImage& image, const std::string& name)
{
    return MatchesGoldenIn(GoldenFolder(), image, name);
}

} // namespace gditest
