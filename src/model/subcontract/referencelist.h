#pragma once
// The pick list of a form field: from the contract's stored lists or from a
// list file beside the contract or the program.

#include <string>

#include "calc/result.h"
#include "model/contract/stringarraymap.h"

namespace kestrel {

class CContract;
class CProgramPaths;
class CWinMeta;

// The list of field `field` of `table`: a null value when the field names
// no list or the list does not exist, an error ("Cannot open the file
// '<path>'", or why a compressed file could not be read) when its list file
// fails. List files are looked for through paths. The list belongs to the
// contract; the pointer holds until the contract's lists change (the next
// load).
[[nodiscard]] Result<CSAStringArray*> LoadReferenceList(CContract& contract, const CWinMeta& table, int field,
                                                        const CProgramPaths& paths);

} // namespace kestrel
