#pragma once
// Inside the edit layer: what one change touches, gathered while the change
// is made, so that the common follow-up knows what to renew and the inverse
// knows what to put back. Only the sources of CContractEdits include this.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "edit/changeevent.h"
#include "edit/contractedits.h"
#include "edit/contractimage.h"

namespace kestrel {

class CContract;
class CSubcontract;

// Refuses a text longer than a record of the contract file holds
// (Refusal::Text): it would be cut when the contract is saved.
[[nodiscard]] Status CheckTextLength(std::string_view text);

struct CContractEdits::Scope {
    ContractImage image;
    ChangeEvent event;
    bool changed = false;     // a stored value changed
    bool recalculate = false; // item numbers changed: recalculate the contract
    bool renewAllSubItemStates = false;
    std::vector<std::string> lines;            // lines whose sub-items' marks are renewed
    std::vector<CSubcontract*> subItemRecords; // records whose own sub-items changed
    std::string unreadable;                    // the evaluator's message for a value typed (AppliedEdit)

    // Before the change, for telling what the follow-up changed.
    uint16_t flagsBefore = 0;
    double contractTotalBefore = 0;
    double subTotalBefore = 0;
    std::vector<std::pair<const CSubcontract*, uint16_t>> recordFlagsBefore;

    // Marks a line whose sub-items the change or its follow-up may change:
    // with `copies`, the sub-items themselves are imaged (created, deleted
    // or edited ones), else only their flags.
    void TouchLine(const CContract& contract, std::string_view line, bool copies);
};

} // namespace kestrel
