#include "report/fieldcatalogue.h"

#include "calc/codepage.h"

namespace kestrel {

namespace {

constexpr uint16_t kNum = 18; // right-justify and commas

const std::vector<CatalogueEntry> kEntries = {
    {1, "STRING", KIND_TEXT, SRC_LITERAL, 0, "%s", 3, 0},
    {3, "TEMPLATE", KIND_TEXT, SRC_LITERAL, 0, "%s", 3, 0},
    {2, "NUMBERSTRING", KIND_NUMBER, SRC_LITERAL, 0, "8.5", 3, 0},
    {4, "DROP", KIND_TEXT, SRC_SPECIAL, 0, "", 0, 0},
    {80, "AGENCY", KIND_TEXT, SRC_CONTRACT, 0, "%s", 0, 0},
    {5, "LETTING_DATE", KIND_DATE, SRC_CONTRACT, 0, "0", 0, 0},
    {6, "LETTING_ID", KIND_TEXT, SRC_CONTRACT, 15, "%s", 0, 0},
    {7, "CALL_ORDER", KIND_TEXT, SRC_CONTRACT, 3, "%-3.3s", 0, 0},
    {8, "CONTRACT_ID", KIND_TEXT, SRC_CONTRACT, 15, "%s", 0, 0},
    {9, "DATE_GENERATED", KIND_DATE, SRC_CONTRACT, 0, "0", 0, 0},
    {10, "DATE_REVISED", KIND_DATE, SRC_CONTRACT, 0, "0", 0, 0},
    {11, "CONTRACT_TYPE", KIND_TEXT, SRC_CONTRACT, 4, "%s", 0, 0},
    {12, "CONTRACT_TYPE", KIND_TEXT, SRC_CONTRACT, 4, "%s", 0, 0},
    {13, "HIGHWAY_NUMBER", KIND_TEXT, SRC_CONTRACT, 4, "%s", 0, 0},
    {14, "CONTROLLING_PROJECT", KIND_TEXT, SRC_CONTRACT, 30, "%s", 0, 0},
    {15, "CONTROLLING_ROUTE", KIND_TEXT, SRC_CONTRACT, 20, "%s", 0, 0},
    {16, "FUND_TYPE", KIND_TEXT, SRC_CONTRACT, 4, "%s", 0, 0},
    {17, "ALTERNATE_CONTRACT_ID", KIND_TEXT, SRC_CONTRACT, 10, "%s", 2, 0},
    {18, "CONTRACT_LOCATION", KIND_TEXT, SRC_CONTRACT, 10, "%s", 0, 0},
    {19, "CONTRACT_DESCRIPTION", KIND_TEXT, SRC_CONTRACT, 0, "%s", 1, 0},
    {20, "PROJECT_NUMBER", KIND_TEXT, SRC_CONTRACT, 30, "%s", 2, 0},
    {21, "ROAD_NAME", KIND_TEXT, SRC_CONTRACT, 0, "%s", 2, 0},
    {22, "ROUTE", KIND_TEXT, SRC_CONTRACT, 0, "%s", 2, 0},
    {23, "CONTRACT_TOTAL", KIND_AMOUNT, SRC_CONTRACT, 14, "9.2", 0, kNum},
    {24, "PRIME_ID", KIND_TEXT, SRC_CONTRACT, 0, "%s", 0, 0},
    {25, "PRIME_NAME", KIND_TEXT, SRC_CONTRACT, 0, "%s", 0, 0},
    {26, "SERIAL_NUMBER", KIND_TEXT, SRC_CONTRACT, 0, "%s", 0, 0},
    {27, "CHECK", KIND_HEX, SRC_CONTRACT, 8, "%8.8lX", 0, 0},
    {28, "COUNTY_ID", KIND_TEXT, SRC_COUNTY, 4, "%s", 0, 0},
    {29, "COUNTY_NAME", KIND_TEXT, SRC_COUNTY, 0, "%s", 0, 0},
    {30, "SITE_ESTIMATED_DAYS", KIND_COUNT, SRC_SITE, 0, "%u", 0, kNum},
    {31, "SITE_START_DATE", KIND_DATE, SRC_SITE, 0, "0", 0, 0},
    {32, "SITE_END_DATE", KIND_DATE, SRC_SITE, 0, "0", 0, 0},
    {33, "SITE_TYPE_DAYS", KIND_TEXT, SRC_SITE, 0, "%s", 0, 0},
    {34, "SITE_DAMAGES", KIND_AMOUNT, SRC_SITE, 14, "9.2", 0, kNum},
    {35, "SITE_DESCRIPTION", KIND_TEXT, SRC_SITE, 0, "%s", 0, 0},
    {36, "SECTION_NUMBER", KIND_TEXT, SRC_SECTION, 4, "%s", 0, 0},
    {37, "SECTION_ALTERNATE_CODE", KIND_TEXT, SRC_SECTION, 3, "%s", 0, 0},
    {38, "SECTION_DESCRIPTION", KIND_TEXT, SRC_SECTION, 0, "%s", 1, 0},
    {39, "SECTION_TOTAL", KIND_AMOUNT, SRC_SECTION, 14, "9.2", 0, kNum},
    {40, "SECTION_INDEX", KIND_COUNT, SRC_SPECIAL, 0, "%u", 0, 0},
    {41, "SECTION_COUNT", KIND_COUNT, SRC_SPECIAL, 0, "%u", 0, 0},
    {42, "ITEM_LINE_NUMBER", KIND_TEXT, SRC_ITEM, 4, "%s", 0, 0},
    {43, "ITEM_ALTERNATE_CODE", KIND_TEXT, SRC_ITEM, 3, "%s", 0, 0},
    {44, "ITEM_NUMBER", KIND_TEXT, SRC_ITEM, 13, "%s", 0, 0},
    {45, "ITEM_QUANTITY", KIND_AMOUNT, SRC_ITEM, 15, "9.3", 0, kNum},
    {46, "ITEM_UNIT", KIND_TEXT, SRC_ITEM, 4, "%s", 0, 0},
    {47, "ITEM_UNIT_PRICE", KIND_AMOUNT, SRC_ITEM, 16, "8.5", 0, kNum},
    {53, "ITEM_SHORT_DESCRIPTION", KIND_TEXT, SRC_ITEM, 0, "%s", 1, 0},
    {54, "ITEM_LONG_DESCRIPTION", KIND_TEXT, SRC_ITEM, 0, "%s", 1, 0},
    {55, "ITEM_EXTENSION", KIND_AMOUNT, SRC_ITEM, 14, "9.2", 0, kNum},
    {56, "ITEM_INDEX", KIND_COUNT, SRC_SPECIAL, 0, "%u", 0, 0},
    {57, "ITEM_COUNT", KIND_COUNT, SRC_SPECIAL, 0, "%u", 0, 0},
    {81, "PAGE_NUMBER", KIND_COUNT, SRC_SPECIAL, 0, "%3u", 0, 0},
    {48, "ITEM_LUMP_SUM", KIND_FLAG, SRC_ITEM, 0, "LS", 2, 0},
    {49, "ITEM_FIXED_PRICE", KIND_FLAG, SRC_ITEM, 0, "", 1, 0},
    {50, "ITEM_IS_ALTERNATE", KIND_FLAG, SRC_ITEM, 0, "", 3, 0},
    {51, "ITEM_IS_OPTION", KIND_FLAG, SRC_ITEM, 0, "", 4, 0},
    {52, "ITEM_CHOSEN", KIND_FLAG, SRC_ITEM, 0, "", 6, 0},
    {83, "BID_ERRORS", KIND_FLAG, SRC_CONTRACT, 0, "", 3, 0},
    {84, "INFORMATIONAL", KIND_FLAG, SRC_CONTRACT, 0, "", 2, 0},
    {58, "SUB_ISCHILDSUB", KIND_FLAG, SRC_SPECIAL, 0, "", 0, 0},
    {59, "SUB_CHILDSUBCOUNT", KIND_COUNT, SRC_SPECIAL, 0, "%u", 0, 0},
    {60, "SUB_USESSUBITEMS", KIND_FLAG, SRC_SUB, 0, "", 1, 0},
    {61, "SUB_FROMIRONBARK", KIND_FLAG, SRC_SUB, 0, "", 2, 0},
    {62, "SUB_USESIXTY", KIND_FLAG, SRC_SUB, 0, "", 3, 0},
    {63, "SUB_COMPLETE", KIND_FLAG, SRC_SUB, 0, "", 0, 0},
    {64, "SUB_AMMTSUBBED", KIND_AMOUNT, SRC_SPECIAL, 12, "12.2", 0, kNum},
    {65, "SUBITEM_QUANTITY", KIND_AMOUNT, SRC_SUBITEM, 15, "9.3", 0, kNum},
    {66, "SUBITEM_UNIT_PRICE", KIND_AMOUNT, SRC_SUBITEM, 16, "8.5", 0, kNum},
    {67, "SUBITEM_EXTENSION", KIND_AMOUNT, SRC_SUBITEM, 14, "9.2", 0, kNum},
    {68, "SUBITEM_ORIGQUAN", KIND_AMOUNT, SRC_SUBITEM, 15, "9.3", 0, kNum},
    {69, "SUBITEM_LINE_NUMBER", KIND_TEXT, SRC_SPECIAL, 4, "%s", 0, 0},
    {70, "SUBITEM_ALT_CODE", KIND_TEXT, SRC_SPECIAL, 3, "%s", 0, 0},
    {71, "SUBITEM_SHORT_DESC", KIND_TEXT, SRC_SPECIAL, 0, "%s", 1, 0},
    {72, "SUBITEM_NUMBER", KIND_TEXT, SRC_SPECIAL, 13, "%s", 0, 0},
    {73, "SUBITEM_UNIT", KIND_TEXT, SRC_SPECIAL, 4, "%s", 0, 0},
    {74, "SUBITEM_REMARKS", KIND_TEXT, SRC_SUBITEM, 4, "%s", 1, 0},
    {75, "SUBITEM_OVERCOMMITTED", KIND_FLAG, SRC_SUBITEM, 0, "", 1, 0},
    {76, "SUBITEM_PARTIAL", KIND_FLAG, SRC_SUBITEM, 0, "", 2, 0},
    {77, "SUBITEM_FROMIRONBARK", KIND_FLAG, SRC_SUBITEM, 0, "", 3, 0},
    {85, "BID_ERROR", KIND_TEXT, SRC_CHECK, 0, "%s", 2, 0},
    {78, "##SUB##", KIND_TEXT, SRC_SUBCOLUMN, 0, "", 0, 0},
    {79, "##DAT##", KIND_TEXT, SRC_MISCCOLUMN, 0, "", 0, 0},
};

const std::vector<OptionEntry> kOptions = {
    {OPT_SIZE, "SIZE", -1},         {OPT_FORMAT, "FORMAT", -1},
    {OPT_JUSTIFY, "JUSTIFY", -1},   {OPT_INDEX, "INDEX", -1},
    {OPT_START, "START", -1},       {OPT_MAXLINES, "MAXLINES", -1},
    {OPT_MINLINES, "MINLINES", -1}, {OPT_COMMAS, "COMMAS", FB_COMMAS},
    {OPT_MONEY, "MONEY", FB_MONEY}, {OPT_REPEAT, "REPEAT", FB_REPEAT},
    {OPT_RESET, "RESET", FB_RESET}, {OPT_SUBSTRING, "SUBSTRING", -1},
    {OPT_REPLACE, "REPLACE", -1},   {OPT_STRSTR, "STRSTR", -1},
    {OPT_STRIP, "STRIP", -1},       {OPT_CLIP, "CLIP", -1},
    {OPT_REMOVE, "REMOVE", -1},     {OPT_ADJUST, "ADJUST", -1},
};

} // namespace

const std::vector<CatalogueEntry>& CFieldCatalogue::Entries()
{
    return kEntries;
}

const std::vector<OptionEntry>& CFieldCatalogue::Options()
{
    return kOptions;
}

const CatalogueEntry* CFieldCatalogue::FindCode(int code)
{
    for (const auto& e : kEntries)
        if (e.code == code)
            return &e;
    return nullptr;
}

const CatalogueEntry* CFieldCatalogue::FindExact(std::string_view name)
{
    for (const auto& e : kEntries)
        if (EqualNoCase(e.name, name))
            return &e;
    return nullptr;
}

} // namespace kestrel
