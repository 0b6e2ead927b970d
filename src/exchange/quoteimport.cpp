#include "exchange/quoteimport.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "calc/codepage.h"
#include "edit/subitemrules.h"
#include "model/contract/contract.h"
#include "model/subcontract/texttrim.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

bool IsLump(std::string_view text)
{
    return EqualNoCase(text, "LUMP");
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// "1.250" or "12.500.000": points that only group thousands.
bool GroupsThousands(std::string_view digits)
{
    size_t first = digits.find('.');
    if (first == std::string_view::npos || first == 0 || first > 3)
        return false;
    for (size_t i = first; i < digits.size(); i += 4)
        if (digits[i] != '.' || i + 4 > digits.size() ||
            !(IsDigit(digits[i + 1]) && IsDigit(digits[i + 2]) && IsDigit(digits[i + 3])))
            return false;
    return true;
}

// A line number as a spreadsheet may have changed it: "0160" typed or read
// into a number cell becomes 160. A quote's line that names no item but
// reads as the same whole number as exactly one item's all-digit line
// number is that item's line.
class LineNumbers {
public:
    explicit LineNumbers(const CContract& contract) : m_contract(contract)
    {
        for (const auto& item : contract.m_Items) {
            if (item->IsHeading())
                continue;
            const std::string_view line = TextView(item->m_strLineNumber);
            if (const auto key = DigitsKey(line)) {
                auto [it, added] = m_byValue.emplace(*key, std::string(line));
                if (!added && it->second != line)
                    it->second.clear(); // two lines of one value: neither is guessed
            }
        }
    }

    std::string Resolve(std::string_view text) const
    {
        if (m_contract.FindItemByLineNumber(text))
            return std::string(text);
        const auto key = DigitsKey(text);
        const auto it = key ? m_byValue.find(*key) : m_byValue.end();
        return it != m_byValue.end() && !it->second.empty() ? it->second : std::string(text);
    }

private:
    // The digits of an all-digit text without its leading zeros.
    static std::optional<std::string> DigitsKey(std::string_view text)
    {
        if (text.empty() || text.size() > 32 || !std::all_of(text.begin(), text.end(), IsDigit))
            return std::nullopt;
        const size_t first = text.find_first_not_of('0');
        return std::string(first == std::string_view::npos ? "0" : text.substr(first));
    }

    const CContract& m_contract;
    std::map<std::string, std::string> m_byValue;
};

class RowEntry {
public:
    RowEntry(CContractEdits& edits, CSubcontract& record) : m_edits(edits), m_record(record) {}

    // Makes one change of the row; false (with the message kept) when it
    // was refused.
    bool Make(EditResult result)
    {
        if (!result) {
            m_message = result.errorText();
            return false;
        }
        m_made.push_back(std::move(result).value());
        return true;
    }

    bool Enter(std::string_view line, std::string_view quantity, std::string_view price, bool decimalComma)
    {
        const CItem* item = m_edits.Contract().FindItemByLineNumber(line);
        if (!item || !m_record.FindSubItem(TextView(item->m_strLineNumber)))
            if (!Make(m_edits.UseItem(m_record, line, true)))
                return false;
        if (!quantity.empty() &&
            !Make(m_edits.SetSubItemQuantity(m_record, line, QuoteNumberText(quantity, decimalComma))))
            return false;
        if (!price.empty() &&
            !Make(m_edits.SetSubItemUnitPrice(m_record, line, QuoteNumberText(price, decimalComma))))
            return false;
        return true;
    }

    // A refused row changes nothing: what it had changed is taken back.
    void TakeBack()
    {
        for (auto it = m_made.rbegin(); it != m_made.rend(); ++it)
            m_edits.Undo(*it);
        m_made.clear();
    }

    std::vector<AppliedEdit>& Made() { return m_made; }
    const std::string& Message() const { return m_message; }

private:
    CContractEdits& m_edits;
    CSubcontract& m_record;
    std::vector<AppliedEdit> m_made;
    std::string m_message;
};

// Why the quantity or the price of a row gives no number as the entry reads
// it; "" when each is empty or a number.
std::string UnreadableValue(CContractEdits& edits, std::string_view quantity, std::string_view price,
                            bool decimalComma)
{
    const std::pair<std::string_view, const char*> values[] = {{quantity, "quantity"}, {price, "unit price"}};
    for (const auto& [text, what] : values) {
        if (text.empty())
            continue;
        if (Status read = CheckEntryNumber(edits.GetEvaluator(), QuoteNumberText(text, decimalComma)); !read)
            return std::string("The ") + what + " \"" + std::string(text) +
                   "\" is not a number: " + read.errorText();
    }
    return {};
}

} // namespace

