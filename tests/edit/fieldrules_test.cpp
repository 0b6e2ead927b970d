#include "edit/fieldrules.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "calc/evaluator.h"
#include "edit/contractedits.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/programpaths.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

// Fields of the small form the tests build (the indexes the program relies
// on, plus fields of every type).
enum : int {
    F_TYPE = 1,
    F_NAME = 2,
    F_REMARK = 9,
    F_VENDOR = 10,
    F_VENDOR_NAME = 12, // text on the vendor list
    F_VENDOR_ADDRESS = 14,
    F_VENDOR_PICK = 15, // a second drop-down on the vendor list
    F_FILE_LOCKED = 16, // text on the vendor list that the file made read-only
    F_AMOUNT = 17,
    F_RETAINAGE = 18,
    F_CREDIT = 19,
    F_DBE = 20,
    F_CERT = 21,
    F_LUMP = 23,
    F_DATE = 24,
    F_WORK1 = 26,
    F_WORK2 = 27,
    F_NARROW = 30,
    F_NO_WIDTH = 31,
    F_CAPTION = 32,
    F_ORIGINAL = 58,
    F_COUNT = 60,
};

constexpr uint16_t kStoredList = 1u << 0;
constexpr uint16_t kMatchTyped = 1u << 3;
constexpr uint16_t kCellReadOnly = 1u << 2;

// A vendor list entry: id in columns 1-5, name 7-30, address 31-50, the
// work-type codes from column 51.
std::string Vendor(const std::string& id, const std::string& name, const std::string& address,
                   const std::string& codes)
{
    std::string e = id;
    e.resize(6, ' ');
    e += name;
    e.resize(30, ' ');
    e += address;
    e.resize(50, ' ');
    return e + codes;
}

LocalDateTime Moment(int year, int month, int day, int hour, int minute)
{
    LocalDateTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    return t;
}

class FieldRulesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        c.m_ExtFormat = {9, 2};
        test::AddHeading(c, "0001");
        test::AddItem(c, "0010", 1, 200000);
        c.m_pSubTable = test::MakeTextTable(F_COUNT);
        CWinMeta& t = Sub();
        t.m_Fields[F_NAME]->m_strName = "SubName";
        List(F_TYPE, FIELD_DROPLIST, "Sub Type", 4, 40);
        List(F_VENDOR, FIELD_DROPTYPE, "Vendor", 1, 5, kStoredList | kMatchTyped);
        List(F_VENDOR_NAME, FIELD_TEXT, "vendor", 7, 30);
        List(F_VENDOR_ADDRESS, FIELD_TEXT, "VENDOR", 31, 50);
        List(F_VENDOR_PICK, FIELD_DROPLIST, "Vendor", 7, 30);
        List(F_FILE_LOCKED, FIELD_TEXT, "Vendor", 1, 5);
        List(F_CERT, FIELD_DROPLIST, "Cert Type", 1, 4);
        List(F_WORK1, FIELD_DROPLIST, "WORKTYPE", 0, 0);
        List(F_WORK2, FIELD_DROPLIST, "WORKTYPE", 0, 0);
        Type(F_AMOUNT, FIELD_MONEY, 14);
        Type(F_RETAINAGE, FIELD_NUMBER, 6);
        Type(F_CREDIT, FIELD_NUMBER, 6);
        Type(F_DBE, FIELD_YESNO, 5);
        Type(F_DATE, FIELD_DATE, 10);
        Type(F_NARROW, FIELD_NUMBER, 2);
        Type(F_NO_WIDTH, FIELD_NUMBER, 0);
        Type(F_CAPTION, FIELD_STATIC, 10);
        t.m_Fields[F_CAPTION]->m_strListSource = "Caption";
        Type(F_ORIGINAL, FIELD_MONEY, 14);

        *c.NewList("Sub Type", false) = {"10 Itemized", "00 Lump sum", "01 Supplier", "11 Itemized supplier"};
        *c.NewList("Vendor", false) = {Vendor("00100", "Acme Paving", "1 Main St", "ASPHMILL"),
                                       Vendor("00200", "Bolt Electric", "2 Mill Rd", ""),
                                       Vendor("00300", "Crane Bridge", "3 Canal St", "BRDG    ELEC")};
        *c.NewList("Cert Type", false) = {"DBE  Disadvantaged", "XDBE Decertified", "MBE  Minority",
                                          "WBE  Women"};
        *c.NewList("WORKTYPE", false) = {"ASPH Asphalt", "BRDG Bridge", "ELEC Electrical", "MILL Milling"};
        CDataFilter* cert = t.m_Filters.SetAt("Cert Type");
        cert->m_iStart = 1;
        cert->m_iEnd = 4;
        cert->m_strPattern[0] = "DBE";
        cert->m_strPattern[1] = "?BE";
        c.m_iHeaderB = 51;

        rec = test::AddSub(c, "First", nullptr, false);
        rec->SetCellText(F_AMOUNT, std::string("$6,000.00"));
        CCellData* fileLocked = rec->GetCell(F_FILE_LOCKED);
        fileLocked->m_psz = "held";
        fileLocked->m_wFlags = kCellReadOnly;

        c.m_pMiscTable = test::MakeTextTable(4);
        c.m_pMiscTable->AddRecord(-1, -1);
        c.RecalculateContract();
        ASSERT_DOUBLE_EQ(c.m_fContractTotal, 200000.0);
        edits.SetClock([] { return Moment(2026, 3, 5, 9, 0); });
        edits.RunCheck();
        c.SetModified(false);
    }

    CWinMeta& Sub() { return *c.m_pSubTable; }
    void Type(int j, int type, int width)
    {
        Sub().m_Fields[j]->m_iType = type;
        Sub().m_Fields[j]->m_iCX = width;
    }
    void List(int j, int type, const char* source, int start, int end, uint16_t flags = kStoredList)
    {
        CFieldInfo* f = Sub().m_Fields[j];
        f->m_iType = type;
        f->m_strListSource = source;
        f->m_iListStart = start;
        f->m_iListEnd = end;
        f->m_wFlags = flags;
    }
    std::string Text(int j) const
    {
        const kestrel::Text* t = rec->GetCellText(j);
        return t ? std::string(t->View()) : std::string();
    }
    int Position(int j) const { return rec->GetCell(j)->m_i; }
    bool ReadOnly(int j) const { return FlagTest(rec->GetCell(j)->m_wFlags, 2); }
    bool Modified() const { return FlagTest(c.m_wFlags, CONTRACT_MODIFIED); }

    // Types into a field and expects it to be taken.
    AppliedEdit Set(int j, const std::string& typed)
    {
        EditResult r = edits.SetCell(Sub(), *rec, j, typed);
        EXPECT_TRUE(r.ok()) << typed << ": " << (r.ok() ? "" : r.errorText());
        return r.ok() ? std::move(r).value() : AppliedEdit{};
    }
    // Types into a field and gives what it then holds.
    std::string Entered(int j, const std::string& typed)
    {
        Set(j, typed);
        return Text(j);
    }
    AppliedEdit Choose(int j, int position)
    {
        EditResult r = edits.ChooseListEntry(Sub(), *rec, j, position);
        EXPECT_TRUE(r.ok()) << position << ": " << (r.ok() ? "" : r.errorText());
        return r.ok() ? std::move(r).value() : AppliedEdit{};
    }
    // Expects a refusal that changes nothing at all.
    void ExpectRefused(EditResult r, Refusal why, const std::string& message = {})
    {
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.errorCode(), static_cast<int>(why)) << r.errorText();
        if (!message.empty()) {
            EXPECT_EQ(r.errorText(), message);
        }
        EXPECT_EQ(WriteContractStream(c), before);
        EXPECT_FALSE(Modified());
    }
    // The state a refusal must leave as it is: unmodified, these bytes.
    void TakeBytes()
    {
        c.SetModified(false);
        before = WriteContractStream(c);
    }

    CContract c;
    Evaluator evaluator;
    CProgramPaths paths;
    CContractEdits edits{c, evaluator, paths};
    CSubcontract* rec = nullptr;
    std::vector<unsigned char> before;
};

