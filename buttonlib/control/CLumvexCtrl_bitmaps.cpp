// Bitmap and region work of the face drawing: pictures fitted into the face,
// the colour behind the button, the bevel of a mask shape and the region of
// a mask.

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/control/FaceBatch.h"
#include "buttonlib/control/FaceDrawing.h"

#include "platform/win/Messages.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using facedraw::BitmapDC;
using facedraw::BitmapSize;

// The whole picture stretched with area averaging into a new bitmap of the
// DC's kind, drawn through the picture's own palette; null on failure.
HBITMAP halftoneCopy(HDC hdc, HBITMAP picture, int bw, int bh, int width, int height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    HBITMAP result = CreateCompatibleBitmap(hdc, width, height);
    if (!result)
        return nullptr;
    CDIB dib;
    const HPALETTE palette = dib.Create(picture, nullptr) ? dib.GetPalette()->GetSafeHandle() : nullptr;
    bool drawn = false;
    {
        BitmapDC src(hdc, picture);
        BitmapDC dst(hdc, result);
        if (src.Ok() && dst.Ok()) {
            HPALETTE oldSrc = nullptr;
            HPALETTE oldDst = nullptr;
            if (palette) {
                oldSrc = SelectPalette(src.dc(), palette, TRUE);
                RealizePalette(src.dc());
                oldDst = SelectPalette(dst.dc(), palette, TRUE);
                RealizePalette(dst.dc());
            }
            SetStretchBltMode(dst.dc(), HALFTONE);
            drawn = StretchBlt(dst.dc(), 0, 0, width, height, src.dc(), 0, 0, bw, bh, SRCCOPY);
            if (oldSrc)
                SelectPalette(src.dc(), oldSrc, TRUE);
            if (oldDst)
                SelectPalette(dst.dc(), oldDst, TRUE);
        }
    }
    if (!drawn) {
        DeleteObject(result);
        return nullptr;
    }
    return result;
}

} // namespace

COLORREF CLumvexCtrl::TranslateOleColor(OLE_COLOR color)
{
    // System colours are given by index, as OLE_COLOR has them.
    if ((color & 0xFF000000) == 0x80000000)
        return GetSysColor(int(color & 0xFF));
    return color & 0x00FFFFFF;
}

RECT CLumvexCtrl::FitPictureTarget(const RECT& rect, int bw, int bh, BOOL keepRatio)
{
    RECT target = rect;
    const long long w = rect.right - rect.left;
    const long long h = rect.bottom - rect.top;
    if (!keepRatio || bw <= 0 || bh <= 0 || w <= 0 || h <= 0)
        return target;
    // Proportions in thousandths, as integers; the 64-bit arithmetic only
    // keeps very wide pictures from overflowing, and a ratio that rounds to
    // 0 counts as 1 so that it can divide.
    const long long r = std::max(1LL, (long long)bw * 1000 / bh);
    const long long q = w * 1000 / h;
    if (q < r) {
        const long long c = std::min((h - w * 1000 / r + 1) / 2, (h - 1) / 2);
        target.top += LONG(c);
        target.bottom -= LONG(c);
    } else {
        const long long c = std::min((w - h * r / 1000 + 1) / 2, (w - 1) / 2);
        target.left += LONG(c);
        target.right -= LONG(c);
    }
    return target;
}

HBITMAP CLumvexCtrl::FitPictureToFace(HDC hdc, HBITMAP hbm, const RECT& rect)
{
    const int w = int(rect.right - rect.left);
    const int h = int(rect.bottom - rect.top);
    int bw = 0;
    int bh = 0;
    if (w <= 0 || h <= 0 || !BitmapSize(hbm, &bw, &bh)) {
        DeleteObject(hbm);
        return nullptr;
    }
    if (w >= bw && h >= bh)
        return hbm;
    const RECT target = FitPictureTarget(rect, bw, bh, m_PictureKeepRatio);
    HBITMAP fitted =
        halftoneCopy(hdc, hbm, bw, bh, int(target.right - target.left), int(target.bottom - target.top));
    DeleteObject(hbm);
    return fitted;
}

