#pragma once
// The demo's pick lists: those stored in the contract, the work-type text
// list file and the compressed vendor list.

#include <string>
#include <vector>

namespace kestrel {
class CContract;
}

namespace kestrel::demo {

// Columns of a vendor list entry (1-based, inclusive; 0: to the end).
inline constexpr int kVendorIdStart = 1, kVendorIdEnd = 6;
inline constexpr int kVendorNameStart = 8, kVendorNameEnd = 39;
inline constexpr int kVendorAddressStart = 41, kVendorAddressEnd = 70;
// Where the vendor's 4-character work-type codes begin.
inline constexpr int kVendorWorkTypeColumn = 72;

// List sources of the form's fields.
inline constexpr const char* kVendorSource = "VENDORS.BIN:VENDOR";
inline constexpr const char* kWorkTypeSource = "WORKTYPE.LST:WORKTYPE";
// The further work types each have a list of their own, kept in the
// contract: fields on one list source are kept on one entry, and a
// subcontractor does several kinds of work. Their key is still "WORKTYPE",
// so the vendor's work types thin them out as they do the first.
inline constexpr const char* kWorkType2Source = "Work Type 2:WORKTYPE";
inline constexpr const char* kWorkType3Source = "Work Type 3:WORKTYPE";
inline constexpr const char* kSubTypeList = "Sub Type";
inline constexpr const char* kCertTypeList = "Cert Type";
inline constexpr const char* kStateList = "State";
inline constexpr const char* kPayTermsList = "Pay Terms";

// A vendor of the list, as the demo's subcontractors refer to one.
struct Vendor {
    std::string id;
    std::string name;
    std::string address;
    std::string workTypes; // consecutive 4-character codes
};

// The vendor list in file (and sorted) order; a few hundred entries.
const std::vector<Vendor>& DemoVendors();
// The list entry of a vendor, in the column layout above.
std::string VendorEntry(const Vendor& vendor);
// Index of the vendor with this id in DemoVendors(), -1 when none.
int FindVendor(const std::string& id);

// The work-type list entries ("ASPH Asphalt paving"), sorted.
const std::vector<std::string>& DemoWorkTypes();

// The lists kept in the contract ("Sub Type", "Cert Type", "State",
// "Pay Terms", and the further work types).
void FillStoredLists(CContract& contract);

// The decompressed content of VENDORS.BIN: a 16-bit line count, then the
// lines, each key (8 characters) + entry + LF.
std::vector<unsigned char> VendorListContent();

} // namespace kestrel::demo
