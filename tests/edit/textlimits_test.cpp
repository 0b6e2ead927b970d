// Texts the contract file cannot hold are refused at the edit, with the
// reason, and change nothing: one longer than a record holds (it would be
// cut at the save), and one with a character Windows-1252 lacks (it would
// become "?").

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
        {"cell",
         [](EditSession& s, const std::string& t) {
             return s.edits->SetCell(s.Table(), s.Sub("00000001"), SUBF_NAME, t);
         }},
        {"remarks",
         [](EditSession& s, const std::string& t) {
             return s.edits->SetSubItemRemarks(s.Sub("00000001"), "1190", t);
         }},
        {"template",
         [](EditSession& s, const std::string& t) { return s.edits->SetTemplateText("Report Front", t); }},
        {"template name",
         [](EditSession& s, const std::string& t) { return s.edits->SetTemplateText(t, "x"); }},
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

TEST(TextLimits, ACharacterWindows1252LacksIsRefusedAndNamed)
{
    const Result<std::string> refused = TypedText("Smith \xE2\x86\x92 Jones");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.errorCode(), static_cast<int>(Refusal::Text));
    EXPECT_EQ(refused.errorText(), "The character U+2192 (character 7 of the text) cannot be stored in a "
                                   "contract file");
    EXPECT_STREQ(RefusalCaption(Refusal::Text), "Text Error");
    EXPECT_EQ(TypedText("Caf\xC3\xA9 \xE2\x82\xAC").value(), "Caf\xE9 \x80");
}

} // namespace
} // namespace kestrel::test