// --- numbers and money ----------------------------------------------------

TEST_F(FieldRulesTest, PercentOfTheContractTotal)
{
    EXPECT_EQ(Entered(F_AMOUNT, "15%"), "$30,000.00");
    EXPECT_EQ(Entered(F_RETAINAGE, " 2.5 % "), "***.**"); // 5000 does not fit three digits
    EXPECT_EQ(Entered(F_AMOUNT, "(1+1)*5%"), "$20,000.00");
}

TEST_F(FieldRulesTest, NumbersAreEvaluatedAndWrittenBack)
{
    EXPECT_EQ(Entered(F_AMOUNT, " $1,234.5 "), "$1,234.50");
    EXPECT_EQ(Entered(F_AMOUNT, "2*3+0.126"), "$6.13");
    EXPECT_EQ(Entered(F_RETAINAGE, "$12"), "12.00"); // no currency sign outside money
    EXPECT_EQ(Entered(F_RETAINAGE, "-4"), "-4.00");
    // Empty is valid and stays empty.
    EXPECT_EQ(Entered(F_RETAINAGE, " \t "), "");
}

TEST_F(FieldRulesTest, WidthSixShowsStarsFromOneThousand)
{
    EXPECT_EQ(Entered(F_RETAINAGE, "999.994"), "999.99");
    EXPECT_EQ(Entered(F_RETAINAGE, "1000"), "***.**");
    EXPECT_EQ(Entered(F_RETAINAGE, "-1000"), "***.**");
}

TEST_F(FieldRulesTest, NarrowFieldsKeepTheTypedValue)
{
    EXPECT_EQ(NumberFieldDigits(6), 3);
    EXPECT_EQ(NumberFieldDigits(3), 0);
    EXPECT_EQ(NumberFieldDigits(2), 0);
    EXPECT_EQ(NumberFieldDigits(-5), 0);
    EXPECT_EQ(Entered(F_NARROW, "45"), "45.00");
    EXPECT_EQ(Entered(F_NO_WIDTH, "1234567"), "1,234,567.00");
}

