// The sub-item entry below a subcontractor's grid: the line the grid's
// cursor names, subcontracting it and taking it back, the values stored
// when a field is left or Enter pressed, the over-commit marks and their
// tolerance, partial items, the Ironbark lower limits and their message
// (shown once, after the focus has moved, with the focus put back), and
// the contract flags that change what the view offers.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>

#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "grid/gridmodel.h"
#include "grid/gridview.h"
#include "grid/itemgridfixture.h"
#include "grid/subitemdatasource.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"
#include "views/dv_subitem.h"
#include "views/dv_subitemgrid.h"

namespace kestrel {
namespace {

using test::SendKey;
using test::TypeText;

constexpr const char* kQtyOver = "<Qty over committed>";

class EntryTest : public test::ItemGridTest {
protected:
    // Shows a subcontractor's items with the cursor on a line.
    CDV_SubItem& Show(CSubcontract* record, const std::string& line)
    {
        CDV_SubItemGrid& grid = SubItems(record);
        m_grid = &grid;
        grid.SelectLine(line);
        return Entry();
    }
    // Puts the cursor on another row and back: the line is shown again.
    void ShowAgain(const std::string& line)
    {
        m_grid->Grid()->MoveToRow(0);
        m_grid->SelectLine(line);
    }
    // Types into a field that has the focus, all of its text replaced.
    void Type(QLineEdit* edit, const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        TypeText(edit, text);
    }
    QString Mark() { return Entry().MarkLabel()->isVisible() ? Entry().MarkLabel()->text() : QString(); }
    CSubItem* SubItem(int row, const char* line) { return Sub(row)->FindSubItem(line); }

