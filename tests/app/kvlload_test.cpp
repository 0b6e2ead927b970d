// The proposal dialog: the library's proposals sorted, the chosen one taken
// out by its exact name, an existing file of that name opened or replaced
// only as the user says, and an extraction error that confirms nothing.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QListWidget>

#include <filesystem>

#include "app/guitestsupport.h"
#include "app/kvlload.h"
#include "app/subdoc.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/kvlbuilder.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

using test::ProgramFixture;
using test::Q;

std::string DemoBytes()
{
    return test::ReadText(std::string(KESTREL_SAMPLES) + "/DEMO.CON");
}

QString WriteLibrary(const test::TempDir& dir, const std::vector<test::KvlEntry>& entries,
                     const std::string& name = "LET.kvl")
{
    test::WriteBytes(dir.file(name), test::BuildKvl(entries));
    return Q(dir.file(name));
}

int Records(CSubDoc& doc)
{
    return doc.Contract()->m_pSubTable->m_Records.GetSize();
}

TEST(ProposalDialog, ListsTheProposalsSortedUnderItsTitle)
{
    test::TempDir dir;
    test::ScriptedAsker asker;
    CKVLLoad dialog(asker);
    dialog.m_strLibrary = WriteLibrary(
        dir, {{"b.kvs", "1"}, {"readme.txt", "2"}, {"A.KVS", "3"}, {"c.Kvs", "4"}, {"a.kvs", "5"}});
    dialog.m_strPatterns = QStringLiteral("*.kvs");
    dialog.m_strTitle = QStringLiteral("Select Proposal");
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Proposal"));
    QStringList names;
    for (int i = 0; i < dialog.List()->count(); ++i)
        names.append(dialog.List()->item(i)->text());
    EXPECT_EQ(names, (QStringList{QStringLiteral("A.KVS"), QStringLiteral("a.kvs"), QStringLiteral("b.kvs"),
                                  QStringLiteral("c.Kvs")}));
    EXPECT_EQ(dialog.List()->selectionMode(), QAbstractItemView::SingleSelection);

    // Confirmed with no line chosen: confirmed, but nothing to open.
    dialog.List()->clearSelection();
    dialog.OnOK();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.m_strResult.isEmpty());
    EXPECT_EQ(test::FolderEntries(dir.path()), std::set<std::string>{"LET.kvl"});

    // A file that is no library lists nothing, without a message.
    CKVLLoad other(asker);
    test::WriteText(dir.file("junk.kvl"), "not a library");
    other.m_strLibrary = Q(dir.file("junk.kvl"));
    other.m_strPatterns = QStringLiteral("*.kvs");
    other.OnInitDialog();
    EXPECT_EQ(other.List()->count(), 0);
    EXPECT_TRUE(asker.asked.empty());
}

TEST(ProposalDialog, AnEntryIsTakenOutByItsExactName)
{
    ProgramFixture program;
    const std::string demo = DemoBytes();
    // As patterns, "*.kvs" would take every proposal out and "B.kvs;A.kvs"
    // also A.kvs, over whatever is there.
    const QString library = WriteLibrary(
        program.dir, {{"A.kvs", "the library's A"}, {"*.kvs", demo}, {"B.kvs;A.kvs", demo}, {"?.kvs", demo}});
    for (const QString& name :
         {QStringLiteral("*.kvs"), QStringLiteral("B.kvs;A.kvs"), QStringLiteral("?.kvs")}) {
        program.asker.proposal = name;
        ASSERT_TRUE(program.Doc().OpenDocument(library)) << name.toStdString();
        EXPECT_EQ(program.Doc().PathName(), QFileInfo(library).dir().filePath(name));
        EXPECT_EQ(test::ReadText(program.dir.file(name.toStdString())), demo);
        EXPECT_FALSE(std::filesystem::exists(program.dir.file("A.kvs")));
    }
    EXPECT_TRUE(program.asker.choiceButtons.empty());
}

