#include "support/readcontract.h"

#include <memory>

#include "file/contractfile.h"
#include "model/contract/contract.h"

namespace kestrel::bench {

void TimeReadingContract(benchmark::State& state, const std::string& path)
{
    for (auto _ : state) {
        std::unique_ptr<CContract> contract;
        if (ReadContractFile(path, contract) != CF_OK)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(contract.get());
        state.PauseTiming(); // freeing the contract is not part of reading it
        contract.reset();
        state.ResumeTiming();
    }
}

} // namespace kestrel::bench