    CDV_SubItemGrid* m_grid = nullptr;
};

TEST_F(EntryTest, TheGridsCurrentRowNamesTheLineShown)
{
    Open(test::ScheduleContract(2));
    CDV_SubItem& entry = Show(Sub(0), "0010");
    EXPECT_EQ(entry.VendorLabel()->text(), QStringLiteral("Sub 1"));
    EXPECT_EQ(entry.LineLabel()->text(), QStringLiteral("0010"));
    EXPECT_EQ(entry.ItemNumberLabel()->text(), QStringLiteral("201-01"));
    EXPECT_EQ(entry.AltCodeLabel()->text(), QStringLiteral("X7"));
    EXPECT_EQ(entry.DescriptionLabel()->text(), QStringLiteral("Clearing"));
    EXPECT_EQ(entry.UnitLabel()->text(), QStringLiteral("EA"));
    // Not taken: the first tier's remainder and the contract's prices,
    // nothing to type into.
    EXPECT_TRUE(entry.UseBox()->isEnabled());
    EXPECT_FALSE(entry.UseBox()->isChecked());
    EXPECT_FALSE(entry.PartialBox()->isEnabled());
    EXPECT_EQ(entry.QuantityEdit()->text(), QStringLiteral("3.000"));
    EXPECT_EQ(entry.UnitPriceEdit()->text(), QStringLiteral("$2.00"));
    EXPECT_EQ(entry.ExtensionEdit()->text(), QStringLiteral("$6.00"));
    EXPECT_TRUE(entry.QuantityEdit()->isReadOnly());
    EXPECT_TRUE(entry.NotesEdit()->isReadOnly());
    // A section heading is no item.
    m_grid->Grid()->MoveToRow(4);
    EXPECT_EQ(entry.Line(), "");
    EXPECT_FALSE(entry.UseBox()->isEnabled());
    EXPECT_EQ(entry.LineLabel()->text(), QString());
    EXPECT_EQ(entry.QuantityEdit()->text(), QString());
    // Checking the box subcontracts the line; the grid's row follows the
    // change signal.
    m_grid->SelectLine("0050");
    int redrawn = -1;
    QObject::connect(m_grid->Grid()->Model(), &CGridModel::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex&) { redrawn = from.row(); });
    entry.UseBox()->click();
    ASSERT_NE(SubItem(0, "0050"), nullptr);
    EXPECT_DOUBLE_EQ(SubItem(0, "0050")->m_fQuan, 100);
    EXPECT_EQ(redrawn, m_grid->Source().RowOfLine("0050"));
    EXPECT_EQ(m_grid->Grid()->Model()->index(6, CSubItemDataSource::ColUse).data(Qt::CheckStateRole).toInt(),
              int(Qt::Checked));
    EXPECT_FALSE(entry.QuantityEdit()->isReadOnly());
    EXPECT_TRUE(entry.PartialBox()->isEnabled());
    EXPECT_TRUE(program.Doc().IsModified());
    entry.UseBox()->click();
    EXPECT_EQ(SubItem(0, "0050"), nullptr);
    EXPECT_TRUE(program.asker.asked.empty());
}

TEST_F(EntryTest, ValuesAreStoredWhenTheFieldIsLeftOrEnterPressed)
{
    auto c = test::ScheduleContract(1);
    test::AddSubItem(*c->m_pSubTable->m_Records[0], "0050", 10, 4);
    Open(std::move(c));
    CDV_SubItem& entry = Show(Sub(0), "0050");
    Type(entry.QuantityEdit(), QStringLiteral("12*2"));
    SendKey(entry.QuantityEdit(), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(SubItem(0, "0050")->m_fQuan, 24);
    EXPECT_DOUBLE_EQ(SubItem(0, "0050")->m_fExt, 96);
    EXPECT_EQ(entry.QuantityEdit()->text(), QStringLiteral("24.000"));
    EXPECT_EQ(entry.ExtensionEdit()->text(), QStringLiteral("$96.00"));
    // Leaving the field stores too; "$" and "," are dropped.
    Type(entry.UnitPriceEdit(), QStringLiteral("$1,000"));
    entry.ExtensionEdit()->setFocus();
    EXPECT_DOUBLE_EQ(SubItem(0, "0050")->m_fUP, 1000);
    EXPECT_EQ(entry.ExtensionEdit()->text(), QStringLiteral("$24,000.00"));
    // A quantity of 0 empties the field: no value, and the sub-item is
    // not complete (the grid's error mark).
    Type(entry.QuantityEdit(), QStringLiteral("0"));
    SendKey(entry.QuantityEdit(), Qt::Key_Return);
    EXPECT_TRUE(IsBlankValue(SubItem(0, "0050")->m_fQuan));
    EXPECT_EQ(entry.QuantityEdit()->text(), QString());
    EXPECT_FALSE(FlagTest(SubItem(0, "0050")->m_wFlags, SUBITEM_COMPLETE));
    EXPECT_EQ(m_grid->Grid()->Model()->index(6, CSubItemDataSource::ColError).data().toString(),
              QStringLiteral("X"));
    // Notes: Enter stores, Ctrl+Enter starts a line, leaving stores.
    entry.NotesEdit()->setFocus();
    TypeText(entry.NotesEdit(), QStringLiteral("night"));
    SendKey(entry.NotesEdit(), Qt::Key_Return, Qt::ControlModifier);
    TypeText(entry.NotesEdit(), QStringLiteral("work"));
    EXPECT_EQ(SubItem(0, "0050")->m_strRemarks.View(), "");
    SendKey(entry.NotesEdit(), Qt::Key_Return);
    EXPECT_EQ(SubItem(0, "0050")->m_strRemarks.View(), "night\nwork");
    TypeText(entry.NotesEdit(), QStringLiteral("!"));
    entry.QuantityEdit()->setFocus();
    EXPECT_EQ(SubItem(0, "0050")->m_strRemarks.View(), "night\nwork!");
    // A field left as it was shown stores nothing.
    const int changes = program.Doc().UndoStack().count();
    entry.UnitPriceEdit()->setFocus();
    entry.ExtensionEdit()->setFocus();
    SendKey(entry.ExtensionEdit(), Qt::Key_Return);
    EXPECT_EQ(program.Doc().UndoStack().count(), changes);
    EXPECT_TRUE(program.asker.asked.empty());
}

// "abc" in Unit Price leaves the price without a value (the line shows as
// incomplete) and says why: in the status bar, and on the field until a
// value is entered.
TEST_F(EntryTest, AValueThatCannotBeReadIsToldWhereTheEyeIs)
{
    auto c = test::ScheduleContract(1);
    test::AddSubItem(*c->m_pSubTable->m_Records[0], "0050", 10, 4);
    Open(std::move(c));
    CDV_SubItem& entry = Show(Sub(0), "0050");
    const QString why = QStringLiteral("Unit Price \"abc\" cannot be read: Unrecognized character");
    Type(entry.UnitPriceEdit(), QStringLiteral("abc"));
    SendKey(entry.UnitPriceEdit(), Qt::Key_Tab);
    EXPECT_TRUE(IsBlankValue(SubItem(0, "0050")->m_fUP));
    EXPECT_EQ(program.Frame().statusBar()->currentMessage(), why);
    EXPECT_EQ(entry.UnitPriceEdit()->toolTip(), why);
    EXPECT_TRUE(entry.QuantityEdit()->toolTip().isEmpty());
    // Shown again, the field still says why.
    ShowAgain("0050");
    EXPECT_EQ(entry.UnitPriceEdit()->toolTip(), why);
    Type(entry.UnitPriceEdit(), QStringLiteral("4.5"));
    SendKey(entry.UnitPriceEdit(), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(SubItem(0, "0050")->m_fUP, 4.5);
    EXPECT_TRUE(entry.UnitPriceEdit()->toolTip().isEmpty());
    EXPECT_TRUE(program.Frame().statusBar()->currentMessage().isEmpty());
    EXPECT_TRUE(program.asker.asked.empty());
}

TEST_F(EntryTest, ANoteOfSeveralLinesLeftAsItWasStoresNothing)
{
    auto c = test::ScheduleContract(1);
    test::AddSubItem(*c->m_pSubTable->m_Records[0], "0050", 10, 4)->m_strRemarks =
        std::string("two\r\nlines");
    Open(std::move(c));
    CDV_SubItem& entry = Show(Sub(0), "0050");
    entry.NotesEdit()->setFocus();
    entry.QuantityEdit()->setFocus();
    EXPECT_EQ(SubItem(0, "0050")->m_strRemarks.View(), "two\r\nlines");
    EXPECT_FALSE(program.Doc().IsModified());
    EXPECT_EQ(program.Doc().UndoStack().count(), 0);
}

// A note the file cannot hold: a character Windows-1252 lacks is told and
// nothing is stored; the field holds no more than a record does.
TEST_F(EntryTest, ANoteTheFileCannotHoldIsRefusedOrHeldToItsLength)
{
    auto c = test::ScheduleContract(1);
    test::AddSubItem(*c->m_pSubTable->m_Records[0], "0050", 10, 4);
    Open(std::move(c));
    CDV_SubItem& entry = Show(Sub(0), "0050");
    entry.NotesEdit()->setFocus();
    TypeText(entry.NotesEdit(), QStringLiteral("Smith \u2192 Jones"));
    SendKey(entry.NotesEdit(), Qt::Key_Return);
    QApplication::processEvents();
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked[0].caption, QStringLiteral("Text Error"));
    EXPECT_EQ(SubItem(0, "0050")->m_strRemarks.View(), "");
    EXPECT_FALSE(program.Doc().IsModified());
    entry.NotesEdit()->insertPlainText(QString(70000, QLatin1Char('n')));
    EXPECT_EQ(entry.NotesEdit()->toPlainText().size(), 65535);
}

TEST_F(EntryTest, OverCommitMarksAndTheirTolerance)
{
    Open(test::ScheduleContract(2));
    CDV_SubItem& entry = Show(Sub(0), "0050");
    entry.UseBox()->click();
    Type(entry.QuantityEdit(), QStringLiteral("60"));
    SendKey(entry.QuantityEdit(), Qt::Key_Return);
    EXPECT_EQ(Mark(), QString());
    // The second takes what is left (40), then asks for 60.
    Show(Sub(1), "0050");
    Entry().UseBox()->click();
    EXPECT_DOUBLE_EQ(SubItem(1, "0050")->m_fQuan, 40);
    Type(Entry().QuantityEdit(), QStringLiteral("60"));
    SendKey(Entry().QuantityEdit(), Qt::Key_Return);
    EXPECT_EQ(Mark(), QString::fromLatin1(kQtyOver));
    // The first shows its mark when its line is next shown.
    Show(Sub(0), "0050");
    EXPECT_EQ(Mark(), QString::fromLatin1(kQtyOver));
    // Over by 0.005: accepted after the edit, marked when shown again.
    Type(Entry().QuantityEdit(), QStringLiteral("40.005"));
    SendKey(Entry().QuantityEdit(), Qt::Key_Return);
    EXPECT_EQ(Mark(), QString());
    EXPECT_TRUE(FlagTest(SubItem(0, "0050")->m_wFlags, SUBITEM_COMPLETE));
    ShowAgain("0050");
    EXPECT_EQ(Mark(), QString::fromLatin1(kQtyOver));
    // Marked partial, the second leaves the tier's sums: the first's mark
    // goes at its next showing; the unit reads "PART".
    Show(Sub(1), "0050");
    EXPECT_EQ(Mark(), QString::fromLatin1(kQtyOver));
    Entry().PartialBox()->click();
    EXPECT_TRUE(FlagTest(SubItem(1, "0050")->m_wFlags, SUBITEM_PARTIAL));
    EXPECT_EQ(Entry().UnitLabel()->text(), QStringLiteral("PART"));
    Show(Sub(0), "0050");
    EXPECT_EQ(Mark(), QString());
    EXPECT_TRUE(program.asker.asked.empty());
}

class IronbarkTest : public EntryTest {
protected:
    // 0050 of the first subcontractor came from Ironbark with 10 (and is
    // now 12 at 4.00).
    void OpenWith(uint16_t flags)
    {
        auto c = test::ScheduleContract(1, flags);
        CSubItem* si = test::AddSubItem(*c->m_pSubTable->m_Records[0], "0050", 12, 4);
        FlagSet(si->m_wFlags, SUBITEM_FROMIRONBARK, 1);
        si->m_fOrigQuan = 10;
        Open(std::move(c));
    }
};

TEST_F(IronbarkTest, AQuantityBelowTheOriginalIsRefusedOnceAfterTheFocusMoved)
{
    OpenWith(uint16_t(1u << CONTRACT_IRONBARK_FLOOR));
    CDV_SubItem& entry = Show(Sub(0), "0050");
    Type(entry.QuantityEdit(), QStringLiteral("9.5"));
    entry.UnitPriceEdit()->setFocus(); // the field is left
    // The old value is back at once; the message waits for the focus change.
    EXPECT_EQ(entry.QuantityEdit()->text(), QStringLiteral("12.000"));
    EXPECT_TRUE(program.asker.asked.empty());
    QApplication::processEvents();
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked[0].caption, QStringLiteral("Quantity Error"));
    EXPECT_EQ(program.asker.asked[0].icon, QMessageBox::Warning);
    EXPECT_EQ(program.asker.asked[0].text,
              QStringLiteral("The quantity entered must be greater than the original quantity as entered in "
                             "Ironbark, which is 10.000"));
    EXPECT_EQ(QApplication::focusWidget(), entry.QuantityEdit());
    EXPECT_DOUBLE_EQ(SubItem(0, "0050")->m_fQuan, 12);
    EXPECT_FALSE(program.Doc().IsModified());

    // Enter, then the field left before the message is up: one message.
    Type(entry.QuantityEdit(), QStringLiteral("9"));
    SendKey(entry.QuantityEdit(), Qt::Key_Return);
    entry.ExtensionEdit()->setFocus();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(program.asker.asked.size(), 2u);
    EXPECT_EQ(QApplication::focusWidget(), entry.QuantityEdit());
    EXPECT_DOUBLE_EQ(SubItem(0, "0050")->m_fQuan, 12);

    // The original itself is accepted.
    Type(entry.QuantityEdit(), QStringLiteral("10"));
    SendKey(entry.QuantityEdit(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(SubItem(0, "0050")->m_fQuan, 10);
    EXPECT_EQ(program.asker.asked.size(), 2u);
}

TEST_F(IronbarkTest, AnAmountImplyingLessThanTheOriginalIsRefused)
{
    OpenWith(uint16_t((1u << CONTRACT_IRONBARK_FLOOR) | (1u << CONTRACT_TRACK_PRICES)));
    CDV_SubItem& entry = Show(Sub(0), "0050");
    Type(entry.ExtensionEdit(), QStringLiteral("36")); // 9 at 4.00
    SendKey(entry.ExtensionEdit(), Qt::Key_Return);
    EXPECT_EQ(entry.ExtensionEdit()->text(), QStringLiteral("48.00"));
    QApplication::processEvents();
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked[0].caption, QStringLiteral("Quantity Error"));
    EXPECT_TRUE(program.asker.asked[0].text.startsWith(
        QStringLiteral("Changing the extended amount to this value will result in an invalid quantity")));
    EXPECT_TRUE(program.asker.asked[0].text.endsWith(QStringLiteral("which is 10.000")));
    EXPECT_DOUBLE_EQ(SubItem(0, "0050")->m_fExt, 48);
    // 44 implies 11: accepted, and with prices tracked the quantity follows.
    Type(entry.ExtensionEdit(), QStringLiteral("44"));
    SendKey(entry.ExtensionEdit(), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(SubItem(0, "0050")->m_fQuan, 11);
    EXPECT_EQ(entry.QuantityEdit()->text(), QStringLiteral("11.000"));
}

TEST_F(IronbarkTest, ALockedItemCanNeitherBeTakenBackNorMadePartial)
{
    OpenWith(uint16_t(1u << CONTRACT_IRONBARK_LOCKED));
    CDV_SubItem& entry = Show(Sub(0), "0050");
    EXPECT_TRUE(entry.UseBox()->isChecked());
    EXPECT_FALSE(entry.UseBox()->isEnabled());
    EXPECT_FALSE(entry.PartialBox()->isEnabled());
    // Without flag 9 there is no lower limit: 9.5 is taken.
    Type(entry.QuantityEdit(), QStringLiteral("9.5"));
    SendKey(entry.QuantityEdit(), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(SubItem(0, "0050")->m_fQuan, 9.5);
    EXPECT_TRUE(program.asker.asked.empty());
}

TEST_F(EntryTest, TrackedPricesSetTheQuantityFromTheAmount)
{
    auto c = test::ScheduleContract(1, uint16_t(1u << CONTRACT_TRACK_PRICES));
    test::AddSubItem(*c->m_pSubTable->m_Records[0], "0050", 10, 20);
    Open(std::move(c));
    CDV_SubItem& entry = Show(Sub(0), "0050");
    Type(entry.ExtensionEdit(), QStringLiteral("500"));
    SendKey(entry.ExtensionEdit(), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(SubItem(0, "0050")->m_fQuan, 25);
    EXPECT_EQ(entry.QuantityEdit()->text(), QStringLiteral("25.000"));
    // At a unit price of 0 the amount implies no quantity: invalid.
    Type(entry.UnitPriceEdit(), QStringLiteral("0"));
    SendKey(entry.UnitPriceEdit(), Qt::Key_Return);
    Type(entry.ExtensionEdit(), QStringLiteral("300"));
    SendKey(entry.ExtensionEdit(), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(SubItem(0, "0050")->m_fQuan, 0);
    EXPECT_EQ(Mark(), QStringLiteral("<invalid quantity>"));
}

TEST_F(EntryTest, NoPartialItemsAndAlternateUnits)
{
    auto c = test::ScheduleContract(1, uint16_t((1u << CONTRACT_NO_PARTIALS) | (1u << CONTRACT_ALT_UNITS)));
    test::AddSubItem(*c->m_pSubTable->m_Records[0], "0050", 10, 20);
    Open(std::move(c));
    CDV_SubItem& entry = Show(Sub(0), "0050");
    EXPECT_FALSE(entry.PartialBox()->isVisible());
    // No alternate-unit factor: quantity and price blank, never stored.
    EXPECT_EQ(entry.QuantityEdit()->text(), QString());
    EXPECT_EQ(entry.UnitPriceEdit()->text(), QString());
    EXPECT_TRUE(entry.QuantityEdit()->isReadOnly());
    EXPECT_TRUE(entry.UnitPriceEdit()->isReadOnly());
    EXPECT_EQ(entry.ExtensionEdit()->text(), QStringLiteral("$200.00"));
    entry.QuantityEdit()->setFocus();
    entry.UnitPriceEdit()->setFocus();
    entry.ExtensionEdit()->setFocus();
    EXPECT_DOUBLE_EQ(SubItem(0, "0050")->m_fQuan, 10);
    EXPECT_DOUBLE_EQ(SubItem(0, "0050")->m_fUP, 20);
    EXPECT_FALSE(program.Doc().IsModified());
}

TEST_F(EntryTest, TakingALineBackTakesItFromTheLowerTiersToo)
{
    auto c = test::ScheduleContract(1);
    CSubcontract* parent = c->m_pSubTable->m_Records[0];
    test::AddSubItem(*parent, "0010", 3, 2);
    CSubcontract* lower = test::AddSub(*c, "Lower", parent);
    test::AddSubItem(*lower, "0010", 1, 2);
    CSubcontract* lowest = test::AddSub(*c, "Lowest", lower);
    test::AddSubItem(*lowest, "0010", 1, 2);
    Open(std::move(c));
    CDV_SubItem& entry = Show(Sub(0), "0010");
    entry.UseBox()->click();
    EXPECT_EQ(SubItem(0, "0010"), nullptr);
    EXPECT_EQ(SubItem(1, "0010"), nullptr);
    EXPECT_EQ(SubItem(2, "0010"), nullptr);
    // A lower tier shows its parent's values for a line it has not taken.
    program.Doc().UndoStack().undo();
    ASSERT_TRUE(program.Doc().ApplyEdit(program.Doc().Edits()->UseItem(*Sub(1), "0010", false)));
    CDV_SubItem& lowerEntry = Show(Sub(1), "0010");
    EXPECT_FALSE(lowerEntry.UseBox()->isChecked());
    EXPECT_EQ(lowerEntry.QuantityEdit()->text(), QStringLiteral("3.000"));
    EXPECT_EQ(lowerEntry.UnitPriceEdit()->text(), QStringLiteral("$2.00"));
}

// Taking a line back takes it from the lower tiers without a question; the
// status bar says how many of their sub-items went with it.
TEST_F(EntryTest, TheStatusBarSaysHowManyLowerTierSubItemsWentWithALine)
{
    for (const auto& [row, said] :
         {std::pair{0, "Line 0010 removed, and with it 2 lower-tier sub-items"},
          std::pair{1, "Line 0010 removed, and with it 1 lower-tier sub-item"}, std::pair{2, ""}}) {
        auto c = test::ScheduleContract(1);
        CSubcontract* parent = c->m_pSubTable->m_Records[0];
        test::AddSubItem(*parent, "0010", 3, 2);
        CSubcontract* lower = test::AddSub(*c, "Lower", parent);
        test::AddSubItem(*lower, "0010", 1, 2);
        test::AddSubItem(*test::AddSub(*c, "Lowest", lower), "0010", 1, 2);
        Open(std::move(c));
        program.Frame().statusBar()->clearMessage();
        Show(Sub(row), "0010").UseBox()->click();
        EXPECT_EQ(program.Frame().statusBar()->currentMessage(), QString::fromLatin1(said)) << row;
    }
}

} // namespace
} // namespace kestrel
