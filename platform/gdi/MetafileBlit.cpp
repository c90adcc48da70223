// Bitmap records: the DIB inside a record is checked (header, colour table
// and rows all inside the record) and then drawn by the layer's blits with
// the record's raster operation. The metafile's clipping is kept by putting
// back, after the blit, the pixels it must not have touched.

#include "platform/gdi/MetafilePlayer.h"

#include <uemf.h>
#include <uemf_safe.h>

#include <cmath>
#include <cstring>

namespace gdi {

namespace {

BYTE ropIndex(DWORD rop)
{
    return BYTE(rop >> 16);
}

bool usesPattern(BYTE i)
{
    return ((i >> 4) ^ i) & 0x0F;
}

bool usesSource(BYTE i)
{
    return ((i >> 2) ^ i) & 0x33;
}

// The operation with the pattern fixed to one bit value: f(p, s, d) with p
// given, as an operation that ignores its pattern.
BYTE fixPattern(BYTE f, int p)
{
    BYTE out = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const int s = (bit >> 1) & 1, d = bit & 1;
        if (f & (1 << ((p << 2) | (s << 1) | d)))
            out |= BYTE(1 << bit);
    }
    return out;
}

// The operation with the source standing in for the pattern: g(p, s, d) =
// f(s, s, d), for operations that read no source of their own.
BYTE patternAsSource(BYTE f)
{
    BYTE out = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const int s = (bit >> 1) & 1, d = bit & 1;
        if (f & (1 << ((s << 2) | (s << 1) | d)))
            out |= BYTE(1 << bit);
    }
    return out;
}

// A top-down 32-bit DIB header for a QImage's rows.
struct ImageDib {
    BITMAPINFO info{};
    explicit ImageDib(const QImage& img)
    {
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = img.width();
        info.bmiHeader.biHeight = -img.height();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
    }
};

} // namespace

bool MetafilePlayer::checkPackedDib(const BYTE* dib, std::size_t avail, unsigned usage, mf::Dib& out, bool& usable) const
{
    usable = false;
    if (avail < sizeof(BITMAPINFOHEADER))
        return avail >= 12; // a core header is read by nobody here
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib, sizeof h);
    if (h.biSize < sizeof h || h.biSize > avail)
        return false;
    const bool bitfields = h.biCompression == BI_BITFIELDS && (h.biBitCount == 16 || h.biBitCount == 32);
    const int colors = ColorCount(h);
    if (colors < 0)
        return false;
    const std::size_t entry = usage == DIB_PAL_COLORS ? 2 : 4;
    const std::size_t tableBytes = (bitfields ? 12 : 0) + entry * std::size_t(colors);
    if (tableBytes > avail - h.biSize)
        return false;
    std::size_t headerBytes = h.biSize + tableBytes;
    // Rows right behind the table.
    return checkDib(dib, avail, 0, headerBytes, headerBytes, avail - headerBytes, usage, out, usable);
}

bool MetafilePlayer::checkDib(const BYTE* rec, std::size_t recSize, std::size_t offBmi, std::size_t cbBmi,
                              std::size_t offBits, std::size_t cbBits, unsigned usage, mf::Dib& out, bool& usable) const
{
    usable = false;
    if (cbBmi == 0)
        return true;
    if (offBmi > recSize || cbBmi > recSize - offBmi || offBits > recSize || cbBits > recSize - offBits)
        return false;
    const char* bmi = reinterpret_cast<const char*>(rec + offBmi);
    if (cbBmi < sizeof(BITMAPINFOHEADER))
        return cbBmi >= 12; // core headers are not drawn
    if (!bitmapinfo_safe(bmi, bmi + cbBmi))
        return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, bmi, sizeof h);
    if (h.biSize < sizeof h || h.biSize > cbBmi)
        return false;
    const int bpp = h.biBitCount;
    const bool depthOk = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    const bool bitfields = h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32);
    if (!depthOk || h.biPlanes != 1 || (h.biCompression != BI_RGB && !bitfields) || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == LONG(0x80000000) || usage > DIB_PAL_COLORS)
        return true; // compressed or odd bitmaps are skipped, not refused
    const int colors = ColorCount(h);
    if (colors < 0)
        return false;
    const std::size_t entry = usage == DIB_PAL_COLORS ? 2 : 4;
    const std::size_t tableBytes = (bitfields ? 12 : 0) + entry * std::size_t(colors);
    if (tableBytes > cbBmi - h.biSize)
        return false;
    const std::size_t height = std::size_t(h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight);
    const std::size_t stride = Surface::StrideFor(h.biWidth, bpp);
    if (stride > Surface::kMaxBytes / height)
        return true; // larger than any bitmap the layer makes
    if (stride * height > cbBits)
        return false;

    // Header, masks and a table of colours, aligned, indices resolved.
    const std::size_t outColors = bpp <= 8 ? std::size_t(colors) : 0;
    out.info.assign((sizeof h + (bitfields ? 12 : 0) + 4 * outColors + 3) / 4 + 1, 0);
    BYTE* info = reinterpret_cast<BYTE*>(out.info.data());
    const BYTE* table = rec + offBmi + h.biSize;
    h.biSize = sizeof h;
    std::memcpy(info, &h, sizeof h);
    std::size_t at = sizeof h;
    if (bitfields) {
        std::memcpy(info + at, table, 12);
        at += 12;
        table += 12;
    }
    const auto& pal = currentPalette();
    for (std::size_t i = 0; i < outColors; ++i) {
        RGBQUAD q{0, 0, 0, 0};
        if (usage == DIB_PAL_COLORS) {
            WORD k;
            std::memcpy(&k, table + 2 * i, 2);
            if (k < pal.size())
                q = RGBQUAD{pal[k].peBlue, pal[k].peGreen, pal[k].peRed, 0};
        } else {
            std::memcpy(&q, table + 4 * i, 4);
        }
        std::memcpy(info + at + 4 * i, &q, 4);
    }
    out.bits = rec + offBits;
    usable = true;
    return true;
}

