#include "calc/evaluator.h"

#include <iterator>
#include <new>
#include <string>

#include "calc/exprparser.h"
#include "calc/identifiertable.h"
#include "calc/numbers.h"

namespace kestrel {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool IsAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

Evaluator::Evaluator() = default;
Evaluator::~Evaluator() = default;
Evaluator::Evaluator(Evaluator&& other) noexcept = default;
Evaluator& Evaluator::operator=(Evaluator&& other) noexcept = default;

Evaluator::Evaluator(const Evaluator& other)
    : m_table(other.m_table ? std::make_unique<IdentifierTable>(*other.m_table) : nullptr),
      m_code(other.m_code), m_offset(other.m_offset), m_lastSteps(other.m_lastSteps)
{
}

Evaluator& Evaluator::operator=(const Evaluator& other)
{
    if (this != &other)
        *this = Evaluator(other);
    return *this;
}

IdentifierTable& Evaluator::Table()
{
    if (!m_table)
        m_table = std::make_unique<IdentifierTable>();
    return *m_table;
}

void Evaluator::Record(int code, size_t offset)
{
    m_code = code;
    m_offset = static_cast<int>(offset);
}

// A "set NAME = BODY" statement defines a user function. Returns false when
// the text is not one (no name or no '='), so that it is evaluated instead.
bool Evaluator::TryDefinition(std::string_view text, double& value)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (text.size() - i < 4)
        return false;
    const std::string_view keyword = text.substr(i, 4);
    if ((keyword[0] | 0x20) != 's' || (keyword[1] | 0x20) != 'e' || (keyword[2] | 0x20) != 't' ||
        keyword[3] != ' ')
        return false;
    i += 4;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    const size_t nameAt = i;
    // '_' is taken into the name as well: a name such as my_rate is a valid
    // name in expressions, and cutting it at the '_' would quietly define a
    // different function.
    while (i < text.size() && (IsAlnum(text[i]) || text[i] == '_'))
        ++i;
    const std::string_view name = text.substr(nameAt, i - nameAt);
    const size_t eq = text.find('=', i);
    if (name.empty() || eq == std::string_view::npos)
        return false;
    const int code = Table().DefineUserFunction(name, text.substr(eq + 1));
    if (code != EVAL_OK) {
        Record(code, nameAt);
        value = BlankValue();
    } else {
        value = 0.0;
    }
    return true;
}

double Evaluator::Evaluate(std::string_view text)
{
    Record(EVAL_OK, 0);
    m_lastSteps = 0;
    // The text ends at its first NUL, as the texts of the models do.
    text = text.substr(0, text.find('\0'));
    if (text.empty() || text[0] == '\n' || text[0] == '\r') {
        Record(EVAL_EMPTY, 0);
        return BlankValue();
    }
    try {
        double value;
        if (TryDefinition(text, value))
            return value;
        ExprParser parser(Table(), text);
        const EvalResult result = parser.Run();
        m_lastSteps = result.steps;
        Record(result.code, result.offset);
        return result.value;
    } catch (const std::bad_alloc&) {
        Record(EVAL_NO_MEMORY, 0);
        return BlankValue();
    }
}

const char* Evaluator::ErrorText(int code)
{
    static const char* const kMessages[] = {
        "No Error",
        "Closing Parenthesis expected ')'",
        "Opening Parenthesis expected '('",
        "Unrecognized character",
        "Empty String",
        "Function Overflow",
        "Function param out of range",
        "Illegal function value",
        "Function result out of range",
        "Divide by zero error",
        "Colon Expected ':'",
        "Not enough memory",
        "Cannot change identifier type",
        "Too deeply nested",
    };
    if (code < 0 || code >= static_cast<int>(std::size(kMessages)))
        return "Unknown error";
    return kMessages[code];
}

template <class F> Status Evaluator::Guard(F f)
{
    int code = EVAL_OK;
    try {
        code = f(Table());
    } catch (const std::bad_alloc&) {
        code = EVAL_NO_MEMORY;
    }
    Record(code, 0);
    if (code != EVAL_OK)
        return Status::Fail(ErrorText(code), code);
    return Ok();
}

Status Evaluator::SetVariable(std::string_view name, double value)
{
    return Guard([&](IdentifierTable& t) { return t.SetVariable(name, value); });
}

Status Evaluator::DefineConstant(std::string_view name, double value)
{
    return Guard([&](IdentifierTable& t) { return t.DefineConstant(name, value); });
}

Status Evaluator::DefineFunction(std::string_view name, EvalFunction fn)
{
    return Guard([&](IdentifierTable& t) { return t.DefineFunction(name, fn); });
}

Status Evaluator::DefineUserFunction(std::string_view name, std::string_view body)
{
    return Guard([&](IdentifierTable& t) { return t.DefineUserFunction(name, body); });
}

void Evaluator::Clear()
{
    m_table.reset();
}

} // namespace kestrel
