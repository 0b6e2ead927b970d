#pragma once
// Generates large, realistic contracts for the benchmarks.

#include <memory>
#include <string>

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
// Writes the contract of that shape to a file; a benchmark without its
// contract cannot run, so a failure ends the run.
void WriteGeneratedContract(const ContractShape& shape, const std::string& path);
// The default shape with its tables, written under `fileName` in the
// temporary folder; returns the path.
std::string WriteTablesContract(const std::string& fileName);

} // namespace kestrel::bench
