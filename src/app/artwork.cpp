#include "app/artwork.h"

#include <algorithm>

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QString>

namespace kestrel {

namespace {

// The bird on a design grid 100 wide, centred on its body.
QPainterPath KestrelShape()
{
    QPainterPath bird;
    // Wings: long, pointed, swept a little back, as a kestrel holds them
    // while it hovers.
    bird.moveTo(0, 0);
    bird.cubicTo(-12, -10, -30, -16, -50, -9);
    bird.cubicTo(-36, -6, -22, 0, -8, 6);
    bird.closeSubpath();
    bird.moveTo(0, 0);
    bird.cubicTo(12, -10, 30, -16, 50, -9);
    bird.cubicTo(36, -6, 22, 0, 8, 6);
    bird.closeSubpath();
    // Head, body and the fanned tail.
    bird.addEllipse(QPointF(0, -5), 3.4, 3.6);
    bird.moveTo(-3.6, -2);
    bird.cubicTo(-4.2, 5, -3, 11, -8, 24);
    bird.quadTo(0, 27, 8, 24);
    bird.cubicTo(3, 11, 4.2, 5, 3.6, -2);
    bird.closeSubpath();
    return bird;
}

// The road from the lower right to the vanishing point, its edges and the
// broken centre line, whose dashes grow as they come nearer.
void PaintRoad(QPainter& painter, const QRectF& area, const QPointF& vanish)
{
    const double w = area.width();
    const double h = area.height();
    const double horizon = vanish.y();
    // The road runs in from the lower right, leaving the fields on the
    // left for the name.
    const QPointF leftBase(area.left() + w * 0.55, area.bottom());
    const QPointF rightBase(area.left() + w * 1.12, area.bottom());
    QPainterPath road;
    road.moveTo(vanish.x() - 2, horizon);
    road.lineTo(vanish.x() + 2, horizon);
    road.lineTo(rightBase);
    road.lineTo(leftBase);
    road.closeSubpath();
    QLinearGradient asphalt(QPointF(0, horizon), QPointF(0, area.bottom()));
    asphalt.setColorAt(0.0, QColor(110, 110, 116));
    asphalt.setColorAt(1.0, QColor(52, 52, 58));
    painter.setBrush(asphalt);
    painter.drawPath(road);
    painter.setPen(QPen(QColor(236, 236, 230), h * 0.006));
    painter.drawLine(QPointF(vanish.x() - 1.5, horizon), leftBase + QPointF(w * 0.02, 0));
    painter.drawLine(QPointF(vanish.x() + 1.5, horizon), rightBase - QPointF(w * 0.02, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(250, 206, 64));
    const QPointF centreBase((leftBase.x() + rightBase.x()) / 2, area.bottom());
    for (double t = 0.04; t < 1.0; t += 0.16) {
        // Dashes grow as they come nearer: t runs from the horizon down.
        const double t2 = std::min(1.0, t + 0.07 + t * 0.03);
        const double y1 = horizon + (area.bottom() - horizon) * t * t;
        const double y2 = horizon + (area.bottom() - horizon) * t2 * t2;
        const double x1 = vanish.x() + (centreBase.x() - vanish.x()) * t * t;
        const double x2 = vanish.x() + (centreBase.x() - vanish.x()) * t2 * t2;
        const double half1 = 0.4 + w * 0.006 * t * t;
        const double half2 = 0.4 + w * 0.006 * t2 * t2;
        painter.drawPolygon(QPolygonF({QPointF(x1 - half1, y1), QPointF(x1 + half1, y1),
                                       QPointF(x2 + half2, y2), QPointF(x2 - half2, y2)}));
    }
}

} // namespace

void PaintKestrelScene(QPainter& painter, const QRectF& area)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipRect(area);
    const double w = area.width();
    const double h = area.height();
    const double horizon = area.top() + h * 0.62;

    QLinearGradient sky(area.topLeft(), QPointF(area.left(), horizon));
    sky.setColorAt(0.0, QColor(34, 58, 102));
    sky.setColorAt(0.55, QColor(120, 132, 160));
    sky.setColorAt(0.85, QColor(226, 182, 132));
    sky.setColorAt(1.0, QColor(244, 214, 160));
    painter.fillRect(QRectF(area.left(), area.top(), w, horizon - area.top()), sky);
    // The low sun behind the road's end.
    const QPointF vanish(area.left() + w * 0.72, horizon);
    QRadialGradient sun(vanish, h * 0.35);
    sun.setColorAt(0.0, QColor(255, 236, 190, 230));
    sun.setColorAt(1.0, QColor(255, 236, 190, 0));
    painter.fillRect(QRectF(area.left(), area.top(), w, horizon - area.top()), sun);

    // Fields, darker towards the viewer.
    QLinearGradient land(QPointF(area.left(), horizon), area.bottomLeft());
    land.setColorAt(0.0, QColor(150, 140, 92));
    land.setColorAt(1.0, QColor(70, 64, 40));
    painter.fillRect(QRectF(area.left(), horizon, w, area.bottom() - horizon), land);
    // Hills along the horizon.
    QPainterPath hills;
    hills.moveTo(area.left(), horizon);
    hills.cubicTo(area.left() + w * 0.15, horizon - h * 0.07, area.left() + w * 0.3, horizon - h * 0.02,
                  area.left() + w * 0.45, horizon - h * 0.05);
    hills.cubicTo(area.left() + w * 0.6, horizon - h * 0.09, area.left() + w * 0.8, horizon - h * 0.01,
                  area.right(), horizon - h * 0.06);
    hills.lineTo(area.right(), horizon);
    hills.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(96, 100, 96));
    painter.drawPath(hills);

    PaintRoad(painter, area, vanish);

    // The kestrel, hovering over the road.
    painter.translate(area.left() + w * 0.27, area.top() + h * 0.27);
    painter.scale(w * 0.0027, w * 0.0027);
    painter.setBrush(QColor(58, 36, 22));
    painter.setPen(QPen(QColor(30, 18, 10), 0.8));
    painter.drawPath(KestrelShape());
    painter.restore();
}

void PaintSceneText(QPainter& painter, const QRectF& band, const QString& text, int pixels, int weight)
{
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(pixels);
    font.setWeight(static_cast<QFont::Weight>(weight));
    painter.setFont(font);
    const double offset = std::max(1.0, pixels / 18.0);
    painter.setPen(QColor(0, 0, 0, 100));
    painter.drawText(band.translated(offset, offset), Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.setPen(QColor(255, 248, 232));
    painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.restore();
}

} // namespace kestrel
