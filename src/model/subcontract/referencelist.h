#pragma once
// The pick list of a form field: from the contract's stored lists or from a
// list file beside the contract or the program.

#include <string>

#include "model/contract/stringarraymap.h"

namespace kestrel {

class CContract;
class CWinMeta;

// The list of field `field` of `table`, or null. errorText is emptied, and
// set to "Cannot open the file '<path>'" (or why a compressed file could
// not be read) when the list file fails. The list belongs to the contract;
// the pointer holds until the contract's lists change (the next load).
CSAStringArray* LoadReferenceList(CContract& contract, const CWinMeta& table, int field,
                                  std::string& errorText);

// Where a list file of that name is read from: beside the open contract
// file, else beside the program, else the name as it stands.
std::string FindListFile(const std::string& name);

} // namespace kestrel
