#pragma once
// The changes of a run that can be taken back: Edit > Undo and Redo. Each
// entry is one action of the user, made of one change or of several made
// together (the fields of one sub-item entered at once); undo takes its
// changes back last first, redo makes them again first first. An action
// that changed nothing is not an entry and leaves the redo list alone; a
// new entry clears it.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "calc/result.h"
#include "edit/contractedits.h"

namespace kestrel {

using EditAction = std::vector<AppliedEdit>;
// One change of an action, made when called.
using EditStep = std::function<EditResult()>;

class EditHistory {
public:
    explicit EditHistory(CContractEdits& edits) : m_edits(edits) {}

    // An action that was made.
    void Record(EditAction action);
    // Makes the changes in order as one action and records it. The first
    // refused change takes back those before it, so that the contract is as
    // it was, and gives its refusal. Returns the text of the change that
    // has one (the number of an added record), else "".
    [[nodiscard]] Result<std::string> Make(const std::vector<EditStep>& steps);
    // Takes back the last action ("Nothing to undo" when there is none).
    [[nodiscard]] Status Undo();
    // Makes the last action taken back again ("Nothing to redo").
    [[nodiscard]] Status Redo();

    size_t UndoCount() const { return m_undo.size(); }
    size_t RedoCount() const { return m_redo.size(); }

private:
    CContractEdits& m_edits;
    std::vector<EditAction> m_undo;
    std::vector<EditAction> m_redo;
};

// Takes back the changes of an action, last first: the contract is then as
// it was before the first of them.
void TakeBack(CContractEdits& edits, EditAction& action);
// Whether any change of the action changed something.
[[nodiscard]] bool ChangedAnything(const EditAction& action);

} // namespace kestrel
