#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "calc/evaluator.h"
#include "model/contract/values.h"

using namespace kestrel;

namespace {

// Every test starts from a fresh evaluator with only the predefined names.
class Eval : public ::testing::Test {
protected:
    // The value of a text that must evaluate without error.
    double Value(std::string_view text)
    {
        const double v = ev.Evaluate(text);
        EXPECT_EQ(ev.ErrorCode(), 0) << "'" << text << "': " << ev.ErrorMessage() << " at "
                                     << ev.ErrorOffset();
        return v;
    }

    // Evaluates a text that must fail with that code at that offset.
    void ExpectError(std::string_view text, int code, int offset)
    {
        const double v = ev.Evaluate(text);
        EXPECT_EQ(ev.ErrorCode(), code) << "'" << text << "'";
        EXPECT_EQ(ev.ErrorOffset(), offset) << "'" << text << "'";
        EXPECT_STREQ(ev.ErrorMessage(), Evaluator::ErrorText(code));
        EXPECT_TRUE(IsBlankValue(v)) << "'" << text << "' gave " << v;
    }

    double Var(std::string_view name)
    {
        // Reading an '@' name as an expression gives its value.
        return Value(name);
    }

    // The identifier operations' outcome as its code (0 for success); a
    // failure carries the code's message.
    static int Code(const Status& s)
    {
        if (s.ok())
            return 0;
        EXPECT_EQ(s.errorText(), Evaluator::ErrorText(s.errorCode()));
        return s.errorCode();
    }
    int SetVariable(std::string_view name, double value) { return Code(ev.SetVariable(name, value)); }
    int DefineConstant(std::string_view name, double value) { return Code(ev.DefineConstant(name, value)); }
    int DefineFunction(std::string_view name, EvalFunction fn) { return Code(ev.DefineFunction(name, fn)); }
    int DefineUserFunction(std::string_view name, std::string_view body)
    {
        return Code(ev.DefineUserFunction(name, body));
    }

    Evaluator ev;
};

} // namespace

TEST_F(Eval, LevelsBindFromLoosestToTightest)
{
    EXPECT_EQ(Value("2+3*4"), 14);
    EXPECT_EQ(Value("2*3^2"), 18);
    EXPECT_EQ(Value("1+2>>1"), 0.3); // the shift is looser than the sum
    EXPECT_EQ(Value("1+1<<1"), 20);
    EXPECT_EQ(Value("1<2==1"), 1); // (1<2)==1
    EXPECT_EQ(Value("2==2>1"), 0); // 2==(2>1)
    EXPECT_EQ(Value("5|2&3"), 7);  // 5|(2&3)
    EXPECT_EQ(Value("6&3==3"), 0); // 6&(3==3) is 6&1
    EXPECT_EQ(Value("1||0&&0"), 1);
    EXPECT_EQ(Value("0&&1||1"), 1);
    EXPECT_EQ(Value("2>1 ? 10 : 20"), 10);
    EXPECT_EQ(Value("1, 2"), 1);
    EXPECT_EQ(Value("(2+3)*4"), 20);
    EXPECT_EQ(Value("  7\t- 2 "), 5);
}

TEST_F(Eval, BinaryLevelsGroupToTheLeft)
{
    EXPECT_EQ(Value("2^3^2"), 64);
    EXPECT_EQ(Value("10-4-3"), 3);
    EXPECT_EQ(Value("100/10/5"), 2);
    EXPECT_EQ(Value("100%7%4"), 2);
    EXPECT_EQ(Value("1<<2>>1"), 10);
    EXPECT_EQ(Value("3>2>1"), 0);
    EXPECT_EQ(Value("3!=2!=1"), 0);
}

TEST_F(Eval, ChoiceAndAssignmentGroupToTheRight)
{
    EXPECT_EQ(Value("0 ? 1 : 0 ? 2 : 3"), 3);
    EXPECT_EQ(Value("1 ? 0 ? 5 : 6 : 7"), 6);
    EXPECT_EQ(Value("@a = @b = 3"), 3);
    EXPECT_EQ(Var("@a"), 3);
    EXPECT_EQ(Var("@b"), 3);
}

