#include "file/substorage.h"

#include <gtest/gtest.h>

#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/streambuilder.h"
#include "support/testcontract.h"

namespace kestrel {
namespace {

using test::StreamBuilder;
using Bytes = std::vector<unsigned char>;

std::unique_ptr<CContract> ReadStream(const Bytes& bytes, int expect = CF_OK)
{
    std::unique_ptr<CContract> c;
    EXPECT_EQ(ReadContractStream(bytes.data(), bytes.size(), c), expect);
    return c;
}

std::unique_ptr<CContract> RoundTrip(CContract& c)
{
    return ReadStream(WriteContractStream(c));
}

CFieldInfo* AddField(CWinMeta& t, const char* name, int x = 0)
{
    CFieldInfo* f = test::AddTextField(t, name);
    f->m_iX = x;
    return f;
}

// A subcontractor table with two fields, a record with only one cell and
// two sub-items whose keys share a map bucket, a label line, a default and
// a filter.
std::unique_ptr<CContract> MakeTableContract()
{
    auto c = std::make_unique<CContract>();
    c->m_pSubTable = std::make_unique<CWinMeta>();
    CWinMeta& t = *c->m_pSubTable;
    CFieldInfo* f = AddField(t, "Num", 70000);
    f->m_wFlags = 4;
    f->m_iY = 2;
    f->m_iCX = 3;
    f->m_iCY = 4;
    f->m_iListStart = 5;
    f->m_iListEnd = 6;
    f->m_iRequired = 10000;
    f->m_strListSource = "SRC";
    f->m_strHelp = "help";
    AddField(t, "Name");
    CSubcontract* r = t.AddRecord(-1, 1);
    r->m_wFlags = 0x0022;
    r->m_Cells[0]->m_psz = "00000001";
    r->m_Cells[0]->m_i = -1;
    r->m_Cells[0]->m_wFlags = 4;
    CSubItem* a = r->AddSubItem("a");
    a->m_wFlags = 4;
    a->m_fQuan = 1.5;
    a->m_fUP = 2;
    a->m_fExt = 3;
    a->m_fOrigQuan = 4;
    a->m_strUnitType = "EA";
    a->m_strRemarks = "rem";
    a->m_strExtra[2] = "x3";
    r->AddSubItem("r");
    t.m_LabelLines = {"label"};
    t.m_Defaults = {"Name, Joe"};
    t.m_strFontFace = "Arial";
    t.m_iFontSize = 2;
    t.m_wFlags = 4;
    t.m_PercentFormat = {3, 1};
    t.m_fNumber1 = 8;
    t.m_fSubTotal = 9;
    t.m_strText1 = "t1";
    t.m_iNumber2 = 12;
    CDataFilter* filter = t.m_Filters.SetAt("F");
    filter->m_iStart = 1;
    filter->m_iEnd = 5;
    filter->m_strPattern[0] = "001*";
    return c;
}

void ExpectTableBytes(StreamBuilder& s, bool misc)
{
    s.Start(0x0C00).Start(misc ? 0x0C02 : 0x0C01).U16(0x0C03, 2);
    s.Start(0x0F00).U16(0x0F01, 4).U16(0x0F02, 3).U16(0x0F0C, 4).U16(0x0F03, 1).U16(0x0F04, 5).U16(0x0F05, 6);
    s.U16(0x0F06, 2).U16(0x0F07, 70000 & 0xFFFF).U16(0x0F08, 10000).Str(0x0F09, "Num").Str(0x0F0A, "SRC");
    s.Str(0x0F0B, "help");
    s.Start(0x0F00).U16(0x0F01, 0).U16(0x0F02, 0).U16(0x0F0C, 0).U16(0x0F03, 1).U16(0x0F04, 0).U16(0x0F05, 0);
    s.U16(0x0F06, 0).U16(0x0F07, 0).U16(0x0F08, 20000).Str(0x0F09, "Name").Str(0x0F0A, "").Str(0x0F0B, "");
    s.U16(0x0C05, 1).Start(0x1000).U16(0x1001, 0x0022);
    s.Start(0x1002).U16(0x1003, 0xFFFF).U16(0x1004, 4).Str(0x1005, "00000001");
    s.Start(0x1002).U16(0x1003, 0).U16(0x1004, 0).Str(0x1005, ""); // the missing cell
    for (const char* key : {"a", "r"}) {                           // oldest first within the bucket
        const bool a = key[0] == 'a';
        s.Str(0x1202, key).Start(0x1200).U16(0x1203, a ? 4 : 0);
        s.F64(0x1204, a ? 1.5 : 0).F64(0x1205, a ? 2 : 0).F64(0x1206, a ? 3 : 0).F64(0x1207, a ? 4 : 0);
        s.Str(0x1208, a ? "EA" : "").Str(0x1209, "").Str(0x120A, a ? "rem" : "");
        s.Str(0x120B, "").Str(0x120C, "").Str(0x120D, a ? "x3" : "");
    }
    s.U16(0x0C04, 1).Str(0x0D00, "label").Str(0x0C13, "Arial").U16(0x0C14, 2);
    if (misc)
        return;
    s.U16(0x0C06, 4).U16(0x0C07, 0x0103).F64(0x0C08, 8).F64(0x0C09, 9).Str(0x0C0C, "t1").Str(0x0C0E, "");
    s.U16(0x0C0F, 12).U16(0x0C0D, 1).Str(0x0E00, "Name, Joe").U16(0x0C12, 17);
    s.Start(0x1300).Str(0x1301, "F").U16(0x1302, 1).U16(0x1303, 5).Str(0x1304, "001*");
    s.Str(0x1305, "").Str(0x1306, "").Str(0x1307, "").Str(0x1308, "");
}

TEST(SubStorageWrite, SubcontractorTableInFileOrder)
{
    auto c = MakeTableContract();
    StreamBuilder s;
    s.EmptyContractHead();
    ExpectTableBytes(s, false);
    s.EmptyContractTail();
    EXPECT_EQ(WriteContractStream(*c), s.bytes);
}

TEST(SubStorageWrite, MiscTableOnlyWithItsFlag)
{
    auto c = MakeTableContract();
    c->m_pMiscTable = std::move(c->m_pSubTable);
    StreamBuilder none;
    none.EmptyContractHead().EmptyContractTail();
    EXPECT_EQ(WriteContractStream(*c), none.bytes);

    FlagSet(c->m_wFlags, CONTRACT_HAS_MISC, 1);
    StreamBuilder s;
    s.EmptyContractHead();
    ExpectTableBytes(s, true);
    s.EmptyContractTail();
    // The flags word sits in the header; patch the expected 0x0203 value.
    StreamBuilder head;
    head.Magic().U16(0x0100, 410).Start(0x0200).U16(0x0201, 0).U16(0x0202, 0);
    s.bytes[head.bytes.size() + 4] = 0x00;
    s.bytes[head.bytes.size() + 5] = 0x04;
    EXPECT_EQ(WriteContractStream(*c), s.bytes);
}

TEST(SubStorageWrite, FlagWithoutMiscTableWritesNoTable)
{
    CContract c;
    FlagSet(c.m_wFlags, CONTRACT_HAS_MISC, 1);
    const uint32_t check = ComputeCheckValue(c);
    auto back = RoundTrip(c);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_pMiscTable, nullptr);
    EXPECT_EQ(back->m_pSubTable, nullptr);
    EXPECT_EQ(ComputeCheckValue(*back), check);
}

TEST(SubStorageRead, TableRoundTrip)
{
    auto c = std::make_unique<CContract>();
    c->m_pSubTable = std::make_unique<CWinMeta>();
    CWinMeta& t = *c->m_pSubTable;
    AddField(t, "Number");
    AddField(t, "Name");
    AddField(t, "Other", 70000);
    CSubcontract* parent = t.AddRecord(-1, -1);
    parent->SetNumber(1);
    CSubcontract* child = t.AddRecord(-1, 4);
    child->SetNumber(2);
    child->SetCellText(SUBF_PARENT, std::string("00000001"));
    child->m_Cells[1]->m_i = -1;
    child->m_Cells[2]->m_i = 7;
    child->AddSubItem("0010")->m_fQuan = 5;
    auto back = RoundTrip(*c);
    ASSERT_TRUE(back && back->m_pSubTable);
    const CWinMeta& r = *back->m_pSubTable;
    ASSERT_EQ(r.m_Fields.GetSize(), 3);
    EXPECT_EQ(*r.m_Fields[2]->m_strName, "Other");
    EXPECT_EQ(r.m_Fields[2]->m_iX, 4464); // 70000 does not survive 16 bits
    ASSERT_EQ(r.m_Records.GetSize(), 2);
    const CSubcontract& rc = *r.m_Records[1];
    EXPECT_EQ(rc.m_Cells.GetSize(), 3); // as many cells as fields
    EXPECT_EQ(rc.m_Cells[1]->m_i, -1);
    EXPECT_EQ(rc.m_Cells[2]->m_i, 7);
    EXPECT_EQ(*rc.GetCellText(0), "00000002");
    ASSERT_NE(rc.FindSubItem("0010"), nullptr);
    EXPECT_EQ(rc.FindSubItem("0010")->m_fQuan, 5);
    // The parent cell lies beyond the fields and is not written: no parent.
    EXPECT_EQ(rc.m_pParent, nullptr);

    AddField(t, "Parent");
    parent->m_Cells.Add();
    back = RoundTrip(*c);
    ASSERT_TRUE(back);
    const CWinMeta& r2 = *back->m_pSubTable;
    EXPECT_EQ(r2.m_Records[1]->m_pParent, r2.m_Records[0]);
    EXPECT_EQ(ComputeCheckValue(*back), ComputeCheckValue(*c));
}

TEST(SubStorageRead, FewerCellsComeBackFilled)
{
    auto c = MakeTableContract();
    auto back = RoundTrip(*c);
    ASSERT_TRUE(back);
    const CSubcontract& r = *back->m_pSubTable->m_Records[0];
    ASSERT_EQ(r.m_Cells.GetSize(), 2);
    EXPECT_EQ(r.m_Cells[1]->m_i, 0);
    EXPECT_EQ(r.m_Cells[1]->m_wFlags, 0);
    EXPECT_EQ(r.m_Cells[1]->m_psz, Text(""));
    // Both come back, in the map order they were written from.
    EXPECT_EQ(r.m_SubItems.Keys(), (std::vector<std::string>{"r", "a"}));
    EXPECT_EQ(*r.FindSubItem("a")->m_strExtra[2], "x3");
    EXPECT_EQ(r.FindSubItem("a")->m_fOrigQuan, 4);
    const CWinMeta& t = *back->m_pSubTable;
    EXPECT_EQ(t.m_PercentFormat.digits, 3);
    EXPECT_EQ(t.m_PercentFormat.decimals, 1);
    EXPECT_EQ(t.m_iNumber2, 12);
    EXPECT_EQ(t.m_Defaults, CSAStringArray{"Name, Joe"});
    ASSERT_NE(t.m_Filters.Lookup("F"), nullptr);
    EXPECT_EQ(*t.m_Filters.Lookup("F")->m_strPattern[0], "001*");
    EXPECT_EQ(t.m_Filters.Lookup("F")->m_iEnd, 5);
}

TEST(SubStorageRead, MiscTableLosesWhatIsNotStored)
{
    auto c = MakeTableContract();
    c->m_pMiscTable = std::move(c->m_pSubTable);
    FlagSet(c->m_wFlags, CONTRACT_HAS_MISC, 1);
    auto back = RoundTrip(*c);
    ASSERT_TRUE(back && back->m_pMiscTable);
    const CWinMeta& t = *back->m_pMiscTable;
    EXPECT_EQ(t.m_wFlags, 0);
    EXPECT_EQ(t.m_PercentFormat.digits, 0);
    EXPECT_EQ(t.m_fNumber1, 0);
    EXPECT_EQ(t.m_fSubTotal, 0);
    EXPECT_FALSE(t.m_strText1.has_value());
    EXPECT_TRUE(t.m_Defaults.empty());
    EXPECT_EQ(t.m_Filters.GetCount(), 0);
    EXPECT_EQ(t.m_strFontFace.View(), "Arial");
    EXPECT_EQ(t.m_LabelLines, CSAStringArray{"label"});
    EXPECT_EQ(t.m_Records.GetSize(), 1);
}

TEST(SubStorageRead, RecordsWithoutOwnerAreIgnored)
{
    StreamBuilder s;
    s.Magic();
    // Before any table.
    s.Start(0x0F00).Str(0x0F09, "lost").Start(0x1000).Str(0x0D00, "lost");
    s.Start(0x0C00).Start(0x0C01);
    // Fields, cells, sub-item fields and filter fields without their owner.
    s.Str(0x0F09, "no field").U16(0x1001, 0xFFFF).Start(0x1002).Str(0x1005, "no record");
    s.Str(0x1202, "0010").Start(0x1200).F64(0x1204, 1); // no record for the sub-item
    s.Str(0x1304, "no filter").U16(0x1302, 3);
    s.Start(0x1000).Str(0x1005, "no cell").U16(0x1003, 5);
    s.Start(0x1200).F64(0x1204, 1).F64(0x1206, 2); // a group start but no key
    s.End();
    auto c = ReadStream(s.bytes);
    ASSERT_TRUE(c && c->m_pSubTable);
    const CWinMeta& t = *c->m_pSubTable;
    EXPECT_EQ(t.m_Fields.GetSize(), 0);
    EXPECT_TRUE(t.m_LabelLines.empty());
    EXPECT_EQ(t.m_Filters.GetCount(), 0);
    ASSERT_EQ(t.m_Records.GetSize(), 1);
    EXPECT_EQ(t.m_Records[0]->m_Cells.GetSize(), 0);
    EXPECT_EQ(t.m_Records[0]->m_SubItems.GetCount(), 0);
}

TEST(SubStorageRead, SecondTableReplacesTheFirstAndKeysFollowTheLastRecord)
{
    StreamBuilder s;
    s.Magic().Start(0x0C00).Start(0x0C01).Start(0x0F00).Str(0x0F09, "old");
    s.Start(0x0C00).Start(0x0C02).Str(0x0D00, "misc line");
    s.Start(0x0C00).Start(0x0C01).Start(0x0F00).Str(0x0F09, "new");
    s.Start(0x1000).Str(0x1202, "0010").Start(0x1000).F64(0x1204, 9); // key of the earlier record
    s.Str(0x1202, "0020").F64(0x1204, 3).Str(0x1202, "0020").F64(0x1205, 4);
    s.Start(0x1300).Str(0x1301, "F").U16(0x1302, 2).Str(0x1301, "F").Value(0x1303, {7, 0, 0, 0, 1});
    auto c = ReadStream(s.bytes);
    ASSERT_TRUE(c && c->m_pSubTable && c->m_pMiscTable);
    const CWinMeta& t = *c->m_pSubTable;
    ASSERT_EQ(t.m_Fields.GetSize(), 1);
    EXPECT_EQ(*t.m_Fields[0]->m_strName, "new");
    EXPECT_EQ(c->m_pMiscTable->m_LabelLines, CSAStringArray{"misc line"});
    ASSERT_EQ(t.m_Records.GetSize(), 2);
    EXPECT_NE(t.m_Records[0]->FindSubItem("0010"), nullptr);
    EXPECT_EQ(t.m_Records[0]->FindSubItem("0010")->m_fQuan, 0);
    const CSubItem* s20 = t.m_Records[1]->FindSubItem("0020");
    ASSERT_NE(s20, nullptr);
    EXPECT_EQ(s20->m_fQuan, 0); // replaced by the second 0x1202
    EXPECT_EQ(s20->m_fUP, 4);
    const CDataFilter* f = t.m_Filters.Lookup("F");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->m_iStart, 0);
    EXPECT_EQ(f->m_iEnd, 7);
}

