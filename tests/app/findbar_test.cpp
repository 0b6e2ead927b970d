// The find bar on the demo contract: Ctrl+F opens it with its text
// selected, hits are counted as "n of N", Enter and Shift+Enter go round
// the hits, each hit is shown where it is (the tree node, the item's row,
// the subcontractor's field, the sub-item's line) while the focus stays in
// the bar, and Esc closes it.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/contractnavigator.h"
#include "app/findbar.h"
#include "app/guitestsupport.h"
#include "app/mainframe.h"
#include "app/qtext.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "grid/gridview.h"
#include "grid/itemgridfixture.h"
#include "model/contract/contract.h"
#include "model/subcontract/subcontract.h"
#include "views/dv_itemschedulegrid.h"
#include "views/dv_sub.h"
#include "views/dv_subitemgrid.h"
#include "views/dv_template.h"
#include "views/formfield.h"
#include "views/subitemsplitter.h"

namespace kestrel {
namespace {

using test::ProgramFixture;
using test::Q;
using test::SendKey;

class FindBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.ShowDemo());
    }
    CFindBar& Bar() { return *program.Frame().FindBar(); }
    void Find(const QString& text)
    {
        program.Frame().Action(QStringLiteral("editFind"))->trigger();
        Bar().Edit()->setText(text);
        Bar().SearchNow();
        QApplication::processEvents();
    }
    // What is shown now is the place of the hit.
    void ExpectShown(const SearchHit& hit)
    {
        CSubTreeView& tree = program.Tree();
        CSubView& view = *program.Frame().View();
        switch (hit.place) {
        case HitPlace::Item: {
            EXPECT_EQ(tree.SelectedKind(), NODE_CONTRACT_ITEMS);
            auto* grid = qobject_cast<CDV_ItemScheduleGrid*>(view.CurrentView());
            ASSERT_NE(grid, nullptr);
            EXPECT_EQ(grid->Source().ItemOfRow(grid->Grid()->CurrentRow()), hit.item);
            break;
        }
        case HitPlace::SubcontractorField:
        case HitPlace::SubcontractorRemark: {
            EXPECT_EQ(tree.SelectedKind(), NODE_SUBCONTRACTOR);
            EXPECT_EQ(tree.SelectedRecord(), hit.record);
            auto* form = qobject_cast<CDV_Sub*>(view.CurrentView());
            ASSERT_NE(form, nullptr);
            if (form->FieldControl(hit.field)) {
                EXPECT_EQ(program.Frame().Navigator()->MarkedControl(), form->FieldControl(hit.field));
            }
            break;
        }
        case HitPlace::MiscField: {
            EXPECT_EQ(tree.SelectedKind(), NODE_MISC_DATA);
            auto* form = qobject_cast<CDV_Template*>(view.CurrentView());
            ASSERT_NE(form, nullptr);
            EXPECT_EQ(program.Frame().Navigator()->MarkedControl(), form->FieldControl(hit.field));
            break;
        }
        case HitPlace::SubItemNote: {
            EXPECT_EQ(tree.SelectedKind(), NODE_SUB_ITEMS);
            EXPECT_EQ(tree.SelectedRecord(), hit.record);
            auto* grid = qobject_cast<CDV_SubItemGrid*>(view.ItemSplitter()->Upper());
            ASSERT_NE(grid, nullptr);
            EXPECT_EQ(grid->CurrentLine(), hit.line);
            break;
        }
        }
        // The user goes on typing or pressing Enter in the bar.
        EXPECT_EQ(QApplication::focusWidget(), Bar().Edit());
    }

    ProgramFixture program;
};

// A field of the miscellaneous data is found, shown and named by its caption.
TEST_F(FindBarTest, AMiscellaneousDataFieldIsFoundAndNamed)
{
    Find(QStringLiteral("great valley surety"));
    ASSERT_EQ(Bar().Hits().hits.size(), 1u);
    ExpectShown(Bar().Hits().hits[0]);
    EXPECT_EQ(Bar().PlaceLabel()->text(), QStringLiteral("Miscellaneous Data, Surety"));
}

