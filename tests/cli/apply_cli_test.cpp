// kestrel-cli apply, run as the real binary on a copy of the demo contract:
// what each op prints and changes, refused edits that change nothing, undo
// and redo within a run, and the edits files refused as a whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>

#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/clirun.h"
#include "support/testcontract.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

using test::CliRun;
using test::RunCli;
using test::ShellQuote;
using test::TempDir;

// The demo contract with the list files beside it, in a folder of its own.
struct Demo {
    Demo()
    {
        for (const char* name : {"DEMO.CON", "VENDORS.BIN", "WORKTYPE.LST"})
            std::filesystem::copy_file(std::string(KESTREL_SAMPLES) + "/" + name, dir.file(name));
    }

    // Runs apply on DEMO.CON with these edits, writing OUT (a name in the
    // folder).
    CliRun Apply(const std::string& edits, const std::string& out = "out.con") const
    {
        test::WriteText(dir.file("edits.json"), edits);
        return RunCli(dir, "apply " + ShellQuote(dir.file("DEMO.CON")) + " " +
                               ShellQuote(dir.file("edits.json")) + " " + ShellQuote(dir.file(out)));
    }
    std::unique_ptr<CContract> Read(const std::string& name = "out.con") const
    {
        std::unique_ptr<CContract> c;
        EXPECT_EQ(ReadContractFile(dir.file(name), c), CF_OK);
        return c;
    }
    std::vector<unsigned char> Stream(const std::string& name = "out.con") const
    {
        return test::GunzipFile(dir.file(name));
    }

    TempDir dir;
};

// The contract flags as the file holds them (reading clears flag 0): the
// first record of tag 0x0203 with its two bytes.
uint16_t StoredFlags(const std::vector<unsigned char>& stream)
{
    const unsigned char record[] = {0x03, 0x02, 0x02, 0x00};
    auto at = std::search(stream.begin(), stream.end(), std::begin(record), std::end(record));
    if (stream.end() - at < 6)
        return 0xFFFF;
    return static_cast<uint16_t>(at[4] | (at[5] << 8));
}

const CSubcontract* Sub(const CContract& c, const char* number)
{
    return c.m_pSubTable->FindRecordByNumber(number);
}

std::string Cell(const CContract& c, const char* number, int field)
{
    const CSubcontract* rec = Sub(c, number);
    const Text* t = rec ? rec->GetCellText(field) : nullptr;
    return t ? std::string(t->View()) : std::string("(none)");
}

// --- the ops ------------------------------------------------------------------

TEST(CliApply, TiersAndCells)
{
    Demo demo;
    const CliRun r = demo.Apply(R"([
        {"op": "addSubcontractor"},
        {"op": "addSubcontractor", "parent": "00000003"},
        {"op": "addSubcontractor", "parent": null},
        {"op": "setCell", "sub": "00000008", "field": "subname", "text": "Caf\u00e9 Paving"},
        {"op": "setCell", "sub": " 00000009 ", "field": 9, "text": "Lower tier"},
        {"op": "setCell", "misc": true, "field": "PREPARER", "text": "R. Vance"},
        {"op": "deleteSubcontractor", "sub": "00000010"},
        {"op": "moveSubcontractor", "sub": "00000004", "parent": "00000001"},
        {"op": "moveSubcontractor", "sub": "00000003", "parent": null}
    ])");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "ok 00000008\nok 00000009\nok 00000010\nok\nok\nok\nok\nok\nok\n");
    auto c = demo.Read();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->m_pSubTable->m_Records.GetSize(), 9);
    EXPECT_EQ(Cell(*c, "00000008", SUBF_NAME), "Caf\xE9 Paving"); // Windows-1252
    EXPECT_EQ(Cell(*c, "00000009", SUBF_PARENT), "00000003");
    EXPECT_EQ(Cell(*c, "00000009", SUBF_REMARK), "Lower tier");
    EXPECT_EQ(Sub(*c, "00000010"), nullptr);
    EXPECT_EQ(Cell(*c, "00000004", SUBF_PARENT), "00000001");
    EXPECT_EQ(Cell(*c, "00000003", SUBF_PARENT), "");
    EXPECT_EQ(c->m_pMiscTable->m_Records[0]->GetCellText(0)->View(), "R. Vance");
    // Written as it stands: modified, not stamped as saved.
    const uint16_t flags = StoredFlags(demo.Stream());
    EXPECT_TRUE(FlagTest(flags, CONTRACT_MODIFIED));
    EXPECT_FALSE(FlagTest(flags, CONTRACT_SAVED_BY_US));
    EXPECT_TRUE(FlagTest(flags, CONTRACT_DRAG_TIERS));
}

