#include "report/sectionfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <thread>

#include "support/testfiles.h"
#include "support/testsystem.h"

namespace kestrel {
namespace {

using test::ReadText;
using test::TempDir;
using test::WriteText;

namespace fs = std::filesystem;

TEST(SectionHeader, MatchesWithoutRegardToCaseAndBlanks)
{
    EXPECT_TRUE(IsSectionHeaderFor("[Report Header]", "Report Header"));
    EXPECT_TRUE(IsSectionHeaderFor("[ report header ]", "Report Header"));
    EXPECT_TRUE(IsSectionHeaderFor("[\t REPORT HEADER\t ] anything after", "Report Header"));
    EXPECT_TRUE(IsSectionHeaderFor("[Report Header]\r", "Report Header"));
    EXPECT_TRUE(IsSectionHeaderFor("[\xC9t\xE9]", "\xE9T\xC9"));

    EXPECT_FALSE(IsSectionHeaderFor("[Report Headers]", "Report Header"));
    EXPECT_FALSE(IsSectionHeaderFor("[Report Header Two]", "Report Header"));
    EXPECT_FALSE(IsSectionHeaderFor("[Report]", "Report Header"));
    EXPECT_FALSE(IsSectionHeaderFor("[Report Header", "Report Header"));
    EXPECT_FALSE(IsSectionHeaderFor(" [Report Header]", "Report Header"));
    EXPECT_FALSE(IsSectionHeaderFor("[Report  Header]", "Report Header"));
    EXPECT_FALSE(IsSectionHeaderFor("", "Report Header"));
    EXPECT_FALSE(IsSectionHeaderFor("[", "Report Header"));
}

class SectionSave : public ::testing::Test {
protected:
    std::string cfg() const { return dir.file("ZodEva.cfg"); }
    SectionSaveOutcome Save(const std::string& name, const std::string& text, const ReplaceFault& fault = {})
    {
        return SaveTemplateSection(name, text, cfg(), fault);
    }
    // The names in the folder: a save leaves no temporary file behind.
    std::set<std::string> Entries() const { return test::FolderEntries(dir.path()); }
    TempDir dir;
};

TEST_F(SectionSave, ReplacesTheSectionKeepingItsCommentLines)
{
    WriteText(cfg(), "; generated file\n"
                     "loose line\n"
                     "[Report Front]\n"
                     "front body\n"
                     "[ report header ]\n"
                     "old line 1\n"
                     "; keep this note\n"
                     "old line 2\n"
                     ";and this one\n"
                     "[Report Back]\n"
                     "back body\n");
    const auto outcome = Save("Report Header", "new line 1\nnew line 2\n");
    EXPECT_EQ(outcome.result, SectionSaveResult::Replaced);
    EXPECT_TRUE(outcome.ok());
    EXPECT_EQ(outcome.message, "Section Report Header Replaced in file " + cfg());
    EXPECT_EQ(ReadText(cfg()), "; generated file\n"
                               "loose line\n"
                               "[Report Front]\n"
                               "front body\n"
                               "[Report Header]\n"
                               "new line 1\n"
                               "new line 2\n"
                               "; keep this note\n"
                               ";and this one\n"
                               "[Report Back]\n"
                               "back body\n");
    EXPECT_EQ(Entries(), std::set<std::string>{"ZodEva.cfg"});
}

TEST_F(SectionSave, LastSectionConsumesTheRestOfTheFile)
{
    WriteText(cfg(), "[A]\na\n[Report Back]\nold\n; note\nold too");
    EXPECT_EQ(Save("report back", "new").result, SectionSaveResult::Replaced);
    EXPECT_EQ(ReadText(cfg()), "[A]\na\n[report back]\nnew\n; note\n");
}

TEST_F(SectionSave, EverySectionOfTheNameIsReplaced)
{
    WriteText(cfg(), "[X]\none\n[x]\ntwo\n[Y]\ny\n[X ]\nthree\n");
    EXPECT_EQ(Save("X", "new\n").result, SectionSaveResult::Replaced);
    EXPECT_EQ(ReadText(cfg()), "[X]\nnew\n[X]\nnew\n[Y]\ny\n[X]\nnew\n");
}

TEST_F(SectionSave, AddsAMissingSectionAtTheEnd)
{
    WriteText(cfg(), "[Report Headers]\nlonger name\n[Other]\nbody");
    const auto outcome = Save("Report Header", "text\n");
    EXPECT_EQ(outcome.result, SectionSaveResult::Added);
    EXPECT_EQ(outcome.message, "Section Report Header Added to file " + cfg());
    // The last line of the old file gains its LF.
    EXPECT_EQ(ReadText(cfg()), "[Report Headers]\nlonger name\n[Other]\nbody\n[Report Header]\ntext\n");
}

TEST_F(SectionSave, EmptyFileGetsOnlyTheNewSection)
{
    WriteText(cfg(), "");
    EXPECT_EQ(Save("Report Front", "line\n").result, SectionSaveResult::Added);
    EXPECT_EQ(ReadText(cfg()), "[Report Front]\nline\n");
}

TEST_F(SectionSave, TextWithoutFinalLineFeedGetsOne)
{
    WriteText(cfg(), "[A]\nold\n[B]\nb\n");
    EXPECT_EQ(Save("A", "no line end").result, SectionSaveResult::Replaced);
    EXPECT_EQ(ReadText(cfg()), "[A]\nno line end\n[B]\nb\n");
    EXPECT_EQ(Save("A", "").result, SectionSaveResult::Replaced);
    EXPECT_EQ(ReadText(cfg()), "[A]\n\n[B]\nb\n");
}

TEST_F(SectionSave, LinesOfAnyLengthSurviveASaveOfAnotherSection)
{
    // Around the part of a line that tells headers and comments apart, and
    // far beyond it: a template saved whole is still whole after the next
    // save of another section.
    std::string longText;
    for (std::size_t length :
         {kSectionMaxLine - 1, kSectionMaxLine, kSectionMaxLine + 1, std::size_t(100000)})
        longText += std::string(length, 'x') + "\n";
    longText += std::string(3 << 20, 'y') + "\n";
    WriteText(cfg(), "[Other]\nold\n");
    ASSERT_TRUE(Save("Long", longText).ok());
    ASSERT_TRUE(Save("Other", "new\n").ok());
    EXPECT_EQ(ReadText(cfg()), "[Other]\nnew\n[Long]\n" + longText);

    // A long comment in a replaced section survives whole; a long body line
    // goes whole.
    const std::string comment = ";" + std::string(2 * kSectionMaxLine, 'c');
    WriteText(cfg(), "[A]\n" + std::string(3 * kSectionMaxLine, 'b') + "\n" + comment + "\n[B]\n" + longText);
    ASSERT_TRUE(Save("A", "a\n").ok());
    EXPECT_EQ(ReadText(cfg()), "[A]\na\n" + comment + "\n[B]\n" + longText);
}

TEST_F(SectionSave, ALineIsToldApartByItsFirstPart)
{
    // A header whose name starts past the first part of the line is body text.
    const std::string late = "[" + std::string(kSectionMaxLine, ' ') + "A]";
    const std::string early = "[" + std::string(kSectionMaxLine - 3, ' ') + "A]" + std::string(5000, ' ');
    WriteText(cfg(), late + "\nkept\n" + early + "\nold\n");
    EXPECT_EQ(Save("A", "new\n").result, SectionSaveResult::Replaced);
    EXPECT_EQ(ReadText(cfg()), late + "\nkept\n[A]\nnew\n");
}

TEST_F(SectionSave, CarriageReturnsOfTheFileAreKept)
{
    WriteText(cfg(), "[A]\r\nold\r\n; note\r\n[B]\r\nb\r\n");
    EXPECT_EQ(Save("A", "new\n").result, SectionSaveResult::Replaced);
    EXPECT_EQ(ReadText(cfg()), "[A]\nnew\n; note\r\n[B]\r\nb\r\n");
}

TEST_F(SectionSave, BytesOfAnyValueAreCopied)
{
    const std::string odd = std::string("bin\0ary\xFF", 8);
    WriteText(cfg(), odd + "\n[A]\nx\n");
    EXPECT_EQ(Save("A", "y").result, SectionSaveResult::Replaced);
    EXPECT_EQ(ReadText(cfg()), odd + "\n[A]\ny\n");
}

TEST_F(SectionSave, KeepsThePermissionsOfTheFile)
{
    WriteText(cfg(), "[A]\nx\n");
    test::MarkFile(cfg());
    EXPECT_TRUE(Save("A", "y").ok());
    EXPECT_TRUE(test::IsMarked(cfg()));
}

TEST_F(SectionSave, MissingFileCannotBeOpened)
{
    const auto outcome = Save("A", "x");
    EXPECT_EQ(outcome.result, SectionSaveResult::CannotOpenFile);
    EXPECT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.message, "Cannot open file " + cfg());
    EXPECT_TRUE(Entries().empty());
}

TEST_F(SectionSave, AMissingFileIsCreatedWhenAsked)
{
    const auto create = MissingSectionFile::Create;
    auto outcome = SaveTemplateSection("Report Header", "line one\nline two", cfg(), {}, create);
    ASSERT_EQ(outcome.result, SectionSaveResult::Added) << outcome.message;
    EXPECT_EQ(outcome.message, "Section Report Header Added to file " + cfg());
    EXPECT_EQ(ReadText(cfg()), "[Report Header]\nline one\nline two\n");
    EXPECT_EQ(Entries(), std::set<std::string>{"ZodEva.cfg"});
    // Once there, the file is read as any other.
    outcome = SaveTemplateSection("Report Header", "new\n", cfg(), {}, create);
    EXPECT_EQ(outcome.result, SectionSaveResult::Replaced);
    EXPECT_EQ(ReadText(cfg()), "[Report Header]\nnew\n");
    // What is there and is no file is still refused, and so is a link that
    // leads nowhere; a folder that is not there makes no file.
    fs::create_directory(dir.file("folder.cfg"));
    EXPECT_EQ(SaveTemplateSection("A", "x", dir.file("folder.cfg"), {}, create).result,
              SectionSaveResult::CannotOpenFile);
    EXPECT_FALSE(SaveTemplateSection("A", "x", dir.file("no/such/folder.cfg"), {}, create).ok());
    if (!test::MakeSymlink(dir.file("nowhere.cfg"), dir.file("dangling.cfg")))
        GTEST_SKIP() << test::kNoSymlinks;
    EXPECT_EQ(SaveTemplateSection("A", "x", dir.file("dangling.cfg"), {}, create).result,
              SectionSaveResult::CannotOpenFile);
    EXPECT_EQ(Entries(), (std::set<std::string>{"ZodEva.cfg", "folder.cfg", "dangling.cfg"}));
}

TEST_F(SectionSave, DirectoryInPlaceOfTheFileCannotBeOpened)
{
    fs::create_directory(cfg());
    const auto outcome = Save("A", "x");
    EXPECT_EQ(outcome.result, SectionSaveResult::CannotOpenFile);
    EXPECT_EQ(outcome.message, "Cannot open file " + cfg());
    EXPECT_TRUE(fs::is_directory(cfg()));
    EXPECT_EQ(Entries(), std::set<std::string>{"ZodEva.cfg"});
}

TEST_F(SectionSave, OnlyARegularFileIsRead)
{
    // A FIFO would wait for a writer and a device never end: neither is read
    // nor replaced.
    if (!test::MakeFifo(cfg()))
        GTEST_SKIP() << test::kNoFifos;
    auto outcome = Save("A", "x");
    EXPECT_EQ(outcome.result, SectionSaveResult::CannotOpenFile);
    EXPECT_TRUE(fs::is_fifo(cfg()));
    fs::create_symlink(test::EndlessDevice(), dir.file("zero.cfg"));
    outcome = SaveTemplateSection("A", "x", dir.file("zero.cfg"));
    EXPECT_EQ(outcome.result, SectionSaveResult::CannotOpenFile);
    EXPECT_EQ(outcome.message, "Cannot open file " + dir.file("zero.cfg"));
    EXPECT_EQ(Entries(), (std::set<std::string>{"ZodEva.cfg", "zero.cfg"}));
}

TEST_F(SectionSave, NamesThatCannotBeFoundAgainAreRefused)
{
    WriteText(cfg(), "[A]\nx\n");
    for (const std::string name : {"", "A]B", "[A", "A\rB", "A\nB", "A\r", " A", "\tA", "x]"}) {
        const auto outcome = Save(name, "y");
        EXPECT_EQ(outcome.result, SectionSaveResult::InvalidName) << name;
        EXPECT_EQ(outcome.message,
                  "Invalid section name \"" + name +
                      "\": a name must not be empty, begin with a blank or tab, or hold [, ], "
                      "CR or LF");
    }
    EXPECT_EQ(ReadText(cfg()), "[A]\nx\n");
    EXPECT_EQ(Entries(), std::set<std::string>{"ZodEva.cfg"});
    // Blanks inside and at the end are part of a name that is found again.
    for (const std::string name : {"A B", "A ", "A\tB"}) {
        ASSERT_EQ(Save(name, "1").result, SectionSaveResult::Added) << name;
        EXPECT_EQ(Save(name, "2").result, SectionSaveResult::Replaced) << name;
    }
}

TEST_F(SectionSave, ALinkPlantedAtTheOldTemporaryNameIsNotFollowed)
{
    WriteText(cfg(), "[A]\nx\n");
    WriteText(dir.file("victim"), "someone else's file\n");
    if (!test::MakeSymlink(dir.file("victim"), dir.file("cfgwrite.tmp")))
        GTEST_SKIP() << test::kNoSymlinks;
    EXPECT_EQ(Save("A", "y").result, SectionSaveResult::Replaced);
    EXPECT_EQ(ReadText(dir.file("victim")), "someone else's file\n");
    EXPECT_FALSE(test::IsSymlink(cfg()));
    EXPECT_EQ(ReadText(cfg()), "[A]\ny\n");
    EXPECT_TRUE(test::IsSymlink(dir.file("cfgwrite.tmp")));
}

TEST_F(SectionSave, SavesAtTheSameTimeNeverMix)
{
    // Each save is one complete file: whichever rename comes last wins, but
    // every section in the file is a whole text of one save.
    WriteText(cfg(), "[A]\nold\n[B]\nold\n");
    auto text = [](char who, int round) {
        std::string t;
        for (int line = 0; line < 3000; ++line)
            t += std::string(1, who) + std::to_string(round) + " line of the template\n";
        return t;
    };
    auto saver = [&](char who, std::vector<SectionSaveOutcome>& outcomes) {
        for (int round = 0; round < 15; ++round)
            outcomes.push_back(SaveTemplateSection(std::string(1, who), text(who, round), cfg()));
    };
    std::vector<SectionSaveOutcome> a, b;
    std::thread ta(saver, 'A', std::ref(a));
    std::thread tb(saver, 'B', std::ref(b));
    ta.join();
    tb.join();
    for (const auto& outcomes : {a, b})
        for (const SectionSaveOutcome& outcome : outcomes)
            EXPECT_EQ(outcome.result, SectionSaveResult::Replaced) << outcome.message;
    const std::string file = ReadText(cfg());
    const std::size_t bAt = file.find("[B]\n");
    ASSERT_EQ(file.rfind("[A]\n", 0), 0u) << file.substr(0, 200);
    ASSERT_NE(bAt, std::string::npos);
    const std::string bodyA = file.substr(4, bAt - 4);
    const std::string bodyB = file.substr(bAt + 4);
    auto isWhole = [&](char who, const std::string& body) {
        if (body == "old\n")
            return true;
        for (int round = 0; round < 15; ++round)
            if (body == text(who, round))
                return true;
        return false;
    };
    EXPECT_TRUE(isWhole('A', bodyA)) << bodyA.substr(0, 200);
    EXPECT_TRUE(isWhole('B', bodyB)) << bodyB.substr(0, 200);
    EXPECT_EQ(Entries(), std::set<std::string>{"ZodEva.cfg"});
}

TEST_F(SectionSave, TemporaryThatCannotBeCreatedLeavesTheFileAlone)
{
    WriteText(cfg(), "[A]\nx\n");
    const auto outcome = Save("A", "y", [](ReplaceStep s) { return s == ReplaceStep::CreateTemporary; });
    EXPECT_EQ(outcome.result, SectionSaveResult::CannotOpenTemp);
    // Compared as paths: the separator is the system's own.
    EXPECT_EQ(fs::path(outcome.message),
              fs::path("Cannot open temp file " + dir.file("cfgwrite-XXXXXX.tmp")));
    EXPECT_EQ(ReadText(cfg()), "[A]\nx\n");
    EXPECT_EQ(Entries(), std::set<std::string>{"ZodEva.cfg"});
}

TEST_F(SectionSave, WriteFailureIsReportedAndTheFileKept)
{
    const std::string previous = "[A]\nx\n[B]\n" + std::string(20000, 'b') + "\n";
    WriteText(cfg(), previous);
    SectionSaveOutcome outcome{};
    if (!test::WithFileSizeLimit(10000, [&] { outcome = Save("A", "y"); }))
        GTEST_SKIP() << test::kNoFileSizeLimit;
    EXPECT_EQ(outcome.result, SectionSaveResult::CannotWriteTemp);
    EXPECT_EQ(outcome.message.rfind("Cannot write temp file " + dir.file("cfgwrite-"), 0), 0u)
        << outcome.message;
    EXPECT_EQ(ReadText(cfg()), previous);
    EXPECT_EQ(Entries(), std::set<std::string>{"ZodEva.cfg"});
}

TEST_F(SectionSave, ReplaceFailureRemovesTheTemporaryFile)
{
    WriteText(cfg(), "[A]\nx\n");
    const auto outcome = Save("A", "y", [](ReplaceStep s) { return s == ReplaceStep::Replace; });
    EXPECT_EQ(outcome.result, SectionSaveResult::CannotReplaceFile);
    EXPECT_EQ(outcome.message, "Cannot replace file " + cfg() + ": Cannot replace the file");
    EXPECT_EQ(ReadText(cfg()), "[A]\nx\n");
    EXPECT_EQ(Entries(), std::set<std::string>{"ZodEva.cfg"});
}

TEST(TemplateText, EditConversionAddsCarriageReturns)
{
    EXPECT_EQ(TemplateTextForEdit("a\nb\n\nc"), "a\r\nb\r\n\r\nc");
    EXPECT_EQ(TemplateTextForEdit(""), "");
}

TEST(TemplateText, EditConversionFitsTheBuffer)
{
    const std::string plain(50000, 'p');
    EXPECT_EQ(TemplateTextForEdit(plain), std::string(kTemplateEditBuffer - 1, 'p'));
    // A line end that would only half fit is left out whole.
    const std::string lines = std::string(kTemplateEditBuffer - 2, 'q') + "\nmore";
    EXPECT_EQ(TemplateTextForEdit(lines), std::string(kTemplateEditBuffer - 2, 'q'));
    const std::string exact = std::string(kTemplateEditBuffer - 3, 'r') + "\nmore";
    EXPECT_EQ(TemplateTextForEdit(exact), std::string(kTemplateEditBuffer - 3, 'r') + "\r\n");
}

TEST(TemplateText, StorageConversionDropsCarriageReturnsBeforeLineFeeds)
{
    EXPECT_EQ(TemplateTextForStorage("a\r\nb\rc\r\n\r"), "a\nb\rc\n\r");
    const std::string stored = "line one\n  line two\n\nend";
    EXPECT_EQ(TemplateTextForStorage(TemplateTextForEdit(stored)), stored);
}

} // namespace
} // namespace kestrel
