#include "report/integerformat.h"

#include <cstdio>

namespace kestrel {

namespace {

constexpr int kMaxWidth = 512;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::string FormatInteger(std::string_view format, uint32_t value)
{
    std::string out;
    bool consumed = false;
    size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (c != '%') {
            out.push_back(c);
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out.push_back('%');
            i += 2;
            continue;
        }
        // Parse one conversion: flags, width, precision, length, conversion.
        size_t j = i + 1;
        std::string conversion = "%";
        while (j < format.size() && std::string_view("-+ #0").find(format[j]) != std::string_view::npos)
            conversion.push_back(format[j++]);
        int width = 0;
        bool hasWidth = false;
        while (j < format.size() && IsDigit(format[j])) {
            hasWidth = true;
            width = width < kMaxWidth ? width * 10 + (format[j] - '0') : width;
            ++j;
        }
        int precision = -1;
        if (j < format.size() && format[j] == '.') {
            ++j;
            precision = 0;
            while (j < format.size() && IsDigit(format[j])) {
                precision = precision < kMaxWidth ? precision * 10 + (format[j] - '0') : precision;
                ++j;
            }
        }
        while (j < format.size() && std::string_view("hlLqjzt").find(format[j]) != std::string_view::npos)
            ++j;
        const char conv = j < format.size() ? format[j] : '\0';
        const bool integer = std::string_view("diuxXoc").find(conv) != std::string_view::npos && conv != '\0';
        if (!integer || consumed) {
            // Not something this value can fill: keep the text as written.
            const size_t end = j < format.size() ? j + 1 : j;
            out.append(format.substr(i, end - i));
            i = end;
            continue;
        }
        if (hasWidth)
            conversion += std::to_string(width > kMaxWidth ? kMaxWidth : width);
        if (precision >= 0) {
            conversion.push_back('.');
            conversion += std::to_string(precision > kMaxWidth ? kMaxWidth : precision);
        }
        conversion.push_back(conv);
        char buffer[2 * kMaxWidth + 64];
        int n = 0;
        if (conv == 'd' || conv == 'i')
            n = std::snprintf(buffer, sizeof buffer, conversion.c_str(),
                              static_cast<int>(static_cast<int32_t>(value)));
        else if (conv == 'c')
            n = std::snprintf(buffer, sizeof buffer, conversion.c_str(), static_cast<int>(value & 0xFF));
        else
            n = std::snprintf(buffer, sizeof buffer, conversion.c_str(), static_cast<unsigned>(value));
        if (n > 0)
            out.append(buffer,
                       static_cast<size_t>(n) < sizeof buffer ? static_cast<size_t>(n) : sizeof buffer - 1);
        consumed = true;
        i = j + 1;
    }
    return out;
}

} // namespace kestrel
