#include "print/pagepainter.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPaintDevice>
#include <QPainter>
#include <QRawFont>
#include <QStringList>

#include "calc/codepage.h"

namespace kestrel {

QFont CPagePainter::ReportFont()
{
    QFont font;
    font.setFamilies(QStringList{QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setWeight(QFont::Normal);
    font.setKerning(false);
    // The em that gives Courier's ascent plus descent a 240-twip line.
    font.setPixelSize(212);
    return font;
}

void CPagePainter::SetTwipsMapping(QPainter& painter, const QPaintDevice& device)
{
    const int w = device.width();
    const int h = device.height();
    painter.setViewport(0, 0, w, h);
    painter.setWindow(0, 0, qRound(w * double(kTwipsPerInch) / device.logicalDpiX()),
                      qRound(h * double(kTwipsPerInch) / device.logicalDpiY()));
}

void CPagePainter::DrawPageByCharacter(QPainter& painter, const ReportPage& page)
{
    // Without raw glyph access (no scalable font at all) each character is
    // drawn into its cell on its own: slower, but just as placed.
    painter.setFont(ReportFont());
    const qreal ascent = QFontMetricsF(painter.font(), painter.device()).ascent();
    for (size_t i = 0; i < page.lines.size(); ++i) {
        const QString text = QString::fromStdString(Cp1252ToUtf8(page.lines[i]));
        for (qsizetype k = 0; k < text.size(); ++k)
            if (text[k] != QLatin1Char(' '))
                painter.drawText(QPointF(qreal(k) * kCellWidth, qreal(i) * kLineHeight + ascent),
                                 QString(text[k]));
    }
}

namespace {

// The report font's glyphs, looked up once: finding the face behind a font
// takes longer than drawing a page.
const QRawFont& ReportRawFont()
{
    static const QRawFont raw = QRawFont::fromFont(CPagePainter::ReportFont());
    return raw;
}

} // namespace

void CPagePainter::DrawPage(QPainter& painter, const ReportPage& page)
{
    // Glyphs are placed cell by cell rather than left to the font's advance,
    // which differs a little between faces and, with letter spacing, between
    // devices: column n always starts at n * 134 twips.
    const QRawFont& raw = ReportRawFont();
    if (!raw.isValid()) {
        DrawPageByCharacter(painter, page);
        return;
    }
    const qreal ascent = raw.ascent();
    QVector<QPointF> positions;
    for (size_t i = 0; i < page.lines.size(); ++i) {
        const std::string& line = page.lines[i];
        if (line.empty())
            continue;
        const QString text = QString::fromStdString(Cp1252ToUtf8(line));
        QVector<quint32> glyphs = raw.glyphIndexesForString(text);
        positions.resize(glyphs.size());
        for (qsizetype k = 0; k < glyphs.size(); ++k)
            positions[k] = QPointF(qreal(k) * kCellWidth, 0);
        QGlyphRun run;
        run.setRawFont(raw);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(0, qreal(i) * kLineHeight + ascent), run);
    }
}

bool CPagePainter::DrawSheets(QPainter& painter, QPagedPaintDevice& device,
                              const std::vector<const ReportPage*>& pages)
{
    const QFont font = ReportFont();
    bool first = true;
    for (const ReportPage* page : pages) {
        if (!first && !device.newPage())
            return false;
        first = false;
        SetTwipsMapping(painter, device);
        painter.setFont(font);
        painter.setPen(Qt::black);
        DrawPage(painter, *page);
    }
    return true;
}

void CPagePainter::DrawSheetPicture(QPainter& painter, const ReportPage& page, const QPageLayout& layout,
                                    const QRectF& paper)
{
    const QRectF full = layout.fullRectPoints();
    if (full.isEmpty() || paper.isEmpty())
        return;
    painter.save();
    painter.fillRect(paper, Qt::white);
    // Points to the paper's picture, then twips (20 to the point) from the
    // corner of the area a printer prints on.
    const QRectF area = layout.paintRectPoints();
    painter.translate(paper.topLeft());
    painter.scale(paper.width() / full.width(), paper.height() / full.height());
    painter.translate(area.topLeft());
    painter.setClipRect(QRectF(QPointF(0, 0), area.size()));
    painter.scale(1.0 / 20, 1.0 / 20);
    painter.setFont(ReportFont());
    painter.setPen(Qt::black);
    DrawPage(painter, page);
    painter.restore();
}

} // namespace kestrel