TEST_F(Eval, OperatorFoundFirstOnlyCountsAtItsOwnLevel)
{
    // "-=" is found before "-": the sum level sees no operator and the
    // assignment level takes it (no target, so 0 - 1).
    EXPECT_EQ(Value("4 -= 1"), -1);
    EXPECT_EQ(Value("2 <= 2"), 1);
    EXPECT_EQ(Value("3 >= 4"), 0);
    EXPECT_EQ(Value("1 << 1"), 10);
    EXPECT_EQ(Value("1 && 1"), 1);
    ExpectError("5 & & 3", EVAL_UNRECOGNIZED, 4);
    ExpectError("2 ^= 3", EVAL_UNRECOGNIZED, 3);
}

TEST_F(Eval, ShiftsAreDecimal)
{
    EXPECT_EQ(Value("10>>2"), 0.1);
    EXPECT_EQ(Value("1.5<<2"), 150);
    EXPECT_EQ(Value("5<<0"), 5);
    EXPECT_EQ(Value("1>>-1"), 10);
    ExpectError("1<<400", EVAL_FUNC_OVERFLOW, 1);
}

TEST_F(Eval, RemainderTakesTheSignOfTheLeftSide)
{
    EXPECT_EQ(Value("7 % 3"), 1);
    EXPECT_EQ(Value("-7 % 3"), -1);
    EXPECT_EQ(Value("7 % -3"), 1);
    EXPECT_EQ(Value("7.5 % 2"), 1.5);
    ExpectError("7 % 0", EVAL_DIVIDE_BY_ZERO, 2);
}

TEST_F(Eval, DivisorsBelowOneTenBillionthAreZero)
{
    ExpectError("1/0", EVAL_DIVIDE_BY_ZERO, 1);
    ExpectError("1 / 1e-11", EVAL_DIVIDE_BY_ZERO, 2);
    ExpectError("1/-0.00000000009", EVAL_DIVIDE_BY_ZERO, 1);
    EXPECT_DOUBLE_EQ(Value("1/1e-9"), 1e9);
}

TEST_F(Eval, BitwiseOperatorsCombineTheLow32BitsAsUnsigned)
{
    EXPECT_EQ(Value("6 & 3"), 2);
    EXPECT_EQ(Value("6 | 3"), 7);
    EXPECT_EQ(Value("-1 | 0"), 4294967295.0);
    EXPECT_EQ(Value("-1 & 4294967295"), 4294967295.0);
    EXPECT_EQ(Value("2.9 | 0"), 2);
    EXPECT_EQ(Value("-2.9 | 0"), 4294967294.0);
    EXPECT_EQ(Value("4294967296 | 1"), 1);
    EXPECT_EQ(Value("1e20 | 0"), 1661992960.0);
}

TEST_F(Eval, LogicalOperatorsGiveOneOrZero)
{
    EXPECT_EQ(Value("5 && -2"), 1);
    EXPECT_EQ(Value("5 && 0"), 0);
    EXPECT_EQ(Value("0 || 0.5"), 1);
    EXPECT_EQ(Value("0 || 0"), 0);
    // Both sides are computed even when the left decides.
    EXPECT_EQ(Value("0 && (@side = 4)"), 0);
    EXPECT_EQ(Var("@side"), 4);
}

TEST_F(Eval, ComparisonsAreExact)
{
    EXPECT_EQ(Value("0.1 + 0.2 == 0.3"), 0);
    EXPECT_EQ(Value("0.5 + 0.25 == 0.75"), 1);
    EXPECT_EQ(Value("1 != 1.0000001"), 1);
}

TEST_F(Eval, NumbersTakeTheirSignButOnlyBeforeDigits)
{
    EXPECT_EQ(Value("- 1"), -1);
    EXPECT_EQ(Value("+ 2"), 2);
    EXPECT_EQ(Value("2*-3"), -6);
    EXPECT_EQ(Value("2--3"), 5);
    ExpectError("-(1)", EVAL_UNRECOGNIZED, 0);
    ExpectError("2 * -pi", EVAL_UNRECOGNIZED, 4);
    ExpectError("-@a", EVAL_UNRECOGNIZED, 0);
}

