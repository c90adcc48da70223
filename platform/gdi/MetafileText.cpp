// Fonts and text of metafiles: a logical font becomes a QFont of the family
// its face name stands for, sized in device pixels; text is placed by the
// alignment, spacing array and options of its record.

#include "platform/gdi/MetafilePlayer.h"

#include "platform/gdi/Fonts.h"

#include <QFontMetricsF>
#include <QGuiApplication>

#include <cmath>

namespace gdi {

namespace {

// Beyond this a glyph costs more to rasterise than a picture is worth.
constexpr double kMaxPixelSize = 2000;

} // namespace

QFont MetafilePlayer::makeFont(double& pixelSize) const
{
    const mf::Font& f = st_.font->font;
    QFont font(SubstituteFace(f.face));
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    font.setWeight(QFont::Weight(f.weight <= 0 ? 400 : std::clamp(f.weight, 100, 900)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);

    // Heights are logical units along the y axis; negative ones give the
    // character height, positive ones the cell (ascent and descent).
    const QTransform t = toDevice();
    const double yScale = std::hypot(t.m21(), t.m22());
    double height = std::abs(double(f.height)) * (std::isfinite(yScale) ? yScale : 1);
    if (f.height == 0)
        height = 16;
    if (f.height > 0) {
        QFont probe = font;
        probe.setPixelSize(100);
        const QFontMetricsF m(probe);
        if (m.ascent() + m.descent() > 0)
            height *= 100 / (m.ascent() + m.descent());
    }
    pixelSize = std::clamp(height, 1.0, kMaxPixelSize);
    font.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    return font;
}

void MetafilePlayer::textOut(QPointF ref, const QString& text, const std::vector<double>& dx, bool dxPairs,
                             unsigned options, const QRectF* rect)
{
    const QTransform t = toDevice();
    // An opaque box is filled even for an empty string.
    if (rect && (options & 0x2) && !recording_) {
        QPainterPath box;
        box.addRect(rect->normalized());
        fillDevice(t.map(box), QBrush(color(st_.bkColor)), false);
    }
    // Text needs the font database, which only a GUI application has.
    if (text.isEmpty() || !QGuiApplication::instance() || recording_)
        return;

    const bool updateCp = st_.textAlign & 1;
    if (updateCp)
        ref = st_.current;
    double pixelSize = 0;
    const QFont font = makeFont(pixelSize);
    const QFontMetricsF metrics(font);
    const double xScale = std::hypot(t.m11(), t.m12());

    // Advances in device pixels: the record's, or the font's own.
    std::vector<QPointF> advances;
    double total = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        QPointF a;
        const std::size_t k = std::size_t(i) * (dxPairs ? 2 : 1);
        if (k < dx.size()) {
            a = QPointF(dx[k] * xScale, dxPairs && k + 1 < dx.size() ? -dx[k + 1] * xScale : 0);
        } else {
            a = QPointF(metrics.horizontalAdvance(text.at(i)) + st_.charExtra * xScale, 0);
        }
        if (!std::isfinite(a.x()) || !std::isfinite(a.y()))
            a = QPointF(0, 0);
        advances.push_back(a);
        total += a.x();
    }

    const unsigned align = st_.textAlign;
    double x0 = 0;
    if ((align & 6) == 6)
        x0 = -total / 2;
    else if (align & 2)
        x0 = -total;
    double baseline = 0;
    if ((align & 0x18) == 0x18)
        baseline = 0;
    else if (align & 0x08)
        baseline = -metrics.descent();
    else
        baseline = metrics.ascent();

    const QPointF origin = t.map(ref);
    if (!std::isfinite(origin.x()) || !std::isfinite(origin.y()) || std::abs(origin.x()) > 1e6 ||
        std::abs(origin.y()) > 1e6)
        return;
    // Escapement turns the line about the reference point, counterclockwise
    // on the screen; a picture flipped upside down turns it the other way.
    double angle = -st_.font->font.escapement / 10.0;
    if (t.m22() < 0)
        angle = -angle;

    preparePainter(true);
    painter_.translate(origin);
    painter_.rotate(angle);
    if (rect && (options & 0x4)) {
        QPainterPath clip;
        clip.addRect(rect->normalized());
        painter_.setClipPath(painter_.transform().inverted().map(t.map(clip)), Qt::IntersectClip);
    }
    if (st_.bkMode == 2 && !(options & 0x2))
        painter_.fillRect(QRectF(x0, baseline - metrics.ascent(), total, metrics.ascent() + metrics.descent()),
                          color(st_.bkColor));
    painter_.setFont(font);
    painter_.setPen(color(st_.textColor));
    QPointF pos(x0, baseline);
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n) {
            painter_.drawText(pos, QString(text.mid(i, 2)));
            pos += advances[std::size_t(i)] + advances[std::size_t(i + 1)];
            ++i;
            continue;
        }
        painter_.drawText(pos, QString(c));
        pos += advances[std::size_t(i)];
    }
    painter_.resetTransform();
    if (updateCp) {
        st_.current = t.inverted().map(origin + QPointF(total, 0));
    }
}

} // namespace gdi
