// Windows metafile records, played by the same player with 16-bit
// coordinates. Each record is checked by libUEMF (size inside the data,
// counts inside the record) and read through its field readers; objects take
// the lowest free slot of the table the header sizes, as the format has it.
// Without a picture description the window the file sets maps onto the
// whole reference screen.

#include "platform/gdi/MetafilePlayer.h"

#include "platform/basic/Strings.h"

#include <uwmf.h>

#include <cstring>

namespace gdi {

namespace {

QPointF pt(const U_POINT16& p)
{
    return QPointF(p.x, p.y);
}

QRectF rect(const U_RECT16& r)
{
    return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom));
}

COLORREF colorRef(const U_COLORREF& c)
{
    return RGB(c.Red, c.Green, c.Blue) | (COLORREF(c.Reserved) << 24);
}

// count 16-bit points at data lie before end.
bool pointsFit(const char* data, const char* end, std::size_t count)
{
    return data && data <= end && count <= std::size_t(end - data) / 4;
}

std::vector<QPointF> points16(const char* data, std::size_t count)
{
    std::vector<QPointF> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::int16_t xy[2];
        std::memcpy(xy, data + 4 * i, 4);
        out[i] = QPointF(xy[0], xy[1]);
    }
    return out;
}

QString ansi(const char* s, std::size_t n)
{
    return QString::fromStdString(vb::Cp1252ToUtf8(std::string_view(s, n)));
}

std::int16_t word(const char* rec, std::size_t at)
{
    std::int16_t v;
    std::memcpy(&v, rec + at, 2);
    return v;
}

// The smallest size, in bytes, a record of each kind has. libUEMF's record
// check does not hold a record to its fields, and its readers read them
// wherever the record's own counts say, so both are checked here first.
std::size_t minimumSize(unsigned type)
{
    switch (type) {
    case U_WMR_SETBKCOLOR:
    case U_WMR_SETTEXTCOLOR:
    case U_WMR_SETWINDOWORG:
    case U_WMR_SETWINDOWEXT:
    case U_WMR_OFFSETWINDOWORG:
    case U_WMR_MOVETO:
    case U_WMR_LINETO:
    case U_WMR_OFFSETCLIPRGN:
    case U_WMR_FILLREGION:
        return 10;
    case U_WMR_SCALEWINDOWEXT:
    case U_WMR_EXCLUDECLIPRECT:
    case U_WMR_INTERSECTCLIPRECT:
    case U_WMR_ELLIPSE:
    case U_WMR_RECTANGLE:
    case U_WMR_SETPIXEL:
    case U_WMR_CREATEBRUSHINDIRECT:
        return 14;
    case U_WMR_CREATEPENINDIRECT:
        return 16;
    case U_WMR_ROUNDRECT:
    case U_WMR_PATBLT:
        return 18;
    case U_WMR_ARC:
    case U_WMR_PIE:
    case U_WMR_CHORD:
        return 22;
    case U_WMR_CREATEFONTINDIRECT:
        return 24;
    case U_WMR_DIBBITBLT:
    case U_WMR_SETDIBTODEV:
        return 24; // the form without a bitmap has a reserved word
    case U_WMR_DIBSTRETCHBLT:
    case U_WMR_STRETCHDIB:
        return 28;
    case U_WMR_DIBCREATEPATTERNBRUSH:
    case U_WMR_CREATEPALETTE:
    case U_WMR_SETPALENTRIES:
    case U_WMR_CREATEREGION:
    case U_WMR_TEXTOUT:
    case U_WMR_POLYGON:
    case U_WMR_POLYLINE:
    case U_WMR_POLYPOLYGON:
    case U_WMR_SETBKMODE:
    case U_WMR_SETPOLYFILLMODE:
    case U_WMR_SETROP2:
    case U_WMR_SETTEXTALIGN:
    case U_WMR_SETMAPMODE:
    case U_WMR_SETTEXTCHAREXTRA:
    case U_WMR_SETSTRETCHBLTMODE:
    case U_WMR_RESTOREDC:
    case U_WMR_SELECTOBJECT:
    case U_WMR_SELECTPALETTE:
    case U_WMR_DELETEOBJECT:
    case U_WMR_SELECTCLIPREGION:
    case U_WMR_PAINTREGION:
    case U_WMR_INVERTREGION:
        return 8;
    case U_WMR_EXTTEXTOUT:
        return 14;
    default:
        return 6;
    }
}

