// What is typed into an editor and not yet left is stored by every way the
// contract is saved, printed, checked, closed or left (each way against each
// kind of editor), and an entry that is refused stops every way of leaving
// it: the message is told once over its own form, which keeps the focus.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <functional>

#include "app/autosaver.h"
#include "app/checklistmodel.h"
#include "app/checkpanel.h"
#include "app/exchangecommands.h"
#include "app/findbar.h"
#include "app/guitestsupport.h"
#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "file/contractfile.h"
#include "grid/contitemdatasource.h"
#include "grid/gridmodel.h"
#include "grid/gridview.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "views/dv_itemschedulegrid.h"
#include "views/dv_subitem.h"
#include "views/dv_subitemgrid.h"
#include "views/dv_template.h"
#include "views/formtestsupport.h"
#include "views/quickfilterbar.h"
#include "views/subitemsplitter.h"

namespace kestrel {
namespace {

using Holds = std::function<bool(const CContract&)>;
using test::FormProgram;

// The demo open in the program with a change to undo and one to redo, the
// files to save as, open and export to named, a second contract, the check
// panel shown and the find bar open on hits.
struct Demo {
    Demo()
    {
        const QString other = test::CopyDemo(program.dir, "OTHER.CON");
        EXPECT_TRUE(Doc().OpenDocument(other)); // in the recent files
        EXPECT_TRUE(program.ShowDemo());
        path = Doc().PathName();
        CWinMeta& misc = *Doc().Contract()->m_pMiscTable;
        for (const char* text : {"Estimator", "Chief"})
            EXPECT_TRUE(Doc().ApplyEdit(Doc().Edits()->SetCell(misc, *misc.m_Records[0], 1, text)));
        Doc().UndoStack().undo();
        Doc().Settings().printSave = Doc().Settings().printCheck = false;
        Doc().SetReportPrinter([this](CSubDoc& doc, PrintTarget) { printed = holds(*doc.Contract()); });
        program.asker.openFile = other;
        program.asker.saveFile = test::Q(program.dir.file("AS.CON"));
        program.asker.exportFile = test::Q(program.dir.file("items.csv"));
        Trigger("viewCheckPanel");
        // The find bar has hits to go to.
        Trigger("editFind");
        Keys(QStringLiteral("Mason"));
        program.Frame().FindBar()->SearchNow();
    }
    CSubDoc& Doc() { return program.Doc(); }
    CSubTreeView& Tree() { return program.Tree(); }
    CSubView& View() { return *program.Frame().View(); }
    void Trigger(const char* action) { program.Frame().Action(QString::fromLatin1(action))->trigger(); }
    static void Keys(const QString& text)
    {
        // Each to the widget with the focus then (an editor the first opens).
        for (const QChar ch : text)
            QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
    void Click(QWidget* widget, QPoint at = QPoint(), Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(widget, Qt::LeftButton, modifiers, at.isNull() ? widget->rect().center() : at);
        FormProgram::Settle();
    }
    void Choose(QTreeWidgetItem* node)
    {
        Tree().setCurrentItem(node);
        FormProgram::Settle();
    }
    QTreeWidgetItem* SubNode(int row, TreeNodeKind kind = NODE_SUBCONTRACTOR)
    {
        QTreeWidgetItem* node = Tree().FindNode(Doc().Contract()->m_pSubTable->m_Records[row]);
        for (int i = 0; i < node->childCount(); ++i)
            if (CSubTreeView::KindOf(node->child(i)) == kind)
                return node->child(i);
        return node;
    }
    // A field of a subcontractor's form (row -1: the miscellaneous data).
    QWidget* FormField(int row, int field)
    {
        Choose(row < 0 ? Tree().FindKind(NODE_MISC_DATA) : SubNode(row));
        return qobject_cast<CDV_Template*>(View().CurrentView())->FieldControl(field);
    }
    // The entry of a subcontractor's line.
    CDV_SubItem* Line(int row, const char* line)
    {
        Choose(SubNode(row, NODE_SUB_ITEMS));
        qobject_cast<CDV_SubItemGrid*>(View().CurrentView())->SelectLine(line);
        FormProgram::Settle();
        return qobject_cast<CDV_SubItem*>(View().ItemSplitter()->Lower());
    }
    // Types over what the editor holds, key by key, without leaving it.
    void Type(QWidget* editor, const QString& text)
    {
        QApplication::setActiveWindow(&program.Frame());
        editor->setFocus(Qt::MouseFocusReason);
        QWidget* target = QApplication::focusWidget();
        if (auto* box = qobject_cast<QComboBox*>(target))
            target = box->lineEdit();
        if (auto* line = qobject_cast<QLineEdit*>(target))
            line->selectAll();
        else if (auto* notes = qobject_cast<QPlainTextEdit*>(target))
            notes->selectAll();
        Keys(text);
    }
    // A double-click on the check panel's first message of a source; a
    // message box brought up by the first click (modal) takes the rest.
    void DoubleClickCheck(CheckSource source)
    {
        CCheckPanel& panel = *program.Frame().CheckPanel();
        int row = 0;
        while (row + 1 < panel.Model()->rowCount() && panel.Model()->Target(row).source != source)
            ++row;
        const QPoint at = panel.List()->visualRect(panel.Model()->index(row, 0)).center();
        const size_t told = program.asker.asked.size();
        Click(panel.List()->viewport(), at);
        if (program.asker.asked.size() == told)
            QTest::mouseDClick(panel.List()->viewport(), Qt::LeftButton, {}, at);
    }
    bool FileHolds(const QString& file)
    {
        std::unique_ptr<CContract> read;
        return ReadContractFile(QFile::encodeName(file).toStdString(), read) == 0 && read && holds(*read);
    }
    // The copy holds the value while the user, undisturbed, types on.
    bool Recovered()
    {
        CAutoSaver& saver = *program.App().AutoSaver();
        saver.SetIntervals(10, 20);
        QTest::qWait(200);
        if (auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget()); line && line->text() != typed)
            return false;
        const auto copies = saver.Store().List();
        if (!copies || copies->empty())
            return false;
        const auto copy = saver.Store().TakeBack(copies->front());
        return copy && holds(*copy.value());
    }

