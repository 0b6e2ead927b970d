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

// The demo open in the program, with a change to undo and one to redo, and
// a second contract to open.
struct Demo {
    Demo()
    {
        other = test::CopyDemo(program.dir, "OTHER.CON");
        EXPECT_TRUE(Doc().OpenDocument(other)); // in the recent files
        EXPECT_TRUE(program.ShowDemo());
        path = Doc().PathName();
        CWinMeta& misc = *Doc().Contract()->m_pMiscTable;
        for (const char* text : {"Estimator", "Chief"})
            EXPECT_TRUE(Doc().ApplyEdit(Doc().Edits()->SetCell(misc, *misc.m_Records[0], 1, text)));
        Doc().UndoStack().undo();
        Doc().Settings().printSave = Doc().Settings().printCheck = false;
        Doc().SetReportPrinter([this](CSubDoc& doc, PrintTarget) { printed = holds(*doc.Contract()); });
    }
    CSubDoc& Doc() { return program.Doc(); }
    CSubTreeView& Tree() { return program.Tree(); }
    CSubView& View() { return *program.Frame().View(); }
    void Trigger(const char* action) { program.Frame().Action(QString::fromLatin1(action))->trigger(); }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
        test::FormProgram::Settle();
    }
    void Click(QTreeWidgetItem* node)
    {
        QTest::mouseClick(Tree().viewport(), Qt::LeftButton, {}, Tree().visualItemRect(node).center());
        test::FormProgram::Settle();
    }
    void Choose(QTreeWidgetItem* node)
    {
        Tree().setCurrentItem(node);
        test::FormProgram::Settle();
    }
    QTreeWidgetItem* SubNode(int row, TreeNodeKind kind = NODE_SUBCONTRACTOR)
    {
        QTreeWidgetItem* node = Tree().FindNode(Doc().Contract()->m_pSubTable->m_Records[row]);
        for (int i = 0; i < node->childCount(); ++i)
            if (CSubTreeView::KindOf(node->child(i)) == kind)
                return node->child(i);
        return node;
    }
    CDV_Template* Form() { return qobject_cast<CDV_Template*>(View().CurrentView()); }
    CDV_SubItem* Entry() { return qobject_cast<CDV_SubItem*>(View().ItemSplitter()->Lower()); }
    // A subcontractor's items at a line.
    void ShowLine(int row, const char* line)
    {
        Choose(SubNode(row, NODE_SUB_ITEMS));
        qobject_cast<CDV_SubItemGrid*>(View().CurrentView())->SelectLine(line);
        test::FormProgram::Settle();
    }
    // Types over what the editor holds, key by key, without leaving it.
    void Type(QWidget* editor, const QString& text)
    {
        QApplication::setActiveWindow(&program.Frame());
        editor->setFocus(Qt::MouseFocusReason);
        QWidget* target = QApplication::focusWidget();
        if (auto* line = qobject_cast<QLineEdit*>(target))
            line->selectAll();
        else if (auto* box = qobject_cast<QComboBox*>(target); box && box->lineEdit())
            box->lineEdit()->selectAll();
        else if (auto* notes = qobject_cast<QPlainTextEdit*>(target))
            notes->selectAll();
        Keys(text);
    }
    // Each key to the widget that has the focus then (an editor opened by
    // the first one takes the others).
    static void Keys(const QString& text)
    {
        for (const QChar ch : text)
            QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
    }
    bool FileHolds(const QString& file)
    {
        std::unique_ptr<CContract> read;
        return ReadContractFile(QFile::encodeName(file).toStdString(), read) == 0 && read && holds(*read);
    }
    bool Opens(const std::function<void()>& open)
    {
        program.asker.answers = {QMessageBox::Yes}; // save the changes first
        open();
        return FileHolds(path);
    }

    test::ProgramFixture program;
    QString path;
    QString other;
    Holds holds;
    bool printed = false;
};

std::string CellText(const CContract& c, int row, int field)
{
    const Text* text = c.m_pSubTable->m_Records[row]->GetCellText(field);
    return text ? std::string(text->View()) : std::string();
}

const CSubItem* SubItem(const CContract& c, const char* line)
{
    return c.m_pSubTable->m_Records[0]->FindSubItem(line);
}

struct EditorCase {
    const char* name;
    std::function<void(Demo&)> type; // shows its view and types, the focus staying
    Holds holds;
    bool storedAtOnce = false; // a box: its click is the change
};

