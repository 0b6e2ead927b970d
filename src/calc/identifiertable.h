#pragma once
// The evaluator's names: variables, constants, one-argument functions and
// user functions, looked up without regard to case.

#include <map>
#include <string>
#include <string_view>

#include "calc/evaluator.h"

namespace kestrel {

enum class IdentifierKind { Variable, Constant, Function, UserFunction };

struct Identifier {
    IdentifierKind kind = IdentifierKind::Variable;
    double value = 0.0;              // variable, constant
    EvalFunction function = nullptr; // function
    std::string body;                // user function
};

class IdentifierTable {
public:
    // Builds the table with the predefined names.
    IdentifierTable();

    // The identifier of that name, or null.
    Identifier* Find(std::string_view name);
    // Creates a variable of value 0; the name must not exist yet.
    Identifier* AddVariable(std::string_view name);

    // Each returns an error code: 0, or EVAL_TYPE_CHANGE when the name
    // exists with another kind (or, for a constant, exists at all).
    int SetVariable(std::string_view name, double value);
    int DefineConstant(std::string_view name, double value);
    int DefineFunction(std::string_view name, EvalFunction fn);
    int DefineUserFunction(std::string_view name, std::string_view body);

private:
    struct NoCaseLess {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    Identifier& Add(std::string_view name, IdentifierKind kind);

    std::map<std::string, Identifier, NoCaseLess> m_names;
};

// The predefined trigonometric functions note here that an argument was so
// large that the result keeps no significant digit; the evaluator reads and
// clears the note after each function call.
bool TakeTotalLossOfPrecision();

} // namespace kestrel
