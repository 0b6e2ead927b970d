// The data views: the view of each node kind, the kept subcontractor view,
// the "Subcontractor Items" split, the painted backgrounds, anchored
// controls, and the contract and subcontractor-list views.

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUndoStack>

#include "app/guitestsupport.h"
#include "app/mainframe.h"
#include "app/qtext.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "calc/formats.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"
#include "views/backgroundpainter.h"
#include "views/dv_blank.h"
#include "views/dv_contract.h"
#include "views/dv_debug.h"
#include "views/dv_itemschedulegrid.h"
#include "views/dv_misc.h"
#include "views/dv_placeholder.h"
#include "views/dv_sub.h"
#include "views/dv_sublist.h"
#include "views/dynaformview.h"
#include "views/subitemsplitter.h"
#include "views/substatusline.h"
#include "views/viewfactory.h"

namespace kestrel {
namespace {

using test::ProgramFixture;
using test::Q;

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto c = test::SmallContract(3);
        test::AddSub(*c, "Lower", c->m_pSubTable->m_Records[0]);
        FlagSet(c->m_wFlags, CONTRACT_HAS_MISC, 1);
        c->m_pMiscTable = test::MakeTextTable(2);
        c->m_pMiscTable->AddRecord(-1, -1);
        ASSERT_TRUE(program.Doc().OpenDocument(test::WriteContract(*c, program.dir.file("V.CON"))));
    }
    CSubView& View() { return *program.Frame().View(); }
    CSubcontract* Row(int i) { return program.Doc().Contract()->m_pSubTable->m_Records[i]; }
    void Choose(QTreeWidgetItem* node) { program.Tree().setCurrentItem(node); }

    ProgramFixture program;
};

TEST_F(ViewTest, EachNodeKindOpensItsView)
{
    CSubTreeView& tree = program.Tree();
    Choose(tree.ContractNode());
    EXPECT_NE(qobject_cast<CDV_Contract*>(View().RightPane()), nullptr);
    Choose(tree.SubcontractorsNode());
    EXPECT_NE(qobject_cast<CDV_SubList*>(View().RightPane()), nullptr);
    Choose(tree.FindKind(NODE_CONTRACT_ITEMS));
    auto* items = qobject_cast<CDV_ItemScheduleGrid*>(View().RightPane());
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(items->Kind(), NODE_CONTRACT_ITEMS);
    Choose(tree.FindKind(NODE_MISC_DATA));
    ASSERT_NE(qobject_cast<CDV_Misc*>(View().RightPane()), nullptr);
    EXPECT_EQ(View().CurrentView()->Kind(), NODE_MISC_DATA);
    tree.setCurrentItem(nullptr);
    EXPECT_NE(qobject_cast<CDV_Blank*>(View().RightPane()), nullptr);
    EXPECT_EQ(RoleOfKind(NODE_SUB_ITEM_ENTRY), ViewRole::Blank);
    EXPECT_EQ(RoleOfKind(NODE_TEMPLATE_INFO), ViewRole::Debug);
    EXPECT_EQ(RoleOfKind(NODE_DATA_TEMPLATE), ViewRole::DataTemplate);
    EXPECT_EQ(RoleOfKind(NODE_DEBUG_VIEW), ViewRole::SubDebugGrid);
    EXPECT_EQ(RoleOfKind(42), ViewRole::Blank);
}

TEST_F(ViewTest, TheSubcontractorViewIsKeptAndBoundAgain)
{
    CSubTreeView& tree = program.Tree();
    Choose(tree.FindNode(Row(0)));
    CDataView* first = View().CurrentView();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->IsReusable());
    EXPECT_EQ(first->Record(), Row(0));
    EXPECT_EQ(first->RecordIndex(), 0);
    Choose(tree.ContractNode());
    EXPECT_EQ(View().KeptView(), first);
    EXPECT_FALSE(first->isVisible());
    Choose(tree.FindNode(Row(2)));
    EXPECT_EQ(View().CurrentView(), first);
    EXPECT_EQ(first->Record(), Row(2));
    auto* form = qobject_cast<CDV_Sub*>(first);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Display().fields[SUBF_NAME].text, "Sub 3");
    // Its status line follows the record it is bound to now.
    CSubStatusLine* status = form->StatusLine();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), CSubStatusLine::StatusText(Row(2)));
    FlagSet(Row(2)->m_wFlags, SUB_COMPLETE, 0);
    status->Refresh();
    EXPECT_EQ(status->text(), QStringLiteral("< SUBCONTRACT RECORD IS INCOMPLETE >"));
    FlagSet(Row(0)->m_wFlags, SUB_COMPLETE, 1);
    Choose(tree.FindNode(Row(0)));
    EXPECT_EQ(first->Record(), Row(0));
    EXPECT_EQ(View().CurrentView(), first);
    EXPECT_TRUE(FlagTest(Row(0)->m_wFlags, SUB_COMPLETE));
    EXPECT_EQ(status->text(), QString());
    EXPECT_EQ(View().KeptView(), nullptr);
    // Another contract: the kept view goes.
    Choose(tree.ContractNode());
    ASSERT_NE(View().KeptView(), nullptr);
    ASSERT_TRUE(program.Doc().OpenDocument(Q(program.dir.file("V.CON"))));
    EXPECT_EQ(View().KeptView(), nullptr);
}

