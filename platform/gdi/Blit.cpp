// Blits with ternary raster operations. Every pixel is worked on in the
// destination's own values (palette indices up to 8 bits, packed colour
// above): the source and the brush are first turned into the destination's
// value for their colour, then the operation's truth table is applied bit by
// bit. Between monochrome device bitmaps and colour surfaces the platform's
// rules hold: a colour pixel equal to the source DC's background colour
// becomes 1 (white), others 0; a monochrome 0 becomes the destination DC's
// text colour and 1 its background colour. The brush is taken pixel by
// pixel, so pattern brushes repeat from the destination's origin, and only
// the pixels inside the destination DC's clip region change.

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace gdi {

namespace {

DWORD applyRop(DWORD rop, DWORD p, DWORD s, DWORD d)
{
    const BYTE index = BYTE(rop >> 16);
    switch (index) {
    case 0xCC: return s;
    case 0x00: return 0;
    case 0xFF: return 0xFFFFFFFF;
    case 0x88: return s & d;
    case 0xEE: return s | d;
    case 0x66: return s ^ d;
    default: break;
    }
    DWORD out = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (!(index & (1 << bit)))
            continue;
        const DWORD pp = (bit & 4) ? p : ~p;
        const DWORD ss = (bit & 2) ? s : ~s;
        const DWORD dd = (bit & 1) ? d : ~d;
        out |= pp & ss & dd;
    }
    return out;
}

bool usesSource(DWORD rop)
{
    const BYTE index = BYTE(rop >> 16);
    return ((index >> 2) ^ index) & 0x33;
}

bool usesPattern(DWORD rop)
{
    const BYTE index = BYTE(rop >> 16);
    return ((index >> 4) ^ index) & 0x0F;
}

// A source pixel as a colour, with the monochrome rule for device bitmaps.
struct SourceReader {
    const Surface& src;
    COLORREF text;
    COLORREF bk;
    bool monoToColour;
    COLORREF colour(int x, int y) const
    {
        const DWORD v = src.Value(x, y);
        if (monoToColour)
            return v ? bk : text;
        return src.ColorOf(v);
    }
};

struct DestWriter {
    Surface& dst;
    // Colour to monochrome device: the source DC's background colour is white.
    bool colourToMono;
    COLORREF srcBk;
    ValueCache nearest{dst};
    DWORD value(COLORREF c)
    {
        if (colourToMono)
            return c == srcBk ? 1 : 0;
        return nearest.ValueFor(c);
    }
};

DWORD opMask(const Surface& s)
{
    // 32-bit colour keeps its fourth byte out of the operation: it is written as 0.
    return s.Bpp() == 32 ? 0x00FFFFFF : s.ValueMask();
}

// The source pixels one destination column (or row) takes: taps [first[i],
// first[i + 1]) of index and weight. HALFTONE takes every pixel the
// destination pixel overlaps, weighted by the overlap. Otherwise a blit that
// does not shrink takes the nearest pixel, and one that shrinks the nearest
// pixel (COLORONCOLOR) or all the pixels that fall onto it, combined with
// AND or OR.
struct Axis {
    std::vector<std::size_t> first;
    std::vector<int> index;
    std::vector<long long> weight;
    bool single = true;
};

enum class Combine { Nearest, And, Or, Average };

Combine combineFor(int mode)
{
    switch (mode) {
    case WHITEONBLACK: return Combine::Or;
    case COLORONCOLOR: return Combine::Nearest;
    case HALFTONE: return Combine::Average;
    default: return Combine::And;
    }
}

// Destination positions d0 .. d1 - 1 of an extent starting at dStart, dLen
// long, from the source extent sStart, sLen long (mirrored when flip), whose
// valid positions are 0 .. sLimit - 1.
Axis makeAxis(int d0, int d1, long long dStart, long long dLen, long long sStart, long long sLen, bool flip, int sLimit,
              Combine how)
{
    Axis a;
    a.first.reserve(std::size_t(std::max(d1 - d0, 0)) + 1);
    // The unmirrored positions k, 0 .. sLen - 1, whose source pixel lies
    // inside the source.
    const long long kFirst = flip ? sStart + sLen - sLimit : -sStart;
    const long long kLo = std::max(kFirst, 0LL);
    const long long kHi = std::min(kFirst + sLimit, sLen);
    const auto add = [&](long long k, long long w) {
        if (k < kLo || k >= kHi)
            return;
        a.index.push_back(int(sStart + (flip ? sLen - 1 - k : k)));
        a.weight.push_back(w);
    };
    const bool shrink = sLen > dLen;
    for (int d = d0; d < d1; ++d) {
        a.first.push_back(a.index.size());
        const long long i = d - dStart;
        if (how == Combine::Nearest || (!shrink && how != Combine::Average)) {
            add(i * sLen / dLen, 1);
        } else if (how == Combine::Average) {
            // Source pixel k spans [k * dLen, (k + 1) * dLen), the destination
            // pixel [i * sLen, (i + 1) * sLen), both in 1/dLen source pixels.
            const long long lo = i * sLen, hi = (i + 1) * sLen;
            for (long long k = std::max(lo / dLen, kLo); k < kHi && k * dLen < hi; ++k)
                add(k, std::min((k + 1) * dLen, hi) - std::max(k * dLen, lo));
        } else {
            for (long long k = std::max(i * sLen / dLen, kLo), e = std::min((i + 1) * sLen / dLen, kHi); k < e; ++k)
                add(k, 1);
        }
        if (a.index.size() - a.first.back() > 1)
            a.single = false;
    }
    a.first.push_back(a.index.size());
    return a;
}

// The colour of the source pixels of one destination pixel; false when they
// all lie outside the source.
bool sample(const SourceReader& reader, const Axis& ax, int i, const Axis& ay, int j, Combine how, COLORREF* out)
{
    const std::size_t x0 = ax.first[std::size_t(i)], x1 = ax.first[std::size_t(i) + 1];
    const std::size_t y0 = ay.first[std::size_t(j)], y1 = ay.first[std::size_t(j) + 1];
    if (x0 == x1 || y0 == y1)
        return false;
    if (x1 - x0 == 1 && y1 - y0 == 1) {
        *out = reader.colour(ax.index[x0], ay.index[y0]);
        return true;
    }
    if (how == Combine::Average) {
        // Weights reach 2^62 for extreme extents: sums in double.
        double r = 0, g = 0, b = 0, total = 0;
        for (std::size_t v = y0; v < y1; ++v)
            for (std::size_t u = x0; u < x1; ++u) {
                const double w = double(ax.weight[u]) * double(ay.weight[v]);
                const COLORREF c = reader.colour(ax.index[u], ay.index[v]);
                r += w * GetRValue(c);
                g += w * GetGValue(c);
                b += w * GetBValue(c);
                total += w;
            }
        const auto mean = [&](double sum) { return BYTE(std::clamp(std::lround(sum / total), 0L, 255L)); };
        *out = RGB(mean(r), mean(g), mean(b));
        return true;
    }
    COLORREF c = how == Combine::Or ? 0 : 0xFFFFFF;
    for (std::size_t v = y0; v < y1; ++v)
        for (std::size_t u = x0; u < x1; ++u)
            c = how == Combine::Or ? c | reader.colour(ax.index[u], ay.index[v])
                                   : c & reader.colour(ax.index[u], ay.index[v]);
    *out = c;
    return true;
}

DWORD load32(const BYTE* p)
{
    DWORD v;
    std::memcpy(&v, p, 4);
    return v;
}

void store32(BYTE* p, DWORD v)
{
    std::memcpy(p, &v, 4);
}

// Whether destination column i takes source column index[0] + i, for
// every column: a straight run of the source row.
bool straight(const Axis& a)
{
    if (a.index.empty() || a.index.size() + 1 != a.first.size())
        return false;
    for (std::size_t i = 0; i < a.index.size(); ++i)
        if (a.first[i] != i || a.index[i] != a.index[0] + int(i))
            return false;
    return true;
}

// f(source row, destination row, a, b) for every run a .. b - 1 of the
// destination columns x0 .. x1 - 1 the clip lets through, on the rows
// y0 .. y1 - 1 that take a source row.
template <class F>
void forEachRun(const Surface& src, Surface& dst, const Clip& clip, const Axis& ay, int x0, int x1, int y0, int y1,
                F&& f)
{
    for (int y = y0; y < y1; ++y) {
        const std::size_t ty = ay.first[std::size_t(y - y0)];
        if (ty == ay.first[std::size_t(y - y0) + 1])
            continue;
        const BYTE* srow = src.Row(ay.index[ty]);
        BYTE* drow = dst.Row(y);
        clip.Row(y, x0, x1, [&](int a, int b) { f(srow, drow, a, b); });
    }
}

// SRCCOPY of single source pixels onto a 32-bit colour surface: the source's
// colours become the destination's bytes without the general path.
// Pixels of a 24-bit row as 32-bit values with the fourth byte given; four
// at a time from three words.
void expand24(const BYTE* q, BYTE* p, int n, DWORD fourth)
{
    int i = 0;
    for (; i + 4 <= n; i += 4, q += 12, p += 16) {
        const DWORD w0 = load32(q), w1 = load32(q + 4), w2 = load32(q + 8);
        store32(p, (w0 & 0x00FFFFFF) | fourth);
        store32(p + 4, (w0 >> 24) | ((w1 & 0xFFFF) << 8) | fourth);
        store32(p + 8, (w1 >> 16) | ((w2 & 0xFF) << 16) | fourth);
        store32(p + 12, (w2 >> 8) | fourth);
    }
    for (; i < n; ++i, q += 3, p += 4)
        store32(p, DWORD(q[0]) | (DWORD(q[1]) << 8) | (DWORD(q[2]) << 16) | fourth);
}

bool copyFast(Surface& dst, const Surface& src, const Clip& clip, const Axis& ax, int x0, const Axis& ay, int y0,
              int y1)
{
    if (dst.Bpp() != 32 || dst.Compression() != BI_RGB || dst.IsMonoDevice() || src.IsMonoDevice() ||
        src.Compression() != BI_RGB || src.Bpp() == 16 || !ax.single || !ay.single)
        return false;
    const int sbpp = src.Bpp();
    DWORD lut[256] = {};
    if (sbpp <= 8)
        for (DWORD v = 0; v < (DWORD(1) << sbpp); ++v)
            lut[v] = dst.ValueFor(src.ColorOf(v));
    const BYTE alpha = dst.IsDevice() ? 0xFF : 0x00;
    if ((sbpp == 32 || sbpp == 24) && straight(ax)) {
        // Whole runs of a row: the colour bytes as they are, the fourth byte set.
        const DWORD fourth = DWORD(alpha) << 24;
        const int shift = ax.index[0] - x0;
        forEachRun(src, dst, clip, ay, x0, x0 + int(ax.index.size()), y0, y1,
                   [&](const BYTE* srow, BYTE* drow, int a, int b) {
                       if (sbpp == 32) {
                           for (int x = a; x < b; ++x)
                               store32(drow + 4 * std::size_t(x),
                                       (load32(srow + 4 * std::size_t(x + shift)) & 0x00FFFFFF) | fourth);
                           return;
                       }
                       expand24(srow + 3 * std::size_t(a + shift), drow + 4 * std::size_t(a), b - a, fourth);
                   });
        return true;
    }
    forEachRun(src, dst, clip, ay, x0, x0 + int(ax.first.size()) - 1, y0, y1,
               [&](const BYTE* srow, BYTE* drow, int a, int b) {
            for (int x = a; x < b; ++x) {
                const std::size_t t = ax.first[std::size_t(x - x0)];
                if (t == ax.first[std::size_t(x - x0) + 1])
                    continue;
                const int sx = ax.index[t];
                BYTE* p = drow + 4 * std::size_t(x);
                DWORD v;
                switch (sbpp) {
                case 1: v = lut[(srow[sx >> 3] >> (7 - (sx & 7))) & 1]; break;
                case 4: v = lut[(srow[sx >> 1] >> ((sx & 1) ? 0 : 4)) & 0xF]; break;
                case 8: v = lut[srow[sx]]; break;
                case 24: {
                    const BYTE* q = srow + 3 * std::size_t(sx);
                    p[0] = q[0];
                    p[1] = q[1];
                    p[2] = q[2];
                    p[3] = alpha;
                    continue;
                }
                default: {
                    const BYTE* q = srow + 4 * std::size_t(sx);
                    p[0] = q[0];
                    p[1] = q[1];
                    p[2] = q[2];
                    p[3] = alpha;
                    continue;
                }
                }
                p[0] = BYTE(v);
                p[1] = BYTE(v >> 8);
                p[2] = BYTE(v >> 16);
                p[3] = alpha;
            }
        });
    return true;
}

bool plain32(const Surface& s)
{
    return s.Bpp() == 32 && s.Compression() == BI_RGB && !s.IsMonoDevice();
}

// SRCCOPY, SRCAND, SRCPAINT and SRCINVERT with one source pixel each, from a
// monochrome device bitmap or a 32-bit surface onto a 32-bit surface, or
// from a 32-bit surface onto a monochrome device bitmap: the general path's
// values without its per-pixel conversions.
bool combineFast(Surface& dst, const DC& dstDC, const Surface& src, COLORREF srcBk, const Clip& clip, const Axis& ax,
                 int x0, int x1, const Axis& ay, int y0, int y1, DWORD rop)
{
    const BYTE op = BYTE(rop >> 16);
    if ((op != 0xCC && op != 0x88 && op != 0xEE && op != 0x66) || !ax.single || !ay.single)
        return false;
    const auto combine = [op](DWORD s, DWORD d) {
        switch (op) {
        case 0xCC: return s;
        case 0x88: return s & d;
        case 0xEE: return s | d;
        default: return s ^ d;
        }
    };
    // The source column of destination column x, or -1 outside the source.
    const auto column = [&](int x) {
        const std::size_t t = ax.first[std::size_t(x - x0)];
        return t == ax.first[std::size_t(x - x0) + 1] ? -1 : ax.index[t];
    };
    const auto rows = [&](auto&& pixel) {
        forEachRun(src, dst, clip, ay, x0, x1, y0, y1, [&](const BYTE* srow, BYTE* drow, int a, int b) {
            for (int x = a; x < b; ++x)
                if (const int sx = column(x); sx >= 0)
                    pixel(srow, sx, drow, x);
        });
    };
    if (plain32(dst) && src.IsMonoDevice()) {
        // A monochrome 0 is the text colour, 1 the background colour.
        const DWORD fore = dst.ValueFor(dstDC.textColor) & 0x00FFFFFF;
        const DWORD back = dst.ValueFor(dstDC.bkColor) & 0x00FFFFFF;
        const DWORD alpha = dst.IsDevice() ? 0xFF000000 : 0;
        rows([&](const BYTE* srow, int sx, BYTE* drow, int x) {
            const DWORD s = ((srow[sx >> 3] >> (7 - (sx & 7))) & 1) ? back : fore;
            store32(drow + 4 * std::size_t(x), (combine(s, load32(drow + 4 * std::size_t(x))) & 0x00FFFFFF) | alpha);
        });
        return true;
    }
    if (plain32(dst) && plain32(src)) {
        const DWORD alpha = dst.IsDevice() ? 0xFF000000 : 0;
        rows([&](const BYTE* srow, int sx, BYTE* drow, int x) {
            const DWORD s = load32(srow + 4 * std::size_t(sx));
            store32(drow + 4 * std::size_t(x), (combine(s, load32(drow + 4 * std::size_t(x))) & 0x00FFFFFF) | alpha);
        });
        return true;
    }
    if (dst.IsMonoDevice() && plain32(src)) {
        // The source DC's background colour is white (1), every other black.
        rows([&](const BYTE* srow, int sx, BYTE* drow, int x) {
            const DWORD v = load32(srow + 4 * std::size_t(sx));
            const DWORD s = RGB(BYTE(v >> 16), BYTE(v >> 8), BYTE(v)) == srcBk ? 1 : 0;
            BYTE& b = drow[x >> 3];
            const BYTE bit = BYTE(0x80 >> (x & 7));
            b = BYTE((combine(s, (b & bit) ? 1 : 0) & 1) ? (b | bit) : (b & ~bit));
        });
        return true;
    }
    return false;
}

// n destination pixels from p on: combine(source pixel, old value) with the
// fourth byte set, the source pixels taken from column sx on. Everything is
// passed by value, so that the compiler may vectorise the loop.
template <class Source, class Op>
void combineRun(const BYTE* srow, int sx, BYTE* p, int n, DWORD alpha, Source source, Op combine)
{
    for (int i = 0; i < n; ++i) {
        BYTE* q = p + 4 * std::size_t(i);
        store32(q, (combine(source(srow, sx + i), load32(q)) & 0x00FFFFFF) | alpha);
    }
}

// A blit that neither stretches nor mirrors, destination pixel (x, y) taking
// source pixel (x + ox, y + oy), over the destination columns xa .. xb - 1
// and rows ya .. yb - 1 that have one: the cases copyFast and combineFast
// take, row by row, without the tables of the general path.
bool sameSizeFast(Surface& dst, const DC& dstDC, const Surface& src, COLORREF srcBk, const Clip& clip, int ox, int oy,
                  int xa, int xb, int ya, int yb, DWORD rop)
{
    const BYTE op = BYTE(rop >> 16);
    if (op != 0xCC && op != 0x88 && op != 0xEE && op != 0x66)
        return false;
    const auto rows = [&](auto&& run) {
        for (int y = ya; y < yb; ++y) {
            const BYTE* srow = src.Row(y + oy);
            BYTE* drow = dst.Row(y);
            clip.Row(y, xa, xb, [&](int a, int b) { run(srow, drow, a, b); });
        }
    };
    // The operation on 32-bit colour values, the fourth byte set after it.
    const auto onto32 = [&](DWORD alpha, auto source) {
        const auto each = [&](auto combine) {
            rows([&](const BYTE* srow, BYTE* drow, int a, int b) {
                combineRun(srow, a + ox, drow + 4 * std::size_t(a), b - a, alpha, source, combine);
            });
        };
        switch (op) {
        case 0xCC: each([](DWORD s, DWORD) { return s; }); break;
        case 0x88: each([](DWORD s, DWORD d) { return s & d; }); break;
        case 0xEE: each([](DWORD s, DWORD d) { return s | d; }); break;
        default: each([](DWORD s, DWORD d) { return s ^ d; }); break;
        }
    };
    if (plain32(dst)) {
        const DWORD alpha = dst.IsDevice() ? 0xFF000000 : 0;
        if (op == 0xCC && src.Bpp() == 24) {
            rows([&](const BYTE* srow, BYTE* drow, int a, int b) {
                expand24(srow + 3 * std::size_t(a + ox), drow + 4 * std::size_t(a), b - a, alpha);
            });
            return true;
        }
        if (plain32(src)) {
            onto32(alpha, [](const BYTE* srow, int sx) { return load32(srow + 4 * std::size_t(sx)); });
            return true;
        }
        if (src.IsMonoDevice()) {
            // A monochrome 0 is the text colour, 1 the background colour.
            const DWORD fore = dst.ValueFor(dstDC.textColor) & 0x00FFFFFF;
            const DWORD back = dst.ValueFor(dstDC.bkColor) & 0x00FFFFFF;
            onto32(alpha, [fore, back](const BYTE* srow, int sx) {
                return ((srow[sx >> 3] >> (7 - (sx & 7))) & 1) ? back : fore;
            });
            return true;
        }
        return false;
    }
    if (dst.IsMonoDevice() && plain32(src)) {
        // The source DC's background colour is white (1), every other black.
        rows([&](const BYTE* srow, BYTE* drow, int a, int b) {
            for (int x = a; x < b; ++x) {
                const DWORD v = load32(srow + 4 * std::size_t(x + ox));
                const DWORD s = RGB(BYTE(v >> 16), BYTE(v >> 8), BYTE(v)) == srcBk ? 1 : 0;
                BYTE& d = drow[x >> 3];
                const BYTE bit = BYTE(0x80 >> (x & 7));
                const DWORD old = (d & bit) ? 1 : 0;
                const DWORD out = op == 0xCC ? s : op == 0x88 ? (s & old) : op == 0xEE ? (s | old) : (s ^ old);
                d = BYTE((out & 1) ? (d | bit) : (d & ~bit));
            }
        });
        return true;
    }
    return false;
}

// One general stretching blit: the destination rectangle (dx, dy, dw, dh)
// takes the source pixels of (sx, sy, sw, sh) as the stretch mode says;
// negative extents mirror. Source coordinates are counted from the top. The
// rectangles are taken in 64 bits: mirroring an extent of INT_MIN, or a
// source rectangle counted from the other end, leaves the int range.
void stretch(Surface& dst, const DC& dstDC, const Surface* src, COLORREF srcBk, long long dx, long long dy,
             long long dw, long long dh, long long sx, long long sy, long long sw, long long sh, DWORD rop)
{
    bool flipX = false, flipY = false;
    if (dw < 0) { dx += dw; dw = -dw; flipX = !flipX; }
    if (dh < 0) { dy += dh; dh = -dh; flipY = !flipY; }
    if (sw < 0) { sx += sw; sw = -sw; flipX = !flipX; }
    if (sh < 0) { sy += sh; sh = -sh; flipY = !flipY; }
    if (dw == 0 || dh == 0 || (src && (sw == 0 || sh == 0)))
        return;

    const bool withSource = src && usesSource(rop);
    const SourceReader reader{src ? *src : dst, dstDC.textColor, dstDC.bkColor,
                              src && src->IsMonoDevice() && !dst.IsMonoDevice()};
    DestWriter writer{dst, dst.IsMonoDevice() && src && !src->IsMonoDevice(), srcBk};
    const DWORD mask = opMask(dst);
    const Tile pattern = usesPattern(rop) ? BrushTile(dst, dstDC, dstDC.brush) : Tile{1, 1, {0}};
    // An operation that needs a brush draws nothing with the null brush.
    if (pattern.Empty())
        return;
    const Clip clip(dstDC, dst);

    const int x0 = int(std::max<long long>(dx, clip.Left()));
    const int x1 = int(std::min<long long>(dx + dw, clip.Right()));
    const int y0 = int(std::max<long long>(dy, clip.Top()));
    const int y1 = int(std::min<long long>(dy + dh, clip.Bottom()));
    if (x0 >= x1 || y0 >= y1)
        return;
    if (withSource && !flipX && !flipY && sw == dw && sh == dh) {
        // Without stretching every stretch mode takes the one source pixel.
        const long long ox = sx - dx, oy = sy - dy;
        const int xa = int(std::max<long long>(x0, -ox)), xb = int(std::min<long long>(x1, src->Width() - ox));
        const int ya = int(std::max<long long>(y0, -oy)), yb = int(std::min<long long>(y1, src->Height() - oy));
        if (xa >= xb || ya >= yb)
            return;
        if (sameSizeFast(dst, dstDC, *src, srcBk, clip, int(ox), int(oy), xa, xb, ya, yb, rop))
            return;
    }
    const Combine how = combineFor(dstDC.stretchMode);
    Axis ax, ay;
    if (withSource) {
        ax = makeAxis(x0, x1, dx, dw, sx, sw, flipX, src->Width(), how);
        ay = makeAxis(y0, y1, dy, dh, sy, sh, flipY, src->Height(), how);
        if (rop == SRCCOPY && copyFast(dst, *src, clip, ax, x0, ay, y0, y1))
            return;
        if (combineFast(dst, dstDC, *src, srcBk, clip, ax, x0, x1, ay, y0, y1, rop))
            return;
    }
    for (int y = y0; y < y1; ++y) {
        if (withSource && ay.first[std::size_t(y - y0)] == ay.first[std::size_t(y - y0) + 1])
            continue;
        clip.Row(y, x0, x1, [&](int a, int b) {
            for (int x = a; x < b; ++x) {
                DWORD s = 0;
                if (withSource) {
                    COLORREF c;
                    if (!sample(reader, ax, x - x0, ay, y - y0, how, &c))
                        continue;
                    s = writer.value(c) & mask;
                }
                const DWORD d = dst.Value(x, y) & mask;
                dst.SetValue(x, y, applyRop(rop, pattern.At(x, y) & mask, s, d) & mask);
            }
        });
    }
}

} // namespace

} // namespace gdi

