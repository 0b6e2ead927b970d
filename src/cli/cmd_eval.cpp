// kestrel-cli eval EXPR...: evaluates each expression in turn over one
// identifier table, so that later expressions see earlier assignments and
// definitions.

#include <cstdio>

#include "calc/evaluator.h"
#include "cli/command.h"
#include "cli/programevaluator.h"

namespace kestrel::cli {

namespace {

int RunEval(const std::vector<std::string>& args)
{
    Evaluator& evaluator = ProgramEvaluator();
    for (const auto& text : args) {
        const double v = evaluator.Evaluate(text);
        if (evaluator.ErrorCode() != EVAL_OK)
            std::printf("error %d: %s at %d\n", evaluator.ErrorCode(), evaluator.ErrorMessage(),
                        evaluator.ErrorOffset());
        else
            std::printf("%.10g\n", v);
    }
    return 0;
}

const bool registered = RegisterCommand({"eval", "EXPR...", RunEval});

} // namespace

} // namespace kestrel::cli
