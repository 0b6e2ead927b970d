// File > Apply Amendment... on the demo, through the real menu action and
// the real preview dialog (its buttons clicked): applied as one undo step
// that gives back the working file's bytes, the tree built again, the file
// name kept and Save As offering the amended file's name; a cancelled
// preview and a read-only contract change nothing.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>

#include "app/amendmentdlg.h"
#include "app/guitestsupport.h"
#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {
namespace {

using test::ProgramFixture;
using test::Q;

QAction* FileMenuAction(CMainFrame& frame, const QString& name)
{
    for (QAction* menu : frame.menuBar()->actions())
        if (menu->menu() && menu->text() == QStringLiteral("&File"))
            for (QAction* action : menu->menu()->actions())
                if (action->objectName() == name)
                    return action;
    return nullptr;
}

struct AmendmentGui : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(program.ShowDemo());
        amended = program.dir.file("DEMOAMND.CON");
        std::filesystem::copy_file(std::string(KESTREL_SAMPLES) + "/DEMOAMND.CON", amended);
        program.asker.amendmentFile = Q(amended);
    }
    CContract& Contract() { return *program.Doc().Contract(); }

    ProgramFixture program;
    std::string amended;
};

TEST_F(AmendmentGui, ApplyFromTheFileMenuIsOneUndoStep)
{
    QAction* action = FileMenuAction(program.Frame(), QStringLiteral("fileApplyAmendment"));
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QStringLiteral("Apply A&mendment..."));
    ASSERT_TRUE(action->isEnabled());
    const std::vector<unsigned char> before = WriteContractStream(Contract());
    const QString path = program.Doc().PathName();
    const int steps = program.Doc().UndoStack().count();
    QString shown;
    program.asker.onDialog = [&](QDialog& dialog) {
        auto* preview = qobject_cast<CAmendmentDialog*>(&dialog);
        EXPECT_NE(preview, nullptr);
        if (!preview)
            return int(QDialog::Rejected);
        shown = preview->Preview()->toPlainText();
        EXPECT_TRUE(preview->PrintButton()->isEnabled());
        QTest::mouseClick(preview->ApplyButton(), Qt::LeftButton);
        return preview->result();
    };
    action->trigger();
    EXPECT_TRUE(
        shown.contains(QStringLiteral("Line 1460  Item 503-04000  Quantity 26,400.000  (line removed)")))
        << shown.toStdString();
    EXPECT_EQ(Contract().iAmendCount, 1);
    EXPECT_EQ(Contract().FindItemByLineNumber("1460"), nullptr);
    EXPECT_TRUE(program.Doc().IsModified());
    EXPECT_EQ(program.Doc().PathName(), path);
    ASSERT_EQ(program.Doc().UndoStack().count(), steps + 1);
    EXPECT_TRUE(program.Doc().UndoStack().undoText().startsWith(QStringLiteral("Apply Amendment")));
    // The tree was built again over the carried-over records.
    CSubcontract* first = Contract().m_pSubTable->m_Records[0];
    EXPECT_NE(program.Tree().FindNode(first), nullptr);
    // Save As offers the amended file's name (cancelled here).
    program.asker.saveFile.clear();
    EXPECT_FALSE(program.Doc().DoSaveAs());
    EXPECT_EQ(program.asker.saveSuggestion, Q(amended));

    program.Doc().UndoStack().undo();
    EXPECT_EQ(WriteContractStream(Contract()), before);
    EXPECT_FALSE(program.Doc().IsModified());
    EXPECT_NE(program.Tree().FindNode(Contract().m_pSubTable->m_Records[0]), nullptr);
    program.Doc().UndoStack().redo();
    EXPECT_EQ(Contract().iAmendCount, 1);
}

TEST_F(AmendmentGui, CancelledPreviewOrForeignFileChangesNothing)
{
    const std::vector<unsigned char> before = WriteContractStream(Contract());
    const int steps = program.Doc().UndoStack().count();
    program.asker.onDialog = [](QDialog& dialog) {
        dialog.reject();
        return dialog.result();
    };
    program.Frame().Action(QStringLiteral("fileApplyAmendment"))->trigger();
    std::unique_ptr<CContract> foreign;
    ASSERT_EQ(ReadContractFile(amended, foreign), CF_OK);
    foreign->m_strHeader[HDR_LETTING_ID] = std::string("L260999");
    ASSERT_EQ(WriteContractFile(*foreign, program.dir.file("OTHER.CON")), CF_OK);
    program.asker.amendmentFile = Q(program.dir.file("OTHER.CON"));
    program.Frame().Action(QStringLiteral("fileApplyAmendment"))->trigger();
    ASSERT_FALSE(program.asker.asked.empty());
    EXPECT_EQ(program.asker.asked.back().caption, QStringLiteral("Apply Amendment"));
    EXPECT_TRUE(program.asker.asked.back().text.contains(QStringLiteral("L260999")));
    EXPECT_EQ(WriteContractStream(Contract()), before);
    EXPECT_EQ(program.Doc().UndoStack().count(), steps);
    EXPECT_FALSE(program.Doc().IsModified());
}

TEST(AmendmentGuiReadOnly, ARefusalComesBeforeTheFileIsChosen)
{
    ProgramFixture first;
    const QString demo = test::CopyDemo(first.dir);
    ASSERT_TRUE(first.Doc().OpenDocument(demo));
    ProgramFixture second;
    ASSERT_TRUE(second.OpenReadOnly(demo));
    int dialogs = 0;
    second.asker.onDialog = [&](QDialog&) { return ++dialogs, int(QDialog::Accepted); };
    second.asker.amendmentFile = Q(std::string(KESTREL_SAMPLES) + "/DEMOAMND.CON");
    second.Frame().Action(QStringLiteral("fileApplyAmendment"))->trigger();
    EXPECT_EQ(dialogs, 0);
    ASSERT_FALSE(second.asker.asked.empty());
    EXPECT_TRUE(second.asker.asked.back().text.contains(QStringLiteral("read-only")));
    EXPECT_EQ(second.Doc().Contract()->iAmendCount, 0);
}

} // namespace
} // namespace kestrel
