#pragma once
// Writes laid-out report pages to a PDF file, upright, on the paper given
// (when none is, the paper of the system's locale).

#include <QPageSize>
#include <QString>
#include <vector>

#include "calc/result.h"
#include "report/reportpage.h"

namespace kestrel {

class CFileReplacement;

class CReportPdf {
public:
    // Writes the pages to a new file that replaces the one at path only when
    // it is complete; a failed write (a full disk) leaves the old file as it
    // was and gives the reason.
    [[nodiscard]] static Status Write(const QString& path, const std::vector<ReportPage>& pages,
                                      const QPageSize& paper = QPageSize());
    // The same for pages kept elsewhere (a print job's).
    [[nodiscard]] static Status WriteSheets(const QString& path, const std::vector<const ReportPage*>& pages,
                                            const QPageSize& paper = QPageSize());
    // Writes the pages into a replacement's temporary file and leaves the
    // commit to the caller, who may have other files to write first.
    [[nodiscard]] static Status WriteInto(CFileReplacement& file, const std::vector<const ReportPage*>& pages,
                                          const QPageSize& paper = QPageSize());
    // The sheets of laid-out pages, in order.
    [[nodiscard]] static std::vector<const ReportPage*> Sheets(const std::vector<ReportPage>& pages);
};

} // namespace kestrel
