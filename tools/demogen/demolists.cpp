#include "demogen/demolists.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "demogen/demogen.h"
#include "demogen/demorandom.h"
#include "model/contract/contract.h"
#include "support/implodeencoder.h"

namespace kestrel::demo {

namespace {

// The vendors the demo's subcontractors are, at fixed ids; the rest of the
// list is generated around them.
const Vendor kNamedVendors[] = {
    {"004117", "Tri-County Paving & Milling, Inc", "1420 Industrial Pkwy, Harlan", "ASPHMILLSAWC"},
    {"011503", "Keystone Bridge & Structures LLC", "88 Canal St, Port Merrick", "BRDGCONCPILEPNTG"},
    {"015220", "Allegheny Rebar Placement Co.", "5 Foundry Rd, Eastfield", "REBR"},
    {"020884", "Blue Ridge Guardrail Co.", "2301 Route 9, Oak Hill", "GRDLFENCSIGN"},
    {"027341", "Mason Aggregate Supply Corp.", "Quarry Rd, Tuckahoe", "AGGRTRCK"},
    {"031076", "Hollins Trucking LLC", "712 Depot St, Harlan", "TRCK"},
    {"036612", "Piedmont Signal & Lighting, Inc", "40 Commerce Dr, Westbrook", "LGHTELECSIGN"},
    {"042950", "Greenway Erosion Control, Inc.", "17 Mill Pond Ln, Merrick", "EROSLAND"},
    {"048300", "Lineworks Pavement Marking LLC", "301 Airport Rd, Cedar Falls", "STRPTRFC"},
};

struct Trade {
    const char* word;
    const char* codes;
};

const Trade kTrades[] = {
    {"Paving", "ASPHMILL"},
    {"Excavating", "EXCVDEMOTRCK"},
    {"Concrete", "CONCFLAT"},
    {"Electric", "ELECLGHT"},
    {"Trucking", "TRCK"},
    {"Landscaping", "LANDEROS"},
    {"Steel Erectors", "STRLREBR"},
    {"Fence", "FENCGRDL"},
    {"Drainage", "DRNGEXCV"},
    {"Surveying", "SURV"},
    {"Traffic Control", "TRFCSIGN"},
    {"Coatings", "PNTG"},
    {"Sawing & Sealing", "SAWC"},
    {"Demolition", "DEMOEXCV"},
    {"Aggregates", "AGGRTRCK"},
    {"Sign Co.", "SIGN"},
    {"Line Striping", "STRP"},
    {"Bridge", "BRDGCONC"},
    {"Piling", "PILE"},
    {"Utilities", "DRNGELEC"},
};

const char* const kPlaces[] = {
    "Allen",     "Benton",    "Cedar Ridge", "Clearwater",  "Dunmore",   "Eastfield",   "Fairview",
    "Granite",   "Hillcrest", "Ironwood",    "Juniper",     "Kessler",   "Lakeside",    "Madison",
    "Northgate", "Oakmont",   "Pinecrest",   "Quarry Hill", "Riverside", "Stonebridge", "Summit",
    "Tri-State", "Union",     "Valley",      "Westbrook",   "York",      "Harmon",      "Brandt",
    "Corley",    "Delmar",    "Foxhall",     "Gideon",      "Halsey",    "Larchmont",   "Morrow",
};

const char* const kSuffixes[] = {"Inc.", "LLC", "Co.", "Corp.", "& Sons", "Group"};

const char* const kStreets[] = {"Main St",     "Industrial Dr", "Route 47",    "Depot St",   "Quarry Rd",
                                "Commerce Dr", "River Rd",      "Mill St",     "Airport Rd", "Canal St",
                                "Ridge Pike",  "Old Post Rd",   "Station Ave", "Kiln Ln",    "Furnace Rd"};

const char* const kTowns[] = {"Harlan",    "Merrick",     "Tuckahoe", "Port Merrick", "Eastfield", "Oak Hill",
                              "Westbrook", "Cedar Falls", "Brandt",   "Linwood",      "Ashby",     "Corley"};

std::string Pad(std::string s, size_t width)
{
    s.resize(width, ' ');
    return s;
}

std::vector<Vendor> MakeVendors()
{
    std::vector<Vendor> out(std::begin(kNamedVendors), std::end(kNamedVendors));
    std::set<std::string> names;
    for (const Vendor& v : out)
        names.insert(v.name);
    DemoRandom rng(20260312);
    const size_t kGenerated = 291;
    // Every draw is a statement of its own: the order in which the operands
    // of one expression are evaluated differs between compilers, and with it
    // the list.
    for (int id = 1000; out.size() < kGenerated + std::size(kNamedVendors);) {
        id += 40 + rng.Below(260);
        const Trade& t = kTrades[rng.Below(static_cast<int>(std::size(kTrades)))];
        const char* place = kPlaces[rng.Below(static_cast<int>(std::size(kPlaces)))];
        const char* suffix = kSuffixes[rng.Below(static_cast<int>(std::size(kSuffixes)))];
        const std::string name = std::string(place) + " " + t.word + " " + suffix;
        if (name.size() > 32 || !names.insert(name).second)
            continue;
        const int number = 10 + rng.Below(4900);
        const char* street = kStreets[rng.Below(static_cast<int>(std::size(kStreets)))];
        const char* town = kTowns[rng.Below(static_cast<int>(std::size(kTowns)))];
        char idText[16];
        std::snprintf(idText, sizeof idText, "%.6d", id);
        char address[64];
        std::snprintf(address, sizeof address, "%d %s, %s", number, street, town);
        Vendor v{idText, name, address, t.codes};
        if (v.address.size() > 30)
            v.address.resize(30);
        out.push_back(v);
    }
    // Generated ids may collide with the named ones, which come first in
    // the list; the stable sort keeps them first so that they win.
    std::stable_sort(out.begin(), out.end(), [](const Vendor& a, const Vendor& b) { return a.id < b.id; });
    out.erase(
        std::unique(out.begin(), out.end(), [](const Vendor& a, const Vendor& b) { return a.id == b.id; }),
        out.end());
    return out;
}

} // namespace

const std::vector<Vendor>& DemoVendors()
{
    static const std::vector<Vendor> vendors = MakeVendors();
    return vendors;
}

std::string VendorEntry(const Vendor& v)
{
    return Pad(v.id, kVendorNameStart - 1) + Pad(v.name, kVendorAddressStart - kVendorNameStart) +
           Pad(v.address, kVendorWorkTypeColumn - kVendorAddressStart) + v.workTypes;
}

int FindVendor(const std::string& id)
{
    const auto& all = DemoVendors();
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].id == id)
            return static_cast<int>(i);
    return -1;
}

