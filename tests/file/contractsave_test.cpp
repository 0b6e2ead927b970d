#include "file/contractsave.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <filesystem>

#include "calc/systemfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// A writer that puts the contract's remark cells out in several writes and
// can be made to fail at any one of them, leaving a partial file behind as
// a real writer would.
struct ChunkWriter {
    int failAt = -1; // index of the write that fails, -1 none
    int writes = 0;  // writes made by the last call

    int operator()(CContract& contract, int fd)
    {
        writes = 0;
        std::vector<std::string> chunks = {"HEADER " + std::to_string(contract.m_wFlags) + "\n"};
        for (const auto& rec : contract.m_pSubTable->m_Records)
            for (int j = 6; j <= 9; ++j)
                chunks.push_back(std::string(TextView(*rec->GetCellText(j))) + "\n");
        chunks.push_back("END\n");
        for (const auto& c : chunks)
            if (writes++ == failAt || !WriteAll(fd, c))
                return 7;
        return 0;
    }
};

class SaveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        contract.m_pSubTable = std::make_unique<CWinMeta>();
        for (int j = 0; j < 10; ++j)
            contract.m_pSubTable->m_Fields.Add();
        for (int i = 0; i < 3; ++i)
            contract.m_pSubTable->AddRecord(-1, -1)->SetCellText(SUBF_REMARK, "remark " + std::to_string(i));
        test::WriteText(target, old);
    }
    SaveOptions Options()
    {
        SaveOptions o;
        o.writer = [this](CContract& c, int fd) { return writer(c, fd); };
        o.errorText = [](int code) { return "writer code " + std::to_string(code); };
        o.random = [this] { return seq++ % 32768; };
        return o;
    }
    size_t FilesInDir() const
    {
        size_t n = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path()))
            ++n;
        return n;
    }

    test::TempDir dir;
    std::string target = dir.file("JOB.CON");
    const std::string old = "the previous contract file\n";
    CContract contract;
    ChunkWriter writer;
    int seq = 1;
};

TEST_F(SaveTest, SuccessReplacesTheFileAndClearsModified)
{
    contract.SetModified(true);
    ::chmod(target.c_str(), 0640);
    const Status status = SaveContractSafely(contract, target, Options());
    ASSERT_TRUE(status.ok()) << status.errorText();
    const std::string saved = test::ReadText(target);
    EXPECT_NE(saved.find("GEN "), std::string::npos); // remarks were stamped before writing
    EXPECT_EQ(saved.substr(saved.size() - 4), "END\n");
    EXPECT_FALSE(FlagTest(contract.m_wFlags, CONTRACT_MODIFIED));
    EXPECT_TRUE(FlagTest(contract.m_wFlags, CONTRACT_SAVED_BY_US));
    // The flag is set before the writer runs, so the file records it.
    const int flagsWritten = (1 << CONTRACT_SAVED_BY_US) | (1 << CONTRACT_MODIFIED);
    EXPECT_EQ(saved.rfind("HEADER " + std::to_string(flagsWritten) + "\n", 0), 0u);
    EXPECT_EQ(FilesInDir(), 1u);
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(SaveTest, NewFileIsCreated)
{
    const Status saved = SaveContractSafely(contract, dir.file("NEW.CON"), Options());
    ASSERT_TRUE(saved.ok()) << saved.errorText();
    EXPECT_NE(test::ReadText(dir.file("NEW.CON")).find("END"), std::string::npos);
    EXPECT_EQ(FilesInDir(), 2u);
}

TEST_F(SaveTest, FailingAtEachWriteLeavesTheOldFile)
{
    // Count the writes of a whole save first.
    writer.failAt = -1;
    const Result<int> probe = CreateExclusiveFile(dir.file("probe"));
    ASSERT_TRUE(probe.ok());
    writer(contract, probe.value());
    CloseDescriptor(probe.value());
    fs::remove(dir.file("probe"));
    const int total = writer.writes;
    ASSERT_GT(total, 5);
    for (int n = 0; n < total; ++n) {
        for (int saved = 0; saved < 2; ++saved) {
            writer.failAt = n;
            contract.m_wFlags = 0;
            FlagSet(contract.m_wFlags, CONTRACT_SAVED_BY_US, saved);
            const Status status = SaveContractSafely(contract, target, Options());
            EXPECT_FALSE(status.ok()) << n;
            EXPECT_EQ(status.errorText(), "writer code 7");
            EXPECT_EQ(test::ReadText(target), old) << "write " << n;
            EXPECT_EQ(FilesInDir(), 1u) << "write " << n;
            EXPECT_EQ(FlagTest(contract.m_wFlags, CONTRACT_SAVED_BY_US), saved != 0);
            EXPECT_TRUE(FlagTest(contract.m_wFlags, CONTRACT_MODIFIED));
        }
    }
}

TEST_F(SaveTest, FailingAtEachOwnStepLeavesTheOldFile)
{
    for (SaveStep step : {SaveStep::CreateTemporary, SaveStep::Write, SaveStep::Flush, SaveStep::Replace}) {
        SaveOptions o = Options();
        o.failStep = [step](SaveStep s) { return s == step; };
        contract.SetModified(false);
        const Status saved = SaveContractSafely(contract, target, o);
        EXPECT_FALSE(saved.ok());
        // A failed write stands for a full disk, with the system's reason.
        EXPECT_EQ(saved.errorText() == "writer code 6: No space left on device", step == SaveStep::Write);
        EXPECT_EQ(test::ReadText(target), old);
        EXPECT_EQ(FilesInDir(), 1u);
        EXPECT_TRUE(FlagTest(contract.m_wFlags, CONTRACT_MODIFIED));
        EXPECT_FALSE(FlagTest(contract.m_wFlags, CONTRACT_SAVED_BY_US));
    }
}

TEST_F(SaveTest, SymbolicLinkStaysALink)
{
    fs::create_directory(dir.file("real"));
    const std::string real = dir.file("real/JOB.CON");
    fs::rename(target, real);
    fs::create_symlink(real, target);
    const Status saved = SaveContractSafely(contract, target, Options());
    ASSERT_TRUE(saved.ok()) << saved.errorText();
    EXPECT_TRUE(fs::is_symlink(target));
    EXPECT_NE(test::ReadText(real).find("END"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("real")), fs::directory_iterator()), 1);
}

