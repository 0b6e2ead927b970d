#include "demogen/demotemplates.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "model/contract/contract.h"

namespace kestrel::demo {

namespace {

constexpr int kPageWidth = 80;

// Builds one template line and keeps count of the columns it prints, so
// that a line that would run past the page edge stops the generator
// instead of being cut silently on paper. Every field is given an explicit
// SIZE for the same reason.
class TemplateLine {
public:
    // Literal text, printed as written (backslashes and braces escaped).
    TemplateLine& Text(std::string_view literal)
    {
        for (char c : literal) {
            if (c == '\\' || c == '{')
                m_source += '\\';
            m_source += c;
        }
        m_width += static_cast<int>(literal.size());
        return *this;
    }
    TemplateLine& Repeat(char c, int count) { return Text(std::string(static_cast<size_t>(count), c)); }
    // A field: {body,SIZE=width}.
    TemplateLine& Field(std::string_view body, int width)
    {
        m_source += "{" + std::string(body) + ",SIZE=" + std::to_string(width) + "}";
        m_width += width;
        return *this;
    }
    // Template source written as is, printing `width` columns.
    TemplateLine& Raw(std::string_view source, int width)
    {
        m_source += source;
        m_width += width;
        return *this;
    }
    TemplateLine& PadTo(int column)
    {
        if (column < m_width)
            Fail("column already passed");
        return Repeat(' ', column - m_width);
    }
    // The line with its line break.
    std::string End()
    {
        Check();
        return m_source + "\n";
    }
    // The line without a line break: a trailing backslash joins it to the
    // next, so a line that only calls a template prints nothing of its own.
    std::string Joined()
    {
        Check();
        return m_source + "\\\n";
    }

private:
    void Check()
    {
        if (m_width > kPageWidth)
            Fail("line wider than the page");
    }
    [[noreturn]] void Fail(const char* what) const
    {
        std::fprintf(stderr, "demogen: template %s: %s\n", what, m_source.c_str());
        std::abort();
    }

