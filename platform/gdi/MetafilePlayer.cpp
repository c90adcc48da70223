// The player's state and drawing: mapping modes and transforms, objects,
// shapes, paths and clipping, all mapped to device pixels before drawing.

#include "platform/gdi/MetafilePlayer.h"

#include <QPainterPathStroker>

#include <algorithm>
#include <array>
#include <cmath>

namespace gdi {

namespace {

// Saved states past this depth are not kept: a file that saves without end
// must not grow memory without end.
constexpr std::size_t kMaxSavedStates = 1024;

// Dash patterns of the styles, in pixels for one-pixel pens and in pen
// widths for wide ones.
const std::vector<qreal>& cosmeticDashes(unsigned style)
{
    static const std::array<std::vector<qreal>, 5> table = {
        std::vector<qreal>{}, {18, 6}, {3, 3}, {9, 6, 3, 6}, {9, 3, 3, 3, 3, 3}};
    return table[style < 5 ? style : 0];
}

const std::vector<qreal>& geometricDashes(unsigned style)
{
    static const std::array<std::vector<qreal>, 5> table = {
        std::vector<qreal>{}, {3, 1}, {1, 1}, {3, 1, 1, 1}, {3, 1, 1, 1, 1, 1}};
    return table[style < 5 ? style : 0];
}

std::optional<QPainter::CompositionMode> rop2Mode(int rop2)
{
    switch (rop2) {
    case 1: return QPainter::RasterOp_ClearDestination;
    case 2: return QPainter::RasterOp_NotSourceAndNotDestination;
    case 3: return QPainter::RasterOp_NotSourceAndDestination;
    case 4: return QPainter::RasterOp_NotSource;
    case 5: return QPainter::RasterOp_SourceAndNotDestination;
    case 6: return QPainter::RasterOp_NotDestination;
    case 7: return QPainter::RasterOp_SourceXorDestination;
    case 8: return QPainter::RasterOp_NotSourceOrNotDestination;
    case 9: return QPainter::RasterOp_SourceAndDestination;
    case 10: return QPainter::RasterOp_NotSourceXorDestination;
    case 11: return std::nullopt;
    case 12: return QPainter::RasterOp_NotSourceOrDestination;
    case 14: return QPainter::RasterOp_SourceOrNotDestination;
    case 15: return QPainter::RasterOp_SourceOrDestination;
    case 16: return QPainter::RasterOp_SetDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

bool finite(const QTransform& t)
{
    return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) && std::isfinite(t.m22()) &&
        std::isfinite(t.dx()) && std::isfinite(t.dy());
}

// Beyond this a coordinate is drawn as if it were this: the painter's own
// fixed-point arithmetic must not overflow on hostile numbers.
constexpr double kCoordLimit = 1 << 22;

QPainterPath clampPath(const QPainterPath& p)
{
    const QRectF b = p.controlPointRect();
    if (b.left() >= -kCoordLimit && b.right() <= kCoordLimit && b.top() >= -kCoordLimit && b.bottom() <= kCoordLimit &&
        std::isfinite(b.width()) && std::isfinite(b.height()))
        return p;
    QPainterPath out;
    out.setFillRule(p.fillRule());
    for (int i = 0; i < p.elementCount(); ++i) {
        QPainterPath::Element e = p.elementAt(i);
        const double x = std::isfinite(e.x) ? std::clamp(e.x, -kCoordLimit, kCoordLimit) : 0;
        const double y = std::isfinite(e.y) ? std::clamp(e.y, -kCoordLimit, kCoordLimit) : 0;
        if (e.isMoveTo())
            out.moveTo(x, y);
        else
            out.lineTo(x, y); // curves lose their shape only when they were out of range anyway
    }
    return out;
}

} // namespace

MetafilePlayer::MetafilePlayer(QImage& image, HDC hdc, const MetafileData& data, const QRectF& dest)
    : image_(image), hdc_(hdc), data_(data), dest_(dest)
{
    const ENHMETAHEADER& h = data.header;
    const double devW = h.szlDevice.cx > 0 ? h.szlDevice.cx : kScreenWidth;
    const double devH = h.szlDevice.cy > 0 ? h.szlDevice.cy : kScreenHeight;
    const double mmW = h.szlMillimeters.cx > 0 ? h.szlMillimeters.cx : kScreenWidth * 25.4 / kScreenDpi;
    const double mmH = h.szlMillimeters.cy > 0 ? h.szlMillimeters.cy : kScreenHeight * 25.4 / kScreenDpi;
    refPixels_ = QSizeF(devW, devH);
    refMm_ = QSizeF(mmW, mmH);

    // Reference-device pixels to hundredths of a millimetre, then the frame
    // onto the destination. An empty frame falls back on the bounds.
    const double frW = double(h.rclFrame.right) - h.rclFrame.left;
    const double frH = double(h.rclFrame.bottom) - h.rclFrame.top;
    const double bW = double(h.rclBounds.right) - h.rclBounds.left + 1;
    const double bH = double(h.rclBounds.bottom) - h.rclBounds.top + 1;
    double sx = 1, sy = 1, ox = dest.left(), oy = dest.top();
    if (frW > 0 && frH > 0) {
        sx = mmW * 100 / devW * dest.width() / frW;
        sy = mmH * 100 / devH * dest.height() / frH;
        ox = dest.left() - h.rclFrame.left * dest.width() / frW;
        oy = dest.top() - h.rclFrame.top * dest.height() / frH;
    } else if (bW > 1 && bH > 1) {
        sx = dest.width() / bW;
        sy = dest.height() / bH;
        ox = dest.left() - h.rclBounds.left * sx;
        oy = dest.top() - h.rclBounds.top * sy;
    }
    frame_ = QTransform(sx, 0, 0, sy, ox, oy);
    if (!finite(frame_))
        frame_ = QTransform::fromTranslate(dest.left(), dest.top());

    st_.pen = stockObject(7);
    st_.brush = stockObject(0);
    st_.font = stockObject(13);
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

MetafilePlayer::~MetafilePlayer()
{
    if (painter_.isActive())
        painter_.end();
}

bool MetafilePlayer::Play()
{
    const bool ok = data_.enhanced ? playEmf() : playWmf();
    painter_.end();
    // Raster operations may have touched the fourth byte, which a device
    // bitmap keeps opaque.
    if (rasterOpsUsed_)
        for (int y = 0; y < image_.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
            for (int x = 0; x < image_.width(); ++x)
                row[x] |= 0xFF000000u;
        }
    return ok;
}

// --- Mapping -----------------------------------------------------------------

void MetafilePlayer::applyFixedMapMode()
{
    const QSizeF vp(refPixels_.width(), -refPixels_.height());
    auto set = [&](double unitsPerMm) {
        st_.windowExt = QSizeF(refMm_.width() * unitsPerMm, refMm_.height() * unitsPerMm);
        st_.viewportExt = vp;
    };
    switch (st_.mapMode) {
    case MM_LOMETRIC:
    case MM_ISOTROPIC: set(10); break;
    case MM_HIMETRIC: set(100); break;
    case MM_LOENGLISH: set(100 / 25.4); break;
    case MM_HIENGLISH: set(1000 / 25.4); break;
    case MM_TWIPS: set(1440 / 25.4); break;
    case MM_ANISOTROPIC: break;
    default:
        st_.windowExt = QSizeF(1, 1);
        st_.viewportExt = QSizeF(1, 1);
        break;
    }
}

void MetafilePlayer::setMapMode(int mode)
{
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC)
        return;
    st_.mapMode = mode;
    applyFixedMapMode();
}

QTransform MetafilePlayer::pageTransform() const
{
    double sx = st_.windowExt.width() != 0 ? st_.viewportExt.width() / st_.windowExt.width() : 1;
    double sy = st_.windowExt.height() != 0 ? st_.viewportExt.height() / st_.windowExt.height() : 1;
    if (st_.mapMode == MM_ISOTROPIC) {
        const double m = std::min(std::abs(sx), std::abs(sy));
        sx = std::copysign(m, sx);
        sy = std::copysign(m, sy);
    }
    return QTransform(sx, 0, 0, sy, st_.viewportOrg.x() - st_.windowOrg.x() * sx,
                      st_.viewportOrg.y() - st_.windowOrg.y() * sy);
}

QTransform MetafilePlayer::toDevice() const
{
    return st_.world * pageTransform() * frame_;
}

double MetafilePlayer::deviceScale() const
{
    const double d = std::sqrt(std::abs(toDevice().determinant()));
    return std::isfinite(d) ? d : 1;
}

// --- Objects -----------------------------------------------------------------

mf::ObjectPtr MetafilePlayer::stockObject(unsigned id) const
{
    static const std::vector<mf::ObjectPtr> stock = [] {
        std::vector<mf::ObjectPtr> v(20);
        auto brush = [](unsigned style, COLORREF c) {
            auto o = std::make_shared<mf::Object>(mf::Object{mf::Object::Kind::Brush, {}, {}, {}, {}, {}});
            o->brush.style = style;
            o->brush.color = c;
            return o;
        };
        auto pen = [](unsigned style, COLORREF c) {
            auto o = std::make_shared<mf::Object>(mf::Object{mf::Object::Kind::Pen, {}, {}, {}, {}, {}});
            o->pen.style = style;
            o->pen.color = c;
            return o;
        };
        auto font = [](int height) {
            auto o = std::make_shared<mf::Object>(mf::Object{mf::Object::Kind::Font, {}, {}, {}, {}, {}});
            o->font.height = height;
            o->font.weight = 400;
            return o;
        };
        v[0] = brush(0, 0xFFFFFF);
        v[1] = brush(0, 0xC0C0C0);
        v[2] = brush(0, 0x808080);
        v[3] = brush(0, 0x404040);
        v[4] = brush(0, 0);
        v[5] = brush(1, 0);
        v[6] = pen(0, 0xFFFFFF);
        v[7] = pen(0, 0);
        v[8] = pen(5, 0);
        for (unsigned id : {10u, 11u, 12u, 13u, 14u, 16u, 17u})
            v[id] = font(16);
        auto pal = std::make_shared<mf::Object>(mf::Object{mf::Object::Kind::Palette, {}, {}, {}, {}, {}});
        pal->palette.entries.resize(GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 0, nullptr));
        GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, UINT(pal->palette.entries.size()),
                          pal->palette.entries.data());
        v[15] = pal;
        v[18] = brush(0, 0xFFFFFF);
        v[19] = pen(0, 0);
        return v;
    }();
    return id < stock.size() ? stock[id] : nullptr;
}

