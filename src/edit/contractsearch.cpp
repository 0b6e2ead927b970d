#include "edit/contractsearch.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "calc/codepage.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

// Every byte's upper-case form, so that a comparison costs one lookup.
const std::array<unsigned char, 256>& FoldTable()
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (size_t c = 0; c < t.size(); ++c)
            t[c] = Cp1252Upper(static_cast<unsigned char>(c));
        return t;
    }();
    return table;
}

// The text looked for, folded once. Candidates for a match are found with
// memchr, once for each byte that folds to the needle's first (a letter has
// two: its upper and its lower case), which is several times faster than
// folding every byte of the many texts a keystroke searches.
class FoldedNeedle {
public:
    explicit FoldedNeedle(std::string_view needle) : m_fold(FoldTable()), m_folded(UpperNoCase(needle))
    {
        if (m_folded.empty())
            return;
        for (size_t c = 0; c < m_fold.size(); ++c)
            if (m_fold[c] == static_cast<unsigned char>(m_folded[0]) && m_forms < m_first.size())
                m_first[m_forms++] = static_cast<char>(c);
    }

    // Where the first match begins in text, npos when there is none.
    size_t Find(std::string_view text) const
    {
        const size_t n = m_folded.size();
        if (n == 0 || text.size() < n)
            return std::string_view::npos;
        const char* base = text.data();
        const size_t candidates = text.size() - n + 1; // positions a match may begin at
        // The next place of each first-byte form at or after `from`; a form
        // is looked for again only once the search has passed it.
        std::array<size_t, 2> next{0, 0};
        std::array<bool, 2> known{false, false};
        for (size_t from = 0; from < candidates;) {
            size_t at = candidates;
            for (size_t f = 0; f < m_forms; ++f) {
                if (!known[f] || next[f] < from) {
                    const void* p = std::memchr(base + from, m_first[f], candidates - from);
                    next[f] = p ? static_cast<size_t>(static_cast<const char*>(p) - base) : candidates;
                    known[f] = true;
                }
                at = std::min(at, next[f]);
            }
            if (at == candidates)
                return std::string_view::npos;
            if (RestMatches(base + at))
                return at;
            from = at + 1;
        }
        return std::string_view::npos;
    }
    size_t Size() const { return m_folded.size(); }

private:
    bool RestMatches(const char* at) const
    {
        const auto* hay = reinterpret_cast<const unsigned char*>(at);
        for (size_t k = 1; k < m_folded.size(); ++k)
            if (m_fold[hay[k]] != static_cast<unsigned char>(m_folded[k]))
                return false;
        return true;
    }

    const std::array<unsigned char, 256>& m_fold;
    std::string m_folded;
    std::array<char, 2> m_first{}; // the bytes that fold to the first (never more than two)
    size_t m_forms = 0;
};

// The hits so far, and whether the limit has been reached.
class Collector {
public:
    Collector(const FoldedNeedle& needle, const SearchOptions& options, SearchResult& result)
        : m_needle(needle), m_limit(options.maxHits), m_result(result)
    {
    }

    bool Full() const { return m_limit != 0 && m_result.hits.size() >= m_limit; }

    // A hit for text when the needle is in it; `hit` says where it lies.
    bool Match(std::string_view text, SearchHit& hit) const
    {
        const size_t at = m_needle.Find(text);
        if (at == std::string_view::npos)
            return false;
        hit.offset = at;
        hit.matched.assign(text.substr(at, m_needle.Size()));
        return true;
    }

    void Add(SearchHit hit)
    {
        if (!Full())
            m_result.hits.push_back(std::move(hit));
    }

private:
    const FoldedNeedle& m_needle;
    size_t m_limit;
    SearchResult& m_result;
};

