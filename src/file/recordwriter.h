#pragma once
// Writes tag/length/value records into a buffer that is handed to a sink
// (the gzip compressor) whenever it fills; without a sink the buffer keeps
// the whole uncompressed stream. The first error is sticky: once a write
// failed, every further write is skipped.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "file/recordtags.h"
#include "model/contract/values.h"

namespace kestrel {

// Receives the uncompressed bytes; returns a contract file error code.
class CByteSink {
public:
    virtual ~CByteSink() = default;
    [[nodiscard]] virtual int Write(const unsigned char* data, size_t size) = 0;
};

// The longest text a record holds: the length field has 16 bits. The edit
// layer refuses a longer text, and the program's editors hold no more.
inline constexpr size_t kMaxRecordText = 0xFFFF;

class CRecordWriter {
public:
    explicit CRecordWriter(CByteSink* sink = nullptr);

    void Raw(const void* data, size_t size);
    void Start(uint16_t tag) { Header(tag, 0); }
    void U16(uint16_t tag, uint32_t v) { Fixed(tag, v & 0xFFFFu, 2); }
    void U32(uint16_t tag, uint32_t v) { Fixed(tag, v, 4); }
    void F64(uint16_t tag, double v);
    // A text: its bytes up to the first zero byte; at most 65535 bytes, the
    // most a record can hold. Null and empty texts both have length 0.
    void Str(uint16_t tag, std::string_view s);
    void Str(uint16_t tag, const Text& t) { Str(tag, TextView(t)); }
    void Str(uint16_t tag, const std::string& s) { Str(tag, std::string_view(s)); }
    // A count record: the number, cut to 16 bits (only for information).
    void Count(uint16_t tag, size_t n) { U16(tag, static_cast<uint32_t>(n > 0xFFFF ? 0xFFFF : n)); }
    void End() { Header(TAG_END, 0); }

    // Hands the remaining bytes to the sink; returns the first error.
    [[nodiscard]] int Flush();
    int Error() const { return m_error; }
    // The bytes written so far (without a sink: the whole stream).
    std::vector<unsigned char>& Bytes();

private:
    void Header(uint16_t tag, size_t len);
    void Fixed(uint16_t tag, uint64_t v, size_t width);
    void Drain();

    CByteSink* m_sink;
    std::vector<unsigned char> m_buffer;
    size_t m_used = 0;
    int m_error = 0;
};

} // namespace kestrel
