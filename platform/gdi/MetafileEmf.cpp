// Enhanced metafile records. Each record's size is checked against the data
// and its fields against the record (libUEMF's checks, then ours for every
// array and offset used) before anything in it is read.

#include "platform/gdi/MetafilePlayer.h"

#include "platform/basic/Strings.h"

#include <uemf.h>
#include <uemf_safe.h>

#include <cmath>
#include <cstring>

namespace gdi {

namespace {

constexpr std::uint32_t kLastKnownType = 122;

// Record types libUEMF checks and this player reads; the rest are skipped
// after a check of their size alone.
bool handled(std::uint32_t type)
{
    switch (type) {
    case 69: case 78: case 79: case 96: case 97: case 102: case 103: case 104: case 105: case 106: case 107:
    case 108: case 109: case 110: case 111: case 112: case 113: case 114: case 116: case 117: case 118:
    case 119: case 120: case 121: case 122:
        return false;
    default:
        return type >= 1 && type <= kLastKnownType;
    }
}

template <typename T>
const T& as(const BYTE* rec)
{
    return *reinterpret_cast<const T*>(rec);
}

// count elements of elem bytes at offset lie inside a record of size bytes.
bool fits(std::size_t size, std::uint64_t offset, std::uint64_t count, std::uint64_t elem)
{
    return offset <= size && count <= (size - offset) / elem;
}

QPointF pt(const U_POINTL& p)
{
    return QPointF(p.x, p.y);
}

QRectF rect(const U_RECTL& r)
{
    return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom));
}

std::vector<QPointF> points32(const BYTE* rec, std::size_t offset, std::size_t count)
{
    std::vector<QPointF> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        U_POINTL p;
        std::memcpy(&p, rec + offset + 8 * i, 8);
        out[i] = pt(p);
    }
    return out;
}

std::vector<QPointF> points16(const BYTE* rec, std::size_t offset, std::size_t count)
{
    std::vector<QPointF> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        U_POINT16 p;
        std::memcpy(&p, rec + offset + 4 * i, 4);
        out[i] = QPointF(p.x, p.y);
    }
    return out;
}

QTransform xform(const U_XFORM& x)
{
    return QTransform(x.eM11, x.eM12, x.eM21, x.eM22, x.eDx, x.eDy);
}

// A region's rectangles; false when they do not lie inside the data.
bool regionRects(const BYTE* data, std::size_t avail, QList<QRectF>& out)
{
    if (avail < sizeof(U_RGNDATAHEADER))
        return false;
    U_RGNDATAHEADER h;
    std::memcpy(&h, data, sizeof h);
    if (!fits(avail, sizeof h, h.nCount, 16))
        return false;
    for (std::uint32_t i = 0; i < h.nCount; ++i) {
        U_RECTL r;
        std::memcpy(&r, data + sizeof h + 16 * std::size_t(i), 16);
        out.push_back(rect(r));
    }
    return true;
}

} // namespace

bool MetafilePlayer::playEmf()
{
    objects_.clear();
    objectSlots_ = std::size_t(data_.header.nHandles);
    const BYTE* base = data_.Bytes();
    const char* end = reinterpret_cast<const char*>(base) + data_.size;
    std::size_t offset = 0;
    bool first = true;
    while (offset + 8 <= data_.size) {
        const BYTE* rec = base + offset;
        std::uint32_t type = 0, size = 0;
        std::memcpy(&type, rec, 4);
        std::memcpy(&size, rec + 4, 4);
        if (size < 8 || size % 4 || size > data_.size - offset)
            return false;
        if (handled(type)) {
            std::uint32_t nSize = 0, iType = 0;
            const char* r = reinterpret_cast<const char*>(rec);
            if (!U_emf_record_sizeok(r, end, &nSize, &iType, 1) || nSize != size || !U_emf_record_safe(r))
                return false;
            if (type == U_EMR_EOF)
                return true;
            if (!(first && type == U_EMR_HEADER) && !emfRecord(rec, size, type))
                return false;
        }
        first = false;
        offset += size;
    }
    return true;
}

