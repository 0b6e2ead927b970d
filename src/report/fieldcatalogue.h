#pragma once
// The fixed catalogue of template fields and the table of field options.

#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrel {

enum FieldKind : int {
    KIND_TEXT = 1,
    KIND_DATE = 2,
    KIND_COUNT = 3,
    KIND_AMOUNT = 4,
    KIND_HEX = 5,
    KIND_FLAG = 6,
    KIND_NUMBER = 7, // a number expression
};

// Where a field's value lives. The numbers are the ones the internal-error
// messages report.
enum FieldSource : int {
    SRC_LITERAL = 1,
    SRC_CONTRACT = 2,
    SRC_COUNTY = 3,
    SRC_SITE = 4,
    SRC_SPECIAL = 5,
    SRC_ITEM = 6,
    SRC_SECTION = 7,
    SRC_SUB = 8,
    SRC_SUBITEM = 9,
    SRC_SUBCOLUMN = 10,
    SRC_MISCCOLUMN = 11,
    SRC_CHECK = 12,
};

// Field codes the engine treats specially.
enum FieldCode : int {
    FC_STRING = 1,
    FC_NUMBERSTRING = 2,
    FC_TEMPLATE = 3,
    FC_DROP = 4,
    FC_SUBCOLUMN = 78,
    FC_MISCCOLUMN = 79,
    FC_SUBCOLUMN_BASE = 1000,
    FC_MISCCOLUMN_BASE = 2000,
};

// Bits of a field's option word.
enum FieldBit : int {
    FB_RIGHT = 1,
    FB_LEFT = 2,
    FB_CENTER = 3,
    FB_COMMAS = 4,
    FB_MONEY = 5,
    FB_REPEAT = 6,
    FB_LITERAL = 8,
    FB_RESET = 9,
    FB_MORE = 11,
    FB_TWOMORE = 12,
    FB_INCONDITION = 14,
};

enum OptionCode : int {
    OPT_SIZE = 10,
    OPT_FORMAT = 11,
    OPT_JUSTIFY = 12,
    OPT_INDEX = 13,
    OPT_START = 14,
    OPT_MAXLINES = 15,
    OPT_MINLINES = 16,
    OPT_COMMAS = 17,
    OPT_MONEY = 18,
    OPT_REPEAT = 19,
    OPT_RESET = 20,
    OPT_SUBSTRING = 21,
    OPT_REPLACE = 22,
    OPT_STRSTR = 23,
    OPT_STRIP = 24,
    OPT_CLIP = 25,
    OPT_REMOVE = 26,
    OPT_ADJUST = 27,
};

struct CatalogueEntry {
    int code;
    const char* name;
    FieldKind kind;
    FieldSource source;
    int size;           // default SIZE
    const char* format; // default FORMAT
    int mode;           // texts: 0 single, 1 wrapped, 2 multi-line, 3 every pass; flags: bit
    uint16_t defaults;  // default option bits
};

struct OptionEntry {
    int code;
    const char* name;
    int switchBit; // the option-word bit of a switch option, -1 otherwise
};

class CFieldCatalogue {
public:
    // Every entry in table order.
    static const std::vector<CatalogueEntry>& Entries();
    // The first entry with that code, or null.
    static const CatalogueEntry* FindCode(int code);
    // The first entry whose name equals name without regard to case, or null.
    static const CatalogueEntry* FindExact(std::string_view name);
    static const std::vector<OptionEntry>& Options();
};

} // namespace kestrel
