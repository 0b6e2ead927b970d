#pragma once
// The painted window backgrounds shared by the data views and the tree: a
// vertical gradient of 129 bands from a top to a bottom colour, or a bitmap
// tiled from the top left, or nothing (the platform's own background).

#include <QColor>
#include <QPixmap>
#include <QString>

class QPainter;
class QRect;
class QPoint;

namespace kestrel {

struct CSubSettings;

class CBackgroundPainter {
public:
    enum Mode { None = 0, Gradient = 1, Bitmap = 2 };
    static constexpr int kSteps = 128;

    void SetNone() { m_mode = None; }
    void SetGradient(const QColor& top, const QColor& bottom);
    // A bitmap that cannot be read leaves the plain background.
    void SetBitmap(const QString& path, const QColor& top);
    // From "BackgroundType" and its colours; on a display of 8 bits per
    // pixel or fewer nothing is painted.
    void FromSettings(const CSubSettings& settings, int depthBits);

    Mode GetMode() const { return m_mode; }
    bool Paints() const { return m_mode != None; }
    const QColor& TopColor() const { return m_top; }
    const QColor& BottomColor() const { return m_bottom; }

    // The colour of band i (0 to 128): each channel top + (bottom - top) * i
    // / 128, truncated toward zero.
    static QColor BandColor(const QColor& top, const QColor& bottom, int i);
    // The top edge of band i on a surface `height` high; each band is
    // height / 128 + 1 high.
    static int BandTop(int i, int height) { return i * height / kSteps; }
    // The gradient colour at y of a surface `height` high (for brushes of
    // controls that stand on it).
    QColor ColorAt(int y, int height) const;

    // Paints the client rectangle of a surface whose content is
    // contentHeight high and scrolled by scroll.
    void Paint(QPainter& painter, const QRect& client, int contentHeight, const QPoint& scroll) const;

private:
    Mode m_mode = None;
    QColor m_top;
    QColor m_bottom;
    QPixmap m_bitmap;
};

} // namespace kestrel
