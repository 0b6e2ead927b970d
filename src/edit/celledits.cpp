// Form fields of subcontractor and misc-data records: typing into a field,
// choosing a list entry, what a field's list offers and what the form shows
// of a record.

#include <cstdio>
#include <string>
#include <vector>

#include "calc/codepage.h"
#include "edit/contractedits.h"
#include "edit/editscope.h"
#include "edit/fieldrules.h"
#include "edit/formlayout.h"
#include "file/opencontract.h"
#include "model/contract/contract.h"
#include "model/subcontract/referencelist.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/texttrim.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

// The read-only mark of a cell.
constexpr int kCellReadOnly = 2;

Status Refused(Refusal why, std::string text)
{
    return Status::Fail(std::move(text), static_cast<int>(why));
}

EditResult Refuse(Refusal why, std::string text)
{
    return EditResult::Fail(std::move(text), static_cast<int>(why));
}

std::string_view CellText(const CSubcontract& record, int field)
{
    const Text* text = record.GetCellText(field);
    return text ? TextView(*text) : std::string_view();
}

// Stores text and position into a cell when either differs; a null text
// and an empty one are the same value. True when something changed.
bool StoreCell(CSubcontract& record, int field, std::string_view text, int position)
{
    const CCellData* cell = record.GetCell(field);
    if (cell && TextView(cell->m_psz) == text && cell->m_i == position)
        return false;
    record.SetCellText(field, Text(text));
    record.GetCell(field)->m_i = static_cast<int16_t>(position);
    return true;
}

bool StoreCellText(CSubcontract& record, int field, std::string_view text)
{
    const CCellData* cell = record.GetCell(field);
    return StoreCell(record, field, text, cell ? cell->m_i : -1);
}

// A cell the form fields of this record hold (the form may have fewer
// fields than the cells the program relies on).
bool HasField(const CWinMeta& table, int field)
{
    return field < table.m_Fields.GetSize();
}

bool IsLockedRecord(const CContract& contract, const CSubcontract& record)
{
    return FlagTest(contract.m_wFlags, CONTRACT_IRONBARK_LOCKED) &&
           FlagTest(record.m_wFlags, SUB_FROMIRONBARK);
}

// The "sub type" entry's two flag characters: the first "1" makes the
// subcontract itemized, the second "1" credits it at 60 percent; cells 23
// and 19 follow. True when something changed.
bool ApplySubType(const CWinMeta& table, CSubcontract& record, std::string_view entry)
{
    const bool itemized = !entry.empty() && entry[0] == '1';
    const bool sixty = entry.size() > 1 && entry[1] == '1';
    const uint16_t flags = record.m_wFlags;
    FlagSet(record.m_wFlags, SUB_USESSUBITEMS, itemized ? 1 : 0);
    FlagSet(record.m_wFlags, SUB_USESIXTY, sixty ? 1 : 0);
    bool changed = flags != record.m_wFlags;
    if (HasField(table, SUBF_YESNO))
        changed |= StoreCellText(record, SUBF_YESNO, itemized ? "N" : "Y");
    if (HasField(table, SUBF_PERCENT))
        changed |= StoreCellText(record, SUBF_PERCENT, !itemized && sixty ? "60.00" : "100.00");
    return changed;
}

// The entry of the yes/no choices a typed text picks: empty is the empty
// entry, else the first of "Yes", "No" that begins with it; -1 for none.
int YesNoPosition(std::string_view typed)
{
    if (typed.empty())
        return 0;
    const FieldChoices choices = YesNoChoices();
    for (const FieldChoice& c : choices.entries)
        if (c.position > 0 && typed.size() <= c.text.size() &&
            EqualNoCase(std::string_view(c.text).substr(0, typed.size()), typed))
            return c.position;
    return -1;
}

// The first choice that begins with the typed text, ignoring case; -1 when
// none does.
int FirstChoiceBeginningWith(const FieldChoices& choices, std::string_view typed)
{
    for (const FieldChoice& c : choices.entries)
        if (typed.size() <= c.text.size() &&
            EqualNoCase(std::string_view(c.text).substr(0, typed.size()), typed))
            return c.position;
    return -1;
}

} // namespace

