// Undo and redo in the program: the menu texts that follow the stack, the
// history list, several changes made one step, and a long random run of
// changes through the views taken back to the bytes the contract had.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTreeWidgetItemIterator>
#include <QUndoStack>
#include <QUndoView>

#include <random>

#include "app/guitestsupport.h"
#include "app/mainframe.h"
#include "app/subclipboard.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "file/contractfile.h"
#include "grid/contitemdatasource.h"
#include "grid/gridmodel.h"
#include "grid/gridview.h"
#include "grid/subitemdatasource.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "views/dv_itemschedulegrid.h"
#include "views/dv_subitem.h"
#include "views/dv_subitemgrid.h"
#include "views/dv_template.h"
#include "views/formtestsupport.h"
#include "views/subitemsplitter.h"

namespace kestrel {
namespace {

using test::ProgramFixture;

int Records(CSubDoc& doc)
{
    return doc.Contract()->m_pSubTable->m_Records.GetSize();
}

TEST(UndoCommands, MenuTextsFollowTheStack)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Doc().OpenDocument(test::CopyDemo(program.dir)));
    QAction* undo = program.Frame().Action(QStringLiteral("editUndo"));
    QAction* redo = program.Frame().Action(QStringLiteral("editRedo"));
    using K = QKeySequence;
    EXPECT_EQ(undo->shortcuts(), QList<K>{K(Qt::CTRL | Qt::Key_Z)});
    EXPECT_EQ(redo->shortcuts(), QList<K>({K(Qt::CTRL | Qt::Key_Y), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo"));

    program.Tree().setCurrentItem(program.Tree().SubcontractorsNode());
    program.Tree().OnAddSubcontractor();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo Add Subcontractor"));
    EXPECT_FALSE(redo->isEnabled());
    undo->trigger();
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo"));
    EXPECT_EQ(redo->text(), QStringLiteral("&Redo Add Subcontractor"));
    redo->trigger();
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo Add Subcontractor"));

    // A step whose description holds "&" keeps it in the menu, not as a
    // key mark, and shows it as it is in the history list.
    program.Doc().BeginMacro(QStringLiteral("Quotes A&B"));
    program.Tree().OnAddSubcontractor();
    program.Doc().EndMacro();
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo Quotes A&&B"));
    EXPECT_EQ(program.Doc().UndoStack().text(1), QStringLiteral("Quotes A&B"));
}

TEST(UndoCommands, TheHistoryListShowsTheStepsAndGoesBackToOne)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Doc().OpenDocument(test::CopyDemo(program.dir)));
    CMainFrame& frame = program.Frame();
    QAction* history = frame.Action(QStringLiteral("viewHistory"));
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->text(), QStringLiteral("&History"));
    EXPECT_TRUE(frame.Action(QStringLiteral("viewMenu"))->menu()->actions().contains(history));
    frame.show();
    EXPECT_FALSE(frame.HistoryDock()->isVisible());
    history->trigger();
    EXPECT_TRUE(frame.HistoryDock()->isVisible());

    const int before = Records(program.Doc());
    program.Tree().setCurrentItem(program.Tree().SubcontractorsNode());
    for (int i = 0; i < 3; ++i)
        program.Tree().OnAddSubcontractor();
    auto* list = frame.HistoryDock()->findChild<QUndoView*>();
    ASSERT_NE(list, nullptr);
    // The state as opened, then one line a step.
    ASSERT_EQ(list->model()->rowCount(), 4);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), QStringLiteral("Contract as opened"));
    // Each step says what it was about.
    EXPECT_EQ(list->model()->index(3, 0).data().toString(),
              QStringLiteral("Add Subcontractor \u2014 <Unknown Subcontractor>"));
    // Choosing the first line takes every step back.
    list->setCurrentIndex(list->model()->index(0, 0));
    EXPECT_EQ(Records(program.Doc()), before);
    EXPECT_FALSE(program.Doc().IsModified());
    list->setCurrentIndex(list->model()->index(2, 0));
    EXPECT_EQ(Records(program.Doc()), before + 2);
}

