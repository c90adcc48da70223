#include "program/services/ProgramPictures.h"

#include "platform/basic/App.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace ProgramPictures {

namespace {

constexpr int kSize = 32;

QPixmap canvas()
{
    QPixmap p(kSize, kSize);
    p.fill(Qt::transparent);
    return p;
}

// A rounded tile in the colour, with a darker rim.
void tile(QPainter& p, QColor colour)
{
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, kSize);
    g.setColorAt(0, colour.lighter(135));
    g.setColorAt(1, colour);
    p.setBrush(g);
    p.setPen(QPen(colour.darker(150), 1.5));
    p.drawRoundedRect(QRectF(2, 2, kSize - 4, kSize - 4), 6, 6);
}

QPen white(double width)
{
    return QPen(Qt::white, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void renewalGlyph(QPainter& p)
{
    // Two arrows chasing each other round a circle.
    p.setPen(white(3));
    p.setBrush(Qt::NoBrush);
    const QRectF r(8, 8, 16, 16);
    p.drawArc(r, 30 * 16, 140 * 16);
    p.drawArc(r, 210 * 16, 140 * 16);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(25, 8), QPointF(26, 16), QPointF(19, 13)}));
    p.drawPolygon(QPolygonF({QPointF(7, 24), QPointF(6, 16), QPointF(13, 19)}));
}

void shieldGlyph(QPainter& p)
{
    QPainterPath s;
    s.moveTo(16, 6);
    s.lineTo(25, 9);
    s.cubicTo(25, 18, 22, 23, 16, 27);
    s.cubicTo(10, 23, 7, 18, 7, 9);
    s.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(s);
    p.setPen(QPen(QColor(30, 80, 170), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(12, 16), QPointF(15, 20), QPointF(21, 12)}));
}

void barsGlyph(QPainter& p, int bars)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const int heights[] = {8, 14, 11, 18};
    const double w = 16.0 / bars;
    for (int i = 0; i < bars; ++i) {
        const int h = heights[i % 4];
        p.drawRect(QRectF(8 + i * w + 0.5, 25 - h, w - 1.5, h));
    }
    p.setPen(white(1.5));
    p.drawLine(QPointF(7, 25.5), QPointF(25, 25.5));
}

void pinGlyph(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(14, 7, 4, 13), 2, 2);
    p.drawEllipse(QRectF(13.5, 22, 5, 5));
}

void calendarGlyph(QPainter& p, QColor head, const QString& text)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 90, 90), 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(4, 5, 24, 24), 3, 3);
    p.setBrush(head);
    p.drawRoundedRect(QRectF(4, 5, 24, 8), 3, 3);
    p.setPen(QPen(QColor(60, 60, 60), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 3), QPointF(10, 8));
    p.drawLine(QPointF(22, 3), QPointF(22, 8));
    QFont f;
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRectF(4, 13, 24, 16), Qt::AlignCenter, text);
}

void stackGlyph(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 3; ++i) {
        const double o = 2.0 + i * 4.0;
        p.setPen(QPen(QColor(120, 90, 0), 1.2));
        p.setBrush(QColor(255, 214 - i * 25, 60 + i * 20));
        p.drawRoundedRect(QRectF(o + 2, o + 2, 18, 18), 3, 3);
    }
    p.setPen(QPen(QColor(120, 60, 0), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(21, 17), QPointF(21, 27));
    p.drawLine(QPointF(16, 22), QPointF(26, 22));
}

void gearGlyph(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(16, 16);
        p.rotate(i * 45.0);
        p.drawRect(QRectF(-2, -11, 4, 6));
        p.restore();
    }
    p.drawEllipse(QPointF(16, 16), 7.5, 7.5);
    p.setBrush(QColor(90, 90, 110));
    p.drawEllipse(QPointF(16, 16), 3, 3);
}

void storeGlyph(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 15, 16, 11));
    p.setBrush(QColor(255, 230, 230));
    p.drawPolygon(QPolygonF({QPointF(6, 15), QPointF(10, 8), QPointF(22, 8), QPointF(26, 15)}));
    p.setBrush(QColor(150, 40, 40));
    p.drawRect(QRectF(14, 19, 5, 7));
}