TEST(CliApply, ItemsAndSubItems)
{
    Demo demo;
    const CliRun r = demo.Apply(R"([
        {"op": "useItem", "sub": "00000001", "line": "0030", "use": true},
        {"op": "setSubItem", "sub": "00000001", "line": "0030", "quantity": "2*2",
         "unitPrice": "$1,000", "partial": true, "remarks": "Two crews"},
        {"op": "setItem", "line": "0030", "quantity": "10", "unitPrice": "@QUAN*400"},
        {"op": "useItem", "sub": "00000002", "line": "1610", "use": false},
        {"op": "setTemplate", "name": "Report New", "text": "A new template"}
    ])");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "ok\nok\nok\nok\nok\n");
    auto c = demo.Read();
    ASSERT_TRUE(c);
    const CSubItem* si = Sub(*c, "00000001")->FindSubItem("0030");
    ASSERT_NE(si, nullptr);
    EXPECT_EQ(si->m_fQuan, 4);
    EXPECT_EQ(si->m_fUP, 1000);
    EXPECT_EQ(si->m_fExt, 4000);
    EXPECT_TRUE(FlagTest(si->m_wFlags, SUBITEM_PARTIAL));
    EXPECT_EQ(si->m_strUnitType.View(), "PART");
    EXPECT_EQ(si->m_strRemarks.View(), "Two crews");
    const CItem* item = c->FindItemByLineNumber("0030");
    EXPECT_EQ(item->m_fQuantity, 10);
    EXPECT_EQ(item->m_fUnitPrice, 4000);
    // The line went from the lower tier too.
    EXPECT_EQ(Sub(*c, "00000002")->FindSubItem("1610"), nullptr);
    EXPECT_EQ(Sub(*c, "00000003")->FindSubItem("1610"), nullptr);
    ASSERT_NE(c->FindDataTemplate("Report New"), nullptr);
    EXPECT_EQ(c->FindDataTemplate("Report New")->m_strText.View(), "A new template");
}

// --- refusals -----------------------------------------------------------------

TEST(CliApply, RefusedEditsChangeNothing)
{
    Demo demo;
    ASSERT_EQ(demo.Apply("[]", "unchanged.con").status, 0);
    const CliRun r = demo.Apply(R"([
        {"op": "setSubItem", "sub": "00000007", "line": "2300", "quantity": "3"},
        {"op": "setSubItem", "sub": "00000007", "line": "2300", "quantity": "20", "partial": true},
        {"op": "deleteSubcontractor", "sub": "00000007"},
        {"op": "useItem", "sub": "00000007", "line": "2300", "use": false},
        {"op": "moveSubcontractor", "sub": "00000002", "parent": "00000003"},
        {"op": "moveSubcontractor", "sub": "00000001", "parent": null},
        {"op": "useItem", "sub": "00000004", "line": "0030", "use": true},
        {"op": "setItem", "line": "0030", "quantity": "10", "unitPrice": "3+"},
        {"op": "undo"},
        {"op": "redo"}
    ])");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "refused: The quantity entered must be greater than the original quantity as entered in Ironbark, "
        "which is 16.000\n"
        "refused: This item was received from Ironbark and cannot be made a partial item\n"
        "refused: This subcontractor was received from Ironbark and cannot be deleted\n"
        "refused: This item was received from Ironbark and cannot be removed\n"
        "refused: The subcontractor cannot be moved there\n"
        "refused: The subcontractor cannot be moved there\n"
        "refused: This subcontractor does not work by items\n"
        "refused: Unrecognized character\n"
        "refused: Nothing to undo\n"
        "refused: Nothing to redo\n");
    EXPECT_EQ(demo.Stream(), demo.Stream("unchanged.con"));
}

