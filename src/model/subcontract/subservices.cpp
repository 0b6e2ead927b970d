#include "model/subcontract/subservices.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "calc/formats.h"
#include "model/contract/contract.h"
#include "model/subcontract/subitemsummaries.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

// Amounts not entered take part in the sums as 0.
double ValueOrZero(double x)
{
    return IsBlankValue(x) ? 0.0 : x;
}

template <class StartFn, class SubFn>
double Remaining(const CContract& contract, const CItem* item, const CSubcontract* s, StartFn start,
                 SubFn part)
{
    if (!item)
        return 0.0;
    const std::string_view line = TextView(item->m_strLineNumber);
    double value = 0.0;
    if (!s) {
        value = ValueOrZero(start(*item));
    } else if (const CSubItem* own = s->FindSubItem(line)) {
        value = ValueOrZero(part(*own));
    }
    if (!contract.m_pSubTable)
        return value;
    for (const auto& rec : contract.m_pSubTable->m_Records) {
        if (rec->m_pParent != s || !rec->IsItemized())
            continue;
        const CSubItem* si = rec->FindSubItem(line);
        if (si && !FlagTest(si->m_wFlags, SUBITEM_PARTIAL))
            value -= ValueOrZero(part(*si));
    }
    return value;
}

// True when s lies above r in r's parent chain (bounded against loops).
bool IsBelow(const CSubcontract* r, const CSubcontract* s, int bound)
{
    for (const CSubcontract* p = r->m_pParent; p && bound-- > 0; p = p->m_pParent)
        if (p == s)
            return true;
    return false;
}

} // namespace

double RemainingQuantity(const CContract& contract, const CItem* item, const CSubcontract* s)
{
    return Remaining(
        contract, item, s, [](const CItem& i) { return i.m_fQuantity; },
        [](const CSubItem& si) { return si.m_fQuan; });
}

double RemainingExtension(const CContract& contract, const CItem* item, const CSubcontract* s)
{
    return Remaining(
        contract, item, s, [](const CItem& i) { return i.m_fExtension; },
        [](const CSubItem& si) { return si.m_fExt; });
}

int RemoveLineBelow(CContract& contract, std::string_view line, const CSubcontract* s)
{
    if (!contract.m_pSubTable)
        return 0;
    int removed = 0;
    const int bound = contract.m_pSubTable->m_Records.GetSize();
    for (const auto& rec : contract.m_pSubTable->m_Records) {
        if (rec.get() == s || !rec->IsItemized() || !rec->FindSubItem(line))
            continue;
        if (!s || IsBelow(rec.get(), s, bound)) {
            rec->RemoveSubItem(line);
            ++removed;
        }
    }
    return removed;
}

namespace {

// The itemized state of many records, each parent chain walked only once:
// asking every record of a deep chain on its own would walk the chain again
// for each of them. Gives what CSubcontract::IsItemized gives.
class ItemizedMemo {
public:
    explicit ItemizedMemo(int records) : m_limit(records + 1)
    {
        m_known.reserve(static_cast<size_t>(records));
    }

    bool Test(const CSubcontract* record)
    {
        m_path.clear();
        bool result = true;
        int guard = m_limit; // links that loop end the walk, as in IsItemized
        for (const CSubcontract* r = record; r && guard-- > 0; r = r->m_pParent) {
            if (auto it = m_known.find(r); it != m_known.end()) {
                result = it->second;
                break;
            }
            if (!FlagTest(r->m_wFlags, SUB_USESSUBITEMS)) {
                result = false;
                m_known.emplace(r, false);
                break;
            }
            m_path.push_back(r);
        }
        for (const CSubcontract* r : m_path)
            m_known.emplace(r, result);
        return result;
    }

private:
    int m_limit;
    std::unordered_map<const CSubcontract*, bool> m_known;
    std::vector<const CSubcontract*> m_path;
};

} // namespace

void ComputeSubcontractedTotal(CContract& contract, CSubItemSummaries* summaries)
{
    CWinMeta* table = contract.m_pSubTable.get();
    if (!table)
        return;
    table->m_fSubTotal = 0;
    double total = 0;
    ItemizedMemo itemized(table->m_Records.GetSize());
    for (const auto& rec : table->m_Records) {
        double amount = 0;
        if (itemized.Test(rec.get())) {
            if (summaries)
                amount = summaries->Of(*rec).extensionSum;
            else
                rec->m_SubItems.ForEach(
                    [&](const std::string&, const CSubItem& si) { amount += ValueOrZero(si.m_fExt); });
            // Only a record that has the amount cell shows the sum there; a
            // cell beyond the form's fields would not survive a save anyway.
            if (CCellData* cell = rec->GetCell(SUBF_AMOUNT))
                cell->m_psz = FormatNumber(amount, contract.m_ExtFormat.digits, contract.m_ExtFormat.decimals,
                                           true, true);
        } else {
            const Text* text = rec->GetCellText(SUBF_AMOUNT);
            amount = text ? ParseAmountText(TextView(*text)) : 0.0;
        }
        if (!rec->m_pParent)
            total += FlagTest(rec->m_wFlags, SUB_USESIXTY) ? amount * 0.6 : amount;
    }
    table->m_fSubTotal = total;
}

namespace {

// An amount as ParseAmountText reads it; with `whole`, only when all of the
// cleaned text is a plain decimal number.
std::optional<double> ReadAmount(std::string_view text, bool whole)
{
    std::string clean;
    clean.reserve(text.size());
    for (char c : text)
        if (c != '\t' && c != ' ' && c != '$' && c != ',')
            clean.push_back(c);
    // The program writes negative money amounts in parentheses; read them
    // back as negative rather than as "not a number".
    bool negative = false;
    if (clean.size() >= 2 && clean.front() == '(' && clean.back() == ')') {
        negative = true;
        clean = clean.substr(1, clean.size() - 2);
    }
    if (whole && (clean.empty() || clean.find_first_not_of("0123456789.+-eE") != std::string::npos))
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(clean.c_str(), &end);
    if (end == clean.c_str())
        return std::nullopt;
    if (whole && (end != clean.c_str() + clean.size() || !std::isfinite(value)))
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace

double ParseAmountText(std::string_view text)
{
    return ReadAmount(text, false).value_or(0.0);
}

std::optional<double> ParseWholeAmountText(std::string_view text)
{
    return ReadAmount(text, true);
}

bool IsTrueText(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const char c = text.front();
    return c == '1' || c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

bool IsBlankText(std::string_view text)
{
    for (char c : text)
        if (c != ' ' && c != '\t')
            return false;
    return true;
}

} // namespace kestrel
