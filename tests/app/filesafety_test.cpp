// What keeps the user's work safe from crashes and from other programs:
// the recovery copy written while changes are unsaved (and taken back after
// a killed run), the lock beside an open contract (released on every way
// out, and a read-only document for the second program), a file changed on
// disk noticed once, and the contract ID and folder the program remembers.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QUndoStack>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "app/asker.h"
#include "app/autosaver.h"
#include "app/fileguard.h"
#include "app/findbar.h"
#include "app/guitestsupport.h"
#include "app/mainframe.h"
#include "app/readonlyguard.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "file/contractfile.h"
#include "file/lockfile.h"
#include "file/ownerrecord.h"
#include "grid/gridmodel.h"
#include "grid/gridview.h"
#include "grid/itemgridfixture.h"
#include "grid/subitemdatasource.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "views/dv_subitemgrid.h"
#include "views/dv_template.h"
#include "views/subitemsplitter.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::ProgramFixture;
using test::Q;
using test::ReadBytes;

std::string Local(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

bool Locked(const QString& path)
{
    return fs::exists(CLockFile::LockPathFor(Local(path)));
}

int Records(CSubDoc& doc)
{
    return doc.Contract()->m_pSubTable->m_Records.GetSize();
}

void AddSubcontractor(CSubDoc& doc)
{
    ASSERT_TRUE(doc.ApplyEdit(doc.Edits()->AddSubcontractor(nullptr)));
}

// A copy of the demo contract, opened in the program.
QString OpenDemo(ProgramFixture& program)
{
    const QString demo = test::CopyDemo(program.dir);
    EXPECT_TRUE(program.Doc().OpenDocument(demo));
    return demo;
}

// The program comes back to the front.
void Activate()
{
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    QApplication::processEvents();
}

// Another program writes the file: a different contract.
void WriteOtherContract(const QString& path)
{
    std::unique_ptr<CContract> other = test::SmallContract(2);
    ASSERT_FALSE(test::WriteContract(*other, Local(path)).isEmpty());
}

TEST(LockFile, ReleasedOnEveryWayOut)
{
    std::optional<ProgramFixture> program(std::in_place);
    CSubDoc& doc = program->Doc();
    const QString a = test::CopyDemo(program->dir, "A.CON");
    const QString b = test::CopyDemo(program->dir, "B.CON");
    ASSERT_TRUE(doc.OpenDocument(a));
    EXPECT_TRUE(Locked(a));
    // Opening another contract.
    ASSERT_TRUE(doc.OpenDocument(b));
    EXPECT_FALSE(Locked(a));
    EXPECT_TRUE(Locked(b));
    // An open that fails: the lock taken for it goes, the open contract's
    // stays.
    const QString damaged = Q(program->dir.file("C.CON"));
    test::WriteText(Local(damaged), "not a contract");
    EXPECT_FALSE(doc.OpenDocument(damaged));
    EXPECT_FALSE(Locked(damaged));
    EXPECT_TRUE(Locked(b));
    // Save As to another name moves the lock to the new file.
    program->asker.saveFile = Q(program->dir.file("D.CON"));
    ASSERT_TRUE(doc.DoSaveAs());
    EXPECT_FALSE(Locked(b));
    EXPECT_TRUE(Locked(program->asker.saveFile));
    // Closing the contract.
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_FALSE(Locked(program->asker.saveFile));
    // Quitting.
    ASSERT_TRUE(doc.OpenDocument(a));
    EXPECT_TRUE(Locked(a));
    program->Frame().close();
    program.reset();
    EXPECT_FALSE(Locked(a));
}

TEST(LockFile, ASecondProgramIsToldWhoAndMayOnlyLook)
{
    ProgramFixture first;
    const QString demo = test::CopyDemo(first.dir);
    ASSERT_TRUE(first.Doc().OpenDocument(demo));
    const std::vector<unsigned char> onDisk = ReadBytes(Local(demo));

    ProgramFixture second;
    CSubDoc& doc = second.Doc();
    // Cancel: nothing is opened.
    second.asker.choices = {2};
    EXPECT_FALSE(doc.OpenDocument(demo));
    EXPECT_FALSE(doc.HasContract());
    ASSERT_EQ(second.asker.asked.size(), 1u);
    EXPECT_EQ(second.asker.asked[0].caption, QStringLiteral("Contract In Use"));
    EXPECT_TRUE(second.asker.asked[0].text.startsWith(QStringLiteral("DEMO.CON is open in another copy")));
    EXPECT_TRUE(second.asker.asked[0].text.contains(QString::fromStdString(CurrentOwner().host)));
    EXPECT_EQ(second.asker.choiceButtons[0],
              QStringList({QStringLiteral("Open &Read-Only"), QStringLiteral("Open &Anyway"),
                           QStringLiteral("Cancel")}));

    // Read-only: a change is refused and taken back, Save is not offered.
    second.asker.choices = {0};
    ASSERT_TRUE(doc.OpenDocument(demo));
    EXPECT_TRUE(doc.IsReadOnly());
    EXPECT_FALSE(second.Frame().findChild<QLabel*>(QStringLiteral("readOnlyPane"))->isHidden());
    EXPECT_TRUE(second.Frame().windowTitle().contains(QStringLiteral("DEMO.CON (Read-Only)")));
    const std::vector<unsigned char> opened = WriteContractStream(*doc.Contract());
    {
        // Typing into a form is stopped before it starts: no text, no
        // refusal after the fact, the reason in the status bar.
        second.Tree().setCurrentItem(second.Tree().FindKind(NODE_MISC_DATA));
        auto* form = qobject_cast<CDV_Template*>(second.Frame().View()->RightPane());
        ASSERT_NE(form, nullptr);
        auto* field = qobject_cast<QLineEdit*>(form->FieldControl(0));
        ASSERT_NE(field, nullptr);
        const QString before = field->text();
        const size_t questions = second.asker.asked.size();
        field->setFocus();
        QTest::keyClicks(field, QStringLiteral("x9"));
        QTest::keyClick(field, Qt::Key_Backspace);
        EXPECT_EQ(field->text(), before);
        EXPECT_EQ(second.asker.asked.size(), questions);
        EXPECT_EQ(second.Frame().statusBar()->currentMessage(), CReadOnlyGuard::Notice());
        // Nor is a "Use?" box of a subcontractor's items ticked.
        QTreeWidgetItem* node = second.Tree().FindNode(doc.Contract()->m_pSubTable->m_Records[0]);
        for (int i = 0; i < node->childCount(); ++i)
            if (CSubTreeView::KindOf(node->child(i)) == NODE_SUB_ITEMS)
                second.Tree().setCurrentItem(node->child(i));
        QApplication::processEvents();
        auto* items = qobject_cast<CDV_SubItemGrid*>(second.Frame().View()->ItemSplitter()->Upper());
        ASSERT_NE(items, nullptr);
        test::ClickCell(*items->Grid(),
                        items->Grid()->Model()->index(1, CSubItemDataSource::ColumnId::ColUse));
        EXPECT_EQ(second.asker.asked.size(), questions);
        EXPECT_EQ(WriteContractStream(*doc.Contract()), opened);
    }
    EXPECT_TRUE(second.Frame().Action(QStringLiteral("fileSave"))->isEnabled()); // it offers Save As
    EXPECT_TRUE(second.Frame().Action(QStringLiteral("fileSaveAs"))->isEnabled());
    EXPECT_FALSE(second.Frame().Action(QStringLiteral("editAddSub"))->isEnabled());
    EXPECT_FALSE(doc.ApplyEdit(doc.Edits()->AddSubcontractor(nullptr)));
    EXPECT_TRUE(second.asker.asked.back().text.contains(QStringLiteral("open read-only")));
    EXPECT_EQ(WriteContractStream(*doc.Contract()), opened);
    // Changes made together (a quote's lines) are all taken back; a quote
    // is not offered.
    std::vector<AppliedEdit> group;
    for (int i = 0; i < 2; ++i) {
        EditResult added = doc.Edits()->AddSubcontractor(nullptr);
        ASSERT_TRUE(added);
        group.push_back(std::move(added).value());
    }
    doc.ApplyEditGroup(QStringLiteral("Import Quote"), std::move(group));
    EXPECT_EQ(WriteContractStream(*doc.Contract()), opened);
    second.Tree().setCurrentItem(second.Tree().FindNode(doc.Contract()->m_pSubTable->m_Records[0]));
    EXPECT_FALSE(second.Frame().Action(QStringLiteral("fileImportQuote"))->isEnabled());
    EXPECT_EQ(doc.UndoStack().count(), 0);
    EXPECT_FALSE(doc.IsModified());
    // Saving it under the name of the contract the first program holds is
    // refused; under another name it is this program's own.
    second.asker.saveFile = demo;
    EXPECT_FALSE(doc.DoSaveAs());
    EXPECT_TRUE(doc.IsReadOnly());
    second.asker.saveFile = Q(second.dir.file("MINE.CON"));
    ASSERT_TRUE(doc.DoSaveAs());
    EXPECT_FALSE(doc.IsReadOnly());
    EXPECT_FALSE(second.Frame().windowTitle().contains(QStringLiteral("Read-Only")));
    EXPECT_TRUE(Locked(second.asker.saveFile));
    EXPECT_TRUE(Locked(demo)); // still the first program's
    AddSubcontractor(doc);
    EXPECT_EQ(ReadBytes(Local(demo)), onDisk);

    // Open Anyway opens it to be changed, without a lock: the lock stays
    // the first program's, also once this one has quit.
    const std::string firstsLock = test::ReadText(CLockFile::LockPathFor(Local(demo)));
    auto third = std::make_unique<ProgramFixture>();
    third->asker.choices = {1};
    ASSERT_TRUE(third->Doc().OpenDocument(demo));
    EXPECT_FALSE(third->Doc().IsReadOnly());
    EXPECT_FALSE(third->Doc().Guard().LockHeld());
    EXPECT_EQ(test::ReadText(CLockFile::LockPathFor(Local(demo))), firstsLock);
    third->Frame().close();
    third.reset();
    ASSERT_TRUE(Locked(demo));
    EXPECT_EQ(test::ReadText(CLockFile::LockPathFor(Local(demo))), firstsLock);
    ASSERT_TRUE(first.Doc().OnNewDocument());
    EXPECT_FALSE(Locked(demo));
}

TEST(LockFile, ReadOnlyInsertIsRefusedWhereItStandsAndCtrlSOffersSaveAs)
{
    ProgramFixture first;
    const QString demo = test::CopyDemo(first.dir);
    ASSERT_TRUE(first.Doc().OpenDocument(demo));
    ProgramFixture second;
    ASSERT_TRUE(second.OpenReadOnly(demo));
    second.Frame().show();
    QApplication::setActiveWindow(&second.Frame());
    QTreeWidgetItem* node = second.Tree().FindNode(second.Doc().Contract()->m_pSubTable->m_Records[1]);
    second.Tree().setCurrentItem(node);
    second.Tree().setFocus();
    const size_t told = second.asker.asked.size();
    QTest::keyClick(&second.Tree(), Qt::Key_Insert);
    EXPECT_EQ(second.Tree().currentItem(), node);
    ASSERT_EQ(second.asker.asked.size(), told + 1);
    EXPECT_TRUE(second.asker.asked.back().text.contains(QStringLiteral("open read-only")));
    EXPECT_EQ(second.Doc().UndoStack().count(), 0);
    QTest::keyClick(&second.Tree(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(second.asker.saveDialogs, 1);
}

// A lock that cannot be made (a name too long for one beside it, or
// something in the lock's place) does not stop the open, and the status
// bar says that others will not see it is open.
TEST(LockFile, OneThatCannotBeMadeIsSaidInTheStatusBar)
{
    ProgramFixture program;
    const QString longName = test::CopyDemo(program.dir, std::string(250, 'L') + ".CON");
    const QString blocked = test::CopyDemo(program.dir, "BLOCKED.CON");
    fs::create_directory(CLockFile::LockPathFor(Local(blocked)));
    for (const QString& path : {longName, blocked}) {
        ASSERT_TRUE(program.Doc().OpenDocument(path));
        const QString said = program.Frame().statusBar()->currentMessage();
        EXPECT_TRUE(said.startsWith(QFileInfo(path).fileName() + QStringLiteral(" could not be locked (")) &&
                    said.endsWith(QStringLiteral("others who open it will not see that it is open here")))
            << Local(said);
    }
}

TEST(ChangedOnDisk, NoticedOnceWhenTheProgramComesBack)
{
    ProgramFixture program;
    CSubDoc& doc = program.Doc();
    const QString demo = OpenDemo(program);
    ASSERT_TRUE(doc.HasContract());
    Activate();
    EXPECT_TRUE(program.asker.asked.empty()) << "an unchanged file is no question";
    AddSubcontractor(doc);
    const int records = Records(doc);

    WriteOtherContract(demo);
    program.asker.choices = {1}; // keep this version
    Activate();
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_TRUE(program.asker.asked[0].text.contains(QStringLiteral("Your unsaved changes will be lost")));
    EXPECT_EQ(program.asker.choiceButtons[0],
              QStringList({QStringLiteral("&Reload"), QStringLiteral("&Keep This Version")}));
    Activate();
    EXPECT_EQ(program.asker.asked.size(), 1u) << "asked once per change";
    // The save overwrites the file without asking again.
    ASSERT_TRUE(doc.DoFileSave());
    EXPECT_EQ(program.asker.asked.size(), 1u);
    std::unique_ptr<CContract> saved;
    ASSERT_EQ(ReadContractFile(Local(demo), saved), 0);
    EXPECT_EQ(saved->m_pSubTable->m_Records.GetSize(), records);

    // Changed again: asked again; Reload reads the file.
    WriteOtherContract(demo);
    program.asker.choices = {0};
    Activate();
    ASSERT_EQ(program.asker.asked.size(), 2u);
    EXPECT_FALSE(program.asker.asked[1].text.contains(QStringLiteral("will be lost")));
    EXPECT_EQ(Q(std::string(doc.Contract()->pszContractID().View())), QStringLiteral("T-100"));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.UndoStack().count(), 0);
    EXPECT_TRUE(Locked(demo));
}

// Enter takes the choice that loses nothing: the changes made here while
// there are any, else the file as the other program left it.
TEST(ChangedOnDisk, TheDefaultAnswerLosesNothing)
{
    for (const bool modified : {true, false}) {
        ProgramFixture program;
        const QString demo = OpenDemo(program);
        if (modified)
            AddSubcontractor(program.Doc());
        WriteOtherContract(demo);
        Activate();
        ASSERT_EQ(program.asker.choiceDefaults.size(), 1u);
        const QStringList& buttons = program.asker.choiceButtons.at(0);
        const int chosen = program.asker.choiceDefaults[0];
        EXPECT_EQ(buttons.value(chosen),
                  modified ? QStringLiteral("&Keep This Version") : QStringLiteral("&Reload"));
        const auto box = MakeChoiceBox(nullptr, QString(), QString(), buttons, QMessageBox::Question, chosen);
        EXPECT_EQ(box->defaultButton()->property("choice").toInt(), chosen);
    }
}

TEST(ChangedOnDisk, ASaveOverAChangedFileAsksFirst)
{
    ProgramFixture program;
    CSubDoc& doc = program.Doc();
    const QString demo = OpenDemo(program);
    ASSERT_TRUE(doc.HasContract());
    AddSubcontractor(doc);
    WriteOtherContract(demo);
    const std::vector<unsigned char> theirs = ReadBytes(Local(demo));
    // Reload: the save does not happen, the file stays the other's.
    program.asker.choices = {0};
    EXPECT_FALSE(doc.DoFileSave());
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(ReadBytes(Local(demo)), theirs);
    EXPECT_EQ(Q(std::string(doc.Contract()->pszContractID().View())), QStringLiteral("T-100"));
}

TEST(Recovery, TheCopyLivesOnlyWhileChangesAreUnsaved)
{
    ProgramFixture program;
    CSubDoc& doc = program.Doc();
    CAutoSaver& saver = *program.App().AutoSaver();
    const QString demo = OpenDemo(program);
    ASSERT_TRUE(doc.HasContract());
    const std::vector<unsigned char> onDisk = ReadBytes(Local(demo));
    const std::string copy = saver.Store().CopyPathFor(Local(demo));
    // Beside the settings file, never over the user's file.
    EXPECT_EQ(fs::path(copy).parent_path(), fs::path(program.dir.file("recovery")));
    EXPECT_FALSE(saver.SaveNow()) << "nothing to keep before a change";

    AddSubcontractor(doc);
    ASSERT_TRUE(saver.SaveNow());
    EXPECT_TRUE(fs::exists(copy));
    EXPECT_EQ(ReadBytes(Local(demo)), onDisk);
    // Back at the saved state by undo: nothing to recover.
    doc.UndoStack().undo();
    EXPECT_FALSE(fs::exists(copy));
    // The idle timer writes it by itself.
    saver.SetIntervals(10, 60 * 1000);
    AddSubcontractor(doc);
    QElapsedTimer clock;
    clock.start();
    while (!fs::exists(copy) && clock.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(fs::exists(copy));
    // A save removes it.
    ASSERT_TRUE(doc.DoFileSave());
    EXPECT_FALSE(fs::exists(copy));
    // Closing the contract without saving.
    AddSubcontractor(doc);
    ASSERT_TRUE(saver.SaveNow());
    program.asker.answers = {QMessageBox::No};
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_FALSE(fs::exists(copy));
    // A clean exit.
    ASSERT_TRUE(doc.OpenDocument(demo));
    AddSubcontractor(doc);
    ASSERT_TRUE(saver.SaveNow());
    program.App().ExitInstance();
    EXPECT_FALSE(fs::exists(copy));
}

// A recovery folder another user could have made first (settings in a
// shared folder): not used, and the status bar says so from the start.
TEST(Recovery, AFolderOthersMayChangeIsNotUsedAndSaidSo)
{
    test::TempDir shared;
    const std::string folder = shared.file("recovery");
    fs::create_directory(folder);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    const QString refusal = QStringLiteral("No recovery copy: The recovery folder %1 may be changed by other "
                                           "users, so it is not used")
                                .arg(Q(folder));
    ProgramFixture program({QStringLiteral("/ini=") + Q(shared.file("kestrel.ini"))});
    EXPECT_EQ(program.Frame().statusBar()->currentMessage(), refusal);
}

// A run of the program on the contract that adds two subcontractors and
// has its recovery copy written; killing it (SIGKILL: no clean-up of any
// kind) leaves that copy behind.
std::unique_ptr<QProcess> StartRunWithTwoChanges(const QString& ini, const QString& contract)
{
    auto child = std::make_unique<QProcess>();
    child->start(QStringLiteral(KESTREL_RECOVERY_CHILD), {ini, contract});
    EXPECT_TRUE(child->waitForStarted(30000));
    QByteArray said;
    while (!said.contains("ready") && child->state() == QProcess::Running && child->waitForReadyRead(60000))
        said += child->readAllStandardOutput();
    EXPECT_TRUE(said.contains("ready")) << child->readAllStandardError().toStdString();
    return child;
}

void Kill(QProcess& child)
{
    child.kill();
    child.waitForFinished(30000);
}

TEST(Recovery, AKilledRunsChangesAreOfferedAndTakenBack)
{
    test::TempDir files;
    const QString demo = test::CopyDemo(files);
    const QString ini = QStringLiteral("/ini=") + Q(files.file("kestrel.ini"));
    const std::vector<unsigned char> onDisk = ReadBytes(Local(demo));
    int records = 0;
    {
        std::unique_ptr<CContract> contract;
        ASSERT_EQ(ReadContractFile(Local(demo), contract), 0);
        records = contract->m_pSubTable->m_Records.GetSize();
    }

    Kill(*StartRunWithTwoChanges(ini, demo));
    EXPECT_EQ(ReadBytes(Local(demo)), onDisk) << "autosave never writes the user's file";
    EXPECT_TRUE(Locked(demo)) << "the killed run's lock is left behind";

    {
        // Later: nothing opened, the copy kept.
        ProgramFixture later({ini});
        ASSERT_EQ(later.asker.asked.size(), 1u);
        EXPECT_EQ(later.asker.asked[0].caption, QStringLiteral("Recover Unsaved Changes"));
        EXPECT_TRUE(later.asker.asked[0].text.contains(QStringLiteral("DEMO.CON")));
        EXPECT_EQ(
            later.asker.choiceButtons[0],
            QStringList({QStringLiteral("&Recover"), QStringLiteral("&Discard"), QStringLiteral("&Later")}));
        EXPECT_FALSE(later.Doc().HasContract());
    }
    ProgramFixture program({ini}, [](test::ScriptedAsker& asker) { asker.choices = {0}; });
    CSubDoc& doc = program.Doc();
    ASSERT_TRUE(doc.HasContract());
    EXPECT_EQ(QFileInfo(doc.PathName()).canonicalFilePath(), QFileInfo(demo).canonicalFilePath());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(doc.IsReadOnly()) << "the dead run's lock is taken over";
    EXPECT_EQ(Records(doc), records + 2);
    EXPECT_EQ(ReadBytes(Local(demo)), onDisk);
    // Saving writes the user's file and ends the copy.
    ASSERT_TRUE(doc.DoFileSave());
    std::unique_ptr<CContract> saved;
    ASSERT_EQ(ReadContractFile(Local(demo), saved), 0);
    EXPECT_EQ(saved->m_pSubTable->m_Records.GetSize(), records + 2);
    EXPECT_FALSE(fs::exists(program.App().AutoSaver()->Store().CopyPathFor(Local(demo))));
}

TEST(Recovery, ACopyNotTakenAtTheStartIsOfferedWhenItsContractIsOpened)
{
    test::TempDir files;
    const QString first = test::CopyDemo(files);
    const QString second = Q(files.file("OTHER.CON"));
    ASSERT_TRUE(QFile::copy(first, second));
    const QString ini = QStringLiteral("/ini=") + Q(files.file("kestrel.ini"));
    const std::vector<unsigned char> onDisk = ReadBytes(Local(first));
    // Both runs at once: neither is asked about the other's copy.
    const std::unique_ptr<QProcess> firstRun = StartRunWithTwoChanges(ini, first);
    const std::unique_ptr<QProcess> secondRun = StartRunWithTwoChanges(ini, second);
    Kill(*firstRun);
    Kill(*secondRun);

    // The newest copy is recovered at the start; the other stays.
    ProgramFixture program({ini}, [](test::ScriptedAsker& asker) { asker.choices = {0}; });
    CSubDoc& doc = program.Doc();
    ASSERT_TRUE(doc.HasContract());
    ASSERT_EQ(program.asker.asked.size(), 1u);
    const int records = Records(doc);
    const QString other = QFileInfo(doc.PathName()).fileName() == QStringLiteral("DEMO.CON") ? second : first;

    // Opening the other contract offers its copy, once the open is over.
    const auto offers = [&program] {
        return std::count_if(program.asker.asked.begin(), program.asker.asked.end(),
                             [](const auto& question) {
                                 return question.caption == QStringLiteral("Recover Unsaved Changes");
                             });
    };
    program.asker.answers = {QMessageBox::No}; // the recovered changes are not kept
    program.asker.choices = {0};
    ASSERT_TRUE(doc.OpenDocument(other));
    QApplication::processEvents();
    ASSERT_EQ(offers(), 2);
    EXPECT_TRUE(program.asker.asked.back().text.contains(QFileInfo(other).fileName()));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Records(doc), records);
    EXPECT_EQ(ReadBytes(Local(other)), onDisk) << "nothing written until the user saves";
    // Taken: opening it again asks nothing more.
    ASSERT_TRUE(doc.DoFileSave());
    ASSERT_TRUE(doc.OpenDocument(other));
    QApplication::processEvents();
    EXPECT_EQ(offers(), 2);
}

TEST(RememberedSettings, RecentFilesShowTheContractIdAndThePanelsComeBack)
{
    test::TempDir files;
    const QString ini = QStringLiteral("/ini=") + Q(files.file("kestrel.ini"));
    const QString demo = test::CopyDemo(files);
    const QString other = test::WriteContract(*test::SmallContract(1), files.file("OTHER.CON"));
    auto recentTexts = [](ProgramFixture& program) {
        QStringList texts;
        for (QAction* action : program.Frame().findChildren<QAction*>())
            if (action->statusTip() == QStringLiteral("Open this document"))
                texts << action->text();
        return texts;
    };
    {
        ProgramFixture program({ini});
        ASSERT_TRUE(program.Doc().OpenDocument(demo));
        ASSERT_TRUE(program.Doc().OpenDocument(other));
        EXPECT_EQ(recentTexts(program), QStringList({QStringLiteral("&1 OTHER.CON\tT-100"),
                                                     QStringLiteral("&2 DEMO.CON\tC24-0471-01")}));
        program.App().Settings().pdfFolder = Q(files.path());
        // The panels shown are shown again; the find bar is not.
        program.Frame().Action(QStringLiteral("viewCheckPanel"))->trigger();
        program.Frame().Action(QStringLiteral("editFind"))->trigger();
        program.Frame().close();
    }
    // Kept with the list in the settings; an ID stored for a file the list
    // no longer names at that place is not shown.
    {
        QSettings store(Q(files.file("kestrel.ini")), QSettings::IniFormat);
        store.setValue(QStringLiteral("Recent Contract IDs/File2"), QStringLiteral("/elsewhere/X.CON"));
    }
    ProgramFixture program({ini});
    EXPECT_EQ(recentTexts(program),
              QStringList({QStringLiteral("&1 OTHER.CON\tT-100"), QStringLiteral("&2 DEMO.CON")}));
    EXPECT_EQ(program.App().Settings().pdfFolder, Q(files.path()));
    EXPECT_TRUE(program.Frame().Action(QStringLiteral("viewCheckPanel"))->isChecked());
    EXPECT_FALSE(program.Frame().findChild<CFindBar*>()->isVisible());
}

TEST(RememberedSettings, ThePdfExportStartsInTheFolderUsedLast)
{
    ProgramFixture program;
    const QString demo = test::CopyDemo(program.dir);
    ASSERT_TRUE(program.Doc().OpenDocument(demo));
    program.App().Settings().printSave = false;
    program.App().Settings().printCheck = false;
    QAction* exportPdf = program.Frame().Action(QStringLiteral("fileExportPdf"));
    // Beside the contract at first.
    exportPdf->trigger();
    EXPECT_EQ(program.asker.pdfSuggestion, Q(program.dir.file("DEMO.pdf")));
    const fs::path reports = fs::path(program.dir.path()) / "reports";
    fs::create_directory(reports);
    program.asker.pdfFile = Q((reports / "bid.pdf").string());
    exportPdf->trigger();
    ASSERT_TRUE(fs::exists(reports / "bid.pdf"));
    exportPdf->trigger();
    EXPECT_EQ(program.asker.pdfSuggestion, Q((reports / "DEMO.pdf").string()));
    // A folder that is gone is no suggestion.
    program.asker.pdfFile.clear();
    fs::remove_all(reports);
    exportPdf->trigger();
    EXPECT_EQ(program.asker.pdfSuggestion, Q(program.dir.file("DEMO.pdf")));
}

} // namespace
} // namespace kestrel