void MetafilePlayer::storeObject(std::size_t index, mf::ObjectPtr obj)
{
    // Index 0 stands for the metafile itself.
    if (index == 0 || index >= objectSlots_)
        return;
    if (index >= objects_.size())
        objects_.resize(index + 1);
    objects_[index] = std::move(obj);
}

int MetafilePlayer::wmfFreeSlot()
{
    for (std::size_t i = 0; i < objects_.size(); ++i)
        if (!objects_[i])
            return int(i);
    if (objects_.size() >= objectSlots_)
        return -1;
    objects_.emplace_back();
    return int(objects_.size() - 1);
}

void MetafilePlayer::selectObject(std::uint32_t index)
{
    mf::ObjectPtr obj;
    if (index & 0x80000000u)
        obj = stockObject(index & 0x7FFFFFFFu);
    else if (index < objects_.size())
        obj = objects_[index];
    if (!obj)
        return;
    switch (obj->kind) {
    case mf::Object::Kind::Pen: st_.pen = obj; break;
    case mf::Object::Kind::Brush: st_.brush = obj; break;
    case mf::Object::Kind::Font: st_.font = obj; break;
    case mf::Object::Kind::Palette: st_.palette = obj; break;
    case mf::Object::Kind::Region: {
        // A region selected into a DC becomes its clipping.
        QRegion r;
        const QTransform t = toDevice();
        for (const QRect& rc : obj->region.region)
            r |= t.mapRect(QRectF(rc)).toAlignedRect();
        st_.clip = r;
        break;
    }
    }
}

