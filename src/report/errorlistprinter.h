#pragma once
// The printout of the contract check's error list: a short contract header,
// then one line per message, on pages the engine brackets itself.

#include <vector>

#include "report/reportpage.h"

namespace kestrel {

class CContract;

class CErrorListPrinter {
public:
    // Lays out the current error list of the check.
    static std::vector<ReportPage> Print(const CContract& contract);
};

} // namespace kestrel
