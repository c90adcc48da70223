#include "platform/gdi/Surface.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace gdi {

namespace {

std::atomic<std::uint64_t> g_nearestSearches{0};

int maskShift(DWORD mask)
{
    int s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

int maskBits(DWORD mask)
{
    mask >>= maskShift(mask);
    int n = 0;
    while (mask & 1) {
        mask >>= 1;
        ++n;
    }
    return n;
}

// Spreads a channel of n bits over 0..255.
BYTE expand(DWORD v, int n)
{
    if (n <= 0)
        return 0;
    if (n >= 8)
        return BYTE(v >> (n - 8));
    DWORD out = v << (8 - n);
    out |= out >> n;
    return BYTE(out);
}

} // namespace

std::uint64_t testing::NearestSearches()
{
    return g_nearestSearches;
}

DWORD NearestIndex(const RGBQUAD* table, std::size_t count, COLORREF color)
{
    g_nearestSearches.fetch_add(1, std::memory_order_relaxed);
    DWORD best = 0;
    long long bestDistance = -1;
    for (std::size_t i = 0; i < count; ++i) {
        const long long dr = int(table[i].rgbRed) - GetRValue(color);
        const long long dg = int(table[i].rgbGreen) - GetGValue(color);
        const long long db = int(table[i].rgbBlue) - GetBValue(color);
        const long long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = DWORD(i);
            if (d == 0)
                break;
        }
    }
    return best;
}

DWORD ValueCache::ValueFor(COLORREF color)
{
    if (s_.Bpp() > 8)
        return s_.ValueFor(color);
    color &= 0xFFFFFF;
    if (keys_.empty()) {
        keys_.assign(kSlots, 0);
        values_.assign(kSlots, 0);
    }
    const std::size_t slot = (std::uint32_t(color) * 2654435761u) >> 20;
    if (keys_[slot] != color + 1) {
        keys_[slot] = color + 1;
        values_[slot] = BYTE(s_.ValueFor(color));
    }
    return values_[slot];
}

int ColorCount(const BITMAPINFOHEADER& h)
{
    if (h.biBitCount > 8)
        return 0;
    const int full = 1 << h.biBitCount;
    if (h.biClrUsed == 0)
        return full;
    return h.biClrUsed <= DWORD(full) ? int(h.biClrUsed) : -1;
}

bool Surface::setGeometry(int width, int height, int bpp)
{
    if (width <= 0 || height <= 0)
        return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    const std::size_t stride = StrideFor(width, bpp);
    if (stride > kMaxBytes / std::size_t(height))
        return false;
    width_ = width;
    height_ = height;
    bpp_ = bpp;
    stride_ = stride;
    return true;
}

bool Surface::CreateDevice(int width, int height, bool mono)
{
    if (!setGeometry(width, height, mono ? 1 : 32))
        return false;
    // Zeroed by calloc: memory the system hands over is already zero and is
    // not touched until something draws on it (the screen's large bitmap
    // mostly never is).
    const std::size_t stride = StrideFor(width, bpp_);
    void* pixels = std::calloc(std::size_t(height), stride);
    if (!pixels)
        return false;
    image_ = QImage(static_cast<uchar*>(pixels), width, height, qsizetype(stride),
                    mono ? QImage::Format_Mono : QImage::Format_RGB32, std::free, pixels);
    if (image_.isNull()) {
        std::free(pixels);
        return false;
    }
    stride_ = std::size_t(image_.bytesPerLine());
    bits_ = image_.bits();
    bottomUp_ = false;
    monoDevice_ = mono;
    bitfields_ = false;
    if (mono) {
        colors_ = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
        image_.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    }
    return true;
}

