#pragma once
// The report templates the demo contract carries: an 80-column
// subcontractor report with a cover page, page headers and footers, each
// subcontractor with its items and totals, the contract check and a
// certification page.

#include <string>
#include <utility>
#include <vector>

namespace kestrel {
class CContract;
}

namespace kestrel::demo {

// Name and text of every template, in the order they are added.
std::vector<std::pair<std::string, std::string>> DemoTemplates();

// Adds the templates to the contract's stored templates.
void AddDemoTemplates(CContract& contract);

} // namespace kestrel::demo
