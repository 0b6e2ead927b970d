#include "report/templatecompiler.h"

#include <cctype>

#include "calc/codepage.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "report/fieldcatalogue.h"
#include "report/reportfault.h"

namespace kestrel {

namespace {

// The operator tokens are the operators of condition nodes.
enum Token : int {
    TOK_NONE = 0,
    TOK_AND = COND_AND,
    TOK_OR = COND_OR,
    TOK_GT = COND_GT,
    TOK_LT = COND_LT,
    TOK_GE = COND_GE,
    TOK_LE = COND_LE,
    TOK_NE = COND_NE,
    TOK_EQ = COND_EQ,
    TOK_THEN = 9,
    TOK_ELSE = 10,
    TOK_OPEN = 11,
    TOK_CLOSE = 12,
    TOK_OPENFIELD = 13,
    TOK_CLOSEFIELD = 14,
};

struct TokenText {
    const char* text;
    Token code;
};

// Two-character forms come first so that they win over their prefixes.
constexpr TokenText kTokens[] = {
    {"&&", TOK_AND}, {"||", TOK_OR},  {">=", TOK_GE},   {"<=", TOK_LE},       {"!=", TOK_NE},
    {"==", TOK_EQ},  {">", TOK_GT},   {"<", TOK_LT},    {"=", TOK_EQ},        {"?", TOK_THEN},
    {":", TOK_ELSE}, {"(", TOK_OPEN}, {")", TOK_CLOSE}, {"{", TOK_OPENFIELD}, {"}", TOK_CLOSEFIELD},
};

// Guards against stack exhaustion on hostile text; real templates stay far
// below these.
constexpr int kMaxGroupDepth = 64;
constexpr size_t kMaxOperands = 256;

bool IsNameStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}
bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

std::string TrimBlanks(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return std::string(s.substr(b, e - b));
}

std::unique_ptr<TemplateField> MakeStringField(std::string text, bool literalSegment)
{
    auto f = std::make_unique<TemplateField>();
    f->entry = CFieldCatalogue::FindCode(FC_STRING);
    f->code = FC_STRING;
    f->options = f->entry->defaults;
    if (literalSegment)
        FlagSet(f->options, FB_LITERAL, 1);
    f->text = std::move(text);
    return f;
}

class LineParser {
public:
    LineParser(std::string_view line, const std::string& name, const CContract* contract)
        : m_s(line), m_name(name), m_contract(contract)
    {
    }

    TemplateLine Parse()
    {
        TemplateLine seqs;
        while (m_i < m_s.size()) {
            if (m_s[m_i] == '{')
                seqs.push_back(ParseBracedField());
            else
                seqs.push_back(ParseLiteral());
        }
        ApplyContinuation(seqs);
        return seqs;
    }

private:
    char At(size_t i) const { return i < m_s.size() ? m_s[i] : '\0'; }

    void SkipBlanks()
    {
        while (m_i < m_s.size() && IsBlank(m_s[m_i]))
            ++m_i;
    }

    // The token at the cursor (after blanks), without consuming it.
    Token PeekToken(size_t& length)
    {
        SkipBlanks();
        const std::string_view rest = m_s.substr(m_i);
        for (const auto& t : kTokens) {
            const std::string_view tt(t.text);
            if (rest.substr(0, tt.size()) == tt) {
                length = tt.size();
                return t.code;
            }
        }
        length = 0;
        return TOK_NONE;
    }

    [[noreturn]] void Expected(const char* what)
    {
        ThrowReportFault("Found end of line where %s was expected in template [%s]", what, m_name.c_str());
    }

    TemplateSeq ParseLiteral()
    {
        std::string text;
        while (m_i < m_s.size() && m_s[m_i] != '{') {
            const char c = m_s[m_i++];
            if (c != '\\' || m_i >= m_s.size()) {
                text.push_back(c);
                continue;
            }
            const char e = m_s[m_i++];
            switch (e) {
            case 'b': text.push_back('\b'); break;
            case 'f': text.push_back('\f'); break;
            case 'n': text.push_back('\n'); break;
            case 'r': text.push_back('\r'); break;
            case 't': text.push_back('\t'); break;
            case 'x': {
                // Both digit positions are consumed even when they hold no hex
                // digit; such a character counts as 0.
                int value = 0;
                for (int k = 0; k < 2; ++k) {
                    value = value * 16;
                    if (m_i < m_s.size())
                        value += HexDigit(m_s[m_i++]);
                }
                text.push_back(static_cast<char>(value));
                break;
            }
            case '\t':
            case '\n':
            case '\f':
            case ' ':
            case '0':
            case '\\': text.push_back('\\'); break;
            default: text.push_back(e); break;
            }
        }
        TemplateSeq seq;
        seq.thenField = MakeStringField(std::move(text), true);
        return seq;
    }

