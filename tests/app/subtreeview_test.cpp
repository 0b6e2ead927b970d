// The navigation tree: its nodes and folders, Add and Delete Subcontractor,
// dragging subcontractors between tiers, and following undo and redo.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUndoStack>

#include "app/guitestsupport.h"
#include "app/mainframe.h"
#include "app/painticons.h"
#include "app/subclipboard.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"

namespace kestrel {
namespace {

using test::ProgramFixture;
using test::Q;

// A contract of subcontractors in tiers: 1 over 2 over 3, and 4 alone.
std::unique_ptr<CContract> TieredContract()
{
    auto c = test::SmallContract(0);
    CSubcontract* one = test::AddSub(*c, "One");
    CSubcontract* two = test::AddSub(*c, "Two", one);
    test::AddSub(*c, "Three", two);
    test::AddSub(*c, "Four");
    return c;
}

class TreeTest : public ::testing::Test {
protected:
    void Open(CContract& contract)
    {
        ASSERT_TRUE(program.Doc().OpenDocument(test::WriteContract(contract, program.dir.file("T.CON"))));
    }
    CWinMeta& Table() { return *program.Doc().Contract()->m_pSubTable; }
    CSubcontract* Row(int i) { return Table().m_Records[i]; }
    QTreeWidgetItem* Node(int row) { return program.Tree().FindNode(Row(row)); }
    QString Name(const QTreeWidgetItem* node) { return program.Tree().NodeText(node); }
    // The names of the subcontractor nodes in tree order, each after its depth.
    QStringList Outline()
    {
        QStringList lines;
        for (QTreeWidgetItemIterator it(&program.Tree()); *it; ++it) {
            if (CSubTreeView::KindOf(*it) != NODE_SUBCONTRACTOR)
                continue;
            int depth = 0;
            for (QTreeWidgetItem* p = (*it)->parent(); p && CSubTreeView::KindOf(p) == NODE_SUBCONTRACTOR;
                 p = p->parent())
                ++depth;
            lines << QString(depth, QLatin1Char('.')) + Name(*it);
        }
        return lines;
    }
    void SendDrop(const QMimeData& data, QTreeWidgetItem* target, bool* accepted)
    {
        CSubTreeView& tree = program.Tree();
        QApplication::processEvents(); // the tree lays its items out
        tree.scrollToItem(target);
        const QPoint at = tree.visualItemRect(target).center();
        QDragEnterEvent enter(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &enter);
        QDragMoveEvent move(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &move);
        if (move.isAccepted()) {
            EXPECT_EQ(tree.DropHighlight(), target);
        }
        QDropEvent drop(QPointF(at), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &drop);
        *accepted = drop.isAccepted() && drop.dropAction() == Qt::MoveAction;
        EXPECT_EQ(tree.DropHighlight(), nullptr);
    }

