// The document: opening (damaged files, bid libraries, the command line),
// the save question, saving and its failures, the check, Copy, and the
// modified mark that follows the undo stack.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QUndoStack>

#include <sys/stat.h>

#include <filesystem>
#include <utility>

#include "app/guitestsupport.h"
#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/suberrors.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "file/contractfile.h"
#include "file/contractsave.h"
#include "file/lockfile.h"
#include "grid/gridview.h"
#include "model/contract/contract.h"
#include "model/contract/itemstext.h"
#include "model/subcontract/winmeta.h"
#include "views/dv_gridbase.h"

namespace kestrel {
namespace {

using test::ProgramFixture;
using test::Q;
using test::ReadBytes;

std::string Local(const QString& path)
{
    return path.toStdString();
}

// The record count of the open contract's subcontractor table.
int Records(CSubDoc& doc)
{
    return doc.Contract() && doc.Contract()->m_pSubTable ? doc.Contract()->m_pSubTable->m_Records.GetSize()
                                                         : -1;
}

void AddSubcontractor(CSubDoc& doc)
{
    ASSERT_TRUE(doc.ApplyEdit(doc.Edits()->AddSubcontractor(nullptr)));
}

TEST(DocumentOpen, OpensAFileGivenOnTheCommandLine)
{
    test::TempDir files;
    const QString demo = test::CopyDemo(files);
    ProgramFixture program({demo});
    ASSERT_TRUE(program.Doc().HasContract());
    EXPECT_EQ(program.Doc().PathName(), demo);
    EXPECT_EQ(program.Doc().WindowTitle(), QStringLiteral("Tollgate Kestrel - DEMO.CON"));
    EXPECT_FALSE(program.Doc().IsModified());
    EXPECT_EQ(program.App().Settings().recentFiles.value(0), QFileInfo(demo).absoluteFilePath());
    // The tree stands for the contract, and the status bar shows its total.
    EXPECT_EQ(program.Tree().NodeText(program.Tree().ContractNode()), QStringLiteral("C24-0471-01"));
    EXPECT_EQ(program.Frame().TotalPane()->text(), program.Doc().ContractTotalText());
    EXPECT_TRUE(program.asker.asked.empty());
}

TEST(DocumentOpen, ADamagedFileKeepsTheContractThatWasOpen)
{
    ProgramFixture program;
    EXPECT_EQ(program.Doc().WindowTitle(), QStringLiteral("Tollgate Kestrel"));
    const QString demo = test::CopyDemo(program.dir);
    ASSERT_TRUE(program.Doc().OpenDocument(demo));
    AddSubcontractor(program.Doc());
    const CContract* before = program.Doc().Contract();
    const int records = Records(program.Doc());

    // A file cut off in the middle: unreadable.
    std::vector<unsigned char> bytes = ReadBytes(Local(demo));
    bytes.resize(bytes.size() / 2);
    test::WriteBytes(program.dir.file("CUT.CON"), bytes);
    program.asker.answers = {QMessageBox::No}; // do not save the changes
    EXPECT_FALSE(program.Doc().OpenDocument(Q(program.dir.file("CUT.CON"))));
    ASSERT_FALSE(program.asker.asked.empty());
    const auto& message = program.asker.asked.back();
    EXPECT_EQ(message.caption, QStringLiteral("Error Opening Contract File"));
    EXPECT_EQ(message.icon, QMessageBox::Warning);
    EXPECT_FALSE(message.text.startsWith(QStringLiteral("Error:")));
    // The contract, its changes and its tree are still there.
    EXPECT_EQ(program.Doc().Contract(), before);
    EXPECT_EQ(Records(program.Doc()), records);
    EXPECT_TRUE(program.Doc().IsModified());
    EXPECT_EQ(program.Doc().PathName(), demo);
    EXPECT_NE(program.Tree().ContractNode(), nullptr);

    // A file that is not there at all.
    EXPECT_FALSE(program.Doc().OpenDocument(Q(program.dir.file("NONE.CON"))));
    EXPECT_EQ(program.asker.asked.back().caption, QStringLiteral("Error Opening Contract File"));
    EXPECT_EQ(program.Doc().Contract(), before);
}

// A folder or a FIFO is no contract: refused at once, named, and never
// locked (a FIFO would keep the read waiting for ever).
TEST(DocumentOpen, WhatIsNotARegularFileIsRefusedBeforeItIsLocked)
{
    ProgramFixture program;
    const std::string fifo = program.dir.file("PIPE.CON");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string library = program.dir.file("PIPE.KVL");
    ASSERT_EQ(::mkfifo(library.c_str(), 0600), 0);
    std::filesystem::create_directory(program.dir.file("FOLDER.CON"));
    for (const auto& [path, why] : {std::pair{fifo, "Not a regular file"},
                                    {library, "Not a regular file"},
                                    {program.dir.file("FOLDER.CON"), "Is a folder, not a file"}}) {
        program.asker.asked.clear();
        EXPECT_FALSE(program.Doc().OpenDocument(Q(path)));
        ASSERT_EQ(program.asker.asked.size(), 1u);
        EXPECT_EQ(program.asker.asked[0].text, QStringLiteral("Cannot open %1:\n\n%2").arg(Q(path), Q(why)));
        EXPECT_FALSE(std::filesystem::exists(CLockFile::LockPathFor(path))) << path;
    }
}

TEST(DocumentOpen, ABidLibraryGoesThroughTheProposalSelection)
{
    ProgramFixture program;
    std::filesystem::copy_file(std::filesystem::path(KESTREL_SAMPLES) / "DEMO.kvl",
                               program.dir.file("LET.KvL"));
    const QString library = Q(program.dir.file("LET.KvL"));
    // Cancelled: nothing is opened.
    EXPECT_FALSE(program.Doc().OpenDocument(library));
    EXPECT_EQ(program.asker.proposalTitle, QStringLiteral("Select Proposal"));
    EXPECT_TRUE(program.asker.proposalsOffered.contains(QStringLiteral("DEMO.kvs")));
    EXPECT_FALSE(program.Doc().HasContract());
    // Chosen: the extracted proposal is the document's file.
    program.asker.proposal = QStringLiteral("DEMO.kvs");
    ASSERT_TRUE(program.Doc().OpenDocument(library));
    EXPECT_EQ(QFileInfo(program.Doc().PathName()).fileName(), QStringLiteral("DEMO.kvs"));
    EXPECT_TRUE(QFileInfo::exists(Q(program.dir.file("DEMO.kvs"))));
    EXPECT_EQ(program.Tree().NodeText(program.Tree().ContractNode()), QStringLiteral("C24-0471-01"));
}

TEST(DocumentOpen, OnlyTheLastExtensionMakesALibrary)
{
    ProgramFixture program;
    const QString path = test::CopyDemo(program.dir, "X.kvl.con");
    program.asker.proposal = QStringLiteral("DEMO.kvs");
    ASSERT_TRUE(program.Doc().OpenDocument(path));
    EXPECT_TRUE(program.asker.proposalTitle.isEmpty());
    EXPECT_EQ(program.Doc().PathName(), path);
}

TEST(DocumentOpen, TheSaveQuestionBeforeAnotherFile)
{
    ProgramFixture program;
    const QString first = test::CopyDemo(program.dir, "A.CON");
    const QString second = test::CopyDemo(program.dir, "B.CON");
    ASSERT_TRUE(program.Doc().OpenDocument(first));
    const std::vector<unsigned char> original = ReadBytes(Local(first));

    // Not modified: no question.
    ASSERT_TRUE(program.Doc().OpenDocument(first));
    EXPECT_TRUE(program.asker.asked.empty());

    // No: the changes go, the other file opens.
    AddSubcontractor(program.Doc());
    program.asker.answers = {QMessageBox::No};
    ASSERT_TRUE(program.Doc().OpenDocument(second));
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked[0].text,
              QStringLiteral("The File ") + first +
                  QStringLiteral(" has changed.\nDo you want to save the changes?"));
    EXPECT_EQ(program.asker.asked[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(program.asker.asked[0].icon, QMessageBox::Question);
    EXPECT_EQ(ReadBytes(Local(first)), original);
    EXPECT_EQ(program.Doc().PathName(), second);

    // Yes: saved first, then the other file opens.
    AddSubcontractor(program.Doc());
    const int records = Records(program.Doc());
    program.asker.answers = {QMessageBox::Yes};
    ASSERT_TRUE(program.Doc().OpenDocument(first));
    EXPECT_EQ(program.Doc().PathName(), first);
    std::unique_ptr<CContract> saved;
    ASSERT_EQ(ReadContractFile(Local(second), saved), 0);
    EXPECT_EQ(saved->m_pSubTable->m_Records.GetSize(), records);
}

TEST(DocumentOpen, AFailedSaveStopsTheOpenAndKeepsTheContract)
{
    ProgramFixture program;
    const QString first = test::CopyDemo(program.dir, "A.CON");
    const QString second = test::CopyDemo(program.dir, "B.CON");
    ASSERT_TRUE(program.Doc().OpenDocument(first));
    AddSubcontractor(program.Doc());
    const CContract* before = program.Doc().Contract();
    const std::vector<unsigned char> original = ReadBytes(Local(first));
    program.Doc().SetContractSaver([](CContract& c, const std::string& path) {
        SaveOptions options;
        options.writer = [](CContract& contract, int fd) { return WriteContractDescriptor(contract, fd); };
        options.failStep = [](SaveStep step) { return step == SaveStep::Write; };
        return SaveContractSafely(c, path, options);
    });
    program.asker.answers = {QMessageBox::Yes};
    EXPECT_FALSE(program.Doc().OpenDocument(second));
    // The question, then the save's failure; no third message.
    ASSERT_EQ(program.asker.asked.size(), 2u);
    EXPECT_EQ(program.asker.asked[1].caption, QStringLiteral("Tollgate Kestrel"));
    EXPECT_EQ(program.Doc().Contract(), before);
    EXPECT_EQ(program.Doc().PathName(), first);
    EXPECT_TRUE(program.Doc().IsModified());
    EXPECT_EQ(ReadBytes(Local(first)), original);
}

TEST(DocumentSave, AFailedSaveLeavesTheFileAndTheModifiedMark)
{
    ProgramFixture program;
    const QString path = test::CopyDemo(program.dir);
    ASSERT_TRUE(program.Doc().OpenDocument(path));
    AddSubcontractor(program.Doc());
    const std::vector<unsigned char> original = ReadBytes(Local(path));
    for (SaveStep failing :
         {SaveStep::CreateTemporary, SaveStep::Write, SaveStep::Flush, SaveStep::Replace}) {
        program.Doc().SetContractSaver([failing](CContract& c, const std::string& p) {
            SaveOptions options;
            options.writer = [](CContract& contract, int fd) {
                return WriteContractDescriptor(contract, fd);
            };
            options.failStep = [failing](SaveStep step) { return step == failing; };
            return SaveContractSafely(c, p, options);
        });
        program.asker.asked.clear();
        EXPECT_FALSE(program.Doc().DoFileSave());
        ASSERT_EQ(program.asker.asked.size(), 1u);
        EXPECT_EQ(program.asker.asked[0].icon, QMessageBox::Warning);
        // The file, the reason, and that nothing was lost.
        const QString& told = program.asker.asked[0].text;
        EXPECT_TRUE(
            told.startsWith(QStringLiteral("The contract could not be saved to %1.").arg(path)) &&
            told.contains(QStringLiteral("The file on disk is unchanged, and your changes are still open")))
            << Local(told);
        EXPECT_EQ(told.contains(QStringLiteral("Cannot write file: No space left on device.")),
                  failing == SaveStep::Write);
        EXPECT_TRUE(program.Doc().IsModified());
        EXPECT_TRUE(FlagTest(program.Doc().Contract()->m_wFlags, CONTRACT_MODIFIED));
        EXPECT_EQ(ReadBytes(Local(path)), original);
        EXPECT_EQ(test::FolderEntries(program.dir.path()).count("DEMO.CON"), 1u);
    }
    // A save into a folder that is gone fails the same way, for real.
    program.Doc().SetContractSaver([](CContract& c, const std::string& p) { return SaveContract(c, p); });
    program.asker.saveFile = Q(program.dir.file("gone/X.CON"));
    EXPECT_FALSE(program.Doc().DoSaveAs());
    EXPECT_TRUE(program.Doc().IsModified());
    EXPECT_EQ(program.Doc().PathName(), path);
    // Then a save that works clears the mark and keeps the history.
    EXPECT_TRUE(program.Doc().DoFileSave());
    EXPECT_FALSE(program.Doc().IsModified());
    EXPECT_EQ(program.Doc().UndoStack().count(), 1);
    std::unique_ptr<CContract> saved;
    ASSERT_EQ(ReadContractFile(Local(path), saved), 0);
    EXPECT_EQ(saved->m_pSubTable->m_Records.GetSize(), Records(program.Doc()));
}

TEST(DocumentSave, SaveAsNamesTheDocumentAfterTheNewFile)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Doc().OpenDocument(test::CopyDemo(program.dir)));
    program.asker.saveFile.clear(); // cancelled
    EXPECT_FALSE(program.Doc().DoSaveAs());
    program.asker.saveFile = Q(program.dir.file("COPY.CON"));
    ASSERT_TRUE(program.Doc().DoSaveAs());
    EXPECT_EQ(program.Doc().PathName(), program.asker.saveFile);
    EXPECT_EQ(program.Doc().WindowTitle(), QStringLiteral("Tollgate Kestrel - COPY.CON"));
    std::unique_ptr<CContract> saved;
    EXPECT_EQ(ReadContractFile(program.dir.file("COPY.CON"), saved), 0);
    EXPECT_TRUE(FlagTest(saved->m_wFlags, CONTRACT_SAVED_BY_US));
}

TEST(DocumentModified, FollowsTheUndoStack)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Doc().OpenDocument(test::CopyDemo(program.dir)));
    CSubDoc& doc = program.Doc();
    EXPECT_FALSE(doc.IsModified());
    AddSubcontractor(doc);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(program.Frame().isWindowModified());
    doc.UndoStack().undo();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(FlagTest(doc.Contract()->m_wFlags, CONTRACT_MODIFIED));
    EXPECT_FALSE(program.Frame().isWindowModified());
    doc.UndoStack().redo();
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.DoFileSave());
    EXPECT_FALSE(doc.IsModified());
    // Undoing past the save makes the contract differ from the file again.
    doc.UndoStack().undo();
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(FlagTest(doc.Contract()->m_wFlags, CONTRACT_MODIFIED));
    doc.UndoStack().redo();
    EXPECT_FALSE(doc.IsModified());
}

