// Feeds arbitrary bytes to the contract file's record parser as the
// uncompressed stream, then writes whatever was read and reads it back: a
// contract that was read must write a stream that reads again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "file/contractfile.h"
#include "model/contract/contract.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrel;
    std::unique_ptr<CContract> contract;
    if (ReadContractStream(data, size, contract) != CF_OK)
        return 0;
    ComputeCheckValue(*contract);
    const std::vector<unsigned char> out = WriteContractStream(*contract);
    std::unique_ptr<CContract> again;
    if (ReadContractStream(out.data(), out.size(), again) != CF_OK)
        std::abort();
    return 0;
}
