#pragma once
// One laid-out page: its lines with trailing blanks and tabs removed and
// trailing empty lines dropped, as they are drawn.

#include <string>
#include <vector>

namespace kestrel {

struct ReportPage {
    int number = 0; // which page this was among all pages begun (from 1)
    std::vector<std::string> lines;

    bool operator==(const ReportPage&) const = default;
};

} // namespace kestrel