HBITMAP CLumvexCtrl::StretchPictureToFace(HDC hdc, HBITMAP hbm, const RECT& rect)
{
    int bw = 0;
    int bh = 0;
    HBITMAP stretched = nullptr;
    if (BitmapSize(hbm, &bw, &bh))
        stretched = halftoneCopy(hdc, hbm, bw, bh, int(rect.right - rect.left) - 2, int(rect.bottom - rect.top) - 2);
    DeleteObject(hbm);
    return stretched;
}

COLORREF CLumvexCtrl::GetContainerBackColor()
{
    if (m_NSContainerColor != OLE_COLOR(-1))
        return TranslateOleColor(m_NSContainerColor);
    return TranslateOleColor(AmbientBackColor());
}

void CLumvexCtrl::DrawMaskBevel(HDC hdc, HBITMAP hMask, HBITMAP hFaceCopy, BOOL bRaised, COLORREF colour1,
                                COLORREF colour2, UINT itemState, const RECT& rect)
{
    int w = 0;
    int h = 0;
    int fw = 0;
    int fh = 0;
    if (!BitmapSize(hMask, &w, &h) || !BitmapSize(hFaceCopy, &fw, &fh))
        return;
    BitmapDC face(hdc, hFaceCopy);
    if (!face.Ok())
        return;
    // The copy repeated from the corner, as a pattern brush lays it.
    const MaskRows outside{facedraw::OneBitRows(hMask, w, h), w, h};
    drawMaskBevel(hdc, outside, bRaised, colour1, colour2, itemState, rect, [&](HDC target) {
        for (int y = 0; y < h; y += fh)
            for (int x = 0; x < w; x += fw)
                if (!BitBlt(target, x, y, fw, fh, face.dc(), 0, 0, SRCCOPY))
                    return false;
        return true;
    });
}