// A table with one record whose records begin the stream.
StreamBuilder& OneRecordTable(StreamBuilder& s)
{
    s.Magic().Start(0x0C00).Start(0x0C01).Start(0x0F00).Str(0x0F09, "f");
    return s.Start(0x1000);
}

// Sub-item records in the order the program writes them.
void WriteSubItem(StreamBuilder& s, const std::string& key, double quan, const std::string& unit)
{
    s.Str(0x1202, key).Start(0x1200).U16(0x1203, 4).F64(0x1204, quan).F64(0x1205, 2).F64(0x1206, quan * 2);
    s.F64(0x1207, 0).Str(0x1208, unit).Str(0x1209, "").Str(0x120A, "").Str(0x120B, "");
    s.Str(0x120C, "").Str(0x120D, "");
}

TEST(SubStorageRead, SubItemRecordsInAnyOrderReadAsInTheUsualOrder)
{
    StreamBuilder s;
    OneRecordTable(s);
    WriteSubItem(s, "0010", 3, "EA");
    // Out of order, with an unknown tag, a cell of the record in between and
    // records missing.
    s.Str(0x1202, "0020").F64(0x1205, 7.5).Start(0x1200).Value(0x12FF, {1, 2, 3}).U16(0x1203, 9);
    s.Start(0x1002).Str(0x1005, "cell").F64(0x1206, 11).Str(0x120A, "late remark").F64(0x1204, 2);
    WriteSubItem(s, "0030", 5, "LF");
    // The last sub-item stops short: the stream ends inside it.
    s.Str(0x1202, "0040").Start(0x1200).U16(0x1203, 1).F64(0x1204, 8);
    auto c = ReadStream(s.bytes);
    ASSERT_TRUE(c && c->m_pSubTable);
    const CSubcontract& rec = *c->m_pSubTable->m_Records[0];
    ASSERT_EQ(rec.m_SubItems.GetCount(), 4);
    const CSubItem* a = rec.FindSubItem("0010");
    const CSubItem* b = rec.FindSubItem("0020");
    const CSubItem* d = rec.FindSubItem("0030");
    const CSubItem* e = rec.FindSubItem("0040");
    ASSERT_TRUE(a && b && d && e);
    EXPECT_EQ(a->m_wFlags, 4);
    EXPECT_EQ(a->m_fQuan, 3);
    EXPECT_EQ(a->m_fExt, 6);
    EXPECT_EQ(a->m_strUnitType.View(), "EA");
    EXPECT_EQ(b->m_fUP, 7.5);
    EXPECT_EQ(b->m_wFlags, 9);
    EXPECT_EQ(b->m_fExt, 11);
    EXPECT_EQ(b->m_fQuan, 2);
    EXPECT_EQ(b->m_strRemarks.View(), "late remark");
    EXPECT_EQ(b->m_strUnitType.View(), "");
    ASSERT_EQ(rec.m_Cells.GetSize(), 1);
    EXPECT_EQ(*rec.m_Cells[0]->m_psz, "cell");
    EXPECT_EQ(d->m_fQuan, 5);
    EXPECT_EQ(d->m_strUnitType.View(), "LF");
    EXPECT_EQ(e->m_wFlags, 1);
    EXPECT_EQ(e->m_fQuan, 8);
    EXPECT_EQ(e->m_fUP, 0);
}

