#pragma once
// Amended contract files as an agency issues them, made from a contract in
// code: the same contract with its amendment count one higher, without the
// contractor's work, and with the changes a test asks for. Line numbers
// name the items changed, as the agency's amendment names them.

#include <memory>
#include <string>

namespace kestrel {
class CContract;
class CItem;
class CWinMeta;
} // namespace kestrel

namespace kestrel::test {

// The contract as the agency issues it again: header, items, forms, lists
// and templates copied, the amendment count one higher, no subcontractor
// records, the miscellaneous-data records emptied, no prime id or name.
std::unique_ptr<CContract> AgencyCopy(const CContract& contract);

// The item (not heading) of a line. A line, section or field that is not
// there throws std::invalid_argument (the test then fails with its text).
CItem& ItemAt(CContract& contract, const std::string& line);
int IndexOfLine(const CContract& contract, const std::string& line);

void RemoveLine(CContract& contract, const std::string& line);
// A new item right after the entry of line `after`.
CItem& InsertLine(CContract& contract, const std::string& after, const std::string& line,
                  const std::string& itemNumber, const std::string& unit, double quantity, double unitPrice);
// A section heading right before the entry of line `before`.
CItem& InsertSection(CContract& contract, const std::string& before, const std::string& number,
                     const std::string& description);
void RemoveSection(CContract& contract, const std::string& number);
void SetLumpSum(CContract& contract, const std::string& line, bool on);

// A form without the field of that name (the cells of its records go too).
void RemoveField(CWinMeta& table, const std::string& name);

// The large contract an amendment changes one item in ten of: each tenth
// item, in turn, gets a lower quantity, another unit price, is removed, or
// has a new item after it.
void AmendOneInTen(CContract& contract);

} // namespace kestrel::test