TEST(UndoCommands, CtrlZInAFieldWithNothingOfItsOwnToUndoReachesTheContract)
{
    test::FormProgram ui;
    ASSERT_TRUE(ui.Open(test::CopyDemo(ui.program.dir)));
    ui.ShowMisc();
    const CWinMeta& misc = *ui.program.Doc().Contract()->m_pMiscTable;
    auto preparer = [&] {
        return QString::fromStdString(std::string(misc.m_Records[0]->GetCellText(0)->View()));
    };
    const QString before = preparer();
    // Tab stored the field before; the next one has nothing of its own.
    ui.Type(0, QStringLiteral("Pat Doe"));
    ui.Press(Qt::Key_Tab);
    ASSERT_EQ(ui.FocusedField(), 1);
    ui.Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(preparer(), before);
    ui.Press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(preparer(), QStringLiteral("Pat Doe"));
    // Typing of its own is taken back in the field first.
    const QString title = ui.Shown(1);
    ui.Type(1, QStringLiteral("xy"));
    auto* field = qobject_cast<QLineEdit*>(ui.Form()->FieldControl(1));
    while (field->isUndoAvailable())
        ui.Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(field->text(), title);
    EXPECT_EQ(preparer(), QStringLiteral("Pat Doe"));
    ui.Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(preparer(), before);
}

// The menu and the history name a field by the form's caption and a
// subcontractor by its name, never by the names inside the file.
TEST(UndoCommands, StepsAreNamedByCaptionsAndNames)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Doc().OpenDocument(test::CopyDemo(program.dir)));
    CSubDoc& doc = program.Doc();
    CSubcontract& keystone = *doc.Contract()->m_pSubTable->m_Records[1];
    ASSERT_TRUE(doc.ApplyEdit(doc.Edits()->SetCell(*doc.Contract()->m_pSubTable, keystone, 10, "999999")));
    ASSERT_TRUE(doc.ApplyEdit(doc.Edits()->DeleteSubcontractor(keystone)));
    EXPECT_EQ(doc.UndoStack().text(0), QStringLiteral("Vendor ID \u2014 Keystone Bridge & Structures LLC"));
    EXPECT_EQ(doc.UndoStack().text(1),
              QStringLiteral("Delete Subcontractor Keystone Bridge & Structures LLC"));
    EXPECT_EQ(program.Frame().Action(QStringLiteral("editUndo"))->text(),
              QStringLiteral("&Undo Delete Subcontractor Keystone Bridge && Structures LLC"));
}

TEST(UndoCommands, AMacroIsOneStep)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Doc().OpenDocument(test::CopyDemo(program.dir)));
    CSubDoc& doc = program.Doc();
    const int before = Records(doc);
    const std::vector<unsigned char> opened = WriteContractStream(*doc.Contract());

    doc.BeginMacro(QStringLiteral("Import Quotes"));
    ASSERT_TRUE(doc.ApplyEdit(doc.Edits()->AddSubcontractor(nullptr)));
    doc.BeginMacro(QStringLiteral("inner")); // nested: part of the outer step
    ASSERT_TRUE(doc.ApplyEdit(doc.Edits()->SetItemQuantity("0030", "12")));
    doc.EndMacro();
    EXPECT_TRUE(doc.InMacro());
    EXPECT_EQ(doc.UndoStack().count(), 0);
    doc.EndMacro();
    EXPECT_FALSE(doc.InMacro());
    ASSERT_EQ(doc.UndoStack().count(), 1);
    EXPECT_EQ(doc.UndoStack().undoText(), QStringLiteral("Import Quotes"));
    EXPECT_TRUE(doc.IsModified());
    doc.UndoStack().undo();
    EXPECT_EQ(Records(doc), before);
    EXPECT_EQ(WriteContractStream(*doc.Contract()), opened);
    EXPECT_FALSE(doc.IsModified());
    doc.UndoStack().redo();
    EXPECT_EQ(Records(doc), before + 1);

    // A macro without changes is no step; a cancelled one takes its changes
    // back and is none either.
    doc.BeginMacro(QStringLiteral("Nothing"));
    doc.EndMacro();
    EXPECT_EQ(doc.UndoStack().count(), 1);
    const std::vector<unsigned char> afterRedo = WriteContractStream(*doc.Contract());
    doc.BeginMacro(QStringLiteral("Given up"));
    ASSERT_TRUE(doc.ApplyEdit(doc.Edits()->AddSubcontractor(nullptr)));
    ASSERT_TRUE(doc.ApplyEdit(doc.Edits()->SetItemQuantity("0030", "7")));
    doc.CancelMacro();
    EXPECT_FALSE(doc.InMacro());
    EXPECT_EQ(doc.UndoStack().count(), 1);
    EXPECT_EQ(WriteContractStream(*doc.Contract()), afterRedo);
}

