#include "report/fieldprinter.h"

#include <cmath>
#include <cstdlib>

#include "calc/codepage.h"
#include "calc/evaluator.h"
#include "calc/formats.h"
#include "calc/leadingint.h"
#include "report/fieldcatalogue.h"
#include "report/fieldreader.h"
#include "report/integerformat.h"
#include "report/reportcontext.h"
#include "report/reportfault.h"
#include "report/textmatch.h"

namespace kestrel {

namespace {

constexpr int kMaxSize = 512;
constexpr int kMaxPasses = 500;

std::string_view FormatText(const TemplateField& f)
{
    if (const FieldOption* o = f.FindOption(OPT_FORMAT))
        return TextView(o->value);
    return f.entry->format;
}

// Integer digits and decimals are kept to what a printed number can use, so
// that a hostile FORMAT cannot ask for gigabytes of stars.
std::string FormatAmount(double x, std::string_view format, uint16_t options)
{
    WPFormat wp = ParseWPFormat(format);
    wp.w = wp.w < -40 ? -40 : (wp.w > 100 ? 100 : wp.w);
    wp.p = wp.p < 0 ? 0 : (wp.p > 100 ? 100 : wp.p);
    return FormatNumber(x, wp.w, wp.p, FlagTest(options, FB_COMMAS), FlagTest(options, FB_MONEY));
}

uint32_t ToU32(double x)
{
    if (IsBlankValue(x) || std::isnan(x) || x <= 0)
        return 0;
    if (x >= 4294967295.0)
        return 0xFFFFFFFFu;
    return static_cast<uint32_t>(x);
}

std::string WithoutChars(std::string_view text, std::string_view set)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (set.find(c) == std::string_view::npos)
            out.push_back(c);
    return out;
}

double Adjusted(CReportContext& ctx, const TemplateField& f, double value)
{
    ctx.SetSpecial("@Val", value);
    return CFieldReader::OptionValue(ctx, f, OPT_ADJUST);
}

std::string FormatValue(CReportContext& ctx, TemplateField& f, const FieldValue& v)
{
    const bool adjust = f.FindOption(OPT_ADJUST) != nullptr;
    switch (f.entry->kind) {
    case KIND_TEXT:
        if (adjust) {
            const double val = ctx.Evaluate(WithoutChars(v.text, ",$"));
            const double x = Adjusted(ctx, f, val);
            const std::string_view fmt = FormatText(f);
            return FormatAmount(x, fmt.empty() ? std::string_view("12.2") : fmt, f.options);
        }
        return v.text;
    case KIND_DATE: return FormatDate(v.u32, static_cast<int>(LeadingInt(FormatText(f))));
    case KIND_COUNT: {
        const uint32_t n = adjust ? ToU32(Adjusted(ctx, f, v.u32)) : v.u32;
        const std::string_view fmt = FormatText(f);
        return FormatInteger(fmt.empty() ? std::string_view("%u") : fmt, n);
    }
    case KIND_AMOUNT:
        return FormatAmount(adjust ? Adjusted(ctx, f, v.number) : v.number, FormatText(f), f.options);
    case KIND_HEX: return FormatInteger(FormatText(f), v.u32);
    case KIND_FLAG: return FlagTest(v.flags, f.entry->mode) ? "1" : "";
    case KIND_NUMBER: return FormatAmount(v.number, FormatText(f), f.options);
    }
    ThrowReportFault("Unknown Print Format!");
}

// "S.N" (or "S:N") of SUBSTRING.
void Substring(std::string& text, std::string_view range)
{
    const std::string s(range);
    const size_t sep = s.find_first_of(".:");
    long start = LeadingInt(s.substr(0, sep));
    long count = sep == std::string::npos ? 0 : LeadingInt(s.substr(sep + 1));
    if (start <= 0)
        start = 1;
    if (count <= 0)
        count = 4096;
    if (static_cast<size_t>(start) > text.size()) {
        text.clear();
        return;
    }
    text = text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(count));
}

