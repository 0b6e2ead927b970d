#pragma once
// The demo's form definitions: the subcontractor form of 60 fields and the
// miscellaneous-data form, laid out on label lines.

#include <memory>

namespace kestrel {
class CWinMeta;
}

namespace kestrel::demo {

// Fields of the demo's subcontractor form. The indexes 0, 1, 2, 3, 6 to 9,
// 10, 12, 14, 17, 19, 23 and 58 are the ones the program relies on.
enum DemoSubField : int {
    DSF_NUMBER = 0,
    DSF_TYPE = 1,
    DSF_NAME = 2,
    DSF_PARENT = 3,
    DSF_AGREEMENT_DATE = 4,
    DSF_SIGNED_BY = 5,
    DSF_REMARK_ID = 6,
    DSF_REMARK_KIND = 7,
    DSF_REMARK_SEQ = 8,
    DSF_REMARK = 9,
    DSF_VENDOR_ID = 10,
    DSF_TAX_ID = 11,
    DSF_VENDOR_NAME = 12,
    DSF_PHONE = 13,
    DSF_VENDOR_ADDRESS = 14,
    DSF_CONTACT = 15,
    DSF_EMAIL = 16,
    DSF_AMOUNT = 17,
    DSF_RETAINAGE = 18,
    DSF_CREDIT_PERCENT = 19,
    DSF_DBE = 20,
    DSF_CERT_TYPE = 21,
    DSF_CERT_NUMBER = 22,
    DSF_LUMP_SUM = 23,
    DSF_QUOTE_DATE = 24,
    DSF_QUOTE_NUMBER = 25,
    DSF_WORK_TYPE1 = 26,
    DSF_WORK_TYPE2 = 27,
    DSF_WORK_TYPE3 = 28,
    DSF_WORK_DESCRIPTION = 29,
    DSF_START_DATE = 30,
    DSF_FINISH_DATE = 31,
    DSF_WORK_DAYS = 32,
    DSF_INSURER = 33,
    DSF_POLICY = 34,
    DSF_POLICY_EXPIRES = 35,
    DSF_BONDED = 36,
    DSF_BOND_NUMBER = 37,
    DSF_BOND_AMOUNT = 38,
    DSF_LICENSE = 39,
    DSF_LICENSE_STATE = 40,
    DSF_PREQUALIFIED = 41,
    DSF_PREQUAL_CLASS = 42,
    DSF_CERTIFIED_PAYROLL = 43,
    DSF_APPRENTICES = 44,
    DSF_EEO_OFFICER = 45,
    DSF_SAFETY_CONTACT = 46,
    DSF_SAFETY_PHONE = 47,
    DSF_FURNISHES_MATERIALS = 48,
    DSF_MATERIALS = 49,
    DSF_EQUIPMENT = 50,
    DSF_TRUCKS = 51,
    DSF_HAULER_CERT = 52,
    DSF_PAY_TERMS = 53,
    DSF_PROMPT_PAY_DAYS = 54,
    DSF_PREPARED_BY = 55,
    DSF_PREPARED_DATE = 56,
    DSF_APPROVED_BY = 57,
    DSF_ORIGINAL_AMOUNT = 58,
    DSF_IRONBARK_REF = 59,
    DSF_COUNT = 60,
};

// Fields of the demo's miscellaneous-data form.
enum DemoMiscField : int {
    DMF_PREPARER = 0,
    DMF_TITLE = 1,
    DMF_PHONE = 2,
    DMF_EMAIL = 3,
    DMF_DATE = 4,
    DMF_DBE_GOAL = 5,
    DMF_DBE_COMMITMENT = 6,
    DMF_GOOD_FAITH = 7,
    DMF_GOOD_FAITH_DOCS = 8,
    DMF_BID_BOND = 9,
    DMF_SURETY = 10,
    DMF_NOTES = 11,
    DMF_COUNT = 12,
};

// The subcontractor table without records: fields, label lines, defaults,
// data filter, formats; list choices are tested by the check.
std::unique_ptr<CWinMeta> BuildSubcontractForm();

// The miscellaneous-data table with its single (empty) record.
std::unique_ptr<CWinMeta> BuildMiscForm();

} // namespace kestrel::demo
