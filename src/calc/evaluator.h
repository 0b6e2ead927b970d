#pragma once
// The arithmetic expression evaluator. One identifier table serves the whole
// program (created on first use); each evaluation records its first error.

#include <string>
#include <string_view>

namespace kestrel {

// Error codes of an evaluation or of an identifier operation.
enum EvalError : int {
    EVAL_OK = 0,
    EVAL_NO_CLOSE_PAREN = 1,
    EVAL_NO_OPEN_PAREN = 2,
    EVAL_UNRECOGNIZED = 3,
    EVAL_EMPTY = 4,
    EVAL_FUNC_OVERFLOW = 5,
    EVAL_FUNC_PARAM_RANGE = 6,
    EVAL_FUNC_ILLEGAL = 7,
    EVAL_FUNC_RESULT_RANGE = 8,
    EVAL_DIVIDE_BY_ZERO = 9,
    EVAL_NO_COLON = 10,
    EVAL_NO_MEMORY = 11,
    EVAL_TYPE_CHANGE = 12,
};

using EvalFunction = double (*)(double);

// Evaluates a text; returns the value, or the blank value ("no value") when
// an error was recorded.
double Evaluate(std::string_view text);
// The error of the last evaluation (or identifier operation).
int EvalErrorCode();
const char* EvalErrorMessage();
int EvalErrorOffset();
// The message of an error code.
const char* EvalErrorText(int code);

// Identifier operations; each returns an error code (0 or 11 or 12).
int SetVariable(std::string_view name, double value);
int DefineConstant(std::string_view name, double value);
int DefineFunction(std::string_view name, EvalFunction fn);
int DefineUserFunction(std::string_view name, std::string_view body);
// Frees the whole table; it is rebuilt with the predefined names on next use.
void ClearIdentifiers();

} // namespace kestrel
