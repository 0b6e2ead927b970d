#pragma once
// Saving a contract as the document does, without ever losing the file
// already on disk: the new contract goes to a temporary file beside the
// target, is flushed to disk, and replaces the target only when complete.

#include <functional>
#include <string>

#include "calc/result.h"
#include "model/subcontract/remarkstamp.h"

namespace kestrel {

class CContract;

// Writes the contract into the open file fd (which it leaves open); 0 on
// success, else an error code whose text errorText gives (with errno the
// system's reason where the system refused a write, as
// WriteContractDescriptor leaves it).
using ContractWriter = std::function<int(CContract& contract, int fd)>;
using WriterErrorText = std::function<std::string(int code)>;

// The steps of a save that can fail, for tests that make them fail.
enum class SaveStep { CreateTemporary, Write, Flush, Replace };

struct SaveOptions {
    ContractWriter writer;     // required
    WriterErrorText errorText; // text of a writer's code
    RandomSource random;       // empty: seeded from the clock
    // Tests: true makes that step fail (a failed Write as on a full disk).
    std::function<bool(SaveStep)> failStep;
};

// Sets contract flag 6, stamps the remarks and writes the contract to path.
// On success clears flag 0. On any failure the file at path is as it was,
// no temporary file is left, flag 6 is restored, flag 0 is set (the remarks
// may have been stamped) and the error gives the reason: the writer's code
// text with the system's (a full disk: "Cannot write file: No space left
// on device"), or the step of the replacement that failed and why.
[[nodiscard]] Status SaveContractSafely(CContract& contract, const std::string& path,
                                        const SaveOptions& options);
// The same with the contract file writer and its error texts.
[[nodiscard]] Status SaveContract(CContract& contract, const std::string& path);

// Writes the contract as it stands (no stamping, flags untouched) through
// the same safe replacement of the file at path.
[[nodiscard]] Status WriteContractFileSafely(CContract& contract, const std::string& path);
// The same for a file that is the user's alone (a recovery copy): it gets
// mode 0600 whatever was at path, and a link at path is replaced, never
// followed (CFileReplacement::BeginPrivate).
[[nodiscard]] Status WriteContractFilePrivately(CContract& contract, const std::string& path);

} // namespace kestrel
