#pragma once
// Shared value conventions of the contract and subcontract models: owned
// texts with a null state; the number conventions come from calc/numbers.h.

#include <cstdint>
#include <string>
#include <string_view>

#include "calc/numbers.h"
#include "model/contract/text.h"

namespace kestrel {

// Model texts (class Text) hold Windows-1252 bytes, or are null ("no
// text"). A null text and an empty text are both written to the file with
// length 0.

// The bytes of a text, empty for a null text.
inline std::string_view TextView(const Text& t)
{
    return t.View();
}
// True when the text is null or holds nothing.
inline bool TextEmpty(const Text& t)
{
    return t.View().empty();
}

} // namespace kestrel