// A text the file cannot hold, too long or with a character Windows-1252
// lacks, is refused at its edit with the reason, never cut or changed.
TEST(CliApply, TextsTheFileCannotHoldAreRefused)
{
    Demo demo;
    ASSERT_EQ(demo.Apply("[]", "unchanged.con").status, 0);
    const CliRun r = demo.Apply(R"([
        {"op": "setCell", "sub": "00000001", "field": 2, "text": "Smith \u2192 Jones"},
        {"op": "setSubItem", "sub": "00000001", "line": "1190", "remarks": "ok", "quantity": "\ud83d\ude00"},
        {"op": "setTemplate", "name": "Report Front", "text": ")" +
                                std::string(65536, 'x') + R"("}
    ])");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "refused: The character U+2192 (character 7 of the text) cannot be stored in a contract "
              "file (argument 'text')\n"
              "refused: The character U+1F600 (character 1 of the text) cannot be stored in a contract "
              "file (argument 'quantity')\n"
              "refused: The text is too long: a contract file holds at most 65,535 characters in one "
              "text, and this one has 65,536\n");
    EXPECT_EQ(demo.Stream(), demo.Stream("unchanged.con"));
}

// --- undo and redo ------------------------------------------------------------

TEST(CliApply, UndoAndRedoWithinTheRun)
{
    Demo demo;
    ASSERT_EQ(demo.Apply("[]", "unchanged.con").status, 0);
    CliRun r = demo.Apply(R"([
        {"op": "addSubcontractor"},
        {"op": "setSubItem", "sub": "00000001", "line": "1190", "quantity": "100", "remarks": "x"},
        {"op": "undo"}, {"op": "undo"}, {"op": "undo"}
    ])");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "ok 00000008\nok\nok\nok\nrefused: Nothing to undo\n");
    // Everything taken back: the contract as opened, unmodified.
    EXPECT_EQ(demo.Stream(), demo.Stream("unchanged.con"));
    EXPECT_FALSE(FlagTest(StoredFlags(demo.Stream()), CONTRACT_MODIFIED));

    r = demo.Apply(R"([
        {"op": "addSubcontractor"}, {"op": "addSubcontractor"},
        {"op": "undo"}, {"op": "undo"}, {"op": "redo"},
        {"op": "setCell", "sub": "00000001", "field": 2, "text": "Renamed"},
        {"op": "redo"}
    ])");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "ok 00000008\nok 00000009\nok\nok\nok\nok\nrefused: Nothing to redo\n");
    auto c = demo.Read();
    ASSERT_TRUE(c);
    EXPECT_NE(Sub(*c, "00000008"), nullptr);
    EXPECT_EQ(Sub(*c, "00000009"), nullptr); // the new edit dropped its redo
    EXPECT_EQ(Cell(*c, "00000001", SUBF_NAME), "Renamed");
}

TEST(CliApply, AnEditThatChangesNothingIsNoStepToUndo)
{
    Demo demo;
    const CliRun r = demo.Apply(R"([
        {"op": "setCell", "sub": "00000001", "field": 9, "text": "A"},
        {"op": "setCell", "sub": "00000001", "field": 9, "text": "A"},
        {"op": "undo"}, {"op": "undo"}
    ])");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "ok\nok\nok\nrefused: Nothing to undo\n");
}

// --- the output file ----------------------------------------------------------

TEST(CliApply, TheContractFileItselfMayBeTheOutput)
{
    Demo demo;
    const CliRun r = demo.Apply(R"([{"op": "addSubcontractor"}])", "DEMO.CON");
    ASSERT_EQ(r.status, 0) << r.err;
    auto c = demo.Read("DEMO.CON");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->m_pSubTable->m_Records.GetSize(), 8);
}

TEST(CliApply, UnreadableContractAndUnwritableOutput)
{
    Demo demo;
    test::WriteText(demo.dir.file("edits.json"), "[]");
    CliRun r = RunCli(demo.dir, "apply " + ShellQuote(demo.dir.file("missing.con")) + " " +
                                    ShellQuote(demo.dir.file("edits.json")) + " " +
                                    ShellQuote(demo.dir.file("o.con")));
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(std::filesystem::exists(demo.dir.file("o.con")));

    r = demo.Apply(R"([{"op": "addSubcontractor"}])", "no/such/folder/o.con");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err.rfind("Error: " + demo.dir.file("no/such/folder/o.con") + ": ", 0), 0u) << r.err;

    r = RunCli({"apply", demo.dir.file("DEMO.CON")});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("usage"), std::string::npos);
    EXPECT_NE(RunCli({"--help"}).out.find("  apply FILE EDITS.json OUT\n"), std::string::npos);
}

// --- edits files refused as a whole -------------------------------------------

