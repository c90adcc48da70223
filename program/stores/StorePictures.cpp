#include "program/stores/StorePictures.h"

#include <QPainter>

namespace StorePictures {

QPixmap NoIconPicture()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    // A small grey store front: roof, wall and door.
    p.setPen(QColor(96, 96, 96));
    p.setBrush(QColor(224, 224, 224));
    p.drawRect(2, 6, 11, 8);
    p.setBrush(QColor(160, 160, 160));
    p.drawPolygon(QPolygon({QPoint(1, 6), QPoint(8, 1), QPoint(14, 6)}));
    p.setBrush(QColor(128, 128, 128));
    p.drawRect(6, 9, 3, 5);
    // Crossed out in red: no picture of its own.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 0, 0), 2));
    p.drawLine(2, 2, 14, 14);
    p.drawLine(14, 2, 2, 14);
    return picture;
}

} // namespace StorePictures
