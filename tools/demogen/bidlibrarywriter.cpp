#include "demogen/bidlibrarywriter.h"

#include <cstring>
#include <utility>

namespace kestrel::demo {

namespace {

constexpr char kSignature[] = "This is an KVS library file.\n\x1A"; // 30 bytes
constexpr char kMarker[] = "GNU!";
constexpr size_t kHeaderSize = 42;
constexpr size_t kRecordFixedSize = 28;

void PutU32(std::vector<unsigned char>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

void PutU16(std::vector<unsigned char>& out, uint16_t v)
{
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void PutText(std::vector<unsigned char>& out, const std::string& text, size_t limit)
{
    const size_t n = text.size() < limit ? text.size() : limit;
    out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
    out.push_back(0);
}

} // namespace

CBidLibraryWriter::CBidLibraryWriter(std::string description, int16_t version)
    : m_description(std::move(description)), m_version(version)
{
}

void CBidLibraryWriter::Add(BidLibraryFile file)
{
    m_files.push_back(std::move(file));
}

std::vector<unsigned char> CBidLibraryWriter::Bytes() const
{
    static_assert(sizeof kSignature - 1 == 30, "the signature is 30 bytes");
    std::vector<unsigned char> out(kSignature, kSignature + 30);
    const size_t description = (m_description.size() < 2047 ? m_description.size() : 2047) + 1;
    PutU32(out, static_cast<uint32_t>(kHeaderSize + description)); // first directory record
    PutU32(out, 0);                                                // reserved
    PutU16(out, static_cast<uint16_t>(m_files.size()));
    PutU16(out, static_cast<uint16_t>(m_version));
    PutText(out, m_description, 2047);
    for (const BidLibraryFile& f : m_files) {
        const size_t name = (f.name.size() < 255 ? f.name.size() : 255) + 1;
        const size_t second = (f.second.size() < 255 ? f.second.size() : 255) + 1;
        const size_t dataOffset = out.size() + kRecordFixedSize + name + second;
        out.insert(out.end(), kMarker, kMarker + 4);
        PutU32(out, static_cast<uint32_t>(dataOffset));
        PutU32(out, 0); // reserved
        PutU32(out, static_cast<uint32_t>(f.content.size()));
        PutU32(out, 0); // reserved
        PutU16(out, 0); // reserved
        PutU32(out, f.timeStamp);
        PutU16(out, 0); // reserved
        PutText(out, f.name, 255);
        PutText(out, f.second, 255);
        out.insert(out.end(), kMarker, kMarker + 4);
        out.insert(out.end(), f.content.begin(), f.content.end());
    }
    return out;
}

} // namespace kestrel::demo