TEST(SubStorageRead, RepeatedKeysInALargeRecordKeepTheFirstPlace)
{
    for (int count : {10, 200}) { // below and above the size of an indexed map
        StreamBuilder s;
        OneRecordTable(s);
        CSubcontract expected;
        for (int i = 0; i < count; ++i) {
            const std::string key = std::to_string(1000 + i * 10);
            WriteSubItem(s, key, i, "EA");
            expected.AddSubItem(key)->m_fQuan = i;
        }
        // Two keys again with new values, and a key of a second record.
        WriteSubItem(s, "1000", 77, "TON");
        WriteSubItem(s, std::to_string(1000 + (count - 1) * 10), 88, "TON");
        expected.AddSubItem("1000")->m_fQuan = 77;
        expected.AddSubItem(std::to_string(1000 + (count - 1) * 10))->m_fQuan = 88;
        s.Start(0x1000);
        WriteSubItem(s, "9999", 1, "EA");
        s.End();
        auto c = ReadStream(s.bytes);
        ASSERT_TRUE(c && c->m_pSubTable);
        const CSubcontract& rec = *c->m_pSubTable->m_Records[0];
        EXPECT_EQ(rec.m_SubItems.Keys(), expected.m_SubItems.Keys()) << count;
        std::vector<double> got, want;
        rec.m_SubItems.ForEach([&](const std::string&, const CSubItem& si) { got.push_back(si.m_fQuan); });
        expected.m_SubItems.ForEach(
            [&](const std::string&, const CSubItem& si) { want.push_back(si.m_fQuan); });
        EXPECT_EQ(got, want) << count;
        EXPECT_EQ(*rec.FindSubItem("1000")->m_strUnitType, "TON");
        ASSERT_EQ(c->m_pSubTable->m_Records.GetSize(), 2);
        EXPECT_EQ(c->m_pSubTable->m_Records[1]->m_SubItems.Keys(), std::vector<std::string>{"9999"});
    }
}

