#pragma once
// Writes laid-out report pages to a PDF file (Letter, portrait).

#include <QString>
#include <vector>

#include "report/reportpage.h"

namespace kestrel {

class CReportPdf {
public:
    // False with a message in error when the file cannot be written.
    static bool Write(const QString& path, const std::vector<ReportPage>& pages, QString* error = nullptr);
};

} // namespace kestrel