Status CContractEdits::CheckField(const CWinMeta& table, const CSubcontract& record, int field) const
{
    if (&table != m_contract.m_pSubTable.get() && &table != m_contract.m_pMiscTable.get())
        return Refused(Refusal::NotAllowed, "The table is not part of this contract");
    if (table.m_Records.IndexOf(&record) < 0)
        return Refused(Refusal::NotAllowed, "The record is not in this table");
    if (field < 0 || field >= table.m_Fields.GetSize())
        return Refused(Refusal::NotAllowed, "The form has no field " + std::to_string(field));
    return Ok();
}

Status CContractEdits::CheckWritable(const CWinMeta& table, const CSubcontract& record, int field) const
{
    const CFieldInfo& info = *table.m_Fields[field];
    if (info.m_iType < FIELD_TEXT || info.m_iType > FIELD_DROPTYPE)
        return Refused(Refusal::NotAllowed, "Field " + std::to_string(field) + " holds no value");
    if (&table == SubTable()) {
        // The remark and the amount stay open in a locked record: the
        // amount has its own floor, the Ironbark amount.
        if (IsLockedRecord(m_contract, record) && field != SUBF_REMARK && field != SUBF_AMOUNT)
            return Refused(Refusal::Locked,
                           "This subcontractor was received from Ironbark and cannot be changed");
        // The number and the parent's number tie the tiers together: the
        // program assigns the one and the tier moves set the other. Typed
        // over, they would relink (or orphan) records at the next opening.
        if (field == SUBF_NUMBER || field == SUBF_PARENT)
            return Refused(Refusal::NotAllowed,
                           field == SUBF_NUMBER
                               ? "The subcontractor number is assigned by the program"
                               : "The tier is changed by moving the subcontractor in the tree");
        if (field == SUBF_AMOUNT && record.IsItemized())
            return Refused(Refusal::Locked,
                           "The amount of an itemized subcontractor is the sum of its items");
    }
    const CCellData* cell = record.GetCell(field);
    if (cell && FlagTest(cell->m_wFlags, kCellReadOnly))
        return Refused(Refusal::Locked, "This field is read-only");
    return Ok();
}

Status CContractEdits::CheckIronbarkAmount(const CSubcontract& record, double entered) const
{
    if (!FlagTest(record.m_wFlags, SUB_FROMIRONBARK) ||
        !FlagTest(m_contract.m_wFlags, CONTRACT_IRONBARK_FLOOR))
        return Ok();
    // Blank values are tested before any comparison: the bits of a blank
    // make a tiny positive number.
    const double stored = StoredAmount(CellText(record, SUBF_AMOUNT));
    if (IsBlankValue(entered) ? IsBlankValue(stored) : (!IsBlankValue(stored) && entered == stored))
        return Ok();
    const double original = StoredAmount(CellText(record, SUBF_ORIG_AMOUNT));
    if (IsBlankValue(original) || original <= (IsBlankValue(entered) ? 0.0 : entered))
        return Ok();
    char amount[64];
    std::snprintf(amount, sizeof amount, "%.3f", original);
    return Refused(Refusal::Amount,
                   std::string("The amount entered must be greater than the original amount as entered in "
                               "Ironbark, which is ") +
                       amount);
}