TEST(DocumentModified, AChangeThatChangesNothingIsNotKept)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Doc().OpenDocument(test::CopyDemo(program.dir)));
    CSubDoc& doc = program.Doc();
    CSubcontract* top = doc.Contract()->m_pSubTable->m_Records[0];
    ASSERT_EQ(top->m_pParent, nullptr);
    // Moving a top-level record to where it already is: refused, shown with
    // the refusal's caption, nothing on the stack.
    EXPECT_FALSE(doc.ApplyEdit(doc.Edits()->MoveSubcontractor(*top, nullptr)));
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked[0].caption, QString::fromLatin1(RefusalCaption(Refusal::NotAllowed)));
    EXPECT_EQ(program.asker.asked[0].icon, QMessageBox::Warning);
    EXPECT_EQ(doc.UndoStack().count(), 0);
    EXPECT_FALSE(doc.IsModified());
}

TEST(DocumentClose, TheSaveQuestionWithItsThreeAnswers)
{
    ProgramFixture program;
    const QString path = test::CopyDemo(program.dir);
    ASSERT_TRUE(program.Doc().OpenDocument(path));
    const std::vector<unsigned char> original = ReadBytes(Local(path));
    AddSubcontractor(program.Doc());

    program.asker.answers = {QMessageBox::Cancel};
    EXPECT_FALSE(program.Frame().close());
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked[0].text, QStringLiteral("Save changes to DEMO.CON?"));
    EXPECT_EQ(program.asker.asked[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_TRUE(program.Frame().isVisible());
    EXPECT_EQ(ReadBytes(Local(path)), original);

    program.asker.answers = {QMessageBox::No};
    EXPECT_TRUE(program.Frame().close());
    EXPECT_EQ(ReadBytes(Local(path)), original);
    // Closing saved the settings.
    EXPECT_TRUE(QFileInfo::exists(program.iniPath));

    program.Frame().show();
    program.asker.answers = {QMessageBox::Yes};
    EXPECT_TRUE(program.Frame().close());
    EXPECT_NE(ReadBytes(Local(path)), original);
    EXPECT_FALSE(program.Doc().IsModified());
}

TEST(DocumentClose, NewDocumentAsksAndEmptiesTheDocument)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Doc().OpenDocument(test::CopyDemo(program.dir)));
    AddSubcontractor(program.Doc());
    program.asker.answers = {QMessageBox::Cancel};
    EXPECT_FALSE(program.Doc().OnNewDocument());
    EXPECT_TRUE(program.Doc().HasContract());
    program.asker.answers = {QMessageBox::No};
    EXPECT_TRUE(program.Doc().OnNewDocument());
    EXPECT_FALSE(program.Doc().HasContract());
    EXPECT_EQ(program.Tree().topLevelItemCount(), 0);
    EXPECT_EQ(program.Doc().WindowTitle(), QStringLiteral("Tollgate Kestrel"));
    EXPECT_EQ(program.Doc().UndoStack().count(), 0);
}

