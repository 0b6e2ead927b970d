// The contract's computations on itself: item extensions, the choice among
// alternates, section totals and the contract total.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "calc/codepage.h"
#include "model/contract/contract.h"
#include "model/subcontract/subservices.h"

namespace kestrel {

namespace {

bool CountsTowardTotal(const CItem& e)
{
    if (IsBlankValue(e.m_fExtension))
        return false;
    return e.IsHeading() || !FlagTest(e.m_wFlags, ITEM_FIXED_PRICE) || FlagTest(e.m_wFlags, ITEM_COUNT_FIXED);
}

bool IsCandidateEntry(const CItem& e)
{
    return FlagTest(e.m_wFlags, ITEM_IS_ALTERNATE) || FlagTest(e.m_wFlags, ITEM_IS_OPTION);
}

// The group of an alternate code: its first two characters.
std::string_view GroupOf(std::string_view code)
{
    return code.substr(0, 2);
}

struct Candidate {
    std::string code; // upper case: codes compete without regard to case
    bool used = false;
    double amount = 0;
    bool exempt = false;
};

// The competing alternates of one scope. Candidates are kept in the order in
// which their codes first appear; "the front of the list" is the last one,
// so the list is walked backwards when choosing.
class CandidateList {
public:
    // Adds one entry of the scope, in array order. firstUsed is the used mark
    // an entry gives when it is the first of its code.
    void Take(const CItem& e, bool firstUsed)
    {
        std::string key = UpperNoCase(TextView(e.m_strAltCode));
        auto it = m_index.find(key);
        if (it != m_index.end()) {
            Candidate& c = m_list[it->second];
            const bool valid =
                e.IsHeading() ? (!IsBlankValue(e.m_fExtension) && e.m_fExtension > 0) : CountsTowardTotal(e);
            if (valid) {
                c.used = true;
                if (!IsBlankValue(c.amount))
                    c.amount += e.m_fExtension;
            } else {
                SetBlankValue(c.amount);
            }
            return;
        }
        Candidate c;
        c.code = key;
        c.used = firstUsed;
        c.exempt = FlagTest(e.m_wFlags, ITEM_NO_CHOICE);
        if (firstUsed)
            c.amount = e.m_fExtension;
        else
            SetBlankValue(c.amount);
        m_index.emplace(std::move(key), m_list.size());
        m_list.push_back(std::move(c));
    }

    // Leaves, in each group, only the lowest amount; of equal amounts the
    // one nearer the front (whose code first appears later) stays.
    void Choose(bool sections)
    {
        if (sections)
            for (Candidate& c : m_list)
                if (!c.used)
                    SetBlankValue(c.amount);
        const size_t n = m_list.size();
        for (size_t i = n; i-- > 0;) {
            if (IsBlankValue(m_list[i].amount))
                continue;
            size_t cur = i;
            for (size_t j = i; j-- > 0;) {
                Candidate& later = m_list[j];
                if (IsBlankValue(later.amount) || GroupOf(later.code) != GroupOf(m_list[cur].code))
                    continue;
                if (later.amount < m_list[cur].amount) {
                    SetBlankValue(m_list[cur].amount);
                    cur = j;
                } else {
                    SetBlankValue(later.amount);
                }
            }
        }
    }

