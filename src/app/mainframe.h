#pragma once
// The main window: menus, toolbar and status bar with the contract total,
// and the splitter of the navigation tree and the data view. Its commands
// act on the document; their enabling follows the document's state.

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>

#include "app/subsettings.h"

class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QToolBar;

namespace kestrel {

class CCheckPanel;
class CContractNavigator;
class CAmendmentCommand;
class CExchangeCommands;
class CFindBar;
class CLoadingMessageDialog;
class CSubDoc;
class CSubView;
class CSubTreeView;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CSubDoc& doc, CSubSettings& settings, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CSubView* View() const { return m_view; }
    CSubTreeView* Tree() const;
    // A command by its name ("fileOpen", "fileSave", "editCopy", ...).
    QAction* Action(const QString& name) const;
    QToolBar* ToolBar() const { return m_toolBar; }
    QLabel* TotalPane() const { return m_total; }
    QLabel* MaximizedPane() const { return m_extraPane; }
    // The history list of the changes that can be undone (View > History).
    QDockWidget* HistoryDock() const { return m_historyDock; }
    CLoadingMessageDialog* LoadingWindow() const;
    // Find, the check panel, export and quote import.
    CFindBar* FindBar() const { return m_findBar; }
    CCheckPanel* CheckPanel() const { return m_checkPanel; }
    CExchangeCommands* Exchange() const { return m_exchange; }
    CAmendmentCommand* Amendment() const { return m_amendment; }
    CContractNavigator* Navigator() const { return m_navigator; }

    // The total pane: "text" right-aligned; width -1 keeps the pane's
    // width, 0 means 120, others are held to 66 to 240 pixels.
    void ShowContractTotal(const QString& text, int width);
    static int TotalPaneWidth(int requested, int current);
    void SetLoadingWindow(bool on);
    void UpdateTitle();
    void UpdateCommandState();
    // Moves the focus to the next (or previous) pane: F6 and Shift+F6.
    void NextPane(bool forward);
    // The window's place as the settings keep it.
    WindowPlacement Placement() const;
    // Puts the docks and toolbars back as Placement() found them.
    void RestoreDocks(const QString& state);

    // The commands of the windows built on the main window (options, about).
    using Hook = std::function<void(QWidget* parent)>;
    void SetOptionsHook(Hook hook) { m_optionsHook = std::move(hook); }
    void SetAboutHook(Hook hook) { m_aboutHook = std::move(hook); }

signals:
    // Files dropped on the window, or a recent file chosen: the last one.
    void openRequested(const QString& path);
    // The window is closing (its settings are to be saved).
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* MakeAction(const QString& name, const QString& text, const QString& prompt,
                        const QList<QKeySequence>& keys = {});
    void BuildActions();
    void BuildToolActions();
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildHistoryDock();
    void BuildFinderActions();
    void BuildFinderPanels();
    void RebuildRecentFiles();
    void UpdateMaximizedPane();

    CSubDoc& m_doc;
    CSubSettings& m_settings;
    CSubView* m_view = nullptr;
    QHash<QString, QAction*> m_actions;
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentAnchor = nullptr;
    QList<QAction*> m_recentActions;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_message = nullptr;
    QLabel* m_totalCaption = nullptr;
    QLabel* m_total = nullptr;
    QLabel* m_extraPane = nullptr;
    QLabel* m_readOnlyPane = nullptr;
    QDockWidget* m_historyDock = nullptr;
    int m_totalWidth = 120;
    QString m_totalText;
    bool m_shown = false;
    QPointer<CLoadingMessageDialog> m_loading;
    Hook m_optionsHook;
    Hook m_aboutHook;
    CContractNavigator* m_navigator = nullptr;
    CExchangeCommands* m_exchange = nullptr;
    CAmendmentCommand* m_amendment = nullptr;
    CFindBar* m_findBar = nullptr;
    CCheckPanel* m_checkPanel = nullptr;
};

} // namespace kestrel