TEST_F(SaveTest, UnwritableDirectoryFailsCleanly)
{
    const Status saved = SaveContractSafely(contract, dir.file("no/such/dir/JOB.CON"), Options());
    EXPECT_FALSE(saved.ok());
    EXPECT_NE(saved.errorText().find("temporary"), std::string::npos) << saved.errorText();
    EXPECT_EQ(test::ReadText(target), old);
    // A writer that is missing is a failure, not a silent success.
    SaveOptions o = Options();
    o.writer = nullptr;
    EXPECT_FALSE(SaveContractSafely(contract, target, o).ok());
    EXPECT_EQ(test::ReadText(target), old);
    EXPECT_EQ(FilesInDir(), 1u);
}

} // namespace
} // namespace kestrel

namespace kestrel {
namespace {

// The real contract file writer cut off by the file size limit at points
// spread over the whole file, across the writer's block boundaries: every
// save fails and the previous file stays as it was.
TEST(SaveWithTheWriter, CutAnywhereKeepsThePreviousFile)
{
    test::TempDir dir;
    const std::string target = dir.file("JOB.CON");
    CContract contract;
    contract.m_pSubTable = std::make_unique<CWinMeta>();
    for (int j = 0; j < 40; ++j)
        contract.m_pSubTable->m_Fields.Add();
    uint32_t seed = 1;
    for (int i = 0; i < 450; ++i) {
        CSubcontract* rec = contract.m_pSubTable->AddRecord(-1, -1);
        for (int j = 10; j < 40; ++j) {
            std::string text(60, ' ');
            for (char& ch : text) {
                seed = seed * 1103515245u + 12345u;
                ch = static_cast<char>('!' + (seed >> 16) % 90);
            }
            rec->SetCellText(j, text);
        }
    }
    const Status first = SaveContract(contract, target);
    ASSERT_TRUE(first.ok()) << first.errorText();
    const auto previous = test::ReadBytes(target);
    const size_t size = previous.size();
    ASSERT_GT(size, size_t(600) * 1024); // several of the writer's blocks

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
    const size_t block = 256 * 1024;
    for (size_t cut :
         {size_t(0), size_t(1), size_t(10), block - 1, block, block + 1, 2 * block, size / 2, size - 1}) {
        contract.SetModified(false);
        FlagSet(contract.m_wFlags, CONTRACT_SAVED_BY_US, 0);
        rlimit limited = original;
        limited.rlim_cur = cut;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const Status saved = SaveContract(contract, target);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &original), 0);
        EXPECT_FALSE(saved.ok()) << "cut at " << cut;
        EXPECT_EQ(saved.errorText(), "Cannot write file: File too large") << "cut at " << cut;
        EXPECT_EQ(test::ReadBytes(target), previous) << "cut at " << cut;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
        EXPECT_TRUE(FlagTest(contract.m_wFlags, CONTRACT_MODIFIED));
        EXPECT_FALSE(FlagTest(contract.m_wFlags, CONTRACT_SAVED_BY_US));
    }
    std::signal(SIGXFSZ, SIG_DFL);
}

} // namespace
} // namespace kestrel
