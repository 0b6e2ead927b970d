// kestrel-cli eval EXPR...: evaluates each expression in turn over one
// identifier table, so that later expressions see earlier assignments and
// definitions.

#include <cstdio>

#include "calc/evaluator.h"
#include "cli/command.h"
#include "model/contract/values.h"

namespace kestrel::cli {

namespace {

int RunEval(const std::vector<std::string>& args)
{
    for (const auto& text : args) {
        const double v = Evaluate(text);
        if (EvalErrorCode() != EVAL_OK)
            std::printf("error %d: %s at %d\n", EvalErrorCode(), EvalErrorMessage(), EvalErrorOffset());
        else
            std::printf("%.10g\n", v);
    }
    return 0;
}

const bool registered = RegisterCommand({"eval", "EXPR...", RunEval});

} // namespace

} // namespace kestrel::cli
