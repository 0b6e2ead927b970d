// The subcontractor form on the demo contract: binding records without
// changing them, the kept form bound again, the vendor found by any part of
// its entry and the work types that follow it, the sub type rule, the
// Ironbark lock and amount floor, the required marks and the status line.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QTreeView>
#include <QUndoStack>
#include <QtTest/QTest>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "views/dv_sub.h"
#include "views/formfield.h"
#include "views/formtestsupport.h"
#include "views/greycombobox.h"
#include "views/greyedit.h"
#include "views/listlookup.h"
#include "views/substatusline.h"

namespace kestrel {
namespace {

using test::FormProgram;

// The demo's subcontractors, by row.
enum : int { kTriCounty, kKeystone, kAllegheny, kBlueRidge, kMason, kHollins, kPiedmont };
constexpr int kVendorId = 10;
constexpr int kVendorName = 12;
constexpr int kVendorAddress = 14;
constexpr int kWorkType1 = 26;
constexpr int kWorkType2 = 27;
constexpr int kWorkType3 = 28;

class SubForm : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ui.Open(test::CopyDemo(ui.program.dir))); }
    // Opens the demo with a change made to it first.
    void OpenChanged(const std::function<void(CContract&)>& change)
    {
        std::unique_ptr<CContract> c;
        ASSERT_EQ(ReadContractFile(ui.program.dir.file("DEMO.CON"), c), 0);
        change(*c);
        ASSERT_FALSE(test::WriteContract(*c, ui.program.dir.file("CHANGED.CON")).isEmpty());
        ASSERT_TRUE(ui.Open(test::Q(ui.program.dir.file("CHANGED.CON"))));
    }
    CDV_Sub* Show(int row)
    {
        ui.ShowSub(row);
        return qobject_cast<CDV_Sub*>(ui.Form());
    }
    CWinMeta& Table() { return *ui.program.Doc().Contract()->m_pSubTable; }
    CSubcontract& Row(int row) { return *Table().m_Records[row]; }
    std::string Cell(int row, int field)
    {
        const Text* t = Row(row).GetCellText(field);
        return t ? std::string(TextView(*t)) : std::string();
    }
    int Field(const char* name) { return Table().FindField(name); }
    CGreyComboBox* Box(int field) { return qobject_cast<CGreyComboBox*>(ui.Form()->FieldControl(field)); }
    std::vector<test::ScriptedAsker::Question>& Asked() { return ui.program.asker.asked; }

    FormProgram ui;
};

TEST_F(SubForm, ShowingRecordsChangesNothing)
{
    CSubDoc& doc = ui.program.Doc();
    const auto before = WriteContractStream(*doc.Contract());
    for (int pass = 0; pass < 2; ++pass) {
        for (int row = 0; row < Table().m_Records.GetSize(); ++row) {
            CDV_Sub* form = Show(row);
            ASSERT_NE(form, nullptr);
            // Each stored work type shows as the entry it names.
            for (int f : {kWorkType1, kWorkType2, kWorkType3})
                EXPECT_EQ(Box(f)->currentText().toStdString(), Cell(row, f)) << row << "/" << f;
        }
        ui.ShowMisc();
    }
    EXPECT_EQ(WriteContractStream(*doc.Contract()), before);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.UndoStack().count(), 0);
    EXPECT_TRUE(Asked().empty());
}

TEST_F(SubForm, TheKeptFormIsBoundAgainNotRebuilt)
{
    CDV_Sub* form = Show(kTriCounty);
    ASSERT_NE(form, nullptr);
    std::vector<QWidget*> controls;
    for (int f = 0; f < form->FieldCount(); ++f)
        controls.push_back(form->FieldControl(f));
    EXPECT_EQ(form->FieldCount(), 60);
    ui.program.Tree().setCurrentItem(ui.program.Tree().ContractNode());
    EXPECT_EQ(ui.View().KeptView(), form);
    ASSERT_EQ(Show(kHollins), form);
    for (int f = 0; f < form->FieldCount(); ++f)
        EXPECT_EQ(form->FieldControl(f), controls[static_cast<size_t>(f)]) << f;
    EXPECT_EQ(ui.Shown(SUBF_NAME).toStdString(), Cell(kHollins, SUBF_NAME));
    EXPECT_EQ(form->StatusLine()->text(), QStringLiteral("< SUBCONTRACT RECORD IS INCOMPLETE >"));
    ASSERT_EQ(Show(kTriCounty), form);
    EXPECT_EQ(ui.Shown(SUBF_NAME).toStdString(), Cell(kTriCounty, SUBF_NAME));
    EXPECT_EQ(form->StatusLine()->text(), QString());
}

