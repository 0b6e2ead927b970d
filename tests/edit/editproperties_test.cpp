// Properties of long random sequences of changes on the demo contract:
// undoing them all gives back the very bytes the contract wrote before and
// redoing them the bytes after; and after every change the totals, the
// completeness of every record and the check are what a recompute from
// scratch gives.

#include <gtest/gtest.h>

#include <cstring>
#include <deque>

#include "edit/edittestutil.h"
#include "edit/subitemrules.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/check.h"
#include "model/subcontract/winmeta.h"
#include "support/editdriver.h"

namespace kestrel::test {
namespace {

constexpr int kSteps = 300;

// The contract flags that change what the rules allow, in the combination
// a seed picks: Ironbark items locked (8) and held to their floor (9), no
// partial items (11), prices tracked (12).
void ChooseRuleFlags(CContract& c, uint32_t seed)
{
    const int bits[] = {CONTRACT_IRONBARK_LOCKED, CONTRACT_IRONBARK_FLOOR, CONTRACT_NO_PARTIALS,
                        CONTRACT_TRACK_PRICES};
    for (int i = 0; i < 4; ++i)
        FlagSet(c.m_wFlags, bits[i], (seed >> i) & 1u);
}

// The last steps of a sequence, for the message of a failure.
class StepLog {
public:
    void Add(int step, std::string what)
    {
        m_steps.push_back(std::to_string(step) + ": " + std::move(what));
        if (m_steps.size() > 12)
            m_steps.pop_front();
    }
    std::string Text() const
    {
        std::string text = "last steps:\n";
        for (const std::string& s : m_steps)
            text += "  " + s + "\n";
        return text;
    }

private:
    std::deque<std::string> m_steps;
};

// Everything the program computes, computed afresh: every sub-item's marks
// against its tier, every record's sub-item state, the totals, the
// lower-tier bits and the completeness, and the check.
CheckResult RecomputeFromScratch(CContract& c)
{
    c.RecalculateContract();
    const bool exempt = FlagTest(c.m_wFlags, CONTRACT_IRONBARK_LOCKED);
    if (CWinMeta* t = c.m_pSubTable.get()) {
        for (const auto& rec : t->m_Records)
            for (const std::string& line : rec->m_SubItems.Keys())
                if (const CItem* item = c.FindItemByLineNumber(line))
                    RenewSubItemFlags(c, *rec, *item, *rec->FindSubItem(line), kEditTolerance, true);
        for (int i = 0; i < t->m_Records.GetSize(); ++i)
            t->UpdateSubItemState(i, exempt);
        t->RenewTierBits();
        t->UpdateCompleteness(-1, exempt);
    }
    if (CWinMeta* misc = c.m_pMiscTable.get()) {
        misc->RenewTierBits();
        misc->UpdateCompleteness(-1, false);
    }
    return CheckContract(c);
}

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The contract of the session against a copy of it recomputed from
// scratch. (A copy keeps the order of every map; a contract read back
// from its bytes has the entries of each map bucket in the other order.)
::testing::AssertionResult SameAsRecomputed(EditSession& s)
{
    const std::vector<unsigned char> bytes = s.Bytes();
    auto fresh = std::make_unique<CContract>();
    fresh->Copy(*s.contract);
    const CheckResult check = RecomputeFromScratch(*fresh);
    const CContract& live = *s.contract;
    auto fail = [] { return ::testing::AssertionFailure(); };
    if (!SameBits(live.m_fContractTotal, fresh->m_fContractTotal))
        return fail() << "contract total " << live.m_fContractTotal << " recomputed "
                      << fresh->m_fContractTotal;
    const CWinMeta& a = *live.m_pSubTable;
    const CWinMeta& b = *fresh->m_pSubTable;
    if (!SameBits(a.m_fSubTotal, b.m_fSubTotal))
        return fail() << "subcontracted total " << a.m_fSubTotal << " recomputed " << b.m_fSubTotal;
    if (a.m_Records.GetSize() != b.m_Records.GetSize())
        return fail() << "records " << a.m_Records.GetSize() << " read back " << b.m_Records.GetSize();
    for (int i = 0; i < a.m_Records.GetSize(); ++i) {
        const CSubcontract& ra = *a.m_Records[i];
        const CSubcontract& rb = *b.m_Records[i];
        if (ra.m_wFlags != rb.m_wFlags)
            return fail() << "record " << i << " flags " << ra.m_wFlags << " recomputed " << rb.m_wFlags;
        for (const std::string& line : ra.m_SubItems.Keys()) {
            const CSubItem* sb = rb.FindSubItem(line);
            if (!sb || ra.FindSubItem(line)->m_wFlags != sb->m_wFlags)
                return fail() << "record " << i << " line " << line << " flags "
                              << ra.FindSubItem(line)->m_wFlags << " recomputed " << (sb ? sb->m_wFlags : -1);
        }
    }
    const CSubcontract& ma = *live.m_pMiscTable->m_Records[0];
    const CSubcontract& mb = *fresh->m_pMiscTable->m_Records[0];
    if (ma.m_wFlags != mb.m_wFlags)
        return fail() << "misc-data flags " << ma.m_wFlags << " recomputed " << mb.m_wFlags;
    const CheckResult& last = s.edits->LastCheck();
    if (last.errors != check.errors || last.warnings != check.warnings ||
        last.messages.size() != check.messages.size())
        return fail() << "check " << last.errors << "/" << last.warnings << " recomputed " << check.errors
                      << "/" << check.warnings;
    for (size_t i = 0; i < check.messages.size(); ++i)
        if (last.messages[i].text != check.messages[i].text ||
            last.messages[i].record != check.messages[i].record ||
            last.messages[i].field != check.messages[i].field ||
            last.messages[i].item != check.messages[i].item)
            return fail() << "check message " << i << " \"" << last.messages[i].text << "\" (line "
                          << last.messages[i].item << ") recomputed \"" << check.messages[i].text
                          << "\" (line " << check.messages[i].item << ")";
    // And nothing else the file holds differs either.
    if (const auto again = WriteContractStream(*fresh); again != bytes) {
        size_t at = 0;
        while (at < again.size() && at < bytes.size() && again[at] == bytes[at])
            ++at;
        return fail() << "the bytes differ from those of the recomputed copy at " << at << " of "
                      << bytes.size();
    }
    return ::testing::AssertionSuccess();
}

TEST(EditProperties, UndoingARandomSequenceGivesBackTheBytesAndRedoingItTheBytesAfter)
{
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        auto s = OpenDemo();
        ASSERT_TRUE(s);
        ChooseRuleFlags(*s->contract, seed);
        s->edits->RunCheck();
        const std::vector<unsigned char> before = s->Bytes();
        EditDriver driver(*s->edits);
        RandomChoices choices(seed);
        StepLog log;
        for (int step = 0; step < kSteps; ++step)
            log.Add(step, driver.Step(choices));
        const std::vector<unsigned char> after = s->Bytes();
        const size_t actions = driver.History().UndoCount();
        for (size_t i = 0; i < actions; ++i)
            ASSERT_TRUE(driver.History().Undo().ok());
        EXPECT_FALSE(s->Modified()) << "seed " << seed;
        ASSERT_EQ(s->Bytes(), before) << "seed " << seed << "\n" << log.Text();
        for (size_t i = 0; i < actions; ++i)
            ASSERT_TRUE(driver.History().Redo().ok());
        ASSERT_EQ(s->Bytes(), after) << "seed " << seed << "\n" << log.Text();
    }
}

TEST(EditProperties, AfterEveryChangeTheStateIsThatOfARecomputeFromScratch)
{
    for (uint32_t seed = 11; seed <= 18; ++seed) {
        auto s = OpenDemo();
        ASSERT_TRUE(s);
        ChooseRuleFlags(*s->contract, seed);
        // The file's own marks as a full recompute gives them, to start from.
        RecomputeFromScratch(*s->contract);
        s->edits->RunCheck();
        ASSERT_TRUE(SameAsRecomputed(*s)) << "seed " << seed << " before any change";
        EditDriver driver(*s->edits);
        RandomChoices choices(seed);
        StepLog log;
        for (int step = 0; step < kSteps; ++step) {
            log.Add(step, driver.Step(choices));
            ASSERT_TRUE(SameAsRecomputed(*s)) << "seed " << seed << "\n" << log.Text();
        }
    }
}

TEST(EditProperties, AChangeThatChangesNothingKeepsWhatCanBeRedone)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    EditHistory history(*s->edits);
    CSubcontract& first = s->Sub("00000001");
    ASSERT_TRUE(history.Make({[&] { return s->edits->SetSubItemRemarks(first, "1190", "a"); }}).ok());
    ASSERT_TRUE(history.Undo().ok());
    // Entering the note it has again is no change.
    const std::string now(first.FindSubItem("1190")->m_strRemarks.View());
    ASSERT_TRUE(history.Make({[&] { return s->edits->SetSubItemRemarks(first, "1190", now); }}).ok());
    EXPECT_EQ(history.UndoCount(), 0u);
    ASSERT_TRUE(history.Redo().ok());
    EXPECT_EQ(first.FindSubItem("1190")->m_strRemarks.View(), "a");
    // A refused change among several takes back the ones before it.
    const auto before = s->Bytes();
    const Result<std::string> refused =
        history.Make({[&] { return s->edits->SetSubItemRemarks(first, "1190", "b"); },
                      [&] { return s->edits->UseItem(first, "9999", true); }});
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(s->Bytes(), before);
    EXPECT_EQ(history.UndoCount(), 1u);
}

} // namespace
} // namespace kestrel::test