void MetafilePlayer::deleteObject(std::uint32_t index)
{
    if (!(index & 0x80000000u) && index < objects_.size())
        objects_[index].reset();
}

const std::vector<PALETTEENTRY>& MetafilePlayer::currentPalette() const
{
    const mf::ObjectPtr pal = st_.palette ? st_.palette : stockObject(15);
    return pal->palette.entries;
}

QColor MetafilePlayer::color(COLORREF c) const
{
    if ((c >> 24) == 1) {
        const auto& pal = currentPalette();
        const std::size_t i = c & 0xFFFF;
        if (i < pal.size())
            return QColor(pal[i].peRed, pal[i].peGreen, pal[i].peBlue);
        return QColor(0, 0, 0);
    }
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// --- Pens and brushes ------------------------------------------------------

QPen MetafilePlayer::makePen() const
{
    const mf::Pen& p = st_.pen->pen;
    const unsigned style = p.style & 0xF;
    if (style == 5)
        return QPen(Qt::NoPen);
    const bool geometric = p.extended ? (p.style & 0xF0000) == 0x10000 : p.width > 0;
    double w = geometric ? p.width * deviceScale() : 1;
    if (!(w >= 1))
        w = 1;
    w = std::min(w, kCoordLimit);
    QPen pen(color(p.color));
    pen.setWidthF(w);
    if (w <= 1.5) {
        pen.setCapStyle(Qt::FlatCap);
    } else if (p.extended) {
        const unsigned cap = p.style & 0xF00;
        pen.setCapStyle(cap == 0x100 ? Qt::SquareCap : cap == 0x200 ? Qt::FlatCap : Qt::RoundCap);
    } else {
        pen.setCapStyle(Qt::RoundCap);
    }
    const unsigned join = p.extended ? (p.style & 0xF000) : 0;
    pen.setJoinStyle(join == 0x1000 ? Qt::BevelJoin : join == 0x2000 ? Qt::MiterJoin : Qt::RoundJoin);
    pen.setMiterLimit(st_.miterLimit);

    std::vector<qreal> dashes;
    if (style >= 1 && style <= 4) {
        // Dashes of the old pens exist only one pixel wide.
        if (!p.extended && w > 1.5)
            return pen;
        dashes = w > 1.5 ? geometricDashes(style) : cosmeticDashes(style);
    } else if (style == 8) {
        dashes = {1, 1};
    } else if (style == 7) {
        const double unit = geometric ? deviceScale() / w : 1;
        for (double d : p.userDashes)
            dashes.push_back(std::clamp(d * unit, 0.05, 1e6));
        if (dashes.size() % 2)
            dashes.insert(dashes.end(), dashes.begin(), dashes.end());
    }
    if (!dashes.empty())
        pen.setDashPattern(QList<qreal>(dashes.begin(), dashes.end()));
    return pen;
}

QBrush MetafilePlayer::makeBrush(const mf::Brush& b) const
{
    switch (b.style) {
    case 1: return QBrush(Qt::NoBrush);
    case 2: {
        if (b.hatch > 5)
            return QBrush(color(b.color));
        QImage tile(8, 8, QImage::Format_ARGB32);
        const QRgb bg = st_.bkMode == 2 ? color(st_.bkColor).rgb() : 0;
        const QRgb fg = color(b.color).rgb();
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                bool on = false;
                switch (b.hatch) {
                case 0: on = y == 7; break;
                case 1: on = x == 7; break;
                case 2: on = x == y; break;
                case 3: on = x + y == 7; break;
                case 4: on = x == 7 || y == 7; break;
                default: on = x == y || x + y == 7; break;
                }
                tile.setPixel(x, y, on ? fg : bg);
            }
        return QBrush(tile);
    }
    case 3:
    case 5:
    case 6:
        if (b.pattern.isNull())
            return QBrush(color(b.color));
        if (b.monoPattern) {
            QImage img = b.pattern;
            img.setColorTable({color(st_.textColor).rgb(), color(st_.bkColor).rgb()});
            return QBrush(img.convertToFormat(QImage::Format_ARGB32));
        }
        return QBrush(b.pattern);
    default: return QBrush(color(b.color));
    }
}