TEST_F(SubForm, TheStatusLineAndTheMarksFollowTheRecord)
{
    CDV_Sub* form = Show(kHollins);
    ASSERT_NE(form, nullptr);
    const std::vector<int> missing = {Field("TAXID"), Field("QUOTEDATE"), Field("INSURER"), Field("POLICYNO"),
                                      Field("POLICYEXP")};
    EXPECT_EQ(form->MarkedFields(), missing);
    EXPECT_EQ(form->StatusLine()->text(), QStringLiteral("< SUBCONTRACT RECORD IS INCOMPLETE >"));
    EXPECT_TRUE(form->StatusLine()->font().bold());
    EXPECT_NEAR(form->StatusLine()->font().pointSizeF(), form->FormFont().pointSizeF() + 2, 0.01);
    const char* const entries[] = {"12-3456789", "3/2/26", "Keystone Mutual", "KM-1", "12/31/26"};
    for (size_t i = 0; i < missing.size(); ++i) {
        ui.Type(missing[i], QString::fromLatin1(entries[i]));
        ui.Press(Qt::Key_Tab);
        EXPECT_EQ(form->MarkedFields().size(), missing.size() - i - 1);
    }
    EXPECT_EQ(form->StatusLine()->text(), QString());
    EXPECT_EQ(ui.program.Tree().StateOf(ui.program.Tree().FindNode(&Row(kHollins))), 1); // green
    // Undone, the record is incomplete again.
    ui.program.Doc().UndoStack().undo();
    EXPECT_EQ(form->StatusLine()->text(), QStringLiteral("< SUBCONTRACT RECORD IS INCOMPLETE >"));
    EXPECT_EQ(form->MarkedFields(), std::vector<int>{Field("POLICYEXP")});
    // A record received from Ironbark is exempt: nothing is marked.
    ASSERT_EQ(Show(kPiedmont), form);
    EXPECT_TRUE(form->MarkedFields().empty());
}

TEST_F(SubForm, AVendorIsFoundByAnyPartOfItsEntry)
{
    CDV_Sub* form = Show(kMason); // the vendor typed, not chosen
    ASSERT_NE(form, nullptr);
    CListLookup* lookup = form->VendorLookup(kVendorId);
    ASSERT_NE(lookup, nullptr);
    EXPECT_EQ(lookup->EntryCount(), 300);
    const QStringList byName = lookup->Matches(QStringLiteral("mason aggr"));
    ASSERT_EQ(byName.size(), 1);
    EXPECT_TRUE(byName[0].startsWith(QStringLiteral("027341  Mason Aggregate Supply Corp.")))
        << byName[0].toStdString();
    EXPECT_EQ(lookup->Matches(QStringLiteral("7341")), byName);
    EXPECT_EQ(lookup->Matches(QStringLiteral("quarry rd, TUCK")), byName);
    // Every work type while no vendor is chosen from the list.
    EXPECT_EQ(Box(kWorkType1)->count(), 25);

    // Typed into the box, the list offers the entry; chosen, the vendor's
    // number, name and address fill in and the work types are the vendor's.
    ui.Type(kVendorId, QStringLiteral("Mason Aggr"));
    QAbstractItemView* popup = lookup->popup();
    ASSERT_TRUE(popup->isVisible());
    ASSERT_EQ(popup->model()->rowCount(), 1);
    popup->setCurrentIndex(popup->model()->index(0, 0));
    QTest::keyClick(popup, Qt::Key_Return);
    ui.Settle();
    // Enter took the entry and went on to the next field.
    EXPECT_EQ(ui.FocusedField(), kVendorId + 1);
    EXPECT_GE(Row(kMason).GetCell(kVendorId)->m_i, 0);
    EXPECT_EQ(Cell(kMason, kVendorId), "027341");
    EXPECT_EQ(ui.Shown(kVendorId), QStringLiteral("027341"));
    EXPECT_EQ(ui.Shown(kVendorName), QStringLiteral("Mason Aggregate Supply Corp."));
    EXPECT_TRUE(form->FormField(kVendorName)->IsReadOnly());
    EXPECT_TRUE(form->FormField(kVendorAddress)->IsReadOnly());
    for (int f : {kWorkType1, kWorkType2, kWorkType3}) {
        ASSERT_EQ(Box(f)->count(), 2) << f;
        EXPECT_TRUE(Box(f)->itemText(0).startsWith(QStringLiteral("AGGR"))) << f;
        EXPECT_TRUE(Box(f)->itemText(1).startsWith(QStringLiteral("TRCK"))) << f;
    }
    // The work type chosen before is one of the vendor's: still chosen.
    EXPECT_EQ(Box(kWorkType1)->currentText(), QStringLiteral("AGGR Aggregate supply"));
    EXPECT_EQ(ui.program.Doc().UndoStack().count(), 1);
    EXPECT_TRUE(Asked().empty());
    // A number typed that the list does not have: kept as typed; every work
    // type is offered again.
    ui.Type(kVendorId, QStringLiteral("999999"));
    ui.Press(Qt::Key_Tab);
    EXPECT_EQ(Row(kMason).GetCell(kVendorId)->m_i, -1);
    EXPECT_EQ(Box(kWorkType1)->count(), 25);
}

