#include "report/fieldreader.h"

#include <cmath>
#include <functional>
#include <string_view>

#include "calc/evaluator.h"
#include "model/contract/contract.h"
#include "model/subcontract/check.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/winmeta.h"
#include "report/fieldcatalogue.h"
#include "report/reportcontext.h"
#include "report/reportfault.h"
#include "report/templatenodes.h"

namespace kestrel {

namespace {

// Positions are kept well inside int so that advancing never overflows.
constexpr int kMaxPosition = 1 << 28;

void Advance(TemplateField& f)
{
    if (f.position < kMaxPosition)
        ++f.position;
}

void SetMoreBits(TemplateField& f, bool more, bool twoMore)
{
    FlagSet(f.options, FB_MORE, more ? 1 : 0);
    FlagSet(f.options, FB_TWOMORE, twoMore ? 1 : 0);
}

// The raw value of a single-valued source, before positioning decides
// whether it is shown.
struct RawValue {
    bool present = false;
    const Text* text = nullptr;
    double number = 0;
    uint32_t u32 = 0;
    uint16_t flags = 0;
};

RawValue ContractValue(const CContract& c, int code)
{
    RawValue v;
    v.present = true;
    auto header = [&](int index) { v.text = &c.m_strHeader[static_cast<size_t>(index)]; };
    switch (code) {
    case FC_AGENCY: header(HDR_AGENCY); break;
    case FC_LETTING_DATE: v.u32 = c.dLetingDate; break;
    case FC_LETTING_ID: header(HDR_LETTING_ID); break;
    case FC_CALL_ORDER: header(HDR_CALL_ORDER); break;
    case FC_CONTRACT_ID: header(HDR_CONTRACT_ID); break;
    case FC_DATE_GENERATED: v.u32 = c.dDateGenerated; break;
    case FC_DATE_REVISED: v.u32 = c.m_dDateRevised; break;
    case FC_CONTRACT_TYPE: header(HDR_CONTRACT_TYPE); break;
    case FC_CONTRACT_TYPE_TEXT: header(HDR_CONTRACT_TYPE2); break;
    case FC_HIGHWAY_NUMBER: header(HDR_HIGHWAY_NUMBER); break;
    case FC_CONTROLLING_PROJECT: header(HDR_CONTROLLING_PROJECT); break;
    case FC_CONTROLLING_ROUTE: header(HDR_CONTROLLING_ROUTE); break;
    case FC_FUND_TYPE: header(HDR_FUND_TYPE); break;
    case FC_ALTERNATE_CONTRACT_ID: header(HDR_ALTERNATE_CONTRACT_ID); break;
    case FC_CONTRACT_LOCATION: header(HDR_CONTRACT_LOCATION); break;
    case FC_CONTRACT_DESCRIPTION: header(HDR_CONTRACT_DESCRIPTION); break;
    case FC_PROJECT_NUMBER: header(HDR_PROJECT_NUMBER); break;
    case FC_ROAD_NAME: header(HDR_ROAD_NAME); break;
    case FC_ROUTE: header(HDR_ROUTE); break;
    case FC_CONTRACT_TOTAL: v.number = c.m_fContractTotal; break;
    case FC_PRIME_ID: v.text = &c.m_strPrimeID; break;
    case FC_PRIME_NAME: v.text = &c.m_strPrimeName; break;
    case FC_SERIAL_NUMBER: header(HDR_SERIAL_NUMBER); break;
    case FC_CHECK: v.u32 = c.m_dwCheck; break;
    case FC_BID_ERRORS:
    case FC_INFORMATIONAL: v.flags = c.m_wFlags; break;
    default: v.present = false; break;
    }
    return v;
}

RawValue SubValue(const CSubcontract* s)
{
    RawValue v;
    if (s) {
        v.present = true;
        v.flags = s->m_wFlags;
    }
    return v;
}

RawValue SubItemValue(const CSubItem* si, int code)
{
    RawValue v;
    if (!si)
        return v;
    v.present = true;
    switch (code) {
    case FC_SUBITEM_QUANTITY: v.number = si->m_fQuan; break;
    case FC_SUBITEM_UNIT_PRICE: v.number = si->m_fUP; break;
    case FC_SUBITEM_EXTENSION: v.number = si->m_fExt; break;
    case FC_SUBITEM_ORIGQUAN: v.number = si->m_fOrigQuan; break;
    case FC_SUBITEM_REMARKS: v.text = &si->m_strRemarks; break;
    case FC_SUBITEM_OVERCOMMITTED:
    case FC_SUBITEM_PARTIAL:
    case FC_SUBITEM_FROMIRONBARK: v.flags = si->m_wFlags; break;
    default: v.present = false; break;
    }
    return v;
}

// One chunk of a word-wrapped text; the rest is left in remainder.
std::string TakeChunk(std::string_view text, int size, std::string& remainder)
{
    const size_t sz = static_cast<size_t>(size);
    const size_t lf = text.find('\n');
    if (size == 0) {
        if (lf == std::string_view::npos) {
            remainder.clear();
            return std::string(text);
        }
        remainder.assign(text.substr(lf + 1));
        return std::string(text.substr(0, lf));
    }
    if (lf != std::string_view::npos && lf < sz) {
        remainder.assign(text.substr(lf + 1));
        return std::string(text.substr(0, lf));
    }
    if (text.size() <= sz) {
        remainder.clear();
        return std::string(text);
    }
    for (size_t k = sz; k >= 1; --k) {
        const char c = text[k];
        if (c == ' ' || c == '\t' || c == '\n') {
            remainder.assign(text.substr(k + 1));
            return std::string(text.substr(0, k));
        }
    }
    remainder.assign(text.substr(sz));
    return std::string(text.substr(0, sz));
}

// Line n of a text of LF-separated lines (a final LF starts no extra line).
bool LineOf(std::string_view text, int n, std::string& line)
{
    size_t start = 0;
    for (int k = 0; k < n; ++k) {
        const size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos)
            return false;
        start = lf + 1;
    }
    if (start >= text.size())
        return false;
    const size_t lf = text.find('\n', start);
    line.assign(text.substr(start, lf == std::string_view::npos ? std::string_view::npos : lf - start));
    return true;
}

void Positioning(CReportContext& ctx, TemplateField& f)
{
    const bool hasStart = f.FindOption(OPT_START) != nullptr;
    if ((FlagTest(f.options, FB_RESET) || hasStart) && !f.used) {
        f.position = hasStart ? CFieldReader::OptionInt(ctx, f, OPT_START, 0, kMaxPosition) : 0;
        f.position = f.position > 0 ? f.position - 1 : 0;
        f.remaining.reset();
    }
    const bool hasIndex = f.FindOption(OPT_INDEX) != nullptr;
    if (hasIndex || f.entry->mode == 3) {
        f.position = hasIndex ? CFieldReader::OptionInt(ctx, f, OPT_INDEX, 0, kMaxPosition) : 0;
        f.position = f.position > 0 ? f.position - 1 : 0;
        f.remaining.reset();
    }
}

FieldValue ReadList(TemplateField& f, int count, const std::function<void(int, FieldValue&)>& get)
{
    FieldValue v;
    SetMoreBits(f, f.position + 1 < count, f.position + 2 < count);
    if (f.position < count) {
        v.has = true;
        get(f.position, v);
    }
    Advance(f);
    return v;
}

FieldValue ReadSpecial(CReportContext& ctx, TemplateField& f)
{
    FieldValue v;
    const CContract& c = ctx.Contract();
    switch (f.code) {
    case FC_DROP: {
        v.has = true;
        if (!ctx.Engine().Measuring()) {
            const int n = ctx.Engine().Lines() - ctx.FooterSize() - ctx.Engine().Line();
            if (n > 0)
                v.text.assign(static_cast<size_t>(n), '\n');
        }
        return v;
    }
    case FC_SECTION_INDEX:
    case FC_SECTION_COUNT:
    case FC_ITEM_INDEX:
    case FC_ITEM_COUNT: ThrowReportFault("Unknown special Value");
    case FC_PAGE_NUMBER:
        v.has = true;
        v.u32 = static_cast<uint32_t>(ctx.ShownPageNumber());
        return v;
    case FC_SUB_ISCHILDSUB:
    case FC_SUB_CHILDSUBCOUNT:
    case FC_SUB_AMMTSUBBED: {
        const CSubcontract* sub = ctx.CurrentSub();
        if (!sub)
            return v;
        v.has = true;
        if (f.code == FC_SUB_ISCHILDSUB) {
            v.flags = sub->m_pParent ? 1 : 0;
            return v;
        }
        uint32_t count = 0;
        double amount = 0;
        if (const CWinMeta* table = c.m_pSubTable.get()) {
            for (const auto& r : table->m_Records) {
                if (r && r->m_pParent == sub) {
                    ++count;
                    const Text* t = r->GetCellText(SUBF_AMOUNT);
                    if (t)
                        amount += ParseAmountText(TextView(*t));
                }
            }
        }
        v.u32 = count;
        v.number = amount;
        return v;
    }
    case FC_SUBITEM_LINE_NUMBER:
    case FC_SUBITEM_ALT_CODE:
    case FC_SUBITEM_SHORT_DESC:
    case FC_SUBITEM_NUMBER:
    case FC_SUBITEM_UNIT: {
        const CItem* item = ctx.CurrentSubItem().first;
        if (!item)
            return v;
        v.has = true;
        const Text* t = nullptr;
        switch (f.code) {
        case FC_SUBITEM_LINE_NUMBER: t = &item->m_strLineNumber; break;
        case FC_SUBITEM_ALT_CODE: t = &item->m_strAltCode; break;
        case FC_SUBITEM_SHORT_DESC: t = &item->m_strShortDesc; break;
        case FC_SUBITEM_NUMBER: t = &item->m_strItemNumber; break;
        default: t = &item->m_strUnit; break; // FC_SUBITEM_UNIT
        }
        v.text.assign(TextView(*t));
        return v;
    }
    default: ThrowReportFault("Internal Error GDP # %d", static_cast<int>(f.entry->source));
    }
}

FieldValue ReadColumn(CReportContext& ctx, const TemplateField& f)
{
    FieldValue v;
    const CContract& c = ctx.Contract();
    const CSubcontract* record = nullptr;
    int column = 0;
    if (f.entry->source == SRC_SUBCOLUMN) {
        record = ctx.CurrentSub();
        column = f.code - FC_SUBCOLUMN_BASE;
    } else {
        record = c.m_pMiscTable ? c.m_pMiscTable->m_Records.GetAt(0) : nullptr;
        column = f.code - FC_MISCCOLUMN_BASE;
    }
    if (!record)
        return v;
    v.has = true;
    if (const Text* t = record->GetCellText(column))
        v.text.assign(TextView(*t));
    return v;
}

// Contract, subcontractor, sub-item and literal sources.
FieldValue ReadSingle(CReportContext& ctx, TemplateField& f, const RawValue& raw)
{
    FieldValue v;
    SetMoreBits(f, false, false);
    const CatalogueEntry& e = *f.entry;
    if (!raw.present) {
        Advance(f);
        return v;
    }
    if (e.kind == KIND_TEXT && e.mode == 1) {
        const int size = CFieldReader::OptionInt(ctx, f, OPT_SIZE, 0, 512);
        const std::string source = f.position == 0
                                       ? std::string(raw.text ? TextView(*raw.text) : std::string_view())
                                       : std::string(TextView(f.remaining));
        std::string rest;
        v.has = true;
        v.text = TakeChunk(source, size, rest);
        SetMoreBits(f, !rest.empty(), rest.size() > static_cast<size_t>(size));
        f.remaining = std::move(rest);
        Advance(f);
        return v;
    }
    if (e.kind == KIND_TEXT && e.mode == 2) {
        const std::string_view text = raw.text ? TextView(*raw.text) : std::string_view();
        std::string scratch;
        v.has = LineOf(text, f.position, v.text);
        SetMoreBits(f, LineOf(text, f.position + 1, scratch), LineOf(text, f.position + 2, scratch));
        Advance(f);
        return v;
    }
    v.has = f.position == 0;
    Advance(f);
    if (v.has) {
        if (raw.text)
            v.text.assign(TextView(*raw.text));
        v.number = raw.number;
        v.u32 = raw.u32;
        v.flags = raw.flags;
    }
    return v;
}

} // namespace