TEST_F(ViewTest, ARecordGoneFromTheContractIsNoLongerTheViewsRecord)
{
    CSubcontract* record = Row(1);
    CDV_Blank view;
    view.Bind(&program.Doc(), ViewBinding{NODE_SUBCONTRACTOR, record, QString(), QString()});
    view.InitialUpdate();
    EXPECT_EQ(view.Record(), record);
    EXPECT_EQ(view.RecordIndex(), 1);
    ASSERT_TRUE(program.Doc().ApplyEdit(program.Doc().Edits()->DeleteSubcontractor(*record)));
    EXPECT_FALSE(program.Doc().IsRecordAlive(record));
    EXPECT_EQ(view.Record(), nullptr);
    EXPECT_EQ(view.RecordIndex(), -1);
    // Undone, the very record is back, and the view's again.
    program.Doc().UndoStack().undo();
    EXPECT_EQ(view.Record(), record);
}

TEST_F(ViewTest, SubcontractorItemsSplitTheGridOverTheEntry)
{
    program.Doc().Settings().hSplitterPos = 180;
    Choose(program.Tree().FindNode(Row(0))->child(0));
    CSubItemSplitter* split = View().ItemSplitter();
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(split->orientation(), Qt::Vertical);
    EXPECT_EQ(split->Upper()->Kind(), NODE_SUB_ITEMS);
    EXPECT_EQ(split->Lower()->Kind(), NODE_SUB_ITEM_ENTRY);
    EXPECT_EQ(split->Upper()->Record(), Row(0));
    EXPECT_EQ(split->Lower()->Record(), Row(0));
    QApplication::processEvents();
    EXPECT_EQ(split->sizes().value(0), 180);
    // The user's height is kept in the settings.
    split->setSizes({150, split->sizes().value(0) + split->sizes().value(1) - 150});
    emit split->splitterMoved(150, 1);
    EXPECT_EQ(program.Doc().Settings().hSplitterPos, 150);
    EXPECT_EQ(View().Panes().size(), 3);
}

TEST_F(ViewTest, RegisteredViewsTakeThePlaceholdersPlace)
{
    int made = 0;
    CViewFactory::Register(ViewRole::ItemScheduleGrid, [&made](QWidget* parent) -> CDataView* {
        ++made;
        return new CDV_Debug(parent);
    });
    Choose(program.Tree().FindKind(NODE_CONTRACT_ITEMS));
    CViewFactory::Reset();
    EXPECT_EQ(made, 1);
    EXPECT_NE(qobject_cast<CDV_Debug*>(View().RightPane()), nullptr);
    EXPECT_EQ(View().CurrentView()->Kind(), NODE_CONTRACT_ITEMS);
}

TEST_F(ViewTest, TheColourHintRepaintsWithTheNewBackground)
{
    Choose(program.Tree().ContractNode());
    CDataView* view = View().CurrentView();
    EXPECT_EQ(view->Background().GetMode(), CBackgroundPainter::Gradient);
    EXPECT_EQ(program.Tree().Background().GetMode(), CBackgroundPainter::Gradient);
    program.Doc().Settings().backgroundType = 0;
    program.Doc().BroadcastColorHint();
    EXPECT_EQ(view->Background().GetMode(), CBackgroundPainter::None);
    EXPECT_EQ(program.Tree().Background().GetMode(), CBackgroundPainter::None);
    program.Doc().Settings().backgroundType = 1;
    program.Doc().Settings().topColor = QColor(10, 20, 30);
    program.Doc().BroadcastColorHint();
    EXPECT_EQ(view->Background().GetMode(), CBackgroundPainter::Gradient);
    EXPECT_EQ(view->Background().TopColor(), QColor(10, 20, 30));
}

