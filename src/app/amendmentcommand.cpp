#include "app/amendmentcommand.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>

#include "app/amendmentdlg.h"
#include "app/asker.h"
#include "app/qtext.h"
#include "app/reportprinting.h"
#include "app/subdoc.h"
#include "edit/amendment.h"
#include "file/opencontract.h"
#include "model/contract/contract.h"
#include "print/reportprintjob.h"
#include "report/reportpage.h"

namespace kestrel {

namespace {

const QString kCaption = QStringLiteral("Apply Amendment");

// A printed page holds this many lines; a subcontractor with more goes on
// over further pages, each with its heading.
constexpr size_t kLinesPerPage = 58;

std::vector<ReportPage> ReportPages(const AmendmentPreview& preview)
{
    std::vector<ReportPage> pages;
    for (const std::vector<std::string>& lines : AmendmentReportPages(preview)) {
        // The heading: the contract's two lines, an empty one, the title.
        const size_t head = std::min<size_t>(4, lines.size());
        size_t at = head;
        do {
            ReportPage page;
            page.number = static_cast<int>(pages.size()) + 1;
            page.lines.assign(lines.begin(), lines.begin() + static_cast<ptrdiff_t>(head));
            if (at > head)
                page.lines.back() += " (continued)";
            page.lines.emplace_back();
            const size_t end = std::min(lines.size(), at + kLinesPerPage - head - 1);
            page.lines.insert(page.lines.end(), lines.begin() + static_cast<ptrdiff_t>(at),
                              lines.begin() + static_cast<ptrdiff_t>(end));
            at = end;
            pages.push_back(std::move(page));
        } while (at < lines.size());
    }
    return pages;
}

} // namespace

int PrintAmendmentReport(QWidget* parent, CSubDoc& doc, const AmendmentPreview& preview)
{
    const CReportPrintJob job(ReportPages(preview));
    if (job.PageCount() == 0)
        return 0;
    return PrintJobOnPrinter(parent, doc.Asker(), job, true);
}

CAmendmentCommand::CAmendmentCommand(CSubDoc& doc, QWidget* window)
    : QObject(window), m_doc(doc), m_window(window),
      m_action(new QAction(QStringLiteral("Apply A&mendment..."), this))
{
    m_action->setObjectName(QStringLiteral("fileApplyAmendment"));
    m_action->setStatusTip(
        QStringLiteral("Carry the subcontracting over to the agency's amended contract file"));
    m_action->setToolTip(kCaption);
    connect(m_action, &QAction::triggered, this, [this] { OnApplyAmendment(); });
    connect(&doc, &CSubDoc::documentReplaced, this, &CAmendmentCommand::UpdateCommandState);
    connect(&doc, &CSubDoc::readOnlyChanged, this, &CAmendmentCommand::UpdateCommandState);
    UpdateCommandState();
}

void CAmendmentCommand::UpdateCommandState()
{
    m_action->setEnabled(m_doc.HasContract());
}

bool CAmendmentCommand::OnApplyAmendment()
{
    // A contract open only to look at takes no amendment: told before the
    // file is even chosen.
    if (!m_doc.HasContract() || m_doc.RefuseWhileReadOnly() || !m_doc.CommitEdits())
        return false;
    CAsker& asker = m_doc.Asker();
    const QString path = asker.AmendmentFileName(m_window, QFileInfo(m_doc.PathName()).absolutePath());
    if (path.isEmpty())
        return false;
    // The amended file's own lists are read beside it; the carry-over
    // reads the working contract's beside the working file.
    CProgramPaths paths = m_doc.Paths();
    Result<OpenedFile> opened = OpenContractFile(QFile::encodeName(path).toStdString(), paths);
    if (!opened) {
        asker.Tell(m_window, QStringLiteral("Error Opening Contract File"), ToQString(opened.errorText()));
        return false;
    }
    Result<PreparedAmendment> prepared =
        PrepareAmendment(*m_doc.Contract(), std::move(opened->contract), m_doc.Paths());
    if (!prepared) {
        asker.Tell(m_window, kCaption, ToQString(prepared.errorText()));
        return false;
    }
    const AmendmentPreview& preview = prepared->preview;
    if (preview.CountNotHigher() &&
        asker.Ask(m_window, kCaption,
                  ToQString(AmendmentCountWarning(preview)) + QStringLiteral("\n\nGo on?"),
                  QMessageBox::Yes | QMessageBox::No, QMessageBox::Warning) != QMessageBox::Yes)
        return false;
    CAmendmentDialog dialog(preview, QFileInfo(path).fileName(), m_window);
    dialog.SetReportPrinter([this, &dialog, &preview] { PrintAmendmentReport(&dialog, m_doc, preview); });
    if (asker.RunDialog(dialog) != QDialog::Accepted)
        return false;
    // The contract may have gone or changed while the dialog was open.
    if (!m_doc.HasContract())
        return false;
    return m_doc.ApplyAmendment(prepared.value(), path);
}

} // namespace kestrel