void SearchItems(const CContract& contract, Collector& out)
{
    for (int i = 0; i < contract.m_Items.GetSize(); ++i) {
        const CItem& item = *contract.m_Items[i];
        const std::pair<ItemText, const Text*> texts[] = {
            {ItemText::LineNumber, &item.m_strLineNumber},
            {ItemText::ItemNumber, &item.m_strItemNumber},
            {ItemText::ShortDescription, &item.m_strShortDesc},
            {ItemText::LongDescription, &item.m_strLongDesc},
        };
        for (const auto& [which, text] : texts) {
            SearchHit hit;
            if (!out.Match(TextView(*text), hit))
                continue;
            hit.place = HitPlace::Item;
            hit.item = i;
            hit.itemText = which;
            hit.line.assign(TextView(item.m_strLineNumber));
            out.Add(std::move(hit));
            if (out.Full())
                return;
        }
    }
}

// The fields of a form that hold data (captions hold none), in field order.
std::vector<int> DataFields(const CWinMeta& table)
{
    std::vector<int> fields;
    for (int j = 0; j < table.m_Fields.GetSize(); ++j)
        if (table.m_Fields[j]->m_iType != FIELD_STATIC)
            fields.push_back(j);
    return fields;
}

// The hit of one cell of a record, when the needle is in it.
bool SearchCell(const CSubcontract& record, int field, HitPlace place, Collector& out)
{
    const Text* text = record.GetCellText(field);
    SearchHit hit;
    if (!text || !out.Match(TextView(*text), hit))
        return false;
    hit.place = place;
    hit.record = &record;
    hit.field = field;
    out.Add(std::move(hit));
    return true;
}

// The index of the item of each line, made when the first note is found.
// A note found costs a look-up here; the table is flat and holds the first
// bytes of each line, so that a look-up reads one slot and, for the usual
// short line numbers, nothing of the items.
class LineIndex {
public:
    explicit LineIndex(const CContract& contract) : m_contract(contract) {}

    int Of(std::string_view line)
    {
        if (m_slots.empty())
            Build();
        const uint64_t head = Head(line);
        for (size_t at = Start(line);; at = (at + 1) & m_mask) {
            const Slot& slot = m_slots[at];
            if (slot.index < 0)
                return -1;
            if (slot.head == head && slot.line.size() == line.size() &&
                (line.size() <= sizeof head || slot.line == line))
                return slot.index;
        }
    }

private:
    struct Slot {
        std::string_view line;
        uint64_t head = 0; // the first eight bytes of the line, zero-padded
        int index = -1;    // -1: a free slot
    };

    static uint64_t Head(std::string_view line)
    {
        uint64_t head = 0;
        if (!line.empty())
            std::memcpy(&head, line.data(), std::min(line.size(), sizeof head));
        return head;
    }
    size_t Start(std::string_view line) const
    {
        return static_cast<size_t>((uint64_t(MapKeyHash(line)) * 0x9E3779B97F4A7C15ull) >> 32) & m_mask;
    }
    void Build()
    {
        size_t size = 16;
        while (size < 2 * static_cast<size_t>(m_contract.m_Items.GetSize()) + 2)
            size *= 2;
        m_slots.assign(size, Slot{});
        m_mask = size - 1;
        for (int i = 0; i < m_contract.m_Items.GetSize(); ++i) {
            const CItem& item = *m_contract.m_Items[i];
            if (item.IsHeading())
                continue;
            const std::string_view line = TextView(item.m_strLineNumber);
            for (size_t at = Start(line);; at = (at + 1) & m_mask) {
                Slot& slot = m_slots[at];
                if (slot.index >= 0 && slot.line == line)
                    break; // the first of a line stays
                if (slot.index < 0) {
                    slot = {line, Head(line), i};
                    break;
                }
            }
        }
    }

    const CContract& m_contract;
    std::vector<Slot> m_slots; // empty until the first look-up
    size_t m_mask = 0;
};

// The sub-items of one record, in map order, for SearchNotes; kept from one
// record to the next.
using SubItemEntries = std::vector<std::pair<const std::string*, const CSubItem*>>;

