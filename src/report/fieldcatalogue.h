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

// The field codes of the catalogue, named after their fields. A code is
// also the key of a field's state within one printing of a template; the
// subcontract and miscellaneous columns take the codes from their base on.
enum FieldCode : int {
    FC_STRING = 1,
    FC_NUMBERSTRING = 2,
    FC_TEMPLATE = 3,
    FC_DROP = 4,
    FC_LETTING_DATE = 5,
    FC_LETTING_ID = 6,
    FC_CALL_ORDER = 7,
    FC_CONTRACT_ID = 8,
    FC_DATE_GENERATED = 9,
    FC_DATE_REVISED = 10,
    FC_CONTRACT_TYPE = 11,
    FC_CONTRACT_TYPE_TEXT = 12, // the second CONTRACT_TYPE, never chosen by name
    FC_HIGHWAY_NUMBER = 13,
    FC_CONTROLLING_PROJECT = 14,
    FC_CONTROLLING_ROUTE = 15,
    FC_FUND_TYPE = 16,
    FC_ALTERNATE_CONTRACT_ID = 17,
    FC_CONTRACT_LOCATION = 18,
    FC_CONTRACT_DESCRIPTION = 19,
    FC_PROJECT_NUMBER = 20,
    FC_ROAD_NAME = 21,
    FC_ROUTE = 22,
    FC_CONTRACT_TOTAL = 23,
    FC_PRIME_ID = 24,
    FC_PRIME_NAME = 25,
    FC_SERIAL_NUMBER = 26,
    FC_CHECK = 27,
    FC_COUNTY_ID = 28,
    FC_COUNTY_NAME = 29,
    FC_SITE_ESTIMATED_DAYS = 30,
    FC_SITE_START_DATE = 31,
    FC_SITE_END_DATE = 32,
    FC_SITE_TYPE_DAYS = 33,
    FC_SITE_DAMAGES = 34,
    FC_SITE_DESCRIPTION = 35,
    FC_SECTION_NUMBER = 36,
    FC_SECTION_ALTERNATE_CODE = 37,
    FC_SECTION_DESCRIPTION = 38,
    FC_SECTION_TOTAL = 39,
    FC_SECTION_INDEX = 40,
    FC_SECTION_COUNT = 41,
    FC_ITEM_LINE_NUMBER = 42,
    FC_ITEM_ALTERNATE_CODE = 43,
    FC_ITEM_NUMBER = 44,
    FC_ITEM_QUANTITY = 45,
    FC_ITEM_UNIT = 46,
    FC_ITEM_UNIT_PRICE = 47,
    FC_ITEM_LUMP_SUM = 48,
    FC_ITEM_FIXED_PRICE = 49,
    FC_ITEM_IS_ALTERNATE = 50,
    FC_ITEM_IS_OPTION = 51,
    FC_ITEM_CHOSEN = 52,
    FC_ITEM_SHORT_DESCRIPTION = 53,
    FC_ITEM_LONG_DESCRIPTION = 54,
    FC_ITEM_EXTENSION = 55,
    FC_ITEM_INDEX = 56,
    FC_ITEM_COUNT = 57,
    FC_SUB_ISCHILDSUB = 58,
    FC_SUB_CHILDSUBCOUNT = 59,
    FC_SUB_USESSUBITEMS = 60,
    FC_SUB_FROMIRONBARK = 61,
    FC_SUB_USESIXTY = 62,
    FC_SUB_COMPLETE = 63,
    FC_SUB_AMMTSUBBED = 64,
    FC_SUBITEM_QUANTITY = 65,
    FC_SUBITEM_UNIT_PRICE = 66,
    FC_SUBITEM_EXTENSION = 67,
    FC_SUBITEM_ORIGQUAN = 68,
    FC_SUBITEM_LINE_NUMBER = 69,
    FC_SUBITEM_ALT_CODE = 70,
    FC_SUBITEM_SHORT_DESC = 71,
    FC_SUBITEM_NUMBER = 72,
    FC_SUBITEM_UNIT = 73,
    FC_SUBITEM_REMARKS = 74,
    FC_SUBITEM_OVERCOMMITTED = 75,
    FC_SUBITEM_PARTIAL = 76,
    FC_SUBITEM_FROMIRONBARK = 77,
    FC_SUBCOLUMN = 78,
    FC_MISCCOLUMN = 79,
    FC_AGENCY = 80,
    FC_PAGE_NUMBER = 81,
    FC_BID_ERRORS = 83,
    FC_INFORMATIONAL = 84,
    FC_BID_ERROR = 85,
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
