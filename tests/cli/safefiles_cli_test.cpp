// kestrel-cli on files that must not be lost and outputs that can fail: the
// same file for input and output, a full disk, targets that are no regular
// files, standard output that cannot be written, memory that runs out.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/clirun.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using test::CliOptions;
using test::CliRun;
using test::RunCli;
using test::ShellQuote;
using test::TempDir;

// Writes may not grow a file past a few kilobytes (whether the shell counts
// in blocks of 512 or 1024 bytes), and hitting the limit is a failed write
// rather than a signal.
const CliOptions kSmallDisk{"trap '' XFSZ; ulimit -f 8;", ""};

// A contract that compresses to far more than kSmallDisk allows, with a
// report that prints.
void WriteBigContract(const std::string& path)
{
    CContract c;
    c.m_strHeader[HDR_CONTRACT_ID] = std::string("BIG-1");
    CItem* item = c.m_Items.Add();
    item->m_strLineNumber = std::string("0010");
    item->m_fQuantity = 2;
    item->m_fUnitPrice = 1.5;
    c.m_pSubTable = std::make_unique<CWinMeta>();
    for (int j = 0; j < 20; ++j) {
        CFieldInfo* f = c.m_pSubTable->m_Fields.Add();
        f->m_iRequired = kNeverRequired;
        f->m_iType = 1;
    }
    c.m_pSubTable->m_Fields[SUBF_NAME]->m_strName = std::string("VendorName");
    uint32_t seed = 7;
    for (int i = 0; i < 200; ++i) {
        CSubcontract* rec = c.m_pSubTable->AddRecord(-1, -1);
        c.m_pSubTable->AssignNumber(rec);
        FlagSet(rec->m_wFlags, SUB_USESSUBITEMS, 0);
        rec->SetName(std::string("Subcontractor ") + std::to_string(i));
        for (int j = 10; j < 20; ++j) {
            std::string text(40, ' ');
            for (char& ch : text) {
                seed = seed * 1103515245u + 12345u;
                ch = static_cast<char>('!' + (seed >> 16) % 90);
            }
            rec->SetCellText(j, text);
        }
    }
    c.AddDataTemplate("Report Front", "FRONT {CONTRACT_ID}\n");
    c.AddDataTemplate("Report Sub Start", "SUB {VendorName} " + std::string(60, '.') + "\n");
    ASSERT_EQ(WriteContractFile(c, path), CF_OK);
    ASSERT_GT(fs::file_size(path), std::uintmax_t(64 * 1024));
}

class SafeFilesCli : public ::testing::Test {
protected:
    void SetUp() override { WriteBigContract(con); }

    // The names in the folder: no temporary file is left behind.
    std::set<std::string> Entries() const { return test::FolderEntries(dir.path()); }
    // Whether this build writes PDF.
    bool HavePdf() const
    {
        const CliRun probe =
            RunCli(dir, "report " + ShellQuote(con) + " --pdf " + ShellQuote(dir.file("probe.pdf")));
        fs::remove(dir.file("probe.pdf"));
        return probe.status != 2;
    }

    TempDir dir;
    const std::string con = dir.file("JOB.CON");
};

