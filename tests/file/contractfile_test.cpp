#include "file/contractfile.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

#include "model/contract/contract.h"
#include "support/streambuilder.h"
#include "support/testfiles.h"
#include "support/testsystem.h"

namespace kestrel {
namespace {

using test::StreamBuilder;
using test::TempDir;
using Bytes = std::vector<unsigned char>;

int ReadBytesAsFile(const TempDir& dir, const Bytes& bytes, std::unique_ptr<CContract>& out, bool gzip = true)
{
    const std::string path = dir.file("in.con");
    if (gzip)
        test::GzipFile(path, bytes);
    else
        test::WriteBytes(path, bytes);
    return ReadContractFile(path, out);
}

// A contract with one of everything the contract proper stores.
std::unique_ptr<CContract> MakeSmallContract()
{
    auto c = std::make_unique<CContract>();
    c->m_wFlags = 0x0014;
    c->m_iHeaderA = 7;
    c->iAmendCount = 2;
    c->m_fContractTotal = 1234.5;
    c->m_fSecondAmount = -1;
    c->m_iHeaderB = 300;
    c->dLetingDate = 0x01020304;
    c->dDateGenerated = 5;
    c->m_dDateRevised = 6;
    c->m_strHeader[HDR_LETTING_ID] = "L1";
    c->m_strHeader[HDR_CONTRACT_ID] = "C-42";
    c->m_strHeader[20] = "last";
    c->m_strFurther[1] = "f2";
    c->m_strPrimeID = "P";
    c->m_strPrimeName = "Prime \xC9";
    auto* county = c->m_Counties.Add();
    county->m_strID = "01";
    county->m_strName = "Adams";
    auto* site = c->m_Sites.Add();
    site->m_dStartDate = 10;
    site->m_dEndDate = 20;
    site->m_dwEstDays = 30;
    site->m_fDamages = 99.5;
    site->m_strTypeDays = "W";
    site->m_strDescription = "Site";
    auto* note = c->m_Notes.Add();
    note->m_iNumberA = 1;
    note->m_iNumberB = 0x10002;
    note->m_strText = "n";
    c->m_wPrintOptions = 1;
    c->m_iPrintNumber = {2, 3, 4};
    c->m_QuanFormat = {9, 3};
    c->m_UPFormat = {7, 5};
    c->m_ExtFormat = {10, 2};
    c->m_wFormatWord = 0xBEEF;
    auto* head = c->m_Items.Add();
    head->m_wFlags = 1;
    head->m_strLineNumber = "0001";
    head->m_strLongDesc = "Section";
    auto* item = c->m_Items.Add();
    item->m_strLineNumber = "0010";
    item->m_strAltCode = "A1A";
    item->m_strItemNumber = "201-1";
    item->m_fQuantity = 3;
    item->m_fUnitPrice = 2.5;
    item->m_strUnit = "EA";
    item->m_strShortDesc = "short";
    item->m_strLongDesc = "long";
    *c->NewList("LST", false) = {"one", "two"};
    auto* rpt = c->m_OtherRpts.Add();
    rpt->m_wReportNumber = 9;
    rpt->m_strFirst = "x";
    rpt->m_strSecond = "y";
    c->AddDataTemplate("T", std::string("body"));
    return c;
}

Bytes ExpectedSmallStream()
{
    StreamBuilder s;
    s.Magic().U16(0x0100, 410).Start(0x0200);
    s.U16(0x0201, 7).U16(0x0202, 2).U16(0x0203, 0x0014).F64(0x0204, 1234.5);
    s.U32(0x0206, 0x01020304).U32(0x0207, 5).U32(0x0208, 6);
    for (int t = 0x0209; t <= 0x021B; ++t)
        s.Str(t, t == 0x0209 ? "L1" : t == 0x020B ? "C-42" : "");
    s.Str(0x021D, "").Str(0x021E, "last");
    s.Str(0x0226, "").Str(0x0227, "f2").Str(0x0228, "");
    s.F64(0x022A, -1).Str(0x022B, "P").Str(0x022C, "Prime \xC9").U16(0x022D, 300);
    s.U16(0x021F, 1).Start(0x0400).Str(0x0401, "01").Str(0x0402, "Adams");
    s.U16(0x0220, 1).Start(0x0500).U32(0x0501, 10).U32(0x0502, 20).U16(0x0503, 30).F64(0x0504, 99.5);
    s.Str(0x0505, "W").Str(0x0506, "Site");
    s.U16(0x0222, 1).Start(0x0600).U16(0x0601, 1).U32(0x0602, 0x10002).Str(0x0603, "n");
    s.Start(0x0800).U16(0x0801, 1).U16(0x0802, 2).U16(0x0803, 3).U16(0x0804, 4);
    s.Start(0x0900).U16(0x0901, 0x0309).U16(0x0902, 0x0507).U16(0x0903, 0x020A).U16(0x0904, 0xBEEF);
    s.U16(0x0221, 2);
    s.Start(0x0300).U16(0x0301, 1).F64(0x0302, 0).F64(0x0303, 0).Str(0x0304, "0001").Str(0x0305, "");
    s.Str(0x0306, "").Str(0x0307, "").Str(0x0308, "").Str(0x0309, "Section");
    s.Start(0x0300).U16(0x0301, 0).F64(0x0302, 3).F64(0x0303, 2.5).Str(0x0304, "0010").Str(0x0305, "A1A");
    s.Str(0x0306, "201-1").Str(0x0307, "EA").Str(0x0308, "short").Str(0x0309, "long");
    s.U16(0x0223, 17).Start(0x1100).Str(0x1101, "LST").U16(0x1102, 2).Str(0x1103, "one").Str(0x1103, "two");
    s.U16(0x0224, 1).Start(0x0A00).U16(0x0A01, 9).Str(0x0A02, "x").Str(0x0A03, "y");
    s.U16(0x0225, 1).Start(0x0B00).Str(0x0B01, "T").Str(0x0B02, "body");
    s.End();
    return s.bytes;
}

TEST(ContractFileWrite, StreamHoldsEveryRecordInOrder)
{
    auto c = MakeSmallContract();
    EXPECT_EQ(WriteContractStream(*c), ExpectedSmallStream());
    EXPECT_EQ(c->m_iVersion, 410);
}

TEST(ContractFileWrite, EmptyContractStreamBeginsAsDocumented)
{
    CContract c;
    const Bytes out = WriteContractStream(c);
    const Bytes begin = {0x53, 0x44, 0x54, 0x21, 0x00, 0x01, 0x02, 0x00, 0x9A, 0x01,
                         0x00, 0x02, 0x00, 0x00, 0x01, 0x02, 0x02, 0x00, 0x00, 0x00};
    ASSERT_GE(out.size(), begin.size());
    EXPECT_TRUE(std::equal(begin.begin(), begin.end(), out.begin()));
    StreamBuilder s;
    s.EmptyContractHead().EmptyContractTail();
    EXPECT_EQ(out, s.bytes);
}

// Bucket by bucket, oldest first within a bucket: the reader puts each
// entry it reads in front of its bucket, so the map read back iterates as
// the one written, and read, write, read is a fixed point.
TEST(ContractFileWrite, MapsAreWrittenSoThatReadingRebuildsTheirOrder)
{
    CContract c;
    // "a" and "r" share bucket 12; "U" is in bucket 0; "\xE9a" lands in
    // bucket 2 only when key bytes count as signed.
    for (const char* name : {"a",
                             "\xE9"
                             "a",
                             "r", "U"}) {
        c.AddDataTemplate(name, std::string(name));
        c.NewList(name, false);
    }
    c.m_DataTemplates.Lookup("r")->m_wFlags = 1; // left out of the count only
    StreamBuilder s;
    s.EmptyContractHead().U16(0x0223, 17);
    const std::vector<std::string> order = {"U",
                                            "\xE9"
                                            "a",
                                            "a", "r"};
    for (const auto& n : order)
        s.Start(0x1100).Str(0x1101, n).U16(0x1102, 0);
    s.U16(0x0224, 0).U16(0x0225, 3);
    for (const auto& n : order)
        s.Start(0x0B00).Str(0x0B01, n).Str(0x0B02, n);
    s.End();
    EXPECT_EQ(WriteContractStream(c), s.bytes);

    std::unique_ptr<CContract> back;
    ASSERT_EQ(ReadContractStream(s.bytes.data(), s.bytes.size(), back), CF_OK);
    EXPECT_EQ(back->m_DataTemplates.Keys(), c.m_DataTemplates.Keys());
    EXPECT_EQ(back->m_StoredLists.Keys(), c.m_StoredLists.Keys());
}

TEST(ContractFileWrite, TextsAreCutAtZeroAndAtTheLongestValue)
{
    CContract c;
    c.AddDataTemplate("big", std::string(70000, 'x'));
    c.m_strPrimeID = std::string("ab\0cd", 5);
    const Bytes out = WriteContractStream(c);
    std::unique_ptr<CContract> back;
    ASSERT_EQ(ReadContractStream(out.data(), out.size(), back), CF_OK);
    EXPECT_EQ(back->FindDataTemplate("big")->m_strText->size(), 65535u);
    EXPECT_EQ(*back->m_strPrimeID, "ab");
}

TEST(ContractFileWrite, GzipHeaderAndRoundTripThroughFile)
{
    TempDir dir;
    auto c = MakeSmallContract();
    const std::string path = dir.file("out.con");
    ASSERT_EQ(WriteContractFile(*c, path), CF_OK);
    const Bytes file = test::ReadBytes(path);
    const Bytes header = {0x1F, 0x8B, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0B};
    ASSERT_GE(file.size(), header.size());
    EXPECT_TRUE(std::equal(header.begin(), header.end(), file.begin()));
    EXPECT_EQ(test::GunzipFile(path), ExpectedSmallStream());
    EXPECT_EQ(c->m_dwCheck, ComputeCheckValue(*c));
}

TEST(ContractFileWrite, FailuresGiveTheirCodes)
{
    TempDir dir;
    CContract c;
    EXPECT_EQ(WriteContractFile(c, dir.file("missing/dir/x.con")), CF_CANNOT_OPEN);
    // The device accepts the open but no byte: the failure must not be
    // reported as success.
    const std::string full = test::FullDevice();
    if (full.empty())
        GTEST_SKIP() << test::kNoDevices;
    EXPECT_EQ(WriteContractFile(c, full), CF_CANNOT_WRITE);
}

TEST(ContractFileRead, RoundTripKeepsTheContract)
{
    TempDir dir;
    auto c = MakeSmallContract();
    c->m_iHeaderB = -1;
    c->m_fContractTotal = 7.5; // as it will be recomputed
    c->m_strHeader[5].reset();
    ASSERT_EQ(WriteContractFile(*c, dir.file("a.con")), CF_OK);
    std::unique_ptr<CContract> r;
    ASSERT_EQ(ReadContractFile(dir.file("a.con"), r), CF_OK);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->m_iVersion, 410);
    EXPECT_EQ(r->m_iHeaderA, 7);
    EXPECT_EQ(r->iAmendCount, 2);
    EXPECT_EQ(r->m_wFlags, 0x0014);
    EXPECT_EQ(r->m_iHeaderB, 65535); // u16 zero-extended
    EXPECT_EQ(r->dLetingDate, 0x01020304u);
    EXPECT_EQ(r->pszContractID().View(), "C-42");
    EXPECT_EQ(r->m_strHeader[5], Text("")); // null comes back empty
    EXPECT_EQ(*r->m_strHeader[20], "last");
    EXPECT_EQ(*r->m_strPrimeName, "Prime \xC9");
    EXPECT_EQ(r->m_fSecondAmount, -1);
    ASSERT_EQ(r->m_Sites.GetSize(), 1);
    EXPECT_EQ(r->m_Sites[0]->m_dwEstDays, 30u);
    EXPECT_EQ(r->m_Sites[0]->m_fDamages, 99.5);
    EXPECT_EQ(r->m_Notes[0]->m_iNumberB, 0x10002);
    EXPECT_EQ(r->m_QuanFormat.digits, 9);
    EXPECT_EQ(r->m_QuanFormat.decimals, 3);
    EXPECT_EQ(r->m_ExtFormat.digits, 10);
    EXPECT_EQ(r->m_wFormatWord, 0xBEEF);
    EXPECT_EQ(r->m_iPrintNumber[2], 4);
    ASSERT_EQ(r->m_Items.GetSize(), 2);
    EXPECT_EQ(r->m_Items[1]->m_fExtension, 7.5); // recomputed
    EXPECT_EQ(r->m_Items[0]->m_fExtension, 7.5); // section total
    EXPECT_EQ(r->m_fContractTotal, 7.5);
    ASSERT_NE(r->FindList("LST", false), nullptr);
    EXPECT_EQ(*r->FindList("LST", false), (CSAStringArray{"one", "two"}));
    EXPECT_EQ(*r->FindDataTemplate("T")->m_strText, "body");
    EXPECT_EQ(r->m_OtherRpts[0]->m_wReportNumber, 9);
    EXPECT_EQ(r->m_DefaultTemplates.GetCount(), 6);
    EXPECT_FALSE(FlagTest(r->m_wFlags, CONTRACT_MODIFIED));
    // Writing again gives the same stream but for the header B field.
    r->m_iHeaderB = -1;
    EXPECT_EQ(test::GunzipFile(dir.file("a.con")), WriteContractStream(*r));
}

TEST(ContractFileRead, RecordsAcrossReadChunksOfLargeFiles)
{
    // Several megabytes with records of every size, many of them crossing
    // the boundaries of the pieces in which the file is read.
    TempDir dir;
    CContract c;
    for (int i = 0; i < 40; ++i)
        c.AddDataTemplate("T" + std::to_string(i),
                          std::string(65535 - i * 7, static_cast<char>('a' + i % 26)));
    for (int i = 0; i < 20000; ++i) {
        CItem* e = c.m_Items.Add();
        e->m_strLineNumber = std::to_string(i);
        e->m_strLongDesc = std::string(static_cast<size_t>(i % 97), 'd');
    }
    const Bytes stream = WriteContractStream(c);
    ASSERT_GT(stream.size(), 2u * 1024 * 1024);
    for (bool gzip : {true, false}) {
        std::unique_ptr<CContract> r;
        ASSERT_EQ(ReadBytesAsFile(dir, stream, r, gzip), CF_OK);
        // (Names sharing a map bucket come back in the other order, so the
        // contents are compared rather than the streams.)
        c.m_DataTemplates.ForEach([&](const std::string& name, const CPlate& p) {
            ASSERT_NE(r->FindDataTemplate(name), nullptr) << name;
            EXPECT_EQ(r->FindDataTemplate(name)->m_strText, p.m_strText) << name;
        });
        ASSERT_EQ(r->m_Items.GetSize(), c.m_Items.GetSize());
        for (int i = 0; i < c.m_Items.GetSize(); ++i) {
            ASSERT_EQ(r->m_Items[i]->m_strLineNumber, c.m_Items[i]->m_strLineNumber) << i;
            ASSERT_EQ(TextView(r->m_Items[i]->m_strLongDesc), TextView(c.m_Items[i]->m_strLongDesc)) << i;
        }
    }
}

TEST(ContractFileRead, ModifiedFlagIsClearedAfterReading)
{
    StreamBuilder s;
    s.Magic().Start(0x0200).U16(0x0203, 0x0401).End();
    std::unique_ptr<CContract> r;
    ASSERT_EQ(ReadContractStream(s.bytes.data(), s.bytes.size(), r), CF_OK);
    EXPECT_EQ(r->m_wFlags, 0x0400);
}

TEST(ContractFileRead, UncompressedFileReadsLikeACompressedOne)
{
    TempDir dir;
    const Bytes stream = ExpectedSmallStream();
    std::unique_ptr<CContract> a, b;
    ASSERT_EQ(ReadBytesAsFile(dir, stream, a, false), CF_OK);
    ASSERT_EQ(ReadBytesAsFile(dir, stream, b, true), CF_OK);
    EXPECT_EQ(WriteContractStream(*a), WriteContractStream(*b));
    EXPECT_EQ(a->pszContractID().View(), "C-42");
}

// What the user reads keeps the code's own text and adds what the code
// alone cannot tell: the system's reason, or the limit a file reached.
TEST(ContractFileErrors, FailureTextsKeepTheCodeTextAndAddTheReason)
{
    EXPECT_EQ(ContractFileFailureText(CF_CANNOT_WRITE, ENOSPC, false),
              "Cannot write file: No space left on device");
    EXPECT_EQ(ContractFileFailureText(CF_CANNOT_READ, EIO, true), "Cannot read file: Input/output error");
    EXPECT_EQ(
        ContractFileFailureText(CF_NO_MEMORY, 0, true),
        "Insufficient memory: the file is larger than the limit allows (at most 256 MiB of contract data "
        "and 1048576 records)");
    EXPECT_EQ(ContractFileFailureText(CF_CORRUPT, EIO, true), "File is corrupt");
}

TEST(ContractFileRead, MagicAndOpenErrors)
{
    TempDir dir;
    std::unique_ptr<CContract> r;
    EXPECT_EQ(ReadContractFile(dir.file("nothing.con"), r), CF_CANNOT_OPEN);
    EXPECT_EQ(ContractFileFailureText(CF_CANNOT_OPEN, errno, true),
              "Cannot open file: No such file or directory");
    // Only a regular file is read: a FIFO without a writer would wait for ever.
    EXPECT_EQ(ReadContractFile(dir.path(), r), CF_CANNOT_OPEN);
    if (test::MakeFifo(dir.file("pipe")))
        EXPECT_EQ(ReadContractFile(dir.file("pipe"), r), CF_CANNOT_OPEN);
    else
        std::cout << "[   NOTE   ] FIFO case left out: " << test::kNoFifos << "\n";
    StreamBuilder old;
    old.Magic("This is an old file");
    EXPECT_EQ(ReadBytesAsFile(dir, old.bytes, r), CF_TOO_OLD);
    EXPECT_EQ(ReadBytesAsFile(dir, {}, r, false), CF_NOT_CON);
    EXPECT_EQ(ReadBytesAsFile(dir, {'S', 'D', 'T'}, r), CF_NOT_CON);
    EXPECT_EQ(ReadBytesAsFile(dir, {'S', 'D', 'T', '?', 0, 0}, r), CF_NOT_CON);
    EXPECT_EQ(r, nullptr);
    // The magic alone is an empty contract.
    EXPECT_EQ(ReadBytesAsFile(dir, {'S', 'D', 'T', '!'}, r), CF_OK);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->m_Items.GetSize(), 0);
}