TEST_F(ViewTest, TheContractViewShowsTheHeader)
{
    CContract& c = *program.Doc().Contract();
    c.m_strPrimeID = std::string("P1");
    c.m_strPrimeName = std::string("Prime & Co.");
    c.m_strHeader[HDR_PROJECT_NUMBER] = std::string("ONE");
    c.m_strHeader[HDR_CONTRACT_DESCRIPTION] = std::string("Line one\r\nline two\nthree");
    c.dLetingDate = 1700000000;
    CCounty* county = c.m_Counties.Add();
    county->m_strName = std::string("Harlan");
    Choose(program.Tree().SubcontractorsNode());
    Choose(program.Tree().ContractNode());
    auto* view = qobject_cast<CDV_Contract*>(View().RightPane());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Field(QStringLiteral("Contract ID:"))->text(), QStringLiteral("T-100"));
    EXPECT_EQ(view->Field(QStringLiteral("Prime Name:"))->text(), QStringLiteral("Prime & Co."));
    EXPECT_EQ(view->Field(QStringLiteral("Project ID:"))->text(), QStringLiteral("ONE"));
    EXPECT_EQ(view->Field(QStringLiteral("County:"))->text(), QStringLiteral("Harlan"));
    EXPECT_EQ(view->Field(QStringLiteral("Letting Date:"))->text(), Q(FormatDate(1700000000, 4)).trimmed());
    // The check value of the contract as it stands, stored with it.
    EXPECT_EQ(c.m_dwCheck, ComputeCheckValue(c));
    EXPECT_EQ(view->Field(QStringLiteral("Check:"))->text(), CDV_Contract::CheckText(c.m_dwCheck));
    EXPECT_EQ(view->Description()->toPlainText(), QStringLiteral("Line one line two three"));
    EXPECT_TRUE(view->Field(QStringLiteral("Check:"))->isReadOnly());
}

TEST(ContractViewTexts, MultipleProjectsAndCounties)
{
    EXPECT_EQ(CDV_Contract::ProjectIdText(QStringLiteral("A\nB")), QStringLiteral("Multiple"));
    EXPECT_EQ(CDV_Contract::ProjectIdText(QStringLiteral("A\r\nB")), QStringLiteral("Multiple"));
    EXPECT_EQ(CDV_Contract::ProjectIdText(QStringLiteral("A B")), QStringLiteral("A B"));
    CContract c;
    EXPECT_EQ(CDV_Contract::CountyText(c), QString());
    c.m_Counties.Add()->m_strName = std::string("Merrick");
    EXPECT_EQ(CDV_Contract::CountyText(c), QStringLiteral("Merrick"));
    c.m_Counties.Add()->m_strName = std::string("Harlan");
    EXPECT_EQ(CDV_Contract::CountyText(c), QStringLiteral("Multiple"));
    EXPECT_EQ(CDV_Contract::CheckText(0xABCu), QStringLiteral("00000ABC"));
    EXPECT_EQ(CDV_Contract::CheckText(0xFFFFFFFFu), QStringLiteral("FFFFFFFF"));
    EXPECT_EQ(CDV_Contract::DescriptionText(QStringLiteral("a\r\nb\rc\nd")), QStringLiteral("a b c d"));
}

TEST(SubListTexts, PercentOfTheContractTotal)
{
    EXPECT_EQ(CDV_SubList::PercentText(50, 200, 3, 2), Q(FormatNumber(25, 3, 2, false, false) + "% "));
    // Nothing to divide by, or nothing entered: 0 %.
    EXPECT_EQ(CDV_SubList::PercentText(50, 0, 3, 2), Q(FormatNumber(0, 3, 2, false, false) + "% "));
    double blank = 0;
    SetBlankValue(blank);
    EXPECT_EQ(CDV_SubList::PercentText(50, blank, 3, 2), Q(FormatNumber(0, 3, 2, false, false) + "% "));
    EXPECT_EQ(CDV_SubList::PercentText(blank, 200, 3, 2), Q(FormatNumber(0, 3, 2, false, false) + "% "));
    EXPECT_EQ(CDV_SubList::TotalText(1234.5), Q(FormatNumber(1234.5, 15, 2, true, true) + " "));
}

