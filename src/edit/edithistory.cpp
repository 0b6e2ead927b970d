#include "edit/edithistory.h"

#include <utility>

namespace kestrel {

bool ChangedAnything(const EditAction& action)
{
    for (const AppliedEdit& edit : action)
        if (!edit.inverse.IsEmpty())
            return true;
    return false;
}

void TakeBack(CContractEdits& edits, EditAction& action)
{
    for (auto it = action.rbegin(); it != action.rend(); ++it)
        edits.Undo(*it);
}

void EditHistory::Record(EditAction action)
{
    if (!ChangedAnything(action))
        return;
    m_undo.push_back(std::move(action));
    m_redo.clear();
}

Result<std::string> EditHistory::Make(const std::vector<EditStep>& steps)
{
    EditAction action;
    std::string text;
    for (const EditStep& step : steps) {
        EditResult result = step();
        if (!result) {
            TakeBack(m_edits, action);
            return Result<std::string>(result.error());
        }
        if (!result->text.empty())
            text = result->text;
        action.push_back(std::move(result).value());
    }
    Record(std::move(action));
    return text;
}

Status EditHistory::Undo()
{
    if (m_undo.empty())
        return Status::Fail("Nothing to undo");
    EditAction action = std::move(m_undo.back());
    m_undo.pop_back();
    TakeBack(m_edits, action);
    m_redo.push_back(std::move(action));
    return Ok();
}

Status EditHistory::Redo()
{
    if (m_redo.empty())
        return Status::Fail("Nothing to redo");
    EditAction action = std::move(m_redo.back());
    m_redo.pop_back();
    for (AppliedEdit& edit : action)
        m_edits.Redo(edit);
    m_undo.push_back(std::move(action));
    return Ok();
}

} // namespace kestrel