TEST(ContractFileRead, VersionIsTestedWhereItIsMet)
{
    const std::pair<uint32_t, int> cases[] = {
        {399, CF_TOO_OLD}, {400, CF_OK}, {499, CF_OK}, {500, CF_TOO_NEW}, {0, CF_TOO_OLD}};
    for (const auto& [version, code] : cases) {
        StreamBuilder s;
        s.Magic().U16(0x0100, version).Start(0x0300).Str(0x0304, "1").End();
        std::unique_ptr<CContract> r;
        EXPECT_EQ(ReadContractStream(s.bytes.data(), s.bytes.size(), r), code) << version;
        EXPECT_EQ(r != nullptr, code == CF_OK);
        if (r) {
            EXPECT_EQ(r->m_iVersion, static_cast<int32_t>(version));
        }
    }
    // A 32-bit version value is read whole: 0x10000 + 410 is too new.
    StreamBuilder wide;
    wide.Magic().U32(0x0100, 0x10000 + 410);
    std::unique_ptr<CContract> r;
    EXPECT_EQ(ReadContractStream(wide.bytes.data(), wide.bytes.size(), r), CF_TOO_NEW);
}

TEST(ContractFileRead, CutRecordsAreCorrupt)
{
    TempDir dir;
    std::unique_ptr<CContract> r;
    StreamBuilder base;
    base.Magic().Start(0x0300);
    for (size_t cut : {1u, 2u, 3u, 5u}) {
        StreamBuilder s = base;
        s.Str(0x0304, "0010");
        s.bytes.resize(s.bytes.size() - 8 + cut);
        EXPECT_EQ(ReadBytesAsFile(dir, s.bytes, r), CF_CORRUPT) << cut;
        EXPECT_EQ(r, nullptr);
    }
    // Ending cleanly after a record, without the end record, is accepted.
    EXPECT_EQ(ReadBytesAsFile(dir, base.bytes, r), CF_OK);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->m_Items.GetSize(), 1);
}

