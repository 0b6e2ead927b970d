#include "app/mainframe.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDockWidget>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoStack>
#include <QUndoView>

#include <algorithm>

#include "app/aboutdlg.h"
#include "app/amendmentcommand.h"
#include "app/checkpanel.h"
#include "app/contractnavigator.h"
#include "app/exchangecommands.h"
#include "app/findbar.h"
#include "app/loadingmessagedialog.h"
#include "app/optionssheet.h"
#include "app/painticons.h"
#include "app/readonlyguard.h"
#include "app/reportprinting.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "app/undokeyrouter.h"
#include "edit/changeevent.h"

namespace kestrel {

CMainFrame::CMainFrame(CSubDoc& doc, CSubSettings& settings, QWidget* parent)
    : QMainWindow(parent), m_doc(doc), m_settings(settings)
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);
    m_view = new CSubView(doc, this);
    setCentralWidget(m_view);
    BuildActions();
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    new CReadOnlyGuard(m_doc, *m_view, Tree(), *statusBar(), this);
    BuildHistoryDock();
    BuildFinderPanels();
    Tree()->SetCommandActions(Action(QStringLiteral("editAddSub")), Action(QStringLiteral("editDeleteSub")));
    m_doc.SetMainWindow(this);

    m_optionsHook = [this](QWidget* parent) {
        COptionsSheet sheet(m_doc, screen() ? screen()->depth() : 32, parent);
        sheet.exec();
    };
    m_aboutHook = [](QWidget* parent) {
        CAboutDlg about(parent);
        about.exec();
    };
    connect(&m_doc, &CSubDoc::titleChanged, this, &CMainFrame::UpdateTitle);
    // Notices stay a while: they tell of a risk, not of a passing state.
    connect(&m_doc, &CSubDoc::statusNotice, this,
            [this](const QString& text) { statusBar()->showMessage(text, 60000); });
    connect(&m_doc, &CSubDoc::modifiedChanged, this, [this](bool modified) {
        setWindowModified(modified);
        UpdateCommandState();
    });
    connect(&m_doc, &CSubDoc::contractReshaped, this,
            [this] { ShowContractTotal(m_doc.ContractTotalText(), -1); });
    connect(&m_doc, &CSubDoc::documentReplaced, this, [this] {
        ShowContractTotal(m_doc.ContractTotalText(), -1);
        UpdateTitle();
        UpdateCommandState();
    });
    connect(&m_doc, &CSubDoc::contractChanged, this, [this](const ChangeEvent& event) {
        if (event.totalsChanged || event.kind == ChangeKind::Undone || event.kind == ChangeKind::Redone)
            ShowContractTotal(m_doc.ContractTotalText(), -1);
        UpdateCommandState();
    });
    connect(&m_doc, &CSubDoc::readOnlyChanged, this, [this](bool readOnly) {
        m_readOnlyPane->setVisible(readOnly);
        UpdateTitle();
        UpdateCommandState();
    });
    connect(&m_doc, &CSubDoc::loadingWindow, this, &CMainFrame::SetLoadingWindow);
    connect(&m_doc, &CSubDoc::notice, this,
            [this](const QString& text) { statusBar()->showMessage(text, 15000); });
    connect(&m_doc, &CSubDoc::recentFilesChanged, this, &CMainFrame::RebuildRecentFiles);
    connect(Tree(), &CSubTreeView::commandStateChanged, this, &CMainFrame::UpdateCommandState);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::UpdateCommandState);
    RebuildRecentFiles();
    UpdateTitle();
    UpdateCommandState();
}

CMainFrame::~CMainFrame()
{
    // The children go after this: what the document tells on the way (a
    // field stored as the focus leaves it) no longer reaches the window.
    disconnect(&m_doc, nullptr, this, nullptr);
    disconnect(Tree(), nullptr, this, nullptr);
    if (m_doc.MainWindow() == this)
        m_doc.SetMainWindow(nullptr);
}

CSubTreeView* CMainFrame::Tree() const
{
    return m_view->Tree();
}

CLoadingMessageDialog* CMainFrame::LoadingWindow() const
{
    return m_loading;
}

QAction* CMainFrame::Action(const QString& name) const
{
    return m_actions.value(name);
}

QAction* CMainFrame::MakeAction(const QString& name, const QString& text, const QString& prompt,
                                const QList<QKeySequence>& keys)
{
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    // A prompt is the status-bar text, then after a line break the tooltip.
    const QStringList parts = prompt.split(QLatin1Char('\n'));
    action->setStatusTip(parts.value(0));
    if (parts.size() > 1)
        action->setToolTip(parts.value(1));
    if (!keys.isEmpty())
        action->setShortcuts(keys);
    m_actions.insert(name, action);
    addAction(action); // the accelerators work wherever the focus is
    return action;
}