    test::ProgramFixture program;
    QString path;
    Holds holds;
    QString typed;
    bool printed = false;
};

std::string CellText(const CContract& c, int field)
{
    const Text* text = c.m_pSubTable->m_Records[0]->GetCellText(field);
    return text ? std::string(text->View()) : std::string();
}

const CSubItem& SubItem(const CContract& c)
{
    return *c.m_pSubTable->m_Records[0]->FindSubItem("1140");
}

struct EditorCase {
    const char* name;
    std::function<QWidget*(Demo&)> show; // the editor typed into; none for a box, clicked
    const char* text;
    Holds holds;
};

const std::vector<EditorCase> kEditors{
    {"FormText", [](Demo& d) { return d.FormField(0, 15); }, "Ann Lee",
     [](const CContract& c) { return CellText(c, 15) == "Ann Lee"; }},
    {"DropDown", [](Demo& d) { return d.FormField(0, 53); }, "Quarterly",
     [](const CContract& c) { return CellText(c, 53) == "Quarterly"; }},
    {"SubItemQuantity", [](Demo& d) -> QWidget* { return d.Line(0, "1140")->QuantityEdit(); }, "7",
     [](const CContract& c) { return SubItem(c).m_fQuan == 7; }},
    {"SubItemTotal", [](Demo& d) -> QWidget* { return d.Line(0, "1140")->ExtensionEdit(); }, "500",
     [](const CContract& c) { return SubItem(c).m_fExt == 500; }},
    {"Note", [](Demo& d) -> QWidget* { return d.Line(0, "1140")->NotesEdit(); }, "Night crew",
     [](const CContract& c) { return SubItem(c).m_strRemarks.View() == "Night crew"; }},
    {"PartialBox", [](Demo& d) -> QWidget* { return d.Click(d.Line(0, "1140")->PartialBox()), nullptr; }, "",
     [](const CContract& c) { return FlagTest(SubItem(c).m_wFlags, SUBITEM_PARTIAL); }},
    {"GridCell",
     [](Demo& d) -> QWidget* {
         d.Choose(d.Tree().FindKind(NODE_CONTRACT_ITEMS));
         auto& schedule = *qobject_cast<CDV_ItemScheduleGrid*>(d.View().CurrentView());
         schedule.Grid()->setCurrentIndex(schedule.Grid()->Model()->index(schedule.Source().RowOfLine("0030"),
                                                                          CContItemDataSource::ColQuantity));
         return schedule.Grid();
     },
     "11", [](const CContract& c) { return c.FindItemByLineNumber("0030")->m_fQuantity == 11; }},
};

// Where the typed value is looked for afterwards.
enum class Proof { File, FileAs, Contract, Printed, UndoneThenRedone, RecoveryCopy };

struct PathCase {
    const char* name;
    std::function<void(Demo&)> take;
    Proof proof;
};

void ClickNextHit(Demo& d)
{
    d.Click(d.program.Frame().FindBar()->findChild<QToolButton*>(QStringLiteral("findNext")));
}

void Drop(Demo& d)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(d.program.asker.openFile)});
    // A drop reaches the window that took its entering.
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&d.program.Frame(), &enter);
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&d.program.Frame(), &drop);
}