TEST_F(FieldRulesTest, TextsThatAreNoNumberAreRefused)
{
    rec->SetCellText(F_AMOUNT, std::string("$5.00"));
    TakeBytes();
    for (const char* typed : {"abc", "1/0", "%", "1e308*10", "2+", "1,2,3)"})
        ExpectRefused(edits.SetCell(Sub(), *rec, F_AMOUNT, typed), Refusal::NumberFormat,
                      "Not a valid number");
    EXPECT_STREQ(RefusalCaption(Refusal::NumberFormat), "Number Format Error");
    EXPECT_EQ(Text(F_AMOUNT), "$5.00");
}

TEST_F(FieldRulesTest, NegativeMoneyKeepsItsSignWhenLeftAgain)
{
    EXPECT_EQ(Entered(F_AMOUNT, "-12.5"), "($12.50)");
    c.SetModified(false);
    const AppliedEdit again = Set(F_AMOUNT, "($12.50)");
    EXPECT_FALSE(again.event.valuesChanged);
    EXPECT_EQ(Text(F_AMOUNT), "($12.50)");
    EXPECT_FALSE(Modified());
    // A parenthesised expression without the currency sign only groups.
    EXPECT_EQ(Entered(F_AMOUNT, "(2+3)"), "$5.00");
}

// --- dates ------------------------------------------------------------------

TEST_F(FieldRulesTest, TodayIsTheClocksDate)
{
    EXPECT_EQ(Entered(F_DATE, "t"), "03/05/26");
    Set(F_DATE, "");
    EXPECT_EQ(Entered(F_DATE, " Today"), "03/05/26");
}

TEST_F(FieldRulesTest, EveryDateFormatOfTheMessageIsRead)
{
    for (const char* typed : {"01/31/99", "31Jan99", "013199", "01-31-99", "1/31/1999"}) {
        Set(F_DATE, "");
        Set(F_DATE, typed);
        EXPECT_EQ(Text(F_DATE), "01/31/99") << typed;
    }
    EXPECT_EQ(Entered(F_DATE, "Jan31"), "01/31/26"); // the year of the clock
    EXPECT_EQ(Entered(F_DATE, ""), "");
}

TEST_F(FieldRulesTest, TextsThatAreNoDateAreRefused)
{
    rec->SetCellText(F_DATE, std::string("01/02/26"));
    TakeBytes();
    for (const char* typed : {"xyz", "Foo 12", "02/30/26", "13/01/26", "12"})
        ExpectRefused(edits.SetCell(Sub(), *rec, F_DATE, typed), Refusal::DateFormat,
                      "Date must be in one of the following formats:\n01/31/99, Jan31, 31Jan99, 013199, "
                      "01-31-99, today");
    EXPECT_STREQ(RefusalCaption(Refusal::DateFormat), "Date Format Error");
}

TEST(FieldDates, TheTypedDateIsKeptWhateverTheTimeOfDay)
{
    auto r = ReadDateField("T", Moment(2025, 12, 31, 23, 59));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value(), "12/31/25");
}

// --- list choices -------------------------------------------------------------

TEST(FieldChoiceTexts, ColumnsOfAnEntry)
{
    CFieldInfo f;
    f.m_iListStart = 3;
    f.m_iListEnd = 6;
    EXPECT_EQ(ShownColumns("ab cd  \tef", f), " cd");
    f.m_iListEnd = 99; // beyond the entry: to its end
    EXPECT_EQ(ShownColumns("ab cd  \t", f), " cd");
    f.m_iListEnd = 0; // the whole entry, whatever the start
    EXPECT_EQ(ShownColumns("ab cd \t ", f), "ab cd");
    f.m_iListStart = 20;
    f.m_iListEnd = 25;
    EXPECT_EQ(ShownColumns("short", f), "");
}

TEST(FieldChoiceTexts, ListKeys)
{
    EXPECT_EQ(ListKey("VENDORS.BIN:VENDOR"), "VENDOR");
    EXPECT_EQ(ListKey(" Sub Type "), "Sub Type");
    EXPECT_EQ(ListKey(":worktype"), ":worktype");
    EXPECT_EQ(ListKey("A:B:C"), "B:C");
}

TEST(FieldChoiceTexts, WorkTypeCodesOfAVendor)
{
    const std::string entry = "00100 Name  ASPHMILL    ELECSA";
    EXPECT_EQ(WorkTypeCodes(entry, 13), (std::vector<std::string>{"ASPH", "MILL", "ELEC", "SA"}));
    EXPECT_EQ(WorkTypeCodes(entry, 15), (std::vector<std::string>{"PHMI", "LL", "EL", "ECSA"}));
    EXPECT_TRUE(WorkTypeCodes(entry, 0).empty());
    EXPECT_TRUE(WorkTypeCodes(entry, -1).empty());
    EXPECT_TRUE(WorkTypeCodes(entry, 31).empty()); // the entry is shorter
    EXPECT_EQ(WorkTypeCodes(entry, 30), (std::vector<std::string>{"A"}));
    EXPECT_TRUE(WorkTypeCodes("00100 Name      ", 13).empty());
}

