#include "edit/amendment.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "calc/codepage.h"
#include "edit/amendmentcompare.h"
#include "edit/subitemrules.h"
#include "model/contract/contract.h"
#include "model/subcontract/referencelist.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/texttrim.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

bool SubcontractorEffects::IsEmpty() const
{
    return dropped.empty() && moved.empty() && overCommitted.empty() && unitChanged.empty() &&
           lumpSumChanged.empty() && otherChanges.empty() && droppedFields.empty() && listMisfits.empty();
}

int AmendmentPreview::DroppedSubItemCount() const
{
    int count = 0;
    for (const SubcontractorEffects& s : subcontractors)
        count += static_cast<int>(s.dropped.size());
    return count;
}

PreparedAmendment::PreparedAmendment() = default;
PreparedAmendment::PreparedAmendment(PreparedAmendment&&) noexcept = default;
PreparedAmendment& PreparedAmendment::operator=(PreparedAmendment&&) noexcept = default;
PreparedAmendment::~PreparedAmendment() = default;

namespace {

std::string Trimmed(const Text& text)
{
    return std::string(TrimWhite(TextView(text)));
}

// Where the fields of the working form went in the amended one.
struct FieldMatch {
    std::vector<int> fromOld;    // for each amended field, the working field, -1 none
    std::vector<int> droppedOld; // working fields without a place
    bool identity = false;       // every field in its own place
};

FieldMatch MatchFields(const CWinMeta& old, const CWinMeta& neu)
{
    FieldMatch m;
    const int oldCount = old.m_Fields.GetSize();
    const int newCount = neu.m_Fields.GetSize();
    std::vector<bool> used(static_cast<size_t>(oldCount), false);
    // The k-th field of a name takes the k-th working field of that name.
    std::unordered_map<std::string, std::vector<int>> byName;
    for (int k = 0; k < oldCount; ++k) {
        const std::string name = UpperNoCase(TrimWhite(TextView(old.m_Fields[k]->m_strName)));
        if (!name.empty())
            byName[name].push_back(k);
    }
    std::unordered_map<std::string, size_t> taken;
    for (int j = 0; j < newCount; ++j) {
        const std::string name = UpperNoCase(TrimWhite(TextView(neu.m_Fields[j]->m_strName)));
        int from = -1;
        if (name.empty()) {
            if (j < oldCount && TrimWhite(TextView(old.m_Fields[j]->m_strName)).empty())
                from = j;
        } else if (auto it = byName.find(name); it != byName.end()) {
            size_t& n = taken[name];
            if (n < it->second.size())
                from = it->second[n++];
        }
        if (from >= 0)
            used[static_cast<size_t>(from)] = true;
        m.fromOld.push_back(from);
    }
    m.identity = oldCount == newCount;
    for (int j = 0; j < newCount && m.identity; ++j)
        m.identity = m.fromOld[static_cast<size_t>(j)] == j;
    for (int k = 0; k < oldCount; ++k)
        if (!used[static_cast<size_t>(k)])
            m.droppedOld.push_back(k);
    return m;
}

std::string FieldName(const CWinMeta& table, int field)
{
    const std::string name = Trimmed(table.m_Fields[field]->m_strName);
    return name.empty() ? "Field " + std::to_string(field) : name;
}

// The record's cells placed as the amended form has its fields; the values
// of fields it no longer has go to `dropped`.
void PlaceCells(const CWinMeta& oldTable, const CSubcontract& old, const FieldMatch& match, CSubcontract& rec,
                std::vector<AmendedFieldValue>& dropped)
{
    for (int k : match.droppedOld)
        if (const CCellData* cell = old.GetCell(k); cell && !IsBlankText(cell->m_psz))
            dropped.push_back({FieldName(oldTable, k), std::string(TextView(cell->m_psz))});
    if (match.identity)
        return; // the cells stay as they are, fewer than the fields included
    rec.m_Cells.RemoveAll();
    for (int from : match.fromOld) {
        auto cell = std::make_unique<CCellData>();
        if (const CCellData* src = from >= 0 ? old.GetCell(from) : nullptr)
            cell->Copy(*src);
        rec.m_Cells.Add(std::move(cell));
    }
}

// The amended table, or when the amended file has none while the working
// contract has one, the working form without its records.
std::unique_ptr<CWinMeta> FormFor(const CWinMeta* working, std::unique_ptr<CWinMeta> amended)
{
    if (amended || !working)
        return amended;
    auto form = std::make_unique<CWinMeta>();
    form->Copy(*working);
    form->m_Records.RemoveAll();
    return form;
}

// Re-positions list choices whose list changed: a value still on the list
// takes its new position, one that is not any more loses its position and
// is listed.
class ListMatcher {
public:
    ListMatcher(CContract& working, CContract& carried, const CProgramPaths& paths)
        : m_working(working), m_carried(carried), m_paths(paths)
    {
    }

