#include "demogen/demosubs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "calc/formats.h"
#include "demogen/demoforms.h"
#include "demogen/demolists.h"
#include "demogen/demorandom.h"
#include "demogen/demoschedule.h"
#include "model/contract/contract.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/winmeta.h"

namespace kestrel::demo {

namespace {

// Positions in the yes/no drop-down ("", "Yes", "No").
constexpr int16_t kYes = 1;
constexpr int16_t kNo = 2;

void SetCell(CSubcontract& r, int field, const std::string& text, int position = -1, uint16_t flags = 0)
{
    r.SetCellText(field, text);
    CCellData* cell = r.GetCell(field);
    cell->m_i = static_cast<int16_t>(position);
    cell->m_wFlags = flags;
}

void SetYesNo(CSubcontract& r, int field, bool yes)
{
    SetCell(r, field, yes ? "Yes" : "No", yes ? kYes : kNo);
}

// Dates in the form's cells read back as the form writes them (style 4).
std::string CellDate(int year, int month, int day)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.2d/%.2d/%.2d", month, day, year % 100);
    return buf;
}

std::string Money(double amount)
{
    return FormatNumber(amount, 11, 2, true, true);
}

std::string Trimmed(std::string s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.pop_back();
    size_t b = 0;
    while (b < s.size() && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    return s.substr(b);
}

// The columns start..end (1-based, 0: to the end) of a list entry, trimmed,
// as a text field linked to the list shows them.
std::string Columns(const std::string& entry, int start, int end)
{
    const size_t from = static_cast<size_t>(std::max(start, 1) - 1);
    if (from >= entry.size())
        return "";
    const size_t to = end <= 0 ? entry.size() : std::min(entry.size(), static_cast<size_t>(end));
    return Trimmed(entry.substr(from, to > from ? to - from : 0));
}

// The subcontract type as the form's "sub type" rule applies it.
void SetSubType(CSubcontract& r, int position)
{
    const CSAStringArray types = {"10", "00", "01", "11"};
    const std::string_view code = types[static_cast<size_t>(position)];
    const bool itemized = code[0] == '1';
    const bool sixty = code[1] == '1';
    static const char* const kShown[] = {"Itemized - by contract items", "Lump sum - full credit",
                                         "Supplier - 60 percent credit",
                                         "Itemized supplier - 60 percent credit"};
    SetCell(r, DSF_TYPE, kShown[position], position);
    FlagSet(r.m_wFlags, SUB_USESSUBITEMS, itemized ? 1 : 0);
    FlagSet(r.m_wFlags, SUB_USESIXTY, sixty ? 1 : 0);
    SetCell(r, DSF_LUMP_SUM, itemized ? "N" : "Y");
    SetCell(r, DSF_CREDIT_PERCENT, itemized || !sixty ? "100.00" : "60.00");
}

// The vendor chosen from the list: the id drop-down and the two text fields
// on the same list take their columns and become read-only.
void SetVendor(CSubcontract& r, const std::string& id)
{
    const int v = FindVendor(id);
    const std::string entry = VendorEntry(DemoVendors()[static_cast<size_t>(v)]);
    constexpr uint16_t kReadOnly = 1u << 2;
    SetCell(r, DSF_VENDOR_ID, Columns(entry, kVendorIdStart, kVendorIdEnd), v);
    SetCell(r, DSF_VENDOR_NAME, Columns(entry, kVendorNameStart, kVendorNameEnd), v, kReadOnly);
    SetCell(r, DSF_VENDOR_ADDRESS, Columns(entry, kVendorAddressStart, kVendorAddressEnd), v, kReadOnly);
}

// A work type as the form stores it: its text and its position in the
// work-type list (the lists of the three fields hold the same entries). The
// vendor's work types only thin out what the drop-down offers; the
// position is never a place among those.
void SetWorkType(CSubcontract& r, int field, const std::string& vendorId, const std::string& code)
{
    std::string codes;
    if (const int v = FindVendor(vendorId); v >= 0)
        codes = DemoVendors()[static_cast<size_t>(v)].workTypes;
    const std::vector<std::string>& types = DemoWorkTypes();
    for (size_t position = 0; position < types.size(); ++position) {
        const std::string& entry = types[position];
        if (entry.substr(0, 4) != code)
            continue;
        bool offered = codes.empty();
        for (size_t i = 0; i < codes.size(); i += 4)
            offered = offered || Trimmed(codes.substr(i, 4)) == code;
        if (offered)
            SetCell(r, field, entry, static_cast<int>(position));
        return;
    }
}

void SetCert(CSubcontract& r, const char* type, int position, const char* number)
{
    SetYesNo(r, DSF_DBE, true);
    SetCell(r, DSF_CERT_TYPE, type, position);
    SetCell(r, DSF_CERT_NUMBER, number);
}

// Identifiers of stamped remarks: 28 digits, as a save leaves them.
std::string RemarkId(DemoRandom& rng)
{
    std::string id;
    for (int i = 0; i < 7; ++i) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%.4d", rng.Below(10000));
        id += buf;
    }
    return id;
}

void SetRemark(CSubcontract& r, DemoRandom& rng, const std::string& remark)
{
    SetCell(r, DSF_REMARK, remark);
    SetCell(r, DSF_REMARK_ID, RemarkId(rng));
    SetCell(r, DSF_REMARK_KIND, "GEN ");
    SetCell(r, DSF_REMARK_SEQ, "001");
}

const CItem& ItemByNumber(const CContract& c, const char* number)
{
    for (const auto& it : c.m_Items)
        if (!it->IsHeading() && TextView(it->m_strItemNumber) == number)
            return *it;
    std::fprintf(stderr, "demogen: no item %s\n", number);
    std::abort();
}

// A sub-item for the contract item with that item number; price and
// quantity as the subcontractor quoted them.
CSubItem* AddLine(const CContract& c, CSubcontract& r, const char* itemNumber, double quantity, double price)
{
    const CItem& item = ItemByNumber(c, itemNumber);
    CSubItem* si = r.AddSubItem(TextView(item.m_strLineNumber));
    si->m_fQuan = quantity;
    si->m_fUP = price;
    si->m_fExt = RoundValue(quantity * price, c.m_ExtFormat.decimals);
    si->m_strUnitType = item.m_strUnit;
    return si;
}

void SetPartial(CSubItem& si)
{
    FlagSet(si.m_wFlags, SUBITEM_PARTIAL, 1);
    si.m_strUnitType = "PART";
}

void SetSubItemRemark(CSubItem& si, DemoRandom& rng, const char* remark)
{
    si.m_strRemarks = remark;
    si.m_strExtra = {Text(RemarkId(rng)), Text("GEN "), Text("001")};
}

CSubcontract& NewRecord(CWinMeta& t, CSubcontract* parent)
{
    CSubcontract* r = t.AddRecord(-1, -1);
    for (const auto& cell : r->m_Cells)
        cell->m_psz = "";
    t.AssignNumber(r);
    t.ApplyDefaults(r);
    r->SetParent(parent);
    return *r;
}

void SetCommon(CSubcontract& r, const char* name, const char* taxId, const char* phone, const char* contact,
               const char* email)
{
    r.SetName(std::string(name));
    SetCell(r, DSF_TAX_ID, taxId);
    SetCell(r, DSF_PHONE, phone);
    SetCell(r, DSF_CONTACT, contact);
    SetCell(r, DSF_EMAIL, email);
    SetCell(r, DSF_PAY_TERMS, "Net 30", 1);
    SetYesNo(r, DSF_CERTIFIED_PAYROLL, true);
    SetCell(r, DSF_PREPARED_BY, "D. Okafor");
    SetCell(r, DSF_PREPARED_DATE, CellDate(2026, 3, 4));
    SetCell(r, DSF_APPROVED_BY, "M. Lindqvist");
}

void SetInsurance(CSubcontract& r, const char* insurer, const char* policy, int year, int month, int day)
{
    SetCell(r, DSF_INSURER, insurer);
    SetCell(r, DSF_POLICY, policy);
    SetCell(r, DSF_POLICY_EXPIRES, CellDate(year, month, day));
}

void SetSchedule(CSubcontract& r, int m1, int d1, int m2, int d2, const char* days)
{
    SetCell(r, DSF_START_DATE, CellDate(2026, m1, d1));
    SetCell(r, DSF_FINISH_DATE, CellDate(2026, m2, d2));
    SetCell(r, DSF_WORK_DAYS, days);
}

void AddPaving(CContract& c, CWinMeta& t, DemoRandom& rng)
{
    CSubcontract& r = NewRecord(t, nullptr);
    SetCommon(r, "Tri-County Paving & Milling, Inc.", "23-1849920", "(570) 555-0142", "Walt Brennan",
              "wbrennan@tricountypaving.example");
    SetSubType(r, 0);
    SetVendor(r, "004117");
    SetWorkType(r, DSF_WORK_TYPE1, "004117", "MILL");
    SetWorkType(r, DSF_WORK_TYPE2, "004117", "ASPH");
    SetCell(r, DSF_WORK_DESCRIPTION, "Milling, tack coat, rumble strips and crack sealing");
    SetCell(r, DSF_AGREEMENT_DATE, CellDate(2026, 3, 2));
    SetCell(r, DSF_SIGNED_BY, "R. Brennan, President");
    SetSchedule(r, 5, 11, 10, 30, "96");
    SetInsurance(r, "Keystone Mutual", "GL-88410273", 2027, 1, 31);
    SetYesNo(r, DSF_BONDED, true);
    SetCell(r, DSF_BOND_NUMBER, "PB-2026-0311");
    SetCell(r, DSF_BOND_AMOUNT, Money(412000));
    SetCell(r, DSF_LICENSE, "PA-118842");
    SetCell(r, DSF_LICENSE_STATE, "PA", 5);
    SetYesNo(r, DSF_PREQUALIFIED, true);
    SetCell(r, DSF_PREQUAL_CLASS, "A-2");
    SetYesNo(r, DSF_DBE, false);
    SetYesNo(r, DSF_FURNISHES_MATERIALS, true);
    SetCell(r, DSF_MATERIALS, "Tack emulsion, crack sealant");
    SetCell(r, DSF_EQUIPMENT, "Two 2200 mm milling machines");
    SetCell(r, DSF_TRUCKS, "14");
    SetRemark(r, rng, "Milling crew works nights on the bridge approaches.");
    AddLine(c, r, "410-01020", 96500, 1.85);
    AddLine(c, r, "410-01040", 18200, 3.1);
    AddLine(c, r, "401-03000", 21500, 3.05);
    AddLine(c, r, "401-07000", 34200, 0.39);
    AddLine(c, r, "401-08000", 14600, 2.4);
    CSubItem* mot = AddLine(c, r, "112-01000", 1, 36500);
    SetPartial(*mot);
    SetSubItemRemark(*mot, rng, "Night work zone set-up for milling only");
}

void AddBridge(CContract& c, CWinMeta& t, DemoRandom& rng)
{
    CSubcontract& r = NewRecord(t, nullptr);
    SetCommon(r, "Keystone Bridge & Structures LLC", "25-3310478", "(610) 555-0199", "Ana Ferreira",
              "aferreira@keystonebridge.example");
    SetSubType(r, 0);
    SetVendor(r, "011503");
    SetWorkType(r, DSF_WORK_TYPE1, "011503", "BRDG");
    SetWorkType(r, DSF_WORK_TYPE2, "011503", "CONC");
    SetWorkType(r, DSF_WORK_TYPE3, "011503", "PNTG");
    SetCell(r, DSF_WORK_DESCRIPTION, "Bridge 47-0183: substructure and deck repairs, deck, joints");
    SetCell(r, DSF_AGREEMENT_DATE, CellDate(2026, 3, 3));
    SetCell(r, DSF_SIGNED_BY, "A. Ferreira, Member");
    SetSchedule(r, 5, 18, 12, 11, "150");
    SetInsurance(r, "Commonwealth Casualty", "CGL-5521907", 2026, 12, 31);
    SetYesNo(r, DSF_BONDED, true);
    SetCell(r, DSF_BOND_NUMBER, "SB-77120");
    SetCell(r, DSF_BOND_AMOUNT, Money(1850000));
    SetYesNo(r, DSF_PREQUALIFIED, true);
    SetCell(r, DSF_PREQUAL_CLASS, "B-1");
    SetYesNo(r, DSF_DBE, false);
    SetYesNo(r, DSF_FURNISHES_MATERIALS, true);
    SetCell(r, DSF_MATERIALS, "Concrete, reinforcing steel, joint seals");
    SetRemark(r, rng, "Deck concrete quantity to be confirmed after hydrodemolition.");
    AddLine(c, r, "503-03000", 185, 1020);
    AddLine(c, r, "503-04000", 26400, 1.72);
    AddLine(c, r, "503-06000", 16, 6650);
    AddLine(c, r, "503-07000", 860, 128);
    AddLine(c, r, "504-01000", 2400, 61);
    AddLine(c, r, "504-01100", 650, 104);
    // More deck concrete than the contract holds: the quote was made on the
    // estimator's take-off, not the bid quantity.
    CSubItem* deck = AddLine(c, r, "504-02000", 450, 1295);
    SetSubItemRemark(*deck, rng, "Quote based on 450 CY take-off; contract shows 412.5 CY");
    AddLine(c, r, "504-03000", 78500, 1.69);
    AddLine(c, r, "504-04000", 186, 612);
}

void AddRebar(CContract& c, CWinMeta& t, CSubcontract& parent)
{
    CSubcontract& r = NewRecord(t, &parent);
    SetCommon(r, "Allegheny Rebar Placement Co.", "25-1177302", "(412) 555-0123", "Dale Kowalski",
              "dkowalski@alleghenyrebar.example");
    SetSubType(r, 0);
    SetVendor(r, "015220");
    SetWorkType(r, DSF_WORK_TYPE1, "015220", "REBR");
    SetCell(r, DSF_WORK_DESCRIPTION, "Place and tie epoxy coated reinforcing steel");
    SetCell(r, DSF_AGREEMENT_DATE, CellDate(2026, 3, 5));
    SetInsurance(r, "Three Rivers Indemnity", "TR-440917", 2027, 3, 1);
    SetCert(r, "MBE", 1, "MBE-20-4471");
    AddLine(c, r, "503-04000", 26400, 0.64);
    AddLine(c, r, "504-03000", 78500, 0.58);
}

void AddGuardrail(CWinMeta& t, DemoRandom& rng)
{
    CSubcontract& r = NewRecord(t, nullptr);
    SetCommon(r, "Blue Ridge Guardrail Co.", "54-2209815", "(540) 555-0177", "Carla Nguyen",
              "cnguyen@blueridgeguardrail.example");
    SetSubType(r, 1);
    SetVendor(r, "020884");
    SetWorkType(r, DSF_WORK_TYPE1, "020884", "GRDL");
    SetWorkType(r, DSF_WORK_TYPE2, "020884", "SIGN");
    SetCell(r, DSF_WORK_DESCRIPTION, "Guardrail, terminals, transitions, cable barrier and signs");
    SetCell(r, DSF_AMOUNT, Money(286450));
    SetCell(r, DSF_QUOTE_DATE, CellDate(2026, 3, 9));
    SetCell(r, DSF_QUOTE_NUMBER, "BRG-26-0412");
    SetCell(r, DSF_AGREEMENT_DATE, CellDate(2026, 3, 10));
    SetSchedule(r, 8, 3, 10, 16, "38");
    SetInsurance(r, "Shenandoah Insurance", "SI-2026-1187", 2026, 11, 30);
    SetCert(r, "WBE", 2, "WBE-19-0866");
    SetRemark(r, rng, "Certified WBE; counts toward the DBE goal.");
}

CSubcontract& AddSupplier(CWinMeta& t)
{
    CSubcontract& r = NewRecord(t, nullptr);
    SetCommon(r, "Mason Aggregate Supply Corp.", "23-6604418", "(717) 555-0150", "Jim Mason",
              "sales@masonaggregate.example");
    SetSubType(r, 2);
    // Typed by the estimator instead of chosen from the vendor list: the
    // check warns about it.
    SetCell(r, DSF_VENDOR_ID, "MASON");
    SetWorkType(r, DSF_WORK_TYPE1, "", "AGGR");
    SetCell(r, DSF_WORK_DESCRIPTION, "Furnish crushed stone, aggregate base and riprap, delivered");
    SetCell(r, DSF_AMOUNT, Money(212400));
    SetCell(r, DSF_QUOTE_DATE, CellDate(2026, 3, 6));
    SetCell(r, DSF_QUOTE_NUMBER, "Q-31177");
    SetInsurance(r, "Keystone Mutual", "GL-70211984", 2026, 9, 30);
    SetCert(r, "DBE", 0, "DBE-18-2290");
    SetYesNo(r, DSF_FURNISHES_MATERIALS, true);
    SetCell(r, DSF_MATERIALS, "No. 2A and No. 57 stone, R-4 riprap");
    return r;
}

void AddTrucking(CWinMeta& t, CSubcontract& parent)
{
    CSubcontract& r = NewRecord(t, &parent);
    // Entered in a hurry: no tax id, no quote date, no insurance yet.
    SetCommon(r, "Hollins Trucking LLC", "", "(570) 555-0108", "Pete Hollins", "");
    SetSubType(r, 1);
    SetVendor(r, "031076");
    SetWorkType(r, DSF_WORK_TYPE1, "031076", "TRCK");
    SetCell(r, DSF_WORK_DESCRIPTION, "Haul aggregate from the Tuckahoe quarry");
    SetCell(r, DSF_AMOUNT, Money(38500));
    SetCell(r, DSF_QUOTE_NUMBER, "by phone");
    SetCell(r, DSF_TRUCKS, "6");
    SetCell(r, DSF_HAULER_CERT, "HC-20931");
}

void AddSignals(CContract& c, CWinMeta& t, DemoRandom& rng)
{
    CSubcontract& r = NewRecord(t, nullptr);
    // Received from Ironbark: locked in the form, and exempt from the
    // required fields, which Ironbark does not send.
    FlagSet(r.m_wFlags, SUB_FROMIRONBARK, 1);
    r.SetName(std::string("Piedmont Signal & Lighting, Inc."));
    SetSubType(r, 0);
    SetVendor(r, "036612");
    SetWorkType(r, DSF_WORK_TYPE1, "036612", "LGHT");
    SetWorkType(r, DSF_WORK_TYPE2, "036612", "ELEC");
    SetCell(r, DSF_IRONBARK_REF, "IB-26-004471");
    SetRemark(r, rng, "Imported from Ironbark; quantities may be raised, not lowered.");
    const struct {
        const char* number;
        double quantity;
        double price;
    } lines[] = {
        {"680-01000", 24, 3880}, {"680-02000", 28, 1040}, {"680-03000", 4600, 16.2}, {"680-04000", 32, 815},
        {"681-01000", 4, 33900}, {"681-02000", 16, 1310}, {"681-03000", 1, 38800},   {"681-04000", 8, 3520},
    };
    double original = 0;
    for (const auto& l : lines) {
        CSubItem* si = AddLine(c, r, l.number, l.quantity, l.price);
        FlagSet(si->m_wFlags, SUBITEM_FROMIRONBARK, 1);
        si->m_fOrigQuan = l.quantity;
        original += si->m_fExt;
    }
    SetCell(r, DSF_ORIGINAL_AMOUNT, Money(original));
}

void FillMiscData(CContract& c)
{
    CSubcontract* m = c.m_pMiscTable->m_Records.GetAt(0);
    for (const auto& cell : m->m_Cells)
        cell->m_psz = "";
    SetCell(*m, DMF_PREPARER, "Margaret Lindqvist");
    SetCell(*m, DMF_TITLE, "Chief Estimator");
    SetCell(*m, DMF_PHONE, "(570) 555-0100");
    SetCell(*m, DMF_EMAIL, "bids@harrowlane.example");
    SetCell(*m, DMF_DATE, CellDate(2026, 3, 11));
    SetCell(*m, DMF_DBE_GOAL, "11.00");
    SetCell(*m, DMF_DBE_COMMITMENT, "11.40");
    SetYesNo(*m, DMF_GOOD_FAITH, false);
    SetCell(*m, DMF_SURETY, "Great Valley Surety Company");
    SetCell(*m, DMF_NOTES, "Bid bond number to follow from the surety before the letting.");
}

} // namespace

