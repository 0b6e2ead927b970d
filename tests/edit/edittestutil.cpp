#include "edit/edittestutil.h"

#include <gtest/gtest.h>

#include "file/contractfile.h"
#include "file/opencontract.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"

namespace kestrel::test {

EditSession::EditSession(std::unique_ptr<CContract> opened) : contract(std::move(opened))
{
    edits = std::make_unique<CContractEdits>(*contract, evaluator, paths);
    edits->RunCheck();
}

EditSession::~EditSession() = default;

CWinMeta& EditSession::Table() const
{
    return *contract->m_pSubTable;
}

CSubcontract& EditSession::Sub(std::string_view number) const
{
    CSubcontract* rec = Table().FindRecordByNumber(number);
    if (!rec) {
        ADD_FAILURE() << "no subcontractor numbered " << number;
        return *Table().m_Records[0];
    }
    return *rec;
}

CSubItem* EditSession::SubItem(std::string_view number, std::string_view line) const
{
    return Sub(number).FindSubItem(line);
}

std::vector<unsigned char> EditSession::Bytes() const
{
    return WriteContractStream(*contract);
}

bool EditSession::Modified() const
{
    return FlagTest(contract->m_wFlags, CONTRACT_MODIFIED);
}

std::unique_ptr<EditSession> OpenSession(const std::string& path)
{
    CProgramPaths paths;
    Result<OpenedFile> opened = OpenContractFile(path, paths);
    EXPECT_TRUE(opened.ok()) << path << ": " << (opened ? "" : opened.errorText());
    if (!opened)
        return nullptr;
    EXPECT_TRUE(opened->opened.listErrors.empty());
    auto session = std::make_unique<EditSession>(std::move(opened->contract));
    session->paths = paths;
    return session;
}

std::unique_ptr<EditSession> OpenDemo()
{
    return OpenSession(std::string(KESTREL_SAMPLES) + "/DEMO.CON");
}

std::unique_ptr<CContract> SmallContract(uint16_t flags)
{
    auto c = std::make_unique<CContract>();
    c->m_wFlags = flags;
    c->m_QuanFormat = {9, 3};
    c->m_UPFormat = {8, 5};
    c->m_ExtFormat = {9, 2};
    AddHeading(*c, "0001");
    CItem* a = AddItem(*c, "0010", 100, 2);
    a->m_strUnit = std::string("EA");
    CItem* b = AddItem(*c, "0020", 10, 50);
    b->m_strUnit = std::string("TON");
    c->m_pSubTable = MakeTextTable(20);
    c->RecalculateContract();
    return c;
}

CSubcontract& UsingTheLine(EditSession& s, const std::string& name)
{
    CSubcontract& rec = *AddSub(*s.contract, name);
    Made(s.edits->UseItem(rec, "0010", true));
    return rec;
}

TwoSubcontractors TwoOnTheLine(EditSession& s, const char* quantityOfA)
{
    CSubcontract& a = UsingTheLine(s, "A");
    Made(s.edits->SetSubItemQuantity(a, "0010", quantityOfA));
    CSubcontract& b = UsingTheLine(s, "B");
    return {a, b};
}

AppliedEdit Made(EditResult result)
{
    if (!result.ok()) {
        ADD_FAILURE() << "refused: " << result.errorText();
        return AppliedEdit{};
    }
    return std::move(result).value();
}

} // namespace kestrel::test