TEST(ContractFileRead, DamagedGzipDataIsCorrupt)
{
    TempDir dir;
    auto c = MakeSmallContract();
    const std::string path = dir.file("d.con");
    ASSERT_EQ(WriteContractFile(*c, path), CF_OK);
    Bytes file = test::ReadBytes(path);
    std::unique_ptr<CContract> r;

    Bytes badCrc = file;
    badCrc[badCrc.size() - 8] ^= 0xFF; // the trailer's CRC
    test::WriteBytes(path, badCrc);
    EXPECT_EQ(ReadContractFile(path, r), CF_CORRUPT);

    Bytes cut(file.begin(), file.begin() + static_cast<long>(file.size() / 2));
    test::WriteBytes(path, cut);
    EXPECT_EQ(ReadContractFile(path, r), CF_CORRUPT);

    Bytes garbage = file;
    for (size_t i = 10; i < 30 && i < garbage.size(); ++i)
        garbage[i] = 0xFF;
    test::WriteBytes(path, garbage);
    EXPECT_EQ(ReadContractFile(path, r), CF_CORRUPT);
    EXPECT_EQ(r, nullptr);
}

TEST(ContractFileRead, UnknownRecordsAreSkipped)
{
    StreamBuilder s;
    s.Magic().Start(0x0200).Value(0x0250, {1, 2, 3}).Value(0x0205, {9, 9});
    s.Value(0x7700, {0, 0, 0, 0, 0}).Str(0x7701, "x").Value(0x0700, {1});
    s.U16(0x021F, 999).U16(0x0221, 12345); // counts hold anything
    s.Start(0x0300).Value(0x03FF, {1}).Str(0x0304, "0010").End();
    s.Str(0x0304, "after the end");
    std::unique_ptr<CContract> r;
    ASSERT_EQ(ReadContractStream(s.bytes.data(), s.bytes.size(), r), CF_OK);
    ASSERT_EQ(r->m_Items.GetSize(), 1);
    EXPECT_EQ(*r->m_Items[0]->m_strLineNumber, "0010");
}

