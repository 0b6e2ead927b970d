// The check panel on the demo contract: it lists the check's messages with
// their severity, follows an edit that completes a record (and its undo),
// and a double-click or Enter on a message goes to its place.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTreeView>

#include "app/checklistmodel.h"
#include "app/checkpanel.h"
#include "app/guitestsupport.h"
#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "edit/contractedits.h"
#include "grid/itemgridfixture.h"
#include "model/contract/contract.h"
#include "model/subcontract/check.h"
#include "model/subcontract/winmeta.h"
#include "views/dv_template.h"

namespace kestrel {
namespace {

using test::ProgramFixture;

class CheckPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.ShowDemo(1200, 860));
        program.Frame().Action(QStringLiteral("viewCheckPanel"))->trigger();
        QApplication::processEvents();
    }
    CCheckPanel& Panel() { return *program.Frame().CheckPanel(); }
    CCheckListModel& List() { return *Panel().Model(); }
    // The panel's rows as the last check has them: severity and text.
    void ExpectFollowsTheCheck()
    {
        const CheckResult& check = program.Doc().Edits()->LastCheck();
        int row = 0;
        for (const CheckMessage& message : check.messages) {
            if (message.severity == CheckSeverity::Marker)
                continue;
            ASSERT_LT(row, List().rowCount());
            EXPECT_EQ(List().Severity(row), message.severity);
            EXPECT_EQ(List().index(row, CCheckListModel::ColMessage).data().toString(),
                      test::Q(message.text));
            ++row;
        }
        EXPECT_EQ(row, List().rowCount());
    }
    int RowOf(const QString& text)
    {
        for (int row = 0; row < List().rowCount(); ++row)
            if (List().index(row, 0).data().toString() == text)
                return row;
        return -1;
    }

    ProgramFixture program;
};

TEST_F(CheckPanelTest, TheViewMenuShowsItAndItListsTheCheck)
{
    QAction* toggle = program.Frame().Action(QStringLiteral("viewCheckPanel"));
    EXPECT_EQ(toggle->text(), QStringLiteral("&Check Panel"));
    EXPECT_TRUE(Panel().isVisible());
    ExpectFollowsTheCheck();
    EXPECT_EQ(List().Errors(), program.Doc().Edits()->LastCheck().errors);
    EXPECT_TRUE(Panel().Summary()->text().contains(QStringLiteral("%1 errors").arg(List().Errors())));
    // Errors and warnings carry different icons.
    int error = -1;
    int warning = -1;
    for (int row = 0; row < List().rowCount(); ++row)
        (List().Severity(row) == CheckSeverity::Error ? error : warning) = row;
    ASSERT_GE(error, 0);
    ASSERT_GE(warning, 0);
    const auto icon = [this](int row) {
        return List().index(row, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage();
    };
    EXPECT_NE(icon(error), icon(warning));
    toggle->trigger();
    EXPECT_FALSE(Panel().isVisible());
}

TEST_F(CheckPanelTest, AnEditThatCompletesARecordTakesItsMessageAway)
{
    const QString misc = QStringLiteral("Data Error: Required fields not entered in Misc Data screen");
    ASSERT_GE(RowOf(misc), 0);
    // The miscellaneous data lack only the bid bond number.
    CWinMeta& table = *program.Doc().Contract()->m_pMiscTable;
    int field = -1;
    for (int j = 0; j < table.m_Fields.GetSize(); ++j)
        if (TextView(table.m_Fields[j]->m_strName) == "BID_BOND_NO")
            field = j;
    ASSERT_GE(field, 0);
    const int rows = List().rowCount();
    ASSERT_TRUE(
        program.Doc().ApplyEdit(program.Doc().Edits()->SetCell(table, *table.m_Records[0], field, "BB-1")));
    EXPECT_EQ(RowOf(misc), -1);
    EXPECT_EQ(List().rowCount(), rows - 1);
    ExpectFollowsTheCheck();
    program.Doc().UndoStack().undo();
    EXPECT_GE(RowOf(misc), 0);
    ExpectFollowsTheCheck();
}

TEST_F(CheckPanelTest, DoubleClickAndEnterGoToTheMessagesPlace)
{
    // A message about a subcontractor's field: its form, the focus in it.
    int row = -1;
    for (int r = 0; r < List().rowCount() && row < 0; ++r)
        if (List().Target(r).source == CheckSource::Subcontractor && List().Target(r).field >= 0)
            row = r;
    ASSERT_GE(row, 0);
    const CheckTarget target = List().Target(row);
    QTreeView* list = Panel().List();
    const QRect rect = list->visualRect(List().index(row, 0));
    // A double-click: a click, then the second press.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QApplication::processEvents();
    EXPECT_EQ(program.Tree().SelectedKind(), NODE_SUBCONTRACTOR);
    EXPECT_EQ(program.Tree().SelectedRecord(), target.record);
    auto* form = qobject_cast<CDV_Template*>(program.Frame().View()->CurrentView());
    ASSERT_NE(form, nullptr);
    QWidget* control = form->FieldControl(target.field);
    ASSERT_NE(control, nullptr);
    QWidget* focus = QApplication::focusWidget();
    EXPECT_TRUE(focus == control || control->isAncestorOf(focus));

    // Enter on the miscellaneous data's message: that form.
    const int misc = RowOf(QStringLiteral("Data Error: Required fields not entered in Misc Data screen"));
    ASSERT_GE(misc, 0);
    list->setFocus();
    list->setCurrentIndex(List().index(misc, 0));
    test::SendKey(list, Qt::Key_Return);
    EXPECT_EQ(program.Tree().SelectedKind(), NODE_MISC_DATA);
}

} // namespace
} // namespace kestrel