    ProgramFixture program;
};

TEST_F(TreeTest, NodesOfTheContract)
{
    auto c = TieredContract();
    FlagSet(c->m_wFlags, CONTRACT_HAS_MISC, 1);
    c->m_pMiscTable = test::MakeTextTable(3);
    c->m_pMiscTable->AddRecord(-1, -1);
    Open(*c);
    CSubTreeView& tree = program.Tree();
    QTreeWidgetItem* root = tree.ContractNode();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Name(root), QStringLiteral("T-100"));
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(tree.currentItem(), root);
    ASSERT_EQ(root->childCount(), 3);
    EXPECT_EQ(CSubTreeView::KindOf(root->child(0)), NODE_SUBCONTRACTORS);
    EXPECT_EQ(CSubTreeView::KindOf(root->child(1)), NODE_MISC_DATA);
    EXPECT_EQ(CSubTreeView::KindOf(root->child(2)), NODE_CONTRACT_ITEMS);
    EXPECT_EQ(Name(root->child(2)), QStringLiteral("Contract Items"));
    EXPECT_TRUE(root->child(0)->isExpanded());
    EXPECT_EQ(Outline(), QStringList({QStringLiteral("One"), QStringLiteral(".Two"),
                                      QStringLiteral("..Three"), QStringLiteral("Four")}));
    // An itemized record has its item list first, then its lower tiers.
    QTreeWidgetItem* one = Node(0);
    ASSERT_EQ(one->childCount(), 2);
    EXPECT_EQ(CSubTreeView::KindOf(one->child(0)), NODE_SUB_ITEMS);
    EXPECT_EQ(Name(one->child(0)), QStringLiteral("Subcontractor Items"));
    EXPECT_EQ(CSubTreeView::RecordOf(one->child(0)), Row(0));
    // No template nodes outside debug mode.
    EXPECT_EQ(tree.FindKind(NODE_TEMPLATE_INFO), nullptr);
}

TEST_F(TreeTest, FoldersShowTheCompletenessMarks)
{
    auto c = TieredContract();
    Open(*c);
    CSubTreeView& tree = program.Tree();
    FlagSet(Row(1)->m_wFlags, SUB_COMPLETE, 0);
    FlagSet(Row(0)->m_wFlags, SUB_ITEMS_COMPLETE, 1);
    FlagSet(Row(2)->m_wFlags, SUB_ITEMS_COMPLETE, 0);
    EXPECT_EQ(tree.StateOf(Node(0)), FOLDER_GREEN);
    EXPECT_EQ(tree.StateOf(Node(1)), FOLDER_RED);
    EXPECT_EQ(tree.StateOf(tree.SubcontractorsNode()), FOLDER_RED);
    EXPECT_EQ(tree.StateOf(Node(0)->child(0)), FOLDER_GREEN);
    EXPECT_EQ(tree.StateOf(Node(2)->child(0)), FOLDER_RED);
    FlagSet(program.Doc().Contract()->m_wFlags, CONTRACT_BID_ERRORS, 1);
    EXPECT_EQ(tree.StateOf(tree.ContractNode()), FOLDER_RED);
    FlagSet(program.Doc().Contract()->m_wFlags, CONTRACT_BID_ERRORS, 0);
    EXPECT_EQ(tree.StateOf(tree.ContractNode()), FOLDER_GREEN);
    EXPECT_EQ(tree.StateOf(tree.FindKind(NODE_CONTRACT_ITEMS)), FOLDER_YELLOW);
}

TEST_F(TreeTest, NoSubcontractorsIsAGreenEmptyNode)
{
    auto c = test::SmallContract(0);
    Open(*c);
    QTreeWidgetItem* subs = program.Tree().SubcontractorsNode();
    ASSERT_NE(subs, nullptr);
    EXPECT_EQ(subs->childCount(), 0);
    EXPECT_EQ(program.Tree().StateOf(subs), FOLDER_GREEN);
}

TEST_F(TreeTest, DebugModeListsTheDataTemplatesSorted)
{
    program.Doc().SetDebugMode(true);
    auto c = TieredContract();
    c->AddDataTemplate("Zeta", Text("z"));
    c->AddDataTemplate("Alpha", Text("a"));
    c->AddDataTemplate("Mid", Text("m"));
    Open(*c);
    QTreeWidgetItem* info = program.Tree().FindKind(NODE_TEMPLATE_INFO);
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->childCount(), 3);
    EXPECT_EQ(Name(info->child(0)), QStringLiteral("Alpha"));
    EXPECT_EQ(Name(info->child(2)), QStringLiteral("Zeta"));
    EXPECT_EQ(program.Tree().BindingOf(info->child(1)).templateName, QStringLiteral("Mid"));
    // Every subcontractor has its debug node.
    EXPECT_EQ(CSubTreeView::KindOf(Node(3)->child(Node(3)->childCount() - 1)), NODE_DEBUG_VIEW);
}