using namespace gdi;

namespace {

// The surface and background colour of a blit's source DC; a null surface
// for an operation that reads no source. False when one is needed and the
// DC has none.
bool blitSource(HDC hdcSrc, DWORD rop, const Surface** src, COLORREF* srcBk)
{
    *src = nullptr;
    *srcBk = 0xFFFFFF;
    if (!usesSource(rop))
        return true;
    DC* sdc = FindDC(hdcSrc);
    *src = DCSurface(hdcSrc);
    if (!sdc || !*src)
        return false;
    *srcBk = sdc->bkColor;
    return true;
}

} // namespace

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    DC* dc = FindDC(hdc);
    Surface* dst = DCSurface(hdc);
    const Surface* src = nullptr;
    COLORREF srcBk = 0;
    if (!dc || !dst || !blitSource(hdcSrc, rop, &src, &srcBk))
        return FALSE;
    if (cx < 0 || cy < 0)
        return FALSE;
    stretch(*dst, *dc, src, srcBk, x, y, cx, cy, x1, y1, cx, cy, rop);
    return TRUE;
}

int SetStretchBltMode(HDC hdc, int mode)
{
    DC* dc = FindDC(hdc);
    if (!dc || mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    const int old = dc->stretchMode;
    dc->stretchMode = mode;
    return old;
}

int GetStretchBltMode(HDC hdc)
{
    DC* dc = FindDC(hdc);
    return dc ? dc->stretchMode : 0;
}

BOOL StretchBlt(HDC hdc, int x, int y, int w, int h, HDC hdcSrc, int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop)
{
    DC* dc = FindDC(hdc);
    Surface* dst = DCSurface(hdc);
    const Surface* src = nullptr;
    COLORREF srcBk = 0;
    if (!dc || !dst || !blitSource(hdcSrc, rop, &src, &srcBk))
        return FALSE;
    stretch(*dst, *dc, src, srcBk, x, y, w, h, xSrc, ySrc, wSrc, hSrc, rop);
    return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop)
{
    DC* dc = FindDC(hdc);
    Surface* dst = DCSurface(hdc);
    if (!dc || !dst || usesSource(rop))
        return FALSE;
    stretch(*dst, *dc, nullptr, 0, x, y, w, h, 0, 0, 0, 0, rop);
    return TRUE;
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* bmi, UINT usage, DWORD rop)
{
    DC* dc = FindDC(hdc);
    Surface* dst = DCSurface(hdc);
    if (!dc || !dst)
        return 0;
    Surface view;
    const std::vector<RGBQUAD> pal = DCPaletteColors(*dc);
    if (!view.View(bmi, bits, usage, &pal))
        return 0;
    // A bottom-up DIB's source rectangle starts at its bottom row.
    const long long top = view.IsBottomUp() ? static_cast<long long>(view.Height()) - ySrc - srcHeight : ySrc;
    stretch(*dst, *dc, &view, dc->bkColor, xDest, yDest, destWidth, destHeight, xSrc, top, srcWidth, srcHeight, rop);
    return view.Height();
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage)
{
    DC* dc = FindDC(hdc);
    Surface* dst = DCSurface(hdc);
    if (!dc || !dst || !bmi || w > 0x7FFFFFFF || h > 0x7FFFFFFF || lines == 0)
        return 0;
    // The bits hold only the scan lines startScan .. startScan + lines - 1.
    const BITMAPINFOHEADER& full = bmi->bmiHeader;
    const bool bottomUp = full.biHeight > 0;
    const UINT fullHeight = UINT(full.biHeight < 0 ? -static_cast<long long>(full.biHeight) : full.biHeight);
    if (startScan >= fullHeight)
        return 0;
    lines = std::min(lines, fullHeight - startScan);
    std::vector<BYTE> header(bmi->bmiHeader.biSize + 256 * sizeof(RGBQUAD) + 12);
    const std::size_t tableBytes = (full.biCompression == BI_BITFIELDS ? 12 : 0) +
        (usage == DIB_PAL_COLORS ? sizeof(WORD) : sizeof(RGBQUAD)) * std::size_t(std::max(ColorCount(full), 0));
    if (ColorCount(full) < 0 || full.biSize < sizeof(BITMAPINFOHEADER))
        return 0;
    std::copy_n(reinterpret_cast<const BYTE*>(bmi), std::min(header.size(), full.biSize + tableBytes), header.begin());
    auto* part = reinterpret_cast<BITMAPINFO*>(header.data());
    part->bmiHeader.biHeight = bottomUp ? LONG(lines) : -LONG(lines);
    Surface view;
    const std::vector<RGBQUAD> pal = DCPaletteColors(*dc);
    if (!view.View(part, bits, usage, &pal))
        return 0;
    // Row r of the whole DIB (counted the way its source rectangle is) is
    // row r - startScan of the band.
    const long long fullTop = bottomUp ? static_cast<long long>(fullHeight) - ySrc - h : ySrc;
    const long long bandTop = bottomUp ? static_cast<long long>(fullHeight) - startScan - lines : startScan;
    stretch(*dst, *dc, &view, dc->bkColor, xDest, yDest, w, h, xSrc, fullTop - bandTop, w, h, SRCCOPY);
    return int(lines);
}
