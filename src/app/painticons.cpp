#include "app/painticons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace kestrel {

namespace {

// The colours of the painted icons.
// Folders: incomplete or in error.
constexpr QRgb kFolderRed = qRgb(214, 52, 40);
// Complete.
constexpr QRgb kFolderGreen = qRgb(46, 160, 67);
// No state.
constexpr QRgb kFolderYellow = qRgb(232, 182, 22);
// Unused state.
constexpr QRgb kFolderCyan = qRgb(32, 178, 196);
// The Open tool's folder.
constexpr QRgb kOpenFolder = qRgb(226, 178, 64);
// The Save tool's disk.
constexpr QRgb kDiskEdge = qRgb(30, 60, 110);
constexpr QRgb kDiskBody = qRgb(58, 110, 180);
constexpr QRgb kDiskLabel = qRgb(245, 245, 240);
constexpr QRgb kDiskShutter = qRgb(40, 70, 120);
// The Print tool's printer.
constexpr QRgb kPrinterEdge = qRgb(60, 60, 60);
constexpr QRgb kPrinterBody = qRgb(120, 124, 132);
constexpr QRgb kPrintedLine = qRgb(110, 110, 110);
constexpr QRgb kPowerLight = qRgb(90, 200, 90);
// The Check tool's list and tick.
constexpr QRgb kClipboardEdge = qRgb(90, 90, 90);
constexpr QRgb kTickGreen = qRgb(34, 150, 60);
// The program's own picture: sky, frame, road and its markings.
constexpr QRgb kSkyTop = qRgb(241, 236, 231);
constexpr QRgb kSkyBottom = qRgb(192, 174, 126);
constexpr QRgb kPictureFrame = qRgb(79, 67, 38);
constexpr QRgb kRoad = qRgb(70, 70, 74);
constexpr QRgb kRoadMarking = qRgb(250, 210, 60);
constexpr QRgb kKestrel = qRgb(120, 60, 20);
// The print preview's tools: ink, paper edge, accents.
constexpr QRgb kInk = qRgb(52, 64, 84);
constexpr QRgb kPaperEdge = qRgb(150, 156, 166);
constexpr QRgb kAccentBlue = qRgb(40, 120, 200);
constexpr QRgb kPdfRed = qRgb(200, 40, 36);
constexpr QRgb kBandGrey = qRgb(225, 228, 234);
constexpr QRgb kBandEdge = qRgb(140, 146, 156);
// The same drawings disabled: shades of grey.
constexpr QRgb kOffEdge = qRgb(150, 150, 150);
constexpr QRgb kOffTick = qRgb(160, 160, 160);
constexpr QRgb kOffInk = qRgb(165, 165, 165);
constexpr QRgb kOffFill = qRgb(170, 170, 170);
constexpr QRgb kOffPdf = qRgb(175, 175, 175);
constexpr QRgb kOffLine = qRgb(190, 190, 190);
constexpr QRgb kOffBody = qRgb(200, 200, 200);
constexpr QRgb kOffPaper = qRgb(235, 235, 235);
// The magnifier's glass lets the paper show through.
constexpr QRgb kMagnifierGlass = qRgba(255, 255, 255, 200);

// Draws on a 16 x 16 design grid, scaled to the requested size.
using Drawing = std::function<void(QPainter& painter, QIcon::Mode mode)>;

class PaintedIconEngine : public QIconEngine {
public:
    explicit PaintedIconEngine(Drawing drawing) : m_drawing(std::move(drawing)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 16.0, rect.height() / 16.0);
        m_drawing(*painter, mode);
        painter->restore();
    }

    // A pixmap of exactly `size` pixels. At a pixel ratio above 1 the icon
    // asks for the size in device pixels (through the base's scaledPixmap)
    // and marks the ratio itself, so the drawing is made on every pixel the
    // screen shows rather than blown up.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new PaintedIconEngine(m_drawing); }

private:
    Drawing m_drawing;
};

QIcon Painted(Drawing drawing)
{
    return QIcon(new PaintedIconEngine(std::move(drawing)));
}