// A palette record: first entry, count, then the entries; false when they
// do not lie inside the record.
bool paletteEntries(const char* rec, std::size_t size, std::uint16_t& start, std::vector<PALETTEENTRY>& out)
{
    if (size < 10)
        return false;
    start = std::uint16_t(word(rec, 6));
    const std::size_t count = std::uint16_t(word(rec, 8));
    if (count > (size - 10) / 4)
        return false;
    out.resize(count);
    if (count)
        std::memcpy(out.data(), rec + 10, 4 * count);
    return true;
}

} // namespace

std::size_t WmfRecordSize(const char* p, const char* end)
{
    if (p >= end || end - p < 6)
        return 0;
    std::uint32_t words;
    std::memcpy(&words, p, 4);
    if (words < 3 || words > std::size_t(end - p) / 2)
        return 0;
    const std::size_t size = U_WMRRECSAFE_get(p, end);
    return size == 2 * std::size_t(words) ? size : 0;
}

bool MetafilePlayer::playWmf()
{
    objects_.clear();
    objectSlots_ = data_.wmfObjects;
    const char* base = reinterpret_cast<const char*>(data_.Bytes());
    const char* end = base + data_.size;

    // The window the file sets first spans the reference screen.
    st_.mapMode = MM_ANISOTROPIC;
    st_.viewportExt = refPixels_;
    st_.windowExt = refPixels_;
    for (const char* p = base + data_.wmfFirstRecord; p < end;) {
        const std::size_t size = WmfRecordSize(p, end);
        if (size == 0 || static_cast<unsigned char>(p[4]) == U_WMR_EOF)
            break;
        if (static_cast<unsigned char>(p[4]) == (U_WMR_SETWINDOWEXT & 0xFF)) {
            U_POINT16 ext;
            if (U_WMRSETWINDOWEXT_get(p, &ext) && ext.x != 0 && ext.y != 0)
                st_.windowExt = QSizeF(ext.x, ext.y);
            break;
        }
        p += size;
    }

    for (const char* p = base + data_.wmfFirstRecord; p < end;) {
        const std::size_t size = WmfRecordSize(p, end);
        if (size == 0)
            return false;
        const auto type = static_cast<unsigned char>(p[4]);
        if (type == U_WMR_EOF)
            return true;
        if (!wmfRecord(reinterpret_cast<const BYTE*>(p), size, type))
            return false;
        p += size;
    }
    return true;
}

