#include "print/reportpdf.h"

#include <QFile>
#include <QIODevice>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <string_view>

#include "file/platform.h"
#include "file/safereplace.h"
#include "print/pagepainter.h"
#include "print/reportpaper.h"

namespace kestrel {

namespace {

// The PDF writer goes on after a failed write and ends without a word, so
// the device it writes to keeps the first failure itself.
class CheckedFileDevice : public QIODevice {
public:
    explicit CheckedFileDevice(int fd) : m_fd(fd) {}

    bool isSequential() const override { return true; }
    // 0 while every write succeeded, else the system's reason.
    int Failure() const { return m_failure; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (m_failure != 0)
            return -1;
        if (const Status written = WriteAll(m_fd, std::string_view(data, static_cast<std::size_t>(size)));
            !written) {
            m_failure = written.errorCode();
            return -1;
        }
        return size;
    }

private:
    int m_fd;
    int m_failure = 0;
};

// False when the writer could not be started or finished.
bool DrawPages(QPdfWriter& writer, const std::vector<const ReportPage*>& sheets, const QPageSize& paper)
{
    writer.setTitle(QStringLiteral("Kestrel"));
    writer.setCreator(QStringLiteral("Kestrel"));
    writer.setResolution(1440);
    // The report is 80 x 60 cells (7.44 x 10 inches); a printer's usual
    // quarter-inch margin leaves room for it on Letter and on A4 paper.
    writer.setPageLayout(QPageLayout(paper.isValid() ? paper : LocalePageSize(QLocale()),
                                     QPageLayout::Portrait, QMarginsF(0.25, 0.25, 0.25, 0.25),
                                     QPageLayout::Inch));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    const bool drawn = CPagePainter::DrawSheets(painter, writer, sheets);
    return painter.end() && drawn;
}

} // namespace

std::vector<const ReportPage*> CReportPdf::Sheets(const std::vector<ReportPage>& pages)
{
    std::vector<const ReportPage*> sheets;
    sheets.reserve(pages.size());
    for (const ReportPage& page : pages)
        sheets.push_back(&page);
    return sheets;
}

Status CReportPdf::Write(const QString& path, const std::vector<ReportPage>& pages, const QPageSize& paper)
{
    return WriteSheets(path, Sheets(pages), paper);
}

Status CReportPdf::WriteSheets(const QString& path, const std::vector<const ReportPage*>& pages,
                               const QPageSize& paper)
{
    // Paths are UTF-8 text in the core on every system.
    auto replacement = CFileReplacement::Begin(path.toStdString());
    if (!replacement)
        return replacement.error();
    if (Status written = WriteInto(replacement.value(), pages, paper); !written)
        return written;
    return replacement->Commit();
}

Status CReportPdf::WriteInto(CFileReplacement& file, const std::vector<const ReportPage*>& pages,
                             const QPageSize& paper)
{
    CheckedFileDevice device(file.Descriptor());
    if (!device.open(QIODevice::WriteOnly))
        return Status::Fail("Cannot write file");
    bool drawn = false;
    {
        QPdfWriter writer(&device);
        drawn = DrawPages(writer, pages, paper);
    }
    device.close();
    if (!drawn && device.Failure() == 0)
        return Status::Fail("Cannot write the PDF file");
    if (device.Failure() != 0)
        return Status::Fail(WithSystemReason("Cannot write file", device.Failure()), device.Failure());
    return Ok();
}

} // namespace kestrel
