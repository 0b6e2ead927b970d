#pragma once
// The evaluator of this program run. Every expression the tool evaluates in
// one run (those of the eval command, those of a report) shares its
// identifier table, as in the program.

namespace kestrel {
class Evaluator;
}

namespace kestrel::cli {

Evaluator& ProgramEvaluator();

} // namespace kestrel::cli