const std::vector<std::string>& DemoWorkTypes()
{
    static const std::vector<std::string> types = [] {
        std::vector<std::string> t = {
            "AGGR Aggregate supply",
            "ASPH Asphalt paving",
            "BRDG Bridge construction",
            "CONC Concrete paving",
            "DEMO Demolition and removal",
            "DRNG Drainage pipe and structures",
            "ELEC Electrical",
            "EROS Erosion and sediment control",
            "EXCV Excavation and grading",
            "FENC Fencing",
            "FLAT Concrete flatwork",
            "GRDL Guardrail and barrier",
            "LAND Landscaping and seeding",
            "LGHT Lighting and signals",
            "MILL Pavement milling",
            "PILE Piling",
            "PNTG Painting and coating",
            "REBR Reinforcing steel placing",
            "SAWC Saw cutting and sealing",
            "SIGN Signing",
            "STRL Structural steel erection",
            "STRP Pavement marking",
            "SURV Survey and layout",
            "TRCK Trucking and hauling",
            "TRFC Traffic control",
        };
        std::sort(t.begin(), t.end());
        return t;
    }();
    return types;
}

void FillStoredLists(CContract& c)
{
    // Subcontract types: the first character makes the subcontract itemized,
    // the second credits it at 60 percent; the form shows from column 4.
    *c.NewList(kSubTypeList, false) = {
        "10 Itemized - by contract items",
        "00 Lump sum - full credit",
        "01 Supplier - 60 percent credit",
        "11 Itemized supplier - 60 percent credit",
    };
    // Certification types; XDBE (decertified) stays in the list for old
    // records but the form's filter does not offer it.
    *c.NewList(kCertTypeList, false) = {
        "DBE  Disadvantaged Business Enterprise", "MBE  Minority Business Enterprise",
        "WBE  Women's Business Enterprise",       "SBE  Small Business Enterprise",
        "VOSB Veteran-Owned Small Business",      "XDBE Decertified DBE",
    };
    *c.NewList(kStateList, false) = {"DE Delaware", "MD Maryland",     "NJ New Jersey", "NY New York",
                                     "OH Ohio",     "PA Pennsylvania", "VA Virginia",   "WV West Virginia"};
    *c.NewList(kPayTermsList, false) = {"Net 10", "Net 30", "Net 45", "On receipt of payment from owner"};
    for (const char* name : {kWorkType2Source, kWorkType3Source}) {
        CSAStringArray& list = *c.NewList(name, false);
        for (const std::string& e : DemoWorkTypes())
            list.push_back(e);
    }
}

std::string WorkTypeListText()
{
    std::string out = "; Work types of subcontractors and vendors.\r\n"
                      "; Key (8 characters), then the entry: a 4-character code and its name.\r\n"
                      ";\r\n";
    for (const std::string& e : DemoWorkTypes())
        out += "WORKTYPE" + e + "\r\n";
    return out;
}

std::vector<unsigned char> VendorListContent()
{
    const auto& vendors = DemoVendors();
    std::vector<unsigned char> out;
    out.push_back(static_cast<unsigned char>(vendors.size() & 0xFF));
    out.push_back(static_cast<unsigned char>(vendors.size() >> 8));
    for (const Vendor& v : vendors) {
        const std::string line = Pad("VENDOR", 8) + VendorEntry(v) + "\r\n";
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

std::vector<unsigned char> VendorListFile()
{
    return test::Implode(VendorListContent());
}

} // namespace kestrel::demo
