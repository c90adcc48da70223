#pragma once
// The pixels behind a device bitmap, a DIB section or a packed DIB handed to
// a blit: rows of 1, 4, 8, 16, 24 or 32 bits per pixel, top-down or
// bottom-up, with a colour table up to 8 bits. Device bitmaps keep their
// pixels in a QImage (32-bit RGB or 1-bit), so that Qt can draw on them.

#include "platform/gdi/Gdi.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace gdi {

class Surface {
public:
    // Largest pixel block a bitmap may have.
    static constexpr std::size_t kMaxBytes = std::size_t(512) << 20;

    static std::size_t StrideFor(int width, int bpp) { return ((std::size_t(width) * bpp + 31) / 32) * 4; }

    // A device bitmap: 32-bit colour or 1-bit monochrome, all zero. False
    // when the size is not possible.
    bool CreateDevice(int width, int height, bool mono);
    // A DIB section from a header and colour table: owned, zeroed pixels;
    // or, given a block of ByteSize() bytes, those pixels, their rows'
    // padding zeroed (the caller writes every pixel).
    bool CreateSection(const BITMAPINFOHEADER& header, const RGBQUAD* colors, int colorCount, const DWORD* masks,
                       void* block = nullptr);
    // A view over a caller's packed DIB rows (nothing copied). False for a
    // header this layer cannot read.
    bool View(const BITMAPINFO* bmi, const void* bits, UINT usage, const std::vector<RGBQUAD>* dcPalette);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Bpp() const { return bpp_; }
    bool IsMonoDevice() const { return monoDevice_; }
    // A device bitmap (its pixels in a QImage), not a DIB.
    bool IsDevice() const { return !image_.isNull(); }
    bool IsBottomUp() const { return bottomUp_; }
    std::size_t Stride() const { return stride_; }
    // First byte of the stored pixel block (the bottom row when bottom-up).
    BYTE* Bits() const { return bits_; }
    std::size_t ByteSize() const { return stride_ * std::size_t(height_); }
    const std::vector<RGBQUAD>& Colors() const { return colors_; }
    std::vector<RGBQUAD>& Colors() { return colors_; }
    DWORD Compression() const { return bitfields_ ? BI_BITFIELDS : BI_RGB; }
    const DWORD* Masks() const { return masks_; }

    // Row y counted from the top of the picture.
    BYTE* Row(int y) const { return bits_ + stride_ * std::size_t(bottomUp_ ? height_ - 1 - y : y); }

    // The stored value of a pixel: an index up to 8 bits, else the packed value.
    DWORD Value(int x, int y) const;
    void SetValue(int x, int y, DWORD v);
    // The colour a stored value stands for (device monochrome: black and white).
    COLORREF ColorOf(DWORD value) const;
    // The stored value closest to a colour.
    DWORD ValueFor(COLORREF color) const;
    // Bits of a stored value.
    DWORD ValueMask() const;

private:
    bool setGeometry(int width, int height, int bpp);

    int width_ = 0;
    int height_ = 0;
    int bpp_ = 32;
    bool bottomUp_ = false;
    bool monoDevice_ = false;
    bool bitfields_ = false;
    DWORD masks_[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
    std::size_t stride_ = 0;
    BYTE* bits_ = nullptr;
    std::vector<RGBQUAD> colors_;
    std::vector<BYTE> storage_;
    QImage image_;
};

// Index of the table entry nearest to a colour (least squared distance,
// lowest index on ties).
DWORD NearestIndex(const RGBQUAD* table, std::size_t count, COLORREF color);

namespace testing {
// How many times a colour table has been searched for a colour so far.
std::uint64_t NearestSearches();
} // namespace testing

// Surface::ValueFor for many pixels in a row onto one surface. A surface
// with a colour table searches it for each colour; the answers are kept, so
// converting a picture costs one search per colour it holds rather than one
// per pixel. The surface's table must not change while this is used.
class ValueCache {
public:
    explicit ValueCache(const Surface& s) : s_(s) {}
    DWORD ValueFor(COLORREF color);

private:
    static constexpr std::size_t kSlots = 4096;
    const Surface& s_;
    // Direct-mapped: the colour plus one (0: empty) and its value.
    std::vector<DWORD> keys_;
    std::vector<BYTE> values_;
};

// Number of colour-table entries of a DIB header: biClrUsed, or 2^bits up to
// 8 bits; 0 above. -1 for a header that cannot be valid.
int ColorCount(const BITMAPINFOHEADER& h);

} // namespace gdi
