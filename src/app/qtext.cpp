#include "app/qtext.h"

#include "calc/codepage.h"
#include "edit/contractedits.h"
#include "model/contract/text.h"

namespace kestrel {

QString ToQString(std::string_view cp1252)
{
    const std::string utf8 = Cp1252ToUtf8(cp1252);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString ToQString(const std::string& cp1252)
{
    return ToQString(std::string_view(cp1252));
}

QString ToQString(const char* cp1252)
{
    return ToQString(std::string_view(cp1252 ? cp1252 : ""));
}

QString ToQString(const Text& text)
{
    return ToQString(text.View());
}

Result<std::string> FromTypedQString(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return TypedText(std::string_view(utf8.constData(), size_t(utf8.size())));
}

std::string FromQString(const QString& text)
{
    // A QString always converts to well-formed UTF-8 (lone surrogates become
    // U+FFFD), so the conversion cannot be refused.
    const QByteArray utf8 = text.toUtf8();
    Result<std::string> converted = Utf8ToCp1252(std::string_view(utf8.constData(), size_t(utf8.size())));
    return converted ? std::move(converted).value() : std::string();
}

} // namespace kestrel