void taskGlyph(QPainter& p)
{
    p.setPen(white(2.2));
    for (int i = 0; i < 3; ++i) {
        const double y = 10 + i * 6;
        p.drawPolyline(QPolygonF({QPointF(7, y), QPointF(9, y + 2), QPointF(12, y - 2)}));
        p.drawLine(QPointF(15, y), QPointF(25, y));
    }
}

void quitGlyph(QPainter& p)
{
    p.setPen(white(3));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(8, 9, 16, 16), 120 * 16, 300 * 16);
    p.drawLine(QPointF(16, 6), QPointF(16, 16));
}

void envelopeGlyph(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 10, 18, 13));
    p.setPen(QPen(QColor(40, 90, 190), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(7.5, 10.5), QPointF(16, 17), QPointF(24.5, 10.5)}));
}

void arrowDownGlyph(QPainter& p)
{
    p.setPen(white(3));
    p.drawLine(QPointF(16, 7), QPointF(16, 22));
    p.drawPolyline(QPolygonF({QPointF(10, 16), QPointF(16, 22), QPointF(22, 16)}));
    p.drawLine(QPointF(9, 26), QPointF(23, 26));
}

} // namespace

QPixmap ReminderPicture(int kind)
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case 1:
        tile(p, QColor(40, 150, 60));
        renewalGlyph(p);
        break;
    case 2:
        tile(p, QColor(40, 90, 190));
        shieldGlyph(p);
        break;
    case 3:
        tile(p, QColor(230, 130, 20));
        barsGlyph(p, 3);
        break;
    case 4:
        tile(p, QColor(130, 60, 170));
        pinGlyph(p);
        break;
    case 5:
        tile(p, QColor(190, 50, 50));
        barsGlyph(p, 4);
        break;
    case 7:
        stackGlyph(p);
        break;
    default:
        // The design's spare places hold a faint dot.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(160, 160, 160, 120));
        p.drawEllipse(QPointF(16, 16), 3, 3);
        break;
    }
    return pm;
}

QPixmap ResourceIcon801()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    calendarGlyph(p, QColor(70, 130, 200), QStringLiteral("!"));
    return pm;
}

QImage ProgramIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.scale(size / double(kSize), size / double(kSize));
    calendarGlyph(p, QColor(200, 40, 40), QStringLiteral("T"));
    return image;
}

QPixmap TrayPicture()
{
    return QPixmap::fromImage(ProgramIcon(kSize));
}

QPixmap CommandPicture(std::string_view key)
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (key == "CONTROL" || key == "CALENDAR") {
        calendarGlyph(p, QColor(200, 40, 40), QStringLiteral("T"));
    } else if (key == "STORES") {
        tile(p, QColor(60, 110, 170));
        storeGlyph(p);
    } else if (key == "REPORT") {
        tile(p, QColor(230, 130, 20));
        barsGlyph(p, 4);
    } else if (key == "TASK" || key == "TASKS") {
        tile(p, QColor(40, 150, 60));
        taskGlyph(p);
    } else if (key == "SALES") {
        tile(p, QColor(20, 140, 140));
        QFont f;
        f.setPixelSize(20);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(2, 2, 28, 28), Qt::AlignCenter, QStringLiteral("$"));
    } else if (key == "EMAIL") {
        tile(p, QColor(40, 90, 190));
        envelopeGlyph(p);
    } else if (key == "OPTIONS" || key == "MISC") {
        tile(p, QColor(90, 90, 110));
        gearGlyph(p);
    } else if (key == "UPDATE") {
        tile(p, QColor(40, 90, 190));
        arrowDownGlyph(p);
    } else if (key == "QUIT") {
        tile(p, QColor(190, 40, 40));
        quitGlyph(p);
    } else {
        return {};
    }
    return pm;
}

QPixmap ShippedPicture(std::string_view fileName)
{
    return QPixmap(QString::fromStdString(ShippedPictureFile(fileName).string()));
}

std::filesystem::path ShippedPictureFile(std::string_view fileName)
{
    return vb::AppPaths::InstallFolder() / fileName;
}

} // namespace ProgramPictures
