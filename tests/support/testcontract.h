#pragma once
// Building blocks of the contracts tests work on: items and headings, a
// subcontractor table of text fields, subcontractors and their sub-items.
// Each test describes its own contract with these, so the way a model is
// put together lives in one place.

#include <memory>
#include <string>

namespace kestrel {
class CContract;
class CFieldInfo;
class CItem;
class CSubcontract;
class CSubItem;
class CWinMeta;
} // namespace kestrel

namespace kestrel::test {

// Appends a text field named `name` that is never required.
CFieldInfo* AddTextField(CWinMeta& table, const std::string& name);
// A table of `fields` text fields named F0, F1, ..., none required, and no
// records.
std::unique_ptr<CWinMeta> MakeTextTable(int fields);

// A section heading with that line number.
CItem* AddHeading(CContract& c, const std::string& line);
// An item with that line number, quantity and unit price.
CItem* AddItem(CContract& c, const std::string& line, double quantity, double unitPrice);
// An item with its number, unit and short description (no quantity or price).
CItem* AddItem(CContract& c, const std::string& line, const std::string& number, const std::string& unit,
               const std::string& desc);

// A record of the table numbered `number` ("%.8d") with no other cell set.
CSubcontract* AddNumberedSub(CWinMeta& table, int number);
// A complete subcontractor of the contract's subcontractor table with the
// lowest free number, that name and parent (so that the check finds nothing
// about it).
CSubcontract* AddSub(CContract& c, const std::string& name, CSubcontract* parent = nullptr,
                     bool itemized = true);
// A sub-item with that quantity and unit price, and their product as its
// extension.
CSubItem* AddSubItem(CSubcontract& s, const std::string& line, double quan, double up);

} // namespace kestrel::test