TEST(DocumentCheck, ErrorsShowTheErrorList)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Doc().OpenDocument(test::CopyDemo(program.dir)));
    program.Doc().OnCheckContract();
    ASSERT_EQ(program.asker.errorLists, 1);
    const CheckResult& check = program.Doc().Edits()->LastCheck();
    ASSERT_FALSE(check.messages.empty());
    ASSERT_EQ(program.asker.errorListLines.size(), qsizetype(check.messages.size()));
    for (size_t i = 0; i < check.messages.size(); ++i)
        EXPECT_EQ(program.asker.errorListLines[qsizetype(i)], Q(check.messages[i].text));
    EXPECT_TRUE(FlagTest(program.Doc().Contract()->m_wFlags, CONTRACT_BID_ERRORS));
    EXPECT_TRUE(program.asker.asked.empty());
}

TEST(DocumentCheck, ACompleteContractSaysSo)
{
    ProgramFixture program;
    auto contract = test::SmallContract(2);
    const QString path = test::WriteContract(*contract, program.dir.file("SMALL.CON"));
    ASSERT_TRUE(program.Doc().OpenDocument(path));
    program.Doc().OnCheckContract();
    EXPECT_EQ(program.asker.errorLists, 0);
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked[0].caption, QStringLiteral("Contract Check"));
    EXPECT_EQ(program.asker.asked[0].text, QStringLiteral("Contract Is Complete"));
    EXPECT_EQ(program.asker.asked[0].icon, QMessageBox::Warning);
}

