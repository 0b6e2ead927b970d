// A subcontractor's items: the rows of a first and of a lower tier, what
// each cell shows (the error mark, what the tier has left, the prices of
// the tier above), the "Use?" boxes with their refusal on a locked item,
// the column widths and the height kept in the settings.

#include <QApplication>
#include <QHeaderView>

#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/subsettings.h"
#include "app/subview.h"
#include "grid/gridcell.h"
#include "grid/gridmodel.h"
#include "grid/gridview.h"
#include "grid/itemgridfixture.h"
#include "grid/subitemdatasource.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"
#include "views/dv_subitem.h"
#include "views/dv_subitemgrid.h"
#include "views/subitemsplitter.h"

namespace kestrel {
namespace {

using Col = CSubItemDataSource::ColumnId;

class SubItemGridTest : public test::ItemGridTest {
protected:
    QString Text(CDV_SubItemGrid& view, int row, int column)
    {
        return view.Grid()->Model()->index(row, column).data().toString();
    }
    bool Used(CDV_SubItemGrid& view, int row)
    {
        return view.Grid()->Model()->index(row, Col::ColUse).data(Qt::CheckStateRole).toInt() == Qt::Checked;
    }
    // The rows' lines, "" for a heading.
    std::vector<std::string> Lines(CDV_SubItemGrid& view)
    {
        std::vector<std::string> lines;
        for (int row = 0; row < view.Source().RowCount(); ++row)
            lines.push_back(view.Source().LineOfRow(row));
        return lines;
    }
};

TEST_F(SubItemGridTest, AFirstTierListsEveryRowWithTheSections)
{
    Open(test::ScheduleContract(2));
    CDV_SubItemGrid& view = SubItems(Sub(0));
    EXPECT_EQ(Lines(view), (std::vector<std::string>{"", "0010", "0020", "0030", "", "0040", "0050"}));
    CGridModel& model = *view.Grid()->Model();
    const std::vector<std::string> headings{"Error? ", "Use?",       "Line",      "Item",       "Quantity",
                                            "Unit",    "Unit Price", "Extension", "Description"};
    ASSERT_EQ(model.columnCount(), 9);
    for (int c = 0; c < model.columnCount(); ++c)
        EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString().toStdString(), headings[c]);
    // A section row.
    EXPECT_EQ(Text(view, 0, Col::ColLine), QStringLiteral("0001"));
    EXPECT_EQ(Text(view, 0, Col::ColItem), QStringLiteral("==Section=="));
    EXPECT_EQ(Text(view, 0, Col::ColExtension), QStringLiteral("$506.00"));
    EXPECT_EQ(Text(view, 0, Col::ColDescription), QStringLiteral("Roadway and drainage"));
    EXPECT_EQ(Text(view, 0, Col::ColQuantity), QString());
    EXPECT_EQ(model.index(0, Col::ColUse).data(Qt::CheckStateRole), QVariant());
    EXPECT_EQ(model.index(0, Col::ColLine).data(CGridModel::CellRole).value<GridCell>().style,
              GridRowStyle::Section);
    // An item not taken: what the tier has left and the contract's prices.
    EXPECT_EQ(Text(view, 1, Col::ColError), QString());
    EXPECT_FALSE(Used(view, 1));
    EXPECT_EQ(Text(view, 1, Col::ColLine), QStringLiteral("0010"));
    EXPECT_EQ(Text(view, 1, Col::ColItem), QStringLiteral("201-01"));
    EXPECT_EQ(Text(view, 1, Col::ColQuantity), QStringLiteral("3.000"));
    EXPECT_EQ(Text(view, 1, Col::ColUnit), QStringLiteral("EA"));
    EXPECT_EQ(Text(view, 1, Col::ColUnitPrice), QStringLiteral("$2.00"));
    EXPECT_EQ(Text(view, 1, Col::ColExtension), QStringLiteral("$6.00"));
    EXPECT_EQ(Text(view, 1, Col::ColDescription), QStringLiteral("Clearing"));
    EXPECT_EQ(model.index(1, Col::ColItem).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);
    EXPECT_EQ(model.index(1, Col::ColExtension).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    // Only "Use?" of an item can be changed.
    EXPECT_TRUE(model.flags(model.index(1, Col::ColUse)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.flags(model.index(0, Col::ColUse)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.flags(model.index(1, Col::ColQuantity)) & Qt::ItemIsEditable);
}

TEST_F(SubItemGridTest, TheRemainingQuantityMayBeNegativeAndTheErrorColumnMarksIncompleteItems)
{
    auto c = test::ScheduleContract(3);
    // As the file holds them: both complete when they were last edited.
    for (CSubItem* si : {test::AddSubItem(*c->m_pSubTable->m_Records[0], "0050", 60, 4),
                         test::AddSubItem(*c->m_pSubTable->m_Records[1], "0050", 60, 4),
                         test::AddSubItem(*c->m_pSubTable->m_Records[0], "0010", 3, 2)})
        FlagSet(si->m_wFlags, SUBITEM_COMPLETE, 1);
    Open(std::move(c));
    CDV_SubItemGrid& view = SubItems(Sub(2));
    const int row = view.Source().RowOfLine("0050");
    ASSERT_EQ(row, 6);
    EXPECT_EQ(Text(view, row, Col::ColQuantity), QStringLiteral("-20.000"));
    EXPECT_FALSE(Used(view, row));
    // A sub-item with a blank unit price is not complete: "X".
    CDV_SubItemGrid& first = SubItems(Sub(0));
    EXPECT_TRUE(Used(first, row));
    EXPECT_EQ(Text(first, row, Col::ColQuantity), QStringLiteral("60.000"));
    EXPECT_EQ(Text(first, 1, Col::ColError), QString());
    ASSERT_TRUE(program.Doc().ApplyEdit(program.Doc().Edits()->SetSubItemUnitPrice(*Sub(0), "0010", "")));
    EXPECT_EQ(Text(first, 1, Col::ColError), QStringLiteral("X"));
    EXPECT_EQ(Text(first, 1, Col::ColUnitPrice), QString());
}

TEST_F(SubItemGridTest, ALowerTierListsOnlyItsParentsLinesAndFollowsThem)
{
    auto c = test::ScheduleContract(1);
    CSubcontract* parent = c->m_pSubTable->m_Records[0];
    test::AddSubItem(*parent, "0050", 30, 5);
    test::AddSubItem(*parent, "0010", 3, 2);
    CSubcontract* lower = test::AddSub(*c, "Lower", parent);
    test::AddSubItem(*lower, "0010", 1, 2);
    Open(std::move(c));
    CDV_SubItemGrid& view = SubItems(Sub(1));
    EXPECT_EQ(Lines(view), (std::vector<std::string>{"0010", "0050"}));
    // A line not taken: what the parent's tier has left, the parent's prices.
    EXPECT_EQ(Text(view, 1, Col::ColQuantity), QStringLiteral("30.000"));
    EXPECT_EQ(Text(view, 1, Col::ColUnitPrice), QStringLiteral("$5.00"));
    EXPECT_EQ(Text(view, 1, Col::ColExtension), QStringLiteral("$150.00"));
    EXPECT_TRUE(Used(view, 0));

    // The same grid while its parent changes: a standalone view.
    CDV_SubItemGrid standalone;
    standalone.Bind(&program.Doc(), ViewBinding{NODE_SUB_ITEMS, Sub(1), QString(), QString()});
    standalone.InitialUpdate();
    CSubDoc& doc = program.Doc();
    ASSERT_TRUE(doc.ApplyEdit(doc.Edits()->UseItem(*Sub(0), "0020", true)));
    EXPECT_EQ(Lines(standalone), (std::vector<std::string>{"0010", "0020", "0050"}));
    ASSERT_TRUE(doc.ApplyEdit(doc.Edits()->UseItem(*Sub(0), "0010", false)));
    EXPECT_EQ(Lines(standalone), (std::vector<std::string>{"0020", "0050"}));
    EXPECT_EQ(Sub(1)->FindSubItem("0010"), nullptr);
    doc.UndoStack().undo();
    EXPECT_EQ(Lines(standalone), (std::vector<std::string>{"0010", "0020", "0050"}));
    EXPECT_NE(Sub(1)->FindSubItem("0010"), nullptr);
    // The subcontractor gone: no rows.
    ASSERT_TRUE(doc.ApplyEdit(doc.Edits()->DeleteSubcontractor(*Sub(1))));
    EXPECT_EQ(standalone.Source().RowCount(), 0);
}

TEST_F(SubItemGridTest, UseChecksAndUnchecksTheItem)
{
    Open(test::ScheduleContract(2));
    CDV_SubItemGrid& view = SubItems(Sub(0));
    CGridView& grid = *view.Grid();
    const QModelIndex use = grid.Model()->index(1, Col::ColUse);
    test::ClickCell(grid, use);
    const CSubItem* si = Sub(0)->FindSubItem("0010");
    ASSERT_NE(si, nullptr);
    EXPECT_DOUBLE_EQ(si->m_fQuan, 3);
    EXPECT_TRUE(Used(view, 1));
    EXPECT_TRUE(program.Doc().IsModified());
    // The click made the row current: the entry below shows the line.
    EXPECT_EQ(Entry().Line(), "0010");
    EXPECT_TRUE(Entry().Display().hasSubItem);
    test::ClickCell(grid, use);
    EXPECT_EQ(Sub(0)->FindSubItem("0010"), nullptr);
    EXPECT_FALSE(Used(view, 1));
    EXPECT_FALSE(Entry().Display().hasSubItem);
    // The space bar too.
    grid.setFocus();
    test::SendKey(&grid, Qt::Key_Space);
    EXPECT_NE(Sub(0)->FindSubItem("0010"), nullptr);
    EXPECT_TRUE(program.asker.asked.empty());
}

TEST_F(SubItemGridTest, UseIsRefusedOnALockedIronbarkItemAndStaysChecked)
{
    auto c = test::ScheduleContract(1, uint16_t(1u << CONTRACT_IRONBARK_LOCKED));
    CSubItem* si = test::AddSubItem(*c->m_pSubTable->m_Records[0], "0010", 3, 2);
    FlagSet(si->m_wFlags, SUBITEM_FROMIRONBARK, 1);
    si->m_fOrigQuan = 3;
    Open(std::move(c));
    CDV_SubItemGrid& view = SubItems(Sub(0));
    test::ClickCell(*view.Grid(), view.Grid()->Model()->index(1, Col::ColUse));
    EXPECT_TRUE(program.asker.asked.empty()); // shown once the click is over
    QApplication::processEvents();
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked[0].text,
              QStringLiteral("This item was received from Ironbark and cannot be removed"));
    EXPECT_NE(Sub(0)->FindSubItem("0010"), nullptr);
    EXPECT_TRUE(Used(view, 1));
    EXPECT_FALSE(program.Doc().IsModified());
}

TEST_F(SubItemGridTest, ColumnsStretchToTheWindowAndTheHeightIsKept)
{
    Open(test::ScheduleContract(1));
    CDV_SubItemGrid& view = SubItems(Sub(0));
    const QHeaderView& header = *view.Grid()->horizontalHeader();
    auto sum = [&] {
        int total = 0;
        for (int i = 0; i < header.count(); ++i)
            total += header.sectionSize(i);
        return total;
    };
    program.Frame().resize(1500, 700);
    QApplication::processEvents();
    ASSERT_GT(view.Grid()->AvailableWidth(), 117 * view.CharWidth());
    EXPECT_EQ(sum(), view.Grid()->AvailableWidth());
    // Wider columns keep their proportions: "Description" 40 to "Use?" 6.
    EXPECT_NEAR(double(header.sectionSize(Col::ColDescription)) / header.sectionSize(Col::ColUse), 40.0 / 6,
                0.5);
    // Narrower than the columns in characters: each its own width.
    program.Frame().resize(500, 700);
    QApplication::processEvents();
    EXPECT_EQ(header.sectionSize(Col::ColDescription), 40 * view.CharWidth());
    EXPECT_GT(sum(), view.Grid()->AvailableWidth());
    // The grid's height goes to the settings as it changes.
    CSubItemSplitter* split = program.Frame().View()->ItemSplitter();
    const int total = split->sizes().value(0) + split->sizes().value(1);
    split->setSizes({200, total - 200});
    QApplication::processEvents();
    EXPECT_EQ(view.height(), 200);
    EXPECT_EQ(program.Doc().Settings().hSplitterPos, 200);
}

} // namespace
} // namespace kestrel