EditResult CContractEdits::SetCell(CWinMeta& table, CSubcontract& record, int field, std::string_view typed)
{
    if (Status s = CheckField(table, record, field); !s)
        return s.error();
    if (Status s = CheckWritable(table, record, field); !s)
        return s.error();
    if (Status s = CheckTextLength(typed); !s)
        return s.error();
    const CFieldInfo& info = *table.m_Fields[field];
    switch (info.m_iType) {
    case FIELD_NUMBER:
    case FIELD_MONEY: {
        auto number = ReadNumberField(m_evaluator, typed, info.m_iCX, info.m_iType == FIELD_MONEY,
                                      m_contract.m_fContractTotal);
        if (!number)
            return number.error();
        if (&table == SubTable() && field == SUBF_AMOUNT)
            if (Status s = CheckIronbarkAmount(record, number->value); !s)
                return s.error();
        return StoreText(table, record, field, std::move(number->text));
    }
    case FIELD_DATE: {
        auto date = ReadDateField(typed, m_clock ? m_clock() : ReadLocalClock().now);
        if (!date)
            return date.error();
        return StoreText(table, record, field, std::move(date.value()));
    }
    case FIELD_YESNO: {
        const int position = YesNoPosition(TrimBlanks(typed));
        if (position < 0)
            return Refuse(Refusal::NotAllowed, "\"" + std::string(typed) + "\" is not Yes or No");
        return StoreYesNo(table, record, field, position);
    }
    case FIELD_DROPLIST:
    case FIELD_DROPTYPE: {
        const std::string_view trimmed = TrimBlanks(typed);
        // The text the box already holds chooses nothing new.
        if (EqualNoCase(trimmed, TrimBlanks(CellText(record, field))))
            return Unchanged(table, record, field);
        if (FlagTest(info.m_wFlags, 3) && !trimmed.empty())
            if (const int position = FirstChoiceBeginningWith(Choices(table, record, field), trimmed);
                position >= 0)
                return ChooseListEntry(table, record, field, position);
        return StoreListChoice(table, record, field, -1, typed);
    }
    default: return StoreText(table, record, field, std::string(typed));
    }
}

EditResult CContractEdits::Unchanged(CWinMeta& table, CSubcontract& record, int field)
{
    Scope scope;
    Begin(scope, ChangeKind::Cell, &table, &record, {});
    scope.event.field = field;
    return Finish(scope, FieldCaption(table, field));
}

EditResult CContractEdits::ChooseListEntry(CWinMeta& table, CSubcontract& record, int field, int position)
{
    if (Status s = CheckField(table, record, field); !s)
        return s.error();
    if (Status s = CheckWritable(table, record, field); !s)
        return s.error();
    const CFieldInfo& info = *table.m_Fields[field];
    if (info.m_iType == FIELD_YESNO) {
        if (position < -1 || position > 2)
            return Refuse(Refusal::NotAllowed, "A yes/no field has no entry " + std::to_string(position));
        // The box shows the empty entry for a cell without a position.
        return StoreYesNo(table, record, field, position < 0 ? 0 : position);
    }
    if (position < -1)
        return Refuse(Refusal::NotAllowed, "There is no list entry " + std::to_string(position));
    if (info.m_iType == FIELD_TEXT || IsDropDownField(info.m_iType)) {
        const FieldChoices choices = Choices(table, record, field);
        const int index = choices.IndexOfPosition(position);
        if (position >= 0 && index < 0)
            return Refuse(Refusal::NotAllowed,
                          "Entry " + std::to_string(position) + " is not offered by the list of this field");
        // A text field's entry list only fills in the text.
        if (info.m_iType == FIELD_TEXT)
            return StoreText(table, record, field,
                             index < 0 ? std::string() : choices.entries[static_cast<size_t>(index)].text);
        return StoreListChoice(table, record, field, position, {});
    }
    return Refuse(Refusal::NotAllowed, "Field " + std::to_string(field) + " has no list to choose from");
}

EditResult CContractEdits::StoreText(CWinMeta& table, CSubcontract& record, int field, std::string text)
{
    Scope scope;
    Begin(scope, ChangeKind::Cell, &table, &record, {});
    scope.event.field = field;
    if (CellText(record, field) != text) {
        scope.image.TakeRecord(record);
        scope.changed = StoreCellText(record, field, text);
        scope.event.treeChanged = &table == SubTable() && field == SubNameField(table);
        LinkLists(table, record);
    }
    return Finish(scope, FieldCaption(table, field));
}

EditResult CContractEdits::StoreYesNo(CWinMeta& table, CSubcontract& record, int field, int position)
{
    Scope scope;
    Begin(scope, ChangeKind::Cell, &table, &record, {});
    scope.event.field = field;
    const CCellData* cell = record.GetCell(field);
    const int shown = cell && cell->m_i >= 0 ? cell->m_i : 0;
    const std::string text = YesNoChoices().entries[static_cast<size_t>(position)].text;
    if (shown != position || CellText(record, field) != text) {
        scope.image.TakeRecord(record);
        scope.changed = StoreCell(record, field, text, position);
        LinkLists(table, record);
    }
    return Finish(scope, FieldCaption(table, field));
}