std::string QuoteNumberText(std::string_view text, bool decimalComma)
{
    if (!decimalComma)
        return std::string(text);
    // Blanks, no-break spaces and the euro sign around or inside the digits.
    std::string digits;
    for (char c : text)
        if (c != ' ' && c != '\xA0' && c != '\x80')
            digits.push_back(c);
    std::string_view body(digits);
    std::string sign;
    if (!body.empty() && (body.front() == '-' || body.front() == '+')) {
        sign = body.front();
        body.remove_prefix(1);
    }
    if (body.empty() || body.find_first_not_of("0123456789.,") != std::string_view::npos ||
        !IsDigit(body.front()))
        return std::string(text);
    std::string number;
    if (body.find(',') != std::string_view::npos) {
        for (char c : body)
            if (c != '.')
                number.push_back(c == ',' ? '.' : c);
    } else if (GroupsThousands(body)) {
        for (char c : body)
            if (c != '.')
                number.push_back(c);
    } else {
        number = std::string(body);
    }
    return sign + number;
}

Result<QuoteImport> ImportQuote(CContractEdits& edits, CSubcontract& record, const QuoteSheet& sheet,
                                const QuoteColumns& columns)
{
    if (Status usable = CheckQuoteColumns(columns); !usable)
        return usable.error();
    const CWinMeta* table = edits.Contract().m_pSubTable.get();
    if (!table || table->m_Records.IndexOf(&record) < 0)
        return Result<QuoteImport>::Fail("The subcontractor is not in this contract");
    QuoteImport import;
    const LineNumbers lines(edits.Contract());
    for (const QuoteRow& row : sheet.rows) {
        if (row.number < columns.firstRow)
            continue;
        const std::string line = lines.Resolve(TrimWhite(row.Cell(columns.line)));
        std::string_view quantity = columns.quantity >= 0 ? TrimWhite(row.Cell(columns.quantity)) : "";
        const std::string_view price = columns.price >= 0 ? TrimWhite(row.Cell(columns.price)) : "";
        if (IsLump(quantity))
            quantity = {};
        if (line.empty() || (quantity.empty() && price.empty()))
            continue;
        // A value that gives no number would be entered as none: the row
        // would blank what the subcontractor had. It is refused instead.
        if (std::string why = UnreadableValue(edits, quantity, price, sheet.decimalComma); !why.empty()) {
            import.refused.push_back({row.number, std::move(why)});
            continue;
        }
        RowEntry entry(edits, record);
        if (!entry.Enter(line, quantity, price, sheet.decimalComma)) {
            entry.TakeBack();
            import.refused.push_back({row.number, entry.Message()});
            continue;
        }
        ++import.applied;
        for (AppliedEdit& made : entry.Made())
            import.edits.push_back(std::move(made));
    }
    return import;
}

void UndoQuoteImport(CContractEdits& edits, QuoteImport& import)
{
    for (auto it = import.edits.rbegin(); it != import.edits.rend(); ++it)
        edits.Undo(*it);
}

void RedoQuoteImport(CContractEdits& edits, QuoteImport& import)
{
    for (AppliedEdit& made : import.edits)
        edits.Redo(made);
}

} // namespace kestrel
