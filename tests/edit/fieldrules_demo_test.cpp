// The form field rules on the demo contract, opened as the program opens
// it (its list files beside it).

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "calc/evaluator.h"
#include "edit/contractedits.h"
#include "edit/fieldrules.h"
#include "file/contractfile.h"
#include "file/opencontract.h"
#include "model/contract/contract.h"
#include "model/subcontract/programpaths.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {
namespace {

class DemoFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string path = std::string(KESTREL_SAMPLES) + "/DEMO.CON";
        ASSERT_EQ(ReadContractFile(path, contract), 0);
        const OpenedContract opened = FinishOpenContract(*contract, path, paths);
        ASSERT_TRUE(opened.listErrors.empty());
        edits = std::make_unique<CContractEdits>(*contract, evaluator, paths);
        edits->RunCheck();
    }
    CWinMeta& Sub() { return *contract->m_pSubTable; }

    std::unique_ptr<CContract> contract;
    Evaluator evaluator;
    CProgramPaths paths;
    std::unique_ptr<CContractEdits> edits;
};

TEST_F(DemoFormTest, BindingARecordChangesNothing)
{
    const auto bytes = WriteContractStream(*contract);
    for (int i = 0; i < Sub().m_Records.GetSize(); ++i) {
        CSubcontract& rec = *Sub().m_Records[i];
        const FormDisplay shown = edits->ShowRecord(Sub(), rec);
        ASSERT_EQ(shown.fields.size(), 60u);
        // Choosing again what every box shows changes nothing either.
        for (int j = 0; j < Sub().m_Fields.GetSize(); ++j) {
            const FieldDisplay& f = shown.fields[static_cast<size_t>(j)];
            if (f.readOnly || f.choice < 0)
                continue;
            EditResult r = edits->ChooseListEntry(Sub(), rec, j, f.position);
            ASSERT_TRUE(r.ok()) << i << "/" << j << ": " << r.errorText();
            EXPECT_FALSE(r->event.valuesChanged) << i << "/" << j;
        }
    }
    (void)edits->ShowRecord(*contract->m_pMiscTable, *contract->m_pMiscTable->m_Records[0]);
    EXPECT_EQ(WriteContractStream(*contract), bytes);
    EXPECT_FALSE(FlagTest(contract->m_wFlags, CONTRACT_MODIFIED));
}

// A change is named as the user knows it: a field by the form's caption
// (the label before it on its line; the help text where it has none), a
// deleted subcontractor by its name.
TEST_F(DemoFormTest, ChangesAreNamedByTheFormsCaptions)
{
    CWinMeta& misc = *contract->m_pMiscTable;
    for (const auto& [table, field, typed, named] :
         {std::tuple{&Sub(), 10, "999999", "Vendor ID"},
          std::tuple{&Sub(), 11, "12-3456789", "Federal Tax ID"},
          std::tuple{&Sub(), 4, "03/04/26", "Agreement Date"},
          std::tuple{&Sub(), 28, "", "Further work type"}, std::tuple{&misc, 9, "BB-1", "Bid Bond No."}}) {
        const EditResult r = edits->SetCell(*table, *table->m_Records[table == &misc ? 0 : 1], field, typed);
        ASSERT_TRUE(r.ok()) << field << ": " << r.errorText();
        EXPECT_EQ(r->description, named) << field;
    }
    const EditResult deleted = edits->DeleteSubcontractor(*Sub().m_Records[1]);
    ASSERT_TRUE(deleted.ok());
    EXPECT_EQ(deleted->description, "Delete Subcontractor Keystone Bridge & Structures LLC");
}

TEST_F(DemoFormTest, TheDemoFormShowsItsRecords)
{
    const CSubcontract& first = *Sub().m_Records[0];
    const FormDisplay shown = edits->ShowRecord(Sub(), first);
    EXPECT_EQ(shown.fields[SUBF_NAME].text, TextView(*first.GetCellText(SUBF_NAME)));
    EXPECT_TRUE(shown.fields[SUBF_AMOUNT].readOnly); // itemized
    const FieldDisplay& type = shown.fields[SUBF_TYPE];
    ASSERT_GE(type.choice, 0);
    EXPECT_EQ(type.text, "Itemized - by contract items");
    // Work types: only the vendor's, each at its list position.
    const FieldDisplay& work = shown.fields[26];
    ASSERT_GE(work.position, 0);
    EXPECT_EQ(work.choices.entries[static_cast<size_t>(work.choice)].position, work.position);
    EXPECT_LT(work.choices.entries.size(), 25u);
    // Record 7 came from Ironbark and is locked; record 2 is incomplete.
    const FormDisplay ironbark = edits->ShowRecord(Sub(), *Sub().m_Records[6]);
    EXPECT_TRUE(ironbark.locked);
    EXPECT_TRUE(ironbark.fields[SUBF_NAME].readOnly);
    EXPECT_EQ(edits->ShowRecord(Sub(), *Sub().m_Records[1]).status, "< SUBCONTRACT RECORD IS INCOMPLETE >");
}

