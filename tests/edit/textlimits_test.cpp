// A text longer than a record of the contract file holds is refused at
// the edit, with the reason, and changes nothing (it would be cut at the
// save).

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "edit/edittestutil.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel::test {
namespace {

TEST(TextLimits, ATextLongerThanARecordHoldsIsRefused)
{
    using Store = std::function<EditResult(EditSession&, const std::string&)>;
    const std::pair<const char*, Store> stores[] = {
        {"cell", [](auto& s, auto& t) { return s.edits->SetCell(s.Table(), s.Sub("00000001"), 2, t); }},
        {"remarks",
         [](auto& s, auto& t) { return s.edits->SetSubItemRemarks(s.Sub("00000001"), "1190", t); }},
        {"template", [](auto& s, auto& t) { return s.edits->SetTemplateText("Report Front", t); }},
        {"template name", [](auto& s, auto& t) { return s.edits->SetTemplateText(t, "x"); }},
    };
    for (const auto& [what, store] : stores) {
        auto s = OpenDemo();
        ASSERT_TRUE(s);
        const auto before = s->Bytes();
        const EditResult refused = store(*s, std::string(65536, 'x'));
        ASSERT_FALSE(refused.ok()) << what;
        EXPECT_EQ(refused.errorCode(), static_cast<int>(Refusal::Text)) << what;
        EXPECT_EQ(refused.errorText(),
                  "The text is too long: a contract file holds at most 65,535 characters in "
                  "one text, and this one has 65,536")
            << what;
        EXPECT_EQ(s->Bytes(), before) << what;
        EXPECT_TRUE(store(*s, std::string(65535, 'y')).ok()) << what;
    }
}

} // namespace
} // namespace kestrel::test