const std::vector<PathCase> kPaths{
    {"Save", [](Demo& d) { d.Trigger("fileSave"); }, Proof::File},
    {"SaveAs", [](Demo& d) { d.Trigger("fileSaveAs"); }, Proof::FileAs},
    {"ToolbarButton",
     [](Demo& d) {
         d.Click(d.program.Frame().ToolBar()->widgetForAction(
             d.program.Frame().Action(QStringLiteral("fileSave"))));
     },
     Proof::File},
    {"CtrlS", [](Demo& d) { d.Key(Qt::Key_S, Qt::ControlModifier); }, Proof::File},
    {"F3", [](Demo& d) { d.Key(Qt::Key_F3); }, Proof::File},
    {"Exit", [](Demo& d) { d.Trigger("fileExit"); }, Proof::File},
    {"CloseButton", [](Demo& d) { d.program.Frame().close(); }, Proof::File},
    {"OpenMenu", [](Demo& d) { d.Trigger("fileOpen"); }, Proof::File},
    {"OpenRecent",
     [](Demo& d) {
         for (QAction* recent : d.program.Frame().findChildren<QAction*>())
             if (recent->text().contains(QStringLiteral("OTHER.CON")))
                 recent->trigger();
     },
     Proof::File},
    {"OpenDrop", Drop, Proof::File},
    {"Print", [](Demo& d) { d.Trigger("filePrint"); }, Proof::Printed},
    {"PrintPreview", [](Demo& d) { d.Trigger("filePrintPreview"); }, Proof::Printed},
    {"ExportPdf", [](Demo& d) { d.Trigger("fileExportPdf"); }, Proof::Printed},
    {"Export",
     [](Demo& d) { d.program.Frame().Exchange()->ExportAction(CExchangeCommands::Export::Items)->trigger(); },
     Proof::Contract},
    {"ImportQuote", [](Demo& d) { d.Trigger("fileImportQuote"); }, Proof::Contract},
    {"CheckContract", [](Demo& d) { d.Key(Qt::Key_F4); }, Proof::Contract},
    {"CheckPanelJump", [](Demo& d) { d.DoubleClickCheck(CheckSource::MiscData); }, Proof::Contract},
    {"FindJump", ClickNextHit, Proof::Contract},
    {"Undo", [](Demo& d) { d.Trigger("editUndo"); }, Proof::UndoneThenRedone},
    {"Redo", [](Demo& d) { d.Trigger("editRedo"); }, Proof::Contract},
    {"TreeNode",
     [](Demo& d) { d.Click(d.Tree().viewport(), d.Tree().visualItemRect(d.Tree().ContractNode()).center()); },
     Proof::Contract},
    {"AutosaveTimer", [](Demo&) {}, Proof::RecoveryCopy},
};

bool Kept(Demo& d, Proof proof)
{
    FormProgram::Settle();
    switch (proof) {
    case Proof::File: return d.FileHolds(d.path);
    case Proof::FileAs: return d.FileHolds(d.program.asker.saveFile);
    case Proof::Printed: return d.printed;
    case Proof::RecoveryCopy: return d.Recovered();
    case Proof::UndoneThenRedone: {
        const bool undone = !d.holds(*d.Doc().Contract());
        d.Trigger("editRedo");
        return undone && d.holds(*d.Doc().Contract());
    }
    default: return d.holds(*d.Doc().Contract());
    }
}

using Case = std::pair<size_t, size_t>; // a way and an editor

std::vector<Case> Table(size_t ways, size_t editors, const std::function<bool(size_t, size_t)>& applies)
{
    std::vector<Case> cases;
    for (size_t w = 0; w < ways; ++w)
        for (size_t e = 0; e < editors; ++e)
            if (applies(w, e))
                cases.emplace_back(w, e);
    return cases;
}

class TypedEntry : public ::testing::TestWithParam<Case> {};

TEST_P(TypedEntry, IsStoredBeforeTheContractIsSavedPrintedCheckedClosedOrLeft)
{
    Demo demo;
    const EditorCase& editor = kEditors[GetParam().second];
    demo.holds = editor.holds;
    demo.typed = QString::fromLatin1(editor.text);
    if (QWidget* typed = editor.show(demo))
        demo.Type(typed, demo.typed);
    // A box's click is its change; what is typed waits to be stored.
    ASSERT_EQ(editor.holds(*demo.Doc().Contract()), !*editor.text);
    demo.program.asker.answers = {QMessageBox::Yes}; // save the changes first
    kPaths[GetParam().first].take(demo);
    EXPECT_TRUE(Kept(demo, kPaths[GetParam().first].proof));
}