EditResult CContractEdits::StoreListChoice(CWinMeta& table, CSubcontract& record, int field, int position,
                                           std::string_view typed)
{
    const CCellData* cell = record.GetCell(field);
    // Choosing the entry the cell already holds changes nothing.
    if (position >= 0 && cell && cell->m_i == position)
        return Unchanged(table, record, field);
    Scope scope;
    Begin(scope, ChangeKind::Cell, &table, &record, {});
    scope.event.field = field;
    std::string entry;
    if (position >= 0) {
        const auto list = LoadReferenceList(m_contract, table, field, m_paths);
        if (!list || !list.value() || static_cast<size_t>(position) >= list.value()->size())
            return Refuse(Refusal::NotAllowed,
                          "The list of this field has no entry " + std::to_string(position));
        entry = std::string((*list.value())[static_cast<size_t>(position)]);
    }
    scope.image.TakeRecord(record);
    const CFieldInfo& info = *table.m_Fields[field];
    bool changed =
        StoreCell(record, field, position >= 0 ? ShownColumns(entry, info) : std::string(typed), position);
    changed |= KeepListInStep(table, record, field, position, entry);
    if (&table == SubTable() && position >= 0 && SpecialListOf(info) == SpecialList::SubType)
        changed |= ApplySubType(table, record, entry);
    if (changed)
        LinkLists(table, record);
    scope.changed = changed;
    scope.event.treeChanged = changed && &table == SubTable() && field == SubNameField(table);
    return Finish(scope, FieldCaption(table, field));
}

void CContractEdits::LinkLists(CWinMeta& table, CSubcontract& record)
{
    // A subcontractor's cells as opening the saved contract gives them
    // back (its linked columns' pick lists applied): what the program shows
    // of the contract, its check value first, is what the file holds.
    if (&table == SubTable())
        (void)LinkRecordLists(m_contract, record, m_paths);
}

bool CContractEdits::KeepListInStep(CWinMeta& table, CSubcontract& record, int field, int position,
                                    std::string_view entry)
{
    bool changed = false;
    for (int j : FieldsOnSameList(table, field)) {
        if (j == field)
            continue;
        const CFieldInfo& info = *table.m_Fields[j];
        if (IsDropDownField(info.m_iType)) {
            // Without a position a drop-down keeps its own text.
            changed |= StoreCell(record, j,
                                 position >= 0 ? ShownColumns(entry, info) : std::string(CellText(record, j)),
                                 position);
            continue;
        }
        if (info.m_iType != FIELD_TEXT)
            continue;
        // A text field on the list shows its part of the chosen entry and
        // is locked to it; with no entry chosen, a locked one is emptied
        // and freed, whoever locked it (this run, or the one that wrote
        // the file). Which fields the rule locks the form's fields say:
        // those on this list; fields on no list keep their marks.
        if (position >= 0) {
            changed |= StoreCell(record, j, ShownColumns(entry, info), position);
            CCellData& cell = *record.GetCell(j);
            if (!FlagTest(cell.m_wFlags, kCellReadOnly)) {
                FlagSet(cell.m_wFlags, kCellReadOnly, 1);
                changed = true;
            }
        } else if (CCellData* cell = record.GetCell(j); cell && FlagTest(cell->m_wFlags, kCellReadOnly)) {
            FlagSet(cell->m_wFlags, kCellReadOnly, 0);
            StoreCell(record, j, "", -1);
            changed = true;
        }
    }
    return changed;
}

std::vector<std::string> CContractEdits::VendorWorkTypes(const CWinMeta& table, const CSubcontract& record)
{
    for (int j = 0; j < table.m_Fields.GetSize(); ++j) {
        const CCellData* cell = record.GetCell(j);
        if (!cell || cell->m_i < 0 || SpecialListOf(*table.m_Fields[j]) != SpecialList::Vendor)
            continue;
        const auto list = LoadReferenceList(m_contract, table, j, m_paths);
        if (!list || !list.value() || static_cast<size_t>(cell->m_i) >= list.value()->size())
            continue;
        // Where a vendor's work-type codes begin in its list entry is the
        // one thing the form's field list does not say; the contract
        // carries that column in its header number B (initially -1: no
        // codes), and that is the only place it is read from.
        return WorkTypeCodes((*list.value())[static_cast<size_t>(cell->m_i)], m_contract.m_iHeaderB);
    }
    return {};
}

