// Feeds arbitrary bytes to the contract file reader, then writes whatever
// was read and reads it back: a contract that was read must write a stream
// that reads again. Bytes that begin as a gzip file does are read from a
// file, as the program reads a contract, so that the inflating reader and
// its stream limit are tried too; any other bytes go to the record parser
// as the uncompressed stream.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "file/contractfile.h"
#include "model/contract/contract.h"

namespace {

// Small, so that a few kilobytes of gzip reach them and a read that stops
// there keeps the sanitizers' memory low.
kestrel::ContractReadLimits FuzzLimits()
{
    kestrel::ContractReadLimits limits;
    limits.streamBytes = size_t(1) << 20;
    limits.newRecords = 65536;
    return limits;
}

int ReadAsFile(const uint8_t* data, size_t size, std::unique_ptr<kestrel::CContract>& contract)
{
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("fuzz_contractfile_" + std::to_string(getpid()) + ".con"))
            .string();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    return kestrel::ReadContractFile(path, contract, FuzzLimits());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrel;
    std::unique_ptr<CContract> contract;
    const bool gzip = size >= 2 && data[0] == 0x1F && data[1] == 0x8B;
    const int code =
        gzip ? ReadAsFile(data, size, contract) : ReadContractStream(data, size, contract, FuzzLimits());
    if (code != CF_OK)
        return 0;
    ComputeCheckValue(*contract);
    // Read back within the default limits: a table is written with every
    // cell of every record, which can make the stream larger than the one
    // that was read.
    const std::vector<unsigned char> out = WriteContractStream(*contract);
    std::unique_ptr<CContract> again;
    if (ReadContractStream(out.data(), out.size(), again) != CF_OK)
        std::abort();
    return 0;
}
