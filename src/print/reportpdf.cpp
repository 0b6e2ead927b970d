#include "print/reportpdf.h"

#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "print/pagepainter.h"

namespace kestrel {

bool CReportPdf::Write(const QString& path, const std::vector<ReportPage>& pages, QString* error)
{
    {
        // QPdfWriter reports an unwritable path only by an inactive painter;
        // opening the file first gives the reason.
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly)) {
            if (error)
                *error = probe.errorString();
            return false;
        }
    }
    QPdfWriter writer(path);
    writer.setTitle(QStringLiteral("Kestrel"));
    writer.setCreator(QStringLiteral("Kestrel"));
    writer.setResolution(1440);
    // The report is 80 x 60 cells (7.44 x 10 inches); a printer's usual
    // quarter-inch margin leaves room for it on Letter paper.
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                     QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = QStringLiteral("Cannot write the PDF file");
        return false;
    }
    const QFont font = CPagePainter::ReportFont();
    bool first = true;
    for (const ReportPage& page : pages) {
        if (!first)
            writer.newPage();
        first = false;
        CPagePainter::SetTwipsMapping(painter, writer);
        painter.setFont(font);
        CPagePainter::DrawPage(painter, page);
    }
    painter.end();
    return true;
}

} // namespace kestrel