QColor StateColor(int state)
{
    switch (state) {
    case FOLDER_RED: return QColor(kFolderRed);
    case FOLDER_GREEN: return QColor(kFolderGreen);
    case FOLDER_YELLOW: return QColor(kFolderYellow);
    default: return QColor(kFolderCyan);
    }
}

void DrawFolder(QPainter& p, const QColor& colour, bool open)
{
    const QColor edge = colour.darker(160);
    p.setPen(QPen(edge, 0.8));
    // The back with its tab.
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(14.5, 5);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.setBrush(colour.darker(118));
    p.drawPath(back);
    QPainterPath front;
    if (open) {
        // The front leans back: a folder opened.
        front.moveTo(3.5, 7);
        front.lineTo(15.5, 7);
        front.lineTo(13, 13.5);
        front.lineTo(1.5, 13.5);
    } else {
        front.moveTo(1.5, 6.5);
        front.lineTo(14.5, 6.5);
        front.lineTo(14.5, 13.5);
        front.lineTo(1.5, 13.5);
    }
    front.closeSubpath();
    QLinearGradient shade(0, 6, 0, 14);
    shade.setColorAt(0, colour.lighter(135));
    shade.setColorAt(1, colour);
    p.setBrush(shade);
    p.drawPath(front);
    if (open) {
        // A sheet of paper shows inside.
        p.setPen(QPen(QColor(kOffEdge), 0.6));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 4.5, 8, 2.5));
    }
}

} // namespace

QIcon FolderIcon(int state)
{
    const QColor colour = StateColor(state);
    return Painted(
        [colour](QPainter& p, QIcon::Mode mode) { DrawFolder(p, colour, mode == QIcon::Selected); });
}

QIcon ToolbarIcon(ToolIcon which)
{
    switch (which) {
    case ToolIcon::Open:
        return Painted([](QPainter& p, QIcon::Mode mode) {
            DrawFolder(p, mode == QIcon::Disabled ? QColor(kOffFill) : QColor(kOpenFolder), true);
        });
    case ToolIcon::Save:
        return Painted([](QPainter& p, QIcon::Mode mode) {
            const bool off = mode == QIcon::Disabled;
            p.setPen(QPen(off ? QColor(kOffEdge) : QColor(kDiskEdge), 0.8));
            p.setBrush(off ? QColor(kOffBody) : QColor(kDiskBody));
            QPainterPath disk;
            disk.moveTo(1.5, 1.5);
            disk.lineTo(12.5, 1.5);
            disk.lineTo(14.5, 3.5);
            disk.lineTo(14.5, 14.5);
            disk.lineTo(1.5, 14.5);
            disk.closeSubpath();
            p.drawPath(disk);
            p.setBrush(off ? QColor(kOffPaper) : QColor(kDiskLabel));
            p.drawRect(QRectF(4, 1.5, 8, 5));
            p.setBrush(off ? QColor(kOffFill) : QColor(kDiskShutter));
            p.drawRect(QRectF(9, 2.5, 2, 3));
            p.setBrush(off ? QColor(kOffPaper) : Qt::white);
            p.drawRect(QRectF(3.5, 9, 9, 5.5));
        });
    case ToolIcon::Print:
        return Painted([](QPainter& p, QIcon::Mode mode) {
            const bool off = mode == QIcon::Disabled;
            p.setPen(QPen(off ? QColor(kOffEdge) : QColor(kPrinterEdge), 0.8));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4, 1.5, 8, 5));
            p.setBrush(off ? QColor(kOffBody) : QColor(kPrinterBody));
            p.drawRoundedRect(QRectF(1.5, 6, 13, 6.5), 1.2, 1.2);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4, 10, 8, 4.5));
            p.setPen(QPen(off ? QColor(kOffLine) : QColor(kPrintedLine), 0.6));
            p.drawLine(QPointF(5.5, 12), QPointF(10.5, 12));
            p.drawLine(QPointF(5.5, 13.3), QPointF(9.5, 13.3));
            p.setPen(Qt::NoPen);
            p.setBrush(off ? QColor(kOffFill) : QColor(kPowerLight));
            p.drawEllipse(QPointF(12.3, 8.2), 0.8, 0.8);
        });
    case ToolIcon::Check:
        return Painted([](QPainter& p, QIcon::Mode mode) {
            const bool off = mode == QIcon::Disabled;
            p.setPen(QPen(off ? QColor(kOffEdge) : QColor(kClipboardEdge), 0.8));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(2.5, 1.5, 10, 13));
            p.setPen(QPen(off ? QColor(kOffLine) : QColor(kOffEdge), 0.7));
            for (double y = 4.5; y < 13; y += 2.5)
                p.drawLine(QPointF(4.5, y), QPointF(10.5, y));
            QPen tick(off ? QColor(kOffTick) : QColor(kTickGreen), 2.2, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin);
            p.setPen(tick);
            p.setBrush(Qt::NoBrush);
            QPainterPath mark;
            mark.moveTo(6.5, 10);
            mark.lineTo(9, 12.8);
            mark.lineTo(14.5, 5.5);
            p.drawPath(mark);
        });
    }
    return QIcon();
}