void SearchNotes(const CSubcontract& record, LineIndex& lines, SubItemEntries& entries, Collector& out)
{
    entries.clear();
    record.m_SubItems.ForEach(
        [&](const std::string& line, const CSubItem& subItem) { entries.emplace_back(&line, &subItem); });
    // The sub-items lie scattered in memory, and a note longer than a few
    // characters lies apart from its sub-item: each is asked for some
    // sub-items ahead of the one searched, its string and then its bytes a
    // little later, so that the search does not wait for each in turn.
    constexpr size_t kAhead = 32;
    const size_t n = entries.size();
    std::vector<SearchHit> found;
    for (size_t i = 0; i < n; ++i) {
        if (i + kAhead < n)
            __builtin_prefetch(&entries[i + kAhead].second->m_strRemarks);
        if (i + kAhead / 2 < n)
            entries[i + kAhead / 2].second->m_strRemarks.PrefetchString();
        if (i + kAhead / 4 < n)
            entries[i + kAhead / 4].second->m_strRemarks.PrefetchBytes();
        const auto& [line, subItem] = entries[i];
        SearchHit hit;
        if (!out.Match(TextView(subItem->m_strRemarks), hit))
            continue;
        hit.place = HitPlace::SubItemNote;
        hit.record = &record;
        hit.line = *line;
        hit.item = lines.Of(*line);
        found.push_back(std::move(hit));
    }
    // Map order means nothing to the user: the notes follow the items. The
    // order is sorted apart from the hits, which are moved only once.
    std::vector<size_t> order(found.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t x, size_t y) {
        const SearchHit& a = found[x];
        const SearchHit& b = found[y];
        const int ka = a.item < 0 ? INT_MAX : a.item;
        const int kb = b.item < 0 ? INT_MAX : b.item;
        return ka != kb ? ka < kb : a.line < b.line;
    });
    for (size_t i : order) {
        out.Add(std::move(found[i]));
        if (out.Full())
            return;
    }
}

void SearchSubcontractors(const CContract& contract, unsigned areas, Collector& out)
{
    if (!contract.m_pSubTable || !(areas & (SEARCH_SUBCONTRACTORS | SEARCH_REMARKS)))
        return;
    const CWinMeta& table = *contract.m_pSubTable;
    // The remark belongs to the remarks; every other field to the record.
    std::vector<std::pair<int, HitPlace>> fields;
    for (int j : DataFields(table)) {
        const bool remark = j == SUBF_REMARK;
        if (areas & (remark ? SEARCH_REMARKS : SEARCH_SUBCONTRACTORS))
            fields.emplace_back(j, remark ? HitPlace::SubcontractorRemark : HitPlace::SubcontractorField);
    }
    LineIndex lines(contract);
    SubItemEntries entries;
    for (const auto& rec : table.m_Records) {
        for (const auto& [field, place] : fields)
            if (SearchCell(*rec, field, place, out) && out.Full())
                return;
        if (areas & SEARCH_REMARKS)
            SearchNotes(*rec, lines, entries, out);
        if (out.Full())
            return;
    }
}

void SearchMisc(const CContract& contract, Collector& out)
{
    const CWinMeta* table = contract.m_pMiscTable.get();
    const CSubcontract* record = table ? table->m_Records.GetAt(0) : nullptr;
    if (!record)
        return;
    for (int field : DataFields(*table))
        if (SearchCell(*record, field, HitPlace::MiscField, out) && out.Full())
            return;
}

} // namespace

SearchResult SearchContract(const CContract& contract, std::string_view needle, const SearchOptions& options)
{
    SearchResult result;
    if (needle.empty())
        return result;
    const FoldedNeedle folded(needle);
    Collector out(folded, options, result);
    if (options.areas & SEARCH_ITEMS)
        SearchItems(contract, out);
    if (!out.Full())
        SearchSubcontractors(contract, options.areas, out);
    if (!out.Full() && (options.areas & SEARCH_MISC))
        SearchMisc(contract, out);
    // Looking on past the limit to tell whether one more hit exists would
    // cost the search its early end: a result that fills it may be cut short.
    result.truncated = out.Full();
    return result;
}

} // namespace kestrel
