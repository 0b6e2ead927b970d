#include "calc/exprparser.h"

#include <algorithm>
#include <cerrno>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>

#include "calc/evaluator.h"
#include "calc/identifiertable.h"
#include "calc/leadingint.h"
#include "calc/numbers.h"

namespace kestrel {

namespace {

enum Op {
    OP_SHR,
    OP_SHL,
    OP_GE,
    OP_LE,
    OP_EQ,
    OP_NE,
    OP_AND,
    OP_OR,
    OP_ADD_SET,
    OP_SUB_SET,
    OP_MOD_SET,
    OP_DIV_SET,
    OP_MUL_SET,
    OP_POW,
    OP_MOD,
    OP_DIV,
    OP_MUL,
    OP_ADD,
    OP_SUB,
    OP_GT,
    OP_LT,
    OP_BIT_AND,
    OP_BIT_OR,
    OP_SET,
    OP_CHOICE,
    OP_COMMA,
};

constexpr int kPrimaryLevel = 13;

// Each active parse step costs a few stack frames; about 200 levels of
// parentheses (or of user-function calls) fit in this many steps, which is
// far beyond any hand-written expression and far below what the stack holds.
// Deeper input is refused as "Too deeply nested" rather than overflowing.
constexpr int kMaxDepth = 14 * 200;

// User functions may call themselves more than once, so that the work can
// grow exponentially with the argument while the nesting stays shallow; and
// a long body may be run many times. The parse steps taken inside function
// bodies during one evaluation are limited; more is refused like too deep a
// nesting, so that a hostile template cannot hang the program. (Work on the
// text itself is bounded by its length.)
constexpr unsigned kMaxBodySteps = 1000000;

// A number's text is at most this long; the rest of a longer run of digits
// is left unread and reported as unrecognized.
constexpr size_t kMaxNumberLength = 128;

// Divisors smaller than this count as zero.
constexpr double kTinyDivisor = 1e-10;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsNameStart(char c)
{
    return IsLetter(c) || c == '_';
}
bool IsNamePart(char c)
{
    return IsNameStart(c) || IsDigit(c);
}

// The low 32 bits of x cut toward zero, as two's complement would hold them.
uint32_t Low32(double x)
{
    double m = std::fmod(std::trunc(x), 4294967296.0);
    if (m < 0)
        m += 4294967296.0;
    return static_cast<uint32_t>(m);
}

// Runs a mathematical function and maps what went wrong to an error code
// (0 when nothing did). Both errno and the floating-point flags are looked
// at, since a function may report through either; a result that is not
// finite is an error whichever way it came about.
template <class F> double Guarded(F f, int& code)
{
    errno = 0;
    std::feclearexcept(FE_ALL_EXCEPT);
    const double r = f();
    const int err = errno;
    const int flags = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
    code = EVAL_OK;
    if (TakeTotalLossOfPrecision())
        code = EVAL_FUNC_RESULT_RANGE;
    else if ((flags & FE_INVALID) || err == EDOM || std::isnan(r))
        code = EVAL_FUNC_PARAM_RANGE;
    else if (flags & FE_DIVBYZERO)
        code = EVAL_FUNC_ILLEGAL;
    else if ((flags & FE_OVERFLOW) || err == ERANGE || std::isinf(r))
        code = EVAL_FUNC_OVERFLOW;
    return r;
}

// Reads a number text (digits, '.', exponent) known to be well formed.
// Returns false when its magnitude is beyond the range of a double; one too
// small to hold reads as 0.
bool ReadNumber(std::string text, double& value)
{
    for (char& c : text)
        if (c == 'd' || c == 'D')
            c = 'e';
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    if (ec == std::errc())
        return true;
    // Out of range: decide between overflow and underflow by the decimal
    // exponent of the leading significant digit. The exponent is read
    // saturated, as a run of its digits may be long.
    long exponent = 0;
    const size_t e = text.find('e');
    if (e != std::string::npos)
        exponent = LeadingInt(std::string_view(text).substr(e + 1));
    const std::string mantissa = text.substr(0, e);
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    const size_t first = mantissa.find_first_of("123456789");
    if (first == std::string::npos) {
        value = 0.0;
        return true;
    }
    const long lead =
        first < point ? static_cast<long>(point - first) - 1 : -static_cast<long>(first - point);
    if (exponent + lead > 0)
        return false;
    value = 0.0;
    return true;
}

struct OpEntry {
    std::string_view text;
    int level;
};

// Searched in this order (the order of the Op enumeration); the first entry
// the input begins with is the operator there, whatever level is looking.
constexpr OpEntry kOperators[] = {
    {">>", 9}, {"<<", 9}, {">=", 8}, {"<=", 8}, {"==", 7}, {"!=", 7}, {"&&", 4}, {"||", 3}, {"+=", 1},
    {"-=", 1}, {"%=", 1}, {"/=", 1}, {"*=", 1}, {"^", 12}, {"%", 11}, {"/", 11}, {"*", 11}, {"+", 10},
    {"-", 10}, {">", 8},  {"<", 8},  {"&", 6},  {"|", 5},  {"=", 1},  {"?", 2},  {",", 0},
};
static_assert(std::size(kOperators) == OP_COMMA + 1);

} // namespace

ExprParser::ExprParser(IdentifierTable& table, std::string_view text) : m_table(table), m_text(text)
{
}

EvalResult ExprParser::Run()
{
    EvalResult result;
    double v = Expr(0);
    if (!Failed() && !OnlyLineEndsRemain())
        Fail(EVAL_UNRECOGNIZED, m_pos);
    result.steps = m_steps;
    if (Failed()) {
        result.code = m_code;
        result.offset = m_offset;
        result.value = BlankValue();
        return result;
    }
    result.value = v;
    return result;
}

double ExprParser::Fail(int code, size_t at)
{
    if (!Failed()) {
        m_code = code;
        m_offset = m_inBody ? m_callSite : at;
    }
    return 0.0;
}

void ExprParser::SkipBlanks()
{
    while (m_pos < m_text.size() && IsBlank(m_text[m_pos]))
        ++m_pos;
}

bool ExprParser::OnlyLineEndsRemain()
{
    SkipBlanks();
    for (size_t i = m_pos; i < m_text.size(); ++i) {
        const char c = m_text[i];
        if (!IsBlank(c) && c != '\n' && c != '\r') {
            m_pos = i;
            return false;
        }
    }
    return true;
}

int ExprParser::PeekOp(int level)
{
    SkipBlanks();
    const std::string_view rest = m_text.substr(m_pos);
    for (int op = 0; op <= OP_COMMA; ++op)
        if (rest.starts_with(kOperators[op].text))
            return kOperators[op].level == level ? op : -1;
    return -1;
}

double ExprParser::Expr(int level)
{
    ++m_steps;
    if (m_depth >= kMaxDepth || (m_inBody && ++m_bodySteps > kMaxBodySteps))
        return Fail(EVAL_TOO_DEEP, m_pos);
    ++m_depth;
    double v;
    switch (level) {
    case 0: v = Comma(); break;
    case 1: v = Assignment(); break;
    case 2: v = Choice(); break;
    case kPrimaryLevel: v = Primary(); break;
    default: v = Binary(level); break;
    }
    --m_depth;
    return v;
}

double ExprParser::Comma()
{
    const double v = Expr(1);
    while (!Failed() && PeekOp(0) >= 0) {
        ++m_pos;
        Expr(1); // computed for its effects, its value dropped
    }
    return v;
}

double ExprParser::Assignment()
{
    const unsigned readsBefore = m_atReads;
    const double left = Expr(2);
    if (Failed())
        return 0.0;
    const int op = PeekOp(1);
    if (op < 0)
        return left;
    Identifier* target = m_atReads != readsBefore ? m_target : nullptr;
    const size_t at = m_pos;
    m_pos += kOperators[op].text.size();
    const double right = Expr(1);
    if (Failed())
        return 0.0;
    double v = right;
    if (op != OP_SET) {
        const double current = target ? target->value : 0.0;
        static constexpr int kBinaryOf[] = {OP_ADD, OP_SUB, OP_MOD, OP_DIV, OP_MUL};
        v = Apply(kBinaryOf[op - OP_ADD_SET], current, right, at);
        if (Failed())
            return 0.0;
    }
    if (target)
        target->value = v;
    return v;
}

double ExprParser::Choice()
{
    const double condition = Expr(3);
    if (Failed() || PeekOp(2) < 0)
        return condition;
    ++m_pos;
    const bool chooseFirst = condition != 0.0;
    m_unchosen += chooseFirst ? 0 : 1;
    const double first = Expr(2);
    m_unchosen -= chooseFirst ? 0 : 1;
    if (Failed())
        return 0.0;
    SkipBlanks();
    if (Peek() != ':')
        return Fail(EVAL_NO_COLON, m_pos);
    ++m_pos;
    m_unchosen += chooseFirst ? 1 : 0;
    const double second = Expr(0);
    m_unchosen -= chooseFirst ? 1 : 0;
    return chooseFirst ? first : second;
}

double ExprParser::Binary(int level)
{
    double v = Expr(level + 1);
    while (!Failed()) {
        const int op = PeekOp(level);
        if (op < 0)
            break;
        const size_t at = m_pos;
        m_pos += kOperators[op].text.size();
        const double right = Expr(level + 1);
        if (Failed())
            break;
        v = Apply(op, v, right, at);
    }
    return v;
}

double ExprParser::Apply(int op, double a, double b, size_t at)
{
    double r = 0.0;
    switch (op) {
    case OP_OR: return (a != 0.0 || b != 0.0) ? 1.0 : 0.0;
    case OP_AND: return (a != 0.0 && b != 0.0) ? 1.0 : 0.0;
    case OP_BIT_OR: return static_cast<double>(Low32(a) | Low32(b));
    case OP_BIT_AND: return static_cast<double>(Low32(a) & Low32(b));
    case OP_EQ: return a == b ? 1.0 : 0.0;
    case OP_NE: return a != b ? 1.0 : 0.0;
    case OP_GT: return a > b ? 1.0 : 0.0;
    case OP_LT: return a < b ? 1.0 : 0.0;
    case OP_GE: return a >= b ? 1.0 : 0.0;
    case OP_LE: return a <= b ? 1.0 : 0.0;
    case OP_SHR: r = a / std::pow(10.0, b); break;
    case OP_SHL: r = a * std::pow(10.0, b); break;
    case OP_ADD: r = a + b; break;
    case OP_SUB: r = a - b; break;
    case OP_MUL: r = a * b; break;
    case OP_DIV:
        if (std::fabs(b) < kTinyDivisor)
            return Fail(EVAL_DIVIDE_BY_ZERO, at);
        r = a / b;
        break;
    case OP_MOD:
        // fmod keeps the sign of the left side; a zero divisor has no
        // remainder at all.
        if (b == 0.0)
            return Fail(EVAL_DIVIDE_BY_ZERO, at);
        r = std::fmod(a, b);
        break;
    case OP_POW: {
        int code;
        r = Guarded(
            [a, b] {
                // Zero to a negative power is a pole on every system.
                if (a == 0 && b < 0)
                    std::feraiseexcept(FE_DIVBYZERO);
                return std::pow(a, b);
            },
            code);
        if (code)
            return Fail(code, at);
        break;
    }
    default: break;
    }
    // Sums and products past the range of a double, and shifts by huge
    // counts, would otherwise go on as infinities.
    if (!std::isfinite(r))
        return Fail(EVAL_FUNC_OVERFLOW, at);
    return r;
}

double ExprParser::Primary()
{
    SkipBlanks();
    const size_t start = m_pos;
    const char c = Peek();
    if (c == '+' || c == '-' || IsDigit(c) || c == '.')
        return Number(start);
    if (c == '(')
        return Parenthesized();
    if (c == '@' || IsNameStart(c))
        return Name(start);
    return Fail(EVAL_UNRECOGNIZED, start);
}

double ExprParser::Number(size_t start)
{
    bool negative = false;
    if (Peek() == '+' || Peek() == '-') {
        negative = Peek() == '-';
        ++m_pos;
        SkipBlanks();
    }
    // A sign belongs to a number only: "-(1)" and "-x" are not read.
    const size_t begin = m_pos;
    const std::string_view rest = m_text.substr(begin, kMaxNumberLength);
    size_t n = 0;
    size_t digits = 0;
    while (n < rest.size() && IsDigit(rest[n]))
        ++n, ++digits;
    if (n < rest.size() && rest[n] == '.') {
        ++n;
        while (n < rest.size() && IsDigit(rest[n]))
            ++n, ++digits;
    }
    if (digits == 0)
        return Fail(EVAL_UNRECOGNIZED, start);
    if (n < rest.size() && (rest[n] == 'e' || rest[n] == 'E' || rest[n] == 'd' || rest[n] == 'D')) {
        // The exponent letter is only part of the number when digits follow.
        size_t k = n + 1;
        if (k < rest.size() && (rest[k] == '+' || rest[k] == '-'))
            ++k;
        if (k < rest.size() && IsDigit(rest[k])) {
            while (k < rest.size() && IsDigit(rest[k]))
                ++k;
            n = k;
        }
    }
    std::string text(rest.substr(0, n));
    if (text[0] == '.')
        text.insert(text.begin(), '0');
    m_pos = begin + n;
    double v;
    if (!ReadNumber(std::move(text), v))
        return Fail(EVAL_FUNC_OVERFLOW, start);
    return negative ? -v : v;
}

double ExprParser::Name(size_t start)
{
    // '@' '@', or an optional '@' and a letter or '_' with letters, digits
    // and '_' after it.
    bool atAt = false;
    if (Peek() == '@') {
        ++m_pos;
        atAt = Peek() == '@';
        if (atAt)
            ++m_pos;
        else if (!IsNameStart(Peek()))
            return Fail(EVAL_UNRECOGNIZED, start);
    }
    if (!atAt)
        while (m_pos < m_text.size() && IsNamePart(m_text[m_pos]))
            ++m_pos;
    const std::string_view name = m_text.substr(start, m_pos - start);
    const bool at = name[0] == '@';
    Identifier* id = m_table.Find(name);
    if (!id) {
        if (!at)
            return Fail(EVAL_UNRECOGNIZED, start);
        id = m_table.AddVariable(name);
    }
    switch (id->kind) {
    case IdentifierKind::Variable:
    case IdentifierKind::Constant:
        if (at) {
            m_target = id->kind == IdentifierKind::Variable ? id : nullptr;
            ++m_atReads;
        }
        return id->value;
    case IdentifierKind::Function: {
        const EvalFunction fn = id->function;
        const double arg = CallArgument();
        if (Failed())
            return 0.0;
        if (!fn)
            return Fail(EVAL_FUNC_ILLEGAL, start);
        int code;
        const double v = Guarded([fn, arg] { return fn(arg); }, code);
        return code ? Fail(code, start) : v;
    }
    case IdentifierKind::UserFunction: {
        const double arg = CallArgument();
        if (Failed())
            return 0.0;
        // Both branches of a choice are computed; calls in the one not taken
        // must not run, so that a function can stop its own recursion.
        if (m_unchosen > 0)
            return 1.0;
        return CallUserFunction(*id, arg, start);
    }
    }
    return 0.0;
}

double ExprParser::CallArgument()
{
    SkipBlanks();
    if (Peek() != '(')
        return Fail(EVAL_NO_OPEN_PAREN, m_pos);
    return Parenthesized();
}

// An expression in parentheses, at the opening one.
double ExprParser::Parenthesized()
{
    ++m_pos;
    const double v = Expr(0);
    if (Failed())
        return 0.0;
    SkipBlanks();
    if (Peek() != ')')
        return Fail(EVAL_NO_CLOSE_PAREN, m_pos);
    ++m_pos;
    return v;
}

double ExprParser::CallUserFunction(const Identifier& fn, double arg, size_t nameAt)
{
    // The body is copied: a function the body calls could redefine it.
    const std::string body = fn.body;
    // @@ is the argument while the body runs and gets its value back
    // afterwards, even when an allocation fails on the way.
    struct ArgumentScope {
        Identifier* self;
        double saved;
        ~ArgumentScope()
        {
            if (self)
                self->value = saved;
        }
    } scope{m_table.Find("@@"), 0.0};
    if (scope.self) {
        scope.saved = scope.self->value;
        scope.self->value = arg;
    }
    const std::string_view text = m_text;
    const size_t pos = m_pos;
    // Names read in the body are not part of the caller's left operand.
    Identifier* target = m_target;
    const unsigned reads = m_atReads;
    const bool outermost = !m_inBody;
    if (outermost) {
        m_inBody = true;
        m_callSite = nameAt;
    }
    m_text = body;
    m_pos = 0;
    double v = Expr(0);
    if (!Failed() && !OnlyLineEndsRemain())
        Fail(EVAL_UNRECOGNIZED, m_pos);
    m_text = text;
    m_pos = pos;
    m_target = target;
    m_atReads = reads;
    if (outermost)
        m_inBody = false;
    return v;
}

} // namespace kestrel
