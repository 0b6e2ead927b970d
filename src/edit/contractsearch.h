#pragma once
// Find: a text looked for in the contract's items, every field of its
// subcontractors and of its miscellaneous data, and the remarks and notes,
// without regard to case (Windows-1252 letters included), so
// that the find bar can list the places and the views can select them.
// Nothing here changes the contract; the search runs on every keystroke, so
// it reads the texts where they stand and copies only what it found.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class CContract;
class CSubcontract;

// The parts of the contract a search looks at (a mask of these bits).
enum SearchArea : unsigned {
    SEARCH_ITEMS = 1u,          // line number, item number, short and long description
    SEARCH_SUBCONTRACTORS = 2u, // every field of every subcontractor but the remark
    SEARCH_REMARKS = 4u,        // a subcontractor's remark (cell 9) and the sub-items' notes
    SEARCH_MISC = 8u,           // every field of the miscellaneous data
    SEARCH_ALL = 15u,
};

// Where a hit lies.
enum class HitPlace {
    Item,                // a text of a contract item (headings included)
    SubcontractorField,  // a field of a subcontractor (but the remark)
    SubcontractorRemark, // a subcontractor's remark
    SubItemNote,         // the note of one of a subcontractor's sub-items
    MiscField,           // a field of the miscellaneous data
};

// The texts of an item that are looked at, in the order they are.
enum class ItemText { LineNumber, ItemNumber, ShortDescription, LongDescription };

// One place the text was found: the first match in one text of the
// contract. Record pointers are valid until the contract's records change.
struct SearchHit {
    HitPlace place = HitPlace::Item;
    // Item: the index in the contract's items. SubItemNote: the index of the
    // item whose line the sub-item holds, -1 when no item has that line.
    int item = -1;
    ItemText itemText = ItemText::LineNumber; // Item: which of its texts
    const CSubcontract* record = nullptr;     // the subcontractor places; MiscField: the record shown
    int field = -1;                           // the cell of a field or remark
    std::string line;                         // Item, SubItemNote: the line number
    size_t offset = 0;                        // where the match begins in the text
    std::string matched;                      // the matched bytes, as the contract holds them
};

struct SearchOptions {
    unsigned areas = SEARCH_ALL;
    // The search stops after this many hits (0: no limit), for a find bar
    // that shows the first ones while the user is still typing.
    size_t maxHits = 0;
};

struct SearchResult {
    std::vector<SearchHit> hits;
    bool truncated = false; // the hits fill maxHits: there may be more
};

// Looks for `needle` (Windows-1252) in the contract. An empty needle finds
// nothing. Hits come in contract order: the items in item order (each text
// in ItemText order), then the subcontractors in record order, each with
// its fields in field order and then its sub-items' notes in the order of
// their lines among the items (lines no item has last, by line text), then
// the fields of the miscellaneous data (the record its form shows) in field
// order. Captions hold no data and are not looked at. Each text gives at
// most one hit, for its first match.
[[nodiscard]] SearchResult SearchContract(const CContract& contract, std::string_view needle,
                                          const SearchOptions& options = {});

} // namespace kestrel
