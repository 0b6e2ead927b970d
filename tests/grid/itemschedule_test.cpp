// The contract item schedule: its two rows per entry, the current item's
// colours, typing quantities and prices (and the keys that move the editor
// from price to price), the "counted although fixed price" mark, columns
// dragged elsewhere, and the status bar's total.

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QTest>

#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/subsettings.h"
#include "app/subtreeview.h"
#include "grid/contitemdatasource.h"
#include "grid/editctl.h"
#include "grid/gridcell.h"
#include "grid/gridmodel.h"
#include "grid/gridview.h"
#include "grid/itemgridfixture.h"
#include "grid/itemtexts.h"
#include "model/contract/contract.h"
#include "views/dv_itemschedulegrid.h"

namespace kestrel {
namespace {

using Col = CContItemDataSource::ColumnId;
using test::SendKey;
using test::TypeText;

class ScheduleTest : public test::ItemGridTest {
protected:
    void SetUp() override
    {
        Open(test::ScheduleContract(1));
        m_view = &Schedule();
    }
    CDV_ItemScheduleGrid& View() { return *m_view; }
    QString Text(int row, int column) { return Model().index(row, column).data().toString(); }
    GridCell CellAt(int row, int column)
    {
        return Model().index(row, column).data(CGridModel::CellRole).value<GridCell>();
    }
    CGridModel& Model() { return *m_view->Grid()->Model(); }
    CItem& Item(int index) { return *Contract().m_Items[index]; }
    // Opens the editor on a cell, as a double click would (an editor still
    // open is left first).
    CEditCtl* EditCell(int row, int column)
    {
        if (Editor())
            SendKey(Editor(), Qt::Key_Escape);
        CGridView& grid = *m_view->Grid();
        const QModelIndex index = Model().index(row, column);
        grid.setCurrentIndex(index);
        grid.edit(index);
        return Editor();
    }
    // The open editor (editors closed wait to be deleted).
    CEditCtl* Editor()
    {
        for (CEditCtl* editor : m_view->Grid()->findChildren<CEditCtl*>())
            if (editor->isVisible())
                return editor;
        return nullptr;
    }
    QModelIndex Current() { return m_view->Grid()->currentIndex(); }

private:
    CDV_ItemScheduleGrid* m_view = nullptr;
};

TEST_F(ScheduleTest, RowsOfItemsAndSections)
{
    const CContract& c = Contract();
    ASSERT_EQ(Model().rowCount(), 2 * c.m_Items.GetSize());
    ASSERT_EQ(Model().columnCount(), 6);
    EXPECT_EQ(Model().headerData(Col::ColUnitPrice, Qt::Horizontal).toString(), QStringLiteral("Unit Price"));
    // A section: its number across the first five columns, its total
    // under "Extension"; its alternate code and long description below.
    EXPECT_EQ(Text(0, Col::ColLine), QStringLiteral("  Section 0001"));
    EXPECT_EQ(Text(0, Col::ColQuantity), QStringLiteral("  Section 0001"));
    EXPECT_EQ(Text(0, Col::ColExtension), MoneyText(Item(0).m_fExtension, c.m_ExtFormat));
    EXPECT_EQ(Text(0, Col::ColExtension), QStringLiteral("$506.00"));
    EXPECT_EQ(Text(1, Col::ColLine), QStringLiteral("A1"));
    EXPECT_EQ(Text(1, Col::ColItem), QStringLiteral("Roadway and drainage"));
    EXPECT_EQ(CellAt(0, Col::ColLine).style, GridRowStyle::Section);
    EXPECT_EQ(CellAt(1, Col::ColExtension).style, GridRowStyle::Section);
    // An item: line, number, quantity with separators, unit, money.
    EXPECT_EQ(Text(2, Col::ColLine), QStringLiteral("0010"));
    EXPECT_EQ(Text(2, Col::ColItem), QStringLiteral("201-01"));
    EXPECT_EQ(Text(2, Col::ColQuantity), QStringLiteral("3.000"));
    EXPECT_EQ(Text(2, Col::ColUnit), QStringLiteral("EA"));
    EXPECT_EQ(Text(2, Col::ColUnitPrice), QStringLiteral("$2.00"));
    EXPECT_EQ(Text(2, Col::ColExtension), QStringLiteral("$6.00"));
    EXPECT_EQ(Text(3, Col::ColLine), QStringLiteral("X7"));
    EXPECT_EQ(Text(3, Col::ColExtension), QStringLiteral("Clearing"));
    EXPECT_EQ(CellAt(2, Col::ColUnitPrice).alignment & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(CellAt(2, Col::ColLine).alignment & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    // A lump-sum item shows "LUMP" for its quantity.
    EXPECT_EQ(Text(4, Col::ColQuantity), QStringLiteral("LUMP"));
    EXPECT_EQ(Text(4, Col::ColExtension), QStringLiteral("$500.00"));
    // Thousands separators.
    EXPECT_EQ(Text(12, Col::ColQuantity), QStringLiteral("100.000"));
    Item(6).m_fQuantity = 12345.5;
    EXPECT_EQ(Text(12, Col::ColQuantity), QStringLiteral("12,345.500"));
}

TEST_F(ScheduleTest, CellsJoinAcrossTheirColumns)
{
    const auto* item = Model().JoinGroups(2);
    EXPECT_EQ(item, nullptr); // an item's first row: every cell alone
    const auto* section = Model().JoinGroups(0);
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(*section, (std::vector<int>{0, 0, 0, 0, 0, 5}));
    ASSERT_NE(Model().JoinGroups(3), nullptr);
    EXPECT_EQ(*Model().JoinGroups(3), (std::vector<int>{0, 1, 1, 1, 1, 1}));
    // A fixed-price item keeps "Unit Price" for its mark.
    ASSERT_NE(Model().JoinGroups(7), nullptr);
    EXPECT_EQ(*Model().JoinGroups(7), (std::vector<int>{0, 1, 1, 1, 4, 5}));
    EXPECT_EQ(CellAt(7, Col::ColUnitPrice).kind.type, GridCellType::CheckBox);
    EXPECT_EQ(CellAt(3, Col::ColUnitPrice).kind.type, GridCellType::Text);

    // The run a joined cell covers follows the columns where they stand.
    const QHeaderView& header = *View().Grid()->horizontalHeader();
    const JoinedRun description = RunOf(header, *Model().JoinGroups(3), Col::ColUnit);
    EXPECT_EQ(description.firstVisual, 1);
    EXPECT_EQ(description.lastVisual, 5);
    EXPECT_TRUE(description.showsText);
    View().Grid()->horizontalHeader()->moveSection(0, 3); // "Line" between "Unit" and "Unit Price"
    const JoinedRun left = RunOf(header, *Model().JoinGroups(3), Col::ColItem);
    EXPECT_EQ(left.firstVisual, 0);
    EXPECT_EQ(left.lastVisual, 2);
    EXPECT_TRUE(left.showsText); // holds "Item", the description's first column
    const JoinedRun right = RunOf(header, *Model().JoinGroups(3), Col::ColExtension);
    EXPECT_EQ(right.firstVisual, 4);
    EXPECT_EQ(right.lastVisual, 5);
    EXPECT_FALSE(right.showsText);
}

TEST_F(ScheduleTest, BothRowsOfTheCurrentItemTakeTheCurrentColours)
{
    CDV_ItemScheduleGrid& view = View();
    CGridView& grid = *view.Grid();
    // The cursor starts on the first price that can be typed.
    EXPECT_EQ(Current().row(), 2);
    EXPECT_EQ(Current().column(), int(Col::ColUnitPrice));
    grid.setCurrentIndex(Model().index(13, Col::ColLine));
    EXPECT_EQ(Model().CurrentRecord(), 6);
    EXPECT_TRUE(CellAt(12, Col::ColExtension).current);
    EXPECT_TRUE(CellAt(13, Col::ColLine).current);
    EXPECT_FALSE(CellAt(11, Col::ColLine).current);
    EXPECT_FALSE(CellAt(2, Col::ColLine).current);

    // With the gradient background the settings' grid colours; without,
    // the system's. Section rows are white on grey.
    CSubSettings& settings = program.Doc().Settings();
    settings.backgroundType = 1;
    settings.gridBkgColor = QColor(239, 234, 222);
    settings.gridHiliteColor = QColor(79, 67, 38);
    program.Doc().BroadcastColorHint();
    const CGridDelegate& delegate = *grid.Delegate();
    EXPECT_EQ(delegate.Background(CellAt(2, Col::ColLine)), QColor(239, 234, 222));
    EXPECT_EQ(delegate.Background(CellAt(12, Col::ColLine)), QColor(79, 67, 38));
    EXPECT_EQ(delegate.Foreground(CellAt(12, Col::ColLine)), grid.palette().color(QPalette::HighlightedText));
    EXPECT_EQ(delegate.Background(CellAt(0, Col::ColLine)), QColor(128, 128, 128));
    EXPECT_EQ(delegate.Foreground(CellAt(0, Col::ColLine)), QColor(255, 255, 255));
    settings.backgroundType = 0;
    program.Doc().BroadcastColorHint();
    EXPECT_EQ(delegate.Background(CellAt(2, Col::ColLine)), grid.palette().color(QPalette::Base));
    EXPECT_EQ(delegate.Background(CellAt(12, Col::ColLine)), grid.palette().color(QPalette::Highlight));
    // A current section: the system's highlight.
    grid.setCurrentIndex(Model().index(8, Col::ColLine));
    EXPECT_EQ(delegate.Background(CellAt(9, Col::ColLine)), grid.palette().color(QPalette::Highlight));
    EXPECT_EQ(delegate.Foreground(CellAt(9, Col::ColLine)), grid.palette().color(QPalette::HighlightedText));
}

TEST_F(ScheduleTest, TabAndEnterGoFromPriceToPriceSkippingHeadingsAndFixedPrices)
{
    CEditCtl* editor = EditCell(2, Col::ColUnitPrice);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("2.00"));
    SendKey(editor, Qt::Key_Tab);
    // 0020's price.
    EXPECT_EQ(Current(), Model().index(4, Col::ColUnitPrice));
    ASSERT_NE(Editor(), nullptr);
    // 0030 is a fixed price and the heading 0002 no item: on to the
    // option 0040, whose second row takes the editor.
    SendKey(Editor(), Qt::Key_Return);
    EXPECT_EQ(Current(), Model().index(11, Col::ColUnitPrice));
    ASSERT_NE(Editor(), nullptr);
    SendKey(Editor(), Qt::Key_Down);
    EXPECT_EQ(Current(), Model().index(12, Col::ColUnitPrice));
    // Forward past the last item: the edit just ends.
    SendKey(Editor(), Qt::Key_Tab);
    EXPECT_EQ(Current(), Model().index(12, Col::ColUnitPrice));
    EXPECT_EQ(Editor(), nullptr);

    EditCell(12, Col::ColUnitPrice);
    SendKey(Editor(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Current(), Model().index(11, Col::ColUnitPrice));
    SendKey(Editor(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Current(), Model().index(4, Col::ColUnitPrice));
    SendKey(Editor(), Qt::Key_Up);
    EXPECT_EQ(Current(), Model().index(2, Col::ColUnitPrice));
    // Backward from the first item: nowhere to go.
    SendKey(Editor(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(Current(), Model().index(2, Col::ColUnitPrice));
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join(QLatin1Char('\n')).toStdString();
}

TEST_F(ScheduleTest, PageAndHomeEndTheEditAndMoveTheCursor)
{
    CEditCtl* editor = EditCell(4, Col::ColQuantity);
    ASSERT_NE(editor, nullptr);
    SendKey(editor, Qt::Key_End);
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(Current(), Model().index(Model().rowCount() - 1, Col::ColQuantity));
    EditCell(4, Col::ColQuantity);
    SendKey(Editor(), Qt::Key_Home);
    EXPECT_EQ(Current(), Model().index(0, Col::ColQuantity));
    EditCell(4, Col::ColQuantity);
    SendKey(Editor(), Qt::Key_PageDown);
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_GT(Current().row(), 4);
}

TEST_F(ScheduleTest, TypedValuesGoThroughTheEditLayer)
{
    CEditCtl* editor = EditCell(2, Col::ColUnitPrice);
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    TypeText(editor, QStringLiteral("@QUAN*2"));
    SendKey(Editor(), Qt::Key_Tab);
    // Quantity 3: the price is 6, the extension, section and contract
    // totals follow; the document is modified.
    EXPECT_DOUBLE_EQ(Item(1).m_fUnitPrice, 6);
    EXPECT_DOUBLE_EQ(Item(1).m_fExtension, 18);
    EXPECT_EQ(Text(2, Col::ColUnitPrice), QStringLiteral("$6.00"));
    EXPECT_EQ(Text(0, Col::ColExtension), QStringLiteral("$518.00"));
    EXPECT_TRUE(program.Doc().IsModified());
    EXPECT_EQ(program.Frame().TotalPane()->text(), program.Doc().ContractTotalText());
    // A quantity with "@UP", the unit price, and "$" and "," removed.
    editor = EditCell(12, Col::ColQuantity);
    editor->selectAll();
    TypeText(editor, QStringLiteral("$1,000/@UP"));
    SendKey(Editor(), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(Item(6).m_fQuantity, 250) << Messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Text(12, Col::ColQuantity), QStringLiteral("250.000"));
    // Undo puts the old quantity back, and the grid shows it.
    program.Doc().UndoStack().undo();
    EXPECT_EQ(Text(12, Col::ColQuantity), QStringLiteral("100.000"));
    // An editor left as it was opened changes nothing.
    program.Doc().UndoStack().clear();
    EditCell(2, Col::ColQuantity);
    SendKey(Editor(), Qt::Key_Tab);
    EXPECT_EQ(program.Doc().UndoStack().count(), 0);
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join(QLatin1Char('\n')).toStdString();
}

TEST_F(ScheduleTest, AMistypedEntryIsRefusedOnceAndTheOldValueStays)
{
    CEditCtl* editor = EditCell(2, Col::ColQuantity);
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    TypeText(editor, QStringLiteral("3*/"));
    SendKey(Editor(), Qt::Key_Return);
    // The cursor stays; the message waits until the edit is over.
    EXPECT_EQ(Current(), Model().index(2, Col::ColQuantity));
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join(QLatin1Char('\n')).toStdString();
    // Editing ends a second time (the focus goes) before the message shows.
    program.Tree().setFocus();
    QApplication::processEvents();
    QApplication::processEvents();
    ASSERT_EQ(program.asker.asked.size(), 1u) << Messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(program.asker.asked[0].caption, QStringLiteral("Entry Error"));
    EXPECT_EQ(program.asker.asked[0].icon, QMessageBox::Warning);
    EXPECT_FALSE(program.asker.asked[0].text.isEmpty());
    EXPECT_DOUBLE_EQ(Item(1).m_fQuantity, 3);
    EXPECT_EQ(Text(2, Col::ColQuantity), QStringLiteral("3.000"));
    EXPECT_FALSE(program.Doc().IsModified());
    // A fixed price is not the contractor's to type.
    EXPECT_FALSE(Model().flags(Model().index(6, Col::ColUnitPrice)) & Qt::ItemIsEditable);
    EXPECT_TRUE(Model().flags(Model().index(2, Col::ColUnitPrice)) & Qt::ItemIsEditable);
    EXPECT_FALSE(Model().flags(Model().index(0, Col::ColUnitPrice)) & Qt::ItemIsEditable);
}

// Line 0020 is a lump sum: a number typed into its "LUMP" is refused with
// the reason, and the grid goes on showing what the contract uses.
TEST_F(ScheduleTest, ALumpSumsQuantityIsRefusedAndStillReadsLump)
{
    const double extension = Item(2).m_fExtension;
    CEditCtl* editor = EditCell(4, Col::ColQuantity);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("LUMP"));
    SendKey(Editor(), Qt::Key_Tab); // left as it opened: nothing
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join(QLatin1Char('\n')).toStdString();
    editor = EditCell(4, Col::ColQuantity);
    editor->selectAll();
    TypeText(editor, QStringLiteral("5"));
    SendKey(Editor(), Qt::Key_Return);
    program.Tree().setFocus();
    QApplication::processEvents();
    QApplication::processEvents();
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked[0].text,
              QStringLiteral("Item 0020 is a lump sum: its quantity cannot be changed"));
    EXPECT_EQ(Text(4, Col::ColQuantity), QStringLiteral("LUMP"));
    EXPECT_EQ(Item(2).m_fExtension, extension);
    EXPECT_EQ(Text(4, Col::ColExtension), QStringLiteral("$500.00"));
    EXPECT_FALSE(program.Doc().IsModified());
}

TEST_F(ScheduleTest, TheCountedMarkOfAFixedPriceItem)
{
    const double total = Contract().m_fContractTotal;
    const QModelIndex mark = Model().index(7, Col::ColUnitPrice);
    EXPECT_EQ(mark.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    test::ClickCell(*View().Grid(), mark);
    EXPECT_TRUE(FlagTest(Item(3).m_wFlags, ITEM_COUNT_FIXED));
    EXPECT_EQ(mark.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    // Counted, 0030 adds its 20.00 to the totals.
    EXPECT_DOUBLE_EQ(Contract().m_fContractTotal, total + 20);
    EXPECT_EQ(program.Frame().TotalPane()->text(), program.Doc().ContractTotalText());
    // Typed: "T" or "t", or a whole number other than 0, sets it.
    for (const auto& [typed, counted] :
         std::vector<std::pair<QString, bool>>{{QStringLiteral("0"), false},
                                               {QStringLiteral("t"), true},
                                               {QStringLiteral("no"), false},
                                               {QStringLiteral("2"), true},
                                               {QStringLiteral("0.5"), false},
                                               {QStringLiteral("True"), true},
                                               {QStringLiteral(" -1"), true}}) {
        (void)Model().setData(mark, typed, Qt::EditRole);
        EXPECT_EQ(FlagTest(Item(3).m_wFlags, ITEM_COUNT_FIXED), counted) << typed.toStdString();
    }
    // The option's second row gets its editor at the same place.
    CEditCtl* editor = EditCell(11, Col::ColUnitPrice);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("0"));
    editor->selectAll();
    TypeText(editor, QStringLiteral("1"));
    SendKey(Editor(), Qt::Key_Tab);
    EXPECT_TRUE(FlagTest(Item(5).m_wFlags, ITEM_COUNT_FIXED));
    EXPECT_EQ(Current(), Model().index(12, Col::ColUnitPrice));
}

TEST_F(ScheduleTest, AMovedColumnKeepsItsCellsItsWidthAndItsRole)
{
    CDV_ItemScheduleGrid& view = View();
    CGridView& grid = *view.Grid();
    QHeaderView& header = *grid.horizontalHeader();
    const int extensionWidth = header.sectionSize(Col::ColExtension);
    // "Extension" dragged to the first place.
    header.moveSection(header.visualIndex(Col::ColExtension), 0);
    QApplication::processEvents();
    EXPECT_EQ(header.logicalIndex(0), int(Col::ColExtension));
    EXPECT_EQ(header.logicalIndex(4), int(Col::ColUnit));
    EXPECT_EQ(header.sectionSize(Col::ColExtension), extensionWidth);
    EXPECT_EQ(Text(2, Col::ColExtension), QStringLiteral("$6.00"));
    // Column 4 is still "Unit Price", wherever it stands now.
    ASSERT_TRUE(Model().setData(Model().index(2, Col::ColUnitPrice), QStringLiteral("5"), Qt::EditRole));
    EXPECT_DOUBLE_EQ(Item(1).m_fUnitPrice, 5);
    EXPECT_EQ(Text(2, Col::ColUnit), QStringLiteral("EA"));
    // The editor still goes from price to price.
    CEditCtl* editor = EditCell(2, Col::ColUnitPrice);
    ASSERT_NE(editor, nullptr);
    SendKey(editor, Qt::Key_Tab);
    EXPECT_EQ(Current(), Model().index(4, Col::ColUnitPrice));
    SendKey(Editor(), Qt::Key_Escape);
    // The mark under "Unit Price" still sets the counted bit.
    test::ClickCell(grid, Model().index(7, Col::ColUnitPrice));
    EXPECT_TRUE(FlagTest(Item(3).m_wFlags, ITEM_COUNT_FIXED));
    // The widths are computed again for the new order: the window shared.
    view.resize(view.width() - 40, view.height());
    QApplication::processEvents();
    int sum = 0;
    for (int i = 0; i < header.count(); ++i)
        sum += header.sectionSize(i);
    EXPECT_EQ(sum, grid.AvailableWidth());
    EXPECT_EQ(header.logicalIndex(0), int(Col::ColExtension));
}

TEST_F(ScheduleTest, TheTotalPaneIsAsWideAsTheExtensionColumn)
{
    CDV_ItemScheduleGrid& view = View();
    const int wanted = view.Grid()->horizontalHeader()->sectionSize(Col::ColExtension) - 6;
    EXPECT_EQ(view.TotalPaneWidth(), wanted);
    EXPECT_EQ(program.Frame().TotalPane()->width(), CMainFrame::TotalPaneWidth(wanted, 0));
    EXPECT_EQ(program.Frame().TotalPane()->text(), program.Doc().ContractTotalText());
}

TEST_F(ScheduleTest, CtrlCCopiesTheSelectedRowsAsASpreadsheetDoes)
{
    // Two items chosen with a click and a Shift+click; each comes with both
    // its rows, the cells in the order the columns stand, tab-separated.
    CGridView& grid = *View().Grid();
    grid.setFocus();
    test::ClickCell(grid, Model().index(2, Col::ColLine));
    const QPoint at = grid.visualRect(Model().index(4, Col::ColLine)).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, at);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 5); // and the end of the last line
    EXPECT_EQ(lines[0], QStringLiteral("0010\t201-01\t3.000\tEA\t$2.00\t$6.00"));
    EXPECT_EQ(lines[1], QStringLiteral("X7\tClearing\t\t\t\t"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("0020\t")) &&
                lines[2].contains(QStringLiteral("\tLUMP\t")));
    // A column dragged elsewhere is copied where it stands.
    grid.horizontalHeader()->moveSection(Col::ColExtension, 0);
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("$6.00\t0010\t201-01")));
}

} // namespace
} // namespace kestrel