QBrush MetafilePlayer::currentBrush() const
{
    return makeBrush(st_.brush->brush);
}

void MetafilePlayer::preparePainter(bool useRop)
{
    painter_.setTransform(QTransform());
    const auto mode = rop2Mode(st_.rop2);
    painter_.setCompositionMode(useRop && mode ? *mode : QPainter::CompositionMode_SourceOver);
    if (useRop && st_.rop2 != 13)
        rasterOpsUsed_ = true;
    if (st_.clip)
        painter_.setClipRegion(*st_.clip);
    else
        painter_.setClipping(false);
}

void MetafilePlayer::fillDevice(const QPainterPath& device, const QBrush& brush, bool useRop)
{
    if (brush.style() == Qt::NoBrush || (useRop && st_.rop2 == 11))
        return;
    preparePainter(useRop);
    painter_.fillPath(clampPath(device), brush);
}

void MetafilePlayer::strokeDevice(const QPainterPath& device)
{
    QPen pen = makePen();
    if (pen.style() == Qt::NoPen || st_.rop2 == 11)
        return;
    const QPainterPath path = clampPath(device);
    if (pen.style() != Qt::SolidLine) {
        // Dashing costs time by the number of dashes: a dash far smaller than
        // the figure is drawn solid.
        qreal pattern = 0;
        for (qreal d : pen.dashPattern())
            pattern += d * pen.widthF();
        const QRectF b = path.controlPointRect();
        if (pattern <= 0 || (b.width() + b.height()) / pattern > 20000)
            pen.setStyle(Qt::SolidLine);
    }
    preparePainter(true);
    if (pen.style() != Qt::SolidLine && st_.bkMode == 2) {
        QPen gaps = pen;
        gaps.setStyle(Qt::SolidLine);
        gaps.setColor(color(st_.bkColor));
        painter_.strokePath(path, gaps);
    }
    painter_.strokePath(path, pen);
}

