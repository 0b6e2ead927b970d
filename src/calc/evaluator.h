#pragma once
// The arithmetic expression evaluator. An Evaluator owns one identifier table
// (variables, constants, functions, user functions) and the error of its
// last operation. The program keeps one for the whole run, since every
// evaluation of a run shares one table; tests and report runs may hold their
// own.

#include <memory>
#include <string_view>

#include "calc/result.h"

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
    // Beyond the codes of the original table: nesting (or recursion of user
    // functions) past what one evaluation allows. Reported as such, not as
    // the allocation failure it is not.
    EVAL_TOO_DEEP = 13,
};

using EvalFunction = double (*)(double);

class IdentifierTable;

class Evaluator {
public:
    // The table is built with the predefined names on first use.
    Evaluator();
    ~Evaluator();
    // A copy has a table of its own with the same identifiers.
    Evaluator(const Evaluator& other);
    Evaluator& operator=(const Evaluator& other);
    Evaluator(Evaluator&& other) noexcept;
    Evaluator& operator=(Evaluator&& other) noexcept;

    // Evaluates a text; returns the value, or the blank value ("no value")
    // when an error was recorded.
    double Evaluate(std::string_view text);

    // The error of the last evaluation or identifier operation.
    int ErrorCode() const { return m_code; }
    const char* ErrorMessage() const { return ErrorText(m_code); }
    int ErrorOffset() const { return m_offset; }
    // The message of an error code.
    static const char* ErrorText(int code);

    // The parse steps the last evaluation took: a measure of its work that
    // does not depend on the machine.
    long long LastSteps() const { return m_lastSteps; }

    // Identifier operations; each records its outcome as the last error and
    // returns it (the code is EVAL_NO_MEMORY or EVAL_TYPE_CHANGE).
    [[nodiscard]] Status SetVariable(std::string_view name, double value);
    [[nodiscard]] Status DefineConstant(std::string_view name, double value);
    [[nodiscard]] Status DefineFunction(std::string_view name, EvalFunction fn);
    [[nodiscard]] Status DefineUserFunction(std::string_view name, std::string_view body);

    // Frees the whole table; it is built again, with the predefined names
    // only, on next use.
    void Clear();

private:
    IdentifierTable& Table();
    bool TryDefinition(std::string_view text, double& value);
    void Record(int code, size_t offset);
    template <class F> Status Guard(F f);

    std::unique_ptr<IdentifierTable> m_table;
    int m_code = EVAL_OK;
    int m_offset = 0;
    long long m_lastSteps = 0;
};

} // namespace kestrel
