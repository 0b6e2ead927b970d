#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/contract/values.h"

using namespace kestrel;

namespace {

// The shared empty string, as a const text shows it.
const std::string& SharedEmpty()
{
    static const Text empty("");
    return *empty;
}

} // namespace

TEST(Text, NullEmptyAndTextAreThreeStates)
{
    const Text null;
    const Text nullopt(std::nullopt);
    const Text empty("");
    const Text word("asphalt");

    EXPECT_FALSE(null.has_value());
    EXPECT_FALSE(static_cast<bool>(nullopt));
    EXPECT_TRUE(empty.has_value());
    EXPECT_TRUE(word.has_value());

    EXPECT_EQ(*empty, "");
    EXPECT_EQ(*word, "asphalt");
    EXPECT_EQ(word->size(), 7u);
    // A const null text reads as "" instead of faulting.
    EXPECT_EQ(*null, "");
    EXPECT_TRUE(null->empty());

    EXPECT_EQ(TextView(null), "");
    EXPECT_TRUE(TextEmpty(null));
    EXPECT_TRUE(TextEmpty(empty));
    EXPECT_FALSE(TextEmpty(word));
    EXPECT_EQ(TextView(word), "asphalt");
}

TEST(Text, EveryEmptySourceSharesOneStringAndOthersOwnTheirs)
{
    const std::string emptyString;
    const Text fromLiteral("");
    const Text fromString(emptyString);
    const Text fromView{std::string_view()};
    const Text fromRvalue{std::string()};
    for (const Text* t : {&fromLiteral, &fromString, &fromView, &fromRvalue}) {
        EXPECT_TRUE(t->has_value());
        EXPECT_TRUE(t->IsSharedEmpty());
        EXPECT_EQ(&**t, &SharedEmpty());
    }
    const Text a("x");
    const Text b("x");
    EXPECT_FALSE(a.IsSharedEmpty());
    EXPECT_NE(&*a, &*b);
    EXPECT_FALSE(Text().IsSharedEmpty());
    const char* none = nullptr;
    EXPECT_FALSE(Text(none).has_value());
}

TEST(Text, WritingThroughASharedEmptyTextNeverChangesTheSharedString)
{
    Text t("");
    ASSERT_TRUE(t.IsSharedEmpty());
    *t += "written";
    EXPECT_EQ(*std::as_const(t), "written");
    EXPECT_EQ(SharedEmpty(), "");

    Text u("");
    u->append("through arrow");
    EXPECT_EQ(SharedEmpty(), "");
    u.value() = "through value";
    EXPECT_EQ(SharedEmpty(), "");
    EXPECT_EQ(u, "through value");

    Text v("");
    v.emplace("emplaced");
    EXPECT_EQ(SharedEmpty(), "");
    v.emplace() += "again";
    EXPECT_EQ(v, "again");

    // Fresh empty texts still read empty after all of that.
    EXPECT_EQ(*Text(""), "");
    EXPECT_TRUE(Text("").IsSharedEmpty());
}

TEST(Text, NonConstAccessToANullTextGivesAnEmptyOwnString)
{
    Text t;
    t->append("abc");
    EXPECT_EQ(t, "abc");
    Text u;
    EXPECT_THROW(u.value(), std::bad_optional_access);
    EXPECT_THROW(std::as_const(u).value(), std::bad_optional_access);
    EXPECT_FALSE(u.has_value());
    EXPECT_EQ(u.value_or("fallback"), "fallback");
    EXPECT_EQ(Text("kept").value_or("fallback"), "kept");
}

TEST(Text, CopiesAreIndependent)
{
    Text a("pipe culvert");
    Text b(a);
    *b += " removal";
    EXPECT_EQ(a, "pipe culvert");
    EXPECT_EQ(b, "pipe culvert removal");

    Text c;
    c = a;
    c->assign("steel");
    EXPECT_EQ(a, "pipe culvert");
    EXPECT_EQ(c, "steel");

    // Copying an empty text shares instead of allocating, and stays
    // independent of later writes.
    Text e("");
    Text f(e);
    EXPECT_TRUE(f.IsSharedEmpty());
    *f = "mine";
    EXPECT_EQ(e, "");
    EXPECT_EQ(SharedEmpty(), "");

    // An own string that became empty copies as the shared one.
    Text g("x");
    g->clear();
    EXPECT_TRUE(Text(g).IsSharedEmpty());

    // A null copies as null, and assigning a null makes null.
    Text h("y");
    h = Text();
    EXPECT_FALSE(h.has_value());
    EXPECT_FALSE(Text(h).has_value());

    std::vector<Text> many(3, Text("same"));
    *many[1] = "other";
    EXPECT_EQ(many[0], "same");
    EXPECT_EQ(many[2], "same");
}

