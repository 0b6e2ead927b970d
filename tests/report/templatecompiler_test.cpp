#include "report/templatecompiler.h"

#include <gtest/gtest.h>

#include <set>

#include "model/contract/values.h"
#include "model/subcontract/winmeta.h"
#include "report/fieldcatalogue.h"
#include "reporttestutil.h"

namespace kestrel {
namespace {

std::unique_ptr<CompiledTemplate> Compile(const std::string& text, const CContract* c = nullptr)
{
    auto t = CTemplateCompiler::TryCompile(text, "T", c);
    EXPECT_TRUE(t.ok()) << t.errorText();
    return t.ok() ? std::move(t).value() : nullptr;
}

std::string CompileError(const std::string& text, const CContract* c = nullptr)
{
    const auto t = CTemplateCompiler::TryCompile(text, "T", c);
    EXPECT_FALSE(t.ok());
    return t.ok() ? std::string() : t.errorText();
}

std::string LiteralOf(const TemplateSeq& s)
{
    EXPECT_FALSE(s.cond);
    EXPECT_EQ(s.thenField->code, FC_STRING);
    return std::string(TextView(s.thenField->text));
}

const TemplateField& OnlyField(const std::string& text, const CContract* c = nullptr)
{
    static std::unique_ptr<CompiledTemplate> keep;
    keep = Compile(text, c);
    EXPECT_EQ(keep->lines.size(), 1u);
    EXPECT_GE(keep->lines[0].size(), 1u);
    return *keep->lines[0][0].thenField;
}

TEST(TemplateLines, SplitAtLineFeedsWithoutExtraFinalLine)
{
    EXPECT_EQ(CTemplateCompiler::SplitLines("a\n\nb\n").size(), 3u);
    EXPECT_EQ(CTemplateCompiler::SplitLines("a\nb").size(), 2u);
    EXPECT_TRUE(CTemplateCompiler::SplitLines("").empty());
    auto t = Compile("a\n\nb");
    ASSERT_EQ(t->lines.size(), 3u);
    EXPECT_EQ(LiteralOf(t->lines[1][0]), "\n");
    EXPECT_EQ(LiteralOf(t->lines[2][0]), "b\n");
}

TEST(TemplateLiterals, Escapes)
{
    auto t = Compile("\\b\\f\\n\\r\\t|\\x41\\x4g|\\{|\\\\|\\ |\\0|\\q|\\\tX");
    const std::string lit = LiteralOf(t->lines[0][0]);
    EXPECT_EQ(lit, std::string("\b\f\n\r\t|A@|{|\\|\\|\\|q|\\X\n"));
    EXPECT_TRUE(FlagTest(t->lines[0][0].thenField->options, FB_LITERAL));
}

TEST(TemplateLiterals, HexEscapeConsumesTwoCharactersAnyCase)
{
    EXPECT_EQ(LiteralOf(Compile("\\x6a\\x6A\\xzz")->lines[0][0]), std::string("jj\0\n", 4));
}

TEST(TemplateLiterals, BackslashAtLineEndContinuesTheLine)
{
    auto t = Compile("abc\\  \nxyz\\\\\nend");
    ASSERT_EQ(t->lines.size(), 3u);
    EXPECT_EQ(LiteralOf(t->lines[0][0]), "abc");
    EXPECT_EQ(LiteralOf(t->lines[1][0]), "xyz");
    EXPECT_EQ(LiteralOf(t->lines[2][0]), "end\n");
}

TEST(TemplateLiterals, ContinuationOnlyAfterALiteral)
{
    auto t = Compile("{CONTRACT_ID}\\\n");
    EXPECT_EQ(LiteralOf(t->lines[0].back()), "");
    auto u = Compile("{CONTRACT_ID}\n");
    ASSERT_EQ(u->lines[0].size(), 2u);
    EXPECT_EQ(LiteralOf(u->lines[0][1]), "\n");
}

TEST(TemplateFields, WorkedExampleSectionHead)
{
    auto t =
        Compile(std::string(25, ' ') + "Section {SECTION_NUMBER}    Alt Group {SECTION_ALTERNATE_CODE}\n" +
                "    {SECTION_DESCRIPTION,SIZE=70,REPEAT,JUSTIFY=CENTER}\n" + std::string(79, '-'));
    ASSERT_EQ(t->lines.size(), 3u);
    ASSERT_EQ(t->lines[0].size(), 5u);
    EXPECT_EQ(LiteralOf(t->lines[0][0]), std::string(25, ' ') + "Section ");
    EXPECT_EQ(t->lines[0][1].thenField->code, 36);
    EXPECT_EQ(LiteralOf(t->lines[0][2]), "    Alt Group ");
    EXPECT_EQ(t->lines[0][3].thenField->code, 37);
    EXPECT_EQ(LiteralOf(t->lines[0][4]), "\n");
    const TemplateField& d = *t->lines[1][1].thenField;
    EXPECT_EQ(d.code, 38);
    ASSERT_EQ(d.optionList.size(), 1u);
    EXPECT_EQ(d.optionList[0].code, OPT_SIZE);
    EXPECT_EQ(TextView(d.optionList[0].value), "70");
    EXPECT_TRUE(FlagTest(d.options, FB_REPEAT));
    EXPECT_TRUE(FlagTest(d.options, FB_CENTER));
    EXPECT_FALSE(FlagTest(d.options, FB_RIGHT));
}

TEST(TemplateFields, LiteralsExpressionsAndCalls)
{
    const TemplateField& q = OnlyField("{\"a \"\"b\"\" c\"}");
    EXPECT_EQ(q.code, FC_STRING);
    EXPECT_EQ(TextView(q.text), "a \"b\" c");
    EXPECT_EQ(TextView(OnlyField("{\"ab\"cd}").text), "abcd");
    const TemplateField& n = OnlyField("{#1+2}");
    EXPECT_EQ(n.code, FC_NUMBERSTRING);
    EXPECT_EQ(TextView(n.text), "1+2");
    EXPECT_TRUE(FlagTest(n.options, FB_RIGHT));
    const TemplateField& c = OnlyField("{[Report Sub Start]  }");
    EXPECT_EQ(c.code, FC_TEMPLATE);
    EXPECT_EQ(TextView(c.text), "[Report Sub Start]");
}

TEST(TemplateConditions, AndBindsTighterThanOrAndBothGroupRight)
{
    auto t = Compile("{AGENCY||PRIME_ID&&PRIME_NAME||CALL_ORDER}");
    const TemplateCond& c = *t->lines[0][0].cond;
    EXPECT_EQ(c.op, 2);
    EXPECT_EQ(c.left->field->code, 80);
    EXPECT_EQ(c.right->op, 2);
    EXPECT_EQ(c.right->left->op, 1);
    EXPECT_EQ(c.right->left->left->field->code, 24);
    EXPECT_EQ(c.right->left->right->field->code, 25);
    EXPECT_EQ(c.right->right->field->code, 7);
    // Without "?" an operator gives the literal texts TRUE and FALSE.
    EXPECT_EQ(TextView(t->lines[0][0].thenField->text), "TRUE");
    EXPECT_EQ(TextView(t->lines[0][0].elseField->text), "FALSE");
}

TEST(TemplateConditions, GroupsAndOperators)
{
    auto t = Compile("{(AGENCY||PRIME_ID)&&PRIME_NAME}");
    const TemplateCond& c = *t->lines[0][0].cond;
    EXPECT_EQ(c.op, 1);
    EXPECT_EQ(c.left->op, 2);
    const std::pair<const char*, int> ops[] = {{">=", 5}, {"<=", 6}, {"!=", 7}, {"==", 8},
                                               {">", 3},  {"<", 4},  {"=", 8}};
    for (const auto& [text, code] : ops) {
        auto u = Compile(std::string("{AGENCY") + text + "\"x\"}");
        EXPECT_EQ(u->lines[0][0].cond->op, code) << text;
    }
}

TEST(TemplateConditions, ThenElseAndSingleField)
{
    auto t = Compile("{SUB_ISCHILDSUB?\"A\":\"B\"}{SUBITEM_PARTIAL}{AGENCY ? PRIME_ID}");
    const TemplateLine& l = t->lines[0];
    ASSERT_EQ(l.size(), 4u);
    ASSERT_TRUE(l[0].cond);
    EXPECT_EQ(l[0].cond->field->code, 58);
    EXPECT_EQ(TextView(l[0].thenField->text), "A");
    EXPECT_EQ(TextView(l[0].elseField->text), "B");
    EXPECT_FALSE(l[1].cond);
    EXPECT_EQ(l[1].thenField->code, 76);
    EXPECT_EQ(l[2].thenField->code, 24);
    EXPECT_FALSE(l[2].elseField);
}

TEST(TemplateConditions, MissingCloseTokens)
{
    EXPECT_EQ(CompileError("{AGENCY>PRIME_ID>CALL_ORDER}"),
              "Found end of line where } was expected in template [T]");
    EXPECT_EQ(CompileError("{(AGENCY}"), "Found end of line where ) was expected in template [T]");
    EXPECT_EQ(CompileError("{AGENCY"), "Found end of line where } was expected in template [T]");
    EXPECT_EQ(CompileError("{AGENCY ,SIZE=3}"), "Found end of line where } was expected in template [T]");
}

TEST(TemplateOptions, PrefixMatchingAndValues)
{
    const TemplateField& f = OnlyField("{CONTRACT_ID,SI=3, MAXL=2,SIZE= 5 ,STRS=\"a,b\"}");
    ASSERT_EQ(f.optionList.size(), 4u);
    // Newest first: the last SIZE wins a lookup.
    EXPECT_EQ(f.optionList[0].code, OPT_STRSTR);
    EXPECT_EQ(TextView(f.optionList[0].value), "a,b");
    EXPECT_EQ(TextView(f.FindOption(OPT_SIZE)->value), "5");
    EXPECT_EQ(f.optionList[2].code, OPT_MAXLINES);
}

TEST(TemplateOptions, Errors)
{
    EXPECT_EQ(CompileError("{CONTRACT_ID,SIZE = 3}"),
              "Field Option SIZE requires value for field CONTRACT_ID in template [T]");
    EXPECT_EQ(CompileError("{CONTRACT_ID,S=3}"),
              "Ambiguous Field Option S for field CONTRACT_ID in template [T]");
    EXPECT_EQ(CompileError("{\"x\",BOGUS=1}"),
              "Unknown Field Option: BOGUS for field: STRING in template [T]");
    EXPECT_EQ(CompileError("{CONTRACT_ID,J=Q}"),
              "Unknown Justification Q for option J of field CONTRACT_ID in template [T]");
    EXPECT_EQ(CompileError("{#1,JUSTIFY}"),
              "Field Option JUSTIFY requires value for field NUMBERSTRING in template [T]");
}

TEST(TemplateCheck, NamesTheFirstLineThatDoesNotCompile)
{
    EXPECT_TRUE(CTemplateCompiler::CheckText("plain\n{CONTRACT_ID}\n", "T", nullptr).ok());
    EXPECT_TRUE(CTemplateCompiler::CheckText("", "T", nullptr).ok());
    const std::string bad = "{CONTRACT_ID,NOSUCHOPTION}";
    const Status third =
        CTemplateCompiler::CheckText("one\n{CONTRACT_ID}\n" + bad + "\n" + bad + "\n", "T", nullptr);
    ASSERT_FALSE(third.ok());
    EXPECT_EQ(third.errorCode(), 3);
    // The message is the compiler's own, as a print would show it.
    EXPECT_EQ(third.errorText(), CompileError(bad));
    // A last line without its line feed is a line too.
    const Status last = CTemplateCompiler::CheckText("a\nb\n" + bad, "T", nullptr);
    ASSERT_FALSE(last.ok());
    EXPECT_EQ(last.errorCode(), 3);
    const Status first = CTemplateCompiler::CheckText(bad, "T", nullptr);
    EXPECT_EQ(first.errorCode(), 1);
}

TEST(TemplateOptions, SwitchesAndJustification)
{
    EXPECT_TRUE(FlagTest(OnlyField("{AGENCY,REPEAT}").options, FB_REPEAT));
    EXPECT_TRUE(FlagTest(OnlyField("{AGENCY,REPEAT=yes}").options, FB_REPEAT));
    EXPECT_FALSE(FlagTest(OnlyField("{AGENCY,REPEAT=0}").options, FB_REPEAT));
    EXPECT_FALSE(FlagTest(OnlyField("{CONTRACT_TOTAL,COMMAS=No}").options, FB_COMMAS));
    EXPECT_TRUE(FlagTest(OnlyField("{AGENCY,MONEY=t,RESET=1}").options, FB_MONEY));
    EXPECT_TRUE(FlagTest(OnlyField("{AGENCY,MONEY=t,RESET=1}").options, FB_RESET));
    const uint16_t left = OnlyField("{CONTRACT_TOTAL,JUSTIFY=left}").options;
    EXPECT_TRUE(FlagTest(left, FB_LEFT));
    EXPECT_FALSE(FlagTest(left, FB_RIGHT));
    const uint16_t center = OnlyField("{#1,JUSTIFY=c}").options;
    EXPECT_TRUE(FlagTest(center, FB_CENTER));
    EXPECT_FALSE(FlagTest(center, FB_RIGHT));
    // Counts and texts are not right-justified unless asked.
    EXPECT_FALSE(FlagTest(OnlyField("{PAGE_NUMBER}").options, FB_RIGHT));
    EXPECT_TRUE(FlagTest(OnlyField("{AGENCY,JUSTIFY=R}").options, FB_RIGHT));
    // Switches do not enter the option list.
    EXPECT_TRUE(OnlyField("{AGENCY,REPEAT,COMMAS}").optionList.empty());
}

TEST(TemplateNames, Resolution)
{
    auto c = test::MakeReportContract();
    EXPECT_EQ(OnlyField("{contract_type}", c.get()).code, 11);
    EXPECT_EQ(CompileError("{CONTRACT_T}", c.get()), "Ambiguous Field Name: CONTRACT_T in Template [T]");
    EXPECT_EQ(OnlyField("{IT_LONG}", c.get()).code, 54);
    EXPECT_EQ(OnlyField("{CONTRACT_I}", c.get()).code, 8);
    EXPECT_EQ(OnlyField("{vendorname}", c.get()).code, 1002);
    EXPECT_EQ(OnlyField("{Amount}", c.get()).code, 1017);
    EXPECT_EQ(OnlyField("{Amount}", c.get()).entry->code, FC_SUBCOLUMN);
    EXPECT_EQ(OnlyField("{PHONE}", c.get()).code, 2001);
    EXPECT_EQ(CompileError("{S}", c.get()), "Ambiguous Field Name: S in Template [T]");
    const TemplateField& unknown = OnlyField("{NOSUCHTHING,SIZE=4}", c.get());
    EXPECT_EQ(unknown.code, FC_STRING);
    EXPECT_FALSE(unknown.text);
    EXPECT_EQ(OnlyField("{TEMPLATE}").code, FC_TEMPLATE);
}

TEST(TemplateNames, CatalogueBeforeColumns)
{
    auto c = test::MakeReportContract();
    c->m_pSubTable->m_Fields.GetAt(5)->m_strName = std::string("AGENCY");
    EXPECT_EQ(OnlyField("{AGENCY}", c.get()).code, 80);
}

TEST(FieldCatalogue, EveryCodeBelongsToOneEntry)
{
    // A code shared by two entries would make their fields share one
    // position within a template.
    std::set<int> codes;
    for (const CatalogueEntry& e : CFieldCatalogue::Entries()) {
        EXPECT_TRUE(codes.insert(e.code).second) << e.name;
        EXPECT_GT(e.code, 0) << e.name;
        EXPECT_LT(e.code, FC_SUBCOLUMN_BASE) << e.name;
        EXPECT_EQ(CFieldCatalogue::FindCode(e.code), &e) << e.name;
    }
    // Codes 1 to 85; 82 names no field.
    EXPECT_EQ(codes.size(), 84u);
    EXPECT_EQ(*codes.rbegin(), FC_BID_ERROR);
    EXPECT_EQ(codes.count(82), 0u);
    // The second CONTRACT_TYPE is never found by its name.
    EXPECT_EQ(CFieldCatalogue::FindExact("contract_type")->code, FC_CONTRACT_TYPE);
    EXPECT_STREQ(CFieldCatalogue::FindCode(FC_CONTRACT_TYPE_TEXT)->name, "CONTRACT_TYPE");
}

TEST(TemplateCompiler, HostileNestingIsAFaultNotACrash)
{
    const std::string deep = "{" + std::string(5000, '(') + "AGENCY" + std::string(5000, ')') + "}";
    EXPECT_EQ(CompileError(deep), "Condition too complex in template [T]");
    std::string chain = "{AGENCY";
    for (int k = 0; k < 2000; ++k)
        chain += "||AGENCY";
    EXPECT_EQ(CompileError(chain + "}"), "Condition too complex in template [T]");
}

} // namespace
} // namespace kestrel