    void Renew(const CWinMeta& oldTable, const CWinMeta& newTable, const FieldMatch& match,
               const std::vector<CSubcontract*>& records, std::vector<SubcontractorEffects*>& effects)
    {
        for (int j = 0; j < newTable.m_Fields.GetSize(); ++j) {
            const int k = match.fromOld[static_cast<size_t>(j)];
            if (k < 0 || !IsDropDownField(newTable.m_Fields[j]->m_iType))
                continue;
            const Result<CSAStringArray*> oldList = LoadReferenceList(m_working, oldTable, k, m_paths);
            if (!oldList || !oldList.value())
                continue;
            const Result<CSAStringArray*> newList = LoadReferenceList(m_carried, newTable, j, m_paths);
            if (!newList)
                continue; // a list file that cannot be read tells nothing
            if (newList.value() && SameEntries(*oldList.value(), *newList.value()))
                continue;
            for (size_t r = 0; r < records.size(); ++r)
                if (!Reposition(*records[r], j, *oldList.value(), newList.value()))
                    effects[r]->listMisfits.push_back(
                        {FieldName(newTable, j), std::string(TextView(records[r]->GetCell(j)->m_psz))});
        }
    }

private:
    static bool SameEntries(const CSAStringArray& a, const CSAStringArray& b)
    {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
    }
    // False when the cell's value is no longer on the list.
    static bool Reposition(CSubcontract& rec, int field, const CSAStringArray& oldList,
                           const CSAStringArray* newList)
    {
        CCellData* cell = rec.GetCell(field);
        if (!cell || cell->m_i < 0 || static_cast<size_t>(cell->m_i) >= oldList.size())
            return true;
        const std::string_view entry = oldList[static_cast<size_t>(cell->m_i)];
        if (newList) {
            const auto it = std::find(newList->begin(), newList->end(), entry);
            if (it != newList->end() && it - newList->begin() <= INT16_MAX) {
                cell->m_i = static_cast<int16_t>(it - newList->begin());
                return true;
            }
        }
        cell->m_i = -1;
        return false;
    }

    CContract& m_working;
    CContract& m_carried;
    const CProgramPaths& m_paths;
};

// The map order of sub-items means nothing to the reader: by line.
void SortByLine(SubcontractorEffects& fx)
{
    auto byLine = [](auto& list) {
        std::stable_sort(list.begin(), list.end(),
                         [](const auto& a, const auto& b) { return a.line < b.line; });
    };
    byLine(fx.dropped);
    byLine(fx.overCommitted);
    byLine(fx.unitChanged);
    byLine(fx.lumpSumChanged);
    byLine(fx.otherChanges);
    std::stable_sort(fx.moved.begin(), fx.moved.end(),
                     [](const MovedSubItem& a, const MovedSubItem& b) { return a.fromLine < b.fromLine; });
}

// What happens to the sub-items of one working line.
struct LineFate {
    enum Kind { Keep, Move, Drop } kind = Keep;
    std::string to;                   // Move: the amended line
    std::string reason;               // Drop
    std::string itemNumber;           // the working item's number, for the preview
    const CItem* item = nullptr;      // the amended item the sub-items go to (Keep, Move)
    const ItemDelta* delta = nullptr; // Keep: what changed of the item
};

class Carrier {
public:
    Carrier(CContract& working, CContract& carried, const ItemComparison& items, const CProgramPaths& paths,
            AmendmentPreview& preview)
        : m_working(working), m_carried(carried), m_items(items), m_paths(paths), m_preview(preview)
    {
    }

