#pragma once
// The printout of the contract check's error list: a short contract header,
// then one line per message, on pages the engine brackets itself.

#include <vector>

#include "report/reportpage.h"

namespace kestrel {

class CContract;
struct CheckResult;

class CErrorListPrinter {
public:
    // Lays out the messages of a check of the contract.
    static std::vector<ReportPage> Print(const CContract& contract, const CheckResult& check);
};

} // namespace kestrel
