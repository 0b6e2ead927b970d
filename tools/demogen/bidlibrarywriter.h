#pragma once
// Writes bid library files (.kvl): a signature, a header, then for each
// entry a directory record followed by its data block. Only the demo and
// the tests make libraries; the program itself reads them.

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::demo {

struct BidLibraryFile {
    std::string name;   // at most 255 characters
    std::string second; // the record's second text, at most 255 characters
    uint32_t timeStamp = 0;
    std::vector<unsigned char> content;
};

class CBidLibraryWriter {
public:
    CBidLibraryWriter(std::string description, int16_t version);

    void Add(BidLibraryFile file);
    // The whole library file.
    std::vector<unsigned char> Bytes() const;

private:
    std::string m_description; // at most 2,047 characters
    int16_t m_version;
    std::vector<BidLibraryFile> m_files;
};

} // namespace kestrel::demo
