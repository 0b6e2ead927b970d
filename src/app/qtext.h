#pragma once
// The one conversion between the models' Windows-1252 texts and QString.
// Model texts never reach a widget, and typed texts never reach a model,
// except through these.

#include <QString>

#include <string>
#include <string_view>

#include "calc/result.h"

namespace kestrel {

class Text;

// A Windows-1252 text as a QString.
QString ToQString(std::string_view cp1252);
QString ToQString(const std::string& cp1252);
QString ToQString(const char* cp1252);
QString ToQString(const Text& text);
// A QString as Windows-1252; characters the code page cannot hold become '?'.
std::string FromQString(const QString& text);
// A text the user typed, to be stored in the contract: a character the code
// page cannot hold is refused with the character named (as the edit layer's
// TypedText refuses it), never changed.
[[nodiscard]] Result<std::string> FromTypedQString(const QString& text);

} // namespace kestrel