TEST_F(Eval, NumberForms)
{
    EXPECT_EQ(Value(".5"), 0.5);
    EXPECT_EQ(Value("3."), 3);
    EXPECT_EQ(Value("1d3"), 1000);
    EXPECT_EQ(Value("1D-3"), 0.001);
    EXPECT_EQ(Value("2.5E+2"), 250);
    EXPECT_EQ(Value("1e-400"), 0);
    // An exponent letter without digits is not part of the number.
    ExpectError("2e", EVAL_UNRECOGNIZED, 1);
    ExpectError(".", EVAL_UNRECOGNIZED, 0);
    ExpectError("1e999", EVAL_FUNC_OVERFLOW, 0);
    ExpectError("-1e400", EVAL_FUNC_OVERFLOW, 0);
    // Out of range is told apart by where the leading digit stands.
    ExpectError("1" + std::string(120, '0') + "e200", EVAL_FUNC_OVERFLOW, 0);
    EXPECT_EQ(Value("0." + std::string(100, '0') + "1e-300"), 0);
    ExpectError("1e" + std::string(100, '9'), EVAL_FUNC_OVERFLOW, 0);
    EXPECT_EQ(Value("1e-" + std::string(100, '9')), 0);
}

TEST_F(Eval, NumbersLongerThan128CharactersAreCut)
{
    const std::string ok = "0." + std::string(126, '0');
    EXPECT_EQ(Value(ok), 0);
    ExpectError(ok + "1", EVAL_UNRECOGNIZED, 128);
}

TEST_F(Eval, NamesAndPredefinedValues)
{
    EXPECT_EQ(Value("pi"), 3.1415926535);
    EXPECT_EQ(Value("e"), 2.718281828459045);
    EXPECT_EQ(Value("PI"), Value("pi"));
    EXPECT_EQ(Value("@@"), 0);
    ExpectError("x", EVAL_UNRECOGNIZED, 0);
    ExpectError("1 + _y", EVAL_UNRECOGNIZED, 4);
    ExpectError("@", EVAL_UNRECOGNIZED, 0);
    ExpectError("@1", EVAL_UNRECOGNIZED, 0);
    ExpectError("@@x", EVAL_UNRECOGNIZED, 2);
}

TEST_F(Eval, AtNamesAreCreatedOnFirstUse)
{
    EXPECT_EQ(Value("@x"), 0);
    // The variable exists now: setting it by name updates it.
    EXPECT_EQ(SetVariable("@X", 7), 0);
    EXPECT_EQ(Value("@x"), 7);
    EXPECT_EQ(Value("@Long_Name_2 + 1"), 1);
}

TEST_F(Eval, Functions)
{
    EXPECT_EQ(Value("sqrt(16)"), 4);
    EXPECT_EQ(Value("SQRT (16)"), 4);
    EXPECT_EQ(Value("abs(-3)"), 3);
    EXPECT_EQ(Value("log10(1000)"), 3);
    EXPECT_EQ(Value("log(e)"), 1);
    EXPECT_EQ(Value("floor(-1.5) + ceil(1.2)"), 0);
    EXPECT_DOUBLE_EQ(Value("cos(0) + sin(0) + tan(0) + atan(0) + asin(0) + acos(1)"), 1);
    EXPECT_DOUBLE_EQ(Value("cosh(0) + sinh(0) + exp(0)"), 2);
    EXPECT_EQ(Value("sqrt(3*3, 5)"), 3); // the argument is a whole expression
    ExpectError("sqrt 4", EVAL_NO_OPEN_PAREN, 5);
    ExpectError("sqrt", EVAL_NO_OPEN_PAREN, 4);
    ExpectError("sqrt(4", EVAL_NO_CLOSE_PAREN, 6);
}