QIcon ProgramIcon()
{
    return Painted([](QPainter& p, QIcon::Mode) {
        // A road running into the distance under an evening sky.
        QLinearGradient sky(0, 0, 0, 16);
        sky.setColorAt(0, QColor(kSkyTop));
        sky.setColorAt(1, QColor(kSkyBottom));
        p.setPen(QPen(QColor(kPictureFrame), 0.8));
        p.setBrush(sky);
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(kRoad));
        QPainterPath road;
        road.moveTo(7, 7);
        road.lineTo(9, 7);
        road.lineTo(14, 15.5);
        road.lineTo(2, 15.5);
        road.closeSubpath();
        p.drawPath(road);
        p.setPen(QPen(QColor(kRoadMarking), 0.8));
        p.drawLine(QPointF(8, 8), QPointF(8, 9.5));
        p.drawLine(QPointF(8, 11), QPointF(8, 13));
        // The kestrel, a small falcon, hovering.
        p.setPen(QPen(QColor(kKestrel), 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        QPainterPath bird;
        bird.moveTo(3, 4.5);
        bird.quadTo(5.5, 2.2, 8, 4.2);
        bird.quadTo(10.5, 2.2, 13, 4.5);
        p.drawPath(bird);
    });
}

namespace {

QColor InkOf(QIcon::Mode mode)
{
    return mode == QIcon::Disabled ? QColor(kOffInk) : QColor(kInk);
}

// A triangle pointing left or right, with a bar before it for the ends.
void DrawStep(QPainter& p, QIcon::Mode mode, bool forward, bool toEnd)
{
    p.setPen(Qt::NoPen);
    p.setBrush(InkOf(mode));
    QPainterPath arrow;
    const double tip = forward ? 12 : 4;
    const double back = forward ? 5 : 11;
    arrow.moveTo(tip, 8);
    arrow.lineTo(back, 3);
    arrow.lineTo(back, 13);
    arrow.closeSubpath();
    p.drawPath(arrow);
    if (toEnd)
        p.drawRect(forward ? QRectF(12, 3, 1.8, 10) : QRectF(2.2, 3, 1.8, 10));
}

// A sheet of paper with a few lines of print.
void DrawSheet(QPainter& p, QIcon::Mode mode, const QRectF& sheet)
{
    p.setPen(QPen(InkOf(mode), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    p.setPen(QPen(mode == QIcon::Disabled ? QColor(kOffBody) : QColor(kPaperEdge), 0.7));
    for (double y = sheet.top() + 2.5; y < sheet.bottom() - 1.5; y += 2)
        p.drawLine(QPointF(sheet.left() + 1.8, y), QPointF(sheet.right() - 1.8, y));
}

void DrawMagnifier(QPainter& p, QIcon::Mode mode, bool plus)
{
    const QColor ink = InkOf(mode);
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(kMagnifierGlass));
    p.drawEllipse(QPointF(6.5, 6.5), 4.6, 4.6);
    p.drawLine(QPointF(10, 10), QPointF(14.3, 14.3));
    p.setPen(QPen(ink, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4.3, 6.5), QPointF(8.7, 6.5));
    if (plus)
        p.drawLine(QPointF(6.5, 4.3), QPointF(6.5, 8.7));
}

void DrawFit(QPainter& p, QIcon::Mode mode, bool width)
{
    DrawSheet(p, mode, width ? QRectF(4, 2.5, 8, 11) : QRectF(4.5, 3.5, 7, 9));
    const QColor accent = mode == QIcon::Disabled ? QColor(kOffFill) : QColor(kAccentBlue);
    p.setPen(QPen(accent, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    if (width) {
        p.drawLine(QPointF(0.8, 8), QPointF(3, 8));
        p.drawLine(QPointF(13, 8), QPointF(15.2, 8));
        p.drawPolyline(QPolygonF({QPointF(2, 6.5), QPointF(0.8, 8), QPointF(2, 9.5)}));
        p.drawPolyline(QPolygonF({QPointF(14, 6.5), QPointF(15.2, 8), QPointF(14, 9.5)}));
    } else {
        p.drawRect(QRectF(1.5, 1, 13, 14));
    }
}

void DrawPdf(QPainter& p, QIcon::Mode mode)
{
    DrawSheet(p, mode, QRectF(3, 1.5, 10, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(mode == QIcon::Disabled ? QColor(kOffPdf) : QColor(kPdfRed));
    p.drawRoundedRect(QRectF(1.5, 8.5, 10, 5.5), 1, 1);
    p.setPen(QPen(Qt::white, 0.9));
    // "P" drawn with strokes, readable down to 16 pixels.
    p.drawLine(QPointF(3.6, 10), QPointF(3.6, 12.8));
    p.drawArc(QRectF(2.4, 10, 2.6, 1.6), -90 * 16, 180 * 16);
    p.drawLine(QPointF(6.4, 10), QPointF(6.4, 12.8));
    p.drawArc(QRectF(4.8, 10, 2.8, 2.8), -90 * 16, 180 * 16);
    p.drawLine(QPointF(9.2, 10), QPointF(9.2, 12.8));
    p.drawLine(QPointF(9.2, 10), QPointF(10.6, 10));
    p.drawLine(QPointF(9.2, 11.4), QPointF(10.3, 11.4));
}

} // namespace

QIcon ProposalIcon()
{
    return Painted([](QPainter& p, QIcon::Mode mode) {
        QPainterPath sheet;
        sheet.moveTo(3, 1.5);
        sheet.lineTo(10, 1.5);
        sheet.lineTo(13.5, 5);
        sheet.lineTo(13.5, 14.5);
        sheet.lineTo(3, 14.5);
        sheet.closeSubpath();
        p.setPen(QPen(InkOf(mode), 0.8));
        p.setBrush(Qt::white);
        p.drawPath(sheet);
        p.setBrush(QColor(kBandGrey));
        p.drawPolygon(QPolygonF({QPointF(10, 1.5), QPointF(10, 5), QPointF(13.5, 5)}));
        // A band in the program's colours and lines of text.
        p.setPen(Qt::NoPen);
        p.setBrush(mode == QIcon::Disabled ? QColor(kOffLine) : QColor(kSkyBottom));
        p.drawRect(QRectF(4.5, 6.5, 7.5, 2.2));
        p.setPen(QPen(mode == QIcon::Disabled ? QColor(kOffBody) : QColor(kBandEdge), 0.7));
        for (double y = 10.3; y < 14; y += 1.6)
            p.drawLine(QPointF(4.8, y), QPointF(11.8, y));
    });
}

QIcon PreviewToolIcon(PreviewIcon which)
{
    return Painted([which](QPainter& p, QIcon::Mode mode) {
        switch (which) {
        case PreviewIcon::First: DrawStep(p, mode, false, true); break;
        case PreviewIcon::Previous: DrawStep(p, mode, false, false); break;
        case PreviewIcon::Next: DrawStep(p, mode, true, false); break;
        case PreviewIcon::Last: DrawStep(p, mode, true, true); break;
        case PreviewIcon::ZoomIn: DrawMagnifier(p, mode, true); break;
        case PreviewIcon::ZoomOut: DrawMagnifier(p, mode, false); break;
        case PreviewIcon::FitWidth: DrawFit(p, mode, true); break;
        case PreviewIcon::FitPage: DrawFit(p, mode, false); break;
        case PreviewIcon::Pdf: DrawPdf(p, mode); break;
        }
    });
}

} // namespace kestrel