TEST_F(ViewTest, TheSubcontractorListFollowsTheTotals)
{
    Choose(program.Tree().SubcontractorsNode());
    auto* view = qobject_cast<CDV_SubList*>(View().RightPane());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->HeaderValue(2)->text(), QStringLiteral("T-100"));
    EXPECT_EQ(view->HeaderValue(3)->text(), QStringLiteral("4"));
    program.Tree().setCurrentItem(program.Tree().SubcontractorsNode());
    program.Tree().OnAddSubcontractor();
    Choose(program.Tree().SubcontractorsNode());
    view = qobject_cast<CDV_SubList*>(View().RightPane());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->HeaderValue(3)->text(), QStringLiteral("5"));
    const CWinMeta& table = *program.Doc().Contract()->m_pSubTable;
    EXPECT_EQ(view->TotalLabel()->text(), CDV_SubList::TotalText(table.m_fSubTotal));
    // The percentage's right edge sits at the middle of the totals box.
    view->resize(900, 500);
    QApplication::processEvents();
    const QRect percent = view->PercentLabel()->geometry();
    EXPECT_NEAR(percent.x() + percent.width(), view->TotalsBox()->width() / 2, 1);
}

TEST(Background, BandColoursTruncateTowardZero)
{
    const QColor top(200, 0, 100);
    const QColor bottom(100, 128, 100);
    EXPECT_EQ(CBackgroundPainter::BandColor(top, bottom, 0), top);
    EXPECT_EQ(CBackgroundPainter::BandColor(top, bottom, 128), bottom);
    // (100 - 200) * 1 / 128 is -0.78: truncated to 0, not floored to -1.
    EXPECT_EQ(CBackgroundPainter::BandColor(top, bottom, 1).red(), 200);
    EXPECT_EQ(CBackgroundPainter::BandColor(top, bottom, 1).green(), 1);
    EXPECT_EQ(CBackgroundPainter::BandColor(top, bottom, 64), QColor(150, 64, 100));
    EXPECT_EQ(CBackgroundPainter::BandTop(64, 1000), 500);
}

TEST(Background, GradientPaintsBandsDownTheView)
{
    CBackgroundPainter painter;
    painter.SetGradient(QColor(0, 0, 0), QColor(255, 255, 255));
    QImage image(50, 256, QImage::Format_RGB32);
    image.fill(Qt::red);
    {
        QPainter p(&image);
        painter.Paint(p, image.rect(), 0, QPoint(0, 0));
    }
    EXPECT_EQ(QColor(image.pixel(10, 0)), QColor(0, 0, 0));
    EXPECT_EQ(QColor(image.pixel(10, 255)), CBackgroundPainter::BandColor(Qt::black, Qt::white, 127));
    for (int y = 1; y < 256; ++y)
        EXPECT_GE(qGray(image.pixel(25, y)), qGray(image.pixel(25, y - 1))) << y;
    // Content taller than the view: the bands belong to the content.
    QImage scrolled(50, 100, QImage::Format_RGB32);
    {
        QPainter p(&scrolled);
        painter.Paint(p, scrolled.rect(), 400, QPoint(0, 200));
    }
    EXPECT_EQ(QColor(scrolled.pixel(10, 0)), CBackgroundPainter::BandColor(Qt::black, Qt::white, 64));
}

TEST(Background, ModesFromTheSettings)
{
    CSubSettings settings;
    settings.backgroundType = 1;
    settings.topColor = QColor(1, 1, 1);
    settings.bottomColor = QColor(2, 2, 2);
    CBackgroundPainter painter;
    painter.FromSettings(settings, 24);
    EXPECT_EQ(painter.GetMode(), CBackgroundPainter::Gradient);
    // 8 bits per pixel or fewer: the system colours.
    painter.FromSettings(settings, 8);
    EXPECT_EQ(painter.GetMode(), CBackgroundPainter::None);
    settings.backgroundType = 2;
    settings.backgroundBitmap = QStringLiteral("/nonexistent/paper.bmp");
    painter.FromSettings(settings, 24);
    EXPECT_EQ(painter.GetMode(), CBackgroundPainter::None);
    test::TempDir dir;
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(QColor(9, 99, 199));
    ASSERT_TRUE(tile.save(Q(dir.file("tile.png"))));
    settings.backgroundBitmap = Q(dir.file("tile.png"));
    painter.FromSettings(settings, 24);
    ASSERT_EQ(painter.GetMode(), CBackgroundPainter::Bitmap);
    QImage image(20, 20, QImage::Format_RGB32);
    {
        QPainter p(&image);
        painter.Paint(p, image.rect(), 0, QPoint(3, 3));
    }
    EXPECT_EQ(QColor(image.pixel(19, 19)), QColor(9, 99, 199));
}