    // A trailing backslash joins the next template line to this printed line.
    static void ApplyContinuation(TemplateLine& seqs)
    {
        if (seqs.empty())
            return;
        TemplateSeq& last = seqs.back();
        if (last.cond || !last.thenField || !FlagTest(last.thenField->options, FB_LITERAL) ||
            !last.thenField->text)
            return;
        std::string& t = *last.thenField->text;
        size_t k = t.size();
        while (k > 0 && (t[k - 1] == ' ' || t[k - 1] == '\t' || t[k - 1] == '\n'))
            --k;
        if (k > 0 && t[k - 1] == '\\')
            t.resize(k - 1);
    }

    TemplateSeq ParseBracedField()
    {
        ++m_i; // '{'
        TemplateSeq seq;
        std::unique_ptr<TemplateCond> cond = ParseCondition(0);
        size_t len = 0;
        if (PeekToken(len) == TOK_THEN) {
            m_i += len;
            seq.thenField = ReadFieldReference();
            if (PeekToken(len) == TOK_ELSE) {
                m_i += len;
                seq.elseField = ReadFieldReference();
            }
            seq.cond = std::move(cond);
        } else if (cond->op == COND_LEAF) {
            seq.thenField = std::move(cond->field);
        } else {
            seq.cond = std::move(cond);
            seq.thenField = MakeStringField("TRUE", false);
            seq.elseField = MakeStringField("FALSE", false);
        }
        if (PeekToken(len) != TOK_CLOSEFIELD)
            Expected("}");
        m_i += len;
        return seq;
    }

    static std::unique_ptr<TemplateCond> Node(int op, std::unique_ptr<TemplateCond> l,
                                              std::unique_ptr<TemplateCond> r)
    {
        auto n = std::make_unique<TemplateCond>();
        n->op = op;
        n->left = std::move(l);
        n->right = std::move(r);
        return n;
    }

    // Operands joined by one operator, grouped to the right.
    std::unique_ptr<TemplateCond> FoldRight(std::vector<std::unique_ptr<TemplateCond>> parts, int op)
    {
        std::unique_ptr<TemplateCond> acc = std::move(parts.back());
        for (size_t k = parts.size() - 1; k-- > 0;)
            acc = Node(op, std::move(parts[k]), std::move(acc));
        return acc;
    }

    void CountOperand()
    {
        if (++m_operands > kMaxOperands)
            ThrowReportFault("Condition too complex in template [%s]", m_name.c_str());
    }

    std::unique_ptr<TemplateCond> ParseCondition(int depth)
    {
        std::vector<std::unique_ptr<TemplateCond>> terms;
        size_t len = 0;
        for (;;) {
            terms.push_back(ParseAndTerm(depth));
            if (PeekToken(len) != TOK_OR)
                break;
            m_i += len;
        }
        return FoldRight(std::move(terms), TOK_OR);
    }

    std::unique_ptr<TemplateCond> ParseAndTerm(int depth)
    {
        std::vector<std::unique_ptr<TemplateCond>> terms;
        size_t len = 0;
        for (;;) {
            terms.push_back(ParseComparison(depth));
            if (PeekToken(len) != TOK_AND)
                break;
            m_i += len;
        }
        return FoldRight(std::move(terms), TOK_AND);
    }

    std::unique_ptr<TemplateCond> ParseComparison(int depth)
    {
        std::unique_ptr<TemplateCond> left = ParsePrimary(depth);
        size_t len = 0;
        const Token t = PeekToken(len);
        if (t >= TOK_GT && t <= TOK_EQ) {
            m_i += len;
            return Node(t, std::move(left), ParsePrimary(depth));
        }
        return left;
    }

    std::unique_ptr<TemplateCond> ParsePrimary(int depth)
    {
        CountOperand();
        size_t len = 0;
        if (PeekToken(len) == TOK_OPEN) {
            if (depth >= kMaxGroupDepth)
                ThrowReportFault("Condition too complex in template [%s]", m_name.c_str());
            m_i += len;
            std::unique_ptr<TemplateCond> inner = ParseCondition(depth + 1);
            if (PeekToken(len) != TOK_CLOSE)
                Expected(")");
            m_i += len;
            return inner;
        }
        auto leaf = std::make_unique<TemplateCond>();
        leaf->field = ReadFieldReference();
        return leaf;
    }

