#include "grid/itemgridfixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeWidgetItem>

#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "grid/gridview.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"
#include "views/dv_itemschedulegrid.h"
#include "views/dv_subitem.h"
#include "views/dv_subitemgrid.h"
#include "views/subitemsplitter.h"

namespace kestrel::test {

std::unique_ptr<CContract> ScheduleContract(int subcontractors, uint16_t flags)
{
    auto c = std::make_unique<CContract>();
    c->m_strHeader[HDR_CONTRACT_ID] = std::string("G-200");
    c->m_QuanFormat = NumberFormat{9, 3};
    c->m_UPFormat = NumberFormat{8, 2};
    c->m_ExtFormat = NumberFormat{9, 2};
    CItem* h1 = AddHeading(*c, "0001");
    h1->m_strAltCode = std::string("A1");
    h1->m_strLongDesc = std::string("Roadway\r\nand drainage");
    CItem* i10 = AddItem(*c, "0010", 3, 2);
    i10->m_strItemNumber = std::string("201-01");
    i10->m_strUnit = std::string("EA");
    i10->m_strShortDesc = std::string("Clearing");
    i10->m_strAltCode = std::string("X7");
    CItem* i20 = AddItem(*c, "0020", 1, 500);
    i20->m_strUnit = std::string("LS");
    FlagSet(i20->m_wFlags, ITEM_LUMP_SUM, 1);
    CItem* i30 = AddItem(*c, "0030", 2, 10);
    i30->m_strUnit = std::string("EA");
    FlagSet(i30->m_wFlags, ITEM_FIXED_PRICE, 1);
    AddHeading(*c, "0002");
    CItem* i40 = AddItem(*c, "0040", 1, 75);
    FlagSet(i40->m_wFlags, ITEM_FIXED_PRICE, 1);
    FlagSet(i40->m_wFlags, ITEM_IS_OPTION, 1);
    CItem* i50 = AddItem(*c, "0050", 100, 4);
    i50->m_strUnit = std::string("TON");
    c->m_pSubTable = MakeTextTable(24);
    for (int i = 0; i < subcontractors; ++i)
        AddSub(*c, "Sub " + std::to_string(i + 1));
    FlagSet(c->m_wFlags, CONTRACT_SHOW_ITEMS, 1);
    FlagSet(c->m_wFlags, CONTRACT_DRAG_TIERS, 1);
    c->m_wFlags |= flags;
    c->RecalculateContract();
    return c;
}

void SendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = QApplication::focusWidget() && widget->isAncestorOf(QApplication::focusWidget())
                          ? QApplication::focusWidget()
                          : widget;
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(target, &release);
}

void TypeText(QWidget* widget, const QString& text)
{
    for (QChar ch : text) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : widget;
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &press);
    }
}

void ClickCell(CGridView& grid, const QModelIndex& index)
{
    const QPoint at = grid.visualRect(index).center();
    QWidget* viewport = grid.viewport();
    const QPointF global = viewport->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
}

void ItemGridTest::Open(std::unique_ptr<CContract> contract)
{
    ASSERT_TRUE(program.Doc().OpenDocument(WriteContract(*contract, program.dir.file("G.CON"))));
    program.Frame().resize(1100, 700);
    program.Frame().show();
    QApplication::setActiveWindow(&program.Frame());
    QApplication::processEvents();
}

CContract& ItemGridTest::Contract()
{
    return *program.Doc().Contract();
}

CSubcontract* ItemGridTest::Sub(int row)
{
    return Contract().m_pSubTable->m_Records[row];
}

CDV_ItemScheduleGrid& ItemGridTest::Schedule()
{
    program.Tree().setCurrentItem(program.Tree().FindKind(NODE_CONTRACT_ITEMS));
    QApplication::processEvents();
    auto* view = qobject_cast<CDV_ItemScheduleGrid*>(program.Frame().View()->RightPane());
    EXPECT_NE(view, nullptr);
    return *view;
}

CDV_SubItemGrid& ItemGridTest::SubItems(const CSubcontract* record)
{
    QTreeWidgetItem* node = program.Tree().FindNode(record);
    EXPECT_NE(node, nullptr);
    for (int i = 0; node && i < node->childCount(); ++i)
        if (CSubTreeView::KindOf(node->child(i)) == NODE_SUB_ITEMS)
            program.Tree().setCurrentItem(node->child(i));
    QApplication::processEvents();
    CSubItemSplitter* split = program.Frame().View()->ItemSplitter();
    EXPECT_NE(split, nullptr);
    return *qobject_cast<CDV_SubItemGrid*>(split->Upper());
}

CDV_SubItem& ItemGridTest::Entry()
{
    return *qobject_cast<CDV_SubItem*>(program.Frame().View()->ItemSplitter()->Lower());
}

QStringList ItemGridTest::Messages() const
{
    QStringList messages;
    for (const ScriptedAsker::Question& q : program.asker.asked)
        messages << q.caption + QStringLiteral(": ") + q.text;
    return messages;
}

} // namespace kestrel::test