void CLumvexCtrl::drawMaskBevel(HDC hdc, const MaskRows& outsideRows, BOOL bRaised, COLORREF colour1,
                                COLORREF colour2, UINT itemState, const RECT& rect,
                                const std::function<bool(HDC)>& drawFace)
{
    const int b = m_Shape == 4 ? 1 : m_ButtonRaiseFactor;
    if (!bRaised)
        std::swap(colour1, colour2);
    const COLORREF outside =
        (itemState & win::ODS_FOCUS) && m_FocusMode == 1 ? RGB(0, 0, 0) : GetContainerBackColor();

    const int w = outsideRows.width;
    const int h = outsideRows.height;
    const std::vector<DWORD>& mask = outsideRows.rows;
    const std::size_t maskWords = (std::size_t(w) + 31) / 32;
    if (w <= 0 || h <= 0 || mask.size() != maskWords * std::size_t(h))
        return;
    // The mask a byte a pixel, set where it is white (outside the shape),
    // with a margin of p all round that lies outside too. A step of b
    // beyond the shorter side lands outside from every pixel, as one of
    // exactly that side does.
    const int p = std::min(std::abs(b), std::min(w, h));
    const int step = b < 0 ? -p : p;
    const std::size_t mapWidth = std::size_t(w) + 2 * std::size_t(p);
    std::vector<BYTE> outMap(mapWidth * (std::size_t(h) + 2 * std::size_t(p)), 1);
    for (int y = 0; y < h; ++y) {
        const BYTE* row = reinterpret_cast<const BYTE*>(mask.data() + std::size_t(y) * maskWords);
        BYTE* to = outMap.data() + (std::size_t(y) + std::size_t(p)) * mapWidth + std::size_t(p);
        for (int x = 0; x < w; ++x)
            to[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
    const auto mapRow = [&](int y, int dx) {
        return outMap.data() + std::size_t(y + p) * mapWidth + std::size_t(p + dx);
    };
    const auto bgr = [](COLORREF c) {
        return DWORD(GetBValue(c)) | DWORD(GetGValue(c)) << 8 | DWORD(GetRValue(c)) << 16;
    };
    const DWORD outsideValue = bgr(outside);
    const DWORD topLeftValue = bgr(colour1);
    const DWORD bottomRightValue = bgr(colour2);

    // The face, then the outside, the top-left band (shape pixels whose
    // neighbour b up and left lies outside) and the bottom-right band over it.
    void* bits = nullptr;
    facedraw::OwnedBitmap fresh;
    HBITMAP result = nullptr;
    if (m_pFaceBatch)
        result = m_pFaceBatch->Section32(w, h, &bits);
    else
        fresh.reset(result = facedraw::TopDownSection32(w, h, &bits));
    if (!result)
        return;
    {
        BitmapDC composed(hdc, result);
        if (composed.Ok() && drawFace(composed.dc())) {
            auto* pixels = static_cast<DWORD*>(bits);
            for (int y = 0; y < h; ++y) {
                DWORD* row = pixels + std::size_t(y) * std::size_t(w);
                const BYTE* here = mapRow(y, 0);
                const BYTE* belowRight = mapRow(y + step, step);
                const BYTE* aboveLeft = mapRow(y - step, -step);
                for (int x = 0; x < w; ++x) {
                    if (here[x])
                        row[x] = outsideValue;
                    else if (belowRight[x])
                        row[x] = bottomRightValue;
                    else if (aboveLeft[x])
                        row[x] = topLeftValue;
                }
            }
            SelectClipRgn(hdc, m_hRgnPartClip);
            BitBlt(hdc, int(rect.left), int(rect.top), w, h, composed.dc(), 0, 0, SRCCOPY);
            SelectClipRgn(hdc, m_hClipRgn);
        }
    }
}

HRGN CLumvexCtrl::BitmapToRegion(HBITMAP hbm, COLORREF transparent, COLORREF tolerance)
{
    int w = 0;
    int h = 0;
    if (!BitmapSize(hbm, &w, &h))
        return nullptr;
    const std::vector<DWORD> rows = facedraw::UnkeyedRows(hbm, w, h, transparent, tolerance);
    return rows.empty() ? nullptr : facedraw::RegionOfRows(rows, w, h);
}

void facedraw::ClearRowPadding(std::vector<DWORD>& rows, int width, int height)
{
    const std::size_t words = (std::size_t(width) + 31) / 32;
    const int used = width % 32;
    if (used == 0 || rows.size() < words * std::size_t(height))
        return;
    // The first pixel is the highest bit of the first byte.
    auto* bytes = reinterpret_cast<BYTE*>(rows.data());
    const std::size_t last = std::size_t(width) / 8;
    const BYTE keep = BYTE(0xFF00 >> (width % 8));
    for (int y = 0; y < height; ++y) {
        BYTE* row = bytes + words * 4 * std::size_t(y);
        if (width % 8)
            row[last] &= keep;
        std::fill(row + (width + 7) / 8, row + words * 4, BYTE(0));
    }
}

std::vector<DWORD> facedraw::UnkeyedRows(HBITMAP hbm, int w, int h, COLORREF key, COLORREF tolerance)
{
    auto range = [](BYTE k, BYTE tol) { return std::pair<int, int>(k, std::min(k + tol, 255)); };
    // Plain pairs: clang cannot capture structured bindings.
    const std::pair<int, int> red = range(GetRValue(key), GetRValue(tolerance));
    const std::pair<int, int> green = range(GetGValue(key), GetGValue(tolerance));
    const std::pair<int, int> blue = range(GetBValue(key), GetBValue(tolerance));
    auto isKey = [&](const BYTE* p) {
        return p[2] >= red.first && p[2] <= red.second && p[1] >= green.first && p[1] <= green.second &&
               p[0] >= blue.first && p[0] <= blue.second;
    };

    // A monochrome device bitmap shows its 0 bits black and its 1 bits
    // white (a memory DC's text and background colours): its rows are read
    // as they are.
    BITMAP bm{};
    GetObject(hbm, sizeof bm, &bm);
    if (bm.bmBitsPixel == 1 && bm.bmPlanes == 1 && !bm.bmBits) {
        std::vector<DWORD> rows = OneBitRows(hbm, w, h);
        static constexpr BYTE kBlack[4] = {0, 0, 0, 0};
        static constexpr BYTE kWhite[4] = {255, 255, 255, 0};
        const bool blackIsKey = isKey(kBlack);
        const bool whiteIsKey = isKey(kWhite);
        for (DWORD& word : rows)
            word = blackIsKey && whiteIsKey ? 0 : blackIsKey ? word : whiteIsKey ? ~word : ~DWORD(0);
        ClearRowPadding(rows, w, h);
        return rows;
    }

    // Other bitmaps are copied to a top-down 32-bit section: blue, green,
    // red, unused.
    void* bits = nullptr;
    OwnedBitmap section(TopDownSection32(w, h, &bits));
    if (!section)
        return {};
    {
        BitmapDC src(nullptr, hbm);
        BitmapDC dst(nullptr, section.get());
        if (!src.Ok() || !dst.Ok() || !BitBlt(dst.dc(), 0, 0, w, h, src.dc(), 0, 0, SRCCOPY))
            return {};
    }
    const std::size_t words = (std::size_t(w) + 31) / 32;
    std::vector<DWORD> rows(words * std::size_t(h));
    const auto* pixels = static_cast<const BYTE*>(bits);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<BYTE*>(rows.data() + words * std::size_t(y));
        const BYTE* p = pixels + std::size_t(y) * std::size_t(w) * 4;
        for (int x = 0; x < w; ++x, p += 4)
            if (!isKey(p))
                row[x >> 3] |= BYTE(0x80 >> (x & 7));
    }
    return rows;
}

HRGN facedraw::RegionOfRows(const std::vector<DWORD>& rows, int w, int h)
{
    if (w <= 0 || h <= 0 || rows.size() < (std::size_t(w) + 31) / 32 * std::size_t(h))
        return nullptr;
    // Runs are gathered into region data and turned into a region every
    // kBatch rectangles, which keeps each region call small.
    constexpr std::size_t kBatch = 2000;
    std::vector<BYTE> data;
    HRGN result = nullptr;
    bool failed = false;
    std::vector<RECT> rects;
    rects.reserve(kBatch);
    auto flush = [&] {
        if (rects.empty() || failed)
            return;
        RGNDATAHEADER header{};
        header.dwSize = sizeof(RGNDATAHEADER);
        header.iType = RDH_RECTANGLES;
        header.nCount = DWORD(rects.size());
        header.nRgnSize = DWORD(rects.size() * sizeof(RECT));
        header.rcBound = rects.front();
        for (const RECT& r : rects) {
            header.rcBound.left = std::min(header.rcBound.left, r.left);
            header.rcBound.top = std::min(header.rcBound.top, r.top);
            header.rcBound.right = std::max(header.rcBound.right, r.right);
            header.rcBound.bottom = std::max(header.rcBound.bottom, r.bottom);
        }
        data.resize(sizeof(RGNDATAHEADER) + header.nRgnSize);
        std::memcpy(data.data(), &header, sizeof(header));
        std::memcpy(data.data() + sizeof(header), rects.data(), header.nRgnSize);
        HRGN part = ExtCreateRegion(nullptr, DWORD(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
        rects.clear();
        if (!part) {
            failed = true;
            return;
        }
        if (!result) {
            result = part;
            return;
        }
        CombineRgn(result, result, part, RGN_OR);
        DeleteObject(part);
    };

    for (int y = 0; y < h && !failed; ++y) {
        int x = 0;
        while (x < w) {
            while (x < w && !BitAt(rows, w, x, y))
                ++x;
            const int start = x;
            while (x < w && BitAt(rows, w, x, y))
                ++x;
            if (x > start) {
                rects.push_back(RECT{start, y, x, y + 1});
                if (rects.size() == kBatch)
                    flush();
            }
        }
    }
    flush();
    if (failed) {
        DeleteObject(result);
        return nullptr;
    }
    return result;
}
