#include "app/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    const QColor teal(0x12, 0x70, 0x7a);
    const QColor mist(0xbf, 0xe9, 0xee);
    p.setPen(Qt::NoPen);
    p.setBrush(teal);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 14, 14);

    QPainterPath hull;
    hull.moveTo(8, 40);
    hull.lineTo(56, 40);
    hull.quadTo(50, 52, 32, 52);
    hull.quadTo(14, 52, 8, 40);
    p.setBrush(Qt::white);
    p.drawPath(hull);

    QPainterPath wave;
    wave.moveTo(6, 55);
    wave.quadTo(16, 51, 26, 55);
    wave.quadTo(36, 59, 46, 55);
    wave.quadTo(52, 53, 58, 55);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(mist, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(wave);

    QPainterPath bird;
    bird.moveTo(12, 24);
    bird.quadTo(22, 14, 32, 26);
    bird.quadTo(42, 10, 56, 12);
    bird.quadTo(46, 18, 42, 30);
    bird.quadTo(36, 36, 28, 34);
    bird.quadTo(20, 32, 12, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(mist);
    p.drawPath(bird);
    p.setBrush(teal);
    p.drawEllipse(QPointF(50, 15), 1.8, 1.8);
    return pixmap;
}

}  // namespace

QIcon AppIcon() {
    static const QIcon icon = [] {
        QIcon drawn;
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) drawn.addPixmap(DrawIcon(size));
        return drawn;
    }();
    return icon;
}
