// Text typed into the fields of a subcontractor form: numbers, amounts with
// shares of the contract total, dates, yes/no and drop-down entries, read
// by the field rules and stored through the edit layer. The first byte
// picks the field width; the rest is the typed text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calc/evaluator.h"
#include "edit/contractedits.h"
#include "edit/fieldrules.h"
#include "model/contract/contract.h"
#include "model/subcontract/programpaths.h"
#include "model/subcontract/winmeta.h"

namespace {

using namespace kestrel;

// A form of one field of each kind that takes typed text, with a record.
std::unique_ptr<CContract> MakeContract()
{
    auto c = std::make_unique<CContract>();
    c->m_pSubTable = std::make_unique<CWinMeta>();
    const int types[] = {FIELD_TEXT, FIELD_NUMBER, FIELD_MONEY, FIELD_DATE, FIELD_YESNO, FIELD_DROPTYPE};
    for (int type : types) {
        CFieldInfo* f = c->m_pSubTable->m_Fields.Add();
        f->m_iType = type;
        f->m_iCX = 10;
        f->m_iRequired = kNeverRequired;
    }
    CFieldInfo* list = c->m_pSubTable->m_Fields[5];
    list->m_wFlags = (1u << 0) | (1u << 3);
    list->m_strListSource = "Choices";
    list->m_iListStart = 2;
    list->m_iListEnd = 6;
    *c->NewList("Choices", false) = {"1 Alpha", "2 Beta", "3 Gamma"};
    c->m_pSubTable->AddRecord(-1, -1);
    c->m_fContractTotal = 200000;
    return c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const int width = static_cast<int8_t>(data[0]);
    const std::string_view typed(reinterpret_cast<const char*>(data) + 1, size - 1);

    Evaluator evaluator;
    const auto number = ReadNumberField(evaluator, typed, width, (data[0] & 1) != 0, 200000);
    if (number && number->text.empty() != IsBlankValue(number->value))
        __builtin_trap();
    const auto date = ReadDateField(typed, LocalDateTime{2026, 3, 5, 9, 0, 0});
    if (date && !date->empty() && date->size() != 8)
        __builtin_trap();
    (void)WorkTypeCodes(typed, width);
    (void)ListKey(typed);

    auto contract = MakeContract();
    CProgramPaths paths;
    CContractEdits edits(*contract, evaluator, paths);
    CWinMeta& table = *contract->m_pSubTable;
    CSubcontract& record = *table.m_Records[0];
    for (int field = 0; field < table.m_Fields.GetSize(); ++field) {
        const EditResult r = edits.SetCell(table, record, field, typed);
        if (!r && r.errorCode() <= 0)
            __builtin_trap(); // every refusal says why
        const FormDisplay shown = edits.ShowRecord(table, record);
        if (shown.fields.size() != static_cast<size_t>(table.m_Fields.GetSize()))
            __builtin_trap();
    }
    return 0;
}