    // A literal or expression: runs to a stop character outside double
    // quotes; the quotes go, a doubled quote inside quotes stays as one.
    std::string ReadQuoted(std::string_view stops)
    {
        std::string text;
        bool quoted = false;
        while (m_i < m_s.size()) {
            const char c = m_s[m_i];
            if (c == '"') {
                if (quoted && At(m_i + 1) == '"') {
                    text.push_back('"');
                    m_i += 2;
                    continue;
                }
                quoted = !quoted;
                ++m_i;
                continue;
            }
            if (!quoted && stops.find(c) != std::string_view::npos)
                break;
            text.push_back(c);
            ++m_i;
        }
        return text;
    }

    std::unique_ptr<TemplateField> NewField(const CatalogueEntry* entry, int code)
    {
        auto f = std::make_unique<TemplateField>();
        f->entry = entry;
        f->code = code;
        f->options = entry->defaults;
        return f;
    }

    std::unique_ptr<TemplateField> ReadFieldReference()
    {
        SkipBlanks();
        std::unique_ptr<TemplateField> f;
        const char c = At(m_i);
        if (c == '"') {
            f = NewField(CFieldCatalogue::FindCode(FC_STRING), FC_STRING);
            f->text = ReadQuoted(std::string_view(" \t,?:})", 7));
        } else if (c == '#') {
            ++m_i;
            f = NewField(CFieldCatalogue::FindCode(FC_NUMBERSTRING), FC_NUMBERSTRING);
            f->text = ReadQuoted(std::string_view(" \t,?:})", 7));
        } else if (c == '[') {
            const size_t start = m_i;
            while (m_i < m_s.size() && std::string_view(",?:})").find(m_s[m_i]) == std::string_view::npos)
                ++m_i;
            std::string_view t = m_s.substr(start, m_i - start);
            while (!t.empty() && IsBlank(t.back()))
                t.remove_suffix(1);
            f = NewField(CFieldCatalogue::FindCode(FC_TEMPLATE), FC_TEMPLATE);
            f->text = std::string(t);
        } else {
            const size_t start = m_i;
            if (IsNameStart(c)) {
                while (m_i < m_s.size() && IsNameChar(m_s[m_i]))
                    ++m_i;
            }
            f = ResolveName(m_s.substr(start, m_i - start));
        }
        while (At(m_i) == ',') {
            ++m_i;
            ReadOption(*f);
        }
        const FieldKind kind = f->entry->kind;
        if ((kind == KIND_AMOUNT || kind == KIND_NUMBER) && !FlagTest(f->options, FB_LEFT) &&
            !FlagTest(f->options, FB_CENTER))
            FlagSet(f->options, FB_RIGHT, 1);
        return f;
    }

    static int FindColumn(const CWinMeta* table, std::string_view name)
    {
        if (!table)
            return -1;
        for (int k = 0; k < table->m_Fields.GetSize(); ++k) {
            const CFieldInfo* fi = table->m_Fields.GetAt(k);
            if (fi && fi->m_strName && EqualNoCase(fi->m_strName.View(), name))
                return k;
        }
        return -1;
    }

    std::unique_ptr<TemplateField> ResolveName(std::string_view name)
    {
        if (const CatalogueEntry* e = CFieldCatalogue::FindExact(name))
            return NewField(e, e->code);
        if (m_contract) {
            const int sub = FindColumn(m_contract->m_pSubTable.get(), name);
            if (sub >= 0)
                return NewField(CFieldCatalogue::FindCode(FC_SUBCOLUMN), FC_SUBCOLUMN_BASE + sub);
            const int misc = FindColumn(m_contract->m_pMiscTable.get(), name);
            if (misc >= 0)
                return NewField(CFieldCatalogue::FindCode(FC_MISCCOLUMN), FC_MISCCOLUMN_BASE + misc);
        }
        const CatalogueEntry* found = nullptr;
        int matches = 0;
        for (const auto& e : CFieldCatalogue::Entries()) {
            if (StartsWithNoCase(e.name, name)) {
                if (!found)
                    found = &e;
                ++matches;
            }
        }
        if (matches > 1)
            ThrowReportFault("Ambiguous Field Name: %s in Template [%s]", std::string(name).c_str(),
                             m_name.c_str());
        if (found)
            return NewField(found, found->code);
        const size_t us = name.find('_');
        if (us != std::string_view::npos) {
            const std::string_view first = name.substr(0, us).substr(0, 15);
            const std::string_view second = name.substr(us + 1).substr(0, 15);
            for (const auto& e : CFieldCatalogue::Entries()) {
                const std::string_view en(e.name);
                const size_t eus = en.find('_');
                if (eus == std::string_view::npos)
                    continue;
                if (StartsWithNoCase(en, first) && StartsWithNoCase(en.substr(eus + 1), second))
                    return NewField(&e, e.code);
            }
        }
        return NewField(CFieldCatalogue::FindCode(FC_STRING), FC_STRING);
    }