TEST_F(TreeTest, AddBelowTheSelectedRecordOnlyWhenTiersAreAllowed)
{
    auto c = TieredContract();
    Open(*c);
    CSubTreeView& tree = program.Tree();
    tree.setCurrentItem(Node(3));
    tree.OnAddSubcontractor();
    ASSERT_EQ(Table().m_Records.GetSize(), 5);
    CSubcontract* added = Row(4);
    EXPECT_EQ(added->m_pParent, Row(3));
    EXPECT_EQ(tree.currentItem(), tree.FindNode(added));
    EXPECT_EQ(tree.currentItem()->parent(), Node(3));
    EXPECT_EQ(Name(tree.currentItem()), QStringLiteral("<Unknown Subcontractor>"));

    // Without tiers a new record is a first-tier one whatever is selected.
    FlagSet(program.Doc().Contract()->m_wFlags, CONTRACT_DRAG_TIERS, 0);
    tree.setCurrentItem(Node(3));
    tree.OnAddSubcontractor();
    CSubcontract* top = Row(5);
    EXPECT_EQ(top->m_pParent, nullptr);
    EXPECT_EQ(tree.FindNode(top)->parent(), tree.SubcontractorsNode());
}

TEST_F(TreeTest, TheInsertAndDeleteKeys)
{
    auto c = TieredContract();
    Open(*c);
    program.Doc().Settings().deleteWarn = false;
    CSubTreeView& tree = program.Tree();
    tree.setCurrentItem(tree.SubcontractorsNode());
    QKeyEvent insert(QEvent::KeyPress, Qt::Key_Insert, Qt::NoModifier);
    QApplication::sendEvent(&tree, &insert);
    ASSERT_EQ(Table().m_Records.GetSize(), 5);
    EXPECT_EQ(tree.currentItem(), tree.FindNode(Row(4)));
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(&tree, &del);
    EXPECT_EQ(Table().m_Records.GetSize(), 4);
}