    void CarrySubcontractors(const CWinMeta& oldTable)
    {
        CWinMeta& table = *m_carried.m_pSubTable;
        const FieldMatch match = MatchFields(oldTable, table);
        table.m_Records.RemoveAll();
        std::vector<SubcontractorEffects> effects(static_cast<size_t>(oldTable.m_Records.GetSize()));
        std::unordered_map<const CSubcontract*, CSubcontract*> copies;
        std::vector<CSubcontract*> records;
        for (int i = 0; i < oldTable.m_Records.GetSize(); ++i) {
            const CSubcontract& old = *oldTable.m_Records[i];
            auto rec = std::make_unique<CSubcontract>();
            rec->m_wFlags = old.m_wFlags;
            rec->m_Cells.Copy(old.m_Cells);
            rec->m_pParent = old.m_pParent;
            SubcontractorEffects& fx = effects[static_cast<size_t>(i)];
            fx.number = Trimmed(old.GetCellText(SUBF_NUMBER) ? *old.GetCellText(SUBF_NUMBER) : Text());
            fx.name = Trimmed(old.GetCellText(SUBF_NAME) ? *old.GetCellText(SUBF_NAME) : Text());
            PlaceCells(oldTable, old, match, *rec, fx.droppedFields);
            CarrySubItems(old, *rec, fx);
            copies[&old] = rec.get();
            records.push_back(rec.get());
            table.m_Records.Add(std::move(rec));
        }
        for (CSubcontract* rec : records) {
            const auto it = copies.find(rec->m_pParent);
            rec->m_pParent = it != copies.end() ? it->second : nullptr;
        }
        std::vector<SubcontractorEffects*> fx;
        for (SubcontractorEffects& e : effects)
            fx.push_back(&e);
        ListMatcher(m_working, m_carried, m_paths).Renew(oldTable, table, match, records, fx);
        m_subEffects = std::move(effects);
        m_records = std::move(records);
    }

    void CarryMiscData(const CWinMeta* oldTable)
    {
        CWinMeta* table = m_carried.m_pMiscTable.get();
        if (!oldTable)
            return;
        SubcontractorEffects& fx = m_preview.miscData;
        if (!table || !FlagTest(m_carried.m_wFlags, CONTRACT_HAS_MISC)) {
            // The amended file has no miscellaneous-data form: nothing of the
            // record has a place.
            for (const auto& old : oldTable->m_Records)
                for (int k = 0; k < old->m_Cells.GetSize() && k < oldTable->m_Fields.GetSize(); ++k)
                    if (!IsBlankText(old->m_Cells[k]->m_psz))
                        fx.droppedFields.push_back(
                            {FieldName(*oldTable, k), std::string(TextView(old->m_Cells[k]->m_psz))});
            return;
        }
        const FieldMatch match = MatchFields(*oldTable, *table);
        table->m_Records.RemoveAll();
        std::vector<CSubcontract*> records;
        for (const auto& old : oldTable->m_Records) {
            auto rec = std::make_unique<CSubcontract>();
            rec->Copy(*old);
            rec->m_pParent = nullptr;
            PlaceCells(*oldTable, *old, match, *rec, fx.droppedFields);
            records.push_back(rec.get());
            table->m_Records.Add(std::move(rec));
        }
        std::vector<SubcontractorEffects*> effects(records.size(), &fx);
        ListMatcher(m_working, m_carried, m_paths).Renew(*oldTable, *table, match, records, effects);
    }

    // The over-commit marks of the sub-items on lines whose values changed
    // (the rest of the follow-up runs when the amendment is applied), then
    // what the new marks say.
    void RenewMarks(const CWinMeta* oldTable)
    {
        m_carried.RecalculateContract();
        for (const auto& [line, item] : m_renewLines)
            RenewLineFlags(m_carried, *item, kEditTolerance);
        if (oldTable)
            NoteOverCommits(*oldTable);
        for (SubcontractorEffects& fx : m_subEffects)
            if (!fx.IsEmpty()) {
                SortByLine(fx);
                m_preview.subcontractors.push_back(std::move(fx));
            }
    }

private:
    // What happens to the sub-items of a line, worked out once a line.
    const LineFate& FateOf(const std::string& line)
    {
        if (const auto it = m_fates.find(line); it != m_fates.end())
            return it->second;
        const std::string key = UpperNoCase(line);
        const CItem* old = m_items.WorkingItem(key);
        const CItem* now = m_items.AmendedItem(key);
        LineFate fate;
        fate.itemNumber = old ? Trimmed(old->m_strItemNumber) : std::string();
        fate.item = now;
        if (!old && !now) {
            fate.kind = LineFate::Drop;
            fate.reason = "line not in the contract";
        } else if (!old || (now && SameItemNumber(*old, *now))) {
            fate.delta = m_items.DeltaOf(key);
        } else if (const CItem* moved = m_items.UniqueAmendedByNumber(*old)) {
            fate.kind = LineFate::Move;
            fate.to = std::string(TextView(moved->m_strLineNumber));
            fate.item = moved;
        } else {
            fate.kind = LineFate::Drop;
            fate.reason = now ? "item number changed to " + Trimmed(now->m_strItemNumber) : "line removed";
        }
        return m_fates.emplace(line, std::move(fate)).first->second;
    }