void ApplyTextOptions(const TemplateField& f, std::string& text)
{
    for (const FieldOption& o : f.optionList) {
        const std::string_view value = TextView(o.value);
        switch (o.code) {
        case OPT_SUBSTRING: Substring(text, value); break;
        case OPT_REPLACE:
            if (value.size() == 1) {
                const size_t at = text.find(value[0]);
                if (at != std::string::npos)
                    text.resize(at);
            } else if (value.size() >= 2 && value[0] != value[1]) {
                for (char& c : text)
                    if (c == value[0])
                        c = value[1];
            }
            break;
        case OPT_STRSTR: {
            const size_t at = text.find(value);
            text = at == std::string::npos ? std::string() : text.substr(at);
            break;
        }
        case OPT_STRIP: {
            const size_t at = text.find_first_not_of(value);
            text = at == std::string::npos ? std::string() : text.substr(at);
            break;
        }
        case OPT_CLIP: {
            const size_t at = text.find_last_not_of(value);
            text.resize(at == std::string::npos ? 0 : at + 1);
            break;
        }
        case OPT_REMOVE: text = WithoutChars(text, value); break;
        default: break;
        }
    }
}

// Whether the field prints a number: a count, an amount, a hexadecimal
// value, a number expression, or a text turned into an amount by ADJUST.
bool PrintsNumber(const TemplateField& f)
{
    switch (f.entry->kind) {
    case KIND_COUNT:
    case KIND_AMOUNT:
    case KIND_HEX:
    case KIND_NUMBER: return true;
    case KIND_TEXT: return f.FindOption(OPT_ADJUST) != nullptr;
    default: return false;
    }
}

void ApplyWidth(const TemplateField& f, int size, bool sizeWritten, bool inCondition, std::string& text)
{
    if (size == 0 || inCondition || (f.FindOption(OPT_SUBSTRING) && !sizeWritten))
        return;
    const size_t sz = static_cast<size_t>(size);
    // A number cut to its width would print another number (page 1,724 as
    // "172"): one wider than its field prints whole and pushes the rest of
    // the line along. Texts are cut.
    if (text.size() > sz && PrintsNumber(f))
        return;
    if (text.size() > sz)
        text.resize(sz);
    const size_t gap = sz - text.size();
    if (FlagTest(f.options, FB_CENTER)) {
        const size_t left = gap / 2;
        text = std::string(left, ' ') + text + std::string(gap - left, ' ');
    } else if (FlagTest(f.options, FB_RIGHT)) {
        text.insert(0, gap, ' ');
    } else {
        text.append(gap, ' ');
    }
}

// A printed number as the evaluator can read it: no thousands separators
// or currency sign, and a money text in parentheses as a negative number.
std::string NumericText(std::string_view text)
{
    std::string t = WithoutChars(text, ",$");
    const size_t open = t.find_first_not_of(" \t");
    const size_t close = t.find_last_not_of(" \t");
    if (open != std::string::npos && close > open + 1 && t[open] == '(' && t[close] == ')') {
        const std::string inner = t.substr(open + 1, close - open - 1);
        if (!inner.empty() && inner.find_first_not_of("0123456789.") == std::string::npos)
            return "-" + inner;
    }
    return t;
}

double SideNumber(CReportContext& ctx, std::string_view text)
{
    if (text.empty())
        return 0;
    const double x = ctx.Evaluate(NumericText(text));
    if (ctx.Eval().ErrorCode() == EVAL_UNRECOGNIZED)
        return 1;
    return x;
}

bool IsNumericSide(const TemplateCond& c)
{
    return c.op != COND_LEAF || (c.field && c.field->code == FC_NUMBERSTRING);
}

std::string SideText(CReportContext& ctx, const TemplateCond& c);

bool OperatorValue(CReportContext& ctx, const TemplateCond& c)
{
    const bool numeric = IsNumericSide(*c.left) || IsNumericSide(*c.right);
    const std::string lt = SideText(ctx, *c.left);
    const std::string rt = SideText(ctx, *c.right);
    if (numeric) {
        const double a = SideNumber(ctx, lt);
        const double b = SideNumber(ctx, rt);
        switch (c.op) {
        case COND_AND: return a != 0 && b != 0;
        case COND_OR: return a != 0 || b != 0;
        case COND_GT: return a > b;
        case COND_LT: return a < b;
        case COND_GE: return a >= b;
        case COND_LE: return a <= b;
        case COND_NE: return a != b;
        default: return a == b;
        }
    }
    switch (c.op) {
    case COND_AND: return !lt.empty() && !rt.empty();
    case COND_OR: return !lt.empty() || !rt.empty();
    case COND_GT: return CompareNoCase(lt, rt) > 0;
    case COND_LT: return CompareNoCase(lt, rt) < 0;
    case COND_GE: return CompareNoCase(lt, rt) >= 0;
    case COND_LE: return CompareNoCase(lt, rt) <= 0;
    case COND_NE: return !MatchPatternList(lt, rt);
    default: return MatchPatternList(lt, rt);
    }
}

