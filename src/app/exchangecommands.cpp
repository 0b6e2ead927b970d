#include "app/exchangecommands.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>

#include "app/asker.h"
#include "app/qtext.h"
#include "app/quoteimportdlg.h"
#include "app/quoteresultdlg.h"
#include "app/subdoc.h"
#include "app/subsettings.h"
#include "app/subtreeview.h"
#include "exchange/csvwriter.h"
#include "exchange/exporttable.h"
#include "exchange/quotefile.h"
#include "exchange/quoteimport.h"
#include "exchange/xlsxexport.h"
#include "model/contract/contract.h"
#include "model/subcontract/subcontract.h"

namespace kestrel {

namespace {

constexpr const char* kCaption = QT_TRANSLATE_NOOP("kestrel::CExchangeCommands", "Export");

std::string LocalPath(const QString& path)
{
    return path.toStdString();
}

QString RecordText(const CSubcontract* record, int field)
{
    const Text* text = record ? record->GetCellText(field) : nullptr;
    return text ? ToQString(*text).trimmed() : QString();
}

// A file name made of what the user sees, without the characters a file
// system refuses.
QString SafeFileName(QString name)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar& c : name)
        if (forbidden.contains(c) || c.unicode() < 32)
            c = QLatin1Char('_');
    return name.simplified();
}

struct ExportEntry {
    CExchangeCommands::Export what;
    const char* name;
    const char* text;
    const char* prompt;
};

const ExportEntry kExports[] = {
    {CExchangeCommands::Export::Items, "fileExportItems",
     QT_TRANSLATE_NOOP("kestrel::CExchangeCommands", "&Contract Items..."),
     QT_TRANSLATE_NOOP("kestrel::CExchangeCommands",
                       "Export the contract's item schedule to a spreadsheet\nExport Contract Items")},
    {CExchangeCommands::Export::SubcontractorItems, "fileExportSubItems",
     QT_TRANSLATE_NOOP("kestrel::CExchangeCommands", "&Subcontractor's Items..."),
     QT_TRANSLATE_NOOP(
         "kestrel::CExchangeCommands",
         "Export the items of the selected subcontractor to a spreadsheet\nExport Subcontractor's Items")},
    {CExchangeCommands::Export::AllSubItems, "fileExportAllSubItems",
     QT_TRANSLATE_NOOP("kestrel::CExchangeCommands", "&All Subcontractors' Items..."),
     QT_TRANSLATE_NOOP(
         "kestrel::CExchangeCommands",
         "Export the items of every subcontractor to a spreadsheet\nExport All Subcontractors' Items")},
    {CExchangeCommands::Export::Subcontractors, "fileExportSubcontractors",
     QT_TRANSLATE_NOOP("kestrel::CExchangeCommands", "Subcontractor &List..."),
     QT_TRANSLATE_NOOP("kestrel::CExchangeCommands",
                       "Export the list of subcontractors to a spreadsheet\nExport Subcontractor List")},
};

QAction* MakeAction(QObject* owner, const char* name, const char* text, const char* prompt)
{
    auto* action = new QAction(CExchangeCommands::tr(text), owner);
    action->setObjectName(QString::fromLatin1(name));
    const QStringList parts = CExchangeCommands::tr(prompt).split(QLatin1Char('\n'));
    action->setStatusTip(parts.value(0));
    action->setToolTip(parts.value(1));
    return action;
}

} // namespace

CExchangeCommands::CExchangeCommands(CSubDoc& doc, CSubTreeView& tree, QWidget* window)
    : QObject(window), m_doc(doc), m_tree(tree), m_window(window), m_menu(new QMenu(tr("Expor&t"), window))
{
    m_menu->setObjectName(QStringLiteral("exportMenu"));
    for (const ExportEntry& entry : kExports) {
        QAction* action = MakeAction(this, entry.name, entry.text, entry.prompt);
        const Export what = entry.what;
        connect(action, &QAction::triggered, this, [this, what] { OnExport(what); });
        // The contract's table, the subcontractors' items, their list.
        if (what == Export::SubcontractorItems || what == Export::Subcontractors)
            m_menu->addSeparator();
        m_menu->addAction(action);
        m_exports.append(action);
    }
    m_import = MakeAction(
        this, "fileImportQuote", QT_TRANSLATE_NOOP("kestrel::CExchangeCommands", "&Import Quote..."),
        QT_TRANSLATE_NOOP("kestrel::CExchangeCommands",
                          "Enter a subcontractor's quote from a CSV or XLSX file\nImport Quote"));
    connect(m_import, &QAction::triggered, this, &CExchangeCommands::OnImportQuote);
    connect(&tree, &CSubTreeView::nodeSelected, this, &CExchangeCommands::UpdateCommandState);
    connect(&doc, &CSubDoc::documentReplaced, this, &CExchangeCommands::UpdateCommandState);
    connect(&doc, &CSubDoc::contractChanged, this, &CExchangeCommands::UpdateCommandState);
    connect(&doc, &CSubDoc::readOnlyChanged, this, &CExchangeCommands::UpdateCommandState);
    UpdateCommandState();
}

QList<QAction*> CExchangeCommands::Actions() const
{
    return m_exports + QList<QAction*>{m_import};
}

QAction* CExchangeCommands::ExportAction(Export what) const
{
    return m_exports.value(static_cast<int>(what));
}

