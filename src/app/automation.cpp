#include "app/automation.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDockWidget>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidgetItemIterator>
#include <QUndoStack>

#include <climits>
#include <cstdio>

#include "app/aboutdlg.h"
#include "app/asker.h"
#include "app/autosaver.h"
#include "app/checkpanel.h"
#include "app/fileguard.h"
#include "app/findbar.h"
#include "app/kvlload.h"
#include "app/mainframe.h"
#include "app/optionssheet.h"
#include "app/printpreview.h"
#include "app/quoteimportdlg.h"
#include "app/reportprinting.h"
#include "app/showcrd.h"
#include "app/splash.h"
#include "app/subapp.h"
#include "app/subdoc.h"
#include "app/suberrors.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "calc/numbers.h"
#include "edit/contractedits.h"
#include "exchange/quotefile.h"
#include "file/contractfile.h"
#include "file/contractsave.h"
#include "grid/gridmodel.h"
#include "grid/gridview.h"
#include "model/contract/contract.h"
#include "model/subcontract/check.h"
#include "model/subcontract/subcontract.h"
#include "model/subcontract/winmeta.h"
#include "print/backgroundlayout.h"
#include "views/dataview.h"
#include "views/dv_itemschedulegrid.h"
#include "views/dv_sub.h"
#include "views/dv_subitemgrid.h"
#include "views/formfield.h"
#include "views/greycombobox.h"
#include "views/greyedit.h"
#include "views/listlookup.h"
#include "views/quickfilterbar.h"
#include "views/subitemsplitter.h"

