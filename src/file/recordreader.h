#pragma once
// The record stream of a contract file: the "SDT!" magic followed by
// tag/length/value records, read from a gzip file (or a plain file, which
// zlib hands through unchanged) or from uncompressed bytes in memory.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "file/recordtags.h"
#include "model/contract/text.h"

struct gzFile_s;

namespace kestrel {

// The value of one record. A field narrower or wider than the value reads
// the value as if it were followed by zero bytes, so a u16 value read into
// a 32-bit field is zero-extended and a short value never picks up bytes of
// another record.
struct RecordValue {
    const unsigned char* data = nullptr;
    size_t size = 0;

    uint64_t Unsigned(size_t width) const
    {
        if constexpr (std::endian::native == std::endian::little) {
            // The common case: the value is as wide as the field.
            if (width == size && (width == 2 || width == 4 || width == 8)) {
                uint64_t v = 0;
                std::memcpy(&v, data, width);
                return v;
            }
        }
        uint64_t v = 0;
        for (size_t i = width < size ? width : size; i-- > 0;)
            v = (v << 8) | data[i];
        return v;
    }
    uint16_t U16() const { return static_cast<uint16_t>(Unsigned(2)); }
    uint32_t U32() const { return static_cast<uint32_t>(Unsigned(4)); }
    int32_t I32() const { return static_cast<int32_t>(U32()); }
    int16_t I16() const { return static_cast<int16_t>(U16()); }
    double F64() const
    {
        const uint64_t bits = Unsigned(8);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    // The text up to its first zero byte. Most texts are short, and a call
    // to memchr would cost more than the loop.
    [[gnu::always_inline]] std::string_view Text() const
    {
        const char* p = reinterpret_cast<const char*>(data);
        if (size > 32)
            return LongText();
        size_t n = 0;
        while (n < size && p[n] != 0)
            ++n;
        return {p, n};
    }
    std::string_view LongText() const;
    // Stores the text into a model text, reusing its storage.
    // Inlined: most texts are empty, and a call would cost more than that.
    [[gnu::always_inline]] void AssignTo(kestrel::Text& text) const { text = Text(); }
};

class CRecordReader {
public:
    // Reads through zlib's gzip reader; the file stays the caller's. More
    // than maxBytes of uncompressed stream is an error (CF_NO_MEMORY).
    CRecordReader(gzFile_s* file, uint64_t maxBytes);
    // Reads uncompressed bytes that outlive the reader; more than maxBytes
    // of them are refused as above.
    CRecordReader(const unsigned char* data, size_t size, uint64_t maxBytes);
    CRecordReader(const CRecordReader&) = delete;
    CRecordReader& operator=(const CRecordReader&) = delete;

    // Reads the 4-byte magic; fewer bytes are returned at the end of the
    // stream. False when the read failed (see Error()).
    [[nodiscard]] bool ReadMagic(std::string& magic);
    // The next record. False at the end record, at the end of the stream,
    // and on an error (Error() then holds its code).
    [[gnu::always_inline]] bool Next(uint16_t& tag, RecordValue& value)
    {
        // Nearly every record lies whole in the buffer.
        if (m_error == 0 && m_end - m_pos >= 4) {
            const unsigned char* p = m_data + m_pos;
            const size_t len = static_cast<size_t>(p[2] | (p[3] << 8));
            if (m_end - m_pos - 4 >= len) {
                tag = static_cast<uint16_t>(p[0] | (p[1] << 8));
                if (tag == TAG_END)
                    return false;
                value.data = p + 4;
                value.size = len;
                m_pos += 4 + len;
                return true;
            }
        }
        return NextSlow(tag, value);
    }
    // The contract file error code of the first failure, 0 when none.
    int Error() const { return m_error; }
    // The system's reason (errno) of a read the system refused, else 0.
    int SystemError() const { return m_systemError; }

private:
    // Makes n bytes available from m_pos; false when the stream ends first
    // or a read failed. Nearly every record is already in the buffer, so
    // that test is kept inline.
    bool Ensure(size_t n) { return m_end - m_pos >= n ? true : EnsureSlow(n); }
    bool EnsureSlow(size_t n);
    bool NextSlow(uint16_t& tag, RecordValue& value);
    void Fill();

    gzFile_s* m_file = nullptr;
    std::vector<unsigned char> m_buffer;
    const unsigned char* m_data = nullptr;
    size_t m_pos = 0;
    size_t m_end = 0;
    bool m_eof = false;
    int m_error = 0;
    int m_systemError = 0;
    uint64_t m_inflated = 0; // bytes the gzip reader has given
    uint64_t m_maxBytes = 0;
};

// The contract file code of a zlib error number; writing selects the code
// of Z_ERRNO.
int GzErrorToCode(int zerr, bool writing);

} // namespace kestrel