TEST(SubStorageRead, SubItemsBeforeATableIsReplacedStayWithTheOldTable)
{
    StreamBuilder s;
    OneRecordTable(s);
    WriteSubItem(s, "0010", 3, "EA");
    s.Start(0x0C00).Start(0x0C01).Start(0x1000);
    WriteSubItem(s, "0020", 4, "EA");
    s.End();
    auto c = ReadStream(s.bytes);
    ASSERT_TRUE(c && c->m_pSubTable);
    ASSERT_EQ(c->m_pSubTable->m_Records.GetSize(), 1);
    EXPECT_EQ(c->m_pSubTable->m_Records[0]->m_SubItems.Keys(), std::vector<std::string>{"0020"});
}

TEST(SubStorageRead, TablesAreCompletedAfterReading)
{
    auto c = std::make_unique<CContract>();
    c->m_pSubTable = std::make_unique<CWinMeta>();
    CWinMeta& t = *c->m_pSubTable;
    for (const char* n : {"Number", "Type", "Name", "Parent"})
        AddField(t, n);
    t.m_Fields[2]->m_iRequired = kAlwaysRequired;
    CSubcontract* top = t.AddRecord(-1, -1);
    top->SetNumber(1);
    top->SetName(std::string("Top"));
    CSubcontract* low = t.AddRecord(-1, -1);
    low->SetNumber(2);
    low->SetCellText(SUBF_PARENT, std::string("00000001"));
    // Stored states that reading must recompute: the complete bit of a
    // record missing its name, and the tier bit of a leaf.
    FlagSet(low->m_wFlags, SUB_COMPLETE, 1);
    FlagSet(low->m_wFlags, SUB_TIERS_COMPLETE, 0);
    FlagSet(top->m_wFlags, SUB_COMPLETE, 1);
    FlagSet(low->m_wFlags, SUB_FROMIRONBARK, 1);
    auto back = RoundTrip(*c);
    ASSERT_TRUE(back);
    const CWinMeta& r = *back->m_pSubTable;
    EXPECT_EQ(r.m_Records[1]->m_pParent, r.m_Records[0]);
    EXPECT_FALSE(FlagTest(r.m_Records[1]->m_wFlags, SUB_COMPLETE));
    EXPECT_FALSE(FlagTest(r.m_Records[0]->m_wFlags, SUB_COMPLETE)); // its lower tier is incomplete
    // With contract flag 8 the record from Ironbark is exempt.
    FlagSet(c->m_wFlags, CONTRACT_IRONBARK_LOCKED, 1);
    back = RoundTrip(*c);
    ASSERT_TRUE(back);
    EXPECT_TRUE(FlagTest(back->m_pSubTable->m_Records[1]->m_wFlags, SUB_COMPLETE));
    EXPECT_TRUE(FlagTest(back->m_pSubTable->m_Records[0]->m_wFlags, SUB_COMPLETE));
}