void MetafilePlayer::fillRegion(const QRegion& device, const QBrush& brush)
{
    if (brush.style() == Qt::NoBrush || st_.rop2 == 11)
        return;
    preparePainter(true);
    for (const QRect& r : device)
        painter_.fillRect(r, brush);
}

void MetafilePlayer::invertRegion(const QRegion& device)
{
    const int saved = st_.rop2;
    st_.rop2 = 6; // not destination
    fillRegion(device, QBrush(Qt::black));
    st_.rop2 = saved;
}

// --- Shapes ------------------------------------------------------------------

void MetafilePlayer::drawShape(const QPainterPath& logical, bool fill, bool stroke, bool closedFigure)
{
    QPainterPath d = toDevice().map(logical);
    d.setFillRule(st_.polyFillMode == 2 ? Qt::WindingFill : Qt::OddEvenFill);
    if (recording_) {
        path_.addPath(d);
        figureOpen_ = !closedFigure;
        return;
    }
    if (fill)
        fillDevice(d, currentBrush());
    if (stroke)
        strokeDevice(d);
}

void MetafilePlayer::moveTo(QPointF p)
{
    st_.current = p;
    if (recording_) {
        path_.moveTo(dev(p));
        figureOpen_ = true;
    }
}

void MetafilePlayer::lineTo(QPointF p)
{
    if (recording_) {
        if (!figureOpen_)
            path_.moveTo(dev(st_.current));
        path_.lineTo(dev(p));
        figureOpen_ = true;
    } else {
        QPainterPath path(st_.current);
        path.lineTo(p);
        strokeDevice(toDevice().map(path));
    }
    st_.current = p;
}

