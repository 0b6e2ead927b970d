#include "views/backgroundpainter.h"

#include <QPainter>
#include <QPoint>
#include <QRect>

#include <algorithm>

#include "app/subsettings.h"

namespace kestrel {

void CBackgroundPainter::SetGradient(const QColor& top, const QColor& bottom)
{
    m_mode = Gradient;
    m_top = top;
    m_bottom = bottom;
}

void CBackgroundPainter::SetBitmap(const QString& path, const QColor& top)
{
    m_top = top;
    m_bottom = top;
    QPixmap bitmap;
    if (path.isEmpty() || !bitmap.load(path) || bitmap.isNull()) {
        m_mode = None;
        m_bitmap = QPixmap();
        return;
    }
    m_mode = Bitmap;
    m_bitmap = bitmap;
}

void CBackgroundPainter::FromSettings(const CSubSettings& settings, int depthBits)
{
    if (depthBits <= 8) {
        SetNone();
        return;
    }
    switch (settings.backgroundType) {
    case Gradient: SetGradient(settings.topColor, settings.bottomColor); break;
    case Bitmap: SetBitmap(settings.backgroundBitmap, settings.topColor); break;
    default: SetNone(); break;
    }
}

QColor CBackgroundPainter::BandColor(const QColor& top, const QColor& bottom, int i)
{
    auto channel = [i](int t, int b) { return t + (b - t) * i / kSteps; };
    return QColor(channel(top.red(), bottom.red()), channel(top.green(), bottom.green()),
                  channel(top.blue(), bottom.blue()));
}

QColor CBackgroundPainter::ColorAt(int y, int height) const
{
    if (m_mode != Gradient || height <= 0)
        return m_top;
    const int band = std::clamp(y * kSteps / height, 0, kSteps);
    return BandColor(m_top, m_bottom, band);
}

void CBackgroundPainter::Paint(QPainter& painter, const QRect& client, int contentHeight,
                               const QPoint& scroll) const
{
    if (m_mode == Gradient) {
        // The bands belong to the content: they scroll with it, and a view
        // taller than its content stretches them over the whole view.
        const int height = std::max(client.height(), contentHeight);
        const int bandHeight = height / kSteps + 1;
        for (int i = 0; i <= kSteps; ++i) {
            const QRect band(client.left(), BandTop(i, height) - scroll.y() + client.top(), client.width(),
                             bandHeight);
            if (band.intersects(client))
                painter.fillRect(band.intersected(client), BandColor(m_top, m_bottom, i));
        }
    } else if (m_mode == Bitmap && !m_bitmap.isNull()) {
        painter.drawTiledPixmap(client, m_bitmap,
                                QPoint(scroll.x() + client.left(), scroll.y() + client.top()));
    }
}

} // namespace kestrel
