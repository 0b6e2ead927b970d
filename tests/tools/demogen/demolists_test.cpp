// The demo's list files: the layout the list readers expect, and an
// implode stream any decoder of the format reads.

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "demogen/demogen.h"
#include "demogen/demolists.h"
#include "model/subcontract/implode.h"

using namespace kestrel::demo;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out.push_back(line);
    }
    return out;
}

std::set<std::string> WorkTypeCodes()
{
    std::set<std::string> codes;
    for (const std::string& e : DemoWorkTypes())
        codes.insert(e.substr(0, 4));
    return codes;
}

TEST(DemoLists, WorkTypeFileHoldsOneKeyedEntryPerWorkType)
{
    std::set<std::string> seen;
    int entries = 0;
    for (const std::string& line : Lines(WorkTypeListText())) {
        if (line.empty() || line[0] == ';')
            continue;
        ASSERT_GT(line.size(), 13u);
        EXPECT_EQ(line.substr(0, 8), "WORKTYPE");
        const std::string entry = line.substr(8);
        EXPECT_EQ(entry[4], ' ') << entry;
        EXPECT_TRUE(seen.insert(entry.substr(0, 4)).second) << entry;
        ++entries;
    }
    EXPECT_EQ(entries, static_cast<int>(DemoWorkTypes().size()));
    EXPECT_GE(entries, 20);
}

TEST(DemoLists, VendorContentIsACountedListOfVendorLines)
{
    const std::vector<unsigned char> content = VendorListContent();
    ASSERT_GE(content.size(), 2u);
    const int count = content[0] | (content[1] << 8);
    const std::vector<std::string> lines = Lines(std::string(content.begin() + 2, content.end()));
    ASSERT_EQ(static_cast<int>(lines.size()), count);
    EXPECT_GE(count, 200);
    const std::set<std::string> codes = WorkTypeCodes();
    std::string previous;
    for (const std::string& line : lines) {
        EXPECT_EQ(line.substr(0, 8), "VENDOR  ");
        const std::string entry = line.substr(8);
        const std::string id = entry.substr(0, 6);
        EXPECT_GT(id, previous) << "ids unique and ascending";
        previous = id;
        ASSERT_GT(entry.size(), static_cast<size_t>(kVendorWorkTypeColumn)) << entry;
        EXPECT_EQ(entry[kVendorNameStart - 2], ' ');
        EXPECT_EQ(entry[kVendorAddressStart - 2], ' ');
        EXPECT_EQ(entry[kVendorWorkTypeColumn - 2], ' ');
        const std::string own = entry.substr(kVendorWorkTypeColumn - 1);
        ASSERT_EQ(own.size() % 4, 0u) << entry;
        for (size_t i = 0; i < own.size(); i += 4)
            EXPECT_TRUE(codes.count(own.substr(i, 4))) << entry;
    }
    for (const char* id : {"004117", "011503", "015220", "020884", "031076", "036612"})
        EXPECT_GE(FindVendor(id), 0) << id;
}

TEST(DemoLists, VendorFileDecompressesToTheVendorList)
{
    const std::vector<unsigned char> packed = VendorListFile();
    EXPECT_LT(packed.size(), VendorListContent().size() / 2) << "the list is compressed";
    std::vector<unsigned char> out;
    ASSERT_EQ(kestrel::Explode(packed, 1u << 20, out), kestrel::ExplodeError::Ok);
    EXPECT_EQ(out, VendorListContent());
}

} // namespace
