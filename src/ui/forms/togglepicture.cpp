#include "forms/togglepicture.h"

#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QRadialGradient>

namespace {
QPixmap EmptyCircle()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(128, 128, 128), 1.5));
    p.drawEllipse(QRectF(2, 2, 12, 12));
    return pm;
}

QPixmap RedBall()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // Lit from the upper left.
    QRadialGradient shade(QPointF(6, 5.5), 8);
    shade.setColorAt(0, QColor(255, 170, 170));
    shade.setColorAt(0.45, QColor(230, 0, 0));
    shade.setColorAt(1, QColor(140, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    return pm;
}
} // namespace

const QPixmap &CTogglePicture::Get(bool on)
{
    static const QPixmap circle = EmptyCircle();
    static const QPixmap ball = RedBall();
    return on ? ball : circle;
}
