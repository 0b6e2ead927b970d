#pragma once
// Generates large, realistic contracts for the benchmarks.

#include <memory>

namespace kestrel {
class CContract;
}

namespace kestrel::bench {

// A contract of `entries` entries (headings included) in `sections`
// sections, with counties, sites, lists and templates; with tables, a
// subcontractor table of `records` records of `fields` fields, each record
// holding `subItems` sub-items, and a miscellaneous-data table.
struct ContractShape {
    int entries = 5000;
    int sections = 100;
    bool tables = false;
    int records = 199;
    int fields = 60;
    int subItems = 500;
};

std::unique_ptr<CContract> GenerateContract(const ContractShape& shape);

} // namespace kestrel::bench
