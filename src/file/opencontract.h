#pragma once
// What opening a contract does to the model once the file has been read:
// completeness and totals renewed, the name fields found, the pick lists of
// the linked columns applied to the records, and a silent check.

#include <string>
#include <vector>

#include "calc/result.h"
#include "model/subcontract/check.h"

namespace kestrel {

class CContract;
class CProgramPaths;
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

// The subcontractor columns whose pick lists are linked after opening.
inline constexpr int kLinkedColumns[] = {1, 10, 12, 14};

// Runs the open steps on a contract just read from path; path becomes the
// contract path of paths, beside which list files are looked for.
[[nodiscard]] OpenedContract FinishOpenContract(CContract& contract, const std::string& path,
                                                CProgramPaths& paths);

// The index of the subcontractor table's field "SubName" (names compared
// without regard to case, the last match winning; 0 when there is none).
[[nodiscard]] int SubNameField(const CWinMeta& table);

// Links the pick list of column k of the subcontractor table to its cells:
// each record whose cell k holds (trimmed) the key of a list entry gets
// that entry's position, and the other list columns of the same list get
// their part of the entry. Succeeds also when the column names no list;
// fails with the list's error text when its list file cannot be read.
[[nodiscard]] Status LinkReferenceList(CContract& contract, int column, const CProgramPaths& paths);

} // namespace kestrel