// The open list shows each vendor's number, name and address in columns
// wide enough to read them whole, so that two vendors of like names are
// told apart; the typed part is marked.
TEST_F(SubForm, TheVendorListShowsNumberNameAndAddressWhole)
{
    ASSERT_NE(Show(kMason), nullptr);
    ui.Type(kVendorId, QStringLiteral("paving"));
    QTreeView* list = qobject_cast<QTreeView*>(Show(kMason)->VendorLookup(kVendorId)->popup());
    ASSERT_TRUE(list && list->isVisible());
    const QAbstractItemModel* shown = list->model();
    ASSERT_GT(shown->rowCount(), 1);
    ASSERT_TRUE(list->isColumnHidden(3) && !list->isColumnHidden(2));
    const QFontMetrics metrics(list->font());
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < shown->rowCount(); ++r)
            EXPECT_GE(list->columnWidth(c), metrics.horizontalAdvance(shown->index(r, c).data().toString()));
    EXPECT_GE(list->viewport()->width(), list->columnWidth(0) + list->columnWidth(1) + list->columnWidth(2));
    const QImage drawn = list->viewport()->grab().toImage();
    bool marked = false;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            marked = marked || drawn.pixelColor(x, y) == QColor(255, 236, 140);
    EXPECT_TRUE(marked);
    ui.Type(kVendorId, QStringLiteral("mason aggr"));
    EXPECT_EQ(shown->index(0, 0).data().toString() + shown->index(0, 1).data().toString() +
                  shown->index(0, 2).data().toString(),
              QStringLiteral("027341Mason Aggregate Supply Corp.Quarry Rd, Tuckahoe"));
}

TEST_F(SubForm, EachWorkTypeIsChosenOnItsOwn)
{
    CDV_Sub* form = Show(kKeystone);
    ASSERT_NE(form, nullptr);
    const std::string first = Cell(kKeystone, kWorkType1);
    const std::string third = Cell(kKeystone, kWorkType3);
    CGreyComboBox* second = Box(kWorkType2);
    second->setFocus(Qt::MouseFocusReason);
    const int was = second->currentIndex();
    ui.Press(was + 1 < second->count() ? Qt::Key_Down : Qt::Key_Up);
    EXPECT_NE(second->currentIndex(), was);
    EXPECT_EQ(Cell(kKeystone, kWorkType2), second->currentText().toStdString());
    EXPECT_EQ(Row(kKeystone).GetCell(kWorkType2)->m_i, second->CurrentPosition());
    EXPECT_EQ(Cell(kKeystone, kWorkType1), first);
    EXPECT_EQ(Cell(kKeystone, kWorkType3), third);
}

TEST_F(SubForm, TheSubTypeDecidesItemsAndCredit)
{
    CDV_Sub* form = Show(kBlueRidge); // lump sum
    ASSERT_NE(form, nullptr);
    CGreyComboBox* type = Box(SUBF_TYPE);
    ASSERT_EQ(type->currentText(), QStringLiteral("Lump sum - full credit"));
    type->setFocus(Qt::MouseFocusReason);
    ui.Press(Qt::Key_Down); // "Supplier - 60 percent credit": entry "01"
    EXPECT_EQ(ui.Shown(SUBF_YESNO), QStringLiteral("Y"));
    EXPECT_EQ(ui.Shown(SUBF_PERCENT), QStringLiteral("60.00"));
    EXPECT_FALSE(form->FormField(SUBF_AMOUNT)->IsReadOnly());
    EXPECT_TRUE(FlagTest(Row(kBlueRidge).m_wFlags, SUB_USESIXTY));
    type->setFocus(Qt::MouseFocusReason);
    ui.Press(Qt::Key_Up);
    ui.Press(Qt::Key_Up); // "Itemized - by contract items": entry "10"
    EXPECT_EQ(ui.Shown(SUBF_YESNO), QStringLiteral("N"));
    EXPECT_EQ(ui.Shown(SUBF_PERCENT), QStringLiteral("100.00"));
    EXPECT_TRUE(form->FormField(SUBF_AMOUNT)->IsReadOnly());
    EXPECT_TRUE(Row(kBlueRidge).IsItemized());
    // The tree gained the record's item list.
    QTreeWidgetItem* node = ui.program.Tree().FindNode(&Row(kBlueRidge));
    ASSERT_NE(node, nullptr);
    ASSERT_GT(node->childCount(), 0);
    EXPECT_EQ(CSubTreeView::KindOf(node->child(0)), NODE_SUB_ITEMS);
}