    // The sub-items of `old` that stay go into `rec` in the map order they
    // had (stored oldest first into the empty map, sized once); those that
    // move follow, those dropped are listed.
    void CarrySubItems(const CSubcontract& old, CSubcontract& rec, SubcontractorEffects& fx)
    {
        struct Moving {
            std::string from;
            const LineFate* fate;
            std::unique_ptr<CSubItem> item;
        };
        std::vector<Moving> moving;
        std::vector<CDataMap<CSubItem>::Entry> staying;
        staying.reserve(static_cast<size_t>(old.m_SubItems.GetCount()));
        old.m_SubItems.ForEachOldestFirst([&](const std::string& line, const CSubItem& si) {
            const LineFate& fate = FateOf(line);
            if (fate.kind == LineFate::Drop) {
                Dropped(line, fate, si, fate.reason, fx);
                return;
            }
            auto copy = std::make_unique<CSubItem>();
            copy->Copy(si);
            if (fate.kind == LineFate::Move) {
                moving.push_back({line, &fate, std::move(copy)});
                return;
            }
            if (fate.delta)
                NoteKept(line, fate, *copy, fx);
            staying.emplace_back(line, std::move(copy));
        });
        rec.m_SubItems.SetAll(staying);
        for (Moving& m : moving) {
            const std::string& to = m.fate->to;
            if (rec.FindSubItem(to)) {
                Dropped(m.from, *m.fate, *m.item, "line " + to + " is subcontracted already", fx);
                continue;
            }
            CSubItem* si = rec.AddSubItem(to);
            si->Copy(*m.item);
            if (!FlagTest(si->m_wFlags, SUBITEM_PARTIAL))
                si->m_strUnitType = m.fate->item->m_strUnit.View();
            fx.moved.push_back({m.from, to, m.fate->itemNumber});
            m_renewLines.emplace(to, m.fate->item);
            m_movedTo[&rec][to] = m.from;
        }
    }

    // A sub-item staying on its line: the item's changes that concern it.
    void NoteKept(const std::string& line, const LineFate& fate, CSubItem& si, SubcontractorEffects& fx)
    {
        const ItemDelta* delta = fate.delta;
        const std::string& number = fate.itemNumber;
        if (delta->unitChanged) {
            const bool partial = FlagTest(si.m_wFlags, SUBITEM_PARTIAL);
            if (!partial)
                si.m_strUnitType = delta->newUnit;
            fx.unitChanged.push_back({line, number,
                                      "unit " + delta->oldUnit + " -> " + delta->newUnit +
                                          (partial ? " (partial item, stays PART)" : "")});
        }
        if (delta->lumpSumChanged)
            fx.lumpSumChanged.push_back(
                {line, number, delta->nowLumpSum ? "now a lump-sum item" : "no longer a lump-sum item"});
        if (!delta->others.empty())
            fx.otherChanges.push_back({line, number, delta->others});
        if (delta->valuesChanged)
            m_renewLines.emplace(line, fate.item);
    }

    void Dropped(const std::string& line, const LineFate& fate, const CSubItem& si, const std::string& reason,
                 SubcontractorEffects& fx)
    {
        fx.dropped.push_back({line, fate.itemNumber, m_items.FormatQuantity(si.m_fQuan),
                              std::string(TextView(si.m_strRemarks)), reason});
    }