TEST(ErrorList, EscPrintsAndTheTitleBarOnlyCloses)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Doc().OpenDocument(test::CopyDemo(program.dir)));
    int printed = 0;
    bool stillOpen = false;
    program.asker.onErrorList = [&](CSubErrors& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Tollgate Error List"));
        dialog.SetPrintHandler([&](CSubErrors&) { ++printed; });
        dialog.show();
        dialog.reject(); // what Esc and the cancel button do
        stillOpen = dialog.isVisible();
        dialog.PrintButton()->click();
        dialog.close(); // the title-bar button
    };
    program.Doc().OnCheckContract();
    EXPECT_EQ(printed, 2);
    EXPECT_TRUE(stillOpen);
}

TEST(DocumentCopy, ContractItemsFromTheTree)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Doc().OpenDocument(test::CopyDemo(program.dir)));
    CSubTreeView& tree = program.Tree();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    // Another node: nothing is copied.
    tree.setCurrentItem(tree.ContractNode());
    tree.setFocus();
    QApplication::setActiveWindow(&program.Frame());
    ASSERT_EQ(QApplication::focusWidget(), &tree);
    program.Doc().OnEditCopy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    tree.setCurrentItem(tree.FindKind(NODE_CONTRACT_ITEMS));
    tree.setFocus();
    program.Frame().Action(QStringLiteral("editCopy"))->trigger();
    const QString expected = Q(ContractItemsText(*program.Doc().Contract()));
    EXPECT_FALSE(expected.isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);
    // A subcontractor that bears the node's name is not the node.
    CWinMeta& table = *program.Doc().Contract()->m_pSubTable;
    ASSERT_TRUE(program.Doc().ApplyEdit(
        program.Doc().Edits()->SetCell(table, *table.m_Records[0], SUBF_NAME, "Contract Items")));
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    tree.setCurrentItem(tree.FindNode(table.m_Records[0]));
    tree.setFocus();
    ASSERT_EQ(tree.SelectedNodeText(), QStringLiteral("Contract Items"));
    program.Doc().OnEditCopy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

