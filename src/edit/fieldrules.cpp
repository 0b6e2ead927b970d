#include "edit/fieldrules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "calc/codepage.h"
#include "calc/evaluator.h"
#include "edit/contractedits.h"
#include "model/contract/sastringarray.h"
#include "model/subcontract/datafilter.h"
#include "model/subcontract/fieldinfo.h"
#include "model/subcontract/referencelist.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/texttrim.h"

namespace kestrel {

namespace {

// The highest position a cell's chosen-entry number can hold.
constexpr size_t kMaxCellPosition = static_cast<size_t>(std::numeric_limits<int16_t>::max());

// The program writes negative money amounts as "($12.50)"; read back, the
// parentheses would only group and the amount would turn positive.
bool IsNegativeMoneyForm(std::string_view trimmed)
{
    return trimmed.size() >= 3 && trimmed.substr(0, 2) == "($" && trimmed.back() == ')';
}

std::string WithoutSeparators(std::string_view text)
{
    std::string clean;
    clean.reserve(text.size());
    for (char c : text)
        if (c != ',' && c != '$')
            clean.push_back(c);
    return clean;
}

Result<FieldNumber> NotANumber()
{
    return Result<FieldNumber>::Fail(kNotANumberMessage, static_cast<int>(Refusal::NumberFormat));
}

} // namespace

int FieldChoices::IndexOfPosition(int position) const
{
    if (position < 0)
        return -1;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].position == position)
            return static_cast<int>(i);
    return -1;
}

std::string ShownColumns(std::string_view entry, const CFieldInfo& field)
{
    const std::string_view part =
        field.m_iListEnd == 0 ? entry : EntryPart(entry, field.m_iListStart, field.m_iListEnd);
    return std::string(TrimTrailingBlanks(part));
}

FieldChoices ChoicesFromList(const CSAStringArray& list, const CFieldInfo& field, const CDataFilter* filter)
{
    FieldChoices choices;
    size_t count = list.size();
    if (IsDropDownField(field.m_iType))
        count = std::min(count, kMaxCellPosition + 1);
    choices.entries.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const std::string_view entry = list[i];
        if (filter && !filter->Accepts(entry))
            continue;
        choices.entries.push_back({static_cast<int>(i), ShownColumns(entry, field)});
    }
    return choices;
}

FieldChoices YesNoChoices()
{
    FieldChoices choices;
    choices.entries = {{0, ""}, {1, "Yes"}, {2, "No"}};
    return choices;
}

std::string_view ListKey(std::string_view listSource)
{
    const std::string_view source = TrimBlanks(listSource);
    const size_t colon = source.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return source;
    return TrimBlanks(source.substr(colon + 1));
}

SpecialList SpecialListOf(const CFieldInfo& field)
{
    if (!IsDropDownField(field.m_iType))
        return SpecialList::None;
    const std::string_view key = ListKey(TextView(field.m_strListSource));
    if (EqualNoCase(key, "sub type"))
        return SpecialList::SubType;
    if (EqualNoCase(key, "vendor"))
        return SpecialList::Vendor;
    if (EqualNoCase(key, "worktype"))
        return SpecialList::WorkType;
    return SpecialList::None;
}

std::vector<std::string> WorkTypeCodes(std::string_view vendorEntry, int column)
{
    std::vector<std::string> codes;
    if (column <= 0 || vendorEntry.size() < static_cast<size_t>(column))
        return codes;
    for (std::string_view rest = vendorEntry.substr(static_cast<size_t>(column) - 1); !rest.empty();) {
        const std::string_view code = TrimBlanks(rest.substr(0, 4));
        if (!code.empty())
            codes.emplace_back(code);
        rest.remove_prefix(std::min<size_t>(4, rest.size()));
    }
    return codes;
}

void KeepVendorWorkTypes(FieldChoices& choices, const CSAStringArray& list,
                         const std::vector<std::string>& codes)
{
    if (codes.empty())
        return;
    std::erase_if(choices.entries, [&](const FieldChoice& c) {
        if (c.position < 0 || static_cast<size_t>(c.position) >= list.size())
            return true;
        const std::string_view own = TrimBlanks(list[static_cast<size_t>(c.position)].substr(0, 4));
        return std::find(codes.begin(), codes.end(), own) == codes.end();
    });
}

int NumberFieldDigits(int width)
{
    // W - 3 integer digits leave a field narrower than 3 characters a
    // negative count, with which every value turns into stars or, below
    // width 1, into nothing at all. Such fields write numbers as a field of
    // width 3 does: with 0, the format's "no limit on integer digits".
    return width > 3 ? width - 3 : 0;
}

Result<FieldNumber> ReadNumberField(Evaluator& evaluator, std::string_view typed, int width, bool money,
                                    double contractTotal)
{
    const std::string_view trimmed = TrimBlanks(typed);
    std::string text = WithoutSeparators(trimmed);
    if (text.empty())
        return FieldNumber{std::string(), BlankValue()};
    const bool percent = text.back() == '%';
    if (percent)
        text.pop_back();
    bool negative = false;
    if (money && IsNegativeMoneyForm(trimmed) && text.size() >= 2 && text.front() == '(' &&
        text.back() == ')') {
        negative = true;
        text = text.substr(1, text.size() - 2);
    }
    double value = evaluator.Evaluate(text);
    if (IsBlankValue(value) || !std::isfinite(value))
        return NotANumber();
    if (negative)
        value = -value;
    if (percent) {
        // A contract without a total (nothing priced) has no share to give.
        value = (IsBlankValue(contractTotal) ? 0.0 : contractTotal) * value / 100.0;
        if (!std::isfinite(value))
            return NotANumber();
    }
    return FieldNumber{FormatNumber(value, NumberFieldDigits(width), 2, true, money), value};
}

Result<std::string> ReadDateField(std::string_view typed, const LocalDateTime& today)
{
    const std::string_view trimmed = TrimBlanks(typed);
    if (trimmed.empty())
        return std::string();
    std::string text(trimmed);
    if (text[0] == 'T' || text[0] == 't') {
        char buf[48];
        std::snprintf(buf, sizeof buf, "%d/%d/%d", today.month, today.day, today.year);
        text = buf;
    }
    // Read as the local wall-clock date: the value broken down as UTC is
    // then the very date typed, whatever the machine's time zone.
    uint32_t date = 0;
    if (ParseDateTime(text, "12:00PM", true, today, 0, date) != 0 || date == 0)
        return Result<std::string>::Fail(kDateFormatMessage, static_cast<int>(Refusal::DateFormat));
    return FormatDate(date, 4);
}

double StoredAmount(std::string_view text)
{
    if (IsBlankText(text) || WithoutSeparators(TrimBlanks(text)).empty())
        return BlankValue();
    return ParseAmountText(text);
}

} // namespace kestrel