void CMainFrame::BuildActions()
{
    using K = QKeySequence;
    auto* open =
        MakeAction(QStringLiteral("fileOpen"), QStringLiteral("&Open...\tCtrl+O"),
                   tr("Open a Contract File\nOpen Contract"), {K(Qt::CTRL | Qt::Key_O), K(Qt::Key_F2)});
    connect(open, &QAction::triggered, &m_doc, [this] { m_doc.OnFileOpen(); });
    auto* save = MakeAction(QStringLiteral("fileSave"), QStringLiteral("&Save\tCtrl+S"),
                            tr("Save the Contract\nSave"), {K(Qt::CTRL | Qt::Key_S), K(Qt::Key_F3)});
    connect(save, &QAction::triggered, &m_doc, [this] { m_doc.DoFileSave(); });
    auto* saveAs = MakeAction(QStringLiteral("fileSaveAs"), QStringLiteral("Save &As..."),
                              tr("Save the Contract with a new name\nSave As"));
    connect(saveAs, &QAction::triggered, &m_doc, [this] { m_doc.DoSaveAs(); });
    auto* print =
        MakeAction(QStringLiteral("filePrint"), QStringLiteral("&Print...\tCtrl+P"),
                   tr("Print the active document\nPrint"), {K(Qt::CTRL | Qt::Key_P), K(Qt::Key_F5)});
    connect(print, &QAction::triggered, &m_doc, [this] { m_doc.OnFilePrint(false); });
    auto* preview = MakeAction(QStringLiteral("filePrintPreview"), tr("Print Pre&view"),
                               tr("Display full pages\nPrint Preview"));
    connect(preview, &QAction::triggered, &m_doc, [this] { m_doc.OnFilePrint(true); });
    auto* exportPdf = MakeAction(QStringLiteral("fileExportPdf"), QStringLiteral("&Export to PDF..."),
                                 tr("Save the report as a PDF file\nExport to PDF"));
    connect(exportPdf, &QAction::triggered, &m_doc, [this] { m_doc.OnFileExportPdf(); });
    auto* setup = MakeAction(QStringLiteral("filePrintSetup"), tr("P&rint Setup..."),
                             tr("Change the printer and printing options\nPrint Setup"));
    connect(setup, &QAction::triggered, this, [this] { ShowPrintSetup(this); });
    auto* exit = MakeAction(QStringLiteral("fileExit"), QStringLiteral("E&xit"),
                            tr("Quit the application; prompts to save documents\nExit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    auto* fileNew = MakeAction(QStringLiteral("fileNew"), QStringLiteral("&New\tCtrl+N"),
                               tr("Create a new document\nNew"), {K(Qt::CTRL | Qt::Key_N)});
    connect(fileNew, &QAction::triggered, &m_doc, [this] { m_doc.OnNewDocument(); });

    // "Undo <what>" and "Redo <what>" from the step's description; the bare
    // word while there is nothing to take back. What is being typed is
    // stored first, as a step of its own.
    QUndoStack* stack = &m_doc.UndoStack();
    auto* undo = stack->createUndoAction(this, QStringLiteral("&Undo"));
    disconnect(undo, &QAction::triggered, stack, &QUndoStack::undo);
    connect(undo, &QAction::triggered, stack, [this, stack] {
        if (m_doc.CommitEdits())
            stack->undo();
    });
    undo->setObjectName(QStringLiteral("editUndo"));
    undo->setShortcut(K::Undo);
    undo->setStatusTip(tr("Undo the last action"));
    m_actions.insert(undo->objectName(), undo);
    addAction(undo);
    auto* redo = stack->createRedoAction(this, QStringLiteral("&Redo"));
    disconnect(redo, &QAction::triggered, stack, &QUndoStack::redo);
    connect(redo, &QAction::triggered, stack, [this, stack] {
        if (m_doc.CommitEdits())
            stack->redo();
    });
    redo->setObjectName(QStringLiteral("editRedo"));
    redo->setShortcuts({K(Qt::CTRL | Qt::Key_Y), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    redo->setStatusTip(tr("Redo the previously undone action"));
    m_actions.insert(redo->objectName(), redo);
    addAction(redo);
    // Ctrl+Z and Ctrl+Y in an editor with nothing of its own to take back
    // reach the contract's history.
    new CUndoKeyRouter(*this, *undo, *redo, this);
    auto* copy =
        MakeAction(QStringLiteral("editCopy"), QStringLiteral("&Copy\tCtrl+C"),
                   tr("Copy the selection and put it on the Clipboard\nCopy"), {K(Qt::CTRL | Qt::Key_C)});
    connect(copy, &QAction::triggered, &m_doc, [this] { m_doc.OnEditCopy(); });
    auto* paste = MakeAction(QStringLiteral("editPaste"), QStringLiteral("&Paste\tCtrl+V"),
                             tr("Insert Clipboard contents\nPaste"), {K(Qt::CTRL | Qt::Key_V)});
    connect(paste, &QAction::triggered, &m_doc, [this] { m_doc.OnEditPaste(); });
    auto* add = MakeAction(QStringLiteral("editAddSub"), QStringLiteral("&Add Subcontractor"),
                           tr("Add a new Subcontractor"));
    connect(add, &QAction::triggered, this, [this] { Tree()->OnAddSubcontractor(); });
    auto* remove = MakeAction(QStringLiteral("editDeleteSub"), QStringLiteral("&Delete Subcontractor"),
                              tr("Delete this Subcontractor"));
    connect(remove, &QAction::triggered, this, [this] { Tree()->OnDeleteSubcontractor(); });

    BuildToolActions();
    BuildFinderActions();
}

void CMainFrame::BuildFinderActions()
{
    m_navigator = new CContractNavigator(*this, m_doc);
    m_exchange = new CExchangeCommands(m_doc, *Tree(), this);
    m_amendment = new CAmendmentCommand(m_doc, this);
    m_actions.insert(m_amendment->Action()->objectName(), m_amendment->Action());
    for (QAction* action : m_exchange->Actions())
        m_actions.insert(action->objectName(), action);
    auto* find =
        MakeAction(QStringLiteral("editFind"), QStringLiteral("&Find...\tCtrl+F"),
                   tr("Find items, subcontractors and remarks\nFind"), {QKeySequence(Qt::CTRL | Qt::Key_F)});
    connect(find, &QAction::triggered, this, [this] {
        if (m_findBar)
            m_findBar->Open();
    });
}

void CMainFrame::BuildFinderPanels()
{
    // The find bar in a row of its own under the toolbar, shown by Ctrl+F.
    addToolBarBreak(Qt::TopToolBarArea);
    m_findBar = new CFindBar(m_doc, *m_navigator, this);
    addToolBar(Qt::TopToolBarArea, m_findBar);
    m_findBar->hide();
    m_checkPanel = new CCheckPanel(m_doc, *m_navigator, this);
    addDockWidget(Qt::BottomDockWidgetArea, m_checkPanel);
    m_checkPanel->hide();
    QAction* panel = m_checkPanel->toggleViewAction();
    panel->setText(tr("&Check Panel"));
    panel->setObjectName(QStringLiteral("viewCheckPanel"));
    panel->setStatusTip(tr("Show or hide the list of the contract check's messages"));
    m_actions.insert(panel->objectName(), panel);
    Action(QStringLiteral("viewMenu"))->menu()->addAction(panel);
}

void CMainFrame::BuildToolActions()
{
    using K = QKeySequence;
    auto* check = MakeAction(QStringLiteral("toolsCheck"), QStringLiteral("&Check Contract...\tF4"),
                             tr("Check Contract\nCheck Contract"), {K(Qt::Key_F4)});
    connect(check, &QAction::triggered, &m_doc, [this] { m_doc.OnCheckContract(); });
    auto* options = MakeAction(QStringLiteral("toolsOptions"), QStringLiteral("&Options..."), QString());
    connect(options, &QAction::triggered, this, [this] {
        if (m_optionsHook)
            m_optionsHook(this);
    });

    auto* about = MakeAction(QStringLiteral("helpAbout"), QStringLiteral("&About Tollgate..."),
                             tr("Display program information, version number and copyright\nAbout"));
    connect(about, &QAction::triggered, this, [this] {
        if (m_aboutHook)
            m_aboutHook(this);
    });

    auto* next = MakeAction(QStringLiteral("nextPane"), QStringLiteral("Next Pane"),
                            tr("Switch to the next window pane\nNext Pane"), {K(Qt::Key_F6)});
    connect(next, &QAction::triggered, this, [this] { NextPane(true); });
    auto* previous =
        MakeAction(QStringLiteral("previousPane"), QStringLiteral("Previous Pane"),
                   tr("Switch back to the previous window pane\nPrevious Pane"), {K(Qt::SHIFT | Qt::Key_F6)});
    connect(previous, &QAction::triggered, this, [this] { NextPane(false); });
}

void CMainFrame::BuildMenus()
{
    // Menu texts carry their accelerators after a tab, as the menus show them;
    // the shortcuts themselves belong to the actions.
    m_fileMenu = menuBar()->addMenu(tr("&File"));
    m_fileMenu->addAction(Action(QStringLiteral("fileOpen")));
    m_fileMenu->addAction(Action(QStringLiteral("fileSave")));
    m_fileMenu->addAction(Action(QStringLiteral("fileSaveAs")));
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(Action(QStringLiteral("filePrint")));
    m_fileMenu->addAction(Action(QStringLiteral("filePrintPreview")));
    m_fileMenu->addAction(Action(QStringLiteral("fileExportPdf")));
    m_fileMenu->addMenu(m_exchange->ExportMenu());
    m_fileMenu->addAction(Action(QStringLiteral("fileImportQuote")));
    m_fileMenu->addAction(Action(QStringLiteral("fileApplyAmendment")));
    m_fileMenu->addAction(Action(QStringLiteral("filePrintSetup")));
    m_fileMenu->addSeparator();
    m_recentAnchor = m_fileMenu->addSeparator();
    m_fileMenu->addAction(Action(QStringLiteral("fileExit")));

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(Action(QStringLiteral("editUndo")));
    edit->addAction(Action(QStringLiteral("editRedo")));
    edit->addSeparator();
    edit->addAction(Action(QStringLiteral("editCopy")));
    edit->addAction(Action(QStringLiteral("editPaste")));
    edit->addSeparator();
    edit->addAction(Action(QStringLiteral("editAddSub")));
    edit->addAction(Action(QStringLiteral("editDeleteSub")));
    edit->addSeparator();
    edit->addAction(Action(QStringLiteral("editFind")));

    QMenu* tools = menuBar()->addMenu(tr("Tools"));
    tools->addAction(Action(QStringLiteral("toolsCheck")));
    tools->addAction(Action(QStringLiteral("toolsOptions")));

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    m_actions.insert(QStringLiteral("viewMenu"), view->menuAction());

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(Action(QStringLiteral("helpAbout")));
}

void CMainFrame::BuildToolBar()
{
    m_toolBar = addToolBar(tr("Standard"));
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(QSize(20, 20));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setMovable(true);
    Action(QStringLiteral("fileOpen"))->setIcon(ToolbarIcon(ToolIcon::Open));
    Action(QStringLiteral("fileSave"))->setIcon(ToolbarIcon(ToolIcon::Save));
    Action(QStringLiteral("filePrint"))->setIcon(ToolbarIcon(ToolIcon::Print));
    Action(QStringLiteral("toolsCheck"))->setIcon(ToolbarIcon(ToolIcon::Check));
    m_toolBar->addAction(Action(QStringLiteral("fileOpen")));
    m_toolBar->addAction(Action(QStringLiteral("fileSave")));
    m_toolBar->addSeparator();
    m_toolBar->addAction(Action(QStringLiteral("filePrint")));
    m_toolBar->addSeparator();
    m_toolBar->addAction(Action(QStringLiteral("toolsCheck")));

    QMenu* view = Action(QStringLiteral("viewMenu"))->menu();
    QAction* toolbar = m_toolBar->toggleViewAction();
    toolbar->setText(tr("&Toolbar"));
    toolbar->setObjectName(QStringLiteral("viewToolbar"));
    toolbar->setStatusTip(tr("Show or hide the toolbar"));
    m_actions.insert(toolbar->objectName(), toolbar);
    view->addAction(toolbar);
}

void CMainFrame::BuildStatusBar()
{
    QStatusBar* bar = statusBar();
    m_message = new QLabel(tr("Ready"), bar);
    m_message->setObjectName(QStringLiteral("messagePane"));
    bar->addWidget(m_message, 1);
    m_totalCaption = new QLabel(tr("Contract Total:"), bar);
    m_totalCaption->setObjectName(QStringLiteral("totalCaption"));
    m_totalCaption->setFrameStyle(QFrame::NoFrame);
    bar->addPermanentWidget(m_totalCaption);
    m_total = new QLabel(bar);
    m_total->setObjectName(QStringLiteral("totalPane"));
    m_total->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bar->addPermanentWidget(m_total);
    m_extraPane = new QLabel(bar);
    m_extraPane->setObjectName(QStringLiteral("maximizedPane"));
    m_extraPane->setFixedWidth(10);
    m_extraPane->hide();
    // While the contract is open read-only (another program holds it).
    m_readOnlyPane = new QLabel(tr("Read-Only"), bar);
    m_readOnlyPane->setObjectName(QStringLiteral("readOnlyPane"));
    m_readOnlyPane->setToolTip(
        tr("Another copy of Tollgate Kestrel has this contract open: use Save As to change it"));
    bar->insertPermanentWidget(1, m_readOnlyPane); // after the message pane
    m_readOnlyPane->hide();
    ShowContractTotal(QStringLiteral("$0.00"), 120);

    auto* status = new QAction(QStringLiteral("&Status Bar"), this);
    status->setObjectName(QStringLiteral("viewStatusBar"));
    status->setCheckable(true);
    status->setChecked(true);
    status->setStatusTip(tr("Show or hide the status bar"));
    connect(status, &QAction::toggled, bar, &QWidget::setVisible);
    m_actions.insert(status->objectName(), status);
    Action(QStringLiteral("viewMenu"))->menu()->addAction(status);
}

void CMainFrame::BuildHistoryDock()
{
    // The changes of the run, oldest first, with the state as opened at the
    // top and the saved state marked; choosing a line undoes or redoes up
    // to it.
    m_historyDock = new QDockWidget(tr("History"), this);
    m_historyDock->setObjectName(QStringLiteral("historyDock"));
    auto* list = new QUndoView(&m_doc.UndoStack(), m_historyDock);
    list->setObjectName(QStringLiteral("historyList"));
    list->setEmptyLabel(tr("Contract as opened"));
    list->setCleanIcon(ToolbarIcon(ToolIcon::Save));
    list->setAlternatingRowColors(true);
    // Every step as tall as the one that carries the saved mark.
    list->setIconSize(QSize(16, 16));
    list->setUniformItemSizes(true);
    list->setSpacing(1);
    m_historyDock->setWidget(list);
    addDockWidget(Qt::RightDockWidgetArea, m_historyDock);
    m_historyDock->hide();

    // Wide enough for a step and what it was about when it first shows.
    connect(m_historyDock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible && m_historyDock->width() < 320)
            resizeDocks({m_historyDock}, {320}, Qt::Horizontal);
    });

    QAction* toggle = m_historyDock->toggleViewAction();
    toggle->setText(tr("&History"));
    toggle->setObjectName(QStringLiteral("viewHistory"));
    toggle->setStatusTip(tr("Show or hide the list of changes that can be undone"));
    m_actions.insert(toggle->objectName(), toggle);
    Action(QStringLiteral("viewMenu"))->menu()->addAction(toggle);
}

int CMainFrame::TotalPaneWidth(int requested, int current)
{
    if (requested == -1)
        return current;
    if (requested == 0)
        return 120;
    return std::clamp(requested, 66, 240);
}

void CMainFrame::ShowContractTotal(const QString& text, int width)
{
    m_totalText = text;
    m_totalWidth = TotalPaneWidth(width, m_totalWidth);
    m_total->setFixedWidth(m_totalWidth);
    m_total->setText(text);
}

void CMainFrame::UpdateMaximizedPane()
{
    // While maximized a narrow pane keeps the total clear of the screen's
    // corner; the total is shown again either way.
    QStatusBar* bar = statusBar();
    if (isMaximized() && !m_extraPane->isVisible()) {
        bar->addPermanentWidget(m_extraPane);
        m_extraPane->show();
    } else if (!isMaximized() && m_extraPane->isVisible()) {
        bar->removeWidget(m_extraPane);
        m_extraPane->hide();
    }
    ShowContractTotal(m_totalText, m_totalWidth);
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        UpdateMaximizedPane();
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    const int width = m_settings.splitterPos > 0 ? m_settings.splitterPos : this->width() / 4;
    m_view->SetTreeWidth(width);
}

void CMainFrame::SetLoadingWindow(bool on)
{
    if (on) {
        if (!m_loading) {
            m_loading = new CLoadingMessageDialog(this);
            m_loading->setAttribute(Qt::WA_DeleteOnClose);
        }
        if (isVisible())
            m_loading->ShowNow();
    } else if (m_loading) {
        m_loading->close();
        m_loading = nullptr;
    }
}

void CMainFrame::UpdateTitle()
{
    // "[*]" shows the modified mark where the platform puts it.
    // A contract open only to look at says so where the user looks first.
    const QString readOnly = m_doc.IsReadOnly() ? tr(" (Read-Only)") : QString();
    setWindowTitle(m_doc.WindowTitle() + readOnly +
                   (m_doc.HasContract() ? QStringLiteral("[*]") : QString()));
    setWindowModified(m_doc.IsModified());
}

void CMainFrame::UpdateCommandState()
{
    const bool open = m_doc.HasContract();
    for (const char* name : {"fileSave", "fileSaveAs", "filePrint", "filePrintPreview", "fileExportPdf",
                             "editCopy", "toolsCheck", "editFind"})
        Action(QString::fromLatin1(name))->setEnabled(open);
    Action(QStringLiteral("editPaste"))->setEnabled(m_doc.CanPaste());
    // A contract open read-only takes no changes and is saved under another
    // name only: Save offers Save As.
    const bool editable = !m_doc.IsReadOnly();
    Action(QStringLiteral("editAddSub"))->setEnabled(editable && Tree()->CanAddSubcontractor());
    Action(QStringLiteral("editDeleteSub"))->setEnabled(editable && Tree()->CanDeleteSubcontractor());
}

void CMainFrame::RebuildRecentFiles()
{
    for (QAction* action : m_recentActions) {
        m_fileMenu->removeAction(action);
        delete action;
    }
    m_recentActions.clear();
    const QStringList& files = m_settings.recentFiles;
    if (files.isEmpty()) {
        auto* none = new QAction(QStringLiteral("Recent File"), this);
        none->setEnabled(false);
        m_fileMenu->insertAction(m_recentAnchor, none);
        m_recentActions.append(none);
        return;
    }
    for (qsizetype i = 0; i < files.size(); ++i) {
        QString shown = QFileInfo(files[i]).fileName();
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        // The contract ID beside the name, where the menu shows accelerators.
        const QString id = m_settings.RecentContractId(i);
        QString text = QStringLiteral("&%1 %2").arg(i + 1).arg(shown);
        if (!id.isEmpty())
            text += QLatin1Char('\t') + id;
        auto* action = new QAction(text, this);
        action->setStatusTip(tr("Open this document"));
        action->setToolTip(id.isEmpty() ? files[i] : files[i] + QStringLiteral(" (") + id + QLatin1Char(')'));
        const QString path = files[i];
        connect(action, &QAction::triggered, this, [this, path] { emit openRequested(path); });
        m_fileMenu->insertAction(m_recentAnchor, action);
        m_recentActions.append(action);
    }
}

void CMainFrame::NextPane(bool forward)
{
    // Leaving a field stores it; a refused entry keeps the focus.
    if (!m_doc.CommitEdits())
        return;
    const QList<QWidget*> panes = m_view->Panes();
    if (panes.isEmpty())
        return;
    qsizetype at = -1;
    QWidget* focus = QApplication::focusWidget();
    for (qsizetype i = 0; i < panes.size(); ++i)
        if (focus && (panes[i] == focus || panes[i]->isAncestorOf(focus)))
            at = i;
    const qsizetype n = panes.size();
    const qsizetype next = at < 0 ? 0 : (forward ? (at + 1) % n : (at + n - 1) % n);
    QWidget* pane = panes[next];
    // A view takes the focus on its first control, if it has one.
    pane->setFocus(Qt::OtherFocusReason);
    if (!pane->hasFocus() || pane->focusProxy() == nullptr)
        if (QWidget* first = pane->nextInFocusChain();
            first && pane->isAncestorOf(first) && (first->focusPolicy() & Qt::TabFocus))
            first->setFocus(Qt::OtherFocusReason);
}

WindowPlacement CMainFrame::Placement() const
{
    WindowPlacement placement;
    placement.normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    if (!placement.normal.isValid())
        placement.normal = geometry();
    placement.maximized = isMaximized();
    placement.splitterPos = m_view->TreeWidth();
    placement.docks = QString::fromLatin1(saveState().toBase64());
    return placement;
}

void CMainFrame::RestoreDocks(const QString& state)
{
    if (!state.isEmpty())
        restoreState(QByteArray::fromBase64(state.toLatin1()));
    // The find bar opens when asked for, never by itself.
    if (m_findBar)
        m_findBar->hide();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_doc.SaveModified()) {
        event->ignore();
        return;
    }
    emit closing();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    QString last;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            last = url.toLocalFile();
    if (last.isEmpty())
        return;
    event->acceptProposedAction();
    emit openRequested(last);
}

} // namespace kestrel