TEST(ProposalDialog, AnExtractionErrorConfirmsNothingAndOpensNothing)
{
    ProgramFixture program;
    // The last entry's content runs past the end of the file.
    std::vector<unsigned char> bytes = test::BuildKvl({{"GOOD.kvs", DemoBytes()}, {"CUT.kvs", DemoBytes()}});
    bytes.resize(bytes.size() - 100);
    test::WriteBytes(program.dir.file("LET.kvl"), bytes);
    const QString library = Q(program.dir.file("LET.kvl"));
    program.asker.proposal = QStringLiteral("CUT.kvs");
    EXPECT_FALSE(program.Doc().OpenDocument(library));
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked[0].caption, QStringLiteral("Error Extracting Proposal"));
    EXPECT_EQ(program.asker.asked[0].text, QStringLiteral("Error Reading Library"));
    EXPECT_EQ(program.asker.asked[0].icon, QMessageBox::Warning);
    EXPECT_FALSE(program.Doc().HasContract());
    EXPECT_FALSE(std::filesystem::exists(program.dir.file("CUT.kvs")));

    // In the dialog itself: not confirmed, no path, still open for another
    // choice.
    CKVLLoad dialog(program.asker);
    dialog.m_strLibrary = library;
    dialog.m_strPatterns = QStringLiteral("*.kvs");
    dialog.OnInitDialog();
    dialog.show();
    dialog.List()->setCurrentItem(dialog.List()->findItems(QStringLiteral("CUT.kvs"), Qt::MatchExactly)[0]);
    dialog.OnOK();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.m_strResult.isEmpty());
    dialog.List()->setCurrentItem(dialog.List()->findItems(QStringLiteral("GOOD.kvs"), Qt::MatchExactly)[0]);
    dialog.OnOK();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_strResult, Q(program.dir.file("GOOD.kvs")));
    EXPECT_EQ(program.asker.asked.size(), 2u);

    // A name that is not a plain file name cannot be extracted.
    program.asker.proposal = QStringLiteral("up/x.kvs");
    const QString bad = WriteLibrary(program.dir, {{"up/x.kvs", DemoBytes()}}, "BAD.kvl");
    program.asker.asked.clear();
    EXPECT_FALSE(program.Doc().OpenDocument(bad));
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked[0].text, QStringLiteral("Can't Extract File"));
}

TEST(ProposalDialog, TheUsersSavedProposalIsNotReplacedWithoutAsking)
{
    ProgramFixture program;
    const QString library = WriteLibrary(program.dir, {{"DEMO.kvs", DemoBytes()}});
    const std::string extracted = program.dir.file("DEMO.kvs");
    program.asker.proposal = QStringLiteral("DEMO.kvs");
    // The first session: taken out, worked on, saved.
    ASSERT_TRUE(program.Doc().OpenDocument(library));
    EXPECT_TRUE(program.asker.choiceButtons.empty());
    const int records = Records(program.Doc());
    ASSERT_TRUE(program.Doc().ApplyEdit(program.Doc().Edits()->AddSubcontractor(nullptr)));
    ASSERT_TRUE(program.Doc().DoFileSave());
    const std::string saved = test::ReadText(extracted);
    ASSERT_NE(saved, DemoBytes());

    // Cancel: nothing is opened, the file is as saved.
    program.asker.choices = {2};
    EXPECT_FALSE(program.Doc().OpenDocument(library));
    ASSERT_EQ(program.asker.choiceButtons.size(), 1u);
    EXPECT_EQ(program.asker.choiceButtons[0],
              (QStringList{QStringLiteral("&Open Existing"), QStringLiteral("&Replace"),
                           QStringLiteral("Cancel")}));
    EXPECT_EQ(program.asker.asked.back().caption, QStringLiteral("Select Proposal"));
    EXPECT_TRUE(program.asker.asked.back().text.contains(Q(extracted)));
    EXPECT_EQ(test::ReadText(extracted), saved);

    // Open Existing: the saved work is opened, not overwritten.
    program.asker.choices = {0};
    ASSERT_TRUE(program.Doc().OpenDocument(library));
    EXPECT_EQ(Records(program.Doc()), records + 1);
    EXPECT_EQ(test::ReadText(extracted), saved);

    // Replace: the library's proposal takes its place.
    program.asker.choices = {1};
    ASSERT_TRUE(program.Doc().OpenDocument(library));
    EXPECT_EQ(Records(program.Doc()), records);
    EXPECT_EQ(test::ReadText(extracted), DemoBytes());
}

// Changes to the open proposal are asked about before the library is
// opened: a Yes saves them before "Replace" takes the library's proposal
// out over the file, never after (which would write the old changes over
// the fresh copy).
TEST(ProposalDialog, UnsavedChangesAreAskedAboutBeforeAnythingIsTakenOut)
{
    ProgramFixture program;
    const QString library = WriteLibrary(program.dir, {{"DEMO.kvs", DemoBytes()}});
    const std::string extracted = program.dir.file("DEMO.kvs");
    program.asker.proposal = QStringLiteral("DEMO.kvs");
    ASSERT_TRUE(program.Doc().OpenDocument(library));
    const int records = Records(program.Doc());
    ASSERT_TRUE(program.Doc().ApplyEdit(program.Doc().Edits()->AddSubcontractor(nullptr)));

    program.asker.asked.clear();
    program.asker.answers = {QMessageBox::Yes};
    program.asker.choices = {1}; // Replace
    ASSERT_TRUE(program.Doc().OpenDocument(library));
    ASSERT_GE(program.asker.asked.size(), 2u);
    EXPECT_TRUE(program.asker.asked[0].text.contains(QStringLiteral("has changed")));
    EXPECT_EQ(program.asker.asked[1].caption, QStringLiteral("Select Proposal"));
    EXPECT_EQ(test::ReadText(extracted), DemoBytes());
    EXPECT_EQ(Records(program.Doc()), records);
    EXPECT_FALSE(program.Doc().IsModified());
}

} // namespace
} // namespace kestrel