double CFieldReader::OptionValue(CReportContext& ctx, const TemplateField& field, int optionCode,
                                 bool* present)
{
    const FieldOption* o = field.FindOption(optionCode);
    if (present)
        *present = o != nullptr;
    if (!o)
        return optionCode == OPT_SIZE ? field.entry->size : 0;
    ctx.SetSpecials();
    return ctx.Evaluate(TextView(o->value));
}

int CFieldReader::OptionInt(CReportContext& ctx, const TemplateField& field, int optionCode, int lo, int hi,
                            bool* present)
{
    const double x = OptionValue(ctx, field, optionCode, present);
    if (IsBlankValue(x) || std::isnan(x))
        return lo > 0 ? lo : (hi < 0 ? hi : 0);
    if (x <= lo)
        return lo;
    if (x >= hi)
        return hi;
    return static_cast<int>(x);
}

FieldValue CFieldReader::Read(CReportContext& ctx, TemplateField& f)
{
    const CatalogueEntry& e = *f.entry;
    const CContract& c = ctx.Contract();
    switch (e.source) {
    case SRC_ITEM:
    case SRC_SECTION: ThrowReportFault("Internal Error GFSD # %d", static_cast<int>(e.source));
    case SRC_SPECIAL: SetMoreBits(f, false, false); return ReadSpecial(ctx, f);
    case SRC_SUBCOLUMN:
    case SRC_MISCCOLUMN: SetMoreBits(f, false, false); return ReadColumn(ctx, f);
    case SRC_COUNTY:
        Positioning(ctx, f);
        return ReadList(f, c.m_Counties.GetSize(), [&](int k, FieldValue& v) {
            const CCounty* r = c.m_Counties.GetAt(k);
            v.text.assign(TextView(f.code == FC_COUNTY_ID ? r->m_strID : r->m_strName));
        });
    case SRC_SITE:
        Positioning(ctx, f);
        return ReadList(f, c.m_Sites.GetSize(), [&](int k, FieldValue& v) {
            const CSite* r = c.m_Sites.GetAt(k);
            switch (f.code) {
            case FC_SITE_ESTIMATED_DAYS: v.u32 = r->m_dwEstDays; break;
            case FC_SITE_START_DATE: v.u32 = r->m_dStartDate; break;
            case FC_SITE_END_DATE: v.u32 = r->m_dEndDate; break;
            case FC_SITE_TYPE_DAYS: v.text.assign(TextView(r->m_strTypeDays)); break;
            case FC_SITE_DAMAGES: v.number = r->m_fDamages; break;
            case FC_SITE_DESCRIPTION: v.text.assign(TextView(r->m_strDescription)); break;
            default: break;
            }
        });
    case SRC_CHECK: {
        Positioning(ctx, f);
        const auto& list = ctx.Check().messages;
        return ReadList(f, static_cast<int>(list.size()),
                        [&](int k, FieldValue& v) { v.text = list[static_cast<size_t>(k)].text; });
    }
    case SRC_LITERAL: {
        Positioning(ctx, f);
        RawValue raw;
        raw.present = true;
        raw.text = &f.text;
        if (f.code == FC_NUMBERSTRING) {
            if (f.text) {
                ctx.SetSpecials();
                raw.number = ctx.Evaluate(f.text.View());
            }
        }
        return ReadSingle(ctx, f, raw);
    }
    case SRC_CONTRACT:
        if (f.code == FC_CHECK)
            ctx.RenewCheckValue();
        Positioning(ctx, f);
        return ReadSingle(ctx, f, ContractValue(c, f.code));
    case SRC_SUB: Positioning(ctx, f); return ReadSingle(ctx, f, SubValue(ctx.CurrentSub()));
    case SRC_SUBITEM: {
        Positioning(ctx, f);
        const CSubItem* si = ctx.CurrentSubItem().second;
        return ReadSingle(ctx, f, SubItemValue(si, f.code));
    }
    default: ThrowReportFault("Internal Error GDP # %d", static_cast<int>(e.source));
    }
}

} // namespace kestrel