const std::vector<EditorCase>& Editors()
{
    static const std::vector<EditorCase> editors{
        {"FormText",
         [](Demo& d) {
             d.Choose(d.SubNode(0));
             d.Type(d.Form()->FieldControl(15), QStringLiteral("Ann Lee"));
         },
         [](const CContract& c) { return CellText(c, 0, 15) == "Ann Lee"; }},
        {"DropDown",
         [](Demo& d) {
             d.Choose(d.SubNode(0));
             d.Type(d.Form()->FieldControl(53), QStringLiteral("Quarterly draws"));
         },
         [](const CContract& c) { return CellText(c, 0, 53) == "Quarterly draws"; }},
        {"SubItemQuantity",
         [](Demo& d) {
             d.ShowLine(0, "1140");
             d.Type(d.Entry()->QuantityEdit(), QStringLiteral("7"));
         },
         [](const CContract& c) { return SubItem(c, "1140")->m_fQuan == 7; }},
        {"Note",
         [](Demo& d) {
             d.ShowLine(0, "1140");
             d.Type(d.Entry()->NotesEdit(), QStringLiteral("Night crew"));
         },
         [](const CContract& c) { return SubItem(c, "1140")->m_strRemarks.View() == "Night crew"; }},
        {"PartialBox",
         [](Demo& d) {
             d.ShowLine(0, "1140");
             QTest::mouseClick(d.Entry()->PartialBox(), Qt::LeftButton);
         },
         [](const CContract& c) { return FlagTest(SubItem(c, "1140")->m_wFlags, SUBITEM_PARTIAL); }, true},
        {"GridCell",
         [](Demo& d) {
             d.Choose(d.Tree().FindKind(NODE_CONTRACT_ITEMS));
             auto* schedule = qobject_cast<CDV_ItemScheduleGrid*>(d.View().CurrentView());
             CGridView& grid = *schedule->Grid();
             grid.setCurrentIndex(
                 grid.Model()->index(schedule->Source().RowOfLine("0030"), CContItemDataSource::ColQuantity));
             grid.setFocus();
             Demo::Keys(QStringLiteral("11"));
         },
         [](const CContract& c) { return c.FindItemByLineNumber("0030")->m_fQuantity == 11; }},
    };
    return editors;
}

struct PathCase {
    const char* name;
    std::function<bool(Demo&)> take; // whether the typed value was kept
};