TEST(ContractFileRead, FieldWidthsAndOrphanFields)
{
    StreamBuilder s;
    s.Magic();
    s.Str(0x0304, "orphan").U16(0x0401, 5).Str(0x0603, "orphan").Str(0x0A02, "x").Str(0x0B02, "x");
    s.Str(0x1103, "x");
    s.Start(0x0200);
    s.Value(0x0204, {0x00, 0x00});       // f64 from two bytes: zero-filled
    s.Value(0x0206, {0x01});             // u32 from one byte
    s.Value(0x0201, {0xFF, 0xFF});       // u16 into 32 bits: 65535
    s.Value(0x0202, {1, 0, 0, 0x80});    // four bytes into 32 bits
    s.Value(0x0203, {0x34, 0x12, 0x99}); // 16-bit field takes two bytes
    s.Value(0x0209, {'a', 0, 'b'});      // a text stops at a zero byte
    s.Value(0x0901, {5});                // format: digits only, no decimals
    s.Start(0x0300)
        .Value(0x0302, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0xAA})
        .Value(0x0303, {0, 0, 0, 0, 0, 0, 0, 0x40});
    s.Value(0x0305, {});
    std::unique_ptr<CContract> r;
    ASSERT_EQ(ReadContractStream(s.bytes.data(), s.bytes.size(), r), CF_OK);
    EXPECT_EQ(r->m_Items.GetSize(), 1);
    EXPECT_EQ(r->m_Counties.GetSize(), 0);
    EXPECT_EQ(r->m_Notes.GetSize(), 0);
    EXPECT_EQ(r->m_DataTemplates.GetCount(), 0);
    EXPECT_EQ(r->m_Items[0]->m_fExtension, 2.0); // recomputed
    EXPECT_EQ(r->dLetingDate, 1u);
    EXPECT_EQ(r->m_iHeaderA, 65535);
    EXPECT_EQ(r->iAmendCount, static_cast<int32_t>(0x80000001u));
    EXPECT_EQ(r->m_wFlags, 0x1234 & ~1);
    EXPECT_EQ(r->pszLettingID().View(), "a");
    EXPECT_EQ(r->m_QuanFormat.digits, 5);
    EXPECT_EQ(r->m_QuanFormat.decimals, 0);
    EXPECT_EQ(r->m_Items[0]->m_fQuantity, 1.0);
    EXPECT_EQ(r->m_Items[0]->m_fUnitPrice, 2.0);
    EXPECT_EQ(r->m_Items[0]->m_strAltCode, Text(""));
}

