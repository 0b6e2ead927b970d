#include "model/contract/text.h"

namespace kestrel {

Text& Text::operator=(std::string&& s)
{
    if (IsString())
        *String() = std::move(s);
    else if (s.size() <= kInlineMax)
        SetInline(s);
    else
        m_bits = FromString(NewString(std::move(s)));
    return *this;
}

void Text::AssignLong(std::string_view s)
{
    // An own string is reused, so a text assigned over and over keeps its
    // buffer (std::string::assign copes with s lying inside it).
    if (IsString())
        String()->assign(s.data(), s.size());
    else
        m_bits = FromString(NewString(s));
}

std::string& Text::value()
{
    if (!m_bits)
        throw std::bad_optional_access();
    return Own();
}

std::string& Text::Own()
{
    if (!IsString())
        m_bits = FromString(NewString(View())); // the bytes are copied before m_bits changes
    return *String();
}

} // namespace kestrel