namespace kestrel {

namespace {

class FirstPaintQuitter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

void Save(QWidget* widget, const QString& dir, const QString& name)
{
    QApplication::processEvents();
    const QString path = QDir(dir).filePath(name);
    if (!widget->grab().save(path))
        std::fprintf(stderr, "Cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

void SelectKind(CSubTreeView* tree, TreeNodeKind kind, int nth = 0)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (CSubTreeView::KindOf(*it) == kind && nth-- == 0) {
            tree->setCurrentItem(*it);
            return;
        }
}

// Puts the subcontractor grid's cursor on the first line the subcontractor
// holds, so that the entry below shows one.
void ShowFirstSubItem(CMainFrame* frame)
{
    CSubItemSplitter* split = frame->View()->ItemSplitter();
    auto* grid = split ? qobject_cast<CDV_SubItemGrid*>(split->Upper()) : nullptr;
    const CSubcontract* record = grid ? grid->Source().Record() : nullptr;
    if (!record)
        return;
    for (int row = 0; row < grid->Source().RowCount(); ++row) {
        const std::string line = grid->Source().LineOfRow(row);
        if (!line.empty() && record->FindSubItem(line)) {
            grid->SelectLine(line);
            return;
        }
    }
}

// The subcontractor form (an incomplete record, the same form scrolled to
// its end, the record received from Ironbark) and the miscellaneous-data
// form.
void TakeFormScreenshots(CMainFrame* frame, const QString& dir)
{
    CSubTreeView* tree = frame->Tree();
    SelectKind(tree, NODE_SUBCONTRACTOR, 5);
    Save(frame, dir, QStringLiteral("subcontractor-form.png"));
    if (auto* form = qobject_cast<QAbstractScrollArea*>(frame->View()->CurrentView())) {
        form->verticalScrollBar()->setValue(form->verticalScrollBar()->maximum());
        Save(frame, dir, QStringLiteral("subcontractor-form-end.png"));
    }
    SelectKind(tree, NODE_SUBCONTRACTOR, 6);
    Save(frame, dir, QStringLiteral("subcontractor-form-ironbark.png"));
    SelectKind(tree, NODE_MISC_DATA);
    Save(frame, dir, QStringLiteral("misc-form.png"));
}

// The vendor look-up open on a part typed into Keystone's vendor box: two
// vendors of like names side by side. The box is given its text back, so
// that nothing is stored when the focus leaves it.
void TakeVendorLookupShot(CMainFrame* frame, const QString& dir)
{
    SelectKind(frame->Tree(), NODE_SUBCONTRACTOR, 1);
    auto* form = qobject_cast<CDV_Sub*>(frame->View()->CurrentView());
    for (int field = 0; form && field < form->FieldCount(); ++field) {
        CListLookup* lookup = form->VendorLookup(field);
        QLineEdit* edit = lookup ? form->FormField(field)->ComboBox()->Edit() : nullptr;
        if (!edit)
            continue;
        const QString stored = edit->text();
        const QString typed = QStringLiteral("madison");
        edit->setFocus();
        edit->setText(typed);
        lookup->setCompletionPrefix(typed);
        lookup->complete();
        QApplication::processEvents();
        // The list is a window of its own: the screen is taken where the
        // main window stands.
        const QRect area = frame->frameGeometry();
        const QPixmap shot = frame->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        const QString path = QDir(dir).filePath(QStringLiteral("vendor-lookup.png"));
        if (shot.save(path))
            std::printf("%s\n", qPrintable(path));
        lookup->popup()->hide();
        edit->setText(stored);
        return;
    }
}

// Find, the quick filters, the check panel and the quote import's preview.
void TakeFinderShots(CMainFrame* frame, const QString& dir)
{
    CSubTreeView* tree = frame->Tree();
    CFindBar* find = frame->FindBar();
    find->Open();
    find->Edit()->setText(QStringLiteral("bridge"));
    find->SearchNow();
    find->Next();
    Save(frame, dir, QStringLiteral("find-bar.png"));
    // On to the first hit in a subcontractor's record.
    for (size_t i = 0; i < find->Hits().hits.size(); ++i) {
        find->Next();
        if (find->Hits().hits[static_cast<size_t>(find->Current())].place != HitPlace::Item)
            break;
    }
    Save(frame, dir, QStringLiteral("find-bar-field.png"));
    find->Close();

    SelectKind(tree, NODE_CONTRACT_ITEMS);
    if (auto* grid = qobject_cast<CDV_ItemScheduleGrid*>(frame->View()->CurrentView())) {
        grid->FilterBar()->Button(ItemFilter::Unassigned)->click();
        Save(frame, dir, QStringLiteral("filtered-grid.png"));
        grid->FilterBar()->Button(std::nullopt)->click();
    }
    SelectKind(tree, NODE_SUB_ITEMS, 1);
    CSubItemSplitter* split = frame->View()->ItemSplitter();
    if (auto* grid = split ? qobject_cast<CDV_SubItemGrid*>(split->Upper()) : nullptr) {
        grid->FilterBar()->Button(ItemFilter::OverCommitted)->click();
        Save(frame, dir, QStringLiteral("filtered-subitems.png"));
        grid->FilterBar()->Button(std::nullopt)->click();
    }

    frame->CheckPanel()->show();
    SelectKind(tree, NODE_SUBCONTRACTOR, 5);
    if (auto* form = qobject_cast<QAbstractScrollArea*>(frame->View()->CurrentView()))
        form->verticalScrollBar()->setValue(0);
    frame->CheckPanel()->List()->setCurrentIndex(frame->CheckPanel()->List()->model()->index(2, 0));
    Save(frame, dir, QStringLiteral("check-panel.png"));
    frame->CheckPanel()->hide();

    // A quote as a subcontractor sends it: a title, a header row, lines.
    QTemporaryDir scratch;
    const QString quote = scratch.filePath(QStringLiteral("Keystone quote.csv"));
    QFile file(quote);
    if (file.open(QIODevice::WriteOnly)) {
        file.write("Keystone Bridge & Structures LLC - Quotation 24-117,,,,\r\n"
                   "Line,Item,Description,Qty,Unit Price\r\n"
                   "1450,503-03000,CLASS AA CONCRETE,185,1015.00\r\n"
                   "1460,503-04000,REINFORCING STEEL,26400,1.70\r\n"
                   "1490,503-06000,BEARING ASSEMBLY,16,6600.00\r\n"
                   "1510,503-07000,JOINT SEAL,860,126.50\r\n"
                   "1580,504-01000,DECK FORMING,2400,60.25\r\n"
                   "1590,504-01100,APPROACH SLAB,650,103.00\r\n"
                   "1600,504-02000,CLASS A CONCRETE,412.5,1290.00\r\n"
                   "1610,504-03000,EPOXY REBAR,78500,1.66\r\n"
                   "1620,504-04000,BRIDGE RAILING,186,608.00\r\n");
        file.close();
    }
    const Result<QuoteSheet> sheet = ReadQuoteFile(quote.toStdString());
    if (sheet) {
        const Result<QuoteColumns> guess = GuessQuoteColumns(sheet.value());
        CQuoteImportDialog preview(sheet.value(), guess ? guess.value() : QuoteColumns{}, QString(), quote,
                                   QStringLiteral("00000002  Keystone Bridge & Structures LLC"), frame);
        preview.show();
        Save(&preview, dir, QStringLiteral("quote-import.png"));
    }
}

// The print windows and the small windows of the program.
void TakeWindowShots(CSubApp& app, const QString& dir)
{
    CMainFrame* frame = app.MainFrame();
    CSubDoc* doc = app.Document();
    if (doc->HasContract()) {
        CBackgroundLayout report(*doc->Contract(), doc->GetEvaluator());
        report.WaitForPages(INT_MAX, 30000);
        if (report.Done()) {
            CPrintPreview preview(report, ProgramPrinter().pageLayout(), frame);
            preview.resize(900, 1000);
            preview.show();
            Save(&preview, dir, QStringLiteral("print-preview.png"));
            preview.FitWidth();
            preview.GoToPage(2);
            Save(&preview, dir, QStringLiteral("print-preview-width.png"));
        }
    }
    COptionsSheet options(*doc, frame->screen() ? frame->screen()->depth() : 32, frame);
    options.show();
    Save(&options, dir, QStringLiteral("options.png"));
    options.hide();
    CAboutDlg about(frame);
    about.show();
    Save(&about, dir, QStringLiteral("about.png"));
    about.hide();
    CShowCrd credits(frame);
    credits.show();
    for (int i = 0; i < 70; ++i)
        credits.Tick();
    Save(&credits, dir, QStringLiteral("credits.png"));
    credits.hide();
    auto* splash = new CSplash;
    splash->show();
    Save(splash, dir, QStringLiteral("splash.png"));
    splash->close();
    // The proposal dialog on the bid library beside the contract.
    const QString library = QFileInfo(doc->PathName()).dir().filePath(QStringLiteral("DEMO.kvl"));
    if (QFileInfo::exists(library)) {
        CDialogAsker asker;
        CKVLLoad proposals(asker, frame);
        proposals.m_strLibrary = library;
        proposals.m_strPatterns = QStringLiteral("*.kvs");
        proposals.m_strTitle = QStringLiteral("Select Proposal");
        proposals.OnInitDialog();
        proposals.show();
        Save(&proposals, dir, QStringLiteral("proposal-dialog.png"));
    }
}

// Debug mode's views: a data template in its editor and a subcontractor's
// cell dump.
void TakeDebugShots(CSubApp& app, const QString& dir)
{
    QDir().mkpath(dir);
    CMainFrame* frame = app.MainFrame();
    CSubTreeView* tree = frame->Tree();
    tree->expandAll();
    tree->setFocus();
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (CSubTreeView::KindOf(*it) == NODE_DATA_TEMPLATE &&
            tree->NodeText(*it) == QStringLiteral("Report SubItem"))
            tree->setCurrentItem(*it);
    Save(frame, dir, QStringLiteral("template-view.png"));
    SelectKind(tree, NODE_DEBUG_VIEW, 1);
    Save(frame, dir, QStringLiteral("cell-dump.png"));
}

// A few changes as a user makes them, for the history list: two
// subcontractors, one of them named, and the quantities of two items.
void MakeSomeChanges(CSubApp& app)
{
    CMainFrame* frame = app.MainFrame();
    CSubDoc* doc = app.Document();
    CContract* contract = doc->Contract();
    CSubTreeView* tree = frame->Tree();
    tree->setCurrentItem(tree->SubcontractorsNode());
    frame->Action(QStringLiteral("editAddSub"))->trigger();
    CWinMeta& table = *contract->m_pSubTable;
    CSubcontract* added = table.m_Records[table.m_Records.GetSize() - 1];
    (void)doc->ApplyEdit(doc->Edits()->SetCell(table, *added, doc->SubNameField(), "Ridgeline Paving LLC"));
    int quantities = 0;
    for (int i = 0; i < contract->m_Items.GetSize() && quantities < 2; ++i) {
        const CItem& item = *contract->m_Items[i];
        if (item.IsHeading() || IsBlankValue(item.m_fQuantity))
            continue;
        // A little more of the item, as a change of plans would give; an
        // item whose quantity is not to be changed (a lump sum, a fixed
        // price) is passed over without a message.
        const std::string line(item.m_strLineNumber.View());
        const std::string more =
            std::to_string(static_cast<long long>(item.m_fQuantity) + 10 * (quantities + 1));
        EditResult change = doc->Edits()->SetItemQuantity(line, more);
        if (change && doc->ApplyEdit(std::move(change)))
            ++quantities;
    }
    // A field of Keystone's, and the lower tier Hollins deleted.
    if (CSubcontract* keystone = table.FindRecordByNumber("00000002"))
        (void)doc->ApplyEdit(doc->Edits()->SetCell(table, *keystone, 4, "03/09/26"));
    if (CSubcontract* hollins = table.FindRecordByNumber("00000006"))
        (void)doc->ApplyEdit(doc->Edits()->DeleteSubcontractor(*hollins));
    tree->setCurrentItem(tree->SubcontractorsNode());
    frame->Action(QStringLiteral("editAddSub"))->trigger();
    // The last one taken back: the list shows where the contract stands.
    doc->UndoStack().undo();
}

// The message of a save that fails as on a full disk (the writer's failure
// the tests make; nothing is written over the contract).
void TakeSaveFailureShot(CSubDoc& doc, const QString& dir)
{
    doc.SetContractSaver([](CContract& contract, const std::string& path) {
        SaveOptions options;
        options.writer = [](CContract& c, int fd) { return WriteContractDescriptor(c, fd); };
        options.errorText = [](int code) { return ContractFileErrorText(code, false); };
        options.failStep = [](SaveStep step) { return step == SaveStep::Write; };
        return SaveContractSafely(contract, path, options);
    });
    QTimer::singleShot(300, qApp, [dir] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            Save(box, dir, QStringLiteral("save-failure.png"));
            box->done(QMessageBox::Ok);
        }
    });
    (void)doc.DoFileSave();
    doc.SetContractSaver(
        [](CContract& contract, const std::string& path) { return SaveContract(contract, path); });
}

// The history list, the offer to recover changes after a crash, the
// message about a contract another program has open and that of a failed
// save.
void TakeSafetyShots(CSubApp& app, const QString& dir)
{
    CMainFrame* frame = app.MainFrame();
    CSubDoc* doc = app.Document();
    if (!doc->Edits())
        return;
    MakeSomeChanges(app);
    frame->HistoryDock()->show();
    Save(frame, dir, QStringLiteral("history.png"));
    frame->HistoryDock()->hide();
    // Back to the contract as opened: the program ends without a question.
    doc->UndoStack().setIndex(0);

    const int64_t now = QDateTime::currentSecsSinceEpoch();
    RecoveryCopy copy;
    copy.contractPath = QFileInfo(doc->PathName()).absoluteFilePath().toStdString();
    copy.savedAt = now - 7 * 60;
    const auto recovery =
        MakeChoiceBox(frame, QStringLiteral("Recover Unsaved Changes"), RecoveryQuestion(copy),
                      {QStringLiteral("&Recover"), QStringLiteral("&Discard"), QStringLiteral("&Later")},
                      QMessageBox::Question);
    recovery->show();
    Save(recovery.get(), dir, QStringLiteral("recovery-offer.png"));
    recovery->hide();

    OwnerRecord holder;
    holder.user = "mrivera";
    holder.host = "estimating-2";
    holder.time = now - 2 * 3600;
    const auto lock = MakeChoiceBox(
        frame, QStringLiteral("Contract In Use"),
        LockQuestion(QFileInfo(doc->PathName()).fileName(), holder, true),
        {QStringLiteral("Open &Read-Only"), QStringLiteral("Open &Anyway"), QStringLiteral("Cancel")},
        QMessageBox::Warning);
    lock->show();
    Save(lock.get(), dir, QStringLiteral("lock-message.png"));
    lock->hide();
    TakeSaveFailureShot(*doc, dir);
}

void TakeScreenshots(CSubApp& app, const QString& dir)
{
    QDir().mkpath(dir);
    CMainFrame* frame = app.MainFrame();
    CSubTreeView* tree = frame->Tree();
    tree->expandAll();
    tree->setFocus();
    SelectKind(tree, NODE_SUBCONTRACTOR, 1);
    Save(frame, dir, QStringLiteral("main-window.png"));
    SelectKind(tree, NODE_CONTRACT);
    Save(frame, dir, QStringLiteral("contract-view.png"));
    SelectKind(tree, NODE_SUBCONTRACTORS);
    Save(frame, dir, QStringLiteral("subcontractor-list.png"));
    SelectKind(tree, NODE_SUB_ITEMS);
    ShowFirstSubItem(frame);
    Save(frame, dir, QStringLiteral("subcontractor-items.png"));
    SelectKind(tree, NODE_CONTRACT_ITEMS);
    Save(frame, dir, QStringLiteral("contract-items.png"));
    // Rows chosen for copying, as a spreadsheet shows them.
    if (auto* schedule = qobject_cast<CDV_ItemScheduleGrid*>(frame->View()->CurrentView())) {
        CGridModel& model = *schedule->Grid()->Model();
        schedule->Grid()->selectionModel()->select(
            QItemSelection(model.index(6, 0), model.index(11, model.columnCount() - 1)),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        Save(frame, dir, QStringLiteral("contract-items-selected.png"));
        schedule->Grid()->clearSelection();
    }
    TakeFormScreenshots(frame, dir);
    TakeVendorLookupShot(frame, dir);
    CSubDoc* doc = app.Document();
    if (doc->Edits()) {
        doc->Edits()->RunCheck();
        CSubErrors errors(*doc->Contract(), doc->Edits()->LastCheck(), frame);
        errors.show();
        Save(&errors, dir, QStringLiteral("error-list.png"));
        errors.hide();
    }
    TakeFinderShots(frame, dir);
    TakeWindowShots(app, dir);
    TakeSafetyShots(app, dir);
}

} // namespace

void StartAutomation(CSubApp& app)
{
    const QString dir = qEnvironmentVariable("KESTREL_SCREENSHOTS");
    if (!dir.isEmpty()) {
        QTimer::singleShot(300, qApp, [&app, dir] {
            if (app.DebugMode())
                TakeDebugShots(app, dir);
            else
                TakeScreenshots(app, dir);
            QCoreApplication::quit();
        });
        return;
    }
    if (qEnvironmentVariableIsSet("KESTREL_QUIT_AFTER_PAINT") && app.MainFrame())
        app.MainFrame()->installEventFilter(new FirstPaintQuitter(app.MainFrame()));
}

} // namespace kestrel
