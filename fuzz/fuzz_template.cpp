// The template compiler on arbitrary text.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "report/templatecompiler.h"

namespace {

const kestrel::CContract& Contract()
{
    static std::unique_ptr<kestrel::CContract> c = [] {
        auto contract = std::make_unique<kestrel::CContract>();
        contract->m_pSubTable = std::make_unique<kestrel::CWinMeta>();
        for (const char* name : {"VendorNo", "Type", "VendorName", "Amount"})
            contract->m_pSubTable->m_Fields.Add()->m_strName = std::string(name);
        contract->m_pMiscTable = std::make_unique<kestrel::CWinMeta>();
        contract->m_pMiscTable->m_Fields.Add()->m_strName = std::string("Engineer");
        return contract;
    }();
    return *c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto compiled = kestrel::CTemplateCompiler::TryCompile(text, "Fuzz", &Contract());
    // A template either compiles or fails with a message.
    if (compiled.ok() ? !compiled.value() : compiled.errorText().empty())
        __builtin_trap();
    // The check line by line agrees, and names a line of the text with the
    // same message.
    const kestrel::Status checked = kestrel::CTemplateCompiler::CheckText(text, "Fuzz", &Contract());
    if (checked.ok() != compiled.ok())
        __builtin_trap();
    if (!checked.ok()) {
        const auto lines = kestrel::CTemplateCompiler::SplitLines(text);
        if (checked.errorCode() < 1 || static_cast<size_t>(checked.errorCode()) > lines.size() ||
            checked.errorText() != compiled.errorText())
            __builtin_trap();
    }
    return 0;
}