void MetafilePlayer::polyline(const std::vector<QPointF>& pts, bool continueFigure)
{
    if (pts.empty())
        return;
    if (recording_) {
        const QTransform t = toDevice();
        if (!continueFigure || !figureOpen_)
            path_.moveTo(t.map(continueFigure ? st_.current : pts.front()));
        for (std::size_t i = continueFigure ? 0 : 1; i < pts.size(); ++i)
            path_.lineTo(t.map(pts[i]));
        figureOpen_ = true;
    } else {
        QPainterPath path(continueFigure ? st_.current : pts.front());
        for (std::size_t i = continueFigure ? 0 : 1; i < pts.size(); ++i)
            path.lineTo(pts[i]);
        strokeDevice(toDevice().map(path));
    }
    if (continueFigure)
        st_.current = pts.back();
}

void MetafilePlayer::polygon(const std::vector<QPointF>& pts)
{
    if (pts.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(pts.begin(), pts.end())));
    path.closeSubpath();
    drawShape(path, true, true);
}

void MetafilePlayer::polyPolygon(const std::vector<std::vector<QPointF>>& polys, bool closed)
{
    QPainterPath path;
    for (const auto& poly : polys) {
        if (poly.empty())
            continue;
        path.moveTo(poly.front());
        for (std::size_t i = 1; i < poly.size(); ++i)
            path.lineTo(poly[i]);
        if (closed)
            path.closeSubpath();
    }
    drawShape(path, closed, true, closed);
}

void MetafilePlayer::polyBezier(const std::vector<QPointF>& pts, bool continueFigure)
{
    if (pts.empty())
        return;
    QPainterPath path(continueFigure ? st_.current : pts.front());
    const std::size_t first = continueFigure ? 0 : 1;
    std::size_t i = first;
    for (; i + 3 <= pts.size(); i += 3)
        path.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
    if (recording_) {
        QPainterPath d = toDevice().map(path);
        if (continueFigure && figureOpen_)
            path_.connectPath(d);
        else
            path_.addPath(d);
        figureOpen_ = true;
    } else {
        strokeDevice(toDevice().map(path));
    }
    if (continueFigure && i > first)
        st_.current = pts[i - 1];
}

void MetafilePlayer::polyDraw(const std::vector<QPointF>& pts, const std::vector<BYTE>& types)
{
    QPainterPath path(st_.current);
    for (std::size_t i = 0; i < pts.size() && i < types.size(); ++i) {
        const BYTE t = types[i] & 0x06;
        if (t == 0x06) {
            path.moveTo(pts[i]);
        } else if (t == 0x04 && i + 2 < pts.size()) {
            path.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
            i += 2;
        } else {
            path.lineTo(pts[i]);
        }
        if (types[i] & 0x01)
            path.closeSubpath();
        st_.current = path.currentPosition();
    }
    if (recording_) {
        path_.addPath(toDevice().map(path));
        figureOpen_ = true;
    } else {
        strokeDevice(toDevice().map(path));
    }
}

