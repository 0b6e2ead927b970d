#pragma once
// The print preview: the pages of one print job on sheets of the printer's
// paper, one under the other, scrolled and zoomed. A page is drawn only when
// it comes into view, so a report of thousands of pages opens as soon as its
// first page is drawn. "Print..." and "Export to PDF..." take their pages
// from the same job: the report is not laid out again.

#include <QDialog>
#include <QPageLayout>

#include <functional>

class QAbstractScrollArea;
class QAction;
class QComboBox;
class QLabel;
class QSpinBox;
class QToolBar;

namespace kestrel {

class CReportPrintJob;
class CPreviewArea;

class CPrintPreview : public QDialog {
    Q_OBJECT
public:
    CPrintPreview(const CReportPrintJob& job, const QPageLayout& layout, QWidget* parent = nullptr);
    ~CPrintPreview() override;

    // What "Print..." and "Export to PDF..." do.
    using Handler = std::function<void(CPrintPreview& preview)>;
    void SetPrintCommand(Handler command) { m_print = std::move(command); }
    void SetExportCommand(Handler command) { m_export = std::move(command); }
    // The paper the pages are shown on (after the print dialog changed it).
    void SetPageLayout(const QPageLayout& layout);
    QPageLayout PageLayout() const;

    int PageCount() const;
    // The page in view: the one across the upper part of the window, the
    // last one when scrolled to the end.
    int CurrentPage() const;
    void GoToPage(int number);
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

private:
    QAction* AddCommand(const QString& name, const QIcon& icon, const QString& text, const QString& tip);
    void BuildToolBar();
    void BuildPageControls();
    void BuildZoomControls();
    void ShowPosition();

    CPreviewArea* m_area = nullptr;
    QToolBar* m_toolBar = nullptr;
    QSpinBox* m_page = nullptr;
    QLabel* m_of = nullptr;
    QComboBox* m_zoom = nullptr;
    QList<QAction*> m_commands;
    Handler m_print;
    Handler m_export;
};

} // namespace kestrel
