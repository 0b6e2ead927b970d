#include "demogen/demoforms.h"

#include <string>

#include "demogen/demolists.h"
#include "model/subcontract/winmeta.h"

namespace kestrel::demo {

namespace {

constexpr uint16_t kStoredList = 1u << 0;  // the list is one of the contract's
constexpr uint16_t kCheckedList = 1u << 2; // the check tests the choice
constexpr uint16_t kMatchTyped = 1u << 3;  // typed text is matched to the list

struct FieldDef {
    const char* name;
    int type;
    int width;
    int required;
    const char* help;
    const char* listSource = nullptr;
    uint16_t flags = 0;
    int listStart = 0;
    int listEnd = 0;
};

// Lays a form out the way the agency's forms are drawn: one label line per
// form line, each field placed after the label text before it. A field's X
// is the offset of the field in its label line and its width the number of
// characters it covers there.
class FormLayout {
public:
    explicit FormLayout(CWinMeta& table) : m_table(table) {}

    FormLayout& Line()
    {
        m_table.m_LabelLines.emplace_back();
        return *this;
    }
    FormLayout& Label(const char* text)
    {
        Append(text);
        return *this;
    }
    FormLayout& Field(const FieldDef& def)
    {
        Append("");
        CFieldInfo* f = m_table.m_Fields.Add();
        f->m_wFlags = def.flags;
        f->m_iX = static_cast<int32_t>(m_table.m_LabelLines.back().size());
        f->m_iY = static_cast<int32_t>(m_table.m_LabelLines.size() - 1);
        f->m_iCX = def.width;
        f->m_iCY = 0;
        f->m_iType = def.type;
        f->m_iListStart = def.listStart;
        f->m_iListEnd = def.listEnd;
        f->m_iRequired = def.required;
        f->m_strName = def.name;
        f->m_strListSource = def.listSource ? Text(def.listSource) : Text("");
        f->m_strHelp = def.help;
        Append(std::string(static_cast<size_t>(def.width), ' '));
        return *this;
    }

private:
    // Extends the current label line (the first one when there is none).
    void Append(std::string_view text)
    {
        CSAStringArray& lines = m_table.m_LabelLines;
        if (lines.empty())
            lines.emplace_back();
        lines.SetAt(lines.size() - 1, std::string(lines.back()) + std::string(text));
    }

