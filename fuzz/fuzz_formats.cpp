// Typed dates and times, and the W.P format texts of templates applied to
// numbers. The input is split at its first two newlines: date, time, and
// the format text.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "calc/formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const size_t a = text.find('\n');
    const std::string_view date = text.substr(0, a);
    std::string_view time, format;
    if (a != std::string_view::npos) {
        const std::string_view rest = text.substr(a + 1);
        const size_t b = rest.find('\n');
        time = rest.substr(0, b);
        if (b != std::string_view::npos)
            format = rest.substr(b + 1);
    }
    const LocalDateTime now{2011, 6, 15, 10, 20, 30};
    uint32_t out = 0;
    const int code = ParseDateTime(date, time, size % 2 == 0, now, -600 + static_cast<int>(size % 1200), out);
    if (code != 0 && code != 2 && code != 4)
        __builtin_trap();
    if (code == 0)
        for (int style = 0; style <= 10; ++style)
            (void)FormatDate(out, style);
    const WPFormat f = ParseWPFormat(format);
    double x = 0;
    std::memcpy(&x, data, size < sizeof x ? size : sizeof x);
    for (bool commas : {false, true})
        for (bool money : {false, true}) {
            (void)FormatNumber(x, f.w, f.p, commas, money);
            (void)FormatNumber(1234567.891, f.w, f.p, commas, money);
        }
    return 0;
}