TEST_F(SafeFilesCli, RewriteAndSaveOntoTheInputKeepItWhenTheWriteFails)
{
    // Written back as reading leaves it, the file stays the same.
    CliRun run = RunCli(dir, "rewrite " + ShellQuote(con) + " " + ShellQuote(con));
    EXPECT_EQ(run.status, 0) << run.err;
    const auto original = test::ReadBytes(con);
    run = RunCli(dir, "rewrite " + ShellQuote(con) + " " + ShellQuote(con));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::ReadBytes(con), original);

    // Every writer of a contract names the file and the system's reason.
    const TempDir inputs;
    test::WriteText(inputs.file("edits.json"), "[]");
    test::WriteText(inputs.file("quote.csv"), "Line,Quantity,Unit Price\r\n0010,1,2\r\n");
    const std::string q = ShellQuote(con);
    for (const std::string& command :
         {"rewrite " + q + " " + q, "save " + q + " " + q,
          "apply " + q + " " + ShellQuote(inputs.file("edits.json")) + " " + q,
          "import-quote " + q + " --sub 1 " + ShellQuote(inputs.file("quote.csv")) + " " + q}) {
        const CliRun run = RunCli(dir, command, kSmallDisk);
        EXPECT_EQ(run.status, 3) << command;
        EXPECT_EQ(run.err, "Error: " + con + ": Cannot write file: File too large\n") << command;
        EXPECT_EQ(test::ReadBytes(con), original) << command;
        EXPECT_EQ(Entries(), std::set<std::string>{"JOB.CON"}) << command;
    }
    run = RunCli(dir, "save " + ShellQuote(con) + " " + ShellQuote(con));
    EXPECT_EQ(run.status, 0) << run.err;
    std::unique_ptr<CContract> back;
    ASSERT_EQ(ReadContractFile(con, back), CF_OK);
    EXPECT_TRUE(FlagTest(back->m_wFlags, CONTRACT_SAVED_BY_US));
    EXPECT_EQ(back->m_pSubTable->m_Records.GetSize(), 200);
    EXPECT_EQ(Entries(), std::set<std::string>{"JOB.CON"});
}

TEST_F(SafeFilesCli, SavingKeepsWhatTheTargetWas)
{
    const std::string out = dir.file("OUT.CON");
    test::WriteText(out, "previous");
    ASSERT_EQ(::chmod(out.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(out.c_str(), 1, 2), 0);
    }
    for (const char* command : {"save", "rewrite"}) {
        const CliRun run = RunCli(dir, std::string(command) + " " + ShellQuote(con) + " " + ShellQuote(out));
        ASSERT_EQ(run.status, 0) << command << ": " << run.err;
        struct stat st {};
        ASSERT_EQ(::stat(out.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u) << command;
        if (root) {
            EXPECT_EQ(st.st_uid, 1u) << command;
            EXPECT_EQ(st.st_gid, 2u) << command;
        }
    }

    // A FIFO is refused, not replaced.
    const std::string fifo = dir.file("PIPE.CON");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const CliRun refused = RunCli(dir, "save " + ShellQuote(con) + " " + ShellQuote(fifo));
    EXPECT_EQ(refused.status, 3);
    EXPECT_EQ(refused.err, "Error: " + fifo + ": Not a regular file\n");
    EXPECT_TRUE(fs::is_fifo(fifo));

    // The longest names a file system usually allows save as any other.
    const std::string longName = dir.file(std::string(246, 'L') + ".CON");
    const CliRun saved = RunCli(dir, "save " + ShellQuote(con) + " " + ShellQuote(longName));
    EXPECT_EQ(saved.status, 0) << saved.err;
    std::unique_ptr<CContract> back;
    EXPECT_EQ(ReadContractFile(longName, back), CF_OK);
    EXPECT_EQ(Entries().size(), 4u);
}

TEST_F(SafeFilesCli, ReportOutputsNeverOverwriteTheContract)
{
    const auto original = test::ReadBytes(con);
    fs::create_symlink(con, dir.file("link.txt"));
    fs::create_hard_link(con, dir.file("hard.txt"));
    fs::create_directory(dir.file("sub"));
    const bool pdf = HavePdf();
    for (const std::string& out :
         {con, dir.path() + "/sub/../JOB.CON", dir.file("link.txt"), dir.file("hard.txt")}) {
        for (const char* option : {"--text", "--pdf"}) {
            if (!pdf && std::string(option) == "--pdf")
                continue;
            const CliRun run =
                RunCli(dir, "report " + ShellQuote(con) + " " + option + " " + ShellQuote(out));
            EXPECT_EQ(run.status, 2) << option << " " << out;
            EXPECT_EQ(run.err, "Error: " + out + ": The output file is the contract file\n");
            EXPECT_EQ(test::ReadBytes(con), original) << option << " " << out;
        }
    }
    // Any other file is replaced whole.
    const std::string text = dir.file("out.txt");
    test::WriteText(text, std::string(100000, 'o'));
    const CliRun run = RunCli(dir, "report " + ShellQuote(con) + " --text " + ShellQuote(text));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::ReadText(text).substr(0, 12), "FRONT BIG-1\n");
    EXPECT_EQ(Entries(), (std::set<std::string>{"hard.txt", "link.txt", "out.txt", "JOB.CON", "sub"}));
}