// Changes made as the user makes them, in the views the program shows:
// the tree (add, delete, drag), the subcontractor and miscellaneous-data
// forms, the contract item schedule, a subcontractor's item grid and the
// sub-item entry, with undo and redo in between.
class RandomEdits {
public:
    RandomEdits(test::FormProgram& ui, unsigned seed) : m_ui(ui), m_random(seed) {}

    void Step()
    {
        switch (Pick(10)) {
        case 0: AddSubcontractor(); break;
        case 1: DeleteSubcontractor(); break;
        case 2: MoveSubcontractor(); break;
        case 3:
        case 4: TypeIntoForm(); break;
        case 5: TypeIntoSchedule(); break;
        case 6: TickUse(); break;
        case 7: TypeIntoEntry(); break;
        case 8: Frame().Action(QStringLiteral("editUndo"))->trigger(); break;
        default: Frame().Action(QStringLiteral("editRedo"))->trigger(); break;
        }
        test::FormProgram::Settle();
    }

private:
    int Pick(int n) { return n > 1 ? std::uniform_int_distribution<int>(0, n - 1)(m_random) : 0; }
    CMainFrame& Frame() { return m_ui.program.Frame(); }
    CSubTreeView& Tree() { return m_ui.program.Tree(); }
    CContract& Contract() { return *m_ui.program.Doc().Contract(); }
    int SubCount() { return Contract().m_pSubTable->m_Records.GetSize(); }
    CSubcontract* AnySub() { return Contract().m_pSubTable->m_Records[Pick(SubCount())]; }
    QString Number() { return QString::number(Pick(500)) + QStringLiteral(".") + QString::number(Pick(100)); }