TEST_F(FindBarTest, HitsAreCountedAndGoneRoundBothWays)
{
    // A word in item descriptions and in a subcontractor's name.
    const QString needle = QStringLiteral("bridge");
    const SearchResult expected = SearchContract(*program.Doc().Contract(), FromQString(needle));
    const int n = static_cast<int>(expected.hits.size());
    ASSERT_GE(n, 3);
    bool places[4] = {};
    for (const SearchHit& hit : expected.hits)
        places[static_cast<int>(hit.place)] = true;
    ASSERT_TRUE(places[int(HitPlace::Item)] && places[int(HitPlace::SubcontractorField)]);

    Find(needle);
    EXPECT_TRUE(Bar().isVisible());
    ASSERT_EQ(static_cast<int>(Bar().Hits().hits.size()), n);
    EXPECT_EQ(Bar().CountLabel()->text(), QStringLiteral("1 of %1").arg(n));
    ExpectShown(expected.hits[0]);
    // Enter goes forward through every hit and round to the first.
    for (int i = 1; i <= n; ++i) {
        SendKey(Bar().Edit(), Qt::Key_Return);
        const int at = i % n;
        EXPECT_EQ(Bar().Current(), at);
        EXPECT_EQ(Bar().CountLabel()->text(), QStringLiteral("%1 of %2").arg(at + 1).arg(n));
        ExpectShown(expected.hits[static_cast<size_t>(at)]);
    }
    // Shift+Enter goes back from the first to the last.
    SendKey(Bar().Edit(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Bar().Current(), n - 1);
    ExpectShown(expected.hits.back());
}

TEST_F(FindBarTest, CtrlFSelectsTheTextAndNoHitIsSaidPlainly)
{
    Find(QStringLiteral("zzqx-nothing"));
    EXPECT_EQ(Bar().CountLabel()->text(), QStringLiteral("No hits"));
    EXPECT_EQ(Bar().Current(), -1);
    EXPECT_NE(Bar().Edit()->palette().color(QPalette::Base),
              QApplication::palette(Bar().Edit()).color(QPalette::Base));
    // Ctrl+F again: the text is selected, ready to be typed over.
    Bar().Edit()->deselect();
    program.Frame().Action(QStringLiteral("editFind"))->trigger();
    EXPECT_EQ(Bar().Edit()->selectedText(), QStringLiteral("zzqx-nothing"));
    EXPECT_EQ(QApplication::focusWidget(), Bar().Edit());
    // The shortcut is the program's only binding of Ctrl+F; F3 still saves.
    EXPECT_EQ(program.Frame().Action(QStringLiteral("editFind"))->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_F));
    EXPECT_TRUE(
        program.Frame().Action(QStringLiteral("fileSave"))->shortcuts().contains(QKeySequence(Qt::Key_F3)));
    SendKey(Bar().Edit(), Qt::Key_Escape);
    EXPECT_FALSE(Bar().isVisible());
}

TEST_F(FindBarTest, TypingSearchesAfterAPauseAndEscGoesToTheHit)
{
    program.Frame().Action(QStringLiteral("editFind"))->trigger();
    test::TypeText(Bar().Edit(), QStringLiteral("keystone"));
    // Not yet: the search waits for the typing to pause.
    EXPECT_TRUE(Bar().Hits().hits.empty());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Bar().Hits().hits.empty(); }, 3000));
    const SearchHit hit = Bar().Hits().hits.front();
    ASSERT_EQ(hit.place, HitPlace::SubcontractorField);
    SendKey(Bar().Edit(), Qt::Key_Escape);
    EXPECT_FALSE(Bar().isVisible());
    auto* form = qobject_cast<CDV_Sub*>(program.Frame().View()->CurrentView());
    ASSERT_NE(form, nullptr);
    QWidget* control = form->FieldControl(hit.field);
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(QApplication::focusWidget() == control || control->isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(program.Frame().Navigator()->MarkedControl(), nullptr);
}

} // namespace
} // namespace kestrel