TEST_F(SafeFilesCli, ReportWriteErrorsAreReported)
{
    // A full disk under the text output: the previous file stays.
    const std::string text = dir.file("out.txt");
    test::WriteText(text, "previous text");
    CliRun run = RunCli(dir, "report " + ShellQuote(con) + " --text " + ShellQuote(text), kSmallDisk);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err.rfind("Error: " + text + ": Cannot write file: ", 0), 0u) << run.err;
    EXPECT_EQ(test::ReadText(text), "previous text");
    EXPECT_EQ(Entries(), (std::set<std::string>{"out.txt", "JOB.CON"}));
    ASSERT_EQ(RunCli(dir, "report " + ShellQuote(con) + " --text " + ShellQuote(text)).status, 0);
    ASSERT_GT(fs::file_size(text), std::uintmax_t(8 * 1024)); // past the limit

    if (!HavePdf())
        GTEST_SKIP() << "no PDF output in this build";
    const std::string pdf = dir.file("out.pdf");
    test::WriteText(pdf, "previous pdf");
    run = RunCli(dir, "report " + ShellQuote(con) + " --pdf " + ShellQuote(pdf), kSmallDisk);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err.rfind("Error: " + pdf + ": Cannot write file: ", 0), 0u) << run.err;
    EXPECT_EQ(test::ReadText(pdf), "previous pdf");
    EXPECT_EQ(Entries(), (std::set<std::string>{"out.pdf", "out.txt", "JOB.CON"}));
    if (fs::exists("/dev/full")) {
        run = RunCli(dir, "report " + ShellQuote(con) + " --pdf /dev/full");
        EXPECT_EQ(run.status, 3);
        EXPECT_EQ(run.err, "Error: /dev/full: Not a regular file\n");
    }
}

// A report replaces neither output (nor prints the text) unless all are written.
TEST_F(SafeFilesCli, ReportOutputsAreReplacedOnlyWhenAllAreWritten)
{
    if (!HavePdf())
        GTEST_SKIP() << "no PDF output in this build";
    const std::string text = dir.file("out.txt");
    const std::string pdf = dir.file("out.pdf");
    for (const auto& [textOut, pdfOut] : {std::pair{text, std::string("/dev/full")},
                                          {text, dir.file("no/such/out.pdf")},
                                          {dir.file("no/such/out.txt"), pdf},
                                          {std::string("-"), std::string("/dev/full")}}) {
        test::WriteText(text, "previous text");
        test::WriteText(pdf, "previous pdf");
        const CliRun run = RunCli(dir, "report " + ShellQuote(con) + " --text " + ShellQuote(textOut) +
                                           " --pdf " + ShellQuote(pdfOut));
        EXPECT_EQ(run.status, 3) << pdfOut;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(test::ReadText(text) + test::ReadText(pdf), "previous textprevious pdf")
            << textOut << pdfOut;
    }
}

// apply replaces OUT only once its lines have been printed.
TEST_F(SafeFilesCli, ApplyLeavesOutWhenItsLinesCannotBePrinted)
{
    test::WriteText(dir.file("e.json"), "[{\"op\": \"addSubcontractor\"}]");
    test::WriteText(dir.file("OUT.CON"), "previous");
    const CliRun run = RunCli(dir,
                              "apply " + ShellQuote(con) + " " + ShellQuote(dir.file("e.json")) + " " +
                                  ShellQuote(dir.file("OUT.CON")),
                              {"", "/dev/full"});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "Error: Cannot write standard output: No space left on device\n");
    EXPECT_EQ(test::ReadText(dir.file("OUT.CON")), "previous");
}

