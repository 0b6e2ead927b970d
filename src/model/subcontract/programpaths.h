#pragma once
// The folders that pick-list files are looked for in: beside the open
// contract file, then beside the program. One object per document (the
// program's, a command's, a test's), handed to the lookups that need it.

#include <string>
#include <utility>

namespace kestrel {

class CProgramPaths {
public:
    CProgramPaths() = default;
    explicit CProgramPaths(std::string programDirectory) : m_programDirectory(std::move(programDirectory)) {}

    // The open contract file; empty when none is open.
    const std::string& ContractPath() const { return m_contractPath; }
    void SetContractPath(std::string path) { m_contractPath = std::move(path); }
    // The program's own folder; empty when unknown.
    const std::string& ProgramDirectory() const { return m_programDirectory; }
    void SetProgramDirectory(std::string directory) { m_programDirectory = std::move(directory); }

    // Where a list file of that name is read from: beside the open contract
    // file, else beside the program, else the name as it stands.
    std::string FindListFile(const std::string& name) const;

private:
    std::string m_contractPath;
    std::string m_programDirectory;
};

} // namespace kestrel