    CWinMeta& m_table;
};

constexpr int ALWAYS = kAlwaysRequired;
constexpr int NEVER = kNeverRequired;

// The program finds the subcontract number and name fields by the names
// "SUB" and "SubName" when a contract is opened.
void LayOutIdentity(FormLayout& f)
{
    f.Line().Label("Subcontract No. ");
    f.Field({"SUB", FIELD_TEXT, 8, ALWAYS, "Number of this subcontract, assigned by the program"});
    f.Label("   Type ");
    f.Field({"SUBTYPE", FIELD_DROPLIST, 34, ALWAYS,
             "Itemized subcontracts take their amount from their items; suppliers are credited at 60 %",
             kSubTypeList, kStoredList, 4, 50});
    f.Line().Label("Subcontractor   ");
    f.Field({"SubName", FIELD_TEXT, 44, ALWAYS, "Name of the subcontractor as it appears on the agreement"});
    f.Line().Label("Parent No.      ");
    f.Field({"PARENTNO", FIELD_TEXT, 8, NEVER,
             "Number of the subcontract one tier above (empty for first tier)"});
    f.Label("   Agreement Date ");
    f.Field({"AGREEDATE", FIELD_DATE, 10, NEVER, "Date the subcontract agreement was signed"});
    f.Label("   Signed by ");
    f.Field({"SIGNEDBY", FIELD_TEXT, 18, NEVER, "Officer of the subcontractor who signed"});
    f.Line().Label("Remark stamp    ");
    f.Field({"REMID", FIELD_TEXT, 8, NEVER, "Set when the contract is saved"});
    f.Label("   Kind ");
    f.Field({"REMKIND", FIELD_TEXT, 4, NEVER, "Set when the contract is saved"});
    f.Label("   Seq ");
    f.Field({"REMSEQ", FIELD_TEXT, 4, NEVER, "Set when the contract is saved"});
    f.Line().Label("Remarks         ");
    f.Field({"REMARK", FIELD_TEXT, 60, NEVER, "Remarks printed with the subcontractor"});
}

void LayOutVendor(FormLayout& f)
{
    f.Line().Label("Vendor ---------------------------------------------------------------");
    f.Line().Label("Vendor ID       ");
    f.Field({"VENDID", FIELD_DROPTYPE, 8, ALWAYS, "Vendor number in the agency's vendor list", kVendorSource,
             kCheckedList | kMatchTyped, kVendorIdStart, kVendorIdEnd});
    f.Label("   Federal Tax ID ");
    f.Field({"TAXID", FIELD_TEXT, 12, ALWAYS, "Employer identification number, 12-3456789"});
    f.Line().Label("Vendor Name     ");
    f.Field({"VENDNAME", FIELD_TEXT, 34, ALWAYS, "Filled from the vendor list", kVendorSource, 0,
             kVendorNameStart, kVendorNameEnd});
    f.Label("   Phone ");
    f.Field({"PHONE", FIELD_TEXT, 14, NEVER, "Office telephone"});
    f.Line().Label("Address         ");
    f.Field({"VENDADDR", FIELD_TEXT, 32, NEVER, "Filled from the vendor list", kVendorSource, 0,
             kVendorAddressStart, kVendorAddressEnd});
    f.Label("   Contact ");
    f.Field({"CONTACT", FIELD_TEXT, 22, ALWAYS, "Person to call about this subcontract"});
    f.Line().Label("E-mail          ");
    f.Field({"EMAIL", FIELD_TEXT, 32, NEVER, "Contact's e-mail address"});
}

void LayOutAmounts(FormLayout& f)
{
    f.Line().Label("Amount and credit ----------------------------------------------------");
    f.Line().Label("Amount          ");
    f.Field({"AMOUNT", FIELD_MONEY, 14, ALWAYS,
             "Subcontract amount; for itemized subcontracts the sum of the items"});
    f.Label("   Retainage % ");
    f.Field({"RETAINAGE", FIELD_NUMBER, 6, NEVER, "Percentage withheld until completion"});
    f.Label("   Credited % ");
    f.Field({"CREDITPCT", FIELD_NUMBER, 6, ALWAYS, "Share of the amount credited toward the goal"});
    f.Line().Label("DBE Firm        ");
    f.Field({"DBE", FIELD_YESNO, 5, NEVER, "Is the subcontractor a certified firm?"});
    f.Label("   Certification ");
    f.Field({"CERTTYPE", FIELD_DROPLIST, 5, DSF_DBE, "Kind of certification (required for certified firms)",
             kCertTypeList, kStoredList, 1, 4});
    f.Label("   Cert. No. ");
    f.Field({"CERTNO", FIELD_TEXT, 12, DSF_DBE, "Certification number (required for certified firms)"});
    f.Line().Label("Lump Sum (Y/N)  ");
    f.Field({"LUMPSUM", FIELD_TEXT, 1, NEVER, "Y for a lump-sum quote, N for an itemized one"});
    f.Label("   Quote Date ");
    f.Field({"QUOTEDATE", FIELD_DATE, 10, DSF_LUMP_SUM, "Date of the quote (required for lump sums)"});
    f.Label("   Quote No. ");
    f.Field({"QUOTENO", FIELD_TEXT, 12, DSF_LUMP_SUM, "Quote reference (required for lump sums)"});
}

void LayOutWork(FormLayout& f)
{
    f.Line().Label("Work -----------------------------------------------------------------");
    f.Line().Label("Work Types      ");
    f.Field({"WORKTYPE1", FIELD_DROPLIST, 30, ALWAYS,
             "Main work type; the list offers the vendor's work types", kWorkTypeSource});
    f.Label(" ");
    f.Field({"WORKTYPE2", FIELD_DROPLIST, 30, NEVER, "Further work type", kWorkType2Source, kStoredList});
    f.Line().Label("                ");
    f.Field({"WORKTYPE3", FIELD_DROPLIST, 30, NEVER, "Further work type", kWorkType3Source, kStoredList});
    f.Line().Label("Description     ");
    f.Field({"WORKDESC", FIELD_TEXT, 60, ALWAYS, "Work to be done, as in the agreement"});
    f.Line().Label("Planned Start   ");
    f.Field({"STARTDATE", FIELD_DATE, 10, NEVER, "Planned first day on site"});
    f.Label("   Finish ");
    f.Field({"FINISHDATE", FIELD_DATE, 10, NEVER, "Planned last day on site"});
    f.Label("   Working Days ");
    f.Field({"WORKDAYS", FIELD_NUMBER, 4, NEVER, "Days on site"});
}

void LayOutCompliance(FormLayout& f)
{
    f.Line().Label("Insurance, bonds and licences ----------------------------------------");
    f.Line().Label("Insurer         ");
    f.Field({"INSURER", FIELD_TEXT, 24, ALWAYS, "Carrier of the general liability insurance"});
    f.Label("   Policy No. ");
    f.Field({"POLICYNO", FIELD_TEXT, 14, ALWAYS, "Policy number"});
    f.Label("   Expires ");
    f.Field({"POLICYEXP", FIELD_DATE, 10, ALWAYS, "Expiry date of the policy"});
    f.Line().Label("Bonded          ");
    f.Field({"BONDED", FIELD_YESNO, 5, NEVER, "Does the subcontractor furnish a performance bond?"});
    f.Label("   Bond No. ");
    f.Field({"BONDNO", FIELD_TEXT, 14, DSF_BONDED, "Bond number (required when bonded)"});
    f.Label("   Bond Amount ");
    f.Field({"BONDAMT", FIELD_MONEY, 14, DSF_BONDED, "Bond amount (required when bonded)"});
    f.Line().Label("License No.     ");
    f.Field({"LICENSE", FIELD_TEXT, 14, NEVER, "Contractor license number"});
    f.Label("   State ");
    f.Field({"LICSTATE", FIELD_DROPLIST, 4, NEVER, "State that issued the license", kStateList, kStoredList,
             1, 2});
    f.Line().Label("Prequalified    ");
    f.Field({"PREQUAL", FIELD_YESNO, 5, NEVER, "Is the subcontractor prequalified with the agency?"});
    f.Label("   Class ");
    f.Field({"PREQCLASS", FIELD_TEXT, 10, DSF_PREQUALIFIED,
             "Prequalification class (required when prequalified)"});
    f.Line().Label("Labor and safety -----------------------------------------------------");
    f.Line().Label("Certified Payroll ");
    f.Field({"PAYROLL", FIELD_YESNO, 5, NEVER, "Submits certified payrolls electronically"});
    f.Label("   Apprentices ");
    f.Field({"APPRENTICES", FIELD_NUMBER, 3, NEVER, "Registered apprentices on this contract"});
    f.Label("   EEO Officer ");
    f.Field({"EEO", FIELD_TEXT, 20, NEVER, "Equal employment opportunity officer"});
    f.Line().Label("Safety Contact  ");
    f.Field({"SAFETY", FIELD_TEXT, 24, NEVER, "Competent person for site safety"});
    f.Label("   Phone ");
    f.Field({"SAFETYPHONE", FIELD_TEXT, 14, NEVER, "Safety contact's telephone"});
}

void LayOutMaterialsAndApproval(FormLayout& f)
{
    f.Line().Label("Materials and equipment ----------------------------------------------");
    f.Line().Label("Furnishes Materials ");
    f.Field({"FURNMAT", FIELD_YESNO, 5, NEVER, "Does the subcontractor furnish materials?"});
    f.Label("   Materials ");
    f.Field(
        {"MATDESC", FIELD_TEXT, 36, DSF_FURNISHES_MATERIALS, "Materials furnished (required when it does)"});
    f.Line().Label("Equipment       ");
    f.Field({"EQUIPMENT", FIELD_TEXT, 30, NEVER, "Major equipment brought to the site"});
    f.Label("   Trucks ");
    f.Field({"TRUCKS", FIELD_NUMBER, 3, NEVER, "Number of trucks"});
    f.Label("   Hauler Cert. ");
    f.Field({"HAULERCERT", FIELD_TEXT, 10, NEVER, "Hauler certification number"});
    f.Line().Label("Payment Terms   ");
    f.Field({"PAYTERMS", FIELD_DROPTYPE, 22, NEVER, "Choose or type the payment terms", kPayTermsList,
             kStoredList});
    f.Label("   Prompt Pay Days ");
    f.Field({"PROMPTPAY", FIELD_NUMBER, 3, NEVER, "Days to pay the subcontractor after being paid"});
    f.Line().Label("Prepared by     ");
    f.Field({"PREPBY", FIELD_TEXT, 20, NEVER, "Estimator who entered this subcontract"});
    f.Label("   Date ");
    f.Field({"PREPDATE", FIELD_DATE, 10, NEVER, "Date entered"});
    f.Label("   Approved by ");
    f.Field({"APPROVEDBY", FIELD_TEXT, 20, NEVER, "Project manager who approved it"});
    f.Line().Label("Ironbark -------------------------------------------------------------");
    f.Line().Label("Original Amount ");
    f.Field({"ORIGAMT", FIELD_MONEY, 14, NEVER,
             "Amount as received from Ironbark; the amount may not fall below it"});
    f.Label("   Ironbark Ref. ");
    f.Field({"IRONBARKREF", FIELD_TEXT, 12, NEVER, "Reference of the record in Ironbark"});
}

} // namespace

std::unique_ptr<CWinMeta> BuildSubcontractForm()
{
    auto t = std::make_unique<CWinMeta>();
    FlagSet(t->m_wFlags, 2, 1); // list choices are tested by the check
    t->m_PercentFormat = {3, 2};
    t->m_iFontSize = 0;
    t->m_strFontFace = "MS Sans Serif";
    t->m_strText1 = "";
    t->m_strText2 = "";
    FormLayout f(*t);
    LayOutIdentity(f);
    LayOutVendor(f);
    LayOutAmounts(f);
    LayOutWork(f);
    LayOutCompliance(f);
    LayOutMaterialsAndApproval(f);

    t->m_Defaults = {"CREDITPCT,100.00", "RETAINAGE, 5.00", "LUMPSUM,N", "PAYTERMS,Net 30", "PROMPTPAY,10"};

    // The certification list keeps decertified firms (XDBE) for old
    // records; new choices are offered only from the current types.
    CDataFilter* filter = t->m_Filters.SetAt(kCertTypeList);
    filter->m_iStart = 1;
    filter->m_iEnd = 4;
    filter->m_strPattern = {Text("DBE"), Text("MBE"), Text("WBE"), Text("SBE"), Text("VOSB")};
    return t;
}

std::unique_ptr<CWinMeta> BuildMiscForm()
{
    auto t = std::make_unique<CWinMeta>();
    t->m_strFontFace = "MS Sans Serif";
    t->m_iFontSize = 0;
    FormLayout f(*t);
    f.Line().Label("Bidder's statement of subcontracting and DBE participation");
    f.Line();
    f.Line().Label("Prepared by     ");
    f.Field({"PREPARER", FIELD_TEXT, 30, ALWAYS, "Person who prepared the subcontracting statement"});
    f.Label("   Title ");
    f.Field({"PREP_TITLE", FIELD_TEXT, 24, ALWAYS, "Title of that person"});
    f.Line().Label("Phone           ");
    f.Field({"PREP_PHONE", FIELD_TEXT, 14, ALWAYS, "Telephone"});
    f.Label("   E-mail ");
    f.Field({"PREP_EMAIL", FIELD_TEXT, 30, NEVER, "E-mail address"});
    f.Line().Label("Date            ");
    f.Field({"CERT_DATE", FIELD_DATE, 10, ALWAYS, "Date of the statement"});
    f.Line().Label("DBE Goal %      ");
    f.Field({"DBE_GOAL", FIELD_NUMBER, 6, NEVER, "Goal set by the agency"});
    f.Label("   DBE Commitment % ");
    f.Field({"DBE_COMMIT", FIELD_NUMBER, 6, ALWAYS, "Participation the bidder commits to"});
    f.Line().Label("Good Faith Effort ");
    f.Field({"GOOD_FAITH", FIELD_YESNO, 5, NEVER,
             "Is a good-faith effort submitted instead of meeting the goal?"});
    f.Label("   Documentation ");
    f.Field({"GFE_DOCS", FIELD_TEXT, 36, DMF_GOOD_FAITH, "Where the good-faith documentation is"});
    f.Line().Label("Bid Bond No.    ");
    f.Field({"BID_BOND_NO", FIELD_TEXT, 16, ALWAYS, "Number of the bid bond"});
    f.Label("   Surety ");
    f.Field({"SURETY", FIELD_TEXT, 30, ALWAYS, "Surety company of the bid bond"});
    f.Line().Label("Notes           ");
    f.Field({"MISC_NOTES", FIELD_TEXT, 60, NEVER, "Notes to the agency"});
    t->AddRecord(-1, -1);
    return t;
}

} // namespace kestrel::demo
