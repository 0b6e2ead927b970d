#pragma once
// The pick list of a form field: from the contract's stored lists or from a
// list file beside the contract or the program.

#include <string>
#include <vector>

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

// The fields of the table that follow field `field`'s pick list together,
// `field` included, in field order: those whose list source is the same
// non-blank text, compared without regard to case. Empty when the field
// names no list.
[[nodiscard]] std::vector<int> FieldsOnSameList(const CWinMeta& table, int field);

// A drop-down field: a list, or a list the user may also type into.
[[nodiscard]] bool IsDropDownField(int type);

} // namespace kestrel
