#include "cli/programevaluator.h"

#include "calc/evaluator.h"

namespace kestrel::cli {

Evaluator& ProgramEvaluator()
{
    static Evaluator evaluator;
    return evaluator;
}

} // namespace kestrel::cli
