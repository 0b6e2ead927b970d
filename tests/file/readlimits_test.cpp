// The limits of one read: files that inflate to far more stream, or far
// more records, than any contract holds end with "Insufficient memory".

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <string>
#include <vector>

#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/streambuilder.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

using Bytes = std::vector<unsigned char>;
using test::StreamBuilder;

// One gzip member holding bytes.
Bytes GzipMember(const Bytes& bytes)
{
    z_stream s{};
    EXPECT_EQ(deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY), Z_OK);
    Bytes out(deflateBound(&s, static_cast<uLong>(bytes.size())));
    s.next_in = const_cast<Bytef*>(bytes.data());
    s.avail_in = static_cast<uInt>(bytes.size());
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&s, Z_FINISH), Z_STREAM_END);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

// A gzip file of the magic followed by `members` members that each inflate
// to `chunk`: zlib reads concatenated members as one stream, so a file of
// a megabyte stands for a gigabyte of records.
std::string WriteBomb(const test::TempDir& dir, const Bytes& chunk, int members)
{
    const std::string path = dir.file("bomb.con");
    std::ofstream out(path, std::ios::binary);
    const Bytes head = GzipMember(StreamBuilder().Magic().bytes);
    const Bytes body = GzipMember(chunk);
    out.write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
    for (int i = 0; i < members; ++i)
        out.write(reinterpret_cast<const char*>(body.data()), static_cast<std::streamsize>(body.size()));
    return path;
}

// A megabyte of empty records of one tag.
Bytes EmptyRecords(int tag, size_t bytes = size_t(1) << 20)
{
    StreamBuilder s;
    while (s.bytes.size() < bytes)
        s.Start(tag);
    return s.bytes;
}

TEST(ContractReadLimits, GigabyteOfUnreadRecordsStopsAtTheStreamLimit)
{
    // Group 0x07 has no handler: only the stream's size can stop this one.
    test::TempDir dir;
    const std::string path = WriteBomb(dir, EmptyRecords(0x0700), 1024);
    std::unique_ptr<CContract> c;
    EXPECT_EQ(ReadContractFile(path, c), CF_NO_MEMORY);
    EXPECT_EQ(c, nullptr);
    EXPECT_EQ(ContractFileErrorText(CF_NO_MEMORY, false), "Insufficient memory");
}

TEST(ContractReadLimits, MillionsOfEmptyItemsStopAtTheRecordLimit)
{
    // Sixteen megabytes of empty items: four times the default record limit.
    test::TempDir dir;
    const std::string path = WriteBomb(dir, EmptyRecords(0x0300), 16);
    std::unique_ptr<CContract> c;
    EXPECT_EQ(ReadContractFile(path, c), CF_NO_MEMORY);
    EXPECT_EQ(c, nullptr);
}

// Small limits, so that both sides of each can be tried.
class ReadLimitsTest : public ::testing::Test {
protected:
    int Read(const Bytes& bytes, const ContractReadLimits& limits)
    {
        contract.reset();
        const int code = ReadContractStream(bytes.data(), bytes.size(), contract, limits);
        EXPECT_EQ(code == CF_OK, contract != nullptr);
        return code;
    }
    // The same bytes through a gzip file.
    int ReadFile(const Bytes& bytes, const ContractReadLimits& limits)
    {
        const std::string path = dir.file("small.con");
        test::GzipFile(path, bytes);
        contract.reset();
        const int code = ReadContractFile(path, contract, limits);
        EXPECT_EQ(code == CF_OK, contract != nullptr);
        return code;
    }
    static StreamBuilder Items(int n)
    {
        StreamBuilder s;
        s.Magic();
        for (int i = 0; i < n; ++i)
            s.Start(0x0300).Str(0x0304, std::to_string(i));
        return s;
    }
    // A subcontractor table of one record and one field holding n sub-items.
    static StreamBuilder SubItems(int n)
    {
        StreamBuilder s;
        s.Magic().Start(0x0C00).Start(0x0C01).Start(0x0F00).Start(0x1000);
        for (int i = 0; i < n; ++i)
            s.Str(0x1202, std::to_string(i)).Start(0x1200).F64(0x1204, i);
        return s;
    }
    static StreamBuilder Table(int fields, int records)
    {
        StreamBuilder s;
        s.Magic().Start(0x0C00).Start(0x0C02);
        for (int j = 0; j < fields; ++j)
            s.Start(0x0F00);
        for (int i = 0; i < records; ++i)
            s.Start(0x1000);
        return s;
    }

    test::TempDir dir;
    std::unique_ptr<CContract> contract;
};