const std::vector<PathCase>& Paths()
{
    static const std::vector<PathCase> paths{
        {"Save", [](Demo& d) { return d.Trigger("fileSave"), d.FileHolds(d.path); }},
        {"SaveAs",
         [](Demo& d) {
             d.program.asker.saveFile = test::Q(d.program.dir.file("AS.CON"));
             d.Trigger("fileSaveAs");
             return d.FileHolds(d.program.asker.saveFile);
         }},
        {"ToolbarButton",
         [](Demo& d) {
             QToolBar* bar = d.program.Frame().ToolBar();
             QTest::mouseClick(bar->widgetForAction(d.program.Frame().Action(QStringLiteral("fileSave"))),
                               Qt::LeftButton);
             return d.FileHolds(d.path);
         }},
        {"CtrlS", [](Demo& d) { return d.Key(Qt::Key_S, Qt::ControlModifier), d.FileHolds(d.path); }},
        {"F3", [](Demo& d) { return d.Key(Qt::Key_F3), d.FileHolds(d.path); }},
        {"Exit", [](Demo& d) { return d.Opens([&] { d.Trigger("fileExit"); }); }},
        {"CloseButton", [](Demo& d) { return d.Opens([&] { d.program.Frame().close(); }); }},
        {"OpenMenu",
         [](Demo& d) {
             d.program.asker.openFile = d.other;
             return d.Opens([&] { d.Trigger("fileOpen"); });
         }},
        {"OpenRecent",
         [](Demo& d) {
             return d.Opens([&] {
                 for (QAction* a : d.program.Frame().findChildren<QAction*>())
                     if (a->text().contains(QStringLiteral("OTHER.CON")))
                         return a->trigger();
             });
         }},
        {"OpenDrop",
         [](Demo& d) {
             return d.Opens([&] {
                 QMimeData data;
                 data.setUrls({QUrl::fromLocalFile(d.other)});
                 // A drop reaches the window that took its entering.
                 QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, {});
                 QApplication::sendEvent(&d.program.Frame(), &enter);
                 QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, {});
                 QApplication::sendEvent(&d.program.Frame(), &drop);
             });
         }},
        {"Print", [](Demo& d) { return d.Trigger("filePrint"), d.printed; }},
        {"PrintPreview", [](Demo& d) { return d.Trigger("filePrintPreview"), d.printed; }},
        {"ExportPdf", [](Demo& d) { return d.Trigger("fileExportPdf"), d.printed; }},
        {"Export",
         [](Demo& d) {
             d.program.asker.exportFile = test::Q(d.program.dir.file("items.csv"));
             d.program.Frame().Exchange()->ExportAction(CExchangeCommands::Export::Items)->trigger();
             return d.holds(*d.Doc().Contract());
         }},
        {"ImportQuote", [](Demo& d) { return d.Trigger("fileImportQuote"), d.holds(*d.Doc().Contract()); }},
        {"CheckContract", [](Demo& d) { return d.Key(Qt::Key_F4), d.holds(*d.Doc().Contract()); }},
        {"CheckPanelJump",
         [](Demo& d) {
             d.Trigger("viewCheckPanel");
             CCheckPanel& panel = *d.program.Frame().CheckPanel();
             int row = 0;
             while (panel.Model()->Target(row).source != CheckSource::MiscData)
                 ++row;
             QTreeView* list = panel.List();
             const QPoint at = list->visualRect(panel.Model()->index(row, 0)).center();
             QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
             QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
             test::FormProgram::Settle();
             return d.Tree().SelectedKind() == NODE_MISC_DATA && d.holds(*d.Doc().Contract());
         }},
        {"FindJump",
         [](Demo& d) {
             d.Key(Qt::Key_F, Qt::ControlModifier);
             Demo::Keys(QStringLiteral("Mason"));
             QTreeWidgetItem* before = d.Tree().currentItem();
             d.Key(Qt::Key_Return);
             return d.Tree().currentItem() != before && d.holds(*d.Doc().Contract());
         }},
        {"Undo",
         [](Demo& d) {
             d.Trigger("editUndo");
             const bool undone = !d.holds(*d.Doc().Contract());
             return d.Trigger("editRedo"), undone && d.holds(*d.Doc().Contract());
         }},
        {"Redo", [](Demo& d) { return d.Trigger("editRedo"), d.holds(*d.Doc().Contract()); }},
        {"TreeNode", [](Demo& d) { return d.Click(d.Tree().ContractNode()), d.holds(*d.Doc().Contract()); }},
        {"AutosaveTimer",
         [](Demo& d) {
             CAutoSaver& saver = *d.program.App().AutoSaver();
             saver.SetIntervals(10, 20);
             QTest::qWait(200);
             const auto copies = saver.Store().List();
             if (!copies || copies->empty())
                 return false;
             const auto copy = saver.Store().TakeBack(copies->front());
             return copy && d.holds(*copy.value());
         }},
    };
    return paths;
}

using PathAndEditor = std::pair<size_t, size_t>;

std::vector<PathAndEditor> Matrix()
{
    std::vector<PathAndEditor> cases;
    for (size_t p = 0; p < Paths().size(); ++p)
        for (size_t e = 0; e < Editors().size(); ++e)
            // A quote is imported for a subcontractor, not from the contract's items.
            if (std::string_view(Paths()[p].name) != "ImportQuote" ||
                std::string_view(Editors()[e].name) != "GridCell")
                cases.emplace_back(p, e);
    return cases;
}

class TypedEntry : public ::testing::TestWithParam<PathAndEditor> {};

TEST_P(TypedEntry, IsStoredBeforeTheContractIsSavedPrintedCheckedClosedOrLeft)
{
    Demo demo;
    const EditorCase& editor = Editors()[GetParam().second];
    demo.holds = editor.holds;
    editor.type(demo);
    ASSERT_EQ(editor.holds(*demo.Doc().Contract()), editor.storedAtOnce)
        << "stored before the path was taken";
    EXPECT_TRUE(Paths()[GetParam().first].take(demo));
}

INSTANTIATE_TEST_SUITE_P(EveryPathAndEditor, TypedEntry, ::testing::ValuesIn(Matrix()),
                         [](const ::testing::TestParamInfo<PathAndEditor>& info) {
                             return std::string(Paths()[info.param.first].name) + "_" +
                                    Editors()[info.param.second].name;
                         });

// --- refused entries ---------------------------------------------------------

struct RefusalCase {
    const char* name;
    std::function<QWidget*(Demo&)> type; // types an entry that is refused; its editor
    const char* caption;
};

struct LeaveCase {
    const char* name;
    std::function<void(Demo&)> leave;
    bool needsGrid = false;
};