void UpdateSubItemMarks(CContract& c)
{
    CWinMeta& t = *c.m_pSubTable;
    const bool tracked = FlagTest(c.m_wFlags, CONTRACT_TRACK_PRICES);
    for (int i = 0; i < t.m_Records.GetSize(); ++i) {
        CSubcontract* r = t.m_Records[i];
        r->m_SubItems.ForEach([&](const std::string& line, CSubItem& si) {
            const CItem* item = c.FindItemByLineNumber(line);
            const bool over = RemainingQuantity(c, item, r->m_pParent) < -0.01;
            const bool priceOver = tracked && RemainingExtension(c, item, r->m_pParent) < -0.01;
            FlagSet(si.m_wFlags, SUBITEM_OVERCOMMITTED, over ? 1 : 0);
            FlagSet(si.m_wFlags, SUBITEM_PRICE_OVERCOMMITTED, priceOver ? 1 : 0);
            const bool entered =
                !IsBlankValue(si.m_fQuan) && !IsBlankValue(si.m_fUP) && !IsBlankValue(si.m_fExt);
            const bool complete =
                entered && !over && !priceOver && !FlagTest(si.m_wFlags, SUBITEM_INVALID_QUANTITY);
            FlagSet(si.m_wFlags, SUBITEM_COMPLETE, complete ? 1 : 0);
        });
    }
    for (int i = 0; i < t.m_Records.GetSize(); ++i)
        t.UpdateSubItemState(i, FlagTest(c.m_wFlags, CONTRACT_IRONBARK_LOCKED));
    t.UpdateCompleteness(-1, FlagTest(c.m_wFlags, CONTRACT_IRONBARK_LOCKED));
}

