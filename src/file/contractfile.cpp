#include "file/contractfile.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <new>

#include "file/contractbuilder.h"
#include "file/platform.h"
#include "file/recordreader.h"
#include "file/recordtags.h"
#include "file/recordwriter.h"
#include "file/substorage.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

int ReadRecords(CRecordReader& reader, const ContractReadLimits& limits, std::unique_ptr<CContract>& contract)
{
    std::string magic;
    if (!reader.ReadMagic(magic))
        return reader.Error();
    if (magic == "This")
        return CF_TOO_OLD;
    if (magic != "SDT!")
        return CF_NOT_CON;

    CContractBuilder builder(limits.newRecords);
    uint16_t tag = 0;
    RecordValue value;
    bool more = reader.Next(tag, value);
    while (more) {
        if (CContractBuilder::IsSubItemRecord(tag)) {
            more = builder.ReadSubItemRun(reader, tag, value);
            continue;
        }
        const int code = builder.Handle(tag, value);
        if (code != CF_OK)
            return code;
        more = reader.Next(tag, value);
    }
    if (reader.Error() != CF_OK)
        return reader.Error();
    if (!builder.WithinLimit())
        return CF_NO_MEMORY;
    contract = builder.Finish();
    return CF_OK;
}

// Errors are values here: running out of memory on a damaged or huge file
// is reported like any other read failure.
int ReadGuarded(CRecordReader& reader, const ContractReadLimits& limits, std::unique_ptr<CContract>& contract)
{
    try {
        return ReadRecords(reader, limits, contract);
    } catch (const std::bad_alloc&) {
        return CF_NO_MEMORY;
    } catch (const std::length_error&) {
        return CF_NO_MEMORY;
    }
}

void WriteHeader(CRecordWriter& w, const CContract& c)
{
    w.U16(TAG_VERSION, static_cast<uint32_t>(c.m_iVersion));
    w.Start(TAG_HEADER);
    w.U16(TAG_HEADER_A, static_cast<uint32_t>(c.m_iHeaderA));
    w.U16(TAG_AMEND_COUNT, static_cast<uint32_t>(c.iAmendCount));
    w.U16(TAG_CONTRACT_FLAGS, c.m_wFlags);
    w.F64(TAG_CONTRACT_TOTAL, c.m_fContractTotal);
    w.U32(TAG_LETTING_DATE, c.dLetingDate);
    w.U32(TAG_DATE_GENERATED, c.dDateGenerated);
    w.U32(TAG_DATE_REVISED, c.m_dDateRevised);
    for (uint16_t i = 0; i <= TAG_HEADER_TEXT_LAST - TAG_HEADER_TEXT; ++i)
        w.Str(static_cast<uint16_t>(TAG_HEADER_TEXT + i), c.m_strHeader[i]);
    w.Str(TAG_HEADER_TEXT19, c.m_strHeader[19]);
    w.Str(TAG_HEADER_TEXT20, c.m_strHeader[20]);
    for (uint16_t i = 0; i < 3; ++i)
        w.Str(static_cast<uint16_t>(TAG_FURTHER_TEXT + i), c.m_strFurther[i]);
    w.F64(TAG_SECOND_AMOUNT, c.m_fSecondAmount);
    w.Str(TAG_PRIME_ID, c.m_strPrimeID);
    w.Str(TAG_PRIME_NAME, c.m_strPrimeName);
    w.U16(TAG_HEADER_B, static_cast<uint32_t>(c.m_iHeaderB));
}