TEST_F(FieldRulesTest, AFilterShiftsTheBoxButNotThePositions)
{
    const FieldChoices choices = edits.Choices(Sub(), *rec, F_CERT);
    ASSERT_EQ(choices.entries.size(), 3u);
    EXPECT_EQ(choices.entries[1].position, 2);
    EXPECT_EQ(choices.entries[1].text, "MBE");
    EXPECT_EQ(choices.IndexOfPosition(2), 1);
    EXPECT_EQ(choices.IndexOfPosition(1), -1);

    Choose(F_CERT, 2);
    EXPECT_EQ(Position(F_CERT), 2);
    EXPECT_EQ(Text(F_CERT), "MBE");
    const FormDisplay shown = edits.ShowRecord(Sub(), *rec);
    EXPECT_EQ(shown.fields[F_CERT].position, 2);
    EXPECT_EQ(shown.fields[F_CERT].choice, 1);
    EXPECT_EQ(shown.fields[F_CERT].text, "MBE");

    TakeBytes();
    ExpectRefused(edits.ChooseListEntry(Sub(), *rec, F_CERT, 1), Refusal::NotAllowed);
    ExpectRefused(edits.ChooseListEntry(Sub(), *rec, F_CERT, 4), Refusal::NotAllowed);
}

TEST_F(FieldRulesTest, AMissingListFileGivesItsMessage)
{
    test::TempDir dir;
    paths.SetContractPath(dir.file("JOB.CON"));
    List(F_CERT, FIELD_DROPTYPE, "NOWHERE.LST:CERT", 1, 4, 0);
    const FieldChoices choices = edits.Choices(Sub(), *rec, F_CERT);
    EXPECT_TRUE(choices.entries.empty());
    EXPECT_EQ(choices.listMessage, "Cannot open the file 'NOWHERE.LST'");
    // Typed text is kept as an entry not chosen from the list.
    EXPECT_EQ(Entered(F_CERT, "DBE"), "DBE");
    EXPECT_EQ(Position(F_CERT), -1);
}

TEST_F(FieldRulesTest, TextFieldsOfAListFileAreOffered)
{
    test::TempDir dir;
    paths.SetContractPath(dir.file("JOB.CON"));
    test::WriteText(dir.file("PAY.LST"), "TERMS   Net 30  \nTERMS   Net 10\n");
    List(F_REMARK, FIELD_TEXT, "PAY.LST:TERMS", 1, 0, 0);
    const FieldChoices choices = edits.Choices(Sub(), *rec, F_REMARK);
    ASSERT_EQ(choices.entries.size(), 2u);
    EXPECT_EQ(choices.entries[0].text, "Net 10"); // sorted on reading
    EXPECT_EQ(choices.entries[1].text, "Net 30");
    Choose(F_REMARK, 1);
    EXPECT_EQ(Text(F_REMARK), "Net 30");
    EXPECT_EQ(Position(F_REMARK), -1);
}

// --- yes/no and typing into drop-downs ---------------------------------------

TEST_F(FieldRulesTest, YesNoFieldsChooseAsTheBoxDoes)
{
    EXPECT_EQ(edits.ShowRecord(Sub(), *rec).fields[F_DBE].position, 0);
    const AppliedEdit none = Choose(F_DBE, 0); // what the box already shows
    EXPECT_FALSE(none.event.valuesChanged);
    EXPECT_FALSE(Modified());
    EXPECT_EQ(Entered(F_DBE, "y"), "Yes");
    EXPECT_EQ(Position(F_DBE), 1);
    EXPECT_EQ(Entered(F_DBE, " NO "), "No");
    EXPECT_EQ(Position(F_DBE), 2);
    Choose(F_DBE, -1);
    EXPECT_EQ(Text(F_DBE), "");
    EXPECT_EQ(Position(F_DBE), 0);
    TakeBytes();
    ExpectRefused(edits.SetCell(Sub(), *rec, F_DBE, "maybe"), Refusal::NotAllowed);
    ExpectRefused(edits.ChooseListEntry(Sub(), *rec, F_DBE, 3), Refusal::NotAllowed);
}

TEST_F(FieldRulesTest, TypingMatchesTheListOnlyWithFlagBitThree)
{
    // The vendor field matches typed text to the first entry beginning with it.
    Set(F_VENDOR, "002");
    EXPECT_EQ(Position(F_VENDOR), 1);
    EXPECT_EQ(Text(F_VENDOR), "00200");
    // The same text again chooses nothing new.
    c.SetModified(false);
    EXPECT_FALSE(Set(F_VENDOR, "00200 ").event.valuesChanged);
    EXPECT_FALSE(Modified());
    // Without the flag the text is kept, even when an entry begins with it.
    EXPECT_EQ(Entered(F_CERT, "mbe"), "mbe");
    EXPECT_EQ(Position(F_CERT), -1);
    // Text that differs only in case from the cell's changes nothing.
    c.SetModified(false);
    EXPECT_FALSE(Set(F_CERT, "MBE").event.valuesChanged);
    EXPECT_EQ(Text(F_CERT), "mbe");
}

// --- fields on one list kept in step -----------------------------------------