    // Sub-items the renewed marks make over-committed that were not.
    void NoteOverCommits(const CWinMeta& oldTable)
    {
        constexpr uint16_t kOver = (1u << SUBITEM_OVERCOMMITTED) | (1u << SUBITEM_PRICE_OVERCOMMITTED);
        for (const auto& [line, item] : m_renewLines) {
            for (size_t r = 0; r < m_records.size(); ++r) {
                const CSubcontract& old = *oldTable.m_Records[static_cast<int>(r)];
                const CSubcontract& rec = *m_records[r];
                const CSubItem* si = rec.FindSubItem(line);
                if (!si || !(si->m_wFlags & kOver))
                    continue;
                std::string from = line;
                if (const auto moves = m_movedTo.find(&rec); moves != m_movedTo.end())
                    if (auto it = moves->second.find(line); it != moves->second.end())
                        from = it->second;
                const CSubItem* before = old.FindSubItem(from);
                if (before && (before->m_wFlags & kOver) == (si->m_wFlags & kOver))
                    continue;
                std::string note = FlagTest(si->m_wFlags, SUBITEM_OVERCOMMITTED)
                                       ? m_items.FormatQuantity(si->m_fQuan) + " held, contract now " +
                                             m_items.FormatQuantity(item->m_fQuantity)
                                       : "the price is over-committed";
                m_subEffects[r].overCommitted.push_back(
                    {line, Trimmed(item->m_strItemNumber), std::move(note)});
            }
        }
    }

    CContract& m_working;
    CContract& m_carried;
    const ItemComparison& m_items;
    const CProgramPaths& m_paths;
    AmendmentPreview& m_preview;
    std::vector<SubcontractorEffects> m_subEffects;
    std::vector<CSubcontract*> m_records;
    // Lines whose sub-items' marks are renewed, in a fixed order, with
    // their amended items.
    std::map<std::string, const CItem*> m_renewLines;
    std::unordered_map<std::string, LineFate> m_fates;
    std::unordered_map<const CSubcontract*, std::unordered_map<std::string, std::string>> m_movedTo;
};

bool SameContract(const CContract& a, const CContract& b)
{
    return Trimmed(a.pszContractID()) == Trimmed(b.pszContractID()) &&
           Trimmed(a.pszLettingID()) == Trimmed(b.pszLettingID());
}

std::string ContractName(const CContract& c)
{
    return "Contract ID \"" + Trimmed(c.pszContractID()) + "\", Letting ID \"" + Trimmed(c.pszLettingID()) +
           "\"";
}

} // namespace

Result<PreparedAmendment> PrepareAmendment(CContract& working, std::unique_ptr<CContract> amended,
                                           const CProgramPaths& paths)
{
    if (!amended)
        return Result<PreparedAmendment>::Fail("No amended contract");
    if (!SameContract(working, *amended))
        return Result<PreparedAmendment>::Fail(
            "The amended file is not the same contract: the open contract is " + ContractName(working) +
                ", the amended file " + ContractName(*amended) + ".",
            kAmendmentNotSameContract);
    PreparedAmendment prepared;
    AmendmentPreview& preview = prepared.preview;
    preview.contractID = Trimmed(working.pszContractID());
    preview.lettingID = Trimmed(working.pszLettingID());
    preview.workingAmendCount = working.iAmendCount;
    preview.amendedAmendCount = amended->iAmendCount;
    const ItemComparison items(working, *amended);
    items.Describe(preview);
    DescribeOtherChanges(working, *amended, preview.otherChanges);

    CContract& carried = *amended;
    carried.m_strPrimeID = working.m_strPrimeID;
    carried.m_strPrimeName = working.m_strPrimeName;
    constexpr uint16_t kComputed = (1u << CONTRACT_MODIFIED) | (1u << CONTRACT_BID_ERRORS);
    carried.m_wFlags &= static_cast<uint16_t>(~(kComputed | (1u << CONTRACT_SAVED_BY_US)));
    carried.m_wFlags |= static_cast<uint16_t>(working.m_wFlags & (1u << CONTRACT_SAVED_BY_US));
    carried.m_pSubTable = FormFor(working.m_pSubTable.get(), std::move(carried.m_pSubTable));

    Carrier carrier(working, carried, items, paths, preview);
    if (working.m_pSubTable && carried.m_pSubTable)
        carrier.CarrySubcontractors(*working.m_pSubTable);
    carrier.CarryMiscData(working.m_pMiscTable.get());
    carrier.RenewMarks(working.m_pSubTable.get());
    prepared.contract = std::move(amended);
    return prepared;
}

std::string AmendmentCountWarning(const AmendmentPreview& preview)
{
    return "The amended file's amendment count (" + std::to_string(preview.amendedAmendCount) +
           ") is not higher than the open contract's (" + std::to_string(preview.workingAmendCount) +
           "): it may not be a newer amendment.";
}

} // namespace kestrel
