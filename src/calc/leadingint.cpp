#include "calc/leadingint.h"

namespace kestrel {

int LeadingInt(std::string_view text)
{
    constexpr int kLimit = 999999999;
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value > (kLimit - 9) / 10 ? kLimit : value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

} // namespace kestrel
