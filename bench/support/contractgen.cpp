#include "support/contractgen.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel::bench {

namespace {

// A small deterministic generator, so every run measures the same file.
class Rng {
public:
    uint32_t Next()
    {
        m_state = m_state * 1103515245u + 12345u;
        return m_state >> 8;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

private:
    uint32_t m_state = 20240601u;
};

const char* const kWords[] = {"asphalt", "concrete", "excavation", "unclassified",  "borrow",     "aggregate",
                              "base",    "course",   "type",       "class",         "reinforced", "pipe",
                              "culvert", "drainage", "structure",  "removal",       "guardrail",  "terminal",
                              "section", "pavement", "marking",    "thermoplastic", "white",      "yellow",
                              "sign",    "post",     "erosion",    "control",       "silt",       "fence",
                              "seeding", "mulch",    "traffic",    "maintenance",   "bridge",     "deck",
                              "joint",   "sealant",  "steel",      "epoxy"};
const char* const kUnits[] = {"EA", "LF", "SY", "CY", "TON", "LS", "SF", "GAL"};

std::string Words(Rng& rng, int count)
{
    std::string s;
    for (int i = 0; i < count; ++i) {
        if (i)
            s += ' ';
        s += kWords[rng.Below(static_cast<int>(sizeof kWords / sizeof kWords[0]))];
    }
    return s;
}

std::string Printf(const char* format, int v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

void AddTables(CContract& c, const ContractShape& shape, Rng& rng)
{
    c.m_pSubTable = std::make_unique<CWinMeta>();
    CWinMeta& t = *c.m_pSubTable;
    for (int f = 0; f < shape.fields; ++f) {
        CFieldInfo* fi = t.m_Fields.Add();
        fi->m_strName = Printf("Field%d", f);
        fi->m_iType = FIELD_TEXT;
        fi->m_iRequired = f == SUBF_NAME ? kAlwaysRequired : kNeverRequired;
        fi->m_iX = 10 + (f % 4) * 150;
        fi->m_iY = 10 + (f / 4) * 24;
        fi->m_iCX = 140;
        fi->m_iCY = 20;
        fi->m_strHelp = "Enter the " + Words(rng, 2);
    }
    std::vector<std::string> lines;
    for (const auto& e : c.m_Items)
        if (!e->IsHeading())
            lines.emplace_back(e->m_strLineNumber.View());
    for (int r = 0; r < shape.records; ++r) {
        CSubcontract* rec = t.AddRecord(-1, -1);
        rec->SetNumber(r + 1);
        for (int f = 1; f < shape.fields; ++f)
            rec->SetCellText(f, Words(rng, 1 + rng.Below(2)));
        rec->SetCellText(SUBF_PARENT, r % 4 == 3 ? Printf("%.8d", r) : std::string());
        for (int s = 0; s < shape.subItems && s < static_cast<int>(lines.size()); ++s) {
            CSubItem* si = rec->AddSubItem(lines[static_cast<size_t>((s * 7 + r) % lines.size())]);
            si->m_fQuan = 1 + rng.Below(500);
            si->m_fUP = (1 + rng.Below(100000)) / 100.0;
            si->m_fExt = si->m_fQuan * si->m_fUP;
            si->m_strUnitType = kUnits[rng.Below(8)];
            if (rng.Below(4) == 0)
                si->m_strRemarks = Words(rng, 3);
        }
    }
    t.m_LabelLines = {"Subcontractor", "Work types", "Amounts"};
    t.m_Defaults = {"Field4, Yes"};
    t.m_Filters.SetAt("DBE")->m_strPattern[0] = "0*";
    c.m_pMiscTable = std::make_unique<CWinMeta>();
    for (int f = 0; f < 20; ++f)
        c.m_pMiscTable->m_Fields.Add()->m_strName = Printf("Misc%d", f);
    c.m_pMiscTable->AddRecord(-1, -1);
    FlagSet(c.m_wFlags, CONTRACT_HAS_MISC, 1);
}

} // namespace

std::unique_ptr<CContract> GenerateContract(const ContractShape& shape)
{
    Rng rng;
    auto c = std::make_unique<CContract>();
    c->m_strHeader[HDR_LETTING_ID] = "240601";
    c->m_strHeader[HDR_CALL_ORDER] = "017";
    c->m_strHeader[HDR_CONTRACT_ID] = "C-2024-0117";
    c->m_strHeader[HDR_CONTRACT_DESCRIPTION] = Words(rng, 20);
    c->m_QuanFormat = {9, 3};
    c->m_UPFormat = {9, 5};
    c->m_ExtFormat = {11, 2};
    for (int i = 0; i < 12; ++i) {
        CCounty* county = c->m_Counties.Add();
        county->m_strID = Printf("%02d", i);
        county->m_strName = Words(rng, 1);
    }
    const int perSection = shape.entries / shape.sections;
    int line = 0;
    for (int s = 0; s < shape.sections; ++s) {
        CItem* h = c->m_Items.Add();
        FlagSet(h->m_wFlags, ITEM_SECTION, 1);
        h->m_strLineNumber = Printf("%04d", s + 1);
        h->m_strLongDesc = Words(rng, 6);
        if (s % 10 >= 8) {
            FlagSet(h->m_wFlags, ITEM_IS_ALTERNATE, 1);
            h->m_strAltCode = Printf("A%d", s / 10) + (s % 2 ? "B" : "A");
        }
        for (int i = 1; i < perSection; ++i) {
            CItem* e = c->m_Items.Add();
            e->m_strLineNumber = Printf("%04d", (++line) * 10);
            e->m_strItemNumber = Printf("%03d", 200 + rng.Below(500)) + Printf("-%05d", rng.Below(99999));
            e->m_fQuantity = 1 + rng.Below(10000);
            e->m_fUnitPrice = (1 + rng.Below(1000000)) / 100.0;
            e->m_strUnit = kUnits[rng.Below(8)];
            e->m_strShortDesc = Words(rng, 3);
            e->m_strLongDesc = Words(rng, 8 + rng.Below(12));
        }
    }
    for (int l = 0; l < 10; ++l) {
        CSAStringArray* list = c->NewList(Printf("LIST%d", l), false);
        for (int k = 0; k < 50; ++k)
            list->push_back(Printf("%05d ", k) + Words(rng, 3));
    }
    c->AddDataTemplate("Report Quote Item", std::string(2000, 'x'));
    if (shape.tables)
        AddTables(*c, shape, rng);
    c->RecalculateContract();
    return c;
}

void WriteGeneratedContract(const ContractShape& shape, const std::string& path)
{
    const std::unique_ptr<CContract> contract = GenerateContract(shape);
    if (const int code = WriteContractFile(*contract, path); code != CF_OK) {
        std::fprintf(stderr, "cannot write %s (error %d)\n", path.c_str(), code);
        std::exit(1);
    }
}

std::string WriteTablesContract(const std::string& fileName)
{
    ContractShape shape;
    shape.tables = true;
    const std::string path = (std::filesystem::temp_directory_path() / fileName).string();
    WriteGeneratedContract(shape, path);
    return path;
}

} // namespace kestrel::bench
