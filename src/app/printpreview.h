#pragma once
// The print preview: the pages of one print job on sheets of the printer's
// paper, one under the other, scrolled and zoomed. The report is laid out in
// the background: the window opens on the first page and the others join as
// they are laid out, the count shown as "of 120..." with the progress beside
// it until the last page is known. Asking for a page not laid out yet waits
// for that page only. A page is drawn only when it comes into view.
// "Print..." and "Export to PDF..." take their pages from the same layout
// run, once it has laid out every page (asked for earlier, they run then):
// the report is not laid out again. A template fault found while laying out
// ends the preview (LayoutFault() says which); closing it stops the layout.

#include <QDialog>
#include <QPageLayout>

#include <functional>

class QAbstractScrollArea;
class QAction;
class QComboBox;
class QLabel;
class QProgressBar;
class QSpinBox;
class QTimer;
class QToolBar;

namespace kestrel {

class CBackgroundLayout;
class CPreviewArea;

class CPrintPreview : public QDialog {
    Q_OBJECT
public:
    // The layout may still be running; the preview follows it.
    CPrintPreview(CBackgroundLayout& report, const QPageLayout& layout, QWidget* parent = nullptr);
    ~CPrintPreview() override;

    // What "Print..." and "Export to PDF..." do.
    using Handler = std::function<void(CPrintPreview& preview)>;
    void SetPrintCommand(Handler command) { m_print = std::move(command); }
    void SetExportCommand(Handler command) { m_export = std::move(command); }
    // The paper the pages are shown on (after the print dialog changed it).
    void SetPageLayout(const QPageLayout& layout);
    QPageLayout PageLayout() const;

    // The pages laid out so far.
    int PageCount() const;
    // Whether the report is still being laid out.
    bool LayingOut() const;
    // The page in view: the one across the upper part of the window, the
    // last one when scrolled to the end.
    int CurrentPage() const;
    // Shows the page; one not laid out yet is shown when it is (the last
    // page, when the report has fewer).
    void GoToPage(int number);
    // The page asked for and not laid out yet; 0 when none.
    int PageAwaited() const { return m_awaited; }
    // The template or report fault that ended the preview; empty when none.
    const QString& LayoutFault() const { return m_fault; }
    // The zoom as a share of the paper's real size (1.0 is 100 %).
    double Zoom() const;
    void SetZoom(double zoom);
    void FitWidth();
    void FitPage();
    // How many times a page has been drawn since the window opened.
    int PagesDrawn() const;

    QAbstractScrollArea* Area() const;
    // A tool bar command by name: "print", "export", "first", "previous",
    // "next", "last", "zoomIn", "zoomOut", "fitWidth", "fitPage", "close".
    QAction* Command(const QString& name) const;

    // Lays out the rest of the report (the first page is laid out already):
    // on its first paint, or earlier when the contract is about to go.
    void StartLayout();
    // Closing stops the layout.
    void done(int result) override;

private:
    QAction* AddCommand(const QString& name, const QIcon& icon, const QString& text, const QString& tip);
    void BuildToolBar();
    void BuildPageControls();
    void BuildZoomControls();
    void BuildProgressLine();
    void ShowPosition();
    void ShowProgress();
    // Takes the pages laid out since the last look and follows the layout.
    void FollowLayout();
    // Runs a print or export command now, or once every page is laid out.
    void RunOnWholeReport(Handler* command);

    CBackgroundLayout& m_report;
    CPreviewArea* m_area = nullptr;
    QToolBar* m_toolBar = nullptr;
    QSpinBox* m_page = nullptr;
    QLabel* m_of = nullptr;
    QWidget* m_progressLine = nullptr;
    QLabel* m_progressText = nullptr;
    QProgressBar* m_progress = nullptr;
    QComboBox* m_zoom = nullptr;
    QTimer* m_follow = nullptr;
    QList<QAction*> m_commands;
    Handler m_print;
    Handler m_export;
    Handler* m_waitingCommand = nullptr;
    int m_awaited = 0;
    QString m_fault;
};

} // namespace kestrel