TEST_F(FieldRulesTest, FieldsOnOneListStayOnTheSameEntry)
{
    Choose(F_VENDOR, 2);
    EXPECT_EQ(Text(F_VENDOR), "00300");
    EXPECT_EQ(Position(F_VENDOR_PICK), 2);
    EXPECT_EQ(Text(F_VENDOR_PICK), "Crane Bridge");
    EXPECT_EQ(Text(F_VENDOR_NAME), "Crane Bridge");
    EXPECT_EQ(Text(F_VENDOR_ADDRESS), "3 Canal St");
    EXPECT_TRUE(ReadOnly(F_VENDOR_NAME));
    EXPECT_TRUE(ReadOnly(F_VENDOR_ADDRESS));
    // With the entry's position, as opening the saved file links them.
    EXPECT_EQ(Position(F_VENDOR_NAME), 2);
    EXPECT_EQ(Position(F_VENDOR_ADDRESS), 2);

    // The second drop-down leads just the same.
    Choose(F_VENDOR_PICK, 0);
    EXPECT_EQ(Position(F_VENDOR), 0);
    EXPECT_EQ(Text(F_VENDOR), "00100");
    EXPECT_EQ(Text(F_VENDOR_NAME), "Acme Paving");

    // A text field filled from the list is read-only.
    TakeBytes();
    ExpectRefused(edits.SetCell(Sub(), *rec, F_VENDOR_NAME, "Other"), Refusal::Locked);
    EXPECT_TRUE(edits.ShowRecord(Sub(), *rec).fields[F_VENDOR_NAME].readOnly);
}

// An entry not in the list frees every text field on the list that is
// locked, whoever locked it: this run's choice or the file's (a contract
// saved and opened again). A field on no list keeps its mark.
TEST_F(FieldRulesTest, AnUnlistedEntryFreesTheLockedFieldsOfItsList)
{
    rec->GetCell(F_RETAINAGE)->m_wFlags = kCellReadOnly;
    Choose(F_VENDOR, 0);
    EXPECT_EQ(Text(F_FILE_LOCKED), "00100");
    Set(F_VENDOR, "99999 Unknown");
    EXPECT_EQ(Position(F_VENDOR), -1);
    EXPECT_EQ(Text(F_VENDOR), "99999 Unknown");
    // The other drop-down loses its position and keeps its text.
    EXPECT_EQ(Position(F_VENDOR_PICK), -1);
    EXPECT_EQ(Text(F_VENDOR_PICK), "Acme Paving");
    // The text fields of the list are emptied and writable again.
    for (int j : {F_VENDOR_NAME, F_VENDOR_ADDRESS, F_FILE_LOCKED}) {
        EXPECT_EQ(Text(j), "") << j;
        EXPECT_EQ(Position(j), -1) << j;
        EXPECT_FALSE(ReadOnly(j)) << j;
    }
    Set(F_VENDOR_NAME, "Typed Name");
    EXPECT_EQ(Text(F_VENDOR_NAME), "Typed Name");
    EXPECT_TRUE(ReadOnly(F_RETAINAGE));
}

TEST_F(FieldRulesTest, AVendorTypedFromTheStartFreesWhatTheFileLocked)
{
    Set(F_VENDOR, "55555");
    EXPECT_EQ(Text(F_FILE_LOCKED), "");
    EXPECT_FALSE(ReadOnly(F_FILE_LOCKED));
    EXPECT_FALSE(ReadOnly(F_VENDOR_NAME));
}

// --- the subcontractor rules ----------------------------------------------------

TEST_F(FieldRulesTest, SubTypeZeroOneIsCreditedAtSixtyPercent)
{
    Choose(F_TYPE, 2); // "01 Supplier"
    EXPECT_EQ(Text(F_TYPE), "Supplier");
    EXPECT_FALSE(FlagTest(rec->m_wFlags, SUB_USESSUBITEMS));
    EXPECT_TRUE(FlagTest(rec->m_wFlags, SUB_USESIXTY));
    EXPECT_EQ(Text(F_LUMP), "Y");
    EXPECT_EQ(Text(F_CREDIT), "60.00");
    EXPECT_DOUBLE_EQ(Sub().m_fSubTotal, 3600.0); // 60 % of $6,000.00
    EXPECT_FALSE(edits.ShowRecord(Sub(), *rec).fields[F_AMOUNT].readOnly);

    Choose(F_TYPE, 1); // "00 Lump sum"
    EXPECT_FALSE(FlagTest(rec->m_wFlags, SUB_USESIXTY));
    EXPECT_EQ(Text(F_LUMP), "Y");
    EXPECT_EQ(Text(F_CREDIT), "100.00");
    EXPECT_DOUBLE_EQ(Sub().m_fSubTotal, 6000.0);
}