TEST_F(Eval, MathematicalErrorsAreMapped)
{
    ExpectError("sqrt(-1)", EVAL_FUNC_PARAM_RANGE, 0);
    ExpectError("2 + acos(2)", EVAL_FUNC_PARAM_RANGE, 4);
    ExpectError("log(-1)", EVAL_FUNC_PARAM_RANGE, 0);
    ExpectError("log(0)", EVAL_FUNC_ILLEGAL, 0);
    ExpectError("exp(1000)", EVAL_FUNC_OVERFLOW, 0);
    ExpectError("exp(-1000)", EVAL_FUNC_OVERFLOW, 0);
    ExpectError("cosh(1000)", EVAL_FUNC_OVERFLOW, 0);
    ExpectError("sin(1e300)", EVAL_FUNC_RESULT_RANGE, 0);
    ExpectError("tan(-1e17)", EVAL_FUNC_RESULT_RANGE, 0);
    // The system's own sine, not the compiler's.
    volatile double far = 1e10;
    EXPECT_NEAR(Value("sin(1e10)"), std::sin(far), 1e-12);
    ExpectError("(-8)^0.5", EVAL_FUNC_PARAM_RANGE, 4);
    ExpectError("0^-1", EVAL_FUNC_ILLEGAL, 1);
    ExpectError("10^400", EVAL_FUNC_OVERFLOW, 2);
    ExpectError("1e308*10", EVAL_FUNC_OVERFLOW, 5);
    ExpectError("-1e308-1e308", EVAL_FUNC_OVERFLOW, 6);
}

TEST_F(Eval, DefinedFunctionsAreCalledAndChecked)
{
    EXPECT_EQ(DefineFunction("half", [](double x) { return x / 2; }), 0);
    EXPECT_EQ(Value("half(9)"), 4.5);
    // Replacing the payload of a function keeps its kind.
    EXPECT_EQ(DefineFunction("half", [](double x) { return x / 4; }), 0);
    EXPECT_EQ(Value("half(9)"), 2.25);
    EXPECT_EQ(DefineFunction("inf", [](double) { return std::numeric_limits<double>::infinity(); }), 0);
    ExpectError("inf(1)", EVAL_FUNC_OVERFLOW, 0);
    EXPECT_EQ(DefineFunction("nan", [](double) { return std::nan(""); }), 0);
    ExpectError("nan(1)", EVAL_FUNC_PARAM_RANGE, 0);
    EXPECT_EQ(DefineFunction("none", nullptr), 0);
    ExpectError("none(1)", EVAL_FUNC_ILLEGAL, 0);
}

TEST_F(Eval, CommaKeepsTheLeftValueAndComputesTheRight)
{
    EXPECT_EQ(Value("@a = 5, @a * 2"), 5);
    EXPECT_EQ(Var("@a"), 5);
    EXPECT_EQ(Value("1, @b = 2, @c = 3"), 1);
    EXPECT_EQ(Var("@b"), 2);
    EXPECT_EQ(Var("@c"), 3);
}

TEST_F(Eval, CompoundAssignments)
{
    EXPECT_EQ(Value("@b += 3"), 3);
    EXPECT_EQ(Value("@b *= 4"), 12);
    EXPECT_EQ(Value("@b -= 2"), 10);
    EXPECT_EQ(Value("@b /= 4"), 2.5);
    EXPECT_EQ(Value("@b %= 2"), 0.5);
    ExpectError("@b /= 0", EVAL_DIVIDE_BY_ZERO, 3);
    ExpectError("@b %= 0", EVAL_DIVIDE_BY_ZERO, 3);
    EXPECT_EQ(Var("@b"), 0.5);
}

TEST_F(Eval, AssignmentTargetIsTheLastAtVariableOfTheLeftOperand)
{
    EXPECT_EQ(Value("@p + @q = 4"), 4);
    EXPECT_EQ(Var("@p"), 0);
    EXPECT_EQ(Var("@q"), 4);
    // Without an '@' name on the left nothing is stored; a compound
    // assignment then combines with 0.
    EXPECT_EQ(Value("@q, 5 = 7"), 4);
    EXPECT_EQ(Var("@q"), 4);
    EXPECT_EQ(Value("2 -= 3"), -3);
    // A name read on the right side does not become the target.
    EXPECT_EQ(Value("@m = 1 + @n"), 1);
    EXPECT_EQ(Var("@m"), 1);
    EXPECT_EQ(Var("@n"), 0);
    // Only variables are targets: a constant whose name begins with '@'
    // keeps its value.
    EXPECT_EQ(DefineConstant("@k", 2), 0);
    EXPECT_EQ(Value("@k = 5"), 5);
    EXPECT_EQ(Var("@k"), 2);
    EXPECT_EQ(Value("@q + @k = 9"), 9);
    EXPECT_EQ(Var("@q"), 4);
}