// A reader that went away: the write fails and is reported like any other,
// instead of the program ending by the signal without a word.
TEST_F(SafeFilesCli, AClosedPipeIsAWriteError)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[0]);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(ends[1], STDOUT_FILENO);
        ::dup2(::open(dir.file("err").c_str(), O_WRONLY | O_CREAT, 0600), STDERR_FILENO);
        ::execl(KESTREL_CLI, KESTREL_CLI, "items", con.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(ends[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << "status " << status;
    EXPECT_EQ(test::ReadText(dir.file("err")), "Error: Cannot write standard output: Broken pipe\n");
}

TEST_F(SafeFilesCli, StandardOutputThatCannotBeWrittenIsAnError)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    const std::string quoted = ShellQuote(con);
    CliOptions full;
    full.stdoutTo = "/dev/full";
    for (const std::string& args :
         {"info " + con, "items " + con, "dump " + con + " --json", "check " + con,
          "report " + con + " --text -", std::string("eval 1+1"), std::string("format-number 1 5 2"),
          std::string("format-date 0 1"), std::string("--help")}) {
        const CliRun run = RunCli(dir, args, full);
        EXPECT_EQ(run.status, 3) << args;
        // The last line; the reason is given when the system still tells it.
        const std::size_t last = run.err.rfind('\n', run.err.size() - (run.err.empty() ? 0 : 2));
        const std::string line = run.err.substr(last == std::string::npos ? 0 : last + 1);
        EXPECT_TRUE(line == "Error: Cannot write standard output\n" ||
                    line == "Error: Cannot write standard output: No space left on device\n")
            << args << ": " << run.err;
    }
}

TEST_F(SafeFilesCli, AnExceptionBecomesAMessageAndAStatus)
{
    const std::string cfg = dir.file("ZodEva.cfg");
    test::WriteText(cfg, "[A]\nold\n");
    test::WriteText(dir.file("big.txt"), std::string(24 << 20, 't'));
    // Memory runs out while the text is read.
    CliOptions tight;
    tight.setup = "ulimit -d 16384;";
    const CliRun run =
        RunCli(dir, "template-save " + ShellQuote(cfg) + " A " + ShellQuote(dir.file("big.txt")), tight);
    EXPECT_EQ(run.status, 70);
    EXPECT_EQ(run.err, "Error: Insufficient memory\n");
    EXPECT_EQ(test::ReadText(cfg), "[A]\nold\n");
}

TEST_F(SafeFilesCli, TemplateTextsThatCannotBeSaved)
{
    const std::string cfg = dir.file("ZodEva.cfg");
    test::WriteText(cfg, "[A]\nold\n");
    fs::create_directory(dir.file("folder"));
    // Memory is bounded, so that reading an endless file without a limit
    // fails here rather than on the machine.
    CliOptions bounded;
    bounded.setup = "ulimit -d 1048576;";
    struct Case {
        std::string textFile;
        std::string error;
    };
    for (const Case& c :
         {Case{dir.file("folder"), "Is a folder, not a file"}, Case{"/dev/zero", "Not a regular file"}}) {
        if (!fs::exists(c.textFile))
            continue;
        const CliRun run =
            RunCli(dir, "template-save " + ShellQuote(cfg) + " A " + ShellQuote(c.textFile), bounded);
        EXPECT_EQ(run.status, 2) << c.textFile;
        EXPECT_EQ(run.err, "Error: " + c.textFile + ": " + c.error + "\n");
        EXPECT_EQ(run.out, "");
    }
    // A name whose header could not be found again is refused.
    test::WriteText(dir.file("t.txt"), "text\n");
    const CliRun run =
        RunCli(dir, "template-save " + ShellQuote(cfg) + " 'A]' " + ShellQuote(dir.file("t.txt")));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "Invalid section name \"A]\": a name must not be empty, begin with a blank or tab, or "
                       "hold [, ], CR or LF\n");
    EXPECT_EQ(test::ReadText(cfg), "[A]\nold\n");
    EXPECT_EQ(Entries(), (std::set<std::string>{"JOB.CON", "ZodEva.cfg", "folder", "t.txt"}));
}

} // namespace
} // namespace kestrel