// The form marks the fields a record still needs: required by their rule in
// this record, and empty. A record received from Ironbark while the
// contract locks such records is exempt.
TEST_F(DemoFormTest, TheFieldsARecordStillNeedsAreMissing)
{
    const auto missing = [this](const CWinMeta& table, const CSubcontract& record) {
        std::vector<std::string> names;
        const FormDisplay shown = edits->ShowRecord(table, record);
        for (size_t j = 0; j < shown.fields.size(); ++j)
            if (shown.fields[j].missing)
                names.emplace_back(TextView(table.m_Fields[static_cast<int>(j)]->m_strName));
        return names;
    };
    // Hollins: a lump sum without tax id, quote date and insurance.
    CSubcontract& hollins = *Sub().m_Records[5];
    EXPECT_EQ(missing(Sub(), hollins),
              (std::vector<std::string>{"TAXID", "QUOTEDATE", "INSURER", "POLICYNO", "POLICYEXP"}));
    // The quote date is required for lump sums only: not once it is itemized.
    ASSERT_TRUE(edits->SetCell(Sub(), hollins, SUBF_YESNO, "N").ok());
    EXPECT_EQ(missing(Sub(), hollins),
              (std::vector<std::string>{"TAXID", "INSURER", "POLICYNO", "POLICYEXP"}));
    // Complete records miss nothing; Piedmont (from Ironbark) is exempt.
    EXPECT_TRUE(missing(Sub(), *Sub().m_Records[0]).empty());
    CSubcontract& piedmont = *Sub().m_Records[6];
    ASSERT_TRUE(FlagTest(piedmont.m_wFlags, SUB_FROMIRONBARK));
    piedmont.SetCellText(2, std::string());
    EXPECT_TRUE(missing(Sub(), piedmont).empty());
    FlagSet(contract->m_wFlags, CONTRACT_IRONBARK_LOCKED, 0);
    EXPECT_EQ(missing(Sub(), piedmont).front(), "SubName");
    // The miscellaneous data lack the bid bond number.
    EXPECT_EQ(missing(*contract->m_pMiscTable, *contract->m_pMiscTable->m_Records[0]),
              std::vector<std::string>{"BID_BOND_NO"});
}

// The vendor's name and address were locked by the run that saved the
// file: an unlisted vendor typed after opening it frees them all the same.
TEST_F(DemoFormTest, AnUnlistedVendorFreesTheFieldsTheFileLocked)
{
    CSubcontract& first = *Sub().m_Records[0];
    constexpr int kVendorName = 12;
    constexpr int kVendorAddress = 14;
    ASSERT_TRUE(FlagTest(first.GetCell(kVendorName)->m_wFlags, 2)); // as the file has it
    EditResult r = edits->SetCell(Sub(), first, 10, "999999");
    ASSERT_TRUE(r.ok()) << r.errorText();
    EXPECT_EQ(first.GetCell(10)->m_i, -1);
    for (int j : {kVendorName, kVendorAddress}) {
        EXPECT_EQ(TextView(*first.GetCellText(j)), "") << j;
        EXPECT_FALSE(FlagTest(first.GetCell(j)->m_wFlags, 2)) << j;
        EXPECT_TRUE(edits->SetCell(Sub(), first, j, "typed").ok()) << j;
    }
    // Every work type is offered for a vendor not in the list.
    EXPECT_EQ(edits->Choices(Sub(), first, 26).entries.size(), 25u);
}

TEST_F(DemoFormTest, ChoosingAVendorFillsItsNameAndAddress)
{
    CSubcontract& mason = *Sub().m_Records[4]; // vendor typed, not chosen
    ASSERT_EQ(mason.GetCell(10)->m_i, -1);
    EditResult r = edits->SetCell(Sub(), mason, 10, "027341");
    ASSERT_TRUE(r.ok()) << r.errorText();
    EXPECT_GE(mason.GetCell(10)->m_i, 0);
    EXPECT_EQ(TextView(*mason.GetCellText(12)), "Mason Aggregate Supply Corp.");
    EXPECT_TRUE(FlagTest(mason.GetCell(14)->m_wFlags, 2));
    // The name and address hold the vendor's position, as reopening the
    // saved file gives them.
    EXPECT_EQ(mason.GetCell(12)->m_i, mason.GetCell(10)->m_i);
    EXPECT_EQ(mason.GetCell(14)->m_i, mason.GetCell(10)->m_i);
    std::vector<std::string> offered;
    for (const FieldChoice& ch : edits->Choices(Sub(), mason, 26).entries)
        offered.push_back(ch.text.substr(0, 4));
    EXPECT_EQ(offered, (std::vector<std::string>{"AGGR", "TRCK"}));
    // The check no longer warns about the typed vendor.
    EXPECT_TRUE(r->event.checkChanged);
}

// The number and the parent's number link the tiers when a contract is
// read: typed over, a saved file would reopen with records under another
// parent, or none. The program keeps them; the form shows them read-only.
TEST_F(DemoFormTest, TheNumberAndTheParentNumberAreKeptByTheProgram)
{
    CSubcontract& lower = *Sub().m_Records[2]; // a lower tier of record 1
    const auto before = WriteContractStream(*contract);
    for (const int field : {SUBF_NUMBER, SUBF_PARENT}) {
        const EditResult r = edits->SetCell(Sub(), lower, field, "00000007");
        ASSERT_FALSE(r.ok()) << field;
        EXPECT_EQ(r.errorCode(), static_cast<int>(Refusal::NotAllowed));
        EXPECT_TRUE(edits->ShowRecord(Sub(), lower).fields[static_cast<size_t>(field)].readOnly);
    }
    EXPECT_EQ(WriteContractStream(*contract), before);
}

} // namespace
} // namespace kestrel