TEST(DocumentCopy, TheFocusedGridCopiesItsRows)
{
    ProgramFixture program;
    ASSERT_TRUE(program.ShowDemo());
    CSubTreeView& tree = program.Tree();
    tree.setCurrentItem(tree.FindKind(NODE_CONTRACT_ITEMS));
    auto* view = qobject_cast<CDV_GridBase*>(program.Frame().View()->CurrentView());
    ASSERT_NE(view, nullptr);
    view->Grid()->setFocus();
    view->Grid()->MoveToRow(2);
    ASSERT_EQ(QApplication::focusWidget(), view->Grid());
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    program.Frame().Action(QStringLiteral("editCopy"))->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), view->Grid()->SelectedRowsText());
    EXPECT_NE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

TEST(DocumentCopy, AFocusedEditCopiesAndPastes)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Doc().OpenDocument(test::CopyDemo(program.dir)));
    QLineEdit edit(&program.Frame());
    edit.setText(QStringLiteral("abc"));
    edit.selectAll();
    edit.show();
    QApplication::setActiveWindow(&program.Frame());
    edit.setFocus();
    ASSERT_EQ(QApplication::focusWidget(), &edit);
    program.Doc().OnEditCopy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("abc"));
    EXPECT_TRUE(program.Doc().CanPaste());
    edit.clear();
    program.Doc().OnEditPaste();
    EXPECT_EQ(edit.text(), QStringLiteral("abc"));
}

} // namespace
} // namespace kestrel