bool MetafilePlayer::emfRecord(const BYTE* rec, std::uint32_t size, std::uint32_t type)
{
    switch (type) {
    case U_EMR_POLYBEZIER:
    case U_EMR_POLYGON:
    case U_EMR_POLYLINE:
    case U_EMR_POLYBEZIERTO:
    case U_EMR_POLYLINETO: {
        const auto& r = as<U_EMRPOLYLINE>(rec);
        if (!fits(size, U_SIZE_EMRPOLYLINE, r.cptl, 8))
            return false;
        const auto pts = points32(rec, U_SIZE_EMRPOLYLINE, r.cptl);
        if (type == U_EMR_POLYBEZIER || type == U_EMR_POLYBEZIERTO)
            polyBezier(pts, type == U_EMR_POLYBEZIERTO);
        else if (type == U_EMR_POLYGON)
            polygon(pts);
        else
            polyline(pts, type == U_EMR_POLYLINETO);
        return true;
    }
    case U_EMR_POLYBEZIER16:
    case U_EMR_POLYGON16:
    case U_EMR_POLYLINE16:
    case U_EMR_POLYBEZIERTO16:
    case U_EMR_POLYLINETO16: {
        const auto& r = as<U_EMRPOLYLINE16>(rec);
        if (!fits(size, U_SIZE_EMRPOLYLINE16, r.cpts, 4))
            return false;
        const auto pts = points16(rec, U_SIZE_EMRPOLYLINE16, r.cpts);
        if (type == U_EMR_POLYBEZIER16 || type == U_EMR_POLYBEZIERTO16)
            polyBezier(pts, type == U_EMR_POLYBEZIERTO16);
        else if (type == U_EMR_POLYGON16)
            polygon(pts);
        else
            polyline(pts, type == U_EMR_POLYLINETO16);
        return true;
    }
    case U_EMR_POLYPOLYLINE:
    case U_EMR_POLYPOLYGON:
    case U_EMR_POLYPOLYLINE16:
    case U_EMR_POLYPOLYGON16: {
        const bool wide = type == U_EMR_POLYPOLYLINE || type == U_EMR_POLYPOLYGON;
        const auto& r = as<U_EMRPOLYPOLYLINE>(rec);
        const std::size_t countsAt = U_SIZE_EMRPOLYPOLYLINE;
        if (!fits(size, countsAt, r.nPolys, 4))
            return false;
        const std::size_t pointsAt = countsAt + 4 * std::size_t(r.nPolys);
        if (!fits(size, pointsAt, r.cptl, wide ? 8 : 4))
            return false;
        const auto all = wide ? points32(rec, pointsAt, r.cptl) : points16(rec, pointsAt, r.cptl);
        std::vector<std::vector<QPointF>> polys;
        std::size_t next = 0;
        for (std::uint32_t i = 0; i < r.nPolys; ++i) {
            std::uint32_t n;
            std::memcpy(&n, rec + countsAt + 4 * std::size_t(i), 4);
            if (n > all.size() - next)
                return false;
            polys.emplace_back(all.begin() + std::ptrdiff_t(next), all.begin() + std::ptrdiff_t(next + n));
            next += n;
        }
        polyPolygon(polys, type == U_EMR_POLYPOLYGON || type == U_EMR_POLYPOLYGON16);
        return true;
    }
    case U_EMR_POLYDRAW:
    case U_EMR_POLYDRAW16: {
        const bool wide = type == U_EMR_POLYDRAW;
        const auto& r = as<U_EMRPOLYDRAW>(rec);
        const std::size_t at = U_SIZE_EMRPOLYDRAW;
        if (!fits(size, at, r.cptl, wide ? 9 : 5))
            return false;
        const auto pts = wide ? points32(rec, at, r.cptl) : points16(rec, at, r.cptl);
        const BYTE* types = rec + at + (wide ? 8 : 4) * std::size_t(r.cptl);
        polyDraw(pts, std::vector<BYTE>(types, types + r.cptl));
        return true;
    }
    case U_EMR_SETWINDOWEXTEX:
        if (st_.mapMode == MM_ISOTROPIC || st_.mapMode == MM_ANISOTROPIC) {
            const auto& e = as<U_EMRSETWINDOWEXTEX>(rec).szlExtent;
            if (e.cx != 0 && e.cy != 0)
                st_.windowExt = QSizeF(e.cx, e.cy);
        }
        return true;
    case U_EMR_SETVIEWPORTEXTEX:
        if (st_.mapMode == MM_ISOTROPIC || st_.mapMode == MM_ANISOTROPIC) {
            const auto& e = as<U_EMRSETVIEWPORTEXTEX>(rec).szlExtent;
            if (e.cx != 0 && e.cy != 0)
                st_.viewportExt = QSizeF(e.cx, e.cy);
        }
        return true;
    case U_EMR_SETWINDOWORGEX: st_.windowOrg = pt(as<U_EMRSETWINDOWORGEX>(rec).ptlOrigin); return true;
    case U_EMR_SETVIEWPORTORGEX: st_.viewportOrg = pt(as<U_EMRSETVIEWPORTORGEX>(rec).ptlOrigin); return true;
    case U_EMR_SCALEVIEWPORTEXTEX:
    case U_EMR_SCALEWINDOWEXTEX: {
        const auto& r = as<U_EMRSCALEVIEWPORTEXTEX>(rec);
        if (r.xDenom == 0 || r.yDenom == 0 || r.xNum == 0 || r.yNum == 0 ||
            (st_.mapMode != MM_ISOTROPIC && st_.mapMode != MM_ANISOTROPIC))
            return true;
        QSizeF& ext = type == U_EMR_SCALEVIEWPORTEXTEX ? st_.viewportExt : st_.windowExt;
        ext = QSizeF(ext.width() * r.xNum / r.xDenom, ext.height() * r.yNum / r.yDenom);
        return true;
    }
    case U_EMR_SETMAPMODE: setMapMode(int(as<U_EMRSETMAPMODE>(rec).iMode)); return true;
    case U_EMR_SETBKMODE: st_.bkMode = as<U_EMRSETBKMODE>(rec).iMode == 1 ? 1 : 2; return true;
    case U_EMR_SETPOLYFILLMODE: st_.polyFillMode = as<U_EMRSETPOLYFILLMODE>(rec).iMode == 2 ? 2 : 1; return true;
    case U_EMR_SETROP2: {
        const std::uint32_t m = as<U_EMRSETROP2>(rec).iMode;
        if (m >= 1 && m <= 16)
            st_.rop2 = int(m);
        return true;
    }
    case U_EMR_SETTEXTALIGN: st_.textAlign = as<U_EMRSETTEXTALIGN>(rec).iMode; return true;
    case U_EMR_SETTEXTCOLOR: {
        U_COLORREF c = as<U_EMRSETTEXTCOLOR>(rec).crColor;
        st_.textColor = RGB(c.Red, c.Green, c.Blue) | (COLORREF(c.Reserved) << 24);
        return true;
    }
    case U_EMR_SETBKCOLOR: {
        U_COLORREF c = as<U_EMRSETBKCOLOR>(rec).crColor;
        st_.bkColor = RGB(c.Red, c.Green, c.Blue) | (COLORREF(c.Reserved) << 24);
        return true;
    }
    case U_EMR_SETPIXELV: {
        const auto& r = as<U_EMRSETPIXELV>(rec);
        setPixel(pt(r.ptlPixel), RGB(r.crColor.Red, r.crColor.Green, r.crColor.Blue) | (COLORREF(r.crColor.Reserved) << 24));
        return true;
    }
    case U_EMR_OFFSETCLIPRGN: offsetClip(pt(as<U_EMROFFSETCLIPRGN>(rec).ptlOffset)); return true;
    case U_EMR_MOVETOEX: moveTo(pt(as<U_EMRMOVETOEX>(rec).ptl)); return true;
    case U_EMR_LINETO: lineTo(pt(as<U_EMRLINETO>(rec).ptl)); return true;
    case U_EMR_EXCLUDECLIPRECT: excludeClip(rect(as<U_EMREXCLUDECLIPRECT>(rec).rclClip)); return true;
    case U_EMR_INTERSECTCLIPRECT: intersectClip(rect(as<U_EMRINTERSECTCLIPRECT>(rec).rclClip)); return true;
    case U_EMR_SAVEDC: saveDC(); return true;
    case U_EMR_RESTOREDC: restoreDC(as<U_EMRRESTOREDC>(rec).iRelative); return true;
    case U_EMR_SETWORLDTRANSFORM: {
        const QTransform t = xform(as<U_EMRSETWORLDTRANSFORM>(rec).xform);
        if (t.isInvertible())
            st_.world = t;
        return true;
    }
    case U_EMR_MODIFYWORLDTRANSFORM: {
        const auto& r = as<U_EMRMODIFYWORLDTRANSFORM>(rec);
        const QTransform t = xform(r.xform);
        if (r.iMode == U_MWT_IDENTITY)
            st_.world = QTransform();
        else if (r.iMode == U_MWT_LEFTMULTIPLY && t.isInvertible())
            st_.world = t * st_.world;
        else if (r.iMode == U_MWT_RIGHTMULTIPLY && t.isInvertible())
            st_.world = st_.world * t;
        return true;
    }
    case U_EMR_SELECTOBJECT: selectObject(as<U_EMRSELECTOBJECT>(rec).ihObject); return true;
    case U_EMR_DELETEOBJECT: deleteObject(as<U_EMRDELETEOBJECT>(rec).ihObject); return true;
    case U_EMR_CREATEPEN: {
        const auto& r = as<U_EMRCREATEPEN>(rec);
        auto o = std::make_shared<mf::Object>(mf::Object{mf::Object::Kind::Pen, {}, {}, {}, {}, {}});
        o->pen.style = r.lopn.lopnStyle & 0xF;
        o->pen.width = r.lopn.lopnWidth.x < 0 ? 0 : r.lopn.lopnWidth.x;
        o->pen.color = RGB(r.lopn.lopnColor.Red, r.lopn.lopnColor.Green, r.lopn.lopnColor.Blue) |
            (COLORREF(r.lopn.lopnColor.Reserved) << 24);
        storeObject(r.ihPen, o);
        return true;
    }
    case U_EMR_EXTCREATEPEN: {
        const auto& r = as<U_EMREXTCREATEPEN>(rec);
        const std::size_t entriesAt = offsetof(U_EMREXTCREATEPEN, elp) + U_SIZE_EXTLOGPEN;
        if (!fits(size, entriesAt, r.elp.elpNumEntries, 4))
            return false;
        auto o = std::make_shared<mf::Object>(mf::Object{mf::Object::Kind::Pen, {}, {}, {}, {}, {}});
        o->pen.extended = true;
        o->pen.style = r.elp.elpPenStyle;
        o->pen.width = r.elp.elpWidth > 0x7FFFFFFF ? 0 : r.elp.elpWidth;
        o->pen.color = RGB(r.elp.elpColor.Red, r.elp.elpColor.Green, r.elp.elpColor.Blue) |
            (COLORREF(r.elp.elpColor.Reserved) << 24);
        if (r.elp.elpBrushStyle == U_BS_NULL)
            o->pen.style = (o->pen.style & ~0xFu) | 5u;
        for (std::uint32_t i = 0; i < r.elp.elpNumEntries && i < 64; ++i) {
            std::uint32_t d;
            std::memcpy(&d, rec + entriesAt + 4 * std::size_t(i), 4);
            o->pen.userDashes.push_back(d);
        }
        storeObject(r.ihPen, o);
        return true;
    }
    case U_EMR_CREATEBRUSHINDIRECT: {
        const auto& r = as<U_EMRCREATEBRUSHINDIRECT>(rec);
        auto o = std::make_shared<mf::Object>(mf::Object{mf::Object::Kind::Brush, {}, {}, {}, {}, {}});
        o->brush.style = r.lb.lbStyle == U_BS_HATCHED || r.lb.lbStyle == U_BS_NULL ? r.lb.lbStyle : 0;
        o->brush.color = RGB(r.lb.lbColor.Red, r.lb.lbColor.Green, r.lb.lbColor.Blue) |
            (COLORREF(r.lb.lbColor.Reserved) << 24);
        o->brush.hatch = r.lb.lbHatch;
        storeObject(r.ihBrush, o);
        return true;
    }
    case U_EMR_CREATEDIBPATTERNBRUSHPT:
    case U_EMR_CREATEMONOBRUSH: {
        const auto& r = as<U_EMRCREATEDIBPATTERNBRUSHPT>(rec);
        mf::Dib dib;
        bool usable = false;
        if (!checkDib(rec, size, r.offBmi, r.cbBmi, r.offBits, r.cbBits, r.iUsage, dib, usable))
            return false;
        auto o = std::make_shared<mf::Object>(mf::Object{mf::Object::Kind::Brush, {}, {}, {}, {}, {}});
        o->brush.style = 6;
        if (usable) {
            o->brush.monoPattern = type == U_EMR_CREATEMONOBRUSH && dib.Info()->bmiHeader.biBitCount == 1;
            o->brush.pattern = dibImage(dib);
            if (o->brush.monoPattern)
                o->brush.pattern = o->brush.pattern.convertToFormat(QImage::Format_Mono, {qRgb(0, 0, 0), qRgb(255, 255, 255)});
        }
        storeObject(r.ihBrush, o);
        return true;
    }
    case U_EMR_EXTCREATEFONTINDIRECTW: {
        const auto& r = as<U_EMREXTCREATEFONTINDIRECTW>(rec);
        const std::size_t faceAt = offsetof(U_EMREXTCREATEFONTINDIRECTW, elfw) + offsetof(U_LOGFONT, lfFaceName);
        if (!fits(size, faceAt, U_LF_FACESIZE, 2))
            return false;
        const U_LOGFONT& lf = r.elfw.elfLogFont;
        auto o = std::make_shared<mf::Object>(mf::Object{mf::Object::Kind::Font, {}, {}, {}, {}, {}});
        o->font.height = lf.lfHeight;
        o->font.width = lf.lfWidth;
        o->font.escapement = lf.lfEscapement;
        o->font.weight = lf.lfWeight;
        o->font.italic = lf.lfItalic;
        o->font.underline = lf.lfUnderline;
        o->font.strikeOut = lf.lfStrikeOut;
        char16_t face[U_LF_FACESIZE];
        std::memcpy(face, rec + faceAt, sizeof face);
        std::size_t n = 0;
        while (n < U_LF_FACESIZE && face[n])
            ++n;
        o->font.face = QString::fromUtf16(face, qsizetype(n));
        storeObject(r.ihFont, o);
        return true;
    }
    case U_EMR_CREATEPALETTE: {
        const auto& r = as<U_EMRCREATEPALETTE>(rec);
        const std::size_t at = offsetof(U_EMRCREATEPALETTE, lgpl) + U_SIZE_LOGPALETTE;
        if (!fits(size, at, r.lgpl.palNumEntries, 4))
            return false;
        auto o = std::make_shared<mf::Object>(mf::Object{mf::Object::Kind::Palette, {}, {}, {}, {}, {}});
        o->palette.entries.resize(r.lgpl.palNumEntries);
        if (r.lgpl.palNumEntries)
            std::memcpy(o->palette.entries.data(), rec + at, 4 * std::size_t(r.lgpl.palNumEntries));
        storeObject(r.ihPal, o);
        return true;
    }
    case U_EMR_SETPALETTEENTRIES: {
        const auto& r = as<U_EMRSETPALETTEENTRIES>(rec);
        const std::size_t at = offsetof(U_EMRSETPALETTEENTRIES, aPalEntries);
        if (!fits(size, at, r.cEntries, 4))
            return false;
        if (r.ihPal < objects_.size() && objects_[r.ihPal] && objects_[r.ihPal]->kind == mf::Object::Kind::Palette) {
            auto o = std::make_shared<mf::Object>(*objects_[r.ihPal]);
            auto& e = o->palette.entries;
            for (std::uint32_t i = 0; i < r.cEntries && std::uint64_t(r.iStart) + i < e.size(); ++i)
                std::memcpy(&e[r.iStart + i], rec + at + 4 * std::size_t(i), 4);
            objects_[r.ihPal] = o;
        }
        return true;
    }
    case U_EMR_RESIZEPALETTE: {
        const auto& r = as<U_EMRRESIZEPALETTE>(rec);
        if (r.ihPal < objects_.size() && objects_[r.ihPal] && objects_[r.ihPal]->kind == mf::Object::Kind::Palette &&
            r.cEntries <= 1024) {
            auto o = std::make_shared<mf::Object>(*objects_[r.ihPal]);
            o->palette.entries.resize(r.cEntries, PALETTEENTRY{0, 0, 0, 0});
            objects_[r.ihPal] = o;
        }
        return true;
    }
    case U_EMR_SELECTPALETTE: selectObject(as<U_EMRSELECTPALETTE>(rec).ihPal); return true;
    case U_EMR_ANGLEARC: {
        const auto& r = as<U_EMRANGLEARC>(rec);
        angleArc(pt(r.ptlCenter), r.nRadius, r.eStartAngle, r.eSweepAngle);
        return true;
    }
    case U_EMR_ELLIPSE: ellipse(rect(as<U_EMRELLIPSE>(rec).rclBox)); return true;
    case U_EMR_RECTANGLE: rectangle(rect(as<U_EMRRECTANGLE>(rec).rclBox)); return true;
    case U_EMR_ROUNDRECT: {
        const auto& r = as<U_EMRROUNDRECT>(rec);
        roundRect(rect(r.rclBox), QSizeF(r.szlCorner.cx, r.szlCorner.cy));
        return true;
    }
    case U_EMR_ARC:
    case U_EMR_CHORD:
    case U_EMR_PIE:
    case U_EMR_ARCTO: {
        const auto& r = as<U_EMRARC>(rec);
        const ArcKind kind = type == U_EMR_ARC ? ArcKind::Arc
            : type == U_EMR_CHORD             ? ArcKind::Chord
            : type == U_EMR_PIE               ? ArcKind::Pie
                                              : ArcKind::ArcTo;
        arc(rect(r.rclBox), pt(r.ptlStart), pt(r.ptlEnd), kind);
        return true;
    }
    case U_EMR_SETARCDIRECTION: st_.clockwise = as<U_EMRSETARCDIRECTION>(rec).iArcDirection == U_AD_CLOCKWISE; return true;
    case U_EMR_SETMITERLIMIT: {
        const double m = as<U_EMRSETMITERLIMIT>(rec).eMiterLimit;
        st_.miterLimit = std::clamp(m, 1.0, 1000.0);
        return true;
    }
    case U_EMR_BEGINPATH: beginPath(); return true;
    case U_EMR_ENDPATH: endPath(); return true;
    case U_EMR_CLOSEFIGURE: closeFigure(); return true;
    case U_EMR_FILLPATH: fillPath(false, true); return true;
    case U_EMR_STROKEANDFILLPATH: fillPath(true, true); return true;
    case U_EMR_STROKEPATH: fillPath(true, false); return true;
    case U_EMR_WIDENPATH: widenPath(); return true;
    case U_EMR_SELECTCLIPPATH: selectClipPath(int(as<U_EMRSELECTCLIPPATH>(rec).iMode)); return true;
    case U_EMR_ABORTPATH:
        recording_ = false;
        path_ = QPainterPath();
        return true;
    case U_EMR_EXTSELECTCLIPRGN: {
        const auto& r = as<U_EMREXTSELECTCLIPRGN>(rec);
        const std::size_t at = offsetof(U_EMREXTSELECTCLIPRGN, RgnData);
        if (!fits(size, at, r.cbRgnData, 1))
            return false;
        if (r.cbRgnData == 0) {
            if (r.iMode == U_RGN_COPY)
                st_.clip.reset();
            return true;
        }
        QList<QRectF> rects;
        if (!regionRects(rec + at, r.cbRgnData, rects))
            return false;
        // Clipping regions are in the reference device's pixels.
        QRegion region;
        for (const QRectF& rc : rects)
            region |= frame_.mapRect(rc).toAlignedRect() & image_.rect().adjusted(-1, -1, 1, 1);
        combineClip(region, int(r.iMode));
        return true;
    }
    case U_EMR_FILLRGN:
    case U_EMR_PAINTRGN:
    case U_EMR_INVERTRGN:
    case U_EMR_FRAMERGN: {
        std::size_t at;
        std::uint32_t cb;
        std::uint32_t brush = 0;
        if (type == U_EMR_FILLRGN) {
            at = offsetof(U_EMRFILLRGN, RgnData);
            cb = as<U_EMRFILLRGN>(rec).cbRgnData;
            brush = as<U_EMRFILLRGN>(rec).ihBrush;
        } else if (type == U_EMR_FRAMERGN) {
            at = offsetof(U_EMRFRAMERGN, RgnData);
            cb = as<U_EMRFRAMERGN>(rec).cbRgnData;
            brush = as<U_EMRFRAMERGN>(rec).ihBrush;
        } else {
            at = offsetof(U_EMRPAINTRGN, RgnData);
            cb = as<U_EMRPAINTRGN>(rec).cbRgnData;
        }
        if (!fits(size, at, cb, 1))
            return false;
        QList<QRectF> rects;
        if (!regionRects(rec + at, cb, rects))
            return false;
        QRegion region;
        for (const QRectF& rc : rects)
            region |= deviceRect(rc);
        if (type == U_EMR_INVERTRGN) {
            invertRegion(region);
            return true;
        }
        mf::ObjectPtr b = st_.brush;
        if (type != U_EMR_PAINTRGN) {
            b = (brush & 0x80000000u) ? stockObject(brush & 0x7FFFFFFFu) : brush < objects_.size() ? objects_[brush] : nullptr;
            if (!b || b->kind != mf::Object::Kind::Brush)
                return true;
        }
        if (type == U_EMR_FRAMERGN) {
            QPainterPath outline;
            outline.addRegion(region);
            preparePainter(true);
            painter_.strokePath(outline, QPen(makeBrush(b->brush), 1));
        } else {
            fillRegion(region, makeBrush(b->brush));
        }
        return true;
    }
    case U_EMR_EXTTEXTOUTA:
    case U_EMR_EXTTEXTOUTW: {
        const auto& r = as<U_EMREXTTEXTOUTW>(rec);
        const U_EMRTEXT& t = r.emrtext;
        const std::size_t textAt = offsetof(U_EMREXTTEXTOUTW, emrtext);
        const bool wide = type == U_EMR_EXTTEXTOUTW;
        std::size_t after = textAt + sizeof(U_EMRTEXT);
        QRectF box;
        const bool hasRect = !(t.fOptions & U_ETO_NO_RECT);
        if (hasRect) {
            if (!fits(size, after, 1, sizeof(U_RECTL)))
                return false;
            U_RECTL rc;
            std::memcpy(&rc, rec + after, sizeof rc);
            box = rect(rc);
            after += sizeof(U_RECTL);
        }
        if (!fits(size, after, 1, 4))
            return false;
        std::uint32_t offDx;
        std::memcpy(&offDx, rec + after, 4);
        if (!fits(size, t.offString, t.nChars, wide ? 2 : 1))
            return false;
        QString text;
        if (wide) {
            std::vector<char16_t> chars(t.nChars);
            if (t.nChars)
                std::memcpy(chars.data(), rec + t.offString, 2 * std::size_t(t.nChars));
            text = QString::fromUtf16(chars.data(), qsizetype(chars.size()));
        } else {
            text = QString::fromStdString(
                vb::Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(rec + t.offString), t.nChars)));
        }
        const bool pairs = t.fOptions & U_ETO_PDY;
        std::vector<double> dx;
        if (offDx != 0 && fits(size, offDx, std::uint64_t(t.nChars) * (pairs ? 2 : 1), 4)) {
            for (std::uint32_t i = 0; i < t.nChars * (pairs ? 2u : 1u); ++i) {
                std::int32_t d;
                std::memcpy(&d, rec + offDx + 4 * std::size_t(i), 4);
                dx.push_back(d);
            }
        }
        // Glyph indices belong to the font the file was made with, not to ours.
        if (t.fOptions & U_ETO_GLYPH_INDEX)
            text.clear();
        textOut(pt(t.ptlReference), text, dx, pairs, t.fOptions, hasRect ? &box : nullptr);
        return true;
    }
    case U_EMR_BITBLT:
    case U_EMR_STRETCHBLT: {
        // The same record, a stretching one with its source size at the end.
        const auto& r = as<U_EMRSTRETCHBLT>(rec);
        mf::Dib dib;
        bool usable = false;
        if (!checkDib(rec, size, r.offBmiSrc, r.cbBmiSrc, r.offBitsSrc, r.cbBitsSrc, r.iUsageSrc, dib, usable))
            return false;
        const U_POINTL srcSize = type == U_EMR_STRETCHBLT ? r.cSrc : r.cDest;
        if (r.cbBmiSrc == 0)
            stretchDib(pt(r.Dest), QSizeF(r.cDest.x, r.cDest.y), 0, 0, 0, 0, nullptr, r.dwRop, false);
        else if (usable)
            stretchDib(pt(r.Dest), QSizeF(r.cDest.x, r.cDest.y), r.Src.x, r.Src.y, srcSize.x, srcSize.y, &dib, r.dwRop,
                       true);
        return true;
    }
    case U_EMR_STRETCHDIBITS: {
        const auto& r = as<U_EMRSTRETCHDIBITS>(rec);
        mf::Dib dib;
        bool usable = false;
        if (!checkDib(rec, size, r.offBmiSrc, r.cbBmiSrc, r.offBitsSrc, r.cbBitsSrc, r.iUsageSrc, dib, usable))
            return false;
        if (usable)
            stretchDib(pt(r.Dest), QSizeF(r.cDest.x, r.cDest.y), r.Src.x, r.Src.y, r.cSrc.x, r.cSrc.y, &dib, r.dwRop, false);
        return true;
    }
    case U_EMR_SETDIBITSTODEVICE: {
        const auto& r = as<U_EMRSETDIBITSTODEVICE>(rec);
        mf::Dib dib;
        bool usable = false;
        if (!checkDib(rec, size, r.offBmiSrc, r.cbBmiSrc, r.offBitsSrc, r.cbBitsSrc, r.iUsageSrc, dib, usable))
            return false;
        if (!usable)
            return true;
        // The bits hold the scan lines iStartScan onwards, cScans of them;
        // the record's size in logical units is that of the source.
        BITMAPINFOHEADER& h = reinterpret_cast<BITMAPINFO*>(dib.info.data())->bmiHeader;
        const long long full = dib.Height();
        if (r.cScans == 0 || r.iStartScan >= full)
            return true;
        const long long lines = std::min<long long>(r.cScans, full - r.iStartScan);
        const bool bottomUp = h.biHeight > 0;
        h.biHeight = LONG(bottomUp ? lines : -lines);
        // Source rectangle counted from the bottom of the whole DIB (bottom-up)
        // becomes a rectangle within the band.
        const long long srcY = bottomUp ? static_cast<long long>(r.Src.y) - r.iStartScan
                                        : static_cast<long long>(r.Src.y) - r.iStartScan;
        if (srcY < INT32_MIN || srcY > INT32_MAX)
            return true;
        stretchDib(pt(r.Dest), QSizeF(r.cSrc.x, r.cSrc.y), r.Src.x, int(srcY), r.cSrc.x, r.cSrc.y, &dib, SRCCOPY, false);
        return true;
    }
    default:
        // Comments (EMF+ among them), colour management, modes without a
        // visible effect here.
        return true;
    }
}

} // namespace gdi
