#pragma once
// Contracts built in code for the report tests (with the shared building
// blocks of support/testcontract.h), and the page text of a run.

#include <memory>
#include <string>
#include <vector>

#include "model/contract/contract.h"
#include "report/reportpage.h"
#include "support/testcontract.h"

namespace kestrel::test {

// A contract with a subcontractor table (columns VendorNo, Type, VendorName,
// ParentNo, F4..F16, Amount at 17, F18..F20) and a miscellaneous table
// (Engineer, Phone) with one record.
std::unique_ptr<CContract> MakeReportContract();

void SetTemplate(CContract& c, const std::string& name, const std::string& text);

// Each page's lines followed by LF, then a line holding a form feed.
std::string PagesText(const std::vector<ReportPage>& pages);

// Lays the whole report out; the fault message, or the page text.
std::string RunReport(CContract& c);
// Prints text as the report's only template ("Report Front").
std::string Render(CContract& c, const std::string& text);
std::string Render(const std::string& text);

} // namespace kestrel::test
