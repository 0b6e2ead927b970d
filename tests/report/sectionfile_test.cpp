#include "report/sectionfile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/testfiles.h"

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
    SectionSaveOutcome Save(const std::string& name, const std::string& text)
    {
        return SaveTemplateSection(name, text, cfg());
    }
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
    EXPECT_FALSE(fs::exists(dir.file("cfgwrite.tmp")));
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

TEST_F(SectionSave, LongLinesAreCutOnCopy)
{
    const std::string fits(4095, 'f');
    const std::string tooLong = std::string(4095, 'g') + "DROPPED";
    const std::string huge(100000, 'h');
    WriteText(cfg(), fits + "\n" + tooLong + "\n[A]\n" + huge + "\n; " + huge + "\n[B]\n" + huge + "\n");
    EXPECT_EQ(Save("A", "a\n").result, SectionSaveResult::Replaced);
    EXPECT_EQ(ReadText(cfg()), fits + "\n" + std::string(4095, 'g') + "\n[A]\na\n; " +
                                   std::string(4093, 'h') + "\n[B]\n" + std::string(4095, 'h') + "\n");
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
    fs::permissions(cfg(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(Save("A", "y").ok());
    EXPECT_EQ(fs::status(cfg()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(SectionSave, MissingFileCannotBeOpened)
{
    const auto outcome = Save("A", "x");
    EXPECT_EQ(outcome.result, SectionSaveResult::CannotOpenFile);
    EXPECT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.message, "Cannot open file " + cfg());
    EXPECT_FALSE(fs::exists(cfg()));
    EXPECT_FALSE(fs::exists(dir.file("cfgwrite.tmp")));
}

TEST_F(SectionSave, DirectoryInPlaceOfTheFileCannotBeOpened)
{
    fs::create_directory(cfg());
    const auto outcome = Save("A", "x");
    EXPECT_EQ(outcome.result, SectionSaveResult::CannotOpenFile);
    EXPECT_EQ(outcome.message, "Cannot open file " + cfg());
    EXPECT_TRUE(fs::is_directory(cfg()));
    EXPECT_FALSE(fs::exists(dir.file("cfgwrite.tmp")));
}

TEST_F(SectionSave, TemporaryThatCannotBeCreatedLeavesTheFileAlone)
{
    WriteText(cfg(), "[A]\nx\n");
    fs::create_directory(dir.file("cfgwrite.tmp"));
    const auto outcome = Save("A", "y");
    EXPECT_EQ(outcome.result, SectionSaveResult::CannotOpenTemp);
    EXPECT_EQ(outcome.message, "Cannot open temp file " + dir.file("cfgwrite.tmp"));
    EXPECT_EQ(ReadText(cfg()), "[A]\nx\n");
}

TEST_F(SectionSave, WriteFailureIsReportedAndTheFileKept)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    WriteText(cfg(), "[A]\nx\n");
    fs::create_symlink("/dev/full", dir.file("cfgwrite.tmp"));
    const auto outcome = Save("A", "y");
    EXPECT_EQ(outcome.result, SectionSaveResult::CannotWriteTemp);
    EXPECT_EQ(outcome.message, "Cannot write temp file " + dir.file("cfgwrite.tmp"));
    EXPECT_EQ(ReadText(cfg()), "[A]\nx\n");
    EXPECT_TRUE(fs::exists("/dev/full"));
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