void WriteRecordsBeforeItems(CRecordWriter& w, const CContract& c)
{
    w.Count(TAG_COUNTY_COUNT, static_cast<size_t>(c.m_Counties.GetSize()));
    for (const auto& r : c.m_Counties) {
        w.Start(TAG_COUNTY);
        w.Str(TAG_COUNTY_ID, r->m_strID);
        w.Str(TAG_COUNTY_NAME, r->m_strName);
    }
    w.Count(TAG_SITE_COUNT, static_cast<size_t>(c.m_Sites.GetSize()));
    for (const auto& r : c.m_Sites) {
        w.Start(TAG_SITE);
        w.U32(TAG_SITE_START_DATE, r->m_dStartDate);
        w.U32(TAG_SITE_END_DATE, r->m_dEndDate);
        w.U16(TAG_SITE_EST_DAYS, r->m_dwEstDays);
        w.F64(TAG_SITE_DAMAGES, r->m_fDamages);
        w.Str(TAG_SITE_TYPE_DAYS, r->m_strTypeDays);
        w.Str(TAG_SITE_DESCRIPTION, r->m_strDescription);
    }
    w.Count(TAG_NOTE_COUNT, static_cast<size_t>(c.m_Notes.GetSize()));
    for (const auto& r : c.m_Notes) {
        w.Start(TAG_NOTE);
        w.U16(TAG_NOTE_NUMBER_A, static_cast<uint32_t>(r->m_iNumberA));
        w.U32(TAG_NOTE_NUMBER_B, static_cast<uint32_t>(r->m_iNumberB));
        w.Str(TAG_NOTE_TEXT, r->m_strText);
    }
    w.Start(TAG_PRINT_OPTIONS);
    w.U16(TAG_PRINT_OPTIONS_WORD, c.m_wPrintOptions);
    for (uint16_t i = 0; i < 3; ++i)
        w.U16(static_cast<uint16_t>(TAG_PRINT_NUMBER + i), static_cast<uint32_t>(c.m_iPrintNumber[i]));
    w.Start(TAG_FORMATS);
    const NumberFormat* formats[3] = {&c.m_QuanFormat, &c.m_UPFormat, &c.m_ExtFormat};
    for (uint16_t i = 0; i < 3; ++i)
        w.U16(static_cast<uint16_t>(TAG_QUANTITY_FORMAT + i), formats[i]->Word());
    w.U16(TAG_FORMAT_WORD, c.m_wFormatWord);
}

void WriteItems(CRecordWriter& w, const CContract& c)
{
    w.Count(TAG_ITEM_COUNT, static_cast<size_t>(c.m_Items.GetSize()));
    for (const auto& e : c.m_Items) {
        w.Start(TAG_ITEM);
        w.U16(TAG_ITEM_FLAGS, e->m_wFlags);
        w.F64(TAG_ITEM_QUANTITY, e->m_fQuantity);
        w.F64(TAG_ITEM_UNIT_PRICE, e->m_fUnitPrice);
        w.Str(TAG_ITEM_LINE_NUMBER, e->m_strLineNumber);
        w.Str(TAG_ITEM_ALT_CODE, e->m_strAltCode);
        w.Str(TAG_ITEM_NUMBER, e->m_strItemNumber);
        w.Str(TAG_ITEM_UNIT, e->m_strUnit);
        w.Str(TAG_ITEM_SHORT_DESC, e->m_strShortDesc);
        w.Str(TAG_ITEM_LONG_DESC, e->m_strLongDesc);
    }
}

void WriteRecordsAfterItems(CRecordWriter& w, const CContract& c)
{
    // No table, no table group: an empty table would come back as a table.
    if (c.m_pSubTable)
        WriteSubTable(w, *c.m_pSubTable, false);
    // The flag promises a table the contract may not have; then there is
    // nothing to write.
    if (FlagTest(c.m_wFlags, CONTRACT_HAS_MISC) && c.m_pMiscTable)
        WriteSubTable(w, *c.m_pMiscTable, true);

    // Maps are written oldest first within each bucket: the reader adds
    // each entry in front of its bucket, so reading the file rebuilds the
    // map order as it stands here, and with it the check value. (Written in
    // map order, every save and reread would turn each bucket round.)
    w.Count(TAG_LIST_COUNT, kMapBuckets); // the bucket count of the map, as always written
    c.m_StoredLists.ForEachOldestFirst([&](const std::string& name, const CSAStringArray& list) {
        w.Start(TAG_LIST);
        w.Str(TAG_LIST_NAME, name);
        w.Count(TAG_LIST_ENTRY_COUNT, list.size());
        for (const auto& entry : list)
            w.Str(TAG_LIST_ENTRY, entry);
    });

    w.Count(TAG_OTHER_REPORT_COUNT, static_cast<size_t>(c.m_OtherRpts.GetSize()));
    for (const auto& r : c.m_OtherRpts) {
        w.Start(TAG_OTHER_REPORT);
        w.U16(TAG_OTHER_REPORT_NUMBER, r->m_wReportNumber);
        w.Str(TAG_OTHER_REPORT_FIRST, r->m_strFirst);
        w.Str(TAG_OTHER_REPORT_SECOND, r->m_strSecond);
    }

    size_t counted = 0;
    c.m_DataTemplates.ForEach([&](const std::string&, const CPlate& p) {
        if (!FlagTest(p.m_wFlags, 0))
            ++counted;
    });
    w.Count(TAG_TEMPLATE_COUNT, counted);
    c.m_DataTemplates.ForEachOldestFirst([&](const std::string& name, const CPlate& p) {
        w.Start(TAG_TEMPLATE);
        w.Str(TAG_TEMPLATE_NAME, name);
        w.Str(TAG_TEMPLATE_TEXT, p.m_strText);
    });
    w.End();
}

