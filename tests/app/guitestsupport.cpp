#include "app/guitestsupport.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QRect>

#include <filesystem>

#include "app/kvlload.h"
#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/suberrors.h"
#include "app/subtreeview.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"

#include <QListWidget>

namespace kestrel::test {

QMessageBox::StandardButton ScriptedAsker::Ask(QWidget*, const QString& caption, const QString& text,
                                               QMessageBox::StandardButtons buttons, QMessageBox::Icon icon)
{
    asked.push_back({caption, text, buttons, icon});
    if (!answers.empty()) {
        const QMessageBox::StandardButton answer = answers.front();
        answers.pop_front();
        return answer;
    }
    if (buttons & QMessageBox::Ok)
        return QMessageBox::Ok;
    if (buttons & QMessageBox::No)
        return QMessageBox::No;
    return QMessageBox::Cancel;
}

ProposalChoice ScriptedAsker::ChooseProposal(QWidget* parent, const QString& library, const QString& patterns,
                                             const QString& title)
{
    // The program's own dialog, driven as a user would: the line of the
    // proposal chosen, then OK.
    CKVLLoad dialog(*this, parent);
    dialog.m_strLibrary = library;
    dialog.m_strPatterns = patterns;
    dialog.m_strTitle = title;
    dialog.OnInitDialog();
    proposalTitle = dialog.windowTitle();
    proposalsOffered.clear();
    for (int i = 0; i < dialog.List()->count(); ++i)
        proposalsOffered.append(dialog.List()->item(i)->text());
    if (proposal.isEmpty())
        return {};
    const auto found = dialog.List()->findItems(proposal, Qt::MatchExactly);
    if (found.isEmpty())
        return {};
    dialog.List()->setCurrentItem(found.first());
    dialog.OnOK();
    if (dialog.result() != QDialog::Accepted)
        return {};
    return {true, dialog.m_strResult};
}

int ScriptedAsker::Choose(QWidget*, const QString& caption, const QString& text, const QStringList& buttons,
                          QMessageBox::Icon icon)
{
    asked.push_back({caption, text, QMessageBox::NoButton, icon});
    choiceButtons.push_back(buttons);
    if (choices.empty())
        return -1;
    const int answer = choices.front();
    choices.pop_front();
    return answer;
}

int ScriptedAsker::ChooseWithDefault(QWidget* parent, const QString& caption, const QString& text,
                                     const QStringList& buttons, QMessageBox::Icon icon, int defaultChoice)
{
    choiceDefaults.push_back(defaultChoice);
    return Choose(parent, caption, text, buttons, icon);
}

bool ScriptedAsker::SetUpPrinter(QWidget*, QPrinter& printer, const PrintDialogOptions& options)
{
    printDialogs.push_back(options);
    return onPrintDialog && onPrintDialog(printer);
}

void ScriptedAsker::ShowPreview(QDialog& preview)
{
    ++previews;
    if (onPreview)
        onPreview(preview);
}

int ScriptedAsker::RunDialog(QDialog& dialog)
{
    dialogsShown.append(dialog.objectName());
    return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
}

void ScriptedAsker::ShowErrorList(CSubErrors& dialog)
{
    ++errorLists;
    errorListLines.clear();
    for (int i = 0; i < dialog.List()->count(); ++i)
        errorListLines.append(dialog.List()->item(i)->text());
    if (onErrorList)
        onErrorList(dialog);
}

ProgramFixture::ProgramFixture(const QStringList& extraArguments,
                               const std::function<void(ScriptedAsker&)>& prepare)
{
    if (prepare)
        prepare(asker);
    iniPath = Q(dir.file("kestrel.ini"));
    QStringList arguments{QStringLiteral("/ini=") + iniPath};
    arguments += extraArguments;
    qputenv("KESTREL_NO_SPLASH", "1");
    m_app = std::make_unique<CSubApp>(arguments);
    m_app->SetAsker(&asker);
    m_app->SetWorkArea(QRect(0, 0, 1280, 800));
    m_app->InitInstance();
}

ProgramFixture::~ProgramFixture()
{
    m_app->ExitInstance();
}

bool ProgramFixture::OpenReadOnly(const QString& path)
{
    asker.choices = {0}; // Open Read-Only
    return Doc().OpenDocument(path) && Doc().IsReadOnly();
}

bool ProgramFixture::ShowDemo(int width, int height)
{
    if (!Doc().OpenDocument(CopyDemo(dir)))
        return false;
    Frame().resize(width, height);
    Frame().show();
    QApplication::setActiveWindow(&Frame());
    Tree().expandAll();
    QApplication::processEvents();
    return true;
}

CSubDoc& ProgramFixture::Doc()
{
    return *m_app->Document();
}

CMainFrame& ProgramFixture::Frame()
{
    return *m_app->MainFrame();
}

CSubTreeView& ProgramFixture::Tree()
{
    return *Frame().Tree();
}

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

QString CopyDemo(const TempDir& dir, const std::string& name)
{
    const std::filesystem::path samples(KESTREL_SAMPLES);
    for (const char* file : {"VENDORS.BIN", "WORKTYPE.LST"})
        std::filesystem::copy_file(samples / file, std::filesystem::path(dir.path()) / file,
                                   std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(samples / "DEMO.CON", dir.file(name),
                               std::filesystem::copy_options::overwrite_existing);
    return Q(dir.file(name));
}

QString WriteContract(CContract& contract, const std::string& path)
{
    if (WriteContractFile(contract, path) != 0)
        return QString();
    return Q(path);
}

std::unique_ptr<CContract> SmallContract(int subcontractors)
{
    auto c = std::make_unique<CContract>();
    c->m_strHeader[HDR_CONTRACT_ID] = std::string("T-100");
    c->m_QuanFormat = NumberFormat{9, 3};
    c->m_UPFormat = NumberFormat{8, 2};
    c->m_ExtFormat = NumberFormat{9, 2};
    AddHeading(*c, "0001");
    AddItem(*c, "0010", 100, 2.5);
    AddItem(*c, "0020", 10, 40);
    c->m_pSubTable = MakeTextTable(24);
    for (int i = 0; i < subcontractors; ++i)
        AddSub(*c, "Sub " + std::to_string(i + 1));
    FlagSet(c->m_wFlags, CONTRACT_SHOW_ITEMS, 1);
    FlagSet(c->m_wFlags, CONTRACT_DRAG_TIERS, 1);
    c->RecalculateContract();
    return c;
}

} // namespace kestrel::test
