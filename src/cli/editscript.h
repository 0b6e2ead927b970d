#pragma once
// The edits of `kestrel-cli apply`: a JSON array of objects, each an `op`
// with its arguments, read and checked as a whole before any edit is made.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/result.h"

namespace kestrel {
class CContract;
}

namespace kestrel::cli {

enum class ScriptOp {
    AddSubcontractor,
    DeleteSubcontractor,
    MoveSubcontractor,
    SetCell,
    UseItem,
    SetSubItem,
    SetItem,
    SetTemplate,
    Undo,
    Redo,
};

// One edit, its texts converted to Windows-1252.
struct ScriptEdit {
    ScriptOp op = ScriptOp::Undo;
    std::optional<std::string> sub;      // the number of the record it is about
    bool misc = false;                   // setCell: the miscellaneous-data record instead
    std::optional<std::string> parent;   // add, move: the new parent's number; none: the first tier
    int field = -1;                      // setCell
    std::string line;                    // useItem, setSubItem, setItem
    bool use = false;                    // useItem
    std::optional<std::string> quantity; // setSubItem, setItem: as typed
    std::optional<std::string> unitPrice;
    std::optional<std::string> extension;
    std::optional<bool> partial;
    std::optional<std::string> remarks;
    std::string name; // setTemplate
    std::string text; // setCell, setTemplate
    // A text the contract cannot hold (a character Windows-1252 lacks): the
    // edit is refused with this message and changes nothing.
    std::string refusal;
};

// The most edits one run makes; a longer script is refused as a whole.
inline constexpr size_t kMaxScriptEdits = 10000;

// "<text> (edit N)", N counted from 1: the form of every error about one
// edit.
std::string EditError(const std::string& text, size_t index);

// Reads the edits and checks them against the contract: the JSON itself, an
// array of objects, known ops, every argument present with its type and no
// unknown one, texts of valid UTF-8, lines of items the contract has and
// fields its forms have, and at most kMaxScriptEdits edits. The error gives
// the JSON position or the edit.
// Numbers of subcontractors are looked up as each edit is made, since an
// edit before it may add or delete the record.
[[nodiscard]] Result<std::vector<ScriptEdit>> ParseEditScript(std::string_view json,
                                                              const CContract& contract);

} // namespace kestrel::cli