void MetafilePlayer::arc(QRectF box, QPointF start, QPointF end, ArcKind kind)
{
    box = box.normalized();
    const QPointF c = box.center();
    const double rx = box.width() / 2, ry = box.height() / 2;
    if (!(rx > 0) || !(ry > 0))
        return;
    const auto angle = [&](QPointF p) {
        const double a = std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx) * 180 / M_PI;
        return std::isfinite(a) ? a : 0.0;
    };
    const double a0 = angle(start);
    double sweep = angle(end) - a0;
    if (st_.clockwise) {
        if (sweep >= 0)
            sweep -= 360;
    } else if (sweep <= 0) {
        sweep += 360;
    }
    QPainterPath path;
    if (kind == ArcKind::Pie) {
        path.moveTo(c);
        path.arcTo(box, a0, sweep);
        path.closeSubpath();
    } else {
        path.arcMoveTo(box, a0);
        if (kind == ArcKind::ArcTo) {
            QPainterPath withLine(st_.current);
            withLine.lineTo(path.currentPosition());
            withLine.arcTo(box, a0, sweep);
            path = withLine;
        } else {
            path.arcTo(box, a0, sweep);
        }
        if (kind == ArcKind::Chord)
            path.closeSubpath();
    }
    if (kind == ArcKind::ArcTo) {
        st_.current = path.currentPosition();
        if (recording_) {
            QPainterPath d = toDevice().map(path);
            if (figureOpen_)
                path_.connectPath(d);
            else
                path_.addPath(d);
            figureOpen_ = true;
            return;
        }
    }
    const bool closed = kind == ArcKind::Chord || kind == ArcKind::Pie;
    drawShape(path, closed, true, closed);
}

