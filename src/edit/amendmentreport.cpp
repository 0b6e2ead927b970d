// The preview of an amendment and the carry-over report, as text lines.

#include <algorithm>
#include <string>
#include <vector>

#include "edit/amendment.h"

namespace kestrel {

namespace {

using Lines = std::vector<std::string>;

std::string Entry(const AmendedEntry& e)
{
    std::string text = "  Line " + e.line;
    if (!e.itemNumber.empty())
        text += "  Item " + e.itemNumber;
    if (!e.description.empty())
        text += "  " + e.description;
    return text;
}

void Section(Lines& out, const std::string& title, const std::vector<AmendedEntry>& entries)
{
    if (entries.empty())
        return;
    out.push_back(title + " (" + std::to_string(entries.size()) + "):");
    for (const AmendedEntry& e : entries)
        out.push_back(Entry(e));
}

std::string SubItemLine(const std::string& line, const std::string& itemNumber)
{
    return "    Line " + line + (itemNumber.empty() ? std::string() : "  Item " + itemNumber);
}

void Touched(Lines& out, const char* title, const std::vector<TouchedSubItem>& items)
{
    if (items.empty())
        return;
    out.push_back(std::string("  ") + title + ":");
    for (const TouchedSubItem& t : items)
        out.push_back(SubItemLine(t.line, t.itemNumber) + ": " + t.note);
}

void Fields(Lines& out, const char* title, const std::vector<AmendedFieldValue>& values)
{
    if (values.empty())
        return;
    out.push_back(std::string("  ") + title + ":");
    for (const AmendedFieldValue& v : values)
        out.push_back("    " + v.field + ": \"" + v.value + "\"");
}

void Effects(Lines& out, const SubcontractorEffects& fx)
{
    if (!fx.dropped.empty()) {
        out.push_back("  Sub-items dropped (" + std::to_string(fx.dropped.size()) + "):");
        for (const DroppedSubItem& d : fx.dropped) {
            out.push_back(SubItemLine(d.line, d.itemNumber) + "  Quantity " +
                          (d.quantity.empty() ? "(none)" : d.quantity) + "  (" + d.reason + ")");
            if (!d.remarks.empty())
                out.push_back("      Note: " + d.remarks);
        }
    }
    if (!fx.moved.empty()) {
        out.push_back("  Sub-items moved with their item:");
        for (const MovedSubItem& m : fx.moved)
            out.push_back("    Item " + m.itemNumber + ": line " + m.fromLine + " -> line " + m.toLine);
    }
    Touched(out, "Over-committed now", fx.overCommitted);
    Touched(out, "Unit changed", fx.unitChanged);
    Touched(out, "Lump sum changed", fx.lumpSumChanged);
    Touched(out, "Item changed", fx.otherChanges);
    Fields(out, "Fields the amended form no longer holds (values dropped)", fx.droppedFields);
    Fields(out, "Values no longer on their list", fx.listMisfits);
}

// A printed page is 80 characters wide: a longer line goes on over the
// next ones, broken at a blank where it has one, indented under its start.
constexpr size_t kPageWidth = 79;

void Wrap(const std::string& line, Lines& out)
{
    const size_t start = line.find_first_not_of(' ');
    const size_t indent = std::min<size_t>(start == std::string::npos ? 0 : start, 20) + 4;
    std::string rest = line;
    while (rest.size() > kPageWidth) {
        size_t cut = rest.rfind(' ', kPageWidth);
        if (cut == std::string::npos || cut <= indent)
            cut = kPageWidth;
        out.push_back(rest.substr(0, cut));
        const size_t next = rest.find_first_not_of(' ', cut);
        rest = next == std::string::npos ? std::string() : std::string(indent, ' ') + rest.substr(next);
    }
    if (!rest.empty() || out.empty() || line.empty())
        out.push_back(rest);
}

std::string SubcontractorTitle(const SubcontractorEffects& fx)
{
    return "Subcontractor " + fx.number + (fx.name.empty() ? std::string() : " - " + fx.name);
}

Lines Heading(const AmendmentPreview& p)
{
    return {"Amendment of Contract ID " + p.contractID + ", Letting ID " + p.lettingID,
            "Amendment count " + std::to_string(p.workingAmendCount) + " -> " +
                std::to_string(p.amendedAmendCount)};
}

} // namespace

std::vector<std::string> RenderAmendmentPreview(const AmendmentPreview& p)
{
    Lines out = Heading(p);
    if (p.CountNotHigher())
        out.push_back("Warning: " + AmendmentCountWarning(p));
    out.emplace_back();
    Section(out, "Items added", p.itemsAdded);
    Section(out, "Items removed", p.itemsRemoved);
    if (!p.itemsChanged.empty()) {
        out.push_back("Items changed (" + std::to_string(p.itemsChanged.size()) + "):");
        for (const AmendedItem& item : p.itemsChanged) {
            out.push_back(Entry(item.entry));
            for (const std::string& c : item.changes)
                out.push_back("    " + c);
        }
    }
    Section(out, "Sections added", p.sectionsAdded);
    Section(out, "Sections removed", p.sectionsRemoved);
    if (!p.otherChanges.empty()) {
        out.push_back("Other changes of the agency's parts:");
        for (const std::string& c : p.otherChanges)
            out.push_back("  " + c);
    }
    if (p.itemsAdded.empty() && p.itemsRemoved.empty() && p.itemsChanged.empty() && p.sectionsAdded.empty() &&
        p.sectionsRemoved.empty() && p.otherChanges.empty())
        out.push_back("The amended file changes nothing of the contract.");
    out.emplace_back();
    if (p.subcontractors.empty() && p.miscData.IsEmpty()) {
        out.push_back("No subcontractor is affected.");
        return out;
    }
    for (const SubcontractorEffects& fx : p.subcontractors) {
        out.push_back(SubcontractorTitle(fx));
        Effects(out, fx);
        out.emplace_back();
    }
    if (!p.miscData.IsEmpty()) {
        out.push_back("Miscellaneous data");
        Effects(out, p.miscData);
        out.emplace_back();
    }
    const int dropped = p.DroppedSubItemCount();
    out.push_back(std::to_string(dropped) + (dropped == 1 ? " sub-item" : " sub-items") + " dropped, " +
                  std::to_string(p.subcontractors.size()) +
                  (p.subcontractors.size() == 1 ? " subcontractor" : " subcontractors") + " affected");
    return out;
}

std::vector<std::vector<std::string>> AmendmentReportPages(const AmendmentPreview& p)
{
    std::vector<Lines> pages;
    auto page = [&](const std::string& title, const SubcontractorEffects& fx) {
        Lines lines = Heading(p);
        lines.emplace_back();
        lines.push_back(title);
        lines.emplace_back();
        Lines effects;
        Effects(effects, fx);
        for (const std::string& line : effects)
            Wrap(line, lines);
        pages.push_back(std::move(lines));
    };
    for (const SubcontractorEffects& fx : p.subcontractors)
        page(SubcontractorTitle(fx), fx);
    if (!p.miscData.IsEmpty())
        page("Miscellaneous data", p.miscData);
    return pages;
}

} // namespace kestrel