std::string SideText(CReportContext& ctx, const TemplateCond& c)
{
    if (c.op != COND_LEAF)
        return OperatorValue(ctx, c) ? "1" : "";
    return CFieldPrinter::FieldText(ctx, *c.field, true);
}

} // namespace

std::string CFieldPrinter::FieldText(CReportContext& ctx, TemplateField& f, bool inCondition, bool* hasValue)
{
    FlagSet(f.options, FB_INCONDITION, inCondition ? 1 : 0);
    if (f.code < FC_SUBCOLUMN_BASE)
        ctx.LoadFieldState(f.code, f.position, f.remaining);
    const FieldValue v = CFieldReader::Read(ctx, f);
    bool sizeWritten = false;
    const int size = CFieldReader::OptionInt(ctx, f, OPT_SIZE, 0, kMaxSize, &sizeWritten);
    if (hasValue)
        *hasValue = v.has;
    if (!v.has)
        return std::string(static_cast<size_t>(size), ' ');
    std::string text = FormatValue(ctx, f, v);
    ApplyTextOptions(f, text);
    ApplyWidth(f, size, sizeWritten, inCondition, text);
    return text;
}

bool CFieldPrinter::ConditionValue(CReportContext& ctx, const TemplateCond& c)
{
    if (c.op != COND_LEAF)
        return OperatorValue(ctx, c);
    const std::string text = FieldText(ctx, *c.field, true);
    if (c.field->code == FC_NUMBERSTRING) {
        const double x = ctx.Evaluate(NumericText(text));
        const int err = ctx.Eval().ErrorCode();
        if (err == EVAL_OK)
            return x != 0;
        if (err != EVAL_UNRECOGNIZED)
            return false;
    }
    return !text.empty();
}

namespace {

// Prints one segment; tells through again whether it asks for another pass.
int PrintSeq(CReportContext& ctx, TemplateSeq& seq, int pass, bool& again)
{
    ctx.CountWork();
    const bool chosen = seq.cond ? CFieldPrinter::ConditionValue(ctx, *seq.cond) : true;
    TemplateField* taken = chosen ? seq.thenField.get() : seq.elseField.get();
    TemplateField* other = chosen ? seq.elseField.get() : seq.thenField.get();
    if (other && other->code != FC_TEMPLATE)
        CFieldPrinter::FieldText(ctx, *other, false);
    if (!taken)
        return 0;
    if (taken->code == FC_TEMPLATE) {
        taken->used = true;
        if (!taken->text)
            return 0;
        // The called template's lines set the pass number for themselves.
        const int n = ctx.PrintTemplate(WithoutChars(taken->text.View(), "[]"));
        ctx.SetLinePass(pass);
        return n;
    }
    bool has = false;
    const std::string text = CFieldPrinter::FieldText(ctx, *taken, false, &has);
    const int lines = ctx.Put(text);
    taken->used = true;
    if (taken->code < FC_SUBCOLUMN_BASE)
        ctx.StoreFieldState(taken->code, taken->position, taken->remaining);

    bool request = FlagTest(taken->options, FB_MORE) && FlagTest(taken->options, FB_REPEAT);
    if (taken->FindOption(OPT_MINLINES) && pass < CFieldReader::OptionValue(ctx, *taken, OPT_MINLINES))
        request = true;
    if (taken->FindOption(OPT_MAXLINES)) {
        const double maxLines = CFieldReader::OptionValue(ctx, *taken, OPT_MAXLINES);
        if (maxLines == -1) {
            if (FlagTest(taken->options, FB_MORE) && !FlagTest(taken->options, FB_TWOMORE))
                request = false;
        } else if (maxLines != 0 && !IsBlankValue(maxLines) && pass + 1 >= maxLines) {
            request = false;
        }
    }
    if (!has)
        request = false;
    if (request)
        again = true;
    return lines;
}

} // namespace

int CFieldPrinter::PrintLine(CReportContext& ctx, TemplateLine& line, std::string_view templateName)
{
    int lines = 0;
    for (int pass = 0;;) {
        ctx.SetLinePass(pass);
        bool again = false;
        for (TemplateSeq& seq : line)
            lines += PrintSeq(ctx, seq, pass, again);
        ++pass;
        if (pass >= kMaxPasses)
            ThrowReportFault("Stuck in an endless loop in template: %s", std::string(templateName).c_str());
        if (!again)
            break;
    }
    return lines;
}

} // namespace kestrel
