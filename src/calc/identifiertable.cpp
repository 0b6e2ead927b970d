#include "calc/identifiertable.h"

#include <cerrno>
#include <cfenv>
#include <cmath>

#include "calc/codepage.h"

namespace kestrel {

namespace {

// Set by a predefined function and read straight after the call by the
// evaluation that made it; per thread, so that evaluators on different
// threads never see each other's note.
thread_local bool g_totalLoss = false;

// Beyond 2^55 neighbouring doubles lie more than 2 pi apart: the argument no
// longer says where in its period it is, so a sine of it means nothing.
constexpr double kTrigLimit = 36028797018963968.0;

double CheckedTrig(double (*fn)(double), double x)
{
    if (std::fabs(x) >= kTrigLimit) {
        g_totalLoss = true;
        return 0.0;
    }
    return fn(x);
}

// The standard functions may not have their address taken, hence wrappers.
double Sin(double x)
{
    return CheckedTrig([](double v) { return std::sin(v); }, x);
}
double Cos(double x)
{
    return CheckedTrig([](double v) { return std::cos(v); }, x);
}
double Tan(double x)
{
    return CheckedTrig([](double v) { return std::tan(v); }, x);
}
double Asin(double x)
{
    return std::asin(x);
}
double Acos(double x)
{
    return std::acos(x);
}
double Atan(double x)
{
    return std::atan(x);
}
double Abs(double x)
{
    return std::fabs(x);
}
double Ceil(double x)
{
    return std::ceil(x);
}
double Cosh(double x)
{
    return std::cosh(x);
}
double Sinh(double x)
{
    return std::sinh(x);
}
// The C libraries differ in how they report a pole or an underflow (some
// neither raise the flag nor set errno), so these say it themselves, as
// the GNU C library does: a pole raises division by zero, an exponential
// too small to hold sets ERANGE.
double Exp(double x)
{
    const double r = std::exp(x);
    if (r == 0 && std::isfinite(x))
        errno = ERANGE;
    return r;
}
double Floor(double x)
{
    return std::floor(x);
}
double Log10(double x)
{
    if (x == 0)
        std::feraiseexcept(FE_DIVBYZERO);
    return std::log10(x);
}
double Log(double x)
{
    if (x == 0)
        std::feraiseexcept(FE_DIVBYZERO);
    return std::log(x);
}
double Sqrt(double x)
{
    return std::sqrt(x);
}

struct Predefined {
    const char* name;
    EvalFunction fn;
};

constexpr Predefined kFunctions[] = {
    {"sin", Sin},   {"cos", Cos},     {"tan", Tan},     {"asin", Asin}, {"acos", Acos},
    {"atan", Atan}, {"abs", Abs},     {"ceil", Ceil},   {"cosh", Cosh}, {"sinh", Sinh},
    {"exp", Exp},   {"floor", Floor}, {"log10", Log10}, {"log", Log},   {"sqrt", Sqrt},
};

} // namespace

bool TakeTotalLossOfPrecision()
{
    const bool lost = g_totalLoss;
    g_totalLoss = false;
    return lost;
}

bool IdentifierTable::NoCaseLess::operator()(std::string_view a, std::string_view b) const
{
    return CompareNoCase(a, b) < 0;
}

IdentifierTable::IdentifierTable()
{
    // The customary order of definition, "@@" first.
    Add("@@", IdentifierKind::Variable);
    Add("pi", IdentifierKind::Constant).value = 3.1415926535;
    // The true base of the natural logarithm.
    Add("e", IdentifierKind::Constant).value = 2.718281828459045;
    for (const auto& f : kFunctions)
        Add(f.name, IdentifierKind::Function).function = f.fn;
}

Identifier& IdentifierTable::Add(std::string_view name, IdentifierKind kind)
{
    Identifier& id = m_names[std::string(name)];
    id.kind = kind;
    return id;
}

Identifier* IdentifierTable::Find(std::string_view name)
{
    const auto it = m_names.find(name);
    return it == m_names.end() ? nullptr : &it->second;
}

Identifier* IdentifierTable::AddVariable(std::string_view name)
{
    return &Add(name, IdentifierKind::Variable);
}

int IdentifierTable::SetVariable(std::string_view name, double value)
{
    Identifier* id = Find(name);
    if (!id)
        id = AddVariable(name);
    else if (id->kind != IdentifierKind::Variable)
        return EVAL_TYPE_CHANGE;
    id->value = value;
    return EVAL_OK;
}

int IdentifierTable::DefineConstant(std::string_view name, double value)
{
    if (Find(name))
        return EVAL_TYPE_CHANGE;
    Add(name, IdentifierKind::Constant).value = value;
    return EVAL_OK;
}

int IdentifierTable::DefineFunction(std::string_view name, EvalFunction fn)
{
    Identifier* id = Find(name);
    if (id && id->kind != IdentifierKind::Function)
        return EVAL_TYPE_CHANGE;
    if (!id)
        id = &Add(name, IdentifierKind::Function);
    id->function = fn;
    return EVAL_OK;
}

int IdentifierTable::DefineUserFunction(std::string_view name, std::string_view body)
{
    Identifier* id = Find(name);
    if (id && id->kind != IdentifierKind::UserFunction)
        return EVAL_TYPE_CHANGE;
    if (!id)
        id = &Add(name, IdentifierKind::UserFunction);
    id->body.assign(body);
    return EVAL_OK;
}

} // namespace kestrel