void MetafilePlayer::angleArc(QPointF center, double radius, double startDeg, double sweepDeg)
{
    if (!std::isfinite(startDeg) || !std::isfinite(sweepDeg) || !(radius >= 0))
        return;
    sweepDeg = std::clamp(sweepDeg, -3600.0, 3600.0);
    const QRectF box(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path(st_.current);
    QPainterPath start;
    start.arcMoveTo(box, startDeg);
    path.lineTo(start.currentPosition());
    path.arcTo(box, startDeg, sweepDeg);
    st_.current = path.currentPosition();
    if (recording_) {
        path_.addPath(toDevice().map(path));
        figureOpen_ = true;
    } else {
        strokeDevice(toDevice().map(path));
    }
}

void MetafilePlayer::rectangle(QRectF r)
{
    QPainterPath path;
    path.addRect(r.normalized());
    drawShape(path, true, true);
}

void MetafilePlayer::roundRect(QRectF r, QSizeF corner)
{
    QPainterPath path;
    path.addRoundedRect(r.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
    drawShape(path, true, true);
}

void MetafilePlayer::ellipse(QRectF r)
{
    QPainterPath path;
    path.addEllipse(r.normalized());
    drawShape(path, true, true);
}

void MetafilePlayer::setPixel(QPointF p, COLORREF c)
{
    const QPointF d = dev(p);
    if (!std::isfinite(d.x()) || !std::isfinite(d.y()))
        return;
    const QPoint px(int(std::floor(std::clamp(d.x(), -1.0, double(image_.width())))),
                    int(std::floor(std::clamp(d.y(), -1.0, double(image_.height())))));
    if (!image_.rect().contains(px) || (st_.clip && !st_.clip->contains(px)))
        return;
    image_.setPixel(px, color(c).rgb());
}

// --- Paths ---------------------------------------------------------------------

void MetafilePlayer::beginPath()
{
    recording_ = true;
    figureOpen_ = false;
    path_ = QPainterPath();
}

void MetafilePlayer::endPath()
{
    recording_ = false;
}

void MetafilePlayer::closeFigure()
{
    if (recording_) {
        path_.closeSubpath();
        figureOpen_ = false;
    }
}

void MetafilePlayer::fillPath(bool stroke, bool fill)
{
    recording_ = false;
    QPainterPath d = path_;
    d.setFillRule(st_.polyFillMode == 2 ? Qt::WindingFill : Qt::OddEvenFill);
    if (fill)
        fillDevice(d, currentBrush());
    if (stroke)
        strokeDevice(d);
    path_ = QPainterPath();
}

void MetafilePlayer::widenPath()
{
    QPainterPathStroker stroker(makePen());
    path_ = stroker.createStroke(clampPath(path_));
}

void MetafilePlayer::selectClipPath(int mode)
{
    recording_ = false;
    QPainterPath d = clampPath(path_);
    d.setFillRule(st_.polyFillMode == 2 ? Qt::WindingFill : Qt::OddEvenFill);
    // The path's pixels, found the way a fill finds them, as row spans.
    QImage mask(image_.size(), QImage::Format_Grayscale8);
    mask.fill(0);
    {
        QPainter p(&mask);
        p.fillPath(d, QColor(255, 255, 255));
    }
    QList<QRect> spans;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* row = mask.constScanLine(y);
        for (int x = 0; x < mask.width();) {
            if (!row[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < mask.width() && row[x])
                ++x;
            spans.push_back(QRect(start, y, x - start, 1));
        }
    }
    QRegion r;
    r.setRects(spans.constData(), int(spans.size()));
    combineClip(r, mode);
    path_ = QPainterPath();
}

// --- Clipping --------------------------------------------------------------------

QRegion MetafilePlayer::fullRegion() const
{
    return QRegion(image_.rect());
}

QRegion MetafilePlayer::deviceRect(QRectF logical) const
{
    const QRectF d = toDevice().mapRect(logical.normalized());
    const auto c = [](double v) { return int(std::lround(std::clamp(v, -kCoordLimit, kCoordLimit))); };
    if (!std::isfinite(d.left()) || !std::isfinite(d.right()) || !std::isfinite(d.top()) || !std::isfinite(d.bottom()))
        return QRegion();
    const QRect r(QPoint(c(d.left()), c(d.top())), QPoint(c(d.right()) - 1, c(d.bottom()) - 1));
    return QRegion(r.normalized() & image_.rect().adjusted(-1, -1, 1, 1));
}

void MetafilePlayer::combineClip(const QRegion& r, int mode)
{
    const QRegion base = st_.clip ? *st_.clip : fullRegion();
    switch (mode) {
    case 1: st_.clip = base & r; break;
    case 2: st_.clip = base | r; break;
    case 3: st_.clip = base ^ r; break;
    case 4: st_.clip = base - r; break;
    case 5: st_.clip = r; break;
    default: break;
    }
}

void MetafilePlayer::intersectClip(QRectF logical)
{
    combineClip(deviceRect(logical), 1);
}

void MetafilePlayer::excludeClip(QRectF logical)
{
    combineClip(deviceRect(logical), 4);
}

void MetafilePlayer::offsetClip(QPointF logical)
{
    if (!st_.clip)
        return;
    const QTransform t = toDevice();
    const QPointF d = t.map(logical) - t.map(QPointF(0, 0));
    if (!std::isfinite(d.x()) || !std::isfinite(d.y()))
        return;
    st_.clip->translate(int(std::lround(std::clamp(d.x(), -kCoordLimit, kCoordLimit))),
                        int(std::lround(std::clamp(d.y(), -kCoordLimit, kCoordLimit))));
}

// --- Saved states ----------------------------------------------------------------

void MetafilePlayer::saveDC()
{
    if (saved_.size() < kMaxSavedStates)
        saved_.push_back(st_);
}

void MetafilePlayer::restoreDC(int which)
{
    // Negative: that many states back; positive: the state saved as number n.
    const long long count = static_cast<long long>(saved_.size());
    const long long index = which < 0 ? count + which : static_cast<long long>(which) - 1;
    if (which == 0 || index < 0 || index >= count)
        return;
    st_ = saved_[std::size_t(index)];
    saved_.resize(std::size_t(index));
}

} // namespace gdi