    std::string m_source;
    int m_width = 0;
};

TemplateLine L()
{
    return TemplateLine();
}

std::string Blank()
{
    return "\n";
}

std::string Rule(char c)
{
    return L().Repeat(c, kPageWidth).End();
}

std::string Centered(std::string_view text)
{
    return L().Repeat(' ', (kPageWidth - static_cast<int>(text.size())) / 2).Text(text).End();
}

// A line that prints the named template when the condition holds.
std::string CallIf(std::string_view condition, std::string_view name)
{
    return L().Raw("{" + std::string(condition) + "?[" + std::string(name) + "]}", 0).Joined();
}

std::string Front()
{
    std::string t = Blank() + Blank() + Blank();
    t += L().Field("AGENCY,JUSTIFY=C", 80).End();
    t += L().Field("CONTRACT_LOCATION,JUSTIFY=C", 80).End();
    t += Blank() + Blank();
    t += Centered("SUBCONTRACTOR REPORT");
    t += Centered("Subcontractors, subcontracted items and DBE participation");
    t += Blank();
    t += Rule('=');
    t += Blank();
    t += L().Text("  Contract ID     ")
             .Field("CONTRACT_ID", 15)
             .PadTo(44)
             .Text("Letting ID      ")
             .Field("LETTING_ID", 15)
             .End();
    t += L().Text("  Call Order      ")
             .Field("CALL_ORDER", 3)
             .PadTo(44)
             .Text("Letting Date    ")
             .Field("LETTING_DATE,FORMAT=6", 20)
             .End();
    t += L().Text("  Contract Type   ")
             .Field("CONTRACT_TYPE", 4)
             .PadTo(44)
             .Text("Fund Type       ")
             .Field("FUND_TYPE", 4)
             .End();
    t += L().Text("  Highway         ")
             .Field("HIGHWAY_NUMBER", 4)
             .PadTo(44)
             .Text("Serial Number   ")
             .Field("SERIAL_NUMBER", 15)
             .End();
    t += L().Text("  Controlling     ")
             .Field("CONTROLLING_PROJECT", 24)
             .PadTo(44)
             .Text("Route           ")
             .Field("CONTROLLING_ROUTE", 20)
             .End();
    t += Blank();
    t += L().Text("  Description").End();
    t += L().Text("    ").Field("CONTRACT_DESCRIPTION,REPEAT", 72).End();
    t += Blank();
    t += L().Text("  Project Numbers").PadTo(32).Text("Roads").PadTo(58).Text("Routes").End();
    t += L().Text("  ")
             .Field("PROJECT_NUMBER,REPEAT", 30)
             .Field("ROAD_NAME,REPEAT", 26)
             .Field("ROUTE,REPEAT", 12)
             .End();
    t += Blank();
    t += L().Text("  Counties").End();
    t += L().Text("    ").Field("COUNTY_ID", 4).Text("  ").Field("COUNTY_NAME,REPEAT", 30).End();
    t += Blank();
    t += L().Text("  Site")
             .PadTo(37)
             .Text("Start")
             .PadTo(47)
             .Text("Finish")
             .PadTo(56)
             .Text("Days")
             .PadTo(61)
             .Text("Type")
             .PadTo(69)
             .Text("Damages/day")
             .End();
    t += L().Text("  ")
             .Field("SITE_DESCRIPTION,REPEAT", 34)
             .Text(" ")
             .Field("SITE_START_DATE,FORMAT=4", 8)
             .Text("  ")
             .Field("SITE_END_DATE,FORMAT=4", 8)
             .Text(" ")
             .Field("SITE_ESTIMATED_DAYS", 4)
             .Text(" ")
             .Field("SITE_TYPE_DAYS", 8)
             .Field("SITE_DAMAGES,FORMAT=6.2,MONEY", 11)
             .End();
    t += Blank();
    t += Rule('=');
    t += Blank();
    t += L().Text("  Bidder          ").Field("PRIME_ID", 8).Text(" ").Field("PRIME_NAME", 40).End();
    t += L().Text("  Bid Total       ").Field("CONTRACT_TOTAL,FORMAT=10.2,MONEY,JUSTIFY=L", 20).End();
    t += L().Text("  DBE Goal        ")
             .Field("DBE_GOAL,JUSTIFY=R", 6)
             .Text(" %")
             .PadTo(44)
             .Text("DBE Commitment  ")
             .Field("DBE_COMMIT,JUSTIFY=R", 6)
             .Text(" %")
             .End();
    t += L().Text("  Prepared by     ")
             .Field("PREPARER", 24)
             .PadTo(44)
             .Text("Title           ")
             .Field("PREP_TITLE", 20)
             .End();
    t += L().Text("  Date            ")
             .Field("CERT_DATE", 10)
             .PadTo(44)
             .Text("Check Value     ")
             .Field("CHECK", 8)
             .End();
    return t;
}

std::string Header()
{
    std::string t;
    t += L().Field("AGENCY", 60).Text("Letting ").Field("LETTING_DATE,FORMAT=5", 12).End();
    t += L().Text("SUBCONTRACTOR REPORT")
             .PadTo(53)
             .Text("Contract ID ")
             .Field("CONTRACT_ID,JUSTIFY=R", 15)
             .End();
    t += L().Text("Bidder ")
             .Field("PRIME_ID", 7)
             .Text(" ")
             .Field("PRIME_NAME", 38)
             .PadTo(55)
             .Text("Letting ")
             .Field("LETTING_ID", 8)
             .Text(" Call ")
             .Field("CALL_ORDER", 3)
             .End();
    t += Rule('=');
    t += Blank();
    return t;
}

// DROP moves down so that the footer's two lines end the page; the form
// feed closes it and the final backslash keeps the line break that would
// otherwise begin the next page with an empty line. The page number has
// room for five digits before the right edge of the page.
std::string Footer()
{
    std::string t = L().Raw("{DROP}", 0).Repeat('-', kPageWidth).End();
    t += L().Text("Contract ")
             .Field("CONTRACT_ID", 15)
             .Text("  Call ")
             .Field("CALL_ORDER", 3)
             .Text("  Check value ")
             .Field("CHECK", 8)
             .PadTo(70)
             .Text("Page ")
             .Field("PAGE_NUMBER,FORMAT=%u", 5)
             .Raw("\\f\\r", 0)
             .Joined();
    return t;
}

std::string SubListStart()
{
    return L().Text("SUBCONTRACTORS, IN TIER ORDER").End() + Blank();
}

std::string SubStart()
{
    // The right-hand column of the block starts at 57 on every line.
    std::string t = Rule('-');
    t += L().Text("No. ")
             .Field("SUB", 8)
             .Text("  ")
             .Field("SubName", 42)
             .PadTo(57)
             .Raw("{SUB_ISCHILDSUB?\"Lower tier of\",SIZE=14:\"First tier\",SIZE=14}", 14)
             .Raw("{SUB_ISCHILDSUB?PARENTNO,SIZE=8}", 8)
             .End();
    t += L().Raw("{SUB_COMPLETE?\"\":[Report Sub Incomplete]}", 0).Joined();
    t += L().Text("    Type      ")
             .Field("SUBTYPE", 40)
             .PadTo(57)
             .Text("Credited  ")
             .Field("CREDITPCT,JUSTIFY=R", 6)
             .Text(" %")
             .End();
    t += L().Text("    Vendor    ")
             .Field("VENDID", 8)
             .Text(" ")
             .Field("VENDNAME", 32)
             .PadTo(57)
             .Text("Contact   ")
             .Field("CONTACT", 13)
             .End();
    t += L().Text("              ")
             .Field("VENDADDR", 32)
             .PadTo(57)
             .Text("Agreement ")
             .Field("AGREEDATE", 8)
             .End();
    t += L().Text("    Work      ").Field("WORKTYPE1", 30).Text(" ").Field("WORKTYPE2", 30).End();
    t += CallIf("WORKTYPE3", "Report Sub Work Type");
    t += L().Text("              ").Field("WORKDESC", 66).End();
    t += L().Text("    Certified ")
             .Field("DBE", 3)
             .Text(" ")
             .Field("CERTTYPE", 5)
             .Text(" ")
             .Field("CERTNO", 12)
             .End();
    t += CallIf("SUB_FROMIRONBARK", "Report Sub Ironbark");
    t += CallIf("REMARK", "Report Sub Remark");
    return t;
}

std::string SubItemListHeader()
{
    std::string t = Blank();
    t += L().PadTo(63).Text("Unit").End();
    t += L().Text(" Line")
             .PadTo(6)
             .Text("Item No.")
             .PadTo(16)
             .Text("Description")
             .PadTo(44)
             .Text("Quantity")
             .PadTo(53)
             .Text("Unit")
             .PadTo(62)
             .Text("Price")
             .PadTo(71)
             .Text("Extension")
             .End();
    t += L().Text(" ")
             .Repeat('-', 4)
             .Text(" ")
             .Repeat('-', 9)
             .Text(" ")
             .Repeat('-', 24)
             .Text(" ")
             .Repeat('-', 11)
             .Text(" ")
             .Repeat('-', 4)
             .Text(" ")
             .Repeat('-', 9)
             .Text(" ")
             .Repeat('-', 12)
             .End();
    return t;
}

std::string SubItem()
{
    std::string t = L().Text(" ")
                        .Field("SUBITEM_LINE_NUMBER", 4)
                        .Text(" ")
                        .Field("SUBITEM_NUMBER", 9)
                        .Text(" ")
                        .Field("SUBITEM_SHORT_DESC", 24)
                        .Text(" ")
                        .Field("SUBITEM_QUANTITY,FORMAT=7.3", 11)
                        .Text(" ")
                        .Field("SUBITEM_UNIT", 4)
                        .Text(" ")
                        .Field("SUBITEM_UNIT_PRICE,FORMAT=6.2", 9)
                        .Text(" ")
                        .Field("SUBITEM_EXTENSION,FORMAT=9.2", 12)
                        .End();
    t += CallIf("SUBITEM_PARTIAL", "Report SubItem Partial");
    t += CallIf("SUBITEM_OVERCOMMITTED", "Report SubItem Over");
    t += CallIf("SUBITEM_REMARKS", "Report SubItem Remark");
    return t;
}

std::string SubItemListFooter()
{
    std::string t = L().PadTo(68).Repeat('-', 12).End();
    t += L().Text(" Total of subcontracted items").PadTo(67).Field("AMOUNT,JUSTIFY=R", 13).End();
    t += CallIf("SUB_CHILDSUBCOUNT>#0", "Report Sub Lower Tiers");
    return t;
}

std::string SubNoItems()
{
    std::string t = Blank();
    t += L().Text(" Lump sum, not itemized")
             .PadTo(34)
             .Text("Quote ")
             .Field("QUOTENO", 12)
             .Text(" of ")
             .Field("QUOTEDATE", 8)
             .PadTo(67)
             .Field("AMOUNT,JUSTIFY=R", 13)
             .End();
    t += CallIf("SUB_USESIXTY", "Report Sub Credit");
    t += CallIf("SUB_CHILDSUBCOUNT>#0", "Report Sub Lower Tiers");
    return t;
}

std::string SubListEnd()
{
    std::string t = Rule('=');
    t += L().Text("CONTRACT CHECK").End();
    t += Blank();
    t += L().Raw("{BID_ERRORS?\" The check found errors: this bid is not complete.\":\" The check found no "
                 "errors.\"}",
                 0)
             .End();
    // The messages name the form ("Subcontractor Error: Subcontractor Entry
    // #2 ..."); stripping the leading form name keeps every message within
    // the page, and the "Data Error" message keeps its own wording.
    t += L().Text("   ").Field("BID_ERROR,STRIP=Sub contractor,REPEAT", 0).End();
    t += Blank();
    t += L().Text(" Contract (bid) total").PadTo(60).Field("CONTRACT_TOTAL,FORMAT=10.2,MONEY", 20).End();
    t += L().Text(" DBE goal ")
             .Field("DBE_GOAL,JUSTIFY=R", 6)
             .Text(" %, committed ")
             .Field("DBE_COMMIT,JUSTIFY=R", 6)
             .Text(" %")
             .End();
    return t;
}

std::string Back()
{
    std::string t = L().Raw("{[Report Header]}", 0).Joined();
    t += L().Text("CERTIFICATION").End();
    t += Blank();
    t += L().Text(" The bidder certifies that the subcontractors listed in this report will do").End();
    t += L().Text(" the work shown at the amounts shown, that every firm listed as certified holds").End();
    t += L().Text(" a current certification, and that written agreements or quotes are on file").End();
    t += L().Text(" for every subcontract and will be furnished to the agency on request.").End();
    t += Blank();
    t += L().Text(" Bidder          ").Field("PRIME_ID", 8).Text(" ").Field("PRIME_NAME", 40).End();
    t += L().Text(" Prepared by     ")
             .Field("PREPARER", 24)
             .PadTo(46)
             .Text("Title  ")
             .Field("PREP_TITLE", 24)
             .End();
    t += L().Text(" Telephone       ")
             .Field("PREP_PHONE", 14)
             .PadTo(46)
             .Text("E-mail ")
             .Field("PREP_EMAIL", 27)
             .End();
    t += L().Text(" Bid bond        ")
             .Field("BID_BOND_NO", 16)
             .PadTo(46)
             .Text("Surety ")
             .Field("SURETY", 27)
             .End();
    t += Blank() + Blank() + Blank();
    t += L().Text(" Signature  ").Repeat('_', 34).Text("     Date  ").Repeat('_', 14).End();
    t += L().Text("            ").Field("PREPARER", 30).End();
    t += L().Text("            ").Field("PREP_TITLE", 30).End();
    t += L().Raw("{[Report Footer]}", 0).Joined();
    return t;
}

} // namespace

std::vector<std::pair<std::string, std::string>> DemoTemplates()
{
    std::vector<std::pair<std::string, std::string>> t = {
        {"Report Front", Front()},
        {"Report Header", Header()},
        {"Report Footer", Footer()},
        {"Report Sub List Start", SubListStart()},
        {"Report Sub Start", SubStart()},
        {"Report SubItem List Header", SubItemListHeader()},
        {"Report SubItem", SubItem()},
        {"Report SubItem List Footer", SubItemListFooter()},
        {"Report Sub No Items", SubNoItems()},
        {"Report Sub End", Blank()},
        {"Report Sub List End", SubListEnd()},
        {"Report Back", Back()},
        // Pieces the sections call for lines that print only when they
        // apply.
        {"Report Sub Incomplete",
         L().Text("    *** INCOMPLETE: required entries, items or lower tiers are missing ***").End()},
        {"Report Sub Work Type", L().Text("              ").Field("WORKTYPE3", 30).End()},
        {"Report Sub Ironbark", L().Text("    Ironbark  Received as ")
                                    .Field("IRONBARKREF", 14)
                                    .Text(" original amount ")
                                    .Field("ORIGAMT", 14)
                                    .End()},
        {"Report Sub Remark", L().Text("    Remarks   ").Field("REMARK", 66).End()},
        {"Report Sub Credit", L().Text(" Credited toward the goal at 60 percent (supplier)")
                                  .PadTo(67)
                                  .Field("AMOUNT,ADJUST=@Val*0.6,FORMAT=9.2,MONEY,COMMAS,JUSTIFY=R", 13)
                                  .End()},
        {"Report Sub Lower Tiers", L().Text(" Passed on to lower-tier subcontractors")
                                       .PadTo(67)
                                       .Field("SUB_AMMTSUBBED,FORMAT=9.2,MONEY", 13)
                                       .End()},
        {"Report SubItem Partial",
         L().PadTo(16).Text("Partial item: this subcontractor does part of the work").End()},
        {"Report SubItem Over",
         L().PadTo(16).Text("** Over-committed: more than the quantity left for this tier **").End()},
        {"Report SubItem Remark", L().PadTo(16).Text("Note: ").Field("SUBITEM_REMARKS,REPEAT", 58).End()},
    };
    return t;
}

void AddDemoTemplates(CContract& contract)
{
    for (const auto& [name, text] : DemoTemplates())
        contract.AddDataTemplate(name, text);
}

} // namespace kestrel::demo