TEST_F(Eval, ChoiceComputesBothBranches)
{
    EXPECT_EQ(Value("1 ? 2 : 3"), 2);
    EXPECT_EQ(Value("0 ? 2 : 3"), 3);
    EXPECT_EQ(Value("0.5 ? (@s = 1) : (@t = 2)"), 1);
    EXPECT_EQ(Var("@s"), 1);
    EXPECT_EQ(Var("@t"), 2);
    // The else-part is read at the comma level.
    EXPECT_EQ(Value("0 ? 1 : 2, 3"), 2);
    EXPECT_EQ(Value("1 ? 1 : 2, @u = 9"), 1);
    EXPECT_EQ(Var("@u"), 9);
    ExpectError("1 ? 2", EVAL_NO_COLON, 5);
    // The then-part is read at the choice level: an assignment there needs
    // parentheses.
    ExpectError("1 ? @v = 1 : 2", EVAL_NO_COLON, 7);
    ExpectError("1 ? 1/0 : 2", EVAL_DIVIDE_BY_ZERO, 5);
}

TEST_F(Eval, SetDefinesAUserFunction)
{
    EXPECT_EQ(SetVariable("@@", 7), 0);
    EXPECT_EQ(Value("set twice = @@*2"), 0);
    EXPECT_EQ(Value("twice(4)"), 8);
    EXPECT_EQ(Var("@@"), 7);
    EXPECT_EQ(Value("TWICE(twice(1)) + 1"), 5);
    EXPECT_EQ(Value("\t SeT  twice=@@*3"), 0);
    EXPECT_EQ(Value("twice(4)"), 12);
    EXPECT_EQ(Value("set my_rate = @@ / 100"), 0);
    EXPECT_EQ(Value("my_rate(5)"), 0.05);
    EXPECT_EQ(Value("set nothing ="), 0);
    ExpectError("nothing(1)", EVAL_UNRECOGNIZED, 0);
}

TEST_F(Eval, SetWithoutNameOrEqualsIsEvaluated)
{
    ExpectError("set f", EVAL_UNRECOGNIZED, 0);
    ExpectError("set = 3", EVAL_UNRECOGNIZED, 0);
    ExpectError("set\tf = 3", EVAL_UNRECOGNIZED, 0);
    ExpectError("set @f = 3", EVAL_UNRECOGNIZED, 0);
    ExpectError("f(1)", EVAL_UNRECOGNIZED, 0);
}

TEST_F(Eval, SetOverAnotherKindIsRefused)
{
    ExpectError("set sin = @@", EVAL_TYPE_CHANGE, 4);
    EXPECT_EQ(Value("sin(0)"), 0);
    ExpectError("set pi = 3", EVAL_TYPE_CHANGE, 4);
}

TEST_F(Eval, UnchosenBranchDoesNotRunUserFunctions)
{
    EXPECT_EQ(Value("set bump = @cnt += 1"), 0);
    EXPECT_EQ(Value("1 ? 5 : bump(0)"), 5);
    EXPECT_EQ(Var("@cnt"), 0);
    EXPECT_EQ(Value("1 ? bump(0) : 5"), 1);
    EXPECT_EQ(Var("@cnt"), 1);
    // The call in the branch not taken yields 1.
    EXPECT_EQ(Value("0 ? (@w = bump(0) + 10) : 3"), 3);
    EXPECT_EQ(Var("@w"), 11);
    EXPECT_EQ(Var("@cnt"), 1);
    // Nested choices inside the branch not taken run nothing either.
    EXPECT_EQ(Value("0 ? (1 ? bump(0) : 2) : 3"), 3);
    EXPECT_EQ(Var("@cnt"), 1);
    // Which lets a function end its own recursion.
    EXPECT_EQ(Value("set fact = @@ <= 1 ? 1 : @@ * fact(@@ - 1)"), 0);
    EXPECT_EQ(Value("fact(5)"), 120);
}