FieldChoices CContractEdits::Choices(const CWinMeta& table, const CSubcontract& record, int field)
{
    const CFieldInfo* info = table.m_Fields.GetAt(field);
    if (!info)
        return {};
    if (info->m_iType == FIELD_YESNO)
        return YesNoChoices();
    if (info->m_iType != FIELD_TEXT && !IsDropDownField(info->m_iType))
        return {};
    std::vector<std::string> codes;
    const bool workType = &table == SubTable() && SpecialListOf(*info) == SpecialList::WorkType;
    if (workType)
        codes = VendorWorkTypes(table, record);
    const auto loaded = LoadReferenceList(m_contract, table, field, m_paths);
    FieldChoices choices;
    if (!loaded) {
        choices.listMessage = loaded.errorText();
        return choices;
    }
    if (!loaded.value())
        return choices;
    const CSAStringArray& list = *loaded.value();
    choices = ChoicesFromList(list, *info, table.m_Filters.Lookup(TextView(info->m_strListSource)));
    if (workType)
        KeepVendorWorkTypes(choices, list, codes);
    return choices;
}

FieldDisplay CContractEdits::ShowField(const CWinMeta& table, const CSubcontract& record, int field)
{
    const CFieldInfo& info = *table.m_Fields[field];
    FieldDisplay d;
    d.type = info.m_iType;
    const CCellData* cell = record.GetCell(field);
    const std::string_view text = CellText(record, field);
    switch (info.m_iType) {
    case FIELD_STATIC: d.text = std::string(TextView(info.m_strListSource)); break;
    case FIELD_YESNO:
    case FIELD_DROPLIST:
    case FIELD_DROPTYPE:
        d.choices = Choices(table, record, field);
        d.position = cell ? cell->m_i : -1;
        // A yes/no box shows its empty entry for a cell without a position.
        if (info.m_iType == FIELD_YESNO && d.position < 0)
            d.position = 0;
        d.choice = d.choices.IndexOfPosition(d.position);
        if (d.choice >= 0)
            d.text = d.choices.entries[static_cast<size_t>(d.choice)].text;
        else if (info.m_iType == FIELD_DROPTYPE)
            d.text = std::string(text);
        break;
    case FIELD_TEXT:
        d.choices = Choices(table, record, field);
        d.text = std::string(text);
        break;
    default: d.text = std::string(text); break;
    }
    d.readOnly = !CheckWritable(table, record, field).ok();
    return d;
}

FormDisplay CContractEdits::ShowRecord(const CWinMeta& table, const CSubcontract& record)
{
    FormDisplay display;
    if ((&table != m_contract.m_pSubTable.get() && &table != m_contract.m_pMiscTable.get()) ||
        table.m_Records.IndexOf(&record) < 0)
        return display;
    const bool sub = &table == SubTable();
    display.locked = sub && IsLockedRecord(m_contract, record);
    // Records received from Ironbark are exempt from the required fields
    // while the contract locks them, as the completeness rule has it.
    const bool exempt = sub && FlagTest(m_contract.m_wFlags, CONTRACT_IRONBARK_LOCKED) &&
                        FlagTest(record.m_wFlags, SUB_FROMIRONBARK);
    const int row = table.m_Records.IndexOf(&record);
    for (int j = 0; j < table.m_Fields.GetSize(); ++j) {
        display.fields.push_back(ShowField(table, record, j));
        const CCellData* cell = record.GetCell(j);
        display.fields.back().missing =
            !exempt && cell && table.IsFieldRequired(row, j) && TextEmpty(cell->m_psz);
    }
    display.complete = FlagTest(record.m_wFlags, SUB_COMPLETE);
    if (sub && !display.complete)
        display.status = kIncompleteStatus;
    return display;
}

} // namespace kestrel