TEST(SubStorageRead, NoTableWritesNoTableGroup)
{
    CContract c;
    const Bytes out = WriteContractStream(c);
    for (size_t i = 0; i + 1 < out.size(); i += 1)
        ASSERT_FALSE(out[i] == 0x01 && out[i + 1] == 0x0C && i >= 4);
    auto back = ReadStream(out);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_pSubTable, nullptr);
}

// The check value of the tables, computed bit by bit over the listed fields.
uint32_t Bitwise(uint32_t c, const std::string& bytes)
{
    for (unsigned char b : bytes)
        for (int i = 0; i < 8; ++i, b >>= 1)
            c = ((c ^ b) & 1) ? (c >> 1) ^ 0xA0000001u : c >> 1;
    return c;
}

std::string Le(uint64_t v, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s.push_back(static_cast<char>(v >> (8 * i)));
    return s;
}

std::string F64Bytes(double d)
{
    uint64_t v;
    std::memcpy(&v, &d, 8);
    return Le(v, 8);
}

TEST(SubStorageCheck, CellsAndSubItemsCount)
{
    auto c = MakeTableContract();
    std::string bytes = Le(0, 2) + Le(0, 4) + Le(0, 4) + Le(0, 2);                   // empty header
    bytes += "00000001" + Le(0xFFFF, 2) + Le(4, 2);                                  // cell 0
    bytes += Le(0, 2) + Le(0, 2);                                                    // the missing cell 1
    bytes += F64Bytes(0) + F64Bytes(0) + F64Bytes(0) + F64Bytes(0);                  // sub-item "r"
    bytes += F64Bytes(1.5) + F64Bytes(2) + F64Bytes(3) + F64Bytes(4) + "rem" + "EA"; // "a"
    EXPECT_EQ(ComputeCheckValue(*c), Bitwise(0, bytes));
    // The misc table counts only with its flag.
    c->m_pMiscTable = std::make_unique<CWinMeta>();
    c->m_pMiscTable->Copy(*c->m_pSubTable);
    EXPECT_EQ(ComputeCheckValue(*c), Bitwise(0, bytes));
    FlagSet(c->m_wFlags, CONTRACT_HAS_MISC, 1);
    EXPECT_NE(ComputeCheckValue(*c), Bitwise(0, bytes));
}

} // namespace
} // namespace kestrel
