#pragma once
// The demo contract generator: a realistic highway contract built in code,
// its pick-list files and a bid library, all reproducible byte for byte.

#include <memory>
#include <string>
#include <vector>

namespace kestrel {
class CContract;
}

namespace kestrel::demo {

// File names the generator writes into its output directory.
inline constexpr const char* kDemoContractName = "DEMO.CON";
inline constexpr const char* kWorkTypeListName = "WORKTYPE.LST";
inline constexpr const char* kVendorListName = "VENDORS.BIN";
inline constexpr const char* kBidLibraryName = "DEMO.kvl";
inline constexpr const char* kDemoAmendmentName = "DEMOAMND.CON";

// The demo contract, complete: schedule, forms, lists, subcontractors,
// templates; recalculated and with completeness evaluated.
std::unique_ptr<CContract> BuildDemoContract();

// The agency's first amendment of the demo contract, without the
// contractor's work: the quantities of lines 1190 (down, below what
// subcontractor 1 holds) and 1130 (up) changed, line 1460 (held by
// subcontractors 2 and 3) removed, line 2325 added after 2320, the unit
// price of line 1620 changed.
std::unique_ptr<CContract> BuildDemoAmendment();

// A contract for the benchmarks: the demo's header, forms and templates
// with a generated schedule of `items` items and `subs` subcontractors that
// each hold `subItems` sub-items (as far as the schedule has items).
struct LargeOptions {
    int items = 5000;
    int subs = 200;
    int subItems = 20;
};
std::unique_ptr<CContract> BuildLargeContract(const LargeOptions& options);

// The pick-list files that sit beside the demo contract.
std::string WorkTypeListText();
std::vector<unsigned char> VendorListFile();

// Writes DEMO.CON, DEMOAMND.CON, WORKTYPE.LST, VENDORS.BIN and DEMO.kvl
// into dir.
// Returns an empty text on success, else what failed.
std::string WriteDemoSamples(const std::string& dir);

// Writes a contract file; returns an empty text or the error.
std::string WriteContract(CContract& contract, const std::string& path);

} // namespace kestrel::demo
