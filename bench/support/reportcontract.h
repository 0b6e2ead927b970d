#pragma once
// The contract of the report benchmarks: subcontractors in tiers, each with
// a dozen sub-items whose remarks wrap, and report templates with a header,
// a footer that ends each page, and page numbers.

#include <memory>

namespace kestrel {
class CContract;
}

namespace kestrel::bench {

// A contract of `subs` subcontractors.
std::unique_ptr<CContract> MakeReportContract(int subs);
// The subcontractors that make a report of about this many pages.
int SubsForPages(int pages);

} // namespace kestrel::bench