    void ReadOption(TemplateField& f)
    {
        SkipBlanks();
        const size_t start = m_i;
        if (IsNameStart(At(m_i))) {
            while (m_i < m_s.size() && IsNameChar(m_s[m_i]))
                ++m_i;
        }
        const std::string written(m_s.substr(start, m_i - start));
        Text value;
        if (At(m_i) == '=') {
            ++m_i;
            SkipBlanks();
            value = TrimBlanks(ReadQuoted(std::string_view("},?:()\n", 7)));
        }
        const OptionEntry* option = nullptr;
        int matches = 0;
        for (const auto& o : CFieldCatalogue::Options()) {
            if (StartsWithNoCase(o.name, written)) {
                if (!option)
                    option = &o;
                ++matches;
            }
        }
        const char* fieldName = f.entry->name;
        if (matches > 1)
            ThrowReportFault("Ambiguous Field Option %s for field %s in template [%s]", written.c_str(),
                             fieldName, m_name.c_str());
        if (!option)
            ThrowReportFault("Unknown Field Option: %s for field: %s in template [%s]", written.c_str(),
                             fieldName, m_name.c_str());
        if (option->switchBit >= 0) {
            bool on = true;
            if (value) {
                const char v = static_cast<char>(
                    std::toupper(static_cast<unsigned char>(value->empty() ? '\0' : (*value)[0])));
                on = v == '1' || v == 'T' || v == 'Y';
            }
            FlagSet(f.options, option->switchBit, on ? 1 : 0);
            return;
        }
        if (!value)
            ThrowReportFault("Field Option %s requires value for field %s in template [%s]", written.c_str(),
                             fieldName, m_name.c_str());
        if (option->code == OPT_JUSTIFY) {
            FlagSet(f.options, FB_RIGHT, 0);
            FlagSet(f.options, FB_LEFT, 0);
            FlagSet(f.options, FB_CENTER, 0);
            const char v = static_cast<char>(
                std::toupper(static_cast<unsigned char>(value->empty() ? '\0' : (*value)[0])));
            if (v == 'C')
                FlagSet(f.options, FB_CENTER, 1);
            else if (v == 'L')
                FlagSet(f.options, FB_LEFT, 1);
            else if (v == 'R')
                FlagSet(f.options, FB_RIGHT, 1);
            else
                ThrowReportFault("Unknown Justification %s for option %s of field %s in template [%s]",
                                 value->c_str(), written.c_str(), fieldName, m_name.c_str());
            return;
        }
        f.optionList.insert(f.optionList.begin(), FieldOption{option->code, std::move(value)});
    }

    std::string_view m_s;
    size_t m_i = 0;
    const std::string& m_name;
    const CContract* m_contract;
    size_t m_operands = 0;
};

} // namespace

CTemplateCompiler::CTemplateCompiler(std::string_view templateName, const CContract* contract)
    : m_name(templateName), m_contract(contract)
{
}

std::vector<std::string_view> CTemplateCompiler::SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, lf - start));
        start = lf + 1;
    }
    return lines;
}

TemplateLine CTemplateCompiler::CompileLine(std::string_view line) const
{
    LineParser parser(line, m_name, m_contract);
    return parser.Parse();
}

std::unique_ptr<CompiledTemplate> CTemplateCompiler::Compile(std::string_view text) const
{
    auto compiled = std::make_unique<CompiledTemplate>();
    std::string line;
    for (std::string_view l : SplitLines(text)) {
        line.assign(l);
        line.push_back('\n');
        compiled->lines.push_back(CompileLine(line));
    }
    return compiled;
}

Result<std::unique_ptr<CompiledTemplate>>
CTemplateCompiler::TryCompile(std::string_view text, std::string_view templateName, const CContract* contract)
{
    std::unique_ptr<CompiledTemplate> compiled;
    const Status status =
        CatchReportFault([&] { compiled = CTemplateCompiler(templateName, contract).Compile(text); });
    if (!status)
        return status.error();
    return compiled;
}

Status CTemplateCompiler::CheckText(std::string_view text, std::string_view templateName,
                                    const CContract* contract)
{
    // Lines compile on their own, so the first one that fails is where the
    // fault is.
    const CTemplateCompiler compiler(templateName, contract);
    int number = 0;
    std::string line;
    for (std::string_view l : SplitLines(text)) {
        ++number;
        line.assign(l);
        line.push_back('\n');
        const Status compiled = CatchReportFault([&] { (void)compiler.CompileLine(line); });
        if (!compiled)
            return Status::Fail(compiled.errorText(), number);
    }
    return Ok();
}

} // namespace kestrel