void CExchangeCommands::UpdateCommandState()
{
    const bool open = m_doc.HasContract();
    const bool selected = open && m_doc.IsRecordAlive(m_tree.SelectedRecord());
    const bool hasTable = open && m_doc.Contract()->m_pSubTable;
    m_menu->setEnabled(open);
    ExportAction(Export::Items)->setEnabled(open);
    ExportAction(Export::SubcontractorItems)->setEnabled(selected);
    ExportAction(Export::AllSubItems)->setEnabled(hasTable);
    ExportAction(Export::Subcontractors)->setEnabled(hasTable);
    // A contract open only to look at takes no quote.
    m_import->setEnabled(selected && !m_doc.IsReadOnly());
}

QString CExchangeCommands::Folder() const
{
    const QString& kept = m_doc.Settings().exchangeFolder;
    if (!kept.isEmpty() && QFileInfo(kept).isDir())
        return kept;
    return m_doc.PathName().isEmpty() ? QDir::homePath() : QFileInfo(m_doc.PathName()).absolutePath();
}

void CExchangeCommands::RememberFolder(const QString& path)
{
    m_doc.Settings().exchangeFolder = QFileInfo(path).absolutePath();
}

void CExchangeCommands::Tell(const QString& text) const
{
    m_doc.Asker().Tell(m_window, tr(kCaption), text);
}

QString CExchangeCommands::SuggestedName(Export what) const
{
    const QString base = QFileInfo(m_doc.PathName()).completeBaseName();
    QString name;
    switch (what) {
    case Export::Items: name = tr("Contract Items"); break;
    case Export::SubcontractorItems: {
        const CSubcontract* record = m_tree.SelectedRecord();
        name =
            RecordText(record, SUBF_NUMBER) + QLatin1Char(' ') + RecordText(record, SUBF_NAME) + tr(" Items");
        break;
    }
    case Export::AllSubItems: name = tr("Subcontractor Items"); break;
    case Export::Subcontractors: name = tr("Subcontractors"); break;
    }
    const QString file = SafeFileName(base.isEmpty() ? name : base + QLatin1Char(' ') + name);
    return QDir(Folder()).filePath(file + QLatin1Char('.') + m_suffix);
}

bool CExchangeCommands::OnExport(Export what)
{
    if (!m_doc.HasContract() || !m_doc.CommitEdits())
        return false;
    const QString path = m_doc.Asker().ExportFileName(m_window, SuggestedName(what));
    if (path.isEmpty())
        return false;
    RememberFolder(path);
    m_suffix = path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) ? QStringLiteral("csv")
                                                                          : QStringLiteral("xlsx");
    return WriteExport(what, path);
}

bool CExchangeCommands::WriteExport(Export what, const QString& path)
{
    const CContract* contract = m_doc.Contract();
    if (!contract)
        return false;
    // Writing the spreadsheet over the contract would destroy it.
    const QFileInfo target(path);
    if (!m_doc.PathName().isEmpty() && target.exists() &&
        target.canonicalFilePath() == QFileInfo(m_doc.PathName()).canonicalFilePath()) {
        Tell(tr("The spreadsheet cannot be written over the open contract file\n%1").arg(path));
        return false;
    }
    const CSubcontract* record = m_tree.SelectedRecord();
    ExportTable table;
    switch (what) {
    case Export::Items: table = ItemScheduleTable(*contract); break;
    case Export::SubcontractorItems:
        if (!m_doc.IsRecordAlive(record))
            return false;
        table = SubItemsTable(*contract, record);
        break;
    case Export::AllSubItems: table = SubItemsTable(*contract); break;
    case Export::Subcontractors: table = SubcontractorsTable(*contract); break;
    }
    const bool csv = path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    const Status written =
        csv ? WriteCsvFile(table, LocalPath(path)) : WriteXlsxFile({table}, LocalPath(path));
    if (!written) {
        Tell(tr("The spreadsheet was not written.\n%1").arg(ToQString(written.errorText())));
        return false;
    }
    if (auto* frame = qobject_cast<QMainWindow*>(m_window))
        frame->statusBar()->showMessage(
            tr("%1 rows exported to %2").arg(table.rows.size()).arg(target.fileName()), 5000);
    return true;
}

void CExchangeCommands::OnImportQuote()
{
    if (!m_doc.CommitEdits())
        return;
    CSubcontract* record = m_tree.SelectedRecord();
    if (!m_doc.Edits() || !m_doc.IsRecordAlive(record))
        return;
    const QString path = m_doc.Asker().QuoteFileName(m_window, Folder());
    if (path.isEmpty())
        return;
    RememberFolder(path);
    const QString caption = tr("Import Quote");
    const Result<QuoteSheet> sheet = ReadQuoteFile(LocalPath(path));
    if (!sheet) {
        m_doc.Asker().Tell(m_window, caption, ToQString(sheet.errorText()));
        return;
    }
    const Result<QuoteColumns> guess = GuessQuoteColumns(sheet.value());
    const QString who =
        RecordText(record, SUBF_NUMBER) + QStringLiteral("  ") + RecordText(record, SUBF_NAME);
    CQuoteImportDialog preview(sheet.value(), guess ? guess.value() : QuoteColumns{},
                               guess ? QString() : ToQString(guess.errorText()),
                               QDir::toNativeSeparators(path), who, m_window);
    if (m_doc.Asker().RunDialog(preview) != QDialog::Accepted)
        return;
    // The record may have gone while the dialog was open.
    if (!m_doc.Edits() || !m_doc.IsRecordAlive(record))
        return;
    Result<QuoteImport> import = ImportQuote(*m_doc.Edits(), *record, sheet.value(), preview.Columns());
    if (!import) {
        m_doc.Asker().Tell(m_window, caption, ToQString(import.errorText()));
        return;
    }
    m_doc.ApplyEditGroup(caption, std::move(import.value().edits));
    CQuoteResultDialog result(import.value(), who, m_window);
    m_doc.Asker().RunDialog(result);
}

} // namespace kestrel