TEST_F(Eval, UserFunctionErrorsAreReportedAtTheCall)
{
    EXPECT_EQ(Value("set bad = 1 + 1/@@"), 0);
    ExpectError("2 + bad(0)", EVAL_DIVIDE_BY_ZERO, 4);
    EXPECT_EQ(Value("bad(2)"), 1.5);
    EXPECT_EQ(Value("set junk = @@ 5"), 0);
    ExpectError("1 + junk(1)", EVAL_UNRECOGNIZED, 4);
    EXPECT_EQ(Value("set loop = loop(@@)"), 0);
    ExpectError("7 * loop(1)", EVAL_TOO_DEEP, 4);
    // @@ is back as it was after the failed calls.
    EXPECT_EQ(Var("@@"), 0);
}

TEST_F(Eval, UserFunctionBodyDoesNotProvideTheAssignmentTarget)
{
    EXPECT_EQ(Value("set id = @@"), 0);
    EXPECT_EQ(Value("@r + id(1) = 6"), 6);
    EXPECT_EQ(Var("@r"), 6);
    EXPECT_EQ(Var("@@"), 0);
}

TEST_F(Eval, EmptyTexts)
{
    ExpectError("", EVAL_EMPTY, 0);
    ExpectError("\n1", EVAL_EMPTY, 0);
    ExpectError("\r", EVAL_EMPTY, 0);
    ExpectError(std::string_view("\0"
                                 "1",
                                 2),
                EVAL_EMPTY, 0);
    ExpectError("   ", EVAL_UNRECOGNIZED, 3);
}

TEST_F(Eval, WhatFollowsTheExpression)
{
    EXPECT_EQ(Value("1 \r\n"), 1);
    EXPECT_EQ(Value(std::string_view("1+2\0junk", 8)), 3);
    ExpectError("1 2", EVAL_UNRECOGNIZED, 2);
    ExpectError("1\n+2", EVAL_UNRECOGNIZED, 2);
    ExpectError("(1))", EVAL_UNRECOGNIZED, 3);
    ExpectError("1 :", EVAL_UNRECOGNIZED, 2);
}

TEST_F(Eval, OnlyTheFirstErrorIsKept)
{
    ExpectError("(1/0", EVAL_DIVIDE_BY_ZERO, 2);
    ExpectError("sqrt(-1) + x", EVAL_FUNC_PARAM_RANGE, 0);
    // The next evaluation starts clean.
    EXPECT_EQ(Value("1"), 1);
    EXPECT_STREQ(ev.ErrorMessage(), "No Error");
}

TEST_F(Eval, HostileNestingIsRefusedNotOverflowed)
{
    const std::string parens = std::string(100000, '(') + "1" + std::string(100000, ')');
    const double v = ev.Evaluate(parens);
    EXPECT_EQ(ev.ErrorCode(), EVAL_TOO_DEEP);
    EXPECT_TRUE(IsBlankValue(v));
    std::string chain;
    for (int i = 0; i < 50000; ++i)
        chain += "@a=";
    ev.Evaluate(chain + "1");
    EXPECT_EQ(ev.ErrorCode(), EVAL_TOO_DEEP);
    std::string choices;
    for (int i = 0; i < 50000; ++i)
        choices += "1?1:";
    ev.Evaluate(choices + "1");
    EXPECT_EQ(ev.ErrorCode(), EVAL_TOO_DEEP);
    // Ordinary nesting is far from the limit, and long flat chains loop.
    EXPECT_EQ(Value(std::string(100, '(') + "2" + std::string(100, ')')), 2);
    std::string sum = "0";
    for (int i = 0; i < 100000; ++i)
        sum += "+1";
    EXPECT_EQ(Value(sum), 100000);
}