void FillDemoSubcontracts(CContract& c)
{
    CWinMeta& t = *c.m_pSubTable;
    DemoRandom rng(471);
    AddPaving(c, t, rng);
    AddBridge(c, t, rng);
    AddRebar(c, t, *t.m_Records[1]);
    AddGuardrail(t, rng);
    CSubcontract& supplier = AddSupplier(t);
    AddTrucking(t, supplier);
    AddSignals(c, t, rng);
    FillMiscData(c);
    c.RecalculateContract();
    UpdateSubItemMarks(c);
    c.m_pMiscTable->UpdateCompleteness(-1, false);
}

void FillLargeSubcontracts(CContract& c, int count, int subItems)
{
    CWinMeta& t = *c.m_pSubTable;
    std::vector<const CItem*> items;
    for (const auto& it : c.m_Items)
        if (!it->IsHeading())
            items.push_back(it.get());
    DemoRandom rng(1183);
    const auto& vendors = DemoVendors();
    CSubcontract* lastTop = nullptr;
    for (int n = 0; n < count; ++n) {
        CSubcontract* parent = (n % 4 == 3) ? lastTop : nullptr;
        CSubcontract* r = t.AddRecord(-1, -1);
        for (const auto& cell : r->m_Cells)
            cell->m_psz = "";
        r->SetNumber(n + 1);
        t.ApplyDefaults(r);
        r->SetParent(parent);
        if (!parent)
            lastTop = r;
        const Vendor& v = vendors[static_cast<size_t>(rng.Below(static_cast<int>(vendors.size())))];
        r->SetName(v.name);
        SetSubType(*r, n % 5 == 1 ? 1 : 0);
        SetVendor(*r, v.id);
        SetCell(*r, DSF_WORK_DESCRIPTION, "Generated subcontract");
        SetCell(*r, DSF_TAX_ID, "00-0000000");
        SetCell(*r, DSF_CONTACT, "Estimator");
        SetInsurance(*r, "Generated Mutual", "GM-1", 2027, 1, 1);
        if (!r->IsItemized()) {
            SetCell(*r, DSF_AMOUNT, Money(10000 + rng.Below(500000)));
            SetCell(*r, DSF_QUOTE_DATE, CellDate(2026, 3, 1));
            SetCell(*r, DSF_QUOTE_NUMBER, "Q-1");
            continue;
        }
        for (int k = 0; k < subItems && !items.empty(); ++k) {
            const CItem* item = items[static_cast<size_t>(rng.Below(static_cast<int>(items.size())))];
            const std::string line(TextView(item->m_strLineNumber));
            if (r->FindSubItem(line))
                continue;
            CSubItem* si = r->AddSubItem(line);
            si->m_fQuan = RoundValue(item->m_fQuantity * 0.05, 3);
            si->m_fUP = IsBlankValue(item->m_fUnitPrice) ? 0 : RoundValue(item->m_fUnitPrice * 0.9, 5);
            si->m_fExt = RoundValue(si->m_fQuan * si->m_fUP, c.m_ExtFormat.decimals);
            si->m_strUnitType = item->m_strUnit;
        }
    }
    c.RecalculateContract();
    UpdateSubItemMarks(c);
}

} // namespace kestrel::demo
