#include "support/editdriver.h"

#include <utility>

#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel::test {

uint32_t RandomChoices::Below(uint32_t bound)
{
    return std::uniform_int_distribution<uint32_t>(0, bound - 1)(m_engine);
}

uint32_t ByteChoices::Below(uint32_t bound)
{
    uint32_t v = 0;
    for (int bytes = bound > 256 ? 2 : 1; bytes > 0; --bytes)
        v = (v << 8) | (m_pos < m_size ? m_data[m_pos++] : 0u);
    return v % bound;
}

namespace {

// What a user types into a number field: sensible values, values at the
// edges of the rules, expressions, and text that does not evaluate.
const char* const kTyped[] = {"",        "0",   "-1", "1",         "5",     "9.5", "10",   "16",
                              "16.0001", "25",  "40", "60",        "100",   "500", "2*3",  "@QUAN*2",
                              "@UP/2",   "abc", "3+", "$1,234.50", "0.005", "1/0", "1e12", " 7 "};
const char* const kTexts[] = {"",  " ",         "Acme Paving", "Yes", "No",
                              "1", "$1,000.00", "12/31/25",    "T",   "\xE9t\xE9"};
const char* const kTemplateNames[] = {"Report Front", "Report Footer", "Report New", ""};
const char* const kTemplateTexts[] = {"", "changed", "{{ unbalanced", "Line one\nLine two"};

template <size_t N> const char* Pick(ChoiceSource& c, const char* const (&list)[N])
{
    return list[c.Below(N)];
}

std::string NumberOf(const CSubcontract* rec)
{
    if (!rec)
        return "none";
    const Text* t = rec->GetCellText(SUBF_NUMBER);
    return t ? std::string(t->View()) : std::string("?");
}

enum Kind : uint32_t {
    kAdd,
    kDelete,
    kMove,
    kCell,
    kMiscCell,
    kUse,
    kQuantity,
    kUnitPrice,
    kExtension,
    kPartial,
    kRemarks,
    kSubItemTogether,
    kItemQuantity,
    kItemUnitPrice,
    kItemCounted,
    kTemplate,
    kChoose,
    kUndo,
    kRedo,
    kKinds
};

// How often each kind is chosen: mostly the sub-item entry, whose rules are
// the most, and undo and redo.
constexpr uint32_t kWeights[kKinds] = {3, 2, 3, 3, 1, 6, 6, 4, 4, 3, 2, 3, 3, 3, 1, 1, 3, 4, 3};

uint32_t PickKind(ChoiceSource& c)
{
    uint32_t total = 0;
    for (uint32_t w : kWeights)
        total += w;
    uint32_t pick = c.Below(total);
    uint32_t kind = 0;
    while (pick >= kWeights[kind])
        pick -= kWeights[kind++];
    return kind;
}

} // namespace

EditDriver::EditDriver(CContractEdits& edits) : m_edits(edits), m_history(edits)
{
    for (const auto& item : edits.Contract().m_Items)
        if (!item->IsHeading())
            m_lines.emplace_back(item->m_strLineNumber.View());
}

std::string EditDriver::Step(ChoiceSource& choices)
{
    const uint32_t kind = PickKind(choices);
    if (kind == kUndo) {
        const Status s = m_history.Undo();
        return s ? "undo" : "undo: " + s.errorText();
    }
    if (kind == kRedo) {
        const Status s = m_history.Redo();
        return s ? "redo" : "redo: " + s.errorText();
    }
    return Change(choices, kind);
}

std::string EditDriver::Made(const std::string& what, const std::vector<EditStep>& steps)
{
    const Result<std::string> made = m_history.Make(steps);
    return what + (made ? " ok" : " refused: " + made.errorText());
}

std::string EditDriver::Made(const std::string& what, EditResult result)
{
    return Made(what, {[&] { return std::move(result); }});
}

CSubcontract* EditDriver::PickRecord(ChoiceSource& c, bool orNone)
{
    const CWinMeta* table = m_edits.Contract().m_pSubTable.get();
    const int n = table ? table->m_Records.GetSize() : 0;
    const uint32_t pick = c.Below(static_cast<uint32_t>(n) + (orNone ? 1 : 0) + (n == 0 ? 1 : 0));
    return pick < static_cast<uint32_t>(n) ? table->m_Records[static_cast<int>(pick)] : nullptr;
}

std::string EditDriver::PickLine(ChoiceSource& c, const CSubcontract* record)
{
    // Mostly a line the record holds, so that the sub-item changes have
    // something to change; else any item's.
    if (record && !record->m_SubItems.IsEmpty() && c.Below(3) != 0) {
        const std::vector<std::string> keys = record->m_SubItems.Keys();
        return keys[c.Below(static_cast<uint32_t>(keys.size()))];
    }
    if (m_lines.empty())
        return "0010";
    return m_lines[c.Below(static_cast<uint32_t>(m_lines.size()))];
}

std::string EditDriver::PickTyped(ChoiceSource& c)
{
    // Now and then any bytes at all (but NUL, which no entry field holds).
    if (c.Below(8) == 0) {
        std::string raw;
        for (uint32_t n = c.Below(12); n > 0; --n)
            raw += static_cast<char>(1 + c.Below(255));
        return raw;
    }
    if (c.Below(4) == 0)
        return std::to_string(c.Below(20000)) + "." + std::to_string(c.Below(1000));
    return Pick(c, kTyped);
}