TEST(CliApply, InvalidEditsAreRefusedBeforeAnythingIsWritten)
{
    struct Case {
        const char* edits;
        const char* error;
    };
    std::string tooMany = "[";
    for (int i = 0; i <= 10000; ++i)
        tooMany += i ? ", {\"op\": \"undo\"}" : "{\"op\": \"undo\"}";
    tooMany += "]";
    const Case cases[] = {
        {tooMany.c_str(), "More than 10,000 edits: a run makes at most 10,000; split them over several runs"},
        {R"([{"op": "setCell", "sub": "00000001", "field": 18446744073709551615, "text": ""}])",
         "The subcontractor form has no field 18446744073709551615 (edit 1)"},
        {R"([{"op": "setCell", "sub": "00000001", "field": -1, "text": ""}])",
         "The subcontractor form has no field -1 (edit 1)"},
        {"", "parse error at line 1, column 1: syntax error while parsing value - unexpected end of input; "
             "expected '[', '{', or a literal"},
        {"[{\"op\": \"undo\"}", "parse error at line 1, column 16: syntax error while parsing array - "
                                "unexpected end of input; expected ']'"},
        {R"({"op": "undo"})", "The edits must be a JSON array"},
        {R"(["undo"])", "An edit must be a JSON object (edit 1)"},
        {R"([{"op": "undo"}, {}])", "Missing argument 'op' (edit 2)"},
        {R"([{"op": 3}])", "Argument 'op' must be a text (edit 1)"},
        {R"([{"op": "paste"}])", "Unknown op 'paste' (edit 1)"},
        {R"([{"op": "undo", "sub": "00000001"}])", "Unknown argument 'sub' for op 'undo' (edit 1)"},
        {R"([{"op": "useItem", "sub": "00000001", "line": "0030"}])", "Missing argument 'use' (edit 1)"},
        {R"([{"op": "useItem", "sub": "00000001", "line": "0030", "use": 1}])",
         "Argument 'use' must be true or false (edit 1)"},
        {R"([{"op": "useItem", "sub": 1, "line": "0030", "use": true}])",
         "Argument 'sub' must be a text (edit 1)"},
        {R"([{"op": "useItem", "sub": "00000001", "line": "9999", "use": true}])",
         "The contract has no item with line number '9999' (edit 1)"},
        {R"([{"op": "useItem", "sub": "00000001", "line": "0001", "use": true}])",
         "The contract has no item with line number '0001' (edit 1)"}, // a section heading
        {R"([{"op": "setItem", "line": "0030", "quantity": 3}])",
         "Argument 'quantity' must be a text (edit 1)"},
        {R"([{"op": "setItem", "line": "0030"}])",
         "setItem needs at least one of quantity, unitPrice (edit 1)"},
        {R"([{"op": "setSubItem", "sub": "00000001", "line": "1190"}])",
         "setSubItem needs at least one of quantity, unitPrice, extension, partial, remarks (edit 1)"},
        {R"([{"op": "setCell", "sub": "00000001", "field": "NOSUCH", "text": ""}])",
         "The subcontractor form has no field 'NOSUCH' (edit 1)"},
        {R"([{"op": "setCell", "sub": "00000001", "field": 60, "text": ""}])",
         "The subcontractor form has no field 60 (edit 1)"},
        {R"([{"op": "setCell", "sub": "00000001", "field": 1.5, "text": ""}])",
         "Argument 'field' must be a field index or name (edit 1)"},
        {R"([{"op": "setCell", "misc": true, "field": 12, "text": ""}])",
         "The miscellaneous data form has no field 12 (edit 1)"},
        {R"([{"op": "setCell", "misc": true, "sub": "00000001", "field": 0, "text": ""}])",
         "Give either 'sub' or 'misc', not both (edit 1)"},
        {R"([{"op": "setCell", "field": 0, "text": ""}])", "Missing argument 'sub' (edit 1)"},
        {R"([{"op": "moveSubcontractor", "sub": "00000003"}])", "Missing argument 'parent' (edit 1)"},
        {R"([{"op": "setTemplate", "name": "A", "text": "a\u0000b"}])",
         "Argument 'text' holds a NUL character (edit 1)"},
        // Numbers are looked up when their edit comes.
        {R"([{"op": "addSubcontractor"}, {"op": "deleteSubcontractor", "sub": "00000009"}])",
         "No subcontractor numbered '00000009' (edit 2)"},
        {R"([{"op": "deleteSubcontractor", "sub": "00000006"}, {"op": "setCell", "sub": "00000006",
             "field": 2, "text": "x"}])",
         "No subcontractor numbered '00000006' (edit 2)"},
        {R"([{"op": "deleteSubcontractor", "sub": ""}])", "No subcontractor numbered '' (edit 1)"},
        {R"([{"op": "moveSubcontractor", "sub": "00000003", "parent": " "}])",
         "No parent subcontractor numbered ' ' (edit 1)"},
        {R"([{"op": "addSubcontractor", "parent": "00000042"}])",
         "No parent subcontractor numbered '00000042' (edit 1)"},
    };
    Demo demo;
    for (const Case& c : cases) {
        const CliRun r = demo.Apply(c.edits);
        EXPECT_EQ(r.status, 4) << c.edits;
        EXPECT_EQ(r.err, "Error: " + demo.dir.file("edits.json") + ": " + c.error + "\n") << c.edits;
        EXPECT_EQ(r.out, "") << c.edits;
        EXPECT_FALSE(std::filesystem::exists(demo.dir.file("out.con"))) << c.edits;
    }
}