TEST_F(Eval, RunawayUserFunctionsAreStopped)
{
    // Two calls per level: 2^40 calls would never end.
    EXPECT_EQ(Value("set f = @@ > 0 ? f(@@-1) + f(@@-1) : 1"), 0);
    EXPECT_EQ(Value("f(10)"), 1024);
    ExpectError("1 + f(40)", EVAL_TOO_DEEP, 4);
    EXPECT_EQ(Value("f(3)"), 8);
    // A long body run many times is stopped as well.
    std::string body = "@@ > 0 ? g(@@-1) + g(@@-1) : 1";
    for (int i = 0; i < 5000; ++i)
        body += "+0";
    EXPECT_EQ(Value("set g = " + body), 0);
    EXPECT_EQ(Value("g(2)"), 4);
    ExpectError("g(8)", EVAL_TOO_DEEP, 0);
}

TEST_F(Eval, MessagesOfEveryCode)
{
    // Each named code with its message: a code renumbered or a message
    // moved to the wrong row shows here.
    const std::pair<int, const char*> expected[] = {
        {EVAL_OK, "No Error"},
        {EVAL_NO_CLOSE_PAREN, "Closing Parenthesis expected ')'"},
        {EVAL_NO_OPEN_PAREN, "Opening Parenthesis expected '('"},
        {EVAL_UNRECOGNIZED, "Unrecognized character"},
        {EVAL_EMPTY, "Empty String"},
        {EVAL_FUNC_OVERFLOW, "Function Overflow"},
        {EVAL_FUNC_PARAM_RANGE, "Function param out of range"},
        {EVAL_FUNC_ILLEGAL, "Illegal function value"},
        {EVAL_FUNC_RESULT_RANGE, "Function result out of range"},
        {EVAL_DIVIDE_BY_ZERO, "Divide by zero error"},
        {EVAL_NO_COLON, "Colon Expected ':'"},
        {EVAL_NO_MEMORY, "Not enough memory"},
        {EVAL_TYPE_CHANGE, "Cannot change identifier type"},
        {EVAL_TOO_DEEP, "Too deeply nested"},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(expected[i].first, static_cast<int>(i));
        EXPECT_STREQ(Evaluator::ErrorText(expected[i].first), expected[i].second) << i;
    }
    // Codes past either end of the table have a text of their own.
    for (const int code :
         {EVAL_TOO_DEEP + 1, -1, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()})
        EXPECT_STREQ(Evaluator::ErrorText(code), "Unknown error") << code;
}

TEST_F(Eval, IdentifierKindsCannotChange)
{
    EXPECT_EQ(SetVariable("rate", 0.5), 0);
    EXPECT_EQ(Value("rate * 4"), 2);
    EXPECT_EQ(SetVariable("RATE", 0.25), 0);
    EXPECT_EQ(Value("rate * 4"), 1);

    EXPECT_EQ(SetVariable("pi", 3), EVAL_TYPE_CHANGE);
    EXPECT_EQ(ev.ErrorCode(), EVAL_TYPE_CHANGE);
    EXPECT_STREQ(ev.ErrorMessage(), "Cannot change identifier type");
    EXPECT_EQ(SetVariable("sqrt", 3), EVAL_TYPE_CHANGE);
    EXPECT_EQ(DefineConstant("pi", 3), EVAL_TYPE_CHANGE);
    EXPECT_EQ(DefineConstant("rate", 3), EVAL_TYPE_CHANGE);
    EXPECT_EQ(DefineConstant("gold", 1.618), 0);
    EXPECT_EQ(DefineConstant("gold", 1.618), EVAL_TYPE_CHANGE);
    EXPECT_EQ(DefineFunction("rate", nullptr), EVAL_TYPE_CHANGE);
    EXPECT_EQ(DefineFunction("pi", nullptr), EVAL_TYPE_CHANGE);
    EXPECT_EQ(DefineUserFunction("sqrt", "@@"), EVAL_TYPE_CHANGE);
    EXPECT_EQ(DefineUserFunction("dbl", "@@*2"), 0);
    EXPECT_EQ(ev.ErrorCode(), 0);
    EXPECT_EQ(SetVariable("dbl", 1), EVAL_TYPE_CHANGE);
    EXPECT_EQ(DefineFunction("dbl", nullptr), EVAL_TYPE_CHANGE);
    EXPECT_EQ(DefineUserFunction("dbl", "@@*4"), 0);
    EXPECT_EQ(Value("dbl(2)"), 8);
    // Values are unchanged by refused operations.
    EXPECT_EQ(Value("pi"), 3.1415926535);
    EXPECT_EQ(Value("rate"), 0.25);
    EXPECT_EQ(Value("gold"), 1.618);
}

