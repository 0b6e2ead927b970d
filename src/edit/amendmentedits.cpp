// Applying an amendment carried over: the edit layer's side of it.

#include <memory>
#include <utility>

#include "edit/amendment.h"
#include "edit/contractedits.h"
#include "edit/editscope.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

EditResult CContractEdits::ApplyAmendment(PreparedAmendment& prepared)
{
    if (!prepared.contract)
        return EditResult::Fail("There is no amendment to apply", static_cast<int>(Refusal::NotAllowed));
    Scope scope;
    scope.event.kind = ChangeKind::Amended;
    scope.event.treeChanged = true;
    scope.event.reshaped = true;
    NoteStateBefore(scope);
    // The records of the contract as it was stay the same objects in the
    // image, so that undo brings back the very records views were bound to.
    m_contract.Swap(*prepared.contract);
    scope.image.TakeWhole(std::move(prepared.contract));
    scope.changed = true;
    scope.recalculate = true;
    scope.renewAllSubItemStates = true;
    return Finish(scope, "Apply Amendment");
}

} // namespace kestrel