TEST(Text, MovesLeaveAValidNullText)
{
    Text a("concrete");
    const std::string* buffer = &*std::as_const(a);
    Text b(std::move(a));
    EXPECT_EQ(&*std::as_const(b), buffer); // the string itself moved, not its bytes
    EXPECT_FALSE(a.has_value());           // NOLINT(bugprone-use-after-move)
    a = "reused";
    EXPECT_EQ(a, "reused");

    Text c("old");
    c = std::move(b);
    EXPECT_EQ(c, "concrete");
    EXPECT_FALSE(b.has_value()); // NOLINT(bugprone-use-after-move)

    Text e("");
    Text f(std::move(e));
    EXPECT_TRUE(f.IsSharedEmpty());
    EXPECT_FALSE(e.has_value()); // NOLINT(bugprone-use-after-move)

    std::string s(100, 'q');
    const char* bytes = s.data();
    Text g(std::move(s));
    EXPECT_EQ(std::as_const(g)->data(), bytes);
    std::string s2(100, 'r');
    bytes = s2.data();
    g = std::move(s2);
    EXPECT_EQ(std::as_const(g)->data(), bytes);
}

TEST(Text, SelfAssignmentKeepsTheValue)
{
    Text a("guardrail terminal");
    Text& alias = a;
    a = alias;
    EXPECT_EQ(a, "guardrail terminal");
    a = std::move(alias);
    EXPECT_EQ(a, "guardrail terminal");
    Text e("");
    Text& eAlias = e;
    e = eAlias;
    EXPECT_TRUE(e.IsSharedEmpty());
    Text n;
    Text& nAlias = n;
    n = std::move(nAlias);
    EXPECT_FALSE(n.has_value());
}

TEST(Text, AssignmentFromEachSourceKeepsNullDistinctFromEmpty)
{
    Text t;
    t = std::string_view("view");
    EXPECT_EQ(t, "view");
    t = std::string("string");
    EXPECT_EQ(t, "string");
    const std::string lvalue("lvalue");
    t = lvalue;
    EXPECT_EQ(t, "lvalue");
    t = "";
    EXPECT_TRUE(t.has_value());
    EXPECT_EQ(t, "");
    t = std::nullopt;
    EXPECT_FALSE(t.has_value());
    t = "";
    EXPECT_TRUE(t.IsSharedEmpty());
    const char* none = nullptr;
    t = none;
    EXPECT_FALSE(t.has_value());
    t = "x";
    t.reset();
    EXPECT_FALSE(t.has_value());
    t.reset();
    EXPECT_FALSE(t.has_value());
}

TEST(Text, ComparisonsFollowOptionalRules)
{
    const Text null;
    const Text empty("");
    const Text word("sign");
    EXPECT_TRUE(null == Text());
    EXPECT_FALSE(null == empty);
    EXPECT_TRUE(empty == Text(std::string()));
    EXPECT_TRUE(word == Text("sign"));
    EXPECT_TRUE(word != Text("post"));

    EXPECT_TRUE(null == std::nullopt);
    EXPECT_FALSE(empty == std::nullopt);
    EXPECT_TRUE(std::nullopt != word);

    // A null text equals no string, not even "".
    EXPECT_FALSE(null == "");
    EXPECT_FALSE(null == std::string());
    EXPECT_FALSE(null == std::string_view());
    EXPECT_TRUE(empty == "");
    EXPECT_TRUE(word == std::string("sign"));
    EXPECT_TRUE(std::string("sign") == word);
    EXPECT_TRUE("sign" == word);
    EXPECT_TRUE(word != "signs");
    EXPECT_TRUE(word == std::string_view("sign"));

    // Bytes after a zero byte count.
    const Text zero(std::string("a\0b", 3));
    EXPECT_FALSE(zero == Text("a"));
    EXPECT_TRUE(zero == std::string("a\0b", 3));
}

TEST(Text, SwapExchangesStates)
{
    Text a("left");
    Text b;
    swap(a, b);
    EXPECT_FALSE(a.has_value());
    EXPECT_EQ(b, "left");
    std::swap(a, b);
    EXPECT_EQ(a, "left");
    EXPECT_FALSE(b.has_value());
}
