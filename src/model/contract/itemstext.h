#pragma once
// The contract items as tab-separated lines: the text the Copy command puts
// on the clipboard for the "Contract Items" node.

#include <string>

namespace kestrel {

class CContract;

// One line per item (headings left out), each ended by "\r\n": contract id,
// line number, alternate code, item number, quantity, unit, unit price,
// extension, short description. Numbers in plain form with the contract's
// formats; a blank number gives an empty field.
std::string ContractItemsText(const CContract& contract);

} // namespace kestrel