void WriteContract(CRecordWriter& w, CContract& c)
{
    c.m_dwCheck = ComputeCheckValue(c);
    c.m_iVersion = kContractFileVersion;
    w.Raw("SDT!", 4);
    WriteHeader(w, c);
    WriteRecordsBeforeItems(w, c);
    WriteItems(w, c);
    WriteRecordsAfterItems(w, c);
}

// Compresses into one gzip member with the header every contract file has:
// no name, time 0, operating system 11. zlib's gzip-file writer would put
// the build platform's code there, so the member is made with deflate.
class CGzipSink : public CByteSink {
public:
    explicit CGzipSink(int fd) : m_fd(fd), m_out(kOut) {}
    ~CGzipSink() override
    {
        if (m_init)
            deflateEnd(&m_strm);
    }
    CGzipSink(const CGzipSink&) = delete;
    CGzipSink& operator=(const CGzipSink&) = delete;

    int Init()
    {
        int ret = deflateInit2(&m_strm, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
        if (ret != Z_OK)
            return GzErrorToCode(ret, true);
        m_init = true;
        m_header.os = 11;
        ret = deflateSetHeader(&m_strm, &m_header);
        return ret == Z_OK ? CF_OK : GzErrorToCode(ret, true);
    }

    int Write(const unsigned char* data, size_t size) override { return Deflate(data, size, Z_NO_FLUSH); }
    int Finish() { return Deflate(nullptr, 0, Z_FINISH); }
    // The system's reason of a write that failed, else 0.
    int SystemError() const { return m_systemError; }

private:
    static constexpr size_t kOut = 256 * 1024;

    int Deflate(const unsigned char* data, size_t size, int flush)
    {
        m_strm.next_in = const_cast<Bytef*>(data);
        m_strm.avail_in = static_cast<uInt>(size);
        for (;;) {
            m_strm.next_out = m_out.data();
            m_strm.avail_out = static_cast<uInt>(m_out.size());
            const int ret = deflate(&m_strm, flush);
            if (ret != Z_OK && ret != Z_STREAM_END && ret != Z_BUF_ERROR)
                return GzErrorToCode(ret, true);
            const size_t have = m_out.size() - m_strm.avail_out;
            if (have > 0) {
                const Status written =
                    WriteAll(m_fd, std::string_view(reinterpret_cast<const char*>(m_out.data()), have));
                if (!written) {
                    m_systemError = written.errorCode();
                    return CF_CANNOT_WRITE;
                }
            }
            if (flush == Z_FINISH ? ret == Z_STREAM_END : (m_strm.avail_in == 0 && m_strm.avail_out != 0))
                return CF_OK;
        }
    }

    int m_fd;
    std::vector<unsigned char> m_out;
    z_stream m_strm{};
    gz_header m_header{};
    bool m_init = false;
    int m_systemError = 0;
};

int WriteToDescriptor(CContract& contract, int fd, int& systemError)
{
    CGzipSink sink(fd);
    int code = sink.Init();
    if (code == CF_OK) {
        CRecordWriter writer(&sink);
        WriteContract(writer, contract);
        code = writer.Flush();
        if (code == CF_OK)
            code = sink.Finish();
    }
    systemError = sink.SystemError();
    return code;
}

int WriteFile(CContract& contract, const std::string& path, int& systemError)
{
    const Result<int> fd = OpenFileForWriting(path);
    if (!fd) {
        systemError = fd.errorCode();
        return CF_CANNOT_OPEN;
    }
    int code = WriteToDescriptor(contract, fd.value(), systemError);
    // Some file systems report a failed write only when the file is closed.
    if (Status closed = CloseFile(fd.value()); !closed && code == CF_OK) {
        code = CF_CANNOT_WRITE;
        systemError = closed.errorCode();
    }
    return code;
}

// The reason of a failed open, read or write goes with the code as errno,
// the way the gzip interface reports Z_ERRNO; 0 for every other code.
int WithErrno(int code, int systemError)
{
    const bool system = code == CF_CANNOT_OPEN || code == CF_CANNOT_READ || code == CF_CANNOT_WRITE;
    errno = system ? systemError : 0;
    return code;
}

} // namespace

