#pragma once
// Compiles template text into lines of segments. Every parse error names the
// template; the messages are the ones the user sees.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "calc/result.h"
#include "report/templatenodes.h"

namespace kestrel {

class CContract;

class CTemplateCompiler {
public:
    // The contract supplies the names of the subcontract and miscellaneous
    // columns that fields may name; it may be null.
    CTemplateCompiler(std::string_view templateName, const CContract* contract);

    // Both throw CReportFault on a parse error; they serve the report
    // engine inside the module. Other callers use TryCompile.
    std::unique_ptr<CompiledTemplate> Compile(std::string_view text) const;
    // One line of text, normally ending in LF.
    TemplateLine CompileLine(std::string_view line) const;

    // The template's lines without their LF; a final LF starts no extra line.
    static std::vector<std::string_view> SplitLines(std::string_view text);

    // Compile with the fault returned as a value: the compiled template, or
    // the fault's message.
    [[nodiscard]] static Result<std::unique_ptr<CompiledTemplate>>
    TryCompile(std::string_view text, std::string_view templateName, const CContract* contract);
    // Whether the text compiles: Ok, or the fault of its first line that does
    // not, with that line's number (from 1) as the error code.
    [[nodiscard]] static Status CheckText(std::string_view text, std::string_view templateName,
                                          const CContract* contract);

private:
    std::string m_name;
    const CContract* m_contract;
};

} // namespace kestrel