TEST_F(Eval, ClearForgetsEverythingButThePredefinedNames)
{
    EXPECT_EQ(Value("@x = 5"), 5);
    EXPECT_EQ(Value("set twice = @@*2"), 0);
    EXPECT_EQ(DefineConstant("gold", 1.618), 0);
    ev.Clear();
    EXPECT_EQ(Value("@x"), 0);
    ExpectError("twice(1)", EVAL_UNRECOGNIZED, 0);
    ExpectError("gold", EVAL_UNRECOGNIZED, 0);
    EXPECT_EQ(Value("sqrt(pi*pi)"), 3.1415926535);
    // Identifier operations build the table too.
    ev.Clear();
    EXPECT_EQ(SetVariable("pi", 1), EVAL_TYPE_CHANGE);
}

TEST_F(Eval, StepsMeasureTheWorkOfTheLastEvaluation)
{
    EXPECT_EQ(Value("1"), 1);
    const long long one = ev.LastSteps();
    EXPECT_GT(one, 0);
    EXPECT_GT((Value("1+2*3"), ev.LastSteps()), one);
    // The steps inside user functions count: twice the calls, twice the
    // steps and a little more.
    EXPECT_EQ(Value("set f = @@ > 0 ? f(@@-1) + f(@@-1) : 1"), 0);
    EXPECT_EQ(ev.LastSteps(), 0);
    EXPECT_EQ(Value("f(6)"), 64);
    const long long six = ev.LastSteps();
    EXPECT_EQ(Value("f(7)"), 128);
    EXPECT_GT(ev.LastSteps(), 2 * six - one);
    EXPECT_LT(ev.LastSteps(), 2 * six + 4 * one);
    // A failed evaluation tells its steps too; an empty text takes none.
    EXPECT_EQ(Value("f(3)"), 8);
    const long long three = ev.LastSteps();
    ExpectError("f(3) + 1/0", EVAL_DIVIDE_BY_ZERO, 8);
    EXPECT_GT(ev.LastSteps(), three);
    ExpectError("", EVAL_EMPTY, 0);
    EXPECT_EQ(ev.LastSteps(), 0);
}

TEST(Evaluators, EachOwnsItsTableAndItsError)
{
    Evaluator a, b;
    EXPECT_EQ(a.Evaluate("@x = 5"), 5);
    EXPECT_EQ(a.Evaluate("set twice = @@*2"), 0);
    EXPECT_EQ(b.Evaluate("@x"), 0);
    EXPECT_TRUE(IsBlankValue(b.Evaluate("twice(1)")));
    EXPECT_EQ(b.ErrorCode(), EVAL_UNRECOGNIZED);
    EXPECT_EQ(a.ErrorCode(), EVAL_OK);
    EXPECT_EQ(a.Evaluate("twice(@x)"), 10);
    EXPECT_EQ(b.ErrorCode(), EVAL_UNRECOGNIZED);
    EXPECT_EQ(b.ErrorOffset(), 0);
    EXPECT_FALSE(b.SetVariable("pi", 1).ok());
    EXPECT_EQ(a.ErrorCode(), EVAL_OK);

    // A copy starts with the same identifiers and goes its own way.
    Evaluator c = a;
    EXPECT_EQ(c.Evaluate("@x = 7"), 7);
    EXPECT_EQ(c.Evaluate("set twice = @@*3"), 0);
    EXPECT_EQ(a.Evaluate("twice(@x)"), 10);
    EXPECT_EQ(c.Evaluate("twice(@x)"), 21);
    a.Clear();
    EXPECT_EQ(c.Evaluate("@x"), 7);
    b = c;
    c.Clear();
    EXPECT_EQ(b.Evaluate("twice(@x)"), 21);
    EXPECT_EQ(c.Evaluate("@x"), 0);
}
