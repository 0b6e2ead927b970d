#include "file/recordreader.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>

#include "file/contractfile.h"

namespace kestrel {

namespace {
// zlib is asked for large pieces: one call per record would cost more than
// the inflation itself. The buffer also holds the longest record whole.
constexpr size_t kChunk = 256 * 1024;
constexpr size_t kLongestRecord = 4 + 65535;
} // namespace

std::string_view RecordValue::LongText() const
{
    const void* zero = std::memchr(data, 0, size);
    const size_t n = zero ? static_cast<size_t>(static_cast<const unsigned char*>(zero) - data) : size;
    return {reinterpret_cast<const char*>(data), n};
}

int GzErrorToCode(int zerr, bool writing)
{
    switch (zerr) {
    case Z_OK: return CF_OK;
    case Z_MEM_ERROR:
    case Z_BUF_ERROR: return CF_NO_MEMORY;
    case Z_STREAM_ERROR:
    case Z_DATA_ERROR: return CF_CORRUPT;
    case Z_ERRNO: return writing ? CF_CANNOT_WRITE : CF_CANNOT_READ;
    default: return CF_CORRUPT2;
    }
}

CRecordReader::CRecordReader(gzFile_s* file, uint64_t maxBytes)
    : m_file(file), m_buffer(kChunk + kLongestRecord), m_maxBytes(maxBytes)
{
    m_data = m_buffer.data();
}

CRecordReader::CRecordReader(const unsigned char* data, size_t size, uint64_t maxBytes)
    : m_data(data), m_end(size), m_eof(true), m_maxBytes(maxBytes)
{
    if (size > maxBytes) {
        m_end = 0;
        m_error = CF_NO_MEMORY;
    }
}

void CRecordReader::Fill()
{
    // Keep the unread bytes at the front and read behind them.
    if (m_pos > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_pos, m_end - m_pos);
        m_end -= m_pos;
        m_pos = 0;
    }
    const size_t room = m_buffer.size() - m_end;
    const int got = gzread(m_file, m_buffer.data() + m_end, static_cast<unsigned>(room));
    if (got < 0) {
        const int error = errno;
        int zerr = Z_OK;
        gzerror(m_file, &zerr);
        if (zerr == Z_ERRNO)
            m_systemError = error;
        m_error = GzErrorToCode(zerr, false);
        if (m_error == CF_OK)
            m_error = CF_CANNOT_READ;
        m_eof = true;
        return;
    }
    m_end += static_cast<size_t>(got);
    // A small file can inflate to gigabytes; the stream stops being read
    // at the limit rather than being taken apart record by record.
    m_inflated += static_cast<uint64_t>(got);
    if (m_inflated > m_maxBytes) {
        m_error = CF_NO_MEMORY;
        m_eof = true;
        return;
    }
    if (got == 0 || static_cast<size_t>(got) < room) {
        m_eof = true;
        // zlib reports a compressed stream that stops before its end only
        // through its error state; the short read itself looks like an end
        // of file. Such a file is damaged, and taking it as complete would
        // lose its tail at the next save.
        int zerr = Z_OK;
        gzerror(m_file, &zerr);
        if (zerr == Z_BUF_ERROR)
            m_error = CF_CORRUPT;
        else if (zerr != Z_OK)
            m_error = GzErrorToCode(zerr, false);
    }
}

bool CRecordReader::EnsureSlow(size_t n)
{
    while (m_end - m_pos < n && !m_eof && m_error == CF_OK)
        Fill();
    return m_error == CF_OK && m_end - m_pos >= n;
}

bool CRecordReader::ReadMagic(std::string& magic)
{
    Ensure(4);
    if (m_error != CF_OK)
        return false;
    const size_t n = m_end - m_pos < 4 ? m_end - m_pos : 4;
    magic.assign(reinterpret_cast<const char*>(m_data + m_pos), n);
    m_pos += n;
    return true;
}

bool CRecordReader::NextSlow(uint16_t& tag, RecordValue& value)
{
    if (m_error != CF_OK)
        return false;
    if (!Ensure(2)) {
        // A lone byte where a tag should be is a cut record.
        if (m_error == CF_OK && m_end - m_pos == 1)
            m_error = CF_CORRUPT;
        return false;
    }
    tag = static_cast<uint16_t>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
    if (tag == TAG_END)
        return false;
    if (!Ensure(4)) {
        if (m_error == CF_OK)
            m_error = CF_CORRUPT;
        return false;
    }
    const size_t len = static_cast<size_t>(m_data[m_pos + 2] | (m_data[m_pos + 3] << 8));
    if (!Ensure(4 + len)) {
        if (m_error == CF_OK)
            m_error = CF_CORRUPT;
        return false;
    }
    value.data = m_data + m_pos + 4;
    value.size = len;
    m_pos += 4 + len;
    return true;
}

} // namespace kestrel
