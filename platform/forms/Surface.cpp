#include "platform/forms/Surface.h"

#include "platform/forms/Runtime.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace forms {

void Surface::BindSurface(QWidget* widget)
{
    widget_ = widget;
    image_ = QImage();
    blank_ = true;
    blankSize_ = QSize(std::max(1, widget->width()), std::max(1, widget->height()));
}

const QImage& Surface::drawing() const
{
    if (blank_) {
        image_ = QImage(blankSize_, QImage::Format_RGB32);
        image_.fill(ToQColor(backColor_));
        blank_ = false;
    }
    return image_;
}

void Surface::SetScaleMode(int mode)
{
    scaleMode_ = mode == vbPixels ? vbPixels : vbTwips;
}

double Surface::ScaleWidth() const
{
    return widget_ ? widget_->width() * 15.0 / TwipsPerUnit() : 0.0;
}

double Surface::ScaleHeight() const
{
    return widget_ ? widget_->height() * 15.0 / TwipsPerUnit() : 0.0;
}

void Surface::SetBackColor(OLE_COLOR color)
{
    backColor_ = color;
    if (widget_) {
        QPalette p = widget_->palette();
        p.setColor(QPalette::Window, ToQColor(color));
        widget_->setPalette(p);
    }
    Cls();
}

int Surface::toPx(double units) const
{
    return detail::TwipsToPixels(units * TwipsPerUnit());
}

void Surface::changed()
{
    if (widget_)
        widget_->update();
}

void Surface::ResizeSurface()
{
    if (!widget_)
        return;
    const QSize size = drawingSize();
    const int w = std::max(size.width(), widget_->width());
    const int h = std::max(size.height(), widget_->height());
    if (w == size.width() && h == size.height())
        return;
    if (blank_) {
        blankSize_ = QSize(w, h);
        return;
    }
    QImage grown(w, h, QImage::Format_RGB32);
    grown.fill(ToQColor(backColor_));
    QPainter p(&grown);
    p.drawImage(0, 0, image_);
    p.end();
    image_ = std::move(grown);
}

void Surface::PaintSurface(QPainter& painter) const
{
    if (blank_)
        painter.fillRect(QRect(QPoint(0, 0), blankSize_), ToQColor(backColor_));
    else
        painter.drawImage(0, 0, image_);
}

void Surface::SetPicture(const QPixmap& picture)
{
    picture_ = picture;
    Cls();
}

void Surface::Cls()
{
    ResizeSurface();
    if (widget_ && picture_.isNull()) {
        blankSize_ = drawingSize();
        image_ = QImage();
        blank_ = true;
    } else {
        QImage& image = canvas();
        image.fill(ToQColor(backColor_));
        if (!picture_.isNull()) {
            QPainter p(&image);
            p.drawPixmap(0, 0, picture_);
        }
    }
    currentX_ = 0;
    currentY_ = 0;
    changed();
}

void Surface::plot(int x, int y, const QColor& c)
{
    if (x >= 0 && y >= 0 && x < image_.width() && y < image_.height())
        image_.setPixelColor(x, y, c);
}

// Bresenham, so that the pixels are the same on every platform.
void Surface::linePixels(int x0, int y0, int x1, int y1, const QColor& c, bool includeLast)
{
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (true) {
        const bool last = x0 == x1 && y0 == y1;
        if (last) {
            if (includeLast)
                plot(x0, y0, c);
            break;
        }
        plot(x0, y0, c);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void Surface::Line(double x1, double y1, double x2, double y2, std::optional<OLE_COLOR> color)
{
    ResizeSurface();
    canvas();
    linePixels(toPx(x1), toPx(y1), toPx(x2), toPx(y2), ToQColor(color.value_or(foreColor_)), false);
    currentX_ = x2;
    currentY_ = y2;
    changed();
}

void Surface::Box(double x1, double y1, double x2, double y2, std::optional<OLE_COLOR> color, bool filled)
{
    ResizeSurface();
    canvas();
    const QColor c = ToQColor(color.value_or(foreColor_));
    int l = toPx(x1), t = toPx(y1), r = toPx(x2), b = toPx(y2);
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    if (filled) {
        for (int y = t; y <= b; ++y)
            for (int x = l; x <= r; ++x)
                plot(x, y, c);
    } else {
        for (int x = l; x <= r; ++x) {
            plot(x, t, c);
            plot(x, b, c);
        }
        for (int y = t; y <= b; ++y) {
            plot(l, y, c);
            plot(r, y, c);
        }
    }
    currentX_ = x2;
    currentY_ = y2;
    changed();
}

void Surface::PSet(double x, double y, std::optional<OLE_COLOR> color)
{
    ResizeSurface();
    canvas();
    plot(toPx(x), toPx(y), ToQColor(color.value_or(foreColor_)));
    currentX_ = x;
    currentY_ = y;
    changed();
}

long Surface::Point(double x, double y) const
{
    const QImage& image = drawing();
    const int px = toPx(x), py = toPx(y);
    const int w = widget_ ? std::min(widget_->width(), image.width()) : image.width();
    const int h = widget_ ? std::min(widget_->height(), image.height()) : image.height();
    if (px < 0 || py < 0 || px >= w || py >= h)
        return -1;
    return static_cast<long>(ToOleColor(image.pixelColor(px, py)));
}

void Surface::Print(std::string_view text)
{
    ResizeSurface();
    const QFont font = widget_ ? widget_->font() : QFont();
    const QFontMetrics fm(font);
    QPainter p(&canvas());
    p.setFont(font);
    p.setPen(ToQColor(foreColor_));
    const QString s = QString::fromUtf8(text.data(), static_cast<int>(text.size()));
    p.drawText(QPoint(toPx(currentX_), toPx(currentY_) + fm.ascent()), s);
    p.end();
    currentX_ = 0;
    currentY_ += fm.height() * 15.0 / TwipsPerUnit();
    changed();
}

void Surface::PolyPolyline(const std::vector<QPoint>& points, const std::vector<int>& counts)
{
    ResizeSurface();
    canvas();
    const QColor c = ToQColor(foreColor_);
    size_t at = 0;
    for (int n : counts) {
        for (int i = 0; i + 1 < n && at + i + 1 < points.size(); ++i)
            linePixels(points[at + i].x(), points[at + i].y(), points[at + i + 1].x(), points[at + i + 1].y(), c,
                       false);
        at += static_cast<size_t>(std::max(n, 0));
    }
    changed();
}

} // namespace forms