TEST_F(FieldRulesTest, SubTypeOneZeroIsItemizedAndLocksTheAmount)
{
    test::AddSubItem(*rec, "0010", 2, 150);
    const AppliedEdit done = Choose(F_TYPE, 0); // "10 Itemized"
    EXPECT_TRUE(done.event.treeChanged);
    EXPECT_TRUE(done.event.totalsChanged);
    EXPECT_TRUE(FlagTest(rec->m_wFlags, SUB_USESSUBITEMS));
    EXPECT_FALSE(FlagTest(rec->m_wFlags, SUB_USESIXTY));
    EXPECT_EQ(Text(F_LUMP), "N");
    EXPECT_EQ(Text(F_CREDIT), "100.00");
    EXPECT_EQ(Text(F_AMOUNT), "$300.00"); // from the items
    EXPECT_DOUBLE_EQ(Sub().m_fSubTotal, 300.0);
    EXPECT_TRUE(edits.ShowRecord(Sub(), *rec).fields[F_AMOUNT].readOnly);
    TakeBytes();
    ExpectRefused(edits.SetCell(Sub(), *rec, F_AMOUNT, "5000"), Refusal::Locked);

    Choose(F_TYPE, 3); // "11 Itemized supplier": itemized, so "100.00"
    EXPECT_TRUE(FlagTest(rec->m_wFlags, SUB_USESIXTY));
    EXPECT_EQ(Text(F_LUMP), "N");
    EXPECT_EQ(Text(F_CREDIT), "100.00");
}

TEST_F(FieldRulesTest, ASubTypeNotChosenFromTheListChangesNoRule)
{
    Set(F_TYPE, "10 typed");
    EXPECT_EQ(Position(F_TYPE), -1);
    EXPECT_FALSE(FlagTest(rec->m_wFlags, SUB_USESSUBITEMS));
    EXPECT_EQ(Text(F_LUMP), "");
    EXPECT_EQ(Text(F_CREDIT), "");
}

TEST_F(FieldRulesTest, TheVendorsWorkTypesAreOffered)
{
    auto offered = [&](int field) {
        std::vector<std::string> texts;
        for (const FieldChoice& ch : edits.Choices(Sub(), *rec, field).entries)
            texts.push_back(std::to_string(ch.position) + " " + ch.text.substr(0, 4));
        return texts;
    };
    const std::vector<std::string> all = {"0 ASPH", "1 BRDG", "2 ELEC", "3 MILL"};
    EXPECT_EQ(offered(F_WORK1), all); // no vendor chosen
    Choose(F_VENDOR, 0);
    EXPECT_EQ(offered(F_WORK1), (std::vector<std::string>{"0 ASPH", "3 MILL"}));
    EXPECT_EQ(offered(F_WORK2), (std::vector<std::string>{"0 ASPH", "3 MILL"}));
    Choose(F_VENDOR, 1); // a vendor without codes leaves all work types
    EXPECT_EQ(offered(F_WORK1), all);
    Choose(F_VENDOR, 2); // "BRDG    ELEC": a blank code is none
    EXPECT_EQ(offered(F_WORK1), (std::vector<std::string>{"1 BRDG", "2 ELEC"}));
    c.m_iHeaderB = 0; // no work-type column
    EXPECT_EQ(offered(F_WORK1), all);
    c.m_iHeaderB = 200; // beyond every entry
    EXPECT_EQ(offered(F_WORK1), all);
    // The vendor rule is the subcontractor form's: the same lists in the
    // miscellaneous data filter nothing.
    CWinMeta& misc = *c.m_pMiscTable;
    for (int j : {0, 1}) {
        misc.m_Fields[j]->m_iType = FIELD_DROPLIST;
        misc.m_Fields[j]->m_wFlags = kStoredList;
    }
    misc.m_Fields[0]->m_strListSource = "WORKTYPE";
    misc.m_Fields[1]->m_strListSource = "Vendor";
    misc.m_Records[0]->SetCellText(1, std::string("00100"));
    misc.m_Records[0]->GetCell(1)->m_i = 0;
    EXPECT_EQ(edits.Choices(misc, *misc.m_Records[0], 0).entries.size(), 4u);
}

TEST_F(FieldRulesTest, AWorkTypeKeepsItsListPositionInAShortBox)
{
    Choose(F_VENDOR, 2); // offers BRDG (position 1) and ELEC (position 2)
    Choose(F_WORK1, 2);
    EXPECT_EQ(Position(F_WORK1), 2);
    EXPECT_EQ(Text(F_WORK1), "ELEC Electrical");
    // Both work-type fields are on one list and follow each other.
    EXPECT_EQ(Position(F_WORK2), 2);
    const FormDisplay shown = edits.ShowRecord(Sub(), *rec);
    EXPECT_EQ(shown.fields[F_WORK1].choice, 1);
    EXPECT_EQ(shown.fields[F_WORK1].text, "ELEC Electrical");
    // A work type the vendor does not offer cannot be chosen.
    TakeBytes();
    ExpectRefused(edits.ChooseListEntry(Sub(), *rec, F_WORK1, 0), Refusal::NotAllowed);
    // After a change of vendor the stored work type stays, shown as not offered.
    Choose(F_VENDOR, 0);
    EXPECT_EQ(Position(F_WORK1), 2);
    EXPECT_EQ(edits.ShowRecord(Sub(), *rec).fields[F_WORK1].choice, -1);
}