TEST_F(ReadLimitsTest, StreamLimitIsTheLastByteAllowed)
{
    const Bytes bytes = Items(3).End().bytes;
    ContractReadLimits limits;
    limits.streamBytes = bytes.size();
    EXPECT_EQ(Read(bytes, limits), CF_OK);
    EXPECT_EQ(ReadFile(bytes, limits), CF_OK);
    limits.streamBytes = bytes.size() - 1;
    EXPECT_EQ(Read(bytes, limits), CF_NO_MEMORY);
    EXPECT_EQ(ReadFile(bytes, limits), CF_NO_MEMORY);
}

TEST_F(ReadLimitsTest, StreamLimitBeyondTheFirstReadChunk)
{
    // Some 600 KB: the gzip reader hands it over in several pieces, and
    // the limit counts them all.
    StreamBuilder s = Items(0);
    for (int i = 0; i < 10; ++i)
        s.Str(0x0700, std::string(60000, 'x'));
    const Bytes bytes = s.End().bytes;
    ContractReadLimits limits;
    limits.streamBytes = bytes.size();
    EXPECT_EQ(ReadFile(bytes, limits), CF_OK);
    limits.streamBytes = bytes.size() - 1;
    EXPECT_EQ(ReadFile(bytes, limits), CF_NO_MEMORY);
}

TEST_F(ReadLimitsTest, RecordLimitCountsWhatAddsToTheModel)
{
    ContractReadLimits limits;
    limits.newRecords = 5;
    // Five items, each also given a line number (which adds nothing).
    EXPECT_EQ(Read(Items(5).End().bytes, limits), CF_OK);
    EXPECT_EQ(contract->m_Items.GetSize(), 5);
    EXPECT_EQ(Read(Items(6).End().bytes, limits), CF_NO_MEMORY);
    EXPECT_EQ(ReadFile(Items(6).End().bytes, limits), CF_NO_MEMORY);
    // Without an end record the last one counts all the same.
    EXPECT_EQ(Read(Items(6).bytes, limits), CF_NO_MEMORY);
}

TEST_F(ReadLimitsTest, RecordLimitCountsSubItemsReadInRuns)
{
    // The table, its field and its record are three records; four
    // sub-items make seven.
    ContractReadLimits limits;
    limits.newRecords = 7;
    ASSERT_EQ(Read(SubItems(4).End().bytes, limits), CF_OK);
    EXPECT_EQ(contract->m_pSubTable->m_Records[0]->m_SubItems.GetCount(), 4);
    EXPECT_EQ(Read(SubItems(5).End().bytes, limits), CF_NO_MEMORY);
    EXPECT_EQ(Read(SubItems(5).bytes, limits), CF_NO_MEMORY);
}

TEST_F(ReadLimitsTest, RecordLimitCountsEveryKind)
{
    // One of each record that adds to the model, then one more of it over
    // a limit that fits them exactly.
    const int kinds[] = {0x0300, 0x0400, 0x0500, 0x0600, 0x0A00, 0x0B01, 0x0C01, 0x0C02, 0x0D00,
                         0x0E00, 0x0F00, 0x1000, 0x1002, 0x1101, 0x1103, 0x1202, 0x1301};
    auto stream = [&](size_t extra, int tag) {
        StreamBuilder s;
        s.Magic().Start(0x0C00).Start(0x0C01).Start(0x1000).Str(0x1101, "L");
        for (size_t k = 0; k < extra; ++k)
            s.Str(tag, "k" + std::to_string(k));
        return s.End().bytes;
    };
    for (const int tag : kinds) {
        ContractReadLimits limits;
        limits.newRecords = 3 + 4; // table, record, list name, then four more
        EXPECT_EQ(Read(stream(4, tag), limits), CF_OK) << std::hex << tag;
        EXPECT_EQ(Read(stream(5, tag), limits), CF_NO_MEMORY) << std::hex << tag;
    }
    // Records that only fill what is there are not counted.
    ContractReadLimits limits;
    limits.newRecords = 3;
    EXPECT_EQ(Read(stream(50, 0x1001), limits), CF_OK);
    EXPECT_EQ(Read(stream(50, 0x0C13), limits), CF_OK);
}

TEST_F(ReadLimitsTest, TablesCountAsTheCellsTheyAreWrittenWith)
{
    // Records without cells are written with one cell per field: 4 fields
    // of 5 records stand for 20 cells.
    ContractReadLimits limits;
    limits.newRecords = 20;
    ASSERT_EQ(Read(Table(4, 5).End().bytes, limits), CF_OK);
    EXPECT_EQ(contract->m_pMiscTable->m_Records.GetSize(), 5);
    EXPECT_EQ(Read(Table(3, 7).End().bytes, limits), CF_NO_MEMORY);
    EXPECT_EQ(Read(Table(7, 3).End().bytes, limits), CF_NO_MEMORY);
}

} // namespace
} // namespace kestrel