bool MetafilePlayer::wmfRecord(const BYTE* record, std::size_t size, unsigned type)
{
    const char* rec = reinterpret_cast<const char*>(record);
    const char* end = rec + size;
    if (size < minimumSize(type))
        return false;
    // An object made where no slot is free is dropped; one this player cannot
    // read still takes its slot, so later indices stay right.
    auto store = [&](mf::ObjectPtr obj) {
        const int slot = wmfFreeSlot();
        if (slot >= 0)
            objects_[std::size_t(slot)] = std::move(obj);
    };
    auto newObject = [](mf::Object::Kind kind) {
        return std::make_shared<mf::Object>(mf::Object{kind, {}, {}, {}, {}, {}});
    };

    switch (type) {
    case U_WMR_SETBKCOLOR: {
        U_COLORREF c;
        if (!U_WMRSETBKCOLOR_get(rec, &c))
            return false;
        st_.bkColor = colorRef(c);
        return true;
    }
    case U_WMR_SETTEXTCOLOR: {
        U_COLORREF c;
        if (!U_WMRSETTEXTCOLOR_get(rec, &c))
            return false;
        st_.textColor = colorRef(c);
        return true;
    }
    case U_WMR_SETBKMODE:
    case U_WMR_SETPOLYFILLMODE:
    case U_WMR_SETROP2:
    case U_WMR_SETTEXTALIGN:
    case U_WMR_SETMAPMODE:
    case U_WMR_SETTEXTCHAREXTRA:
    case U_WMR_SETSTRETCHBLTMODE: {
        uint16_t mode = 0;
        int ok = 0;
        switch (type) {
        case U_WMR_SETBKMODE: ok = U_WMRSETBKMODE_get(rec, &mode); break;
        case U_WMR_SETPOLYFILLMODE: ok = U_WMRSETPOLYFILLMODE_get(rec, &mode); break;
        case U_WMR_SETROP2: ok = U_WMRSETROP2_get(rec, &mode); break;
        case U_WMR_SETTEXTALIGN: ok = U_WMRSETTEXTALIGN_get(rec, &mode); break;
        case U_WMR_SETMAPMODE: ok = U_WMRSETMAPMODE_get(rec, &mode); break;
        case U_WMR_SETTEXTCHAREXTRA: ok = U_WMRSETTEXTCHAREXTRA_get(rec, &mode); break;
        default: ok = U_WMRSETSTRETCHBLTMODE_get(rec, &mode); break;
        }
        if (!ok)
            return false;
        if (type == U_WMR_SETBKMODE)
            st_.bkMode = mode == 1 ? 1 : 2;
        else if (type == U_WMR_SETPOLYFILLMODE)
            st_.polyFillMode = mode == 2 ? 2 : 1;
        else if (type == U_WMR_SETROP2 && mode >= 1 && mode <= 16)
            st_.rop2 = mode;
        else if (type == U_WMR_SETTEXTALIGN)
            st_.textAlign = mode;
        else if (type == U_WMR_SETMAPMODE)
            setMapMode(mode);
        else if (type == U_WMR_SETTEXTCHAREXTRA)
            st_.charExtra = std::int16_t(mode);
        return true;
    }
    case U_WMR_SETWINDOWORG: {
        U_POINT16 p;
        if (!U_WMRSETWINDOWORG_get(rec, &p))
            return false;
        st_.windowOrg = pt(p);
        return true;
    }
    case U_WMR_SETWINDOWEXT: {
        U_POINT16 p;
        if (!U_WMRSETWINDOWEXT_get(rec, &p))
            return false;
        if ((st_.mapMode == MM_ISOTROPIC || st_.mapMode == MM_ANISOTROPIC) && p.x != 0 && p.y != 0)
            st_.windowExt = QSizeF(p.x, p.y);
        return true;
    }
    case U_WMR_OFFSETWINDOWORG: {
        U_POINT16 p;
        if (!U_WMROFFSETWINDOWORG_get(rec, &p))
            return false;
        st_.windowOrg += pt(p);
        return true;
    }
    case U_WMR_SCALEWINDOWEXT: {
        // Read here: libUEMF's reader pairs these four fields wrongly. They
        // are stored y denominator, y numerator, x denominator, x numerator.
        if (size < 14)
            return false;
        std::int16_t v[4];
        std::memcpy(v, rec + 6, sizeof v);
        if (v[0] && v[1] && v[2] && v[3] && (st_.mapMode == MM_ISOTROPIC || st_.mapMode == MM_ANISOTROPIC))
            st_.windowExt = QSizeF(st_.windowExt.width() * v[3] / v[2], st_.windowExt.height() * v[1] / v[0]);
        return true;
    }
    case U_WMR_SETVIEWPORTORG:
    case U_WMR_SETVIEWPORTEXT:
    case U_WMR_OFFSETVIEWPORTORG:
    case U_WMR_SCALEVIEWPORTEXT:
        // The picture's frame is the viewport.
        return true;
    case U_WMR_MOVETO:
    case U_WMR_LINETO: {
        U_POINT16 p;
        if (!(type == U_WMR_MOVETO ? U_WMRMOVETO_get(rec, &p) : U_WMRLINETO_get(rec, &p)))
            return false;
        if (type == U_WMR_MOVETO)
            moveTo(pt(p));
        else
            lineTo(pt(p));
        return true;
    }
    case U_WMR_EXCLUDECLIPRECT:
    case U_WMR_INTERSECTCLIPRECT: {
        U_RECT16 r;
        if (!(type == U_WMR_EXCLUDECLIPRECT ? U_WMREXCLUDECLIPRECT_get(rec, &r) : U_WMRINTERSECTCLIPRECT_get(rec, &r)))
            return false;
        if (type == U_WMR_EXCLUDECLIPRECT)
            excludeClip(rect(r));
        else
            intersectClip(rect(r));
        return true;
    }
    case U_WMR_OFFSETCLIPRGN: {
        U_POINT16 p;
        if (!U_WMROFFSETCLIPRGN_get(rec, &p))
            return false;
        offsetClip(pt(p));
        return true;
    }
    case U_WMR_ARC:
    case U_WMR_PIE:
    case U_WMR_CHORD: {
        U_POINT16 a, b;
        U_RECT16 r;
        const int ok = type == U_WMR_ARC ? U_WMRARC_get(rec, &a, &b, &r)
            : type == U_WMR_PIE          ? U_WMRPIE_get(rec, &a, &b, &r)
                                         : U_WMRCHORD_get(rec, &a, &b, &r);
        if (!ok)
            return false;
        arc(rect(r), pt(a), pt(b), type == U_WMR_ARC ? ArcKind::Arc : type == U_WMR_PIE ? ArcKind::Pie : ArcKind::Chord);
        return true;
    }
    case U_WMR_ELLIPSE:
    case U_WMR_RECTANGLE: {
        U_RECT16 r;
        if (!(type == U_WMR_ELLIPSE ? U_WMRELLIPSE_get(rec, &r) : U_WMRRECTANGLE_get(rec, &r)))
            return false;
        if (type == U_WMR_ELLIPSE)
            ellipse(rect(r));
        else
            rectangle(rect(r));
        return true;
    }
    case U_WMR_ROUNDRECT: {
        int16_t w, h;
        U_RECT16 r;
        if (!U_WMRROUNDRECT_get(rec, &w, &h, &r))
            return false;
        roundRect(rect(r), QSizeF(w, h));
        return true;
    }
    case U_WMR_SETPIXEL: {
        U_COLORREF c;
        U_POINT16 p;
        if (!U_WMRSETPIXEL_get(rec, &c, &p))
            return false;
        setPixel(pt(p), colorRef(c));
        return true;
    }
    case U_WMR_POLYGON:
    case U_WMR_POLYLINE: {
        const std::size_t n = std::uint16_t(word(rec, 6));
        if (!pointsFit(rec + 8, end, n))
            return false;
        const auto pts = points16(rec + 8, n);
        if (type == U_WMR_POLYGON)
            polygon(pts);
        else
            polyline(pts, false);
        return true;
    }
    case U_WMR_POLYPOLYGON: {
        const std::size_t nPolys = std::uint16_t(word(rec, 6));
        if (nPolys > (size - 8) / 2)
            return false;
        std::vector<std::vector<QPointF>> polys;
        const char* at = rec + 8 + 2 * nPolys;
        for (std::size_t i = 0; i < nPolys; ++i) {
            const std::size_t n = std::uint16_t(word(rec, 8 + 2 * i));
            if (!pointsFit(at, end, n))
                return false;
            polys.push_back(points16(at, n));
            at += 4 * n;
        }
        polyPolygon(polys, true);
        return true;
    }
    case U_WMR_SAVEDC: saveDC(); return true;
    case U_WMR_RESTOREDC: {
        int16_t which = 0;
        if (!U_WMRRESTOREDC_get(rec, &which))
            return false;
        restoreDC(which);
        return true;
    }
    case U_WMR_SELECTOBJECT:
    case U_WMR_SELECTPALETTE:
    case U_WMR_DELETEOBJECT:
    case U_WMR_SELECTCLIPREGION: {
        uint16_t index = 0;
        const int ok = type == U_WMR_SELECTOBJECT ? U_WMRSELECTOBJECT_get(rec, &index)
            : type == U_WMR_SELECTPALETTE         ? U_WMRSELECTPALETTE_get(rec, &index)
            : type == U_WMR_DELETEOBJECT          ? U_WMRDELETEOBJECT_get(rec, &index)
                                                  : U_WMRSELECTCLIPREGION_get(rec, &index);
        if (!ok)
            return false;
        if (type == U_WMR_DELETEOBJECT)
            deleteObject(index);
        else
            selectObject(index);
        return true;
    }
    case U_WMR_CREATEPENINDIRECT: {
        U_PEN pen;
        if (!U_WMRCREATEPENINDIRECT_get(rec, &pen))
            return false;
        auto o = newObject(mf::Object::Kind::Pen);
        o->pen.style = pen.Style & 0xF;
        o->pen.width = std::int16_t(pen.Widthw[0]) < 0 ? 0 : std::int16_t(pen.Widthw[0]);
        o->pen.color = colorRef(pen.Color);
        store(o);
        return true;
    }
    case U_WMR_CREATEBRUSHINDIRECT: {
        const char* b = nullptr;
        if (!U_WMRCREATEBRUSHINDIRECT_get(rec, &b) || !b || b + sizeof(U_WLOGBRUSH) > end)
            return false;
        U_WLOGBRUSH lb;
        std::memcpy(&lb, b, sizeof lb);
        auto o = newObject(mf::Object::Kind::Brush);
        o->brush.style = lb.Style == 1 || lb.Style == 2 ? lb.Style : 0;
        o->brush.color = colorRef(lb.Color);
        o->brush.hatch = lb.Hatch;
        store(o);
        return true;
    }
    case U_WMR_CREATEFONTINDIRECT: {
        const char* f = nullptr;
        if (!U_WMRCREATEFONTINDIRECT_get(rec, &f) || !f || f + 18 > end)
            return false;
        std::int16_t v[5];
        std::memcpy(v, f, sizeof v);
        auto o = newObject(mf::Object::Kind::Font);
        o->font.height = v[0];
        o->font.width = v[1];
        o->font.escapement = v[2];
        o->font.weight = v[4];
        o->font.italic = f[10];
        o->font.underline = f[11];
        o->font.strikeOut = f[12];
        std::size_t n = 0;
        const char* face = f + 18;
        while (face + n < end && n < 32 && face[n])
            ++n;
        o->font.face = ansi(face, n);
        store(o);
        return true;
    }
    case U_WMR_CREATEPALETTE: {
        std::uint16_t start = 0;
        auto o = newObject(mf::Object::Kind::Palette);
        if (!paletteEntries(rec, size, start, o->palette.entries))
            return false;
        store(o);
        return true;
    }
    case U_WMR_SETPALENTRIES: {
        std::uint16_t start = 0;
        std::vector<PALETTEENTRY> entries;
        if (!paletteEntries(rec, size, start, entries))
            return false;
        // The palette selected is the one changed.
        if (st_.palette && st_.palette->kind == mf::Object::Kind::Palette) {
            auto o = std::make_shared<mf::Object>(*st_.palette);
            for (std::size_t i = 0; i < entries.size() && start + i < o->palette.entries.size(); ++i)
                o->palette.entries[start + i] = entries[i];
            for (auto& slot : objects_)
                if (slot == st_.palette)
                    slot = o;
            st_.palette = o;
        }
        return true;
    }
    case U_WMR_DIBCREATEPATTERNBRUSH: {
        uint16_t style = 0, usage = 0;
        const char* bm16 = nullptr;
        const char* dib = nullptr;
        if (!U_WMRDIBCREATEPATTERNBRUSH_get(rec, &style, &usage, &bm16, &dib))
            return false;
        auto o = newObject(mf::Object::Kind::Brush);
        o->brush.style = 6;
        if (dib && dib >= rec && dib < end) {
            mf::Dib d;
            bool usable = false;
            if (!checkPackedDib(reinterpret_cast<const BYTE*>(dib), std::size_t(end - dib), usage, d, usable))
                return false;
            if (usable)
                o->brush.pattern = dibImage(d);
        }
        store(o);
        return true;
    }
    case U_WMR_CREATEPATTERNBRUSH:
    case U_WMR_CREATEREGION: {
        // Old device-dependent pattern bitmaps are not drawn; regions are.
        auto o = newObject(type == U_WMR_CREATEREGION ? mf::Object::Kind::Region : mf::Object::Kind::Brush);
        if (type == U_WMR_CREATEREGION) {
            const char* r = nullptr;
            if (!U_WMRCREATEREGION_get(rec, &r) || !r || r + 20 > end)
                return false;
            std::int16_t head[10];
            std::memcpy(head, r, sizeof head);
            const int scans = head[4];
            const char* at = r + 20;
            for (int s = 0; s < scans; ++s) {
                if (at + 6 > end)
                    return false;
                std::uint16_t count, top, bottom;
                std::memcpy(&count, at, 2);
                std::memcpy(&top, at + 2, 2);
                std::memcpy(&bottom, at + 4, 2);
                if (at + 8 + 2 * std::size_t(count) > end)
                    return false;
                for (std::size_t k = 0; k + 1 < count; k += 2) {
                    std::int16_t lr[2];
                    std::memcpy(lr, at + 6 + 2 * k, 4);
                    o->region.region |= QRect(QPoint(lr[0], std::int16_t(top)), QPoint(lr[1] - 1, std::int16_t(bottom) - 1));
                }
                at += 8 + 2 * std::size_t(count);
            }
        } else {
            o->brush.style = 0;
        }
        store(o);
        return true;
    }
    case U_WMR_FILLREGION:
    case U_WMR_PAINTREGION:
    case U_WMR_INVERTREGION: {
        uint16_t region = 0, brush = 0;
        const int ok = type == U_WMR_FILLREGION ? U_WMRFILLREGION_get(rec, &region, &brush)
            : type == U_WMR_PAINTREGION         ? U_WMRPAINTREGION_get(rec, &region)
                                                : U_WMRINVERTREGION_get(rec, &region);
        if (!ok)
            return false;
        if (region >= objects_.size() || !objects_[region] || objects_[region]->kind != mf::Object::Kind::Region)
            return true;
        QRegion device;
        for (const QRect& r : objects_[region]->region.region)
            device |= deviceRect(QRectF(r).adjusted(0, 0, 1, 1));
        if (type == U_WMR_INVERTREGION) {
            invertRegion(device);
            return true;
        }
        mf::ObjectPtr b = st_.brush;
        if (type == U_WMR_FILLREGION)
            b = brush < objects_.size() ? objects_[brush] : nullptr;
        if (b && b->kind == mf::Object::Kind::Brush)
            fillRegion(device, makeBrush(b->brush));
        return true;
    }
    case U_WMR_TEXTOUT: {
        // Length, the string padded to whole words, then y and x.
        const std::int16_t n = word(rec, 6);
        const std::size_t padded = (std::size_t(std::max<std::int16_t>(n, 0)) + 1) & ~std::size_t(1);
        if (n < 0 || 8 + padded + 4 > size)
            return false;
        const QPointF at(word(rec, 8 + padded + 2), word(rec, 8 + padded));
        textOut(at, ansi(rec + 8, std::size_t(n)), {}, false, 0, nullptr);
        return true;
    }
    case U_WMR_EXTTEXTOUT: {
        // y, x, length, options, the rectangle when the options use one, the
        // string padded to whole words, then the spacing array if present.
        const QPointF at(word(rec, 8), word(rec, 6));
        const std::int16_t n = word(rec, 10);
        const std::uint16_t opts = std::uint16_t(word(rec, 12));
        std::size_t next = 14;
        QRectF box;
        const bool hasRect = opts & 0x6;
        if (hasRect) {
            if (next + 8 > size)
                return false;
            box = QRectF(QPointF(word(rec, next), word(rec, next + 2)), QPointF(word(rec, next + 4), word(rec, next + 6)));
            next += 8;
        }
        const std::size_t padded = (std::size_t(std::max<std::int16_t>(n, 0)) + 1) & ~std::size_t(1);
        if (n < 0 || next + std::size_t(n) > size)
            return false;
        const char* text = rec + next;
        next += padded;
        std::vector<double> spacing;
        if (next + 2 * std::size_t(n) <= size)
            for (int i = 0; i < n; ++i)
                spacing.push_back(word(rec, next + 2 * std::size_t(i)));
        textOut(at, ansi(text, std::size_t(n)), spacing, false, opts, hasRect ? &box : nullptr);
        return true;
    }
    case U_WMR_PATBLT: {
        U_POINT16 d, wh;
        uint32_t rop = 0;
        if (!U_WMRPATBLT_get(rec, &d, &wh, &rop))
            return false;
        stretchDib(pt(d), QSizeF(wh.x, wh.y), 0, 0, 0, 0, nullptr, rop, false);
        return true;
    }
    case U_WMR_DIBBITBLT:
    case U_WMR_DIBSTRETCHBLT:
    case U_WMR_STRETCHDIB:
    case U_WMR_SETDIBTODEV: {
        U_POINT16 dst{}, cdst{}, src{}, csrc{};
        uint32_t rop = SRCCOPY;
        uint16_t usage = DIB_RGB_COLORS, scans = 0, start = 0;
        const char* dib = nullptr;
        int ok = 0;
        if (type == U_WMR_DIBBITBLT) {
            ok = U_WMRDIBBITBLT_get(rec, &dst, &cdst, &src, &rop, &dib);
            csrc = cdst;
        } else if (type == U_WMR_DIBSTRETCHBLT) {
            ok = U_WMRDIBSTRETCHBLT_get(rec, &dst, &cdst, &src, &csrc, &rop, &dib);
        } else if (type == U_WMR_STRETCHDIB) {
            ok = U_WMRSTRETCHDIB_get(rec, &dst, &cdst, &src, &csrc, &usage, &rop, &dib);
        } else {
            ok = U_WMRSETDIBTODEV_get(rec, &dst, &cdst, &src, &usage, &scans, &start, &dib);
            csrc = cdst;
        }
        if (!ok)
            return false;
        const QSizeF ext(cdst.x, cdst.y);
        if (!dib) {
            stretchDib(pt(dst), ext, 0, 0, 0, 0, nullptr, rop, false);
            return true;
        }
        if (dib < rec || dib >= end)
            return false;
        mf::Dib d;
        bool usable = false;
        if (!checkPackedDib(reinterpret_cast<const BYTE*>(dib), std::size_t(end - dib), usage, d, usable))
            return false;
        if (usable)
            stretchDib(pt(dst), ext, src.x, src.y, csrc.x, csrc.y, &d, rop,
                       type == U_WMR_DIBBITBLT || type == U_WMR_DIBSTRETCHBLT);
        return true;
    }
    default:
        // Escapes (comments among them), old bitmap blits, flood fills and
        // records with no visible effect here.
        return true;
    }
}

} // namespace gdi