TEST(ContractFileRead, NameRecordsCreateAndReplace)
{
    StreamBuilder s;
    s.Magic();
    s.Start(0x0B00).Str(0x0B01, "T").Str(0x0B02, "first");
    s.Start(0x0B00).Str(0x0B01, "U");
    s.Start(0x0B00).Str(0x0B01, "T").Str(0x0B02, "second");
    s.Start(0x1100).Str(0x1101, "L").Str(0x1103, "1").Str(0x1103, "2");
    s.Start(0x1100).Str(0x1101, "M").Str(0x1103, "m");
    s.Start(0x1100).Str(0x1101, "L").Str(0x1103, "3");
    std::unique_ptr<CContract> r;
    ASSERT_EQ(ReadContractStream(s.bytes.data(), s.bytes.size(), r), CF_OK);
    EXPECT_EQ(*r->FindDataTemplate("T")->m_strText, "second");
    EXPECT_FALSE(r->FindDataTemplate("U")->m_strText.has_value());
    EXPECT_EQ(*r->FindList("L", false), CSAStringArray{"3"});
    EXPECT_EQ(*r->FindList("M", false), CSAStringArray{"m"});
}

// The check value, computed bit by bit as the file format describes it.
uint32_t BitwiseCheck(uint32_t c, const std::string& bytes)
{
    for (unsigned char b : bytes)
        for (int i = 0; i < 8; ++i, b >>= 1)
            c = ((c ^ b) & 1) ? (c >> 1) ^ 0xA0000001u : c >> 1;
    return c;
}

