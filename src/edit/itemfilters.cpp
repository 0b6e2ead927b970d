#include "edit/itemfilters.h"

#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/contract/contract.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

// Quantities closer to zero than this count as nothing left and nothing over.
constexpr double kQuantityTolerance = 0.01;

// Whether records lie in the tier or any tier below it, each parent chain
// walked once however many items ask.
class BelowTier {
public:
    BelowTier(const CContract& contract, const CSubcontract* tier)
        : m_tier(tier), m_limit(contract.m_pSubTable ? contract.m_pSubTable->m_Records.GetSize() + 1 : 1)
    {
    }

    bool Test(const CSubcontract* record)
    {
        if (!m_tier)
            return true;
        m_path.clear();
        bool below = false;
        int guard = m_limit; // a chain that loops back ends the walk
        for (const CSubcontract* r = record->m_pParent; r && guard-- > 0; r = r->m_pParent) {
            if (r == m_tier) {
                below = true;
                break;
            }
            if (const auto it = m_known.find(r); it != m_known.end()) {
                below = it->second;
                break;
            }
            m_path.push_back(r);
        }
        m_known.emplace(record, below);
        for (const CSubcontract* r : m_path)
            m_known.emplace(r, below);
        return below;
    }

private:
    const CSubcontract* m_tier;
    int m_limit;
    std::unordered_map<const CSubcontract*, bool> m_known;
    std::vector<const CSubcontract*> m_path;
};

// A row of the tier's grid: an item (not a heading) that, in a lower tier,
// the record above holds.
bool IsTierRow(const CItem& item, const CSubcontract* tier)
{
    return !item.IsHeading() && (!tier || tier->FindSubItem(TextView(item.m_strLineNumber)));
}

// An itemized record of the tier holds the line.
bool TierHoldsLine(const CContract& contract, std::string_view line, const CSubcontract* tier)
{
    if (!contract.m_pSubTable || (tier && !tier->IsItemized()))
        return false;
    for (const auto& rec : contract.m_pSubTable->m_Records)
        if (rec->m_pParent == tier && FlagTest(rec->m_wFlags, SUB_USESSUBITEMS) && rec->FindSubItem(line))
            return true;
    return false;
}

bool MarkedOverCommitted(const CContract& contract, std::string_view line, BelowTier& below)
{
    if (!contract.m_pSubTable)
        return false;
    for (const auto& rec : contract.m_pSubTable->m_Records) {
        const CSubItem* si = rec->FindSubItem(line);
        if (si &&
            (FlagTest(si->m_wFlags, SUBITEM_OVERCOMMITTED) ||
             FlagTest(si->m_wFlags, SUBITEM_PRICE_OVERCOMMITTED)) &&
            below.Test(rec.get()))
            return true;
    }
    return false;
}

bool OverCommitted(const CContract& contract, const CItem& item, const CSubcontract* tier, BelowTier& below)
{
    if (!IsTierRow(item, tier))
        return false;
    return RemainingQuantity(contract, &item, tier) < -kQuantityTolerance ||
           MarkedOverCommitted(contract, TextView(item.m_strLineNumber), below);
}

bool Matches(const CContract& contract, const CItem& item, const CSubcontract* tier, ItemFilter filter,
             BelowTier& below)
{
    switch (filter) {
    case ItemFilter::Unassigned: return IsUnassigned(contract, item, tier);
    case ItemFilter::PartlySubcontracted: return IsPartlySubcontracted(contract, item, tier);
    case ItemFilter::OverCommitted: return OverCommitted(contract, item, tier, below);
    }
    return false;
}

} // namespace

bool IsUnassigned(const CContract& contract, const CItem& item, const CSubcontract* tier)
{
    return IsTierRow(item, tier) && !TierHoldsLine(contract, TextView(item.m_strLineNumber), tier);
}

bool IsPartlySubcontracted(const CContract& contract, const CItem& item, const CSubcontract* tier)
{
    return IsTierRow(item, tier) && RemainingQuantity(contract, &item, tier) > kQuantityTolerance &&
           TierHoldsLine(contract, TextView(item.m_strLineNumber), tier);
}

bool IsOverCommitted(const CContract& contract, const CItem& item, const CSubcontract* tier)
{
    BelowTier below(contract, tier);
    return OverCommitted(contract, item, tier, below);
}

bool MatchesFilter(const CContract& contract, const CItem& item, const CSubcontract* tier, ItemFilter filter)
{
    BelowTier below(contract, tier);
    return Matches(contract, item, tier, filter, below);
}

std::vector<int> MatchingItems(const CContract& contract, ItemFilter filter, const CSubcontract* tier)
{
    std::vector<int> found;
    BelowTier below(contract, tier);
    for (int i = 0; i < contract.m_Items.GetSize(); ++i)
        if (Matches(contract, *contract.m_Items[i], tier, filter, below))
            found.push_back(i);
    return found;
}

} // namespace kestrel
