// Form fields of subcontractor and misc-data records: typing into a field
// and choosing a list entry.

#include <string>

#include "edit/contractedits.h"
#include "edit/editscope.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

EditResult Refuse(Refusal why, std::string text)
{
    return EditResult::Fail(std::move(text), static_cast<int>(why));
}

bool Holds(const CWinMeta& table, const CSubcontract& record)
{
    return table.m_Records.IndexOf(&record) >= 0;
}

} // namespace

EditResult CContractEdits::SetCell(CWinMeta& table, CSubcontract& record, int field, std::string_view typed)
{
    if (&table != m_contract.m_pSubTable.get() && &table != m_contract.m_pMiscTable.get())
        return Refuse(Refusal::NotAllowed, "The table is not part of this contract");
    if (!Holds(table, record))
        return Refuse(Refusal::NotAllowed, "The record is not in this table");
    if (field < 0 || field >= table.m_Fields.GetSize())
        return Refuse(Refusal::NotAllowed, "The form has no field " + std::to_string(field));
    Scope scope;
    Begin(scope, ChangeKind::Cell, &table, &record, {});
    scope.event.field = field;
    const Text* now = record.GetCellText(field);
    if (!now || now->View() != typed) {
        scope.image.TakeRecord(record);
        record.SetCellText(field, Text(typed));
        scope.changed = true;
    }
    return Finish(scope, "Field");
}

EditResult CContractEdits::ChooseListEntry(CWinMeta& table, CSubcontract& record, int field, int position)
{
    (void)position;
    return SetCell(table, record, field, {});
}

} // namespace kestrel