TEST(CheckValue, ByteStepAndHeaderFields)
{
    EXPECT_EQ(CheckValueAdd(0, "abc", 3), 0x2969A8C0u);
    EXPECT_EQ(BitwiseCheck(0, "abc"), 0x2969A8C0u);

    auto c = MakeSmallContract();
    c->m_strHeader[HDR_CALL_ORDER] = "7";
    c->m_strHeader[HDR_SERIAL_NUMBER] = "S";
    std::string bytes;
    bytes += std::string("\x02\x00", 2);         // amendment count
    bytes += std::string("\x04\x03\x02\x01", 4); // letting date
    bytes += std::string("\x05\x00\x00\x00", 4); // date generated
    bytes += std::string("\x02\x00", 2);         // entries
    bytes += "L1"
             "7"
             "C-42"
             "S";
    EXPECT_EQ(ComputeCheckValue(*c), BitwiseCheck(0, bytes));
    // Fields outside the list do not count.
    c->m_strPrimeName = "other";
    c->m_Items[1]->m_fQuantity = 77;
    EXPECT_EQ(ComputeCheckValue(*c), BitwiseCheck(0, bytes));
}

TEST(ContractFileErrors, Texts)
{
    EXPECT_EQ(ContractFileErrorText(3, true), "Error: Not a CON File");
    EXPECT_EQ(ContractFileErrorText(12, false), "Unknown Error");
    EXPECT_EQ(ContractFileErrorText(-1, false), "Unknown Error");
    EXPECT_EQ(ContractFileErrorText(0, false), "No Error");
    EXPECT_EQ(ContractFileErrorText(1, false),
              "File is too new. You need to update your version of KESTREL.EXE");
    EXPECT_EQ(ContractFileErrorText(9, false), "File is corrupt (#2)");
    EXPECT_EQ(ContractFileErrorText(11, false), "File is an amendment");
}

} // namespace
} // namespace kestrel