INSTANTIATE_TEST_SUITE_P(EveryPathAndEditor, TypedEntry,
                         // A quote is imported for a subcontractor, not from the contract's items.
                         ::testing::ValuesIn(Table(kPaths.size(), kEditors.size(),
                                                   [](size_t p, size_t e) {
                                                       return std::string_view(kPaths[p].name) !=
                                                                  "ImportQuote" ||
                                                              std::string_view(kEditors[e].name) !=
                                                                  "GridCell";
                                                   })),
                         [](const auto& info) {
                             return std::string(kPaths[info.param.first].name) + "_" +
                                    kEditors[info.param.second].name;
                         });

// --- refused entries ---------------------------------------------------------

struct RefusalCase {
    const char* name;
    std::function<QWidget*(Demo&)> show;
    const char* text;
    const char* caption;
};

const std::vector<RefusalCase> kRefusals{
    {"MiscDate", [](Demo& d) { return d.FormField(-1, 4); }, "99/99/99", "Date Format Error"},
    {"SubDate", [](Demo& d) { return d.FormField(0, 4); }, "31/31/31", "Date Format Error"},
    {"IronbarkQuantity", [](Demo& d) -> QWidget* { return d.Line(6, "2300")->QuantityEdit(); }, "10",
     "Quantity Error"},
};

CDV_GridBase* ItemGrid(Demo& d)
{
    return qobject_cast<CDV_GridBase*>(d.View().CurrentView());
}

CQuickFilterBar* FilterBar(Demo& d)
{
    CDV_GridBase* grid = ItemGrid(d);
    return grid ? grid->FilterBar() : nullptr;
}

int CurrentGridRow(Demo& d)
{
    CDV_GridBase* grid = ItemGrid(d);
    return grid ? grid->Grid()->currentIndex().row() : -1;
}

// A click on the next line's row of the item grid above the entry.
void ClickNextGridRow(Demo& d)
{
    CGridView* grid = ItemGrid(d)->Grid();
    const QModelIndex next =
        grid->Model()->index(grid->currentIndex().row() + grid->Model()->RowsPerRecord(), 1);
    grid->scrollTo(next);
    d.Click(grid->viewport(), grid->visualRect(next).center());
}

const std::vector<std::pair<const char*, std::function<void(Demo&)>>> kLeaves{
    {"TreeClick",
     [](Demo& d) { d.Click(d.Tree().viewport(), d.Tree().visualItemRect(d.SubNode(3)).center()); }},
    {"F6", [](Demo& d) { d.Key(Qt::Key_F6); }},
    {"FindJump", ClickNextHit},
    {"CheckPanelJump", [](Demo& d) { d.DoubleClickCheck(CheckSource::Subcontractor); }},
    {"QuickFilter", [](Demo& d) { d.Click(FilterBar(d)->Button(ItemFilter::Unassigned)); }},
    {"GridRowClick", ClickNextGridRow},
};

class RefusedEntry : public ::testing::TestWithParam<Case> {};

TEST_P(RefusedEntry, KeepsItsFormTheFocusAndIsToldOnce)
{
    Demo demo;
    const RefusalCase& refusal = kRefusals[GetParam().second];
    QWidget* editor = refusal.show(demo);
    demo.Type(editor, QString::fromLatin1(refusal.text));
    QTreeWidgetItem* node = demo.Tree().currentItem();
    QWidget* pane = demo.View().RightPane();
    const int steps = demo.Doc().UndoStack().count();
    const int row = CurrentGridRow(demo);
    demo.program.asker.asked.clear();

    kLeaves[GetParam().first].second(demo);
    FormProgram::Settle();
    EXPECT_EQ(demo.Tree().currentItem(), node);
    EXPECT_EQ(demo.View().RightPane(), pane);
    EXPECT_EQ(CurrentGridRow(demo), row);
    EXPECT_EQ(QApplication::focusWidget(), editor);
    ASSERT_EQ(demo.program.asker.asked.size(), 1u);
    EXPECT_EQ(demo.program.asker.asked[0].caption, QString::fromLatin1(refusal.caption));
    EXPECT_EQ(demo.Doc().UndoStack().count(), steps);
    if (CQuickFilterBar* filters = FilterBar(demo)) {
        EXPECT_FALSE(filters->Filter());
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWayOut, RefusedEntry,
                         // The quick filters and the grid stand above an item entry.
                         ::testing::ValuesIn(Table(kLeaves.size(), kRefusals.size(),
                                                   [](size_t l, size_t r) {
                                                       const std::string_view leave = kLeaves[l].first;
                                                       return (leave != "QuickFilter" &&
                                                               leave != "GridRowClick") ||
                                                              std::string_view(kRefusals[r].name) ==
                                                                  "IronbarkQuantity";
                                                   })),
                         [](const auto& info) {
                             return std::string(kLeaves[info.param.first].first) + "_" +
                                    kRefusals[info.param.second].name;
                         });

} // namespace
} // namespace kestrel