TEST(Anchors, ControlsNeverMoveLeftOrAboveTheirPlace)
{
    const QSize extent(300, 200);
    const AnchorEntry move =
        MakeAnchor(nullptr, ANCHOR_MOVE_RIGHT | ANCHOR_MOVE_DOWN, QRect(200, 150, 80, 20), extent);
    EXPECT_EQ(AnchoredRect(move, QSize(400, 300)), QRect(300, 250, 80, 20));
    EXPECT_EQ(AnchoredRect(move, QSize(100, 50)), QRect(200, 150, 80, 20));
    const AnchorEntry stretch =
        MakeAnchor(nullptr, ANCHOR_STRETCH_RIGHT | ANCHOR_STRETCH_DOWN, QRect(10, 20, 100, 50), extent);
    EXPECT_EQ(AnchoredRect(stretch, QSize(500, 400)), QRect(10, 20, 300, 250));
    EXPECT_EQ(AnchoredRect(stretch, QSize(50, 50)), QRect(10, 20, 100, 50));
    const AnchorEntry centred = MakeAnchor(nullptr, ANCHOR_CENTER, QRect(140, 90, 20, 20), extent);
    EXPECT_EQ(AnchoredRect(centred, QSize(600, 400)), QRect(290, 190, 20, 20));
    const AnchorEntry still = MakeAnchor(nullptr, 0, QRect(5, 5, 10, 10), extent);
    EXPECT_EQ(AnchoredRect(still, QSize(900, 900)), QRect(5, 5, 10, 10));
}

TEST(Anchors, FramesGiveTheFlagsOfTheControlsTheyOverlap)
{
    CDV_Blank view;
    QWidget* form = view.Form();
    auto* rightFrame = new QWidget(form);
    rightFrame->setGeometry(250, 0, 50, 200); // move with the right edge
    auto* stretchFrame = new QWidget(form);
    stretchFrame->setGeometry(0, 100, 300, 10); // stretch with the right edge
    auto* button = new QPushButton(form);
    button->setGeometry(260, 10, 30, 20);
    auto* edit = new QLineEdit(form);
    edit->setGeometry(10, 95, 200, 20);
    auto* label = new QLineEdit(form);
    label->setGeometry(10, 10, 50, 20);
    view.SetAnchorFlags(label, ANCHOR_MOVE_DOWN);
    view.EnableAnchoring({rightFrame, stretchFrame});
    EXPECT_FALSE(rightFrame->isVisibleTo(&view));
    EXPECT_EQ(view.FormExtent(), QSize(300, 200));
    view.resize(500, 400);
    view.show();
    QApplication::processEvents();
    const QSize client = form->size();
    EXPECT_EQ(button->geometry().right() + 1, client.width() - 10);
    EXPECT_EQ(edit->geometry().x(), 10);
    EXPECT_EQ(edit->geometry().right() + 1, client.width() - 90);
    EXPECT_EQ(label->geometry().bottom() + 1, client.height() - 170);
    // Smaller than the form: everything in its place, the view scrolls.
    view.resize(120, 80);
    QApplication::processEvents();
    EXPECT_EQ(button->geometry(), QRect(260, 10, 30, 20));
    EXPECT_EQ(edit->geometry(), QRect(10, 95, 200, 20));
    EXPECT_EQ(label->geometry(), QRect(10, 10, 50, 20));
}

TEST(DebugView, ShowsItsNote)
{
    CDV_Debug view;
    EXPECT_TRUE(view.Note()->text().startsWith(QStringLiteral("Debug Node\n\nUse this section")));
    EXPECT_TRUE(
        CDV_Debug::NoteText().endsWith(QStringLiteral("Use Ctrl-Enter rather than Enter to add a new line")));
}

} // namespace
} // namespace kestrel
