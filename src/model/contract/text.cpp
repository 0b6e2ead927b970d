#include "model/contract/text.h"

namespace kestrel {

constinit Text::SharedEmpty Text::g_empty;

Text& Text::operator=(std::string&& s)
{
    if (Owns())
        *m_p = std::move(s);
    else if (s.empty())
        m_p = Empty();
    else
        m_p = NewString(std::move(s));
    return *this;
}

const std::string& Text::value() const
{
    if (!m_p)
        throw std::bad_optional_access();
    return *m_p;
}

std::string& Text::value()
{
    if (!m_p)
        throw std::bad_optional_access();
    return Own();
}

std::string& Text::Own()
{
    if (!Owns())
        m_p = NewString();
    return *m_p;
}

} // namespace kestrel
