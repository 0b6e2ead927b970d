#pragma once
// The record tags of the contract file. A tag's high byte names its group,
// the handler a reader dispatches to; a group start (length 0) opens a new
// sub-record and the other tags of the group fill the last one. Count
// records are written for information and never read.

#include <cstdint>

namespace kestrel {

enum RecordGroup : uint16_t {
    GROUP_VERSION = 0x0100,
    GROUP_HEADER = 0x0200,
    GROUP_ITEM = 0x0300,
    GROUP_COUNTY = 0x0400,
    GROUP_SITE = 0x0500,
    GROUP_NOTE = 0x0600,
    GROUP_PRINT_OPTIONS = 0x0800,
    GROUP_FORMATS = 0x0900,
    GROUP_OTHER_REPORT = 0x0A00,
    GROUP_TEMPLATE = 0x0B00,
    // The subcontract tables: groups 0x0C to 0x13, without 0x11.
    GROUP_TABLE = 0x0C00,
    GROUP_LABEL_LINE = 0x0D00,
    GROUP_DEFAULT = 0x0E00,
    GROUP_FIELD = 0x0F00,
    GROUP_RECORD = 0x1000,
    GROUP_LIST = 0x1100,
    GROUP_SUBITEM = 0x1200,
    GROUP_FILTER = 0x1300,
};

constexpr uint16_t GroupOf(uint16_t tag)
{
    return static_cast<uint16_t>(tag & 0xFF00u);
}

enum RecordTag : uint16_t {
    TAG_VERSION = 0x0100, // u16, read as 32-bit

    // Contract header.
    TAG_HEADER = 0x0200, // group start
    TAG_HEADER_A = 0x0201,
    TAG_AMEND_COUNT = 0x0202,
    TAG_CONTRACT_FLAGS = 0x0203,
    TAG_CONTRACT_TOTAL = 0x0204,
    TAG_LETTING_DATE = 0x0206,
    TAG_DATE_GENERATED = 0x0207,
    TAG_DATE_REVISED = 0x0208,
    TAG_HEADER_TEXT = 0x0209,      // header texts 0 to 18: this tag plus the index
    TAG_HEADER_TEXT_LAST = 0x021B, // header text 18
    TAG_HEADER_TEXT19 = 0x021D,
    TAG_HEADER_TEXT20 = 0x021E,
    TAG_COUNTY_COUNT = 0x021F,
    TAG_SITE_COUNT = 0x0220,
    TAG_ITEM_COUNT = 0x0221,
    TAG_NOTE_COUNT = 0x0222,
    TAG_LIST_COUNT = 0x0223, // holds the bucket count of the list map
    TAG_OTHER_REPORT_COUNT = 0x0224,
    TAG_TEMPLATE_COUNT = 0x0225,
    TAG_FURTHER_TEXT = 0x0226, // further texts 1 to 3: this tag plus 0 to 2
    TAG_SECOND_AMOUNT = 0x022A,
    TAG_PRIME_ID = 0x022B,
    TAG_PRIME_NAME = 0x022C,
    TAG_HEADER_B = 0x022D,

    // Items and section headings.
    TAG_ITEM = 0x0300, // group start
    TAG_ITEM_FLAGS = 0x0301,
    TAG_ITEM_QUANTITY = 0x0302,
    TAG_ITEM_UNIT_PRICE = 0x0303,
    TAG_ITEM_LINE_NUMBER = 0x0304,
    TAG_ITEM_ALT_CODE = 0x0305,
    TAG_ITEM_NUMBER = 0x0306,
    TAG_ITEM_UNIT = 0x0307,
    TAG_ITEM_SHORT_DESC = 0x0308,
    TAG_ITEM_LONG_DESC = 0x0309,

    TAG_COUNTY = 0x0400, // group start
    TAG_COUNTY_ID = 0x0401,
    TAG_COUNTY_NAME = 0x0402,

    TAG_SITE = 0x0500, // group start
    TAG_SITE_START_DATE = 0x0501,
    TAG_SITE_END_DATE = 0x0502,
    TAG_SITE_EST_DAYS = 0x0503,
    TAG_SITE_DAMAGES = 0x0504,
    TAG_SITE_TYPE_DAYS = 0x0505,
    TAG_SITE_DESCRIPTION = 0x0506,

    TAG_NOTE = 0x0600, // group start
    TAG_NOTE_NUMBER_A = 0x0601,
    TAG_NOTE_NUMBER_B = 0x0602,
    TAG_NOTE_TEXT = 0x0603,

    TAG_PRINT_OPTIONS = 0x0800, // group start, no sub-record
    TAG_PRINT_OPTIONS_WORD = 0x0801,
    TAG_PRINT_NUMBER = 0x0802, // print numbers 1 to 3: this tag plus 0 to 2

    TAG_FORMATS = 0x0900, // group start, no sub-record
    TAG_QUANTITY_FORMAT = 0x0901,
    TAG_UNIT_PRICE_FORMAT = 0x0902,
    TAG_EXTENSION_FORMAT = 0x0903,
    TAG_FORMAT_WORD = 0x0904,

