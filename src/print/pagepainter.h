#pragma once
// Draws laid-out report pages with QPainter: a twips mapping (1440 units per
// inch), a fixed-pitch font in 134 x 240 twip cells, line i at y = i * 240
// twips. Serves PDF now and printers and preview alike.

#include <QFont>
#include <QRectF>

#include <vector>

#include "report/reportpage.h"

class QPageLayout;
class QPagedPaintDevice;
class QPainter;
class QPaintDevice;

namespace kestrel {

class CPagePainter {
public:
    static constexpr int kCellWidth = 134;  // twips
    static constexpr int kLineHeight = 240; // twips
    static constexpr int kTwipsPerInch = 1440;

    // "Courier New" (or the metric-compatible "Liberation Mono"), sized so
    // that each character takes one 134 x 240 twip cell.
    static QFont ReportFont();
    // Maps the painter so that one logical unit is one twip, origin at the
    // top left of the device's paint area, y downwards.
    static void SetTwipsMapping(QPainter& painter, const QPaintDevice& device);
    // Draws one page on a painter set up by SetTwipsMapping.
    static void DrawPage(QPainter& painter, const ReportPage& page);
    // The same, one character at a time; DrawPage falls back on it when the
    // font gives no raw glyphs.
    static void DrawPageByCharacter(QPainter& painter, const ReportPage& page);

    // Draws the pages one a sheet on a painter begun on a paged device (a
    // printer, a PDF file); false when the device could not take a sheet.
    static bool DrawSheets(QPainter& painter, QPagedPaintDevice& device,
                           const std::vector<const ReportPage*>& pages);
    // Draws a sheet of paper of the page layout into `paper` (painter
    // coordinates), with the page on it where a printer would print it: the
    // preview's picture of a printed page.
    static void DrawSheetPicture(QPainter& painter, const ReportPage& page, const QPageLayout& layout,
                                 const QRectF& paper);
};

} // namespace kestrel
