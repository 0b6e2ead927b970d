#pragma once
// Program-wide paths that the pick-list lookup searches: the open contract
// file (empty when none is open) and the program's own directory.

#include <string>

namespace kestrel {

void SetContractPath(const std::string& path);
const std::string& ContractPath();
void SetProgramDirectory(const std::string& directory);
const std::string& ProgramDirectory();

} // namespace kestrel