    void AddSubcontractor()
    {
        if (SubCount() > 14)
            return;
        Tree().setCurrentItem(Pick(2) ? Tree().SubcontractorsNode() : Tree().FindNode(AnySub()));
        Tree().OnAddSubcontractor();
    }
    void DeleteSubcontractor()
    {
        if (SubCount() < 4)
            return;
        Tree().setCurrentItem(Tree().FindNode(AnySub()));
        if (Tree().CanDeleteSubcontractor())
            Tree().OnDeleteSubcontractor();
    }
    void MoveSubcontractor()
    {
        CSubcontract* record = AnySub();
        std::unique_ptr<QMimeData> data(Tree().MakeDragData(*record));
        QTreeWidgetItem* target = Pick(3) == 0 ? Tree().SubcontractorsNode() : Tree().FindNode(AnySub());
        (void)Tree().DropOn(data.get(), target);
    }
    void TypeIntoForm()
    {
        const bool misc = Pick(4) == 0;
        if (misc)
            m_ui.ShowMisc();
        else
            m_ui.ShowSub(Pick(SubCount()));
        CDV_Template* form = m_ui.Form();
        CWinMeta& table = misc ? *Contract().m_pMiscTable : *Contract().m_pSubTable;
        if (!form)
            return;
        // A text, number or money field, with a value of its kind.
        for (int attempt = 0; attempt < 10; ++attempt) {
            const int field = Pick(form->FieldCount());
            if (field >= table.m_Fields.GetSize() || !qobject_cast<QLineEdit*>(form->FieldControl(field)))
                continue;
            const int type = table.m_Fields[field]->m_iType;
            if (type != FIELD_TEXT && type != FIELD_NUMBER && type != FIELD_MONEY)
                continue;
            m_ui.Type(field, type == FIELD_TEXT ? QStringLiteral("Bid %1").arg(Pick(1000)) : Number());
            m_ui.Leave();
            return;
        }
    }
    void TypeIntoSchedule()
    {
        Tree().setCurrentItem(Tree().FindKind(NODE_CONTRACT_ITEMS));
        auto* view = qobject_cast<CDV_ItemScheduleGrid*>(m_ui.View().RightPane());
        if (!view)
            return;
        CGridModel& model = *view->Grid()->Model();
        const int column = Pick(2) ? CContItemDataSource::ColQuantity : CContItemDataSource::ColUnitPrice;
        model.setData(model.index(Pick(model.rowCount()), column), Number());
    }
    CDV_SubItemGrid* ShowSubItems()
    {
        QList<QTreeWidgetItem*> nodes;
        for (QTreeWidgetItemIterator it(&Tree()); *it; ++it)
            if (CSubTreeView::KindOf(*it) == NODE_SUB_ITEMS)
                nodes.append(*it);
        if (nodes.isEmpty())
            return nullptr;
        Tree().setCurrentItem(nodes[Pick(int(nodes.size()))]);
        CSubItemSplitter* split = m_ui.View().ItemSplitter();
        return split ? qobject_cast<CDV_SubItemGrid*>(split->Upper()) : nullptr;
    }
    void TickUse()
    {
        CDV_SubItemGrid* grid = ShowSubItems();
        if (!grid)
            return;
        CGridModel& model = *grid->Grid()->Model();
        model.setData(model.index(Pick(model.rowCount()), CSubItemDataSource::ColUse),
                      Pick(3) ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    }
    void TypeIntoEntry()
    {
        CDV_SubItemGrid* grid = ShowSubItems();
        if (!grid)
            return;
        const CSubcontract* record = grid->Source().Record();
        std::vector<std::string> lines;
        for (int row = 0; row < grid->Source().RowCount(); ++row)
            if (const std::string line = grid->Source().LineOfRow(row);
                !line.empty() && record->FindSubItem(line))
                lines.push_back(line);
        if (lines.empty())
            return;
        grid->SelectLine(lines[size_t(Pick(int(lines.size())))]);
        test::FormProgram::Settle();
        auto* entry = qobject_cast<CDV_SubItem*>(m_ui.View().ItemSplitter()->Lower());
        QLineEdit* field = Pick(2) ? entry->QuantityEdit() : entry->UnitPriceEdit();
        if (field->isReadOnly())
            return;
        QApplication::setActiveWindow(&Frame());
        field->setFocus(Qt::MouseFocusReason);
        field->setText(Number());
        m_ui.Leave();
    }

    test::FormProgram& m_ui;
    std::mt19937 m_random;
};

TEST(UndoCommands, ARandomRunOfChangesUndoneGivesBackTheSameBytes)
{
    test::FormProgram ui;
    ui.program.App().Settings().deleteWarn = false;
    ASSERT_TRUE(ui.Open(test::CopyDemo(ui.program.dir)));
    CSubDoc& doc = ui.program.Doc();
    const std::vector<unsigned char> opened = WriteContractStream(*doc.Contract());

    RandomEdits edits(ui, 1207);
    for (int i = 0; i < 300; ++i)
        edits.Step();
    ui.Leave();
    ASSERT_GT(doc.UndoStack().count(), 50) << "the run made too few changes to prove anything";
    const std::vector<unsigned char> ran = WriteContractStream(*doc.Contract());
    EXPECT_NE(ran, opened);
    const int steps = doc.UndoStack().index();
    QAction* undo = ui.program.Frame().Action(QStringLiteral("editUndo"));
    while (undo->isEnabled())
        undo->trigger();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(WriteContractStream(*doc.Contract()), opened);
    // And the steps made again give the contract the run left.
    QAction* redo = ui.program.Frame().Action(QStringLiteral("editRedo"));
    for (int i = 0; i < steps; ++i)
        redo->trigger();
    EXPECT_EQ(WriteContractStream(*doc.Contract()), ran);
}

} // namespace
} // namespace kestrel