int ReadContractFile(const std::string& path, std::unique_ptr<CContract>& contract,
                     const ContractReadLimits& limits)
{
    contract.reset();
    // Only a regular file is read: a FIFO or device would keep the read
    // waiting for ever. Callers that want to say so check the kind first.
    Result<int> fd = OpenRegularFile(path);
    if (!fd)
        return WithErrno(CF_CANNOT_OPEN, fd.errorCode());
    gzFile file = gzdopen(fd.value(), "rb");
    if (!file) {
        const int error = errno;
        CloseDescriptor(fd.value());
        return WithErrno(CF_CANNOT_OPEN, error);
    }
    // zlib's 8 KB input buffer costs a tenth of the inflation time in
    // calls and reads on large contracts.
    gzbuffer(file, 64 * 1024);
    int code;
    int systemError = 0;
    {
        CRecordReader reader(file, limits.streamBytes);
        code = ReadGuarded(reader, limits, contract);
        systemError = reader.SystemError();
    }
    gzclose(file);
    if (code != CF_OK)
        contract.reset();
    return WithErrno(code, systemError);
}

int ReadContractStream(const unsigned char* data, size_t size, std::unique_ptr<CContract>& contract,
                       const ContractReadLimits& limits)
{
    contract.reset();
    CRecordReader reader(data, size, limits.streamBytes);
    const int code = ReadGuarded(reader, limits, contract);
    if (code != CF_OK)
        contract.reset();
    return code;
}

int WriteContractFile(CContract& contract, const std::string& path)
{
    int systemError = 0;
    try {
        const int code = WriteFile(contract, path, systemError);
        return WithErrno(code, systemError);
    } catch (const std::bad_alloc&) {
        return WithErrno(CF_NO_MEMORY, 0);
    }
}

int WriteContractDescriptor(CContract& contract, int fd)
{
    int systemError = 0;
    try {
        const int code = WriteToDescriptor(contract, fd, systemError);
        return WithErrno(code, systemError);
    } catch (const std::bad_alloc&) {
        return WithErrno(CF_NO_MEMORY, 0);
    }
}

std::vector<unsigned char> WriteContractStream(CContract& contract)
{
    CRecordWriter writer;
    WriteContract(writer, contract);
    return std::move(writer.Bytes());
}

std::string ContractFileErrorText(int code, bool prefixed)
{
    static const char* const kTexts[] = {
        "No Error",
        "File is too new. You need to update your version of KESTREL.EXE",
        "File is too old. This file can only be read with a previous version of KESTREL",
        "Not a CON File",
        "Cannot open file",
        "Cannot read file",
        "Cannot write file",
        "Insufficient memory",
        "File is corrupt",
        "File is corrupt (#2)",
        "File contains duplicate line numbers",
        "File is an amendment",
    };
    const bool known = code >= 0 && code < static_cast<int>(sizeof kTexts / sizeof kTexts[0]);
    const std::string text = known ? kTexts[code] : "Unknown Error";
    return prefixed ? "Error: " + text : text;
}

std::string ContractFileFailureText(int code, int systemError, bool reading)
{
    std::string text = ContractFileErrorText(code, false);
    if (code == CF_CANNOT_OPEN || code == CF_CANNOT_READ || code == CF_CANNOT_WRITE)
        return WithSystemReason(text, systemError);
    if (code == CF_NO_MEMORY && reading) {
        // A real contract lies far below the limits; a file that reaches
        // them is not worth the machine's memory.
        const ContractReadLimits limits;
        char limit[160];
        std::snprintf(limit, sizeof limit, "at most %llu MiB of contract data and %llu records",
                      static_cast<unsigned long long>(limits.streamBytes >> 20),
                      static_cast<unsigned long long>(limits.newRecords));
        text += ": the file is larger than the limit allows (";
        text += limit;
        text += ")";
    }
    return text;
}

} // namespace kestrel
