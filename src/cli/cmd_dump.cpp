// kestrel-cli dump FILE --json: the whole model as JSON (schema in README).

#include <cmath>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/command.h"
#include "cli/loadcontract.h"
#include "cli/opendocument.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel::cli {

namespace {

using nlohmann::json;

json J(const Text& t)
{
    return t ? json(Out(std::string(t.View()))) : json(nullptr);
}
json J(const std::string& s)
{
    return json(Out(s));
}
// A blank number is null; so is a number JSON cannot hold.
json Num(double x)
{
    return IsBlankValue(x) || !std::isfinite(x) ? json(nullptr) : json(x);
}
json Format(const NumberFormat& f)
{
    return {{"digits", f.digits}, {"decimals", f.decimals}};
}

json Strings(const CSAStringArray& list)
{
    json a = json::array();
    for (const std::string_view s : list)
        a.push_back(J(std::string(s)));
    return a;
}

json Item(const CItem& e)
{
    return {{"flags", e.m_wFlags},
            {"lineNumber", J(e.m_strLineNumber)},
            {"altCode", J(e.m_strAltCode)},
            {"itemNumber", J(e.m_strItemNumber)},
            {"quantity", Num(e.m_fQuantity)},
            {"unit", J(e.m_strUnit)},
            {"unitPrice", Num(e.m_fUnitPrice)},
            {"extension", Num(e.m_fExtension)},
            {"shortDescription", J(e.m_strShortDesc)},
            {"longDescription", J(e.m_strLongDesc)}};
}

json Field(const CFieldInfo& f)
{
    return {{"flags", f.m_wFlags},
            {"x", f.m_iX},
            {"y", f.m_iY},
            {"width", f.m_iCX},
            {"height", f.m_iCY},
            {"type", f.m_iType},
            {"listStart", f.m_iListStart},
            {"listEnd", f.m_iListEnd},
            {"required", f.m_iRequired},
            {"name", J(f.m_strName)},
            {"listSource", J(f.m_strListSource)},
            {"help", J(f.m_strHelp)}};
}

json Record(const CWinMeta& t, const CSubcontract& r)
{
    json cells = json::array();
    for (const auto& c : r.m_Cells)
        cells.push_back({{"flags", c->m_wFlags}, {"text", J(c->m_psz)}, {"listIndex", c->m_i}});
    json subItems = json::array();
    r.m_SubItems.ForEach([&](const std::string& line, const CSubItem& s) {
        subItems.push_back({{"line", J(line)},
                            {"flags", s.m_wFlags},
                            {"quantity", Num(s.m_fQuan)},
                            {"unitPrice", Num(s.m_fUP)},
                            {"extension", Num(s.m_fExt)},
                            {"origQuantity", Num(s.m_fOrigQuan)},
                            {"unitType", J(s.m_strUnitType)},
                            {"unitValue", J(s.m_strUnitValue)},
                            {"remarks", J(s.m_strRemarks)},
                            {"extra", {J(s.m_strExtra[0]), J(s.m_strExtra[1]), J(s.m_strExtra[2])}}});
    });
    const int parent = r.m_pParent ? t.m_Records.IndexOf(r.m_pParent) : -1;
    return {{"flags", r.m_wFlags},
            {"parent", parent >= 0 ? json(parent) : json(nullptr)},
            {"cells", cells},
            {"subItems", subItems}};
}

json Table(const CWinMeta* t)
{
    if (!t)
        return nullptr;
    json fields = json::array();
    for (const auto& f : t->m_Fields)
        fields.push_back(Field(*f));
    json records = json::array();
    for (const auto& r : t->m_Records)
        records.push_back(Record(*t, *r));
    json filters = json::array();
    t->m_Filters.ForEach([&](const std::string& name, const CDataFilter& f) {
        json patterns = json::array();
        for (const auto& p : f.m_strPattern)
            patterns.push_back(J(p));
        filters.push_back(
            {{"name", J(name)}, {"start", f.m_iStart}, {"end", f.m_iEnd}, {"patterns", patterns}});
    });
    return {{"flags", t->m_wFlags},
            {"number1", Num(t->m_fNumber1)},
            {"subcontractedTotal", Num(t->m_fSubTotal)},
            {"number2", t->m_iNumber2},
            {"percentFormat", Format(t->m_PercentFormat)},
            {"fontSize", t->m_iFontSize},
            {"fontFace", J(t->m_strFontFace)},
            {"text1", J(t->m_strText1)},
            {"text2", J(t->m_strText2)},
            {"fields", fields},
            {"records", records},
            {"filters", filters},
            {"labelLines", Strings(t->m_LabelLines)},
            {"defaults", Strings(t->m_Defaults)}};
}

json Contract(const CContract& c)
{
    json header = json::array();
    for (const auto& t : c.m_strHeader)
        header.push_back(J(t));
    json items = json::array();
    for (const auto& e : c.m_Items)
        items.push_back(Item(*e));
    json counties = json::array();
    for (const auto& r : c.m_Counties)
        counties.push_back({{"id", J(r->m_strID)}, {"name", J(r->m_strName)}});
    json sites = json::array();
    for (const auto& r : c.m_Sites)
        sites.push_back({{"startDate", r->m_dStartDate},
                         {"endDate", r->m_dEndDate},
                         {"estimatedDays", r->m_dwEstDays},
                         {"damages", Num(r->m_fDamages)},
                         {"typeOfDays", J(r->m_strTypeDays)},
                         {"description", J(r->m_strDescription)}});
    json notes = json::array();
    for (const auto& r : c.m_Notes)
        notes.push_back({{"numberA", r->m_iNumberA}, {"numberB", r->m_iNumberB}, {"text", J(r->m_strText)}});
    json others = json::array();
    for (const auto& r : c.m_OtherRpts)
        others.push_back({{"reportNumber", r->m_wReportNumber},
                          {"first", J(r->m_strFirst)},
                          {"second", J(r->m_strSecond)}});
    json lists = json::array();
    c.m_StoredLists.ForEach([&](const std::string& name, const CSAStringArray& l) {
        lists.push_back({{"name", J(name)}, {"entries", Strings(l)}});
    });
    json templates = json::array();
    c.m_DataTemplates.ForEach([&](const std::string& name, const CPlate& p) {
        templates.push_back({{"name", J(name)}, {"flags", p.m_wFlags}, {"text", J(p.m_strText)}});
    });
    return {{"version", c.m_iVersion},
            {"flags", c.m_wFlags},
            {"headerA", c.m_iHeaderA},
            {"amendCount", c.iAmendCount},
            {"contractTotal", Num(c.m_fContractTotal)},
            {"secondAmount", Num(c.m_fSecondAmount)},
            {"headerB", c.m_iHeaderB},
            {"check", ComputeCheckValue(c)},
            {"lettingDate", c.dLetingDate},
            {"dateGenerated", c.dDateGenerated},
            {"dateRevised", c.m_dDateRevised},
            {"headerTexts", header},
            {"primeId", J(c.m_strPrimeID)},
            {"primeName", J(c.m_strPrimeName)},
            {"furtherTexts", {J(c.m_strFurther[0]), J(c.m_strFurther[1]), J(c.m_strFurther[2])}},
            {"printOptions", c.m_wPrintOptions},
            {"printNumbers", {c.m_iPrintNumber[0], c.m_iPrintNumber[1], c.m_iPrintNumber[2]}},
            {"formats",
             {{"quantity", Format(c.m_QuanFormat)},
              {"unitPrice", Format(c.m_UPFormat)},
              {"extension", Format(c.m_ExtFormat)}}},
            {"formatWord", c.m_wFormatWord},
            {"items", items},
            {"counties", counties},
            {"sites", sites},
            {"notes", notes},
            {"otherReports", others},
            {"lists", lists},
            {"templates", templates},
            {"subcontractorTable", Table(c.m_pSubTable.get())},
            {"miscTable", Table(c.m_pMiscTable.get())}};
}

int RunDump(const std::vector<std::string>& args)
{
    if (args.size() != 2 || args[1] != "--json") {
        PrintError("usage: kestrel-cli dump FILE --json");
        return kExitUnreadable;
    }
    Document document;
    if (const int status = OpenDocument(args[0], document))
        return status;
    const std::unique_ptr<CContract>& c = document.contract;
    std::cout << Contract(*c).dump(2) << "\n";
    return 0;
}

const bool kRegistered = RegisterCommand({"dump", "FILE --json", RunDump});

} // namespace

} // namespace kestrel::cli