    TAG_OTHER_REPORT = 0x0A00, // group start
    TAG_OTHER_REPORT_NUMBER = 0x0A01,
    TAG_OTHER_REPORT_FIRST = 0x0A02,
    TAG_OTHER_REPORT_SECOND = 0x0A03,

    TAG_TEMPLATE = 0x0B00,      // group start
    TAG_TEMPLATE_NAME = 0x0B01, // creates the template of that name
    TAG_TEMPLATE_TEXT = 0x0B02,

    // A subcontract table: its start, its kind, then its own records.
    TAG_TABLE = 0x0C00,      // group start
    TAG_SUB_TABLE = 0x0C01,  // creates the subcontractor table
    TAG_MISC_TABLE = 0x0C02, // creates the miscellaneous-data table
    TAG_FIELD_COUNT = 0x0C03,
    TAG_LABEL_LINE_COUNT = 0x0C04,
    TAG_RECORD_COUNT = 0x0C05,
    TAG_TABLE_FLAGS = 0x0C06,
    TAG_PERCENT_FORMAT = 0x0C07,
    TAG_TABLE_NUMBER1 = 0x0C08,
    TAG_SUBCONTRACTED_TOTAL = 0x0C09,
    TAG_TABLE_TEXT1 = 0x0C0C,
    TAG_DEFAULT_COUNT = 0x0C0D,
    TAG_TABLE_TEXT2 = 0x0C0E,
    TAG_TABLE_NUMBER2 = 0x0C0F,
    TAG_FILTER_COUNT = 0x0C12, // holds the bucket count of the filter map
    TAG_FONT_FACE = 0x0C13,
    TAG_FONT_SIZE = 0x0C14,

    TAG_LABEL_LINE = 0x0D00, // text, appended
    TAG_DEFAULT = 0x0E00,    // text, appended

    TAG_FIELD = 0x0F00, // group start
    TAG_FIELD_FLAGS = 0x0F01,
    TAG_FIELD_CX = 0x0F02,
    TAG_FIELD_TYPE = 0x0F03,
    TAG_FIELD_LIST_START = 0x0F04,
    TAG_FIELD_LIST_END = 0x0F05,
    TAG_FIELD_Y = 0x0F06,
    TAG_FIELD_X = 0x0F07,
    TAG_FIELD_REQUIRED = 0x0F08,
    TAG_FIELD_NAME = 0x0F09,
    TAG_FIELD_LIST_SOURCE = 0x0F0A,
    TAG_FIELD_HELP = 0x0F0B,
    TAG_FIELD_CY = 0x0F0C,

    TAG_RECORD = 0x1000, // group start
    TAG_RECORD_FLAGS = 0x1001,
    TAG_CELL = 0x1002, // group start of a cell of the last record
    TAG_CELL_INDEX = 0x1003,
    TAG_CELL_FLAGS = 0x1004,
    TAG_CELL_TEXT = 0x1005,

    TAG_LIST = 0x1100,      // group start
    TAG_LIST_NAME = 0x1101, // creates the list of that name
    TAG_LIST_ENTRY_COUNT = 0x1102,
    TAG_LIST_ENTRY = 0x1103, // appended to the list of the last name

    TAG_SUBITEM = 0x1200,     // written after the key; ignored
    TAG_SUBITEM_KEY = 0x1202, // creates the sub-item of that line number
    TAG_SUBITEM_FLAGS = 0x1203,
    TAG_SUBITEM_QUANTITY = 0x1204,
    TAG_SUBITEM_UNIT_PRICE = 0x1205,
    TAG_SUBITEM_EXTENSION = 0x1206,
    TAG_SUBITEM_ORIG_QUANTITY = 0x1207,
    TAG_SUBITEM_UNIT_TYPE = 0x1208,
    TAG_SUBITEM_UNIT_VALUE = 0x1209,
    TAG_SUBITEM_REMARKS = 0x120A,
    TAG_SUBITEM_EXTRA = 0x120B, // extra texts 1 to 3: this tag plus 0 to 2

    TAG_FILTER = 0x1300,      // group start; ignored
    TAG_FILTER_NAME = 0x1301, // creates the filter of that name
    TAG_FILTER_START = 0x1302,
    TAG_FILTER_END = 0x1303,
    TAG_FILTER_PATTERN = 0x1304, // patterns 1 to 5: this tag plus 0 to 4

    TAG_END = 0xFF00,
};

// The records that add a part to the model: a sub-record, a table, a named
// list, template or filter, or an entry of a list. What a read costs in
// memory grows with these (the others fill what is there).
constexpr bool AddsToModel(uint16_t tag)
{
    switch (tag) {
    case TAG_ITEM:
    case TAG_COUNTY:
    case TAG_SITE:
    case TAG_NOTE:
    case TAG_OTHER_REPORT:
    case TAG_TEMPLATE_NAME:
    case TAG_SUB_TABLE:
    case TAG_MISC_TABLE:
    case TAG_LABEL_LINE:
    case TAG_DEFAULT:
    case TAG_FIELD:
    case TAG_RECORD:
    case TAG_CELL:
    case TAG_LIST_NAME:
    case TAG_LIST_ENTRY:
    case TAG_SUBITEM_KEY:
    case TAG_FILTER_NAME: return true;
    default: return false;
    }
}

} // namespace kestrel
