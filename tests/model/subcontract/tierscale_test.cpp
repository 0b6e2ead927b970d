// Tier operations over whole tables (linking, completeness, itemized
// amounts) agree with their record-by-record definitions, also for deep
// chains, loops and damaged links.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/winmeta.h"
#include "support/streambuilder.h"
#include "support/testcontract.h"

namespace kestrel {
namespace {

// A table of `records` records with four fields; field 2 is required in a
// record whose field 1 holds a true text.
std::unique_ptr<CWinMeta> RandomTable(std::mt19937& rng, int records)
{
    auto t = test::MakeTextTable(4);
    t->m_Fields[2]->m_iRequired = 1;
    for (int i = 0; i < records; ++i) {
        CSubcontract* r = t->AddRecord(-1, -1);
        r->m_wFlags = static_cast<uint16_t>(rng() & 0x6F);
        r->SetCellText(1, std::string(rng() % 2 ? "Y" : "n"));
        if (rng() % 3)
            r->SetCellText(2, std::string("name"));
    }
    // Parents among earlier and later records alike.
    for (int i = 0; i < records; ++i)
        if (rng() % 4)
            t->m_Records[i]->m_pParent =
                t->m_Records[static_cast<int>(rng() % static_cast<unsigned>(records))];
    return t;
}

std::vector<uint16_t> Flags(const CWinMeta& t)
{
    std::vector<uint16_t> f;
    for (const auto& r : t.m_Records)
        f.push_back(r->m_wFlags);
    return f;
}

TEST(TierScale, WholeTableCompletenessMatchesRecordByRecord)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        auto a = RandomTable(rng, 1 + static_cast<int>(rng() % 12));
        a->LinkParents(); // (no cells 0 and 3 set: clears the random links)
        // Random links again, loops removed the way reading removes them.
        for (const auto& r : a->m_Records)
            r->m_pParent =
                rng() % 3 ? a->m_Records[static_cast<int>(rng() % a->m_Records.GetSize())] : nullptr;
        const int n = a->m_Records.GetSize();
        for (int i = 0; i < n; ++i) {
            int steps = n;
            for (const CSubcontract* p = a->m_Records[i]->m_pParent; p && steps-- > 0; p = p->m_pParent)
                if (p == a->m_Records[i]) {
                    a->m_Records[i]->m_pParent = nullptr;
                    break;
                }
        }
        CWinMeta b;
        b.Copy(*a);
        const bool exempt = rng() % 2;
        const bool allA = a->UpdateCompleteness(-1, exempt);
        for (int i = 0; i < b.m_Records.GetSize(); ++i)
            b.UpdateCompleteness(i, exempt);
        ASSERT_EQ(Flags(*a), Flags(b)) << "round " << round;
        EXPECT_EQ(allA, b.AllRecordsComplete());
    }
}

TEST(TierScale, LoopingLinksFallBackWithoutHanging)
{
    auto t = std::make_unique<CWinMeta>();
    for (int i = 0; i < 3; ++i)
        t->AddRecord(-1, 0);
    t->m_Records[0]->m_pParent = t->m_Records[1];
    t->m_Records[1]->m_pParent = t->m_Records[0];
    FlagSet(t->m_Records[2]->m_wFlags, SUB_TIERS_COMPLETE, 0);
    EXPECT_FALSE(t->UpdateCompleteness(-1, false));
    EXPECT_TRUE(FlagTest(t->m_Records[0]->m_wFlags, SUB_COMPLETE));
    EXPECT_FALSE(FlagTest(t->m_Records[2]->m_wFlags, SUB_COMPLETE));
}

CSubcontract* Numbered(CWinMeta& t, const std::string& number, const std::string& parent)
{
    CSubcontract* r = t.AddRecord(-1, 4);
    r->SetCellText(SUBF_NUMBER, number);
    r->SetCellText(SUBF_PARENT, parent);
    return r;
}

TEST(TierScale, LinkParentsByNumberAndLoops)
{
    CWinMeta t;
    CSubcontract* a = Numbered(t, "000000a\xE9", "");
    CSubcontract* dupA = Numbered(t, "000000A\xC9", "");
    CSubcontract* b = Numbered(t, "B", "  000000A\xC9\t"); // trimmed, without regard to case
    CSubcontract* self = Numbered(t, "S", "s");
    CSubcontract* x = Numbered(t, "X", "Y");
    CSubcontract* y = Numbered(t, "Y", "X");
    CSubcontract* tail = Numbered(t, "T", "X"); // leads into the loop, is not on it
    CSubcontract* none = Numbered(t, "N", "missing");
    CSubcontract* shortRec = t.AddRecord(-1, 3);
    shortRec->SetCellText(SUBF_NUMBER, std::string("Q"));
    CSubcontract* blank = Numbered(t, "", " ");
    t.LinkParents();
    EXPECT_EQ(b->m_pParent, a); // the first of two equal numbers
    EXPECT_EQ(dupA->m_pParent, nullptr);
    EXPECT_EQ(self->m_pParent, nullptr);
    EXPECT_EQ(x->m_pParent, nullptr);
    EXPECT_EQ(y->m_pParent, nullptr);
    EXPECT_EQ(tail->m_pParent, x);
    EXPECT_EQ(none->m_pParent, nullptr);
    EXPECT_EQ(shortRec->m_pParent, nullptr);
    EXPECT_EQ(blank->m_pParent, nullptr);
}

TEST(TierScale, DeepChainReadsLinksAndTotals)
{
    // One record per tier, each naming the one before; the middle record
    // is not itemized, so no record below it is either.
    const int depth = 3000;
    test::StreamBuilder s;
    s.Magic().Start(0x0C00).Start(0x0C01);
    for (int f = 0; f < 18; ++f)
        s.Start(0x0F00).U16(0x0F08, kNeverRequired);
    for (int i = 0; i < depth; ++i) {
        s.Start(0x1000).U16(0x1001, i == depth / 2 ? 0x0060 : 0x0062);
        for (int f = 0; f < 18; ++f) {
            s.Start(0x1002);
            if (f == SUBF_NUMBER)
                s.Str(0x1005, std::to_string(i + 1));
            else if (f == SUBF_PARENT)
                s.Str(0x1005, i ? std::to_string(i) : std::string());
            else if (f == SUBF_AMOUNT)
                s.Str(0x1005, "7.00");
        }
        s.Str(0x1202, "0010").Start(0x1200).F64(0x1206, 5);
    }
    s.End();
    std::unique_ptr<CContract> c;
    ASSERT_EQ(ReadContractStream(s.bytes.data(), s.bytes.size(), c), CF_OK);
    const CWinMeta& t = *c->m_pSubTable;
    for (int i = 1; i < depth; ++i)
        ASSERT_EQ(t.m_Records[i]->m_pParent, t.m_Records[i - 1]);
    for (int i = 0; i < depth; ++i) {
        const CSubcontract& r = *t.m_Records[i];
        ASSERT_EQ(r.IsItemized(), i < depth / 2) << i;
        // Itemized records show the sum of their sub-items as money.
        EXPECT_EQ(*r.GetCellText(SUBF_AMOUNT), std::string(r.IsItemized() ? "$5" : "7.00")) << i;
        ASSERT_TRUE(FlagTest(r.m_wFlags, SUB_COMPLETE));
    }
    EXPECT_DOUBLE_EQ(t.m_fSubTotal, 5); // only the first tier counts
}

} // namespace
} // namespace kestrel
