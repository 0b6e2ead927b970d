#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "calc/evaluator.h"
#include "edit/contractedits.h"
#include "edit/edittestutil.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/programpaths.h"
#include "model/subcontract/winmeta.h"

using namespace kestrel;

namespace {

std::unique_ptr<CContract> ReadDemo()
{
    std::unique_ptr<CContract> contract;
    EXPECT_EQ(ReadContractFile(std::string(KESTREL_SAMPLES) + "/DEMO.CON", contract), 0);
    return contract;
}

} // namespace

// Every kind of change, taken back in reverse order, gives back the very
// bytes the contract wrote before; made again, the bytes after.
TEST(ContractEdits, UndoingEveryChangeGivesBackTheSameBytes)
{
    auto contract = ReadDemo();
    ASSERT_TRUE(contract);
    Evaluator evaluator;
    CProgramPaths paths;
    CContractEdits edits(*contract, evaluator, paths);
    edits.RunCheck();
    const auto before = WriteContractStream(*contract);
    CWinMeta& table = *contract->m_pSubTable;
    CSubcontract* first = table.m_Records[0];
    CSubcontract* second = table.m_Records[1];

    std::vector<AppliedEdit> done;
    auto apply = [&](EditResult r) {
        ASSERT_TRUE(r.ok()) << r.errorText();
        done.push_back(std::move(r).value());
    };
    const std::string someLine = contract->m_Items[3]->m_strLineNumber.View().data();
    apply(edits.UseItem(*first, someLine, true));
    apply(edits.SetSubItemQuantity(*first, someLine, "12+3"));
    apply(edits.SetItemUnitPrice(someLine, "@QUAN*2"));
    apply(edits.AddSubcontractor(first));
    apply(edits.MoveSubcontractor(*table.m_Records[table.m_Records.GetSize() - 1], nullptr));
    apply(edits.DeleteSubcontractor(*second));
    apply(edits.SetTemplateText("Report Front", "changed"));
    apply(edits.SetCell(table, *first, SUBF_NAME, "Another Name"));
    const auto after = WriteContractStream(*contract);
    EXPECT_NE(after, before);
    EXPECT_TRUE(FlagTest(contract->m_wFlags, CONTRACT_MODIFIED));

    for (auto it = done.rbegin(); it != done.rend(); ++it)
        edits.Undo(*it);
    EXPECT_EQ(WriteContractStream(*contract), before);
    EXPECT_FALSE(FlagTest(contract->m_wFlags, CONTRACT_MODIFIED));
    EXPECT_EQ(table.m_Records[1], second);

    for (auto& e : done)
        edits.Redo(e);
    EXPECT_EQ(WriteContractStream(*contract), after);
}

// A template's lines are stored with line feeds, however they were typed
// or handed over (an edit box, `apply`); a carriage return on its own stays.
TEST(ContractEdits, TemplateTextsAreStoredWithLineFeeds)
{
    auto s = test::OpenDemo();
    ASSERT_TRUE(s);
    const struct {
        const char* typed;
        const char* stored;
    } cases[] = {
        {"a\r\nb\r\n", "a\nb\n"}, {"\r\n\r\n", "\n\n"}, {"a\rb\n\r", "a\rb\n\r"}, {"a\r\r\nb", "a\r\nb"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(s->edits->SetTemplateText("Report New", c.typed).ok());
        EXPECT_EQ(s->contract->FindDataTemplate("Report New")->m_strText.View(), c.stored) << c.typed;
    }
}