    bool IsChosen(const CItem& e) const
    {
        if (!FlagTest(e.m_wFlags, ITEM_IS_ALTERNATE) || FlagTest(e.m_wFlags, ITEM_NO_CHOICE))
            return CountsTowardTotal(e);
        auto it = m_index.find(UpperNoCase(TextView(e.m_strAltCode)));
        return it != m_index.end() && !IsBlankValue(m_list[it->second].amount);
    }

private:
    std::vector<Candidate> m_list;
    std::unordered_map<std::string, size_t> m_index;
};

// Sets an alternate's ITEM_CHOSEN bit to chosen; true when it changed.
bool UpdateChosenBit(CItem& e, bool chosen)
{
    if (!FlagTest(e.m_wFlags, ITEM_IS_ALTERNATE) || FlagTest(e.m_wFlags, ITEM_CHOSEN) == chosen)
        return false;
    FlagSet(e.m_wFlags, ITEM_CHOSEN, chosen ? 1 : 0);
    return true;
}

void ComputeExtension(CItem& e, int decimals)
{
    const bool haveQuan = !IsBlankValue(e.m_fQuantity);
    if (haveQuan && !IsBlankValue(e.m_fUnitPrice)) {
        e.m_fExtension = RoundValue(e.m_fUnitPrice * e.m_fQuantity, decimals);
    } else if (haveQuan && !IsBlankValue(e.m_fExtension) && e.m_fExtension != 0) {
        // A lump amount over a quantity of 0 has no unit price: the price
        // stays blank rather than becoming infinite.
        if (e.m_fQuantity != 0)
            e.m_fUnitPrice = RoundValue(e.m_fExtension / e.m_fQuantity, decimals);
    } else {
        SetBlankValue(e.m_fExtension);
    }
}

// Index of the next heading after index, or the array size.
int NextHeading(const CItemArray& items, int index)
{
    const int n = items.GetSize();
    int i = index + 1;
    while (i < n && !items[i]->IsHeading())
        ++i;
    return i;
}

bool ComputeSectionTotal(CItemArray& items, int heading)
{
    CItem& head = *items[heading];
    head.m_fExtension = 0;
    const int end = NextHeading(items, heading);
    CandidateList candidates;
    for (int i = heading + 1; i < end; ++i)
        if (IsCandidateEntry(*items[i]))
            candidates.Take(*items[i], CountsTowardTotal(*items[i]));
    candidates.Choose(false);
    bool changed = false;
    for (int i = heading + 1; i < end; ++i) {
        CItem& e = *items[i];
        const bool chosen = candidates.IsChosen(e);
        changed |= UpdateChosenBit(e, chosen);
        if (chosen && CountsTowardTotal(e))
            head.m_fExtension += e.m_fExtension;
    }
    return changed;
}

// Whether at least one item of the section under heading has an extension.
bool SectionHasAmounts(const CItemArray& items, int heading)
{
    const int end = NextHeading(items, heading);
    for (int i = heading + 1; i < end; ++i)
        if (!IsBlankValue(items[i]->m_fExtension))
            return true;
    return false;
}

bool ComputeContractTotal(CContract& c)
{
    CItemArray& items = c.m_Items;
    c.m_fContractTotal = 0;
    CandidateList candidates;
    for (int i = 0; i < items.GetSize(); ++i) {
        const CItem& e = *items[i];
        // A section whose own alternates all fell out (an item without a
        // price) totals 0; it must not win its group with that 0, so a first
        // heading needs a positive total, as every later one of its code does.
        if (e.IsHeading() && IsCandidateEntry(e))
            candidates.Take(e, !IsBlankValue(e.m_fExtension) && e.m_fExtension > 0 &&
                                   SectionHasAmounts(items, i));
    }
    candidates.Choose(true);
    bool changed = false;
    for (int i = 0; i < items.GetSize(); ++i) {
        CItem& e = *items[i];
        if (!e.IsHeading())
            continue;
        const bool chosen = candidates.IsChosen(e);
        changed |= UpdateChosenBit(e, chosen);
        if (chosen)
            c.m_fContractTotal += e.m_fExtension;
    }
    return changed;
}

bool HasAltCode(const CItem* e)
{
    return e && !TextEmpty(e->m_strAltCode);
}

} // namespace

bool CContract::RecalculateContract()
{
    const int decimals = m_ExtFormat.decimals;
    for (const auto& p : m_Items)
        if (!p->IsHeading())
            ComputeExtension(*p, decimals);
    bool changed = false;
    for (int i = 0; i < m_Items.GetSize(); ++i)
        if (m_Items[i]->IsHeading())
            changed |= ComputeSectionTotal(m_Items, i);
    changed |= ComputeContractTotal(*this);
    ComputeSubcontractedTotal(*this);
    return changed;
}

std::string CContract::AlternateGroup(const CItem& item) const
{
    return std::string(GroupOf(TextView(item.m_strAltCode)));
}

bool CContract::SameAlternateGroup(int a, int b) const
{
    const CItem* ea = m_Items.GetAt(a);
    const CItem* eb = m_Items.GetAt(b);
    if (!HasAltCode(ea) || !HasAltCode(eb))
        return false;
    return EqualNoCase(GroupOf(TextView(ea->m_strAltCode)), GroupOf(TextView(eb->m_strAltCode)));
}

int CContract::CountAlternates(int index) const
{
    const CItem* entry = m_Items.GetAt(index);
    if (!HasAltCode(entry))
        return 0;
    const std::string group = UpperNoCase(GroupOf(TextView(entry->m_strAltCode)));
    int begin = index;
    int end = NextHeading(m_Items, index);
    if (entry->IsHeading()) {
        begin = 0;
        end = m_Items.GetSize();
    }
    std::string seen; // distinct third characters, upper case
    for (int i = begin; i < end; ++i) {
        const CItem& e = *m_Items[i];
        if (e.IsHeading() != entry->IsHeading())
            continue;
        const std::string code = UpperNoCase(TextView(e.m_strAltCode));
        if (code.size() < 3 || std::string_view(code).substr(0, 2) != group)
            continue;
        if (seen.find(code[2]) == std::string::npos)
            seen.push_back(code[2]);
    }
    return static_cast<int>(seen.size());
}

} // namespace kestrel