namespace kestrel {
namespace {

TEST(DocumentOpen, TheLoadingWindowIsShownWhileReading)
{
    test::ProgramFixture program;
    std::vector<bool> shown;
    QObject::connect(&program.Doc(), &CSubDoc::loadingWindow, &program.Doc(),
                     [&shown](bool on) { shown.push_back(on); });
    ASSERT_TRUE(program.Doc().OpenDocument(test::CopyDemo(program.dir)));
    EXPECT_EQ(shown, std::vector<bool>({true, false}));
    EXPECT_EQ(program.Frame().LoadingWindow(), nullptr);
    shown.clear();
    EXPECT_FALSE(program.Doc().OpenDocument(test::Q(program.dir.file("NONE.CON"))));
    EXPECT_EQ(shown, std::vector<bool>({true, false}));
}

TEST(DocumentOpen, RecentFilesReopen)
{
    test::ProgramFixture program;
    const QString first = test::CopyDemo(program.dir, "A.CON");
    const QString second = test::CopyDemo(program.dir, "B.CON");
    ASSERT_TRUE(program.Doc().OpenDocument(first));
    ASSERT_TRUE(program.Doc().OpenDocument(second));
    EXPECT_EQ(program.App().Settings().recentFiles,
              QStringList({QFileInfo(second).absoluteFilePath(), QFileInfo(first).absoluteFilePath()}));
    QAction* recent = nullptr;
    for (QAction* action : program.Frame().findChildren<QAction*>())
        if (action->text() == QStringLiteral("&2 A.CON\tC24-0471-01"))
            recent = action;
    ASSERT_NE(recent, nullptr);
    recent->trigger();
    EXPECT_EQ(program.Doc().PathName(), QFileInfo(first).absoluteFilePath());
}

TEST(DocumentPrint, SavedAndCheckedAsTheSettingsSay)
{
    test::ProgramFixture program;
    const QString path = test::CopyDemo(program.dir);
    ASSERT_TRUE(program.Doc().OpenDocument(path));
    AddSubcontractor(program.Doc());
    std::vector<std::string> steps;
    program.asker.onErrorList = [&steps](CSubErrors&) { steps.push_back("errors"); };
    program.Doc().SetReportPrinter([&steps](CSubDoc&, PrintTarget target) {
        steps.push_back(target == PrintTarget::Preview   ? "preview"
                        : target == PrintTarget::Printer ? "print"
                                                         : "pdf");
    });
    // Save off, check on: the error list, then the printing.
    program.App().Settings().printSave = false;
    program.App().Settings().printCheck = true;
    program.Frame().Action(QStringLiteral("filePrint"))->trigger();
    EXPECT_EQ(steps, std::vector<std::string>({"errors", "print"}));
    EXPECT_TRUE(program.Doc().IsModified());
    // Save on, check off: saved, no list.
    steps.clear();
    program.App().Settings().printSave = true;
    program.App().Settings().printCheck = false;
    program.Frame().Action(QStringLiteral("filePrint"))->trigger();
    EXPECT_EQ(steps, std::vector<std::string>({"print"}));
    EXPECT_FALSE(program.Doc().IsModified());
    // Preview goes straight to the preview.
    steps.clear();
    program.App().Settings().printCheck = true;
    program.Frame().Action(QStringLiteral("filePrintPreview"))->trigger();
    EXPECT_EQ(steps, std::vector<std::string>({"preview"}));
    // Export to PDF is printing into a file: saved and checked first.
    steps.clear();
    AddSubcontractor(program.Doc());
    program.Frame().Action(QStringLiteral("fileExportPdf"))->trigger();
    EXPECT_EQ(steps, std::vector<std::string>({"errors", "pdf"}));
    EXPECT_FALSE(program.Doc().IsModified());
}

} // namespace
} // namespace kestrel
