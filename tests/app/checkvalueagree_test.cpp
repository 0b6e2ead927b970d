// One file, one check value: the program's contract view, kestrel-cli info
// and kestrel-cli report give the same check value for the demo and for
// generated contracts, as opened and after a vendor chosen, an amount
// typed and a save.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>

#include "app/guitestsupport.h"
#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "demogen/demogen.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/clirun.h"
#include "views/dv_contract.h"

namespace kestrel {
namespace {

using test::ProgramFixture;
using test::Q;

std::string Local(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// The value after `label` in the output of a kestrel-cli command.
QString CliValue(const std::vector<std::string>& args, const std::string& label)
{
    const test::CliRun run = test::RunCli(args);
    EXPECT_EQ(run.status, 0) << run.err;
    const size_t at = run.out.find(label);
    if (at == std::string::npos)
        return QString();
    const size_t start = run.out.find_first_not_of(' ', at + label.size());
    return QString::fromStdString(run.out.substr(start, 8));
}

// What the program's contract view shows.
QString Shown(ProgramFixture& program)
{
    CSubTreeView& tree = program.Tree();
    tree.setCurrentItem(tree.FindKind(NODE_SUBCONTRACTORS));
    tree.setCurrentItem(tree.FindKind(NODE_CONTRACT));
    QApplication::processEvents();
    auto* view = qobject_cast<CDV_Contract*>(program.Frame().View()->RightPane());
    return view ? view->Field(QStringLiteral("Check:"))->text() : QString();
}

void ExpectOneCheckValue(ProgramFixture& program, const QString& path, const char* when)
{
    const QString shown = Shown(program);
    EXPECT_EQ(shown.size(), 8) << when;
    EXPECT_EQ(CliValue({"info", Local(path)}, "Check: "), shown) << when;
    EXPECT_EQ(CliValue({"report", Local(path), "--text", "-"}, "Check Value"), shown) << when;
}

TEST(OneCheckValue, TheProgramAndTheCommandLineAgreeBeforeAndAfterASave)
{
    ProgramFixture program;
    const QString demo = test::CopyDemo(program.dir);
    const QString generated = Q(program.dir.file("GEN.CON"));
    auto built = demo::BuildLargeContract({80, 8, 12});
    ASSERT_EQ(demo::WriteContract(*built, Local(generated)), "");
    // As the program saved a chosen vendor before: its name and address
    // without the vendor's list position, which opening links again.
    const QString unlinked = Q(program.dir.file("UNLINKED.CON"));
    for (const auto& rec : built->m_pSubTable->m_Records)
        for (int j : {12, 14})
            rec->GetCell(j)->m_i = -1;
    ASSERT_EQ(demo::WriteContract(*built, Local(unlinked)), "");
    for (const QString& path : {demo, generated, unlinked}) {
        ASSERT_TRUE(program.Doc().OpenDocument(path));
        program.Frame().show();
        ExpectOneCheckValue(program, path, "opened");

        CSubDoc& doc = program.Doc();
        CWinMeta& table = *doc.Contract()->m_pSubTable;
        // A vendor chosen for a record whose vendor was typed, an amount.
        CSubcontract* typedVendor = table.m_Records[table.m_Records.GetSize() - 1];
        for (const auto& rec : table.m_Records)
            if (rec->GetCell(10)->m_i < 0)
                typedVendor = rec.get();
        ASSERT_TRUE(doc.ApplyEdit(doc.Edits()->SetCell(table, *typedVendor, 10, "027341")));
        for (const auto& rec : table.m_Records)
            if (!rec->IsItemized() && !FlagTest(rec->m_wFlags, SUB_FROMIRONBARK)) {
                ASSERT_TRUE(doc.ApplyEdit(doc.Edits()->SetCell(table, *rec, SUBF_AMOUNT, "300000")));
            }
        ASSERT_TRUE(doc.DoFileSave());
        ExpectOneCheckValue(program, path, "saved");
        // Opened again in the program: the same.
        ASSERT_TRUE(program.Doc().OnNewDocument());
        ASSERT_TRUE(program.Doc().OpenDocument(path));
        ExpectOneCheckValue(program, path, "opened again");
    }
}

} // namespace
} // namespace kestrel