TEST_F(TreeTest, DeleteTakesTheLowerTiersAndNodesKeepTheirRecords)
{
    auto c = TieredContract();
    Open(*c);
    CSubTreeView& tree = program.Tree();
    CSubcontract* four = Row(3);
    tree.setCurrentItem(Node(0));
    program.asker.answers = {QMessageBox::No};
    tree.OnDeleteSubcontractor();
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked[0].caption, QStringLiteral("Delete Warning"));
    EXPECT_EQ(program.asker.asked[0].text,
              QStringLiteral("Are you sure you want to delete the Subcontractor record\nOne ?"));
    EXPECT_EQ(program.asker.asked[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(Table().m_Records.GetSize(), 4);

    program.asker.answers = {QMessageBox::Yes};
    tree.OnDeleteSubcontractor();
    ASSERT_EQ(Table().m_Records.GetSize(), 1);
    EXPECT_EQ(Row(0), four);
    EXPECT_EQ(Outline(), QStringList{QStringLiteral("Four")});
    EXPECT_EQ(tree.FindNode(four), tree.SubcontractorsNode()->child(0));
    // The record before the deleted one was row 0: row 0 is chosen.
    EXPECT_EQ(tree.currentItem(), tree.FindNode(four));

    // Undone, the three come back under the same nodes' records.
    program.Doc().UndoStack().undo();
    EXPECT_EQ(Table().m_Records.GetSize(), 4);
    EXPECT_EQ(Outline(), QStringList({QStringLiteral("One"), QStringLiteral(".Two"),
                                      QStringLiteral("..Three"), QStringLiteral("Four")}));
    program.Doc().UndoStack().redo();
    EXPECT_EQ(Outline(), QStringList{QStringLiteral("Four")});
}

TEST_F(TreeTest, DeletingALaterRecordChoosesTheOneBefore)
{
    auto c = test::SmallContract(4);
    Open(*c);
    program.Doc().Settings().deleteWarn = false;
    CSubTreeView& tree = program.Tree();
    CSubcontract* second = Row(1);
    tree.setCurrentItem(Node(2));
    ASSERT_TRUE(tree.CanDeleteSubcontractor());
    tree.OnDeleteSubcontractor();
    EXPECT_TRUE(program.asker.asked.empty());
    EXPECT_EQ(tree.currentItem(), tree.FindNode(second));
    EXPECT_EQ(Outline(),
              QStringList({QStringLiteral("Sub 1"), QStringLiteral("Sub 2"), QStringLiteral("Sub 4")}));
}

TEST_F(TreeTest, DeleteIsRefusedForALockedRecord)
{
    auto c = test::SmallContract(2);
    FlagSet(c->m_wFlags, CONTRACT_IRONBARK_LOCKED, 1);
    FlagSet(c->m_pSubTable->m_Records[1]->m_wFlags, SUB_FROMIRONBARK, 1);
    Open(*c);
    CSubTreeView& tree = program.Tree();
    tree.setCurrentItem(Node(1));
    EXPECT_FALSE(tree.CanDeleteSubcontractor());
    EXPECT_FALSE(program.Frame().Action(QStringLiteral("editDeleteSub"))->isEnabled());
    tree.setCurrentItem(Node(0));
    EXPECT_TRUE(tree.CanDeleteSubcontractor());
    EXPECT_TRUE(program.Frame().Action(QStringLiteral("editDeleteSub"))->isEnabled());
    tree.setCurrentItem(tree.SubcontractorsNode());
    EXPECT_FALSE(program.Frame().Action(QStringLiteral("editDeleteSub"))->isEnabled());
}

TEST_F(TreeTest, DraggingBetweenTiers)
{
    auto c = TieredContract();
    Open(*c);
    CSubTreeView& tree = program.Tree();
    CSubcontract* one = Row(0);
    CSubcontract* two = Row(1);
    CSubcontract* three = Row(2);
    CSubcontract* four = Row(3);
    bool accepted = true;
    // A first-tier record onto "Subcontractors": refused.
    std::unique_ptr<QMimeData> dragOne(tree.MakeDragData(*one));
    SendDrop(*dragOne, tree.SubcontractorsNode(), &accepted);
    EXPECT_FALSE(accepted);
    // A record onto its own lower tier, or onto itself: refused.
    SendDrop(*dragOne, tree.FindNode(three), &accepted);
    EXPECT_FALSE(accepted);
    SendDrop(*dragOne, tree.FindNode(one), &accepted);
    EXPECT_FALSE(accepted);
    // Onto a node that is not a subcontractor: refused.
    SendDrop(*dragOne, tree.FindKind(NODE_CONTRACT_ITEMS), &accepted);
    EXPECT_FALSE(accepted);
    EXPECT_EQ(program.Doc().UndoStack().count(), 0);
    EXPECT_TRUE(program.asker.asked.empty());

    // Two (with Three below it) onto Four: accepted; the node goes to the
    // end of Four's, with its lower tier.
    std::unique_ptr<QMimeData> dragTwo(tree.MakeDragData(*two));
    SendDrop(*dragTwo, tree.FindNode(four), &accepted);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(two->m_pParent, four);
    EXPECT_EQ(Outline(), QStringList({QStringLiteral("One"), QStringLiteral("Four"), QStringLiteral(".Two"),
                                      QStringLiteral("..Three")}));
    // And back to the first tier.
    SendDrop(*dragTwo, tree.SubcontractorsNode(), &accepted);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(two->m_pParent, nullptr);
    EXPECT_EQ(tree.FindNode(two)->parent(), tree.SubcontractorsNode());
    // Undo puts it under Four again.
    program.Doc().UndoStack().undo();
    EXPECT_EQ(two->m_pParent, four);
    EXPECT_EQ(tree.FindNode(two)->parent(), tree.FindNode(four));
}

TEST_F(TreeTest, OnlyDragsOfThisTreeInItsFormatAreAccepted)
{
    auto c = TieredContract();
    Open(*c);
    CSubTreeView& tree = program.Tree();
    CSubcontract* two = Row(1);
    QTreeWidgetItem* target = tree.SubcontractorsNode();
    bool accepted = true;
    // Another tree's drag of the same record.
    CSubTreeView other(program.Doc());
    std::unique_ptr<QMimeData> foreign(other.MakeDragData(*two));
    SendDrop(*foreign, target, &accepted);
    EXPECT_FALSE(accepted);
    // Malformed data in the format, a number no record has, plain text.
    QMimeData malformed;
    malformed.setData(CSubClipboard::MimeType(), QByteArray("no separator"));
    SendDrop(malformed, target, &accepted);
    EXPECT_FALSE(accepted);
    std::unique_ptr<QMimeData> own(tree.MakeDragData(*two));
    const auto payload = CSubClipboard::Read(own.get());
    ASSERT_TRUE(payload);
    std::unique_ptr<QMimeData> unknown(CSubClipboard::Make(payload->token, QByteArray("99999999")));
    SendDrop(*unknown, target, &accepted);
    EXPECT_FALSE(accepted);
    QMimeData text;
    text.setText(QStringLiteral("00000002"));
    EXPECT_FALSE(tree.AcceptsDrop(&text, target));
    EXPECT_EQ(two->m_pParent, Row(0));
    // The number, not a window handle, names the record.
    EXPECT_EQ(payload->number, QByteArray(Row(1)->GetCellText(SUBF_NUMBER)->View().data()));
    // Without tiers nothing is dragged anywhere.
    FlagSet(program.Doc().Contract()->m_wFlags, CONTRACT_DRAG_TIERS, 0);
    EXPECT_FALSE(tree.AcceptsDrop(own.get(), target));
}

TEST_F(TreeTest, ChoosingANodeOpensItsView)
{
    auto c = TieredContract();
    Open(*c);
    CSubTreeView& tree = program.Tree();
    std::vector<ViewBinding> shown;
    QObject::connect(&tree, &CSubTreeView::nodeSelected, &tree,
                     [&shown](const ViewBinding& binding) { shown.push_back(binding); });
    tree.setCurrentItem(Node(1));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, NODE_SUBCONTRACTOR);
    EXPECT_EQ(shown[0].record, Row(1));
    EXPECT_EQ(shown[0].label, QStringLiteral("Two"));
}

} // namespace
} // namespace kestrel

