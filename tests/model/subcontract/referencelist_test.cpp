#include "model/subcontract/referencelist.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "model/contract/contract.h"
#include "model/subcontract/programpaths.h"
#include "model/subcontract/winmeta.h"
#include "support/implodeencoder.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

class ReferenceListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        paths.SetContractPath(contractDir.file("JOB.CON"));
        paths.SetProgramDirectory(programDir.path());
        table.m_Fields.Add(); // field 0 names no list
    }
    int AddField(const std::string& name, const std::string& source, uint16_t flags = 0, int listStart = 0)
    {
        CFieldInfo* f = table.m_Fields.Add();
        f->m_strName = name;
        f->m_strListSource = source;
        f->m_wFlags = flags;
        f->m_iListStart = listStart;
        return table.m_Fields.GetSize() - 1;
    }
    CSAStringArray* Load(int field)
    {
        const Result<CSAStringArray*> r = LoadReferenceList(contract, table, field, paths);
        error = r.ok() ? std::string() : r.errorText();
        return r.ok() ? r.value() : nullptr;
    }

    test::TempDir contractDir, programDir;
    CProgramPaths paths;
    CContract contract;
    CWinMeta table;
    std::string error;
};

TEST_F(ReferenceListTest, BlankSourceHasNoList)
{
    EXPECT_EQ(Load(0), nullptr);
    EXPECT_EQ(Load(AddField("F", " \t")), nullptr);
    EXPECT_EQ(Load(7), nullptr);
    EXPECT_TRUE(error.empty());
}

TEST_F(ReferenceListTest, StoredListsByFlag)
{
    *contract.m_StoredLists.New("TYPES") = {"b", "a"};
    test::WriteText(contractDir.file("TYPES"), "TYPES   from file\n");
    const auto* list = Load(AddField("F", "TYPES", 1));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(*list, (CSAStringArray{"b", "a"})); // stored lists are not sorted
    EXPECT_EQ(Load(AddField("G", "NONE", 1)), nullptr);
    EXPECT_TRUE(error.empty());
}

TEST_F(ReferenceListTest, FileAndKeyBesideTheContract)
{
    std::string bin;
    const std::string lines = "VEND    00123 Acme Paving\nVEND    00050 Zenith\n;VEND   00001 comment\n";
    bin.push_back(3);
    bin.push_back(0);
    bin += lines;
    test::WriteBytes(contractDir.file("VENDORS.BIN"), test::ImplodeText(bin));
    const auto* list = Load(AddField("Vendor", "VENDORS.BIN:VEND"));
    ASSERT_NE(list, nullptr) << error;
    // Sorted by whole entries; in a compressed file the ";" line is an entry
    // of the key ";VEND".
    EXPECT_EQ(*list, (CSAStringArray{"00050 Zenith", "00123 Acme Paving"}));
    EXPECT_NE(contract.m_ExternalLists.Lookup(";VEND"), nullptr);
}

TEST_F(ReferenceListTest, ContractDirectoryBeforeProgramDirectory)
{
    test::WriteText(programDir.file("types.txt"), "T       program\nONLY    p\n");
    test::WriteText(contractDir.file("types.txt"), "T       contract\n");
    const auto* list = Load(AddField("F", "types.txt:T"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(*list, CSAStringArray{"contract"});
    // The program directory serves a file the contract directory lacks.
    test::WriteText(programDir.file("more.txt"), "M       program\n");
    list = Load(AddField("G", "more.txt:M"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(*list, CSAStringArray{"program"});
}

// Each document looks in its own folders: a second set of paths beside
// another contract finds that contract's file, and a name found in neither
// folder stays as it is.
TEST_F(ReferenceListTest, EachPathsObjectLooksInItsOwnFolders)
{
    test::TempDir otherDir;
    test::WriteText(contractDir.file("types.txt"), "T       first\n");
    test::WriteText(otherDir.file("types.txt"), "T       second\n");
    CProgramPaths other;
    other.SetContractPath(otherDir.file("OTHER.CON"));
    // Compared as paths: the separator is the system's own.
    EXPECT_EQ(std::filesystem::path(paths.FindListFile("types.txt")), contractDir.file("types.txt"));
    EXPECT_EQ(std::filesystem::path(other.FindListFile("types.txt")), otherDir.file("types.txt"));
    EXPECT_EQ(other.FindListFile("absent.txt"), "absent.txt");
    EXPECT_EQ(CProgramPaths().FindListFile("types.txt"), "types.txt");

    CContract second;
    const Result<CSAStringArray*> list =
        LoadReferenceList(second, table, AddField("F", "types.txt:T"), other);
    ASSERT_TRUE(list.ok());
    ASSERT_NE(list.value(), nullptr);
    EXPECT_EQ(*list.value(), CSAStringArray{"second"});
}

TEST_F(ReferenceListTest, WholeSourceIsFileAndKeyWithoutColon)
{
    test::WriteText(contractDir.file("CODES"), "CODES   z\nCODES   a\n");
    const auto* list = Load(AddField("F", "CODES"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(*list, (CSAStringArray{"a", "z"}));
}

TEST_F(ReferenceListTest, MissingFileGivesTheMessage)
{
    EXPECT_EQ(Load(AddField("F", "nowhere.txt:K")), nullptr);
    EXPECT_EQ(error, "Cannot open the file 'nowhere.txt'");
    // A later successful load empties the message.
    test::WriteText(contractDir.file("here.txt"), "K       v\n");
    EXPECT_NE(Load(AddField("G", "here.txt:K")), nullptr);
    EXPECT_TRUE(error.empty());
}

TEST_F(ReferenceListTest, ExternalListsFirstAndFilesReadOnce)
{
    test::WriteText(contractDir.file("l.txt"), "A       a2\nA       a1\n");
    const int fa = AddField("FA", "l.txt:A");
    const int fb = AddField("FB", "l.txt:B");
    ASSERT_NE(Load(fa), nullptr);
    ASSERT_EQ(contract.m_LoadedFiles.size(), 1u);
    // Changing the file does not matter now: the file counts as read and
    // its key B is absent.
    test::WriteText(contractDir.file("l.txt"), "B       b\n");
    EXPECT_EQ(Load(fb), nullptr);
    EXPECT_TRUE(error.empty());
    // A key already in the external lists is served without a file.
    *contract.m_ExternalLists.New("X") = {"kept", "as is"};
    const auto* x = Load(AddField("FX", "absent.txt:X"));
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(*x, (CSAStringArray{"kept", "as is"}));
}

TEST_F(ReferenceListTest, SortStartsAtTheFlaggedFieldsListStart)
{
    test::WriteText(contractDir.file("v.txt"), "V       9 b\nV       1 c\nV       5 a\nV       x\n");
    // The sort column is the flagged field whose name equals the source.
    AddField("v.txt:V", "", 4, 3);
    AddField("v.txt:V", "", 0, 1);
    const auto* list = Load(AddField("F", "v.txt:V"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(*list, (CSAStringArray{"x", "5 a", "9 b", "1 c"}));
}

} // namespace
} // namespace kestrel