TEST_F(FieldRulesTest, TheAmountMayNotFallBelowTheIronbarkAmount)
{
    FlagSet(rec->m_wFlags, SUB_FROMIRONBARK, 1);
    FlagSet(c.m_wFlags, CONTRACT_IRONBARK_FLOOR, 1);
    rec->SetCellText(F_ORIGINAL, std::string("$5,000.00"));
    TakeBytes();
    const std::string message = "The amount entered must be greater than the original amount as entered in "
                                "Ironbark, which is 5000.000";
    ExpectRefused(edits.SetCell(Sub(), *rec, F_AMOUNT, "4999.99"), Refusal::Amount, message);
    ExpectRefused(edits.SetCell(Sub(), *rec, F_AMOUNT, ""), Refusal::Amount, message);
    ExpectRefused(edits.SetCell(Sub(), *rec, F_AMOUNT, "2%"), Refusal::Amount, message); // $4,000.00
    EXPECT_STREQ(RefusalCaption(Refusal::Amount), "Amount Error");
    EXPECT_EQ(Entered(F_AMOUNT, "5000"), "$5,000.00");
    EXPECT_EQ(Entered(F_AMOUNT, "7000"), "$7,000.00");
}

TEST_F(FieldRulesTest, TheIronbarkFloorNeedsItsConditions)
{
    rec->SetCellText(F_ORIGINAL, std::string("$5,000.00"));
    FlagSet(c.m_wFlags, CONTRACT_IRONBARK_FLOOR, 1);
    Set(F_AMOUNT, "100"); // not received from Ironbark
    FlagSet(rec->m_wFlags, SUB_FROMIRONBARK, 1);
    FlagSet(c.m_wFlags, CONTRACT_IRONBARK_FLOOR, 0);
    Set(F_AMOUNT, "200"); // the contract sets no floor
    FlagSet(c.m_wFlags, CONTRACT_IRONBARK_FLOOR, 1);
    Set(F_AMOUNT, "$200"); // the same amount is no change
    rec->SetCellText(F_ORIGINAL, std::string(""));
    // No original amount: a blank, not the tiny number its bits make.
    Set(F_AMOUNT, "0");
    Set(F_AMOUNT, "-5");
    EXPECT_EQ(Entered(F_AMOUNT, ""), "");
}

TEST_F(FieldRulesTest, ALockedRecordOpensOnlyTheRemarkAndTheAmount)
{
    FlagSet(rec->m_wFlags, SUB_FROMIRONBARK, 1);
    FlagSet(c.m_wFlags, CONTRACT_IRONBARK_LOCKED, 1);
    TakeBytes();
    ExpectRefused(edits.SetCell(Sub(), *rec, F_NAME, "Other"), Refusal::Locked);
    ExpectRefused(edits.ChooseListEntry(Sub(), *rec, F_TYPE, 0), Refusal::Locked);
    ExpectRefused(edits.SetCell(Sub(), *rec, F_DATE, "t"), Refusal::Locked);
    const FormDisplay shown = edits.ShowRecord(Sub(), *rec);
    EXPECT_TRUE(shown.locked);
    EXPECT_TRUE(shown.fields[F_NAME].readOnly);
    EXPECT_TRUE(shown.fields[F_TYPE].readOnly);
    EXPECT_FALSE(shown.fields[F_REMARK].readOnly);
    EXPECT_FALSE(shown.fields[F_AMOUNT].readOnly);
    Set(F_REMARK, "allowed");
    Set(F_AMOUNT, "7000");
    // Without contract flag 8 the record is open.
    FlagSet(c.m_wFlags, CONTRACT_IRONBARK_LOCKED, 0);
    Set(F_NAME, "Other");
    EXPECT_FALSE(edits.ShowRecord(Sub(), *rec).locked);
}

TEST_F(FieldRulesTest, ACellMarkedReadOnlyRefusesChanges)
{
    rec->GetCell(F_REMARK)->m_wFlags = kCellReadOnly;
    TakeBytes();
    ExpectRefused(edits.SetCell(Sub(), *rec, F_REMARK, "x"), Refusal::Locked);
    EXPECT_TRUE(edits.ShowRecord(Sub(), *rec).fields[F_REMARK].readOnly);
    ExpectRefused(edits.SetCell(Sub(), *rec, F_CAPTION, "x"), Refusal::NotAllowed);
    EXPECT_EQ(edits.ShowRecord(Sub(), *rec).fields[F_CAPTION].text, "Caption");
}

// --- events, misc data, wide forms ---------------------------------------------

TEST_F(FieldRulesTest, TheNameFieldRedrawsTheTree)
{
    EXPECT_TRUE(Set(F_NAME, "Renamed").event.treeChanged);
    EXPECT_FALSE(Set(F_REMARK, "note").event.treeChanged);
    const AppliedEdit same = Set(F_NAME, "Renamed");
    EXPECT_FALSE(same.event.valuesChanged);
    EXPECT_TRUE(same.inverse.IsEmpty());
}