// Piedmont came from Ironbark while the contract locks such records and
// holds their amounts to the Ironbark amount. Made a lump sum here, so that
// its amount is entered on the form.
class IronbarkForm : public SubForm {
protected:
    void SetUp() override
    {
        SubForm::SetUp();
        OpenChanged([](CContract& c) {
            CSubcontract& r = *c.m_pSubTable->m_Records[kPiedmont];
            FlagSet(r.m_wFlags, SUB_USESSUBITEMS, 0);
        });
    }
};

TEST_F(IronbarkForm, OnlyTheRemarkAndTheAmountAreOpen)
{
    CDV_Sub* form = Show(kPiedmont);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(form->Display().locked);
    for (int f = 0; f < form->FieldCount(); ++f) {
        const CFormField* field = form->FormField(f);
        if (!field || field->Kind() == FormControlKind::StaticCaption)
            continue;
        EXPECT_EQ(field->IsReadOnly(), f != SUBF_REMARK && f != SUBF_AMOUNT) << f;
        if (auto* box = qobject_cast<CGreyComboBox*>(field->Control())) {
            EXPECT_FALSE(box->isEnabled()) << f;
        }
        if (auto* edit = qobject_cast<CGreyEdit*>(field->Control())) {
            EXPECT_EQ(edit->isReadOnly(), field->IsReadOnly()) << f;
        }
    }
    ui.Type(SUBF_REMARK, QStringLiteral("Signal heads on order"));
    ui.Leave();
    EXPECT_EQ(Cell(kPiedmont, SUBF_REMARK), "Signal heads on order");
    EXPECT_TRUE(Asked().empty());
    // A text that reaches a locked field all the same (set into the edit,
    // as a paste would) is refused with the lock's message, once, and the
    // field shows what is stored again.
    const std::string name = Cell(kPiedmont, SUBF_NAME);
    auto* edit = qobject_cast<CGreyEdit*>(form->FieldControl(SUBF_NAME));
    edit->setText(QStringLiteral("Renamed"));
    EXPECT_FALSE(form->StoreFieldValue(CDV_Template::kFirstControlId + SUBF_NAME));
    ui.Settle();
    ASSERT_EQ(Asked().size(), 1u);
    EXPECT_EQ(Asked()[0].caption, QStringLiteral("Locked"));
    EXPECT_EQ(Asked()[0].text,
              QStringLiteral("This subcontractor was received from Ironbark and cannot be changed"));
    EXPECT_EQ(edit->text().toStdString(), name);
    EXPECT_EQ(Cell(kPiedmont, SUBF_NAME), name);
}

TEST_F(IronbarkForm, AnAmountBelowTheIronbarkAmountIsRefusedOnce)
{
    CDV_Sub* form = Show(kPiedmont);
    ASSERT_NE(form, nullptr);
    const std::string stored = Cell(kPiedmont, SUBF_AMOUNT);
    const auto before = WriteContractStream(*ui.program.Doc().Contract());
    ui.Type(SUBF_AMOUNT, QStringLiteral("400000"));
    ui.Press(Qt::Key_Tab);
    ASSERT_EQ(Asked().size(), 1u);
    EXPECT_EQ(Asked()[0].caption, QStringLiteral("Amount Error"));
    EXPECT_EQ(Asked()[0].text,
              QStringLiteral("The amount entered must be greater than the original amount as "
                             "entered in Ironbark, which is 446360.000"));
    EXPECT_EQ(Asked()[0].icon, QMessageBox::Warning);
    // The field shows the stored amount again, selected, and keeps the focus.
    EXPECT_EQ(ui.FocusedField(), SUBF_AMOUNT);
    EXPECT_EQ(ui.Shown(SUBF_AMOUNT).toStdString(), stored);
    EXPECT_EQ(qobject_cast<CGreyEdit*>(form->FieldControl(SUBF_AMOUNT))->selectedText().toStdString(),
              stored);
    EXPECT_EQ(WriteContractStream(*ui.program.Doc().Contract()), before);
    // Leaving now stores nothing and tells nothing.
    ui.Leave();
    EXPECT_EQ(Asked().size(), 1u);
    // Raised above it, the amount is stored.
    ui.Type(SUBF_AMOUNT, QStringLiteral("450000"));
    ui.Leave();
    EXPECT_EQ(Cell(kPiedmont, SUBF_AMOUNT), "$450,000.00");
    EXPECT_EQ(Asked().size(), 1u);
}

} // namespace
} // namespace kestrel