namespace kestrel {
namespace {

TEST_F(TreeTest, NamesAndItemListsFollowTheChangeEvents)
{
    auto c = TieredContract();
    Open(*c);
    CSubTreeView& tree = program.Tree();
    // A name is read whenever the node is drawn.
    Row(3)->SetName(Text("Renamed"));
    EXPECT_EQ(Name(Node(3)), QStringLiteral("Renamed"));
    // A record no longer itemized loses its item list when the change says so.
    FlagSet(Row(0)->m_wFlags, SUB_USESSUBITEMS, 0);
    ChangeEvent event;
    event.kind = ChangeKind::Cell;
    event.record = Row(0);
    event.treeChanged = true;
    program.Doc().ContractChanged(event);
    for (int i = 0; i < Node(0)->childCount(); ++i)
        EXPECT_NE(CSubTreeView::KindOf(Node(0)->child(i)), NODE_SUB_ITEMS);
    // Its lower tiers are not itemized either now (their parent is not).
    for (int i = 0; i < Node(1)->childCount(); ++i)
        EXPECT_NE(CSubTreeView::KindOf(Node(1)->child(i)), NODE_SUB_ITEMS);
    FlagSet(Row(0)->m_wFlags, SUB_USESSUBITEMS, 1);
    program.Doc().ContractChanged(event);
    ASSERT_GT(Node(0)->childCount(), 0);
    EXPECT_EQ(CSubTreeView::KindOf(Node(0)->child(0)), NODE_SUB_ITEMS);
    EXPECT_EQ(CSubTreeView::KindOf(Node(1)->child(0)), NODE_SUB_ITEMS);
    EXPECT_EQ(tree.StateOf(Node(0)->child(0)), FlagTest(Row(0)->m_wFlags, SUB_ITEMS_COMPLETE) ? 1 : 0);
}

TEST_F(TreeTest, TheContextMenuOffersTheCommandsOfTheNode)
{
    auto c = TieredContract();
    Open(*c);
    CSubTreeView& tree = program.Tree();
    // The menus themselves run modally; what they offer is the frame's
    // commands, enabled for the node under the right button.
    tree.setCurrentItem(tree.SubcontractorsNode());
    EXPECT_TRUE(program.Frame().Action(QStringLiteral("editAddSub"))->isEnabled());
    EXPECT_FALSE(program.Frame().Action(QStringLiteral("editDeleteSub"))->isEnabled());
    QApplication::processEvents();
    const QPoint at = tree.visualItemRect(Node(3)).center();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), tree.viewport()->mapToGlobal(QPointF(at)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &press);
    EXPECT_EQ(tree.currentItem(), Node(3));
    EXPECT_TRUE(program.Frame().Action(QStringLiteral("editDeleteSub"))->isEnabled());
}

} // namespace
} // namespace kestrel
