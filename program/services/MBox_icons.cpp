// The message box's ten icons (ImageList1), drawn by the program itself.

#include "program/services/MBox.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>
#include <cmath>

namespace {

constexpr int kSize = 32;

void bubble(QPainter& p)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(2.5, 3.5, 27, 19), 8, 8);
    QPolygonF tail;
    tail << QPointF(8, 20) << QPointF(6, 29) << QPointF(15, 21);
    path.addPolygon(tail);
    path = path.simplified();
    p.setPen(QPen(QColor(64, 64, 64), 1.2));
    p.setBrush(QColor(208, 208, 208));
    p.drawPath(path);
}

void letter(QPainter& p, const QString& text, const QRectF& box, const QColor& color, int pixelSize)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    p.setFont(f);
    p.setPen(color);
    p.drawText(box, Qt::AlignCenter, text);
}

void question(QPainter& p)
{
    bubble(p);
    letter(p, QStringLiteral("?"), QRectF(2, 3, 28, 20), QColor(0, 0, 160), 16);
}

void info(QPainter& p)
{
    bubble(p);
    letter(p, QStringLiteral("i"), QRectF(2, 3, 28, 20), QColor(0, 0, 160), 16);
}

void noEntry(QPainter& p)
{
    p.setPen(QPen(QColor(120, 0, 0), 1.2));
    p.setBrush(QColor(220, 20, 20));
    p.drawEllipse(QRectF(2.5, 2.5, 27, 27));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 13.5, 18, 5));
}

void starburst(QPainter& p)
{
    QPolygonF star;
    for (int i = 0; i < 24; ++i) {
        const double a = i * M_PI / 12 - M_PI / 2;
        const double r = i % 2 == 0 ? 15.0 : 10.0;
        star << QPointF(16 + r * std::cos(a), 16 + r * std::sin(a));
    }
    p.setPen(QPen(QColor(120, 0, 0), 1));
    p.setBrush(QColor(230, 30, 30));
    p.drawPolygon(star);
    letter(p, QStringLiteral("!"), QRectF(0, 0, 32, 32), Qt::white, 17);
}

void computer(QPainter& p)
{
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(220, 214, 190));
    p.drawRect(QRectF(5.5, 2.5, 21, 16)); // monitor
    p.setBrush(QColor(0, 80, 160));
    p.drawRect(QRectF(8.5, 5.5, 15, 10)); // screen
    p.setBrush(QColor(220, 214, 190));
    p.drawRect(QRectF(2.5, 21.5, 27, 8)); // case
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(15, 25.5), QPointF(26, 25.5)); // disk drive slot
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 170, 0));
    p.drawRect(QRectF(5, 24, 3, 2)); // power light
    p.setBrush(QColor(160, 154, 130));
    p.drawRect(QRectF(12, 18.5, 8, 3)); // stand
}

void folder(QPainter& p)
{
    QPainterPath path;
    path.moveTo(2.5, 8.5);
    path.lineTo(11.5, 8.5);
    path.lineTo(14.5, 5.5);
    path.lineTo(24.5, 5.5);
    path.lineTo(24.5, 10.5);
    path.lineTo(29.5, 10.5);
    path.lineTo(29.5, 27.5);
    path.lineTo(2.5, 27.5);
    path.closeSubpath();
    p.setPen(QPen(QColor(128, 96, 0), 1));
    p.setBrush(QColor(250, 210, 80));
    p.drawPath(path);
    p.setBrush(QColor(255, 230, 130));
    p.drawRect(QRectF(2.5, 12.5, 27, 15));
}

void printer(QPainter& p)
{
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9.5, 2.5, 13, 14)); // sheet
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (int y = 6; y <= 12; y += 3)
        p.drawLine(QPointF(11.5, y + 0.5), QPointF(20.5, y + 0.5));
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(QRectF(2.5, 14.5, 27, 11)); // body
    p.setBrush(QColor(110, 110, 110));
    p.drawRect(QRectF(6.5, 25.5, 19, 4)); // tray
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 170, 0));
    p.drawRect(QRectF(24, 17, 3, 2));
}

void skull(QPainter& p)
{
    p.setPen(QPen(QColor(70, 60, 50), 1));
    p.setBrush(QColor(240, 234, 214));
    p.drawEllipse(QRectF(4.5, 2.5, 23, 21)); // cranium
    p.drawRoundedRect(QRectF(9.5, 18.5, 13, 10), 3, 3); // jaw
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(8.5, 10, 6, 6));
    p.drawEllipse(QRectF(17.5, 10, 6, 6));
    QPolygonF nose;
    nose << QPointF(16, 16) << QPointF(14.5, 19) << QPointF(17.5, 19);
    p.drawPolygon(nose);
    p.setPen(QPen(Qt::black, 1));
    for (double x = 12.5; x <= 20.5; x += 2)
        p.drawLine(QPointF(x, 23), QPointF(x, 27));
}

void wasteBin(QPainter& p)
{
    QPolygonF body;
    body << QPointF(6.5, 9.5) << QPointF(25.5, 9.5) << QPointF(23.5, 29.5) << QPointF(8.5, 29.5);
    p.setPen(QPen(QColor(50, 50, 50), 1));
    p.setBrush(QColor(150, 160, 170));
    p.drawPolygon(body);
    p.setPen(QPen(QColor(80, 90, 100), 1));
    for (double x = 11.5; x <= 21.5; x += 5)
        p.drawLine(QPointF(x, 12), QPointF(x - (x - 16) * 0.1, 27));
    p.setPen(QPen(QColor(50, 50, 50), 1));
    p.setBrush(QColor(120, 130, 140));
    p.drawRect(QRectF(4.5, 5.5, 23, 4)); // lid
    p.drawRect(QRectF(13.5, 2.5, 5, 3)); // handle
}

void globeWithLetter(QPainter& p)
{
    p.setPen(QPen(QColor(0, 40, 110), 1));
    p.setBrush(QColor(40, 110, 220));
    p.drawEllipse(QRectF(1.5, 1.5, 24, 24));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 160, 60));
    QPainterPath land;
    land.moveTo(6, 7);
    land.cubicTo(10, 3, 15, 6, 13, 10);
    land.cubicTo(11, 14, 7, 13, 6, 7);
    land.moveTo(14, 14);
    land.cubicTo(19, 12, 23, 16, 20, 21);
    land.cubicTo(17, 24, 13, 20, 14, 14);
    p.drawPath(land);
    p.setPen(QPen(QColor(0, 40, 110), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(8.5, 1.5, 10, 24));
    p.drawLine(QPointF(1.5, 13.5), QPointF(25.5, 13.5));
    // The letter.
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(14.5, 18.5, 16, 11));
    p.drawLine(QPointF(14.5, 18.5), QPointF(22.5, 24.5));
    p.drawLine(QPointF(30.5, 18.5), QPointF(22.5, 24.5));
}

using Painter = void (*)(QPainter&);
constexpr std::array<Painter, 10> kIcons = {question, info,    noEntry, starburst, computer,
                                            folder,   printer, skull,   wasteBin,  globeWithLetter};

} // namespace

QPixmap MBox::ListImage(int index)
{
    if (index < 1 || index > static_cast<int>(kIcons.size()))
        return {};
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    kIcons[static_cast<size_t>(index - 1)](p);
    p.end();
    return QPixmap::fromImage(image);
}