QImage MetafilePlayer::dibImage(const mf::Dib& dib) const
{
    Surface view;
    if (!view.View(dib.Info(), dib.bits, DIB_RGB_COLORS, nullptr))
        return QImage();
    // Pattern brushes repeat a small tile; a huge one is cut.
    const int w = std::min(view.Width(), 256), h = std::min(view.Height(), 256);
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = view.ColorOf(view.Value(x, y));
            img.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    return img;
}

void MetafilePlayer::patternBlit(const QRect& device, DWORD rop)
{
    const BYTE f = ropIndex(rop);
    const QRect area = device & image_.rect();
    if (area.isEmpty())
        return;
    QImage pattern(area.size(), QImage::Format_RGB32);
    pattern.fill(color(st_.bkColor));
    if (usesPattern(f)) {
        const QBrush brush = currentBrush();
        if (brush.style() == Qt::NoBrush)
            return;
        QPainter p(&pattern);
        p.setBrushOrigin(-area.topLeft());
        p.fillRect(pattern.rect(), brush);
    }
    const ImageDib dib(pattern);
    ::StretchDIBits(hdc_, area.x(), area.y(), area.width(), area.height(), 0, 0, area.width(), area.height(),
                    pattern.constBits(), &dib.info, DIB_RGB_COLORS, DWORD(patternAsSource(f)) << 16);
}

void MetafilePlayer::stretchDib(QPointF dest, QSizeF destExt, int sx, int sy, int sw, int sh, const mf::Dib* dib, DWORD rop,
                                bool srcFromTop)
{
    const QTransform t = toDevice();
    const QPointF p0 = t.map(dest), p1 = t.map(dest + QPointF(destExt.width(), destExt.height()));
    constexpr double limit = 1 << 24;
    if (!std::isfinite(p0.x()) || !std::isfinite(p0.y()) || !std::isfinite(p1.x()) || !std::isfinite(p1.y()) ||
        std::abs(p0.x()) > limit || std::abs(p0.y()) > limit || std::abs(p1.x()) > limit || std::abs(p1.y()) > limit)
        return;
    const int dx = int(std::lround(p0.x())), dy = int(std::lround(p0.y()));
    const int dw = int(std::lround(p1.x())) - dx, dh = int(std::lround(p1.y())) - dy;
    const QRect target = QRect(dx, dy, dw, dh).normalized() & image_.rect();
    QRegion visible(target);
    if (st_.clip)
        visible &= *st_.clip;
    if (visible.isEmpty())
        return;

    // The clipped blit: done on the whole rectangle, the pixels outside the
    // clipping then put back.
    const QImage before = image_.copy(target);
    const BYTE f = ropIndex(rop);
    if (!dib) {
        patternBlit(QRect(dx, dy, dw, dh).normalized(), rop);
    } else {
        int srcY = sy;
        if (srcFromTop && dib->Info()->bmiHeader.biHeight > 0)
            srcY = int(std::clamp<long long>(static_cast<long long>(dib->Height()) - sy - sh, INT32_MIN, INT32_MAX));
        const auto blit = [&](BYTE index) {
            ::StretchDIBits(hdc_, dx, dy, dw, dh, sx, srcY, sw, sh, dib->bits, dib->Info(), DIB_RGB_COLORS,
                            DWORD(index) << 16);
        };
        if (usesPattern(f) && usesSource(f)) {
            // Source and a solid brush: each bit of the brush's colour picks
            // the operation with that pattern bit.
            const QRgb mask = color(st_.brush->brush.color).rgb() & 0x00FFFFFF;
            blit(fixPattern(f, 1));
            const QImage ones = image_.copy(target);
            painter_.save();
            painter_.setTransform(QTransform());
            painter_.setClipping(false);
            painter_.setCompositionMode(QPainter::CompositionMode_Source);
            painter_.drawImage(target.topLeft(), before);
            painter_.restore();
            blit(fixPattern(f, 0));
            for (int y = 0; y < target.height(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(image_.scanLine(target.y() + y)) + target.x();
                const auto* one = reinterpret_cast<const QRgb*>(ones.constScanLine(y));
                for (int x = 0; x < target.width(); ++x)
                    row[x] = 0xFF000000u | (one[x] & mask) | (row[x] & ~mask & 0x00FFFFFF);
            }
        } else if (usesPattern(f)) {
            patternBlit(target, rop);
        } else {
            blit(f);
        }
    }
    if (visible != QRegion(target)) {
        const QImage after = image_.copy(target);
        painter_.save();
        painter_.setTransform(QTransform());
        painter_.setCompositionMode(QPainter::CompositionMode_Source);
        painter_.setClipping(false);
        painter_.drawImage(target.topLeft(), before);
        painter_.setClipRegion(visible);
        painter_.drawImage(target.topLeft(), after);
        painter_.restore();
    }
}

} // namespace gdi