const std::vector<RefusalCase>& Refusals()
{
    static const std::vector<RefusalCase> refusals{
        {"MiscDate",
         [](Demo& d) {
             d.Choose(d.Tree().FindKind(NODE_MISC_DATA));
             d.Type(d.Form()->FieldControl(4), QStringLiteral("99/99/99"));
             return d.Form()->FieldControl(4);
         },
         "Date Format Error"},
        {"SubDate",
         [](Demo& d) {
             d.Choose(d.SubNode(0));
             d.Type(d.Form()->FieldControl(4), QStringLiteral("31/31/31"));
             return d.Form()->FieldControl(4);
         },
         "Date Format Error"},
        {"IronbarkQuantity",
         [](Demo& d) {
             d.ShowLine(6, "2300");
             d.Type(d.Entry()->QuantityEdit(), QStringLiteral("10"));
             return static_cast<QWidget*>(d.Entry()->QuantityEdit());
         },
         "Quantity Error"},
    };
    return refusals;
}

const std::vector<LeaveCase>& Leaves()
{
    static const std::vector<LeaveCase> leaves{
        {"TreeClick", [](Demo& d) { d.Click(d.SubNode(3)); }},
        {"F6", [](Demo& d) { d.Key(Qt::Key_F6); }},
        {"FindJump",
         [](Demo& d) {
             auto* next = d.program.Frame().FindBar()->findChild<QToolButton*>(QStringLiteral("findNext"));
             QTest::mouseClick(next, Qt::LeftButton);
             test::FormProgram::Settle();
         }},
        {"CheckPanelJump",
         [](Demo& d) {
             // A double-click whose first click brings the message up: the
             // box, modal, takes the rest of it.
             QTreeView* list = d.program.Frame().CheckPanel()->List();
             const QPoint at = list->visualRect(list->model()->index(0, 0)).center();
             const size_t told = d.program.asker.asked.size();
             QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
             test::FormProgram::Settle();
             if (d.program.asker.asked.size() == told)
                 QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
             test::FormProgram::Settle();
         }},
        {"QuickFilter",
         [](Demo& d) {
             auto* grid = qobject_cast<CDV_SubItemGrid*>(d.View().CurrentView());
             QTest::mouseClick(grid->FilterBar()->Button(ItemFilter::Unassigned), Qt::LeftButton);
             test::FormProgram::Settle();
         },
         true},
    };
    return leaves;
}

std::vector<PathAndEditor> RefusalMatrix()
{
    std::vector<PathAndEditor> cases;
    for (size_t l = 0; l < Leaves().size(); ++l)
        for (size_t r = 0; r < Refusals().size(); ++r)
            // The quick filters stand above an item grid.
            if (!Leaves()[l].needsGrid || std::string_view(Refusals()[r].name) == "IronbarkQuantity")
                cases.emplace_back(l, r);
    return cases;
}

class RefusedEntry : public ::testing::TestWithParam<PathAndEditor> {};

TEST_P(RefusedEntry, KeepsItsFormTheFocusAndIsToldOnce)
{
    Demo demo;
    // The find bar has a hit elsewhere to go to, the check panel is shown.
    demo.Trigger("editFind");
    Demo::Keys(QStringLiteral("Mason"));
    demo.program.Frame().FindBar()->SearchNow();
    demo.Trigger("viewCheckPanel");
    const RefusalCase& refusal = Refusals()[GetParam().second];
    QWidget* editor = refusal.type(demo);
    QTreeWidgetItem* node = demo.Tree().currentItem();
    QWidget* pane = demo.View().RightPane();
    const int steps = demo.Doc().UndoStack().count();
    demo.program.asker.asked.clear();

    Leaves()[GetParam().first].leave(demo);
    EXPECT_EQ(demo.Tree().currentItem(), node);
    EXPECT_EQ(demo.View().RightPane(), pane);
    EXPECT_EQ(QApplication::focusWidget(), editor);
    ASSERT_EQ(demo.program.asker.asked.size(), 1u);
    EXPECT_EQ(demo.program.asker.asked[0].caption, QString::fromLatin1(refusal.caption));
    EXPECT_EQ(demo.Doc().UndoStack().count(), steps);
    if (auto* grid = qobject_cast<CDV_SubItemGrid*>(demo.View().CurrentView())) {
        EXPECT_FALSE(grid->FilterBar()->Filter());
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWayOut, RefusedEntry, ::testing::ValuesIn(RefusalMatrix()),
                         [](const ::testing::TestParamInfo<PathAndEditor>& info) {
                             return std::string(Leaves()[info.param.first].name) + "_" +
                                    Refusals()[info.param.second].name;
                         });

} // namespace
} // namespace kestrel
