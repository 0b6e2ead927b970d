#pragma once
// One evaluation of an expression text over the identifier table: a
// recursive-descent parser that computes as it reads.

#include <cstddef>
#include <string_view>

namespace kestrel {

class IdentifierTable;
struct Identifier;

struct EvalResult {
    double value = 0.0;
    int code = 0;        // 0, or the first error met
    size_t offset = 0;   // where in the text that error was found
    long long steps = 0; // parse steps taken, those in user functions included
};

class ExprParser {
public:
    ExprParser(IdentifierTable& table, std::string_view text);

    // Reads the whole text as an expression; on error the value is blank.
    EvalResult Run();

private:
    double Expr(int level);
    double Comma();
    double Assignment();
    double Choice();
    double Binary(int level);
    double Primary();
    double Number(size_t start);
    double Name(size_t start);
    double CallArgument();
    double Parenthesized();
    double CallUserFunction(const Identifier& fn, double arg, size_t nameAt);
    double Apply(int op, double a, double b, size_t at);

    // The operator at the input when it belongs to that level, else -1.
    int PeekOp(int level);
    void SkipBlanks();
    bool OnlyLineEndsRemain();
    char Peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }
    bool Failed() const { return m_code != 0; }
    double Fail(int code, size_t at);

    IdentifierTable& m_table;
    std::string_view m_text;
    size_t m_pos = 0;
    int m_code = 0;
    size_t m_offset = 0;
    int m_depth = 0;
    long long m_steps = 0;
    unsigned m_bodySteps = 0;
    // Inside a user function's body errors are reported at the call in the
    // text the caller gave, since the body is not part of that text.
    size_t m_callSite = 0;
    bool m_inBody = false;
    // While above 0, a branch of a choice that was not chosen is computed.
    int m_unchosen = 0;
    // The last name beginning with '@' that was read (null when it was not a
    // variable), and how many such names have been read, so that an
    // assignment can tell whether its left operand read one.
    Identifier* m_target = nullptr;
    unsigned m_atReads = 0;
};

} // namespace kestrel