TEST(CliApply, TextsMustBeValidUtf8AndTheEditsFileReadable)
{
    Demo demo;
    CliRun r = demo.Apply("[{\"op\": \"setTemplate\", \"name\": \"A\", \"text\": \"\xC3\"}]");
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.err.find("ill-formed UTF-8"), std::string::npos) << r.err;
    // The message names the bad byte without repeating it.
    EXPECT_EQ(r.err.find('\xC3'), std::string::npos);

    r = RunCli(demo.dir, "apply " + ShellQuote(demo.dir.file("DEMO.CON")) + " " +
                             ShellQuote(demo.dir.path()) + " " + ShellQuote(demo.dir.file("out.con")));
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.err, "Error: " + demo.dir.path() + ": Is a folder, not a file\n");
    EXPECT_FALSE(std::filesystem::exists(demo.dir.file("out.con")));
}

TEST(CliApply, AContractWithoutSubcontractorTable)
{
    TempDir dir;
    CContract c;
    test::AddHeading(c, "0001");
    test::AddItem(c, "0010", 5, 2);
    ASSERT_EQ(WriteContractFile(c, dir.file("c.con")), CF_OK);
    const auto apply = [&](const std::string& edits) {
        test::WriteText(dir.file("e.json"), edits);
        return RunCli(dir, "apply " + ShellQuote(dir.file("c.con")) + " " + ShellQuote(dir.file("e.json")) +
                               " " + ShellQuote(dir.file("o.con")));
    };
    // Adding is the program's own refusal; naming a record is an error in
    // the edits.
    CliRun r = apply(R"([{"op": "addSubcontractor"}, {"op": "setItem", "line": "0010", "quantity": "6"}])");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "refused: This contract has no subcontractor table\nok\n");
    r = apply(R"([{"op": "useItem", "sub": "00000001", "line": "0010", "use": true}])");
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.err, "Error: " + dir.file("e.json") + ": The contract has no subcontractor table (edit 1)\n");
    r = apply(R"([{"op": "addSubcontractor", "parent": "00000001"}])");
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.err,
              "Error: " + dir.file("e.json") + ": No parent subcontractor numbered '00000001' (edit 1)\n");
}

TEST(CliApply, TextsGoInAsWindows1252AndMessagesComeOutAsUtf8)
{
    TempDir dir;
    CContract c;
    test::AddHeading(c, "0001");
    test::AddItem(c,
                  "00\xE9"
                  "0",
                  5, 2); // "00é0" in Windows-1252
    c.m_pSubTable = test::MakeTextTable(20);
    CSubcontract* top = test::AddSub(c, "Top");
    test::AddSub(c, "Lower", top);
    ASSERT_EQ(WriteContractFile(c, dir.file("c.con")), CF_OK);
    test::WriteText(dir.file("e.json"), R"([
        {"op": "useItem", "sub": "00000002", "line": "00\u00e90", "use": true},
        {"op": "useItem", "sub": "00000001", "line": "00\u00e90", "use": true}
    ])");
    const CliRun r = RunCli(dir, "apply " + ShellQuote(dir.file("c.con")) + " " +
                                     ShellQuote(dir.file("e.json")) + " " + ShellQuote(dir.file("o.con")));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "refused: Line 00\xC3\xA9"
                     "0 is not subcontracted to the subcontractor of the tier above\n"
                     "ok\n");
    std::unique_ptr<CContract> back;
    ASSERT_EQ(ReadContractFile(dir.file("o.con"), back), CF_OK);
    EXPECT_NE(back->m_pSubTable->m_Records[0]->FindSubItem("00\xE9"
                                                           "0"),
              nullptr);
}

} // namespace
} // namespace kestrel