TEST_F(FieldRulesTest, MiscDataHasNoSpecialFields)
{
    CWinMeta& misc = *c.m_pMiscTable;
    CSubcontract& data = *misc.m_Records[0];
    // Field indexes that are special in the subcontractor form are plain here.
    misc.m_Fields[1]->m_iType = FIELD_DROPLIST;
    misc.m_Fields[1]->m_strListSource = "Sub Type";
    misc.m_Fields[1]->m_wFlags = kStoredList;
    FlagSet(data.m_wFlags, SUB_FROMIRONBARK, 1);
    FlagSet(c.m_wFlags, CONTRACT_IRONBARK_LOCKED, 1);
    const uint16_t flags = data.m_wFlags;
    EditResult r = edits.ChooseListEntry(misc, data, 1, 2); // "01": not itemized, 60 %
    ASSERT_TRUE(r.ok()) << r.errorText();
    EXPECT_EQ(FlagTest(data.m_wFlags, SUB_USESSUBITEMS), FlagTest(flags, SUB_USESSUBITEMS));
    EXPECT_EQ(FlagTest(data.m_wFlags, SUB_USESIXTY), FlagTest(flags, SUB_USESIXTY));
    EXPECT_EQ(TextView(*data.GetCellText(1)), "01 Supplier");
    r = edits.SetCell(misc, data, 2, "prepared");
    ASSERT_TRUE(r.ok()) << r.errorText();
    EXPECT_FALSE(r->event.treeChanged);
    EXPECT_TRUE(edits.ShowRecord(misc, data).status.empty());
    // A record of another table is refused.
    EXPECT_FALSE(edits.SetCell(misc, *rec, 2, "x").ok());
    EXPECT_FALSE(edits.SetCell(Sub(), *rec, F_COUNT, "x").ok());
}

TEST(FieldRulesWideForm, FieldsPastOneHundredStore)
{
    CContract c;
    c.m_pSubTable = test::MakeTextTable(130);
    CSubcontract* rec = test::AddSub(c, "Wide");
    c.m_pSubTable->m_Fields[120]->m_iType = FIELD_NUMBER;
    c.m_pSubTable->m_Fields[120]->m_iCX = 10;
    Evaluator evaluator;
    CProgramPaths paths;
    CContractEdits edits(c, evaluator, paths);
    ASSERT_TRUE(edits.SetCell(*c.m_pSubTable, *rec, 101, "one hundred one").ok());
    ASSERT_TRUE(edits.SetCell(*c.m_pSubTable, *rec, 120, "6*7").ok());
    EXPECT_EQ(TextView(*rec->GetCellText(101)), "one hundred one");
    EXPECT_EQ(TextView(*rec->GetCellText(120)), "42.00");
    EXPECT_EQ(edits.ShowRecord(*c.m_pSubTable, *rec).fields[101].text, "one hundred one");
}

TEST_F(FieldRulesTest, TheStatusLineFollowsCompleteness)
{
    Sub().m_Fields[F_REMARK]->m_iRequired = kAlwaysRequired;
    const AppliedEdit done = Set(F_NAME, "Again");
    EXPECT_TRUE(done.event.completenessChanged);
    FormDisplay shown = edits.ShowRecord(Sub(), *rec);
    EXPECT_FALSE(shown.complete);
    EXPECT_EQ(shown.status, "< SUBCONTRACT RECORD IS INCOMPLETE >");
    Set(F_REMARK, "filled");
    shown = edits.ShowRecord(Sub(), *rec);
    EXPECT_TRUE(shown.complete);
    EXPECT_EQ(shown.status, "");
}

// --- undo ----------------------------------------------------------------------

TEST_F(FieldRulesTest, UndoingEachChangeGivesBackTheSameBytes)
{
    test::AddSubItem(*rec, "0010", 2, 150);
    struct Step {
        const char* what;
        std::function<EditResult()> change;
    };
    const std::vector<Step> steps = {
        {"money", [&] { return edits.SetCell(Sub(), *rec, F_AMOUNT, "15%"); }},
        {"date", [&] { return edits.SetCell(Sub(), *rec, F_DATE, "t"); }},
        {"yes/no", [&] { return edits.SetCell(Sub(), *rec, F_DBE, "y"); }},
        {"vendor", [&] { return edits.ChooseListEntry(Sub(), *rec, F_VENDOR, 2); }},
        {"unlisted vendor", [&] { return edits.SetCell(Sub(), *rec, F_VENDOR, "77777"); }},
        {"work type", [&] { return edits.ChooseListEntry(Sub(), *rec, F_WORK1, 3); }},
        {"sub type", [&] { return edits.ChooseListEntry(Sub(), *rec, F_TYPE, 0); }},
        {"text", [&] { return edits.SetCell(Sub(), *rec, F_NAME, "Renamed"); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const auto bytesBefore = WriteContractStream(c);
        const bool modifiedBefore = Modified();
        EditResult r = step.change();
        ASSERT_TRUE(r.ok()) << r.errorText();
        AppliedEdit done = std::move(r).value();
        ASSERT_TRUE(done.event.valuesChanged);
        const auto bytesAfter = WriteContractStream(c);
        EXPECT_NE(bytesAfter, bytesBefore);
        edits.Undo(done);
        EXPECT_EQ(WriteContractStream(c), bytesBefore);
        EXPECT_EQ(Modified(), modifiedBefore);
        edits.Redo(done);
        EXPECT_EQ(WriteContractStream(c), bytesAfter);
    }
}

} // namespace
} // namespace kestrel
