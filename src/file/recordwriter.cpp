#include "file/recordwriter.h"

#include <cstring>

namespace kestrel {

namespace {
constexpr size_t kDrainAt = 256 * 1024;
// Without a sink the buffer grows with the stream: a small contract written
// for comparison (undo tests, the edit fuzzer) fills no more than it needs.
constexpr size_t kFirstStreamSize = 16 * 1024;
} // namespace

CRecordWriter::CRecordWriter(CByteSink* sink)
    : m_sink(sink), m_buffer(sink ? kDrainAt + 0x10000 + 8 : kFirstStreamSize)
{
}

void CRecordWriter::Raw(const void* data, size_t size)
{
    if (m_error != 0 || size == 0)
        return;
    // The buffer is kept at its full size and filled by hand: a vector
    // insert per field costs more than the copy itself for the many small
    // values of a contract.
    if (m_buffer.size() - m_used < size)
        m_buffer.resize(2 * m_buffer.size() + size);
    std::memcpy(m_buffer.data() + m_used, data, size);
    m_used += size;
    if (m_sink && m_used >= kDrainAt)
        Drain();
}

std::vector<unsigned char>& CRecordWriter::Bytes()
{
    m_buffer.resize(m_used);
    return m_buffer;
}

void CRecordWriter::Header(uint16_t tag, size_t len)
{
    const unsigned char h[4] = {static_cast<unsigned char>(tag), static_cast<unsigned char>(tag >> 8),
                                static_cast<unsigned char>(len), static_cast<unsigned char>(len >> 8)};
    Raw(h, sizeof h);
}

void CRecordWriter::Fixed(uint16_t tag, uint64_t v, size_t width)
{
    // Header and value in one piece: most records of a contract are these.
    unsigned char b[12] = {static_cast<unsigned char>(tag), static_cast<unsigned char>(tag >> 8),
                           static_cast<unsigned char>(width), 0};
    for (size_t i = 0; i < width; ++i)
        b[4 + i] = static_cast<unsigned char>(v >> (8 * i));
    Raw(b, 4 + width);
}

void CRecordWriter::F64(uint16_t tag, double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    Fixed(tag, bits, 8);
}

void CRecordWriter::Str(uint16_t tag, std::string_view s)
{
    // A reader stops a text at its first zero byte, so nothing after it
    // would come back.
    const size_t zero = s.find('\0');
    if (zero != std::string_view::npos)
        s = s.substr(0, zero);
    // The length field holds at most 65535: a longer text (only a huge
    // template can be one) is cut to that length so that the record's
    // length always agrees with its value and the stream stays readable.
    if (s.size() > kMaxRecordText)
        s = s.substr(0, kMaxRecordText);
    Header(tag, s.size());
    Raw(s.data(), s.size());
}

void CRecordWriter::Drain()
{
    if (m_error == 0 && m_used > 0)
        m_error = m_sink->Write(m_buffer.data(), m_used);
    m_used = 0;
}

int CRecordWriter::Flush()
{
    if (m_sink)
        Drain();
    return m_error;
}

} // namespace kestrel
