#include "model/subcontract/winmeta.h"

#include <cstdio>
#include <cstdlib>
#include <unordered_map>
#include <vector>

#include "calc/codepage.h"
#include "model/subcontract/subservices.h"

namespace kestrel {

namespace {

std::string_view TrimWhite(std::string_view s)
{
    auto white = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
    };
    while (!s.empty() && white(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && white(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

void CWinMeta::Copy(const CWinMeta& o)
{
    m_wFlags = o.m_wFlags;
    m_fNumber1 = o.m_fNumber1;
    m_fSubTotal = o.m_fSubTotal;
    m_iNumber2 = o.m_iNumber2;
    m_PercentFormat = o.m_PercentFormat;
    m_iFontSize = o.m_iFontSize;
    m_strText1 = o.m_strText1;
    m_strText2 = o.m_strText2;
    m_strFontFace = o.m_strFontFace;
    m_Fields.RemoveAll();
    m_Fields.Copy(o.m_Fields);
    m_Records.RemoveAll();
    m_Records.Copy(o.m_Records);
    // The copies' parents must point into this table, not the source's.
    for (int i = 0; i < m_Records.GetSize(); ++i) {
        const CSubcontract* srcParent = o.m_Records[i]->m_pParent;
        m_Records[i]->m_pParent = srcParent ? m_Records.GetAt(o.m_Records.IndexOf(srcParent)) : nullptr;
    }
    m_Filters.RemoveAll();
    m_Filters.Copy(o.m_Filters);
    m_LabelLines = o.m_LabelLines;
    m_Defaults = o.m_Defaults;
}

CSubcontract* CWinMeta::AddRecord(int index, int cellCount)
{
    auto rec = std::make_unique<CSubcontract>();
    const int cells = cellCount == -1 ? m_Fields.GetSize() : cellCount;
    for (int i = 0; i < cells; ++i)
        rec->m_Cells.Add();
    return m_Records.InsertAt(index, std::move(rec));
}

CCellData* CWinMeta::GetCell(int record, int field) const
{
    const CSubcontract* rec = m_Records.GetAt(record);
    return rec ? rec->GetCell(field) : nullptr;
}

bool CWinMeta::IsRecordComplete(int record) const
{
    const CSubcontract* rec = m_Records.GetAt(record);
    return rec && FlagTest(rec->m_wFlags, SUB_COMPLETE);
}

bool CWinMeta::AllRecordsComplete() const
{
    for (const auto& rec : m_Records)
        if (!FlagTest(rec->m_wFlags, SUB_COMPLETE))
            return false;
    return true;
}

bool CWinMeta::IsFieldRequired(int record, int field) const
{
    const CFieldInfo* info = m_Fields.GetAt(field);
    const CSubcontract* rec = m_Records.GetAt(record);
    if (!info || !rec)
        return false;
    if (info->m_iRequired == kAlwaysRequired)
        return true;
    if (info->m_iRequired == kNeverRequired)
        return false;
    const Text* text = rec->GetCellText(info->m_iRequired);
    return text && IsTrueText(TextView(*text));
}

int CWinMeta::MissingRequiredField(int record, bool exempt) const
{
    const CSubcontract* rec = m_Records.GetAt(record);
    if (!rec || (exempt && FlagTest(rec->m_wFlags, SUB_FROMIRONBARK)))
        return -1;
    for (int j = 0; j < rec->m_Cells.GetSize(); ++j)
        if (IsFieldRequired(record, j) && TextEmpty(rec->m_Cells[j]->m_psz))
            return j;
    return -1;
}

namespace {

// Steps 1 to 3 of the completeness rule for one record.
void EvaluateRecord(const CWinMeta& table, int index, bool exempt)
{
    CSubcontract* rec = table.m_Records[index];
    const bool complete = FlagTest(rec->m_wFlags, SUB_ITEMS_COMPLETE) &&
                          FlagTest(rec->m_wFlags, SUB_TIERS_COMPLETE) &&
                          table.MissingRequiredField(index, exempt) < 0;
    FlagSet(rec->m_wFlags, SUB_COMPLETE, complete ? 1 : 0);
}

bool AllChildrenComplete(const CWinMeta& table, const CSubcontract* parent)
{
    for (const auto& r : table.m_Records)
        if (r->m_pParent == parent && !FlagTest(r->m_wFlags, SUB_COMPLETE))
            return false;
    return true;
}

// Every record, children before their parents. Running the rule record by
// record, each walking up its chain, ends in the same state: every change of
// a record's bit 0 is carried to its parent at once, so in the end each
// parent's bit 6 agrees with its children and each bit 0 with its inputs.
// Done this way it costs one pass instead of a walk over the whole table for
// every step up every chain, which made a damaged file with thousands of
// chained records take minutes to open. False (nothing changed) when the
// links loop; the caller then takes the bounded record-by-record way.
bool UpdateAllBottomUp(const CWinMeta& table, bool exempt)
{
    const int n = table.m_Records.GetSize();
    std::unordered_map<const CSubcontract*, int> indexOf;
    indexOf.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        indexOf.emplace(table.m_Records[i], i);
    std::vector<std::vector<int>> children(static_cast<size_t>(n));
    std::vector<int> roots;
    for (int i = 0; i < n; ++i) {
        const CSubcontract* parent = table.m_Records[i]->m_pParent;
        auto it = parent ? indexOf.find(parent) : indexOf.end();
        if (it == indexOf.end())
            roots.push_back(i);
        else
            children[static_cast<size_t>(it->second)].push_back(i);
    }
    // Post-order walk from the roots; a record no root reaches lies on a loop.
    std::vector<int> order;
    order.reserve(static_cast<size_t>(n));
    std::vector<std::pair<int, size_t>> stack;
    for (int root : roots) {
        stack.emplace_back(root, 0);
        while (!stack.empty()) {
            auto& [node, next] = stack.back();
            const auto& kids = children[static_cast<size_t>(node)];
            if (next < kids.size()) {
                const int child = kids[next++];
                stack.emplace_back(child, 0);
            } else {
                order.push_back(node);
                stack.pop_back();
            }
        }
    }
    if (static_cast<int>(order.size()) != n)
        return false;
    for (int i : order) {
        const auto& kids = children[static_cast<size_t>(i)];
        if (!kids.empty()) {
            bool all = true;
            for (int k : kids)
                all = all && FlagTest(table.m_Records[k]->m_wFlags, SUB_COMPLETE);
            FlagSet(table.m_Records[i]->m_wFlags, SUB_TIERS_COMPLETE, all ? 1 : 0);
        }
        EvaluateRecord(table, i, exempt);
    }
    return true;
}

} // namespace

bool CWinMeta::UpdateCompleteness(int record, bool exempt)
{
    if (record == -1) {
        // A later child's walk up may still complete an earlier parent, so
        // the answer is read from the final state.
        if (!UpdateAllBottomUp(*this, exempt)) {
            for (int i = 0; i < m_Records.GetSize(); ++i)
                UpdateCompleteness(i, exempt);
        }
        return AllRecordsComplete();
    }
    CSubcontract* rec = m_Records.GetAt(record);
    if (!rec)
        return false;
    EvaluateRecord(*this, record, exempt);
    // Renew the lower-tier state up the parent chain. The walk is bounded by
    // the number of records so that links that loop cannot hang it.
    int steps = m_Records.GetSize();
    for (CSubcontract* child = rec; child->m_pParent && steps-- > 0; child = child->m_pParent) {
        CSubcontract* parent = child->m_pParent;
        FlagSet(parent->m_wFlags, SUB_TIERS_COMPLETE, AllChildrenComplete(*this, parent) ? 1 : 0);
        const int pi = m_Records.IndexOf(parent);
        if (pi < 0)
            break;
        EvaluateRecord(*this, pi, exempt);
    }
    return FlagTest(rec->m_wFlags, SUB_COMPLETE);
}

void CWinMeta::UpdateSubItemState(int record, bool exempt)
{
    CSubcontract* rec = m_Records.GetAt(record);
    if (!rec)
        return;
    bool all = true;
    rec->m_SubItems.ForEach([&](const std::string&, const CSubItem& si) {
        if (!FlagTest(si.m_wFlags, SUBITEM_COMPLETE))
            all = false;
    });
    FlagSet(rec->m_wFlags, SUB_ITEMS_COMPLETE, all ? 1 : 0);
    UpdateCompleteness(record, exempt);
}

CSubcontract* CWinMeta::FindRecordByNumber(std::string_view text) const
{
    text = TrimWhite(text);
    if (text.empty())
        return nullptr;
    for (const auto& rec : m_Records) {
        const Text* number = rec->GetCellText(SUBF_NUMBER);
        if (number && EqualNoCase(TextView(*number), text))
            return rec.get();
    }
    return nullptr;
}

void CWinMeta::LinkParents()
{
    const int n = m_Records.GetSize();
    // Numbers by their upper-case form, the first record of a number
    // winning as in FindRecordByNumber; looking each parent up by scanning
    // the table would make opening a large damaged table quadratic.
    std::unordered_map<std::string, CSubcontract*> byNumber;
    byNumber.reserve(static_cast<size_t>(n));
    for (const auto& rec : m_Records)
        if (const Text* number = rec->GetCellText(SUBF_NUMBER); number && *number)
            byNumber.emplace(UpperNoCase(number->View()), rec.get());
    for (const auto& rec : m_Records) {
        rec->m_pParent = nullptr;
        // Without a field 3 a record cannot name a parent.
        const Text* parent = rec->m_Cells.GetSize() > SUBF_PARENT ? rec->GetCellText(SUBF_PARENT) : nullptr;
        const std::string_view key = parent ? TrimWhite(TextView(*parent)) : std::string_view();
        if (key.empty())
            continue;
        auto it = byNumber.find(UpperNoCase(key));
        if (it != byNumber.end())
            rec->m_pParent = it->second;
    }
    // Links that form a cycle (a record naming itself, or records naming each
    // other) would send every walk up the tiers round for ever: every link
    // that lies on a cycle is treated as no parent. Each record is visited
    // once: a walk up stops at a record an earlier walk has finished.
    std::unordered_map<const CSubcontract*, int> state; // 1 on this walk, 2 done
    state.reserve(static_cast<size_t>(n));
    std::vector<CSubcontract*> path;
    std::vector<CSubcontract*> onCycle;
    for (const auto& rec : m_Records) {
        path.clear();
        CSubcontract* p = rec.get();
        while (p && state.find(p) == state.end()) {
            state[p] = 1;
            path.push_back(p);
            p = p->m_pParent;
        }
        if (p && state[p] == 1) {
            // p is on this walk: the records from p to the end form a loop.
            for (auto it = path.rbegin(); it != path.rend(); ++it) {
                onCycle.push_back(*it);
                if (*it == p)
                    break;
            }
        }
        for (CSubcontract* q : path)
            state[q] = 2;
    }
    for (CSubcontract* r : onCycle)
        r->m_pParent = nullptr;
}

void CWinMeta::RenewTierBits()
{
    std::unordered_map<const CSubcontract*, bool> childrenComplete;
    for (const auto& rec : m_Records)
        if (rec->m_pParent) {
            auto [it, inserted] = childrenComplete.emplace(rec->m_pParent, true);
            if (!FlagTest(rec->m_wFlags, SUB_COMPLETE))
                it->second = false;
        }
    for (const auto& rec : m_Records) {
        auto it = childrenComplete.find(rec.get());
        FlagSet(rec->m_wFlags, SUB_TIERS_COMPLETE, (it == childrenComplete.end() || it->second) ? 1 : 0);
    }
}

CSubcontract* CWinMeta::FirstChild(const CSubcontract* record) const
{
    for (const auto& rec : m_Records)
        if (rec->m_pParent == record)
            return rec.get();
    return record ? NextInTree(record) : nullptr;
}

CSubcontract* CWinMeta::NextInTree(const CSubcontract* record) const
{
    int steps = m_Records.GetSize() + 1;
    while (record && steps-- > 0) {
        const int index = m_Records.IndexOf(record);
        if (index < 0)
            return nullptr;
        for (int i = index + 1; i < m_Records.GetSize(); ++i)
            if (m_Records[i]->m_pParent == record->m_pParent)
                return m_Records[i];
        record = record->m_pParent;
    }
    return nullptr;
}

int CWinMeta::FreeNumber() const
{
    bool used[200] = {};
    for (const auto& rec : m_Records) {
        const Text* number = rec->GetCellText(SUBF_NUMBER);
        const long value = number ? std::strtol(std::string(TextView(*number)).c_str(), nullptr, 10) : 0;
        if (value >= 0 && value <= 199)
            used[value] = true;
    }
    for (int n = 1; n <= 199; ++n)
        if (!used[n])
            return n;
    return 0;
}

void CWinMeta::AssignNumber(CSubcontract* record) const
{
    if (const int n = FreeNumber())
        record->SetNumber(n);
}

void CWinMeta::ApplyDefaults(CSubcontract* record) const
{
    for (const std::string_view entry : m_Defaults) {
        std::string_view name, value;
        const size_t comma = entry.find(',');
        if (comma == std::string_view::npos) {
            value = entry.size() > 1 ? entry.substr(1) : std::string_view();
        } else {
            name = entry.substr(0, comma);
            value = entry.substr(comma + 1);
            while (!value.empty() && (value.front() == ' ' || value.front() == '\t' ||
                                      value.front() == '\r' || value.front() == '\n'))
                value.remove_prefix(1);
        }
        for (int j = 0; j < m_Fields.GetSize(); ++j) {
            if (!EqualNoCase(TextView(m_Fields[j]->m_strName), name))
                continue;
            CCellData* cell = record->GetCell(j);
            if (cell && TextEmpty(cell->m_psz))
                cell->m_psz = std::string(value);
        }
    }
}

int CWinMeta::FindField(std::string_view name) const
{
    for (int j = 0; j < m_Fields.GetSize(); ++j)
        if (EqualNoCase(TextView(m_Fields[j]->m_strName), name))
            return j;
    return -1;
}

} // namespace kestrel