std::string EditDriver::Change(ChoiceSource& c, uint32_t kind)
{
    CContract& contract = m_edits.Contract();
    switch (kind) {
    case kAdd: {
        CSubcontract* selected = PickRecord(c, true);
        return Made("add below " + NumberOf(selected), m_edits.AddSubcontractor(selected));
    }
    case kDelete: {
        CSubcontract* rec = PickRecord(c, false);
        if (!rec)
            return "delete: no record";
        return Made("delete " + NumberOf(rec), m_edits.DeleteSubcontractor(*rec));
    }
    case kMove: {
        CSubcontract* rec = PickRecord(c, false);
        CSubcontract* parent = PickRecord(c, true);
        if (!rec)
            return "move: no record";
        const bool accepted = m_edits.AcceptsMove(*rec, parent);
        std::string result = Made("move " + NumberOf(rec) + " below " + NumberOf(parent),
                                  m_edits.MoveSubcontractor(*rec, parent));
        return result + (accepted ? "" : " (not accepted)");
    }
    case kCell:
    case kMiscCell: {
        CWinMeta* table = kind == kCell ? contract.m_pSubTable.get() : contract.m_pMiscTable.get();
        if (!table || table->m_Records.IsEmpty() || table->m_Fields.IsEmpty())
            return "cell: no table";
        CSubcontract* rec = kind == kCell ? PickRecord(c, false) : table->m_Records[0];
        int field = static_cast<int>(c.Below(static_cast<uint32_t>(table->m_Fields.GetSize())));
        const std::string text = c.Below(3) == 0 ? PickTyped(c) : std::string(Pick(c, kTexts));
        return Made("cell " + std::to_string(field) + " of " + NumberOf(rec) + " = \"" + text + "\"",
                    m_edits.SetCell(*table, *rec, field, text));
    }
    case kItemQuantity:
    case kItemUnitPrice: {
        const std::string line = PickLine(c, nullptr);
        const std::string typed = PickTyped(c);
        return Made((kind == kItemQuantity ? "item quantity " : "item unit price ") + line + " = \"" + typed +
                        "\"",
                    kind == kItemQuantity ? m_edits.SetItemQuantity(line, typed)
                                          : m_edits.SetItemUnitPrice(line, typed));
    }
    case kItemCounted: {
        const std::string line = PickLine(c, nullptr);
        const bool counted = c.Below(2) != 0;
        return Made("item counted " + line, m_edits.SetItemCounted(line, counted));
    }
    case kTemplate: {
        const std::string name = Pick(c, kTemplateNames);
        return Made("template " + name, m_edits.SetTemplateText(name, Pick(c, kTemplateTexts)));
    }
    case kChoose: return ChooseEntry(c);
    default: return SubItemChange(c, kind);
    }
}

std::string EditDriver::ChooseEntry(ChoiceSource& c)
{
    // An entry a subcontractor's field offers (a vendor with its name and
    // address, a sub type, a work type), or none.
    CWinMeta* table = m_edits.Contract().m_pSubTable.get();
    CSubcontract* rec = PickRecord(c, false);
    if (!table || !rec || table->m_Fields.IsEmpty())
        return "choose: no record";
    const int field = static_cast<int>(c.Below(static_cast<uint32_t>(table->m_Fields.GetSize())));
    const FieldChoices choices = m_edits.Choices(*table, *rec, field);
    const uint32_t pick = c.Below(static_cast<uint32_t>(choices.entries.size()) + 1);
    const int position = pick < choices.entries.size() ? choices.entries[pick].position : -1;
    return Made("choose " + std::to_string(position) + " in " + std::to_string(field) + " of " +
                    NumberOf(rec),
                m_edits.ChooseListEntry(*table, *rec, field, position));
}

std::string EditDriver::SubItemChange(ChoiceSource& c, uint32_t kind)
{
    // Mostly a record that holds sub-items.
    CSubcontract* rec = PickRecord(c, false);
    for (int tries = 0; tries < 3 && rec && rec->m_SubItems.IsEmpty(); ++tries)
        rec = PickRecord(c, false);
    if (!rec)
        return "sub-item: no record";
    const std::string line = PickLine(c, rec);
    const std::string where = " " + NumberOf(rec) + "/" + line;
    switch (kind) {
    case kUse: {
        const bool use = c.Below(2) != 0;
        return Made(std::string(use ? "use" : "unuse") + where, m_edits.UseItem(*rec, line, use));
    }
    case kQuantity:
    case kUnitPrice:
    case kExtension: {
        const std::string typed = PickTyped(c);
        const std::string what = (kind == kQuantity    ? "quantity"
                                  : kind == kUnitPrice ? "unit price"
                                                       : "extension") +
                                 where + " = \"" + typed + "\"";
        return Made(what, kind == kQuantity    ? m_edits.SetSubItemQuantity(*rec, line, typed)
                          : kind == kUnitPrice ? m_edits.SetSubItemUnitPrice(*rec, line, typed)
                                               : m_edits.SetSubItemExtension(*rec, line, typed));
    }
    case kPartial: {
        const bool partial = c.Below(2) != 0;
        return Made("partial" + where, m_edits.SetSubItemPartial(*rec, line, partial));
    }
    case kRemarks: return Made("remarks" + where, m_edits.SetSubItemRemarks(*rec, line, Pick(c, kTexts)));
    default: {
        // Several fields of one sub-item entered at once, as `apply` makes
        // them: a refusal takes back those before it.
        const std::string quantity = PickTyped(c);
        const std::string price = PickTyped(c);
        const bool partial = c.Below(2) != 0;
        return Made("together" + where + " = \"" + quantity + "\", \"" + price + "\"",
                    {[&] { return m_edits.SetSubItemQuantity(*rec, line, quantity); },
                     [&] { return m_edits.SetSubItemUnitPrice(*rec, line, price); },
                     [&] { return m_edits.SetSubItemPartial(*rec, line, partial); }});
    }
    }
}

} // namespace kestrel::test
