#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/contract/values.h"

using namespace kestrel;

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

    EXPECT_EQ(empty.View(), "");
    EXPECT_EQ(word.View(), "asphalt");
    // A const null text reads as "" instead of faulting.
    EXPECT_EQ(null.View(), "");

    EXPECT_EQ(TextView(null), "");
    EXPECT_TRUE(TextEmpty(null));
    EXPECT_TRUE(TextEmpty(empty));
    EXPECT_FALSE(TextEmpty(word));
    EXPECT_EQ(TextView(word), "asphalt");
}

TEST(Text, ShortTextsStayInsideAndLongerOnesOwnAString)
{
    const std::string seven = "culvert";
    const std::string eight = "concrete";
    const char zeros[] = {'a', '\0', 'b', '\0', '\0', '\0', 'c'};
    for (const Text& t : {Text(""), Text(std::string_view()), Text(std::string()), Text("EA"), Text(seven),
                          Text(std::string(seven)), Text(std::string_view(zeros, 7))}) {
        EXPECT_TRUE(t.has_value());
        EXPECT_TRUE(t.IsInline()) << t.View();
        // The bytes are read from inside the object itself.
        const auto* self = reinterpret_cast<const char*>(&t);
        EXPECT_TRUE(t.View().empty() || (t.View().data() > self && t.View().data() < self + sizeof t));
    }
    EXPECT_EQ(Text(std::string_view(zeros, 7)).View(), std::string_view(zeros, 7));
    for (const Text& t : {Text(eight), Text(std::string(eight)), Text(std::string(100, 'q'))}) {
        EXPECT_FALSE(t.IsInline());
        EXPECT_EQ(t.View().size(), t == eight ? 8u : 100u);
    }
    EXPECT_FALSE(Text().IsInline());
    const char* none = nullptr;
    EXPECT_FALSE(Text(none).has_value());
}

TEST(Text, WritingThroughATextGivesItItsOwnString)
{
    Text t("EA");
    *t += " and more";
    EXPECT_FALSE(t.IsInline());
    EXPECT_EQ(t, "EA and more");

    Text u("");
    u->append("through arrow");
    EXPECT_EQ(u, "through arrow");
    u.value() = "through value";
    EXPECT_EQ(u, "through value");

    Text v("ab");
    v.emplace("emplaced");
    EXPECT_EQ(v, "emplaced");
    v.emplace() += "again";
    EXPECT_EQ(v, "again");

    // An own string is reused by later assignments, short ones too.
    Text w(std::string(40, 'w'));
    const std::string* own = &*w;
    w = "x";
    EXPECT_EQ(w, "x");
    EXPECT_EQ(&*w, own);
}

TEST(Text, NonConstAccessToANullTextGivesAnEmptyOwnString)
{
    Text t;
    t->append("abc");
    EXPECT_EQ(t, "abc");
    Text u;
    EXPECT_THROW(u.value(), std::bad_optional_access);
    EXPECT_FALSE(u.has_value());
    EXPECT_EQ(u.value_or("fallback"), "fallback");
    EXPECT_EQ(Text("kept").value_or("fallback"), "kept");
    EXPECT_EQ(Text("longer kept").value_or("fallback"), "longer kept");
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

    Text e("LF");
    Text f(e);
    EXPECT_TRUE(f.IsInline());
    *f = "mine";
    EXPECT_EQ(e, "LF");
    EXPECT_EQ(f, "mine");

    // An own string that became short copies inside the object.
    Text g("a long text");
    g->resize(1);
    EXPECT_TRUE(Text(g).IsInline());
    EXPECT_EQ(Text(g), "a");

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
    const std::string* buffer = &*a;
    Text b(std::move(a));
    EXPECT_EQ(&*b, buffer);      // the string itself moved, not its bytes
    EXPECT_FALSE(a.has_value()); // NOLINT(bugprone-use-after-move)
    a = "reused";
    EXPECT_EQ(a, "reused");

    Text c("old");
    c = std::move(b);
    EXPECT_EQ(c, "concrete");
    EXPECT_FALSE(b.has_value()); // NOLINT(bugprone-use-after-move)

    Text e("TON");
    Text f(std::move(e));
    EXPECT_EQ(f, "TON");
    EXPECT_FALSE(e.has_value()); // NOLINT(bugprone-use-after-move)

    std::string s(100, 'q');
    const char* bytes = s.data();
    Text g(std::move(s));
    EXPECT_EQ(g.View().data(), bytes);
    std::string s2(100, 'r');
    bytes = s2.data();
    g = std::move(s2);
    EXPECT_EQ(g.View().data(), bytes);
}

TEST(Text, SelfAssignmentKeepsTheValue)
{
    Text a("guardrail terminal");
    Text& alias = a;
    a = alias;
    EXPECT_EQ(a, "guardrail terminal");
    a = std::move(alias);
    EXPECT_EQ(a, "guardrail terminal");
    // From a view of its own bytes, inside the object or in its string.
    Text s("sealant");
    s = s.View().substr(2);
    EXPECT_EQ(s, "alant");
    a = a.View().substr(10);
    EXPECT_EQ(a, "terminal");
    Text e("");
    Text& eAlias = e;
    e = eAlias;
    EXPECT_TRUE(e.IsInline());
    EXPECT_EQ(e, "");
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
    EXPECT_TRUE(t.IsInline());
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
