#pragma once
// Opening a contract file: the one way the program and kestrel-cli both
// open one, so that they agree on every value (the check value included).
// After the file has been read: completeness and totals renewed, the name
// fields found, the pick lists of the linked columns applied to the
// records, and a silent check.

#include <memory>
#include <string>
#include <vector>

#include "calc/result.h"
#include "model/subcontract/check.h"

namespace kestrel {

class CContract;
class CProgramPaths;
class CSubcontract;
class CWinMeta;

struct OpenedContract {
    int subNameField = 0; // index of the field "SubName" (last match, 0 when absent)
    int subField = 0;     // index of the field "SUB"
    // Messages of pick lists that could not be read, in column order; the
    // caller shows them when it warns about lists.
    std::vector<std::string> listErrors;
    // The silent check that ends the open steps (it set contract flag 3).
    CheckResult check;
};

// A contract file opened: the contract read from it, the open steps run.
struct OpenedFile {
    OpenedFile();
    OpenedFile(OpenedFile&&) noexcept;
    OpenedFile& operator=(OpenedFile&&) noexcept;
    ~OpenedFile();

    std::unique_ptr<CContract> contract;
    OpenedContract opened;
};

// The subcontractor columns whose pick lists are linked after opening.
inline constexpr int kLinkedColumns[] = {1, 10, 12, 14};

// Opens the contract file at path: reads it (ReadContractFile) and runs the
// open steps (FinishOpenContract). Fails with the reader's code (CF_...)
// and its text; paths is then left as it was.
[[nodiscard]] Result<OpenedFile> OpenContractFile(const std::string& path, CProgramPaths& paths);

// Runs the open steps on a contract just read from path; path becomes the
// contract path of paths, beside which list files are looked for.
[[nodiscard]] OpenedContract FinishOpenContract(CContract& contract, const std::string& path,
                                                CProgramPaths& paths);

// The index of the subcontractor table's field "SubName" (names compared
// without regard to case, the last match winning; 0 when there is none).
[[nodiscard]] int SubNameField(const CWinMeta& table);
// The same for the field "SUB".
[[nodiscard]] int SubFieldIndex(const CWinMeta& table);

// Links the pick lists of the linked columns to the cells of one record of
// the subcontractor table, as opening the contract does: each cell k whose
// text (trimmed) is the key of a list entry gets that entry's position, and
// the drop-downs of the same list get their part of the entry. A cell whose
// position already names an entry of that key keeps it; else the last
// entry of the key is taken. Repeated until nothing changes, so that
// linking a linked record changes nothing. Lists that cannot be read link
// nothing. Returns whether a cell changed.
bool LinkRecordLists(CContract& contract, CSubcontract& record, const CProgramPaths& paths);

} // namespace kestrel
