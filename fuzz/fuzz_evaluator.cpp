// Expressions as typed into entry fields and written in templates: the whole
// input as one expression, then each of its lines in turn over the same
// table, so that "set" lines define functions that later lines call.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "calc/evaluator.h"
#include "calc/formats.h"
#include "model/contract/values.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Evaluator evaluator;
    double v = evaluator.Evaluate(text);
    (void)evaluator.ErrorMessage();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        v = evaluator.Evaluate(text.substr(start, end - start));
        const int offset = evaluator.ErrorOffset();
        if (evaluator.ErrorCode() == EVAL_OK)
            (void)FormatNumber(v, 9, 2, true, true);
        else if (!IsBlankValue(v) || offset < 0 || static_cast<size_t>(offset) > size)
            __builtin_trap();
        start = end + 1;
    }
    return 0;
}