bool Surface::CreateSection(const BITMAPINFOHEADER& h, const RGBQUAD* colors, int colorCount, const DWORD* masks,
                            void* block)
{
    if (h.biHeight == LONG(0x80000000) || !setGeometry(h.biWidth, h.biHeight < 0 ? -h.biHeight : h.biHeight, h.biBitCount))
        return false;
    if (h.biCompression == BI_BITFIELDS && (bpp_ == 16 || bpp_ == 32) && masks) {
        bitfields_ = true;
        std::memcpy(masks_, masks, sizeof masks_);
    } else if (h.biCompression != BI_RGB) {
        return false;
    } else if (bpp_ == 16) {
        masks_[0] = 0x7C00;
        masks_[1] = 0x03E0;
        masks_[2] = 0x001F;
    }
    try {
        if (!block)
            storage_.assign(ByteSize(), 0);
        colors_.assign(colors, colors + colorCount);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (bpp_ <= 8)
        colors_.resize(std::size_t(1) << bpp_, RGBQUAD{0, 0, 0, 0});
    bits_ = block ? static_cast<BYTE*>(block) : storage_.data();
    // A given block is written pixel by pixel: only what no pixel covers,
    // the bits after the last pixel of each row, starts as zero.
    if (block) {
        const std::size_t used = std::size_t(width_) * std::size_t(bpp_) / 8;
        for (int y = 0; used < stride_ && y < height_; ++y)
            std::memset(bits_ + stride_ * std::size_t(y) + used, 0, stride_ - used);
    }
    bottomUp_ = h.biHeight > 0;
    return true;
}

bool Surface::View(const BITMAPINFO* bmi, const void* bits, UINT usage, const std::vector<RGBQUAD>* dcPalette)
{
    if (!bmi || !bits)
        return false;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biHeight == LONG(0x80000000))
        return false;
    if (!setGeometry(h.biWidth, h.biHeight < 0 ? -h.biHeight : h.biHeight, h.biBitCount))
        return false;
    const BYTE* afterHeader = reinterpret_cast<const BYTE*>(bmi) + h.biSize;
    if (h.biCompression == BI_BITFIELDS && (bpp_ == 16 || bpp_ == 32)) {
        bitfields_ = true;
        std::memcpy(masks_, afterHeader, sizeof masks_);
    } else if (h.biCompression != BI_RGB) {
        return false;
    } else if (bpp_ == 16) {
        masks_[0] = 0x7C00;
        masks_[1] = 0x03E0;
        masks_[2] = 0x001F;
    }
    const int count = ColorCount(h);
    if (count < 0)
        return false;
    colors_.clear();
    if (bpp_ <= 8) {
        if (usage == DIB_PAL_COLORS) {
            const auto* idx = reinterpret_cast<const WORD*>(afterHeader);
            for (int i = 0; i < count; ++i) {
                const WORD k = idx[i];
                colors_.push_back(dcPalette && k < dcPalette->size() ? (*dcPalette)[k] : RGBQUAD{0, 0, 0, 0});
            }
        } else {
            const auto* table = reinterpret_cast<const RGBQUAD*>(afterHeader);
            colors_.assign(table, table + count);
        }
        colors_.resize(std::size_t(1) << bpp_, RGBQUAD{0, 0, 0, 0});
    }
    bits_ = static_cast<BYTE*>(const_cast<void*>(bits));
    bottomUp_ = h.biHeight > 0;
    return true;
}

DWORD Surface::ValueMask() const
{
    return bpp_ >= 32 ? 0xFFFFFFFFu : (DWORD(1) << bpp_) - 1;
}

DWORD Surface::Value(int x, int y) const
{
    const BYTE* r = Row(y);
    switch (bpp_) {
    case 1: return (r[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (r[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
    case 8: return r[x];
    case 16: return DWORD(r[2 * x] | (r[2 * x + 1] << 8));
    case 24: return DWORD(r[3 * x] | (r[3 * x + 1] << 8) | (r[3 * x + 2] << 16));
    default: {
        const BYTE* p = r + 4 * std::size_t(x);
        return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
    }
    }
}

void Surface::SetValue(int x, int y, DWORD v)
{
    BYTE* r = Row(y);
    switch (bpp_) {
    case 1: {
        const BYTE bit = BYTE(0x80 >> (x & 7));
        r[x >> 3] = BYTE((v & 1) ? (r[x >> 3] | bit) : (r[x >> 3] & ~bit));
        break;
    }
    case 4: {
        BYTE& b = r[x >> 1];
        b = (x & 1) ? BYTE((b & 0xF0) | (v & 0xF)) : BYTE((b & 0x0F) | ((v & 0xF) << 4));
        break;
    }
    case 8: r[x] = BYTE(v); break;
    case 16:
        r[2 * x] = BYTE(v);
        r[2 * x + 1] = BYTE(v >> 8);
        break;
    case 24:
        r[3 * x] = BYTE(v);
        r[3 * x + 1] = BYTE(v >> 8);
        r[3 * x + 2] = BYTE(v >> 16);
        break;
    default: {
        BYTE* p = r + 4 * std::size_t(x);
        p[0] = BYTE(v);
        p[1] = BYTE(v >> 8);
        p[2] = BYTE(v >> 16);
        // Device bitmaps are opaque for Qt; DIBs keep their fourth byte.
        p[3] = image_.isNull() ? BYTE(v >> 24) : 0xFF;
        break;
    }
    }
}

COLORREF Surface::ColorOf(DWORD v) const
{
    if (bpp_ <= 8) {
        const RGBQUAD& q = colors_[v & ValueMask()];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    if (bpp_ == 24 || (bpp_ == 32 && !bitfields_))
        return RGB(BYTE(v >> 16), BYTE(v >> 8), BYTE(v));
    const auto channel = [&](DWORD mask) { return expand((v & mask) >> maskShift(mask), maskBits(mask)); };
    return RGB(channel(masks_[0]), channel(masks_[1]), channel(masks_[2]));
}

DWORD Surface::ValueFor(COLORREF c) const
{
    if (bpp_ <= 8)
        return NearestIndex(colors_.data(), colors_.size(), c);
    if (bpp_ == 24 || (bpp_ == 32 && !bitfields_))
        return (DWORD(GetRValue(c)) << 16) | (DWORD(GetGValue(c)) << 8) | GetBValue(c);
    const auto channel = [&](BYTE value, DWORD mask) {
        const int n = maskBits(mask);
        return n <= 0 ? 0u : ((DWORD(value) >> (n >= 8 ? 0 : 8 - n)) << maskShift(mask)) & mask;
    };
    return channel(GetRValue(c), masks_[0]) | channel(GetGValue(c), masks_[1]) | channel(GetBValue(c), masks_[2]);
}

} // namespace gdi
