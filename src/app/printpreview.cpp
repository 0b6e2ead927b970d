#include "app/printpreview.h"

#include <QCoreApplication>

#include <QAbstractScrollArea>
#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include "app/painticons.h"
#include "app/qtext.h"
#include "print/backgroundlayout.h"
#include "print/pagepainter.h"
#include "print/reportprintjob.h"
#include "views/accessiblename.h"

namespace kestrel {

namespace {

constexpr int kMargin = 24; // around the column of sheets, in pixels
constexpr int kGap = 18;    // between two sheets
constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 4.0;
const double kZoomSteps[] = {0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};
// The last page, whichever it turns out to be.
constexpr int kLastPage = INT_MAX;
// The highest number the page box takes while the count is not known.
constexpr int kMaxPageNumber = 99999;
// How often the window looks at the layout while it runs.
constexpr int kFollowMs = 30;

} // namespace

// The sheets, drawn on the viewport as they come into view; the scroll bars
// count pixels of the whole column of sheets.
class CPreviewArea : public QAbstractScrollArea {
public:
    enum class Fit { None, Width, Page };

    CPreviewArea(const CBackgroundLayout& report, const QPageLayout& layout, QWidget* parent)
        : QAbstractScrollArea(parent), m_report(report), m_layout(layout)
    {
        setObjectName(QStringLiteral("previewArea"));
        setFrameShape(QFrame::NoFrame);
        viewport()->setAutoFillBackground(false);
        setFocusPolicy(Qt::StrongFocus);
        verticalScrollBar()->setSingleStep(40);
        horizontalScrollBar()->setSingleStep(40);
    }

    int PageCount() const { return m_report.Job().PageCount(); }
    int Drawn() const { return m_drawn; }
    double Zoom() const { return m_zoom; }
    Fit FitMode() const { return m_fit; }
    std::function<void()> changed;      // the page in view or the zoom changed
    std::function<void(int)> pageAsked; // a key asked for a page
    std::function<void()> firstPaint;   // the pages were drawn for the first time

    // Pages from `first` on came in or changed: the column of sheets grows;
    // the view is drawn again only when they show in it.
    void PagesChanged(int first)
    {
        UpdateScrollBars();
        const double bottom = verticalScrollBar()->value() + viewport()->height();
        if (first > 0 && bottom > kMargin + (first - 1) * Pitch())
            viewport()->update();
    }

    const QPageLayout& Layout() const { return m_layout; }
    void SetLayout(const QPageLayout& layout)
    {
        const int page = CurrentPage();
        m_layout = layout;
        Relayout(page);
    }

    // Pixels per point of paper at zoom 1: the screen's real size.
    double PixelsPerPoint() const { return logicalDpiX() / 72.0; }
    QSizeF SheetSize() const { return m_layout.fullRectPoints().size() * (m_zoom * PixelsPerPoint()); }
    double Pitch() const { return SheetSize().height() + kGap; }

    void SetZoom(double zoom, Fit fit = Fit::None)
    {
        const int page = CurrentPage();
        m_fit = fit;
        m_zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
        Relayout(page);
    }
    void SetFit(Fit fit)
    {
        m_fit = fit;
        SetZoom(FitZoom(fit), fit);
    }
    double FitZoom(Fit fit) const
    {
        const QSizeF paper = m_layout.fullRectPoints().size() * PixelsPerPoint();
        if (paper.isEmpty())
            return 1.0;
        const double width = (viewport()->width() - 2.0 * kMargin) / paper.width();
        if (fit == Fit::Width)
            return width;
        const double height = (viewport()->height() - 2.0 * kMargin) / paper.height();
        return std::min(width, height);
    }

    int CurrentPage() const
    {
        if (PageCount() == 0)
            return 0;
        // Scrolled to the end, the last page is the one looked at, however
        // many pages above it are in view too.
        const QScrollBar* bar = verticalScrollBar();
        if (bar->maximum() > 0 && bar->value() >= bar->maximum())
            return PageCount();
        // Else the page across the upper part of the view.
        const double y = bar->value() + std::min(viewport()->height() / 3.0, Pitch() / 2.0);
        const int index = static_cast<int>(std::floor(y / Pitch()));
        return std::clamp(index + 1, 1, PageCount());
    }
    void GoToPage(int number)
    {
        number = std::clamp(number, 1, std::max(1, PageCount()));
        verticalScrollBar()->setValue(static_cast<int>(std::lround((number - 1) * Pitch())));
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QAbstractScrollArea::resizeEvent(event);
        const int page = CurrentPage();
        if (m_fit != Fit::None)
            m_zoom = std::clamp(FitZoom(m_fit), kMinZoom, kMaxZoom);
        Relayout(page);
    }
    void scrollContentsBy(int, int) override
    {
        viewport()->update();
        if (changed)
            changed();
    }
    void wheelEvent(QWheelEvent* event) override
    {
        if (event->modifiers() & Qt::ControlModifier) {
            const double step = event->angleDelta().y() > 0 ? 1.15 : 1 / 1.15;
            SetZoom(m_zoom * step);
            event->accept();
            return;
        }
        QAbstractScrollArea::wheelEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        const auto ask = [this](int page) {
            if (pageAsked)
                pageAsked(page);
        };
        switch (event->key()) {
        case Qt::Key_Home: ask(1); return;
        case Qt::Key_End: ask(kLastPage); return;
        case Qt::Key_PageDown: ask(CurrentPage() + 1); return;
        case Qt::Key_PageUp: ask(std::max(1, CurrentPage() - 1)); return;
        default: QAbstractScrollArea::keyPressEvent(event);
        }
    }
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(viewport());
        painter.fillRect(event->rect(), QColor(88, 92, 100));
        const int count = PageCount();
        if (count == 0) {
            if (m_report.Running()) {
                painter.setPen(QColor(235, 236, 240));
                painter.drawText(
                    viewport()->rect(), Qt::AlignCenter,
                    QCoreApplication::translate("kestrel::CPrintPreview", "Laying out the report..."));
            }
            return;
        }
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        const QSizeF sheet = SheetSize();
        const double pitch = Pitch();
        const double top = verticalScrollBar()->value();
        const double columnWidth = sheet.width() + 2.0 * kMargin;
        const double x = columnWidth <= viewport()->width() ? (viewport()->width() - sheet.width()) / 2.0
                                                            : kMargin - horizontalScrollBar()->value();
        const int first = std::max(0, static_cast<int>(std::floor((top - kMargin) / pitch)));
        const int last =
            std::min(count - 1, static_cast<int>(std::floor((top + viewport()->height()) / pitch)));
        for (int i = first; i <= last; ++i) {
            const QRectF paper(x, kMargin + i * pitch - top, sheet.width(), sheet.height());
            if (!paper.intersects(QRectF(event->rect())))
                continue;
            painter.fillRect(paper.translated(3, 4), QColor(0, 0, 0, 70));
            CPagePainter::DrawSheetPicture(painter, m_report.Job().Page(i + 1), m_layout, paper);
            ++m_drawn;
        }
        if (firstPaint)
            std::exchange(firstPaint, nullptr)();
    }

private:
    void Relayout(int page)
    {
        UpdateScrollBars();
        if (page > 0)
            GoToPage(page);
        viewport()->update();
        if (changed)
            changed();
    }
    void UpdateScrollBars()
    {
        const QSizeF sheet = SheetSize();
        const int count = PageCount();
        const double height = 2.0 * kMargin + count * sheet.height() + std::max(0, count - 1) * kGap;
        const double width = sheet.width() + 2.0 * kMargin;
        verticalScrollBar()->setRange(
            0, std::max(0, static_cast<int>(std::ceil(height)) - viewport()->height()));
        verticalScrollBar()->setPageStep(viewport()->height());
        horizontalScrollBar()->setRange(
            0, std::max(0, static_cast<int>(std::ceil(width)) - viewport()->width()));
        horizontalScrollBar()->setPageStep(viewport()->width());
    }

    const CBackgroundLayout& m_report;
    QPageLayout m_layout;
    double m_zoom = 1.0;
    Fit m_fit = Fit::Page;
    int m_drawn = 0;
};

CPrintPreview::CPrintPreview(CBackgroundLayout& report, const QPageLayout& layout, QWidget* parent)
    : QDialog(parent), m_report(report)
{
    setObjectName(QStringLiteral("printPreview"));
    setWindowTitle(tr("Print Preview"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    m_area = new CPreviewArea(report, layout, this);
    BuildToolBar();
    BuildProgressLine();
    box->addWidget(m_toolBar);
    box->addWidget(m_area, 1);
    box->addWidget(m_progressLine);
    m_area->changed = [this] { ShowPosition(); };
    m_area->pageAsked = [this](int page) { GoToPage(page); };
    // Moving through the pages by hand drops a page asked for earlier.
    connect(m_area->verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] {
        if (m_awaited) {
            m_awaited = 0;
            ShowPosition();
            ShowProgress();
        }
    });
    m_follow = new QTimer(this);
    m_follow->setInterval(kFollowMs);
    connect(m_follow, &QTimer::timeout, this, &CPrintPreview::FollowLayout);
    if (m_report.Running())
        m_follow->start();
    // The rest of the report is laid out once the first page is on the
    // screen: the copy of the contract the layout takes does not hold it up.
    m_area->firstPaint = [this] { QTimer::singleShot(0, this, &CPrintPreview::StartLayout); };

    // Most of the screen's height: a sheet fits the window at first.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(std::min(room.width() * 3 / 5, 980), room.height() * 9 / 10);
    m_area->SetFit(CPreviewArea::Fit::Page);
    ShowPosition();
    ShowProgress();
    // The keys move through the pages from the start.
    m_area->setFocus(Qt::OtherFocusReason);
}

CPrintPreview::~CPrintPreview() = default;

void CPrintPreview::done(int result)
{
    m_follow->stop();
    m_report.Stop();
    m_waitingCommand = nullptr;
    QDialog::done(result);
}

void CPrintPreview::StartLayout()
{
    m_report.Start();
}

void CPrintPreview::FollowLayout()
{
    if (!m_report.Collect())
        return;
    if (m_report.CurrentState() == CBackgroundLayout::State::Failed) {
        m_fault = ToQString(m_report.Fault());
        done(QDialog::Rejected);
        return;
    }
    if (!m_report.Running())
        m_follow->stop();
    m_area->PagesChanged(m_report.FirstPageChanged());
    const int count = PageCount();
    if (m_awaited && (m_awaited <= count || !m_report.Running())) {
        const int page = std::min(m_awaited, count);
        m_awaited = 0;
        m_area->GoToPage(page);
    }
    ShowPosition();
    ShowProgress();
    if (m_report.Done() && m_waitingCommand) {
        Handler* command = std::exchange(m_waitingCommand, nullptr);
        (*command)(*this);
    }
}

void CPrintPreview::RunOnWholeReport(Handler* command)
{
    if (!*command)
        return;
    if (m_report.Running()) {
        m_waitingCommand = command;
        ShowProgress();
        return;
    }
    if (m_report.Done())
        (*command)(*this);
}

QAction* CPrintPreview::AddCommand(const QString& name, const QIcon& icon, const QString& text,
                                   const QString& tip)
{
    auto* action = new QAction(icon, text, this);
    action->setObjectName(name);
    action->setToolTip(tip);
    m_commands.append(action);
    return action;
}

QAction* CPrintPreview::Command(const QString& name) const
{
    for (QAction* action : m_commands)
        if (action->objectName() == name)
            return action;
    return nullptr;
}

void CPrintPreview::BuildToolBar()
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("previewToolBar"));
    m_toolBar->setIconSize(QSize(20, 20));

    QAction* print = AddCommand(QStringLiteral("print"), ToolbarIcon(ToolIcon::Print), tr("&Print..."),
                                tr("Print the report"));
    connect(print, &QAction::triggered, this, [this] { RunOnWholeReport(&m_print); });
    QAction* pdf = AddCommand(QStringLiteral("export"), PreviewToolIcon(PreviewIcon::Pdf),
                              tr("&Export to PDF..."), tr("Save the report as a PDF file"));
    connect(pdf, &QAction::triggered, this, [this] { RunOnWholeReport(&m_export); });
    m_toolBar->addAction(print);
    m_toolBar->addAction(pdf);
    m_toolBar->addSeparator();
    BuildPageControls();
    m_toolBar->addSeparator();
    BuildZoomControls();

    auto* spacer = new QWidget(this);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolBar->addWidget(spacer);
    QAction* close = AddCommand(QStringLiteral("close"), QIcon(), tr("&Close"), tr("Close the preview"));
    connect(close, &QAction::triggered, this, &QDialog::accept);
    m_toolBar->addAction(close);
    // Only the commands with words show them beside their icons.
    for (QAction* a : m_commands)
        if (auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(a)))
            button->setToolButtonStyle(a == print || a == pdf || a == close ? Qt::ToolButtonTextBesideIcon
                                                                            : Qt::ToolButtonIconOnly);
}

void CPrintPreview::BuildPageControls()
{
    auto step = [this](const QString& name, PreviewIcon icon, const QString& tip, auto target) {
        QAction* action = AddCommand(name, PreviewToolIcon(icon), tip, tip);
        connect(action, &QAction::triggered, this, [this, target] { GoToPage(target(CurrentPage())); });
        m_toolBar->addAction(action);
    };
    step(QStringLiteral("first"), PreviewIcon::First, tr("First page"), [](int) { return 1; });
    step(QStringLiteral("previous"), PreviewIcon::Previous, tr("Previous page"),
         [](int page) { return page - 1; });
    m_page = new QSpinBox(this);
    m_page->setObjectName(QStringLiteral("pageNumber"));
    m_page->setRange(1, std::max(1, PageCount()));
    m_page->setButtonSymbols(QAbstractSpinBox::NoButtons);
    m_page->setAlignment(Qt::AlignRight);
    m_page->setKeyboardTracking(false);
    // Wide enough for the count the layout may still reach.
    const QString widest = QString::number(m_report.Running() ? 9999 : PageCount());
    m_page->setMinimumWidth(m_page->fontMetrics().horizontalAdvance(widest) + 24);
    connect(m_page, &QSpinBox::valueChanged, this, [this](int page) {
        if (page != CurrentPage())
            GoToPage(page);
    });
    SetAccessibleCaption(m_page, tr("Page"));
    m_toolBar->addWidget(new QLabel(tr(" Page "), this));
    m_toolBar->addWidget(m_page);
    m_of = new QLabel(tr(" of %1 ").arg(PageCount()), this);
    m_of->setObjectName(QStringLiteral("pageCount"));
    m_toolBar->addWidget(m_of);
    step(QStringLiteral("next"), PreviewIcon::Next, tr("Next page"), [](int page) { return page + 1; });
    step(QStringLiteral("last"), PreviewIcon::Last, tr("Last page"), [](int) { return kLastPage; });
}

void CPrintPreview::BuildProgressLine()
{
    m_progressLine = new QWidget(this);
    m_progressLine->setObjectName(QStringLiteral("layoutProgressLine"));
    auto* row = new QHBoxLayout(m_progressLine);
    row->setContentsMargins(10, 3, 10, 3);
    m_progressText = new QLabel(m_progressLine);
    m_progressText->setObjectName(QStringLiteral("layoutProgressText"));
    m_progress = new QProgressBar(m_progressLine);
    m_progress->setObjectName(QStringLiteral("layoutProgress"));
    m_progress->setRange(0, 100);
    m_progress->setFixedWidth(180);
    row->addWidget(m_progressText, 1);
    row->addWidget(m_progress);
    // As high without the bar as with it.
    m_progressLine->setMinimumHeight(m_progressLine->sizeHint().height());
    m_progressLine->hide();
}

void CPrintPreview::BuildZoomControls()
{
    QAction* zoomOut = AddCommand(QStringLiteral("zoomOut"), PreviewToolIcon(PreviewIcon::ZoomOut),
                                  tr("Zoom out"), tr("Zoom out"));
    connect(zoomOut, &QAction::triggered, this, [this] {
        double next = kZoomSteps[0];
        for (double z : kZoomSteps)
            if (z < Zoom() - 0.001)
                next = z;
        SetZoom(next);
    });
    m_toolBar->addAction(zoomOut);
    m_zoom = new QComboBox(this);
    m_zoom->setObjectName(QStringLiteral("zoom"));
    m_zoom->setEditable(true);
    m_zoom->setInsertPolicy(QComboBox::NoInsert);
    for (double z : kZoomSteps)
        m_zoom->addItem(QStringLiteral("%1%").arg(qRound(z * 100)));
    m_zoom->setMinimumContentsLength(5);
    SetAccessibleCaption(m_zoom, tr("Zoom"));
    connect(m_zoom, &QComboBox::textActivated, this, [this](const QString& text) {
        bool ok = false;
        const double percent = QString(text).remove(QLatin1Char('%')).trimmed().toDouble(&ok);
        if (ok && percent > 0)
            SetZoom(percent / 100.0);
        else
            ShowPosition();
    });
    m_toolBar->addWidget(m_zoom);
    QAction* zoomIn = AddCommand(QStringLiteral("zoomIn"), PreviewToolIcon(PreviewIcon::ZoomIn),
                                 tr("Zoom in"), tr("Zoom in"));
    connect(zoomIn, &QAction::triggered, this, [this] {
        double next = kZoomSteps[std::size(kZoomSteps) - 1];
        for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
            if (*it > Zoom() + 0.001)
                next = *it;
        SetZoom(next);
    });
    m_toolBar->addAction(zoomIn);
    QAction* width = AddCommand(QStringLiteral("fitWidth"), PreviewToolIcon(PreviewIcon::FitWidth),
                                tr("Fit width"), tr("Fit the width of a page"));
    width->setCheckable(true);
    connect(width, &QAction::triggered, this, &CPrintPreview::FitWidth);
    QAction* page = AddCommand(QStringLiteral("fitPage"), PreviewToolIcon(PreviewIcon::FitPage),
                               tr("Fit page"), tr("Show a whole page"));
    page->setCheckable(true);
    connect(page, &QAction::triggered, this, &CPrintPreview::FitPage);
    m_toolBar->addAction(width);
    m_toolBar->addAction(page);
}

void CPrintPreview::SetPageLayout(const QPageLayout& layout)
{
    m_area->SetLayout(layout);
}

QPageLayout CPrintPreview::PageLayout() const
{
    return m_area->Layout();
}

int CPrintPreview::PageCount() const
{
    return m_area->PageCount();
}

bool CPrintPreview::LayingOut() const
{
    return m_report.Running();
}

int CPrintPreview::CurrentPage() const
{
    return m_area->CurrentPage();
}

void CPrintPreview::GoToPage(int number)
{
    const int count = PageCount();
    if (number > count && m_report.Running()) {
        m_awaited = number;
    } else {
        m_awaited = 0;
        m_area->GoToPage(std::min(number, count));
    }
    ShowPosition();
    ShowProgress();
}

double CPrintPreview::Zoom() const
{
    return m_area->Zoom();
}

void CPrintPreview::SetZoom(double zoom)
{
    m_area->SetZoom(zoom);
}

void CPrintPreview::FitWidth()
{
    m_area->SetFit(CPreviewArea::Fit::Width);
}

void CPrintPreview::FitPage()
{
    m_area->SetFit(CPreviewArea::Fit::Page);
}

int CPrintPreview::PagesDrawn() const
{
    return m_area->Drawn();
}

QAbstractScrollArea* CPrintPreview::Area() const
{
    return m_area;
}

void CPrintPreview::ShowPosition()
{
    const int count = PageCount();
    const bool growing = m_report.Running();
    // A page asked for shows in the box while it is awaited.
    const int page = m_awaited && m_awaited != kLastPage ? m_awaited : CurrentPage();
    {
        const QSignalBlocker block(m_page);
        m_page->setRange(1, growing ? kMaxPageNumber : std::max(1, count));
        if (m_page->value() != page)
            m_page->setValue(page);
    }
    // "of 120..." until the last page is known.
    const QString of = QString::number(count) + (growing ? QStringLiteral("...") : QString());
    m_of->setText(tr(" of %1 ").arg(of));
    if (!m_zoom->lineEdit()->hasFocus())
        m_zoom->setEditText(QStringLiteral("%1%").arg(qRound(Zoom() * 100)));
    Command(QStringLiteral("first"))->setEnabled(page > 1);
    Command(QStringLiteral("previous"))->setEnabled(page > 1);
    Command(QStringLiteral("next"))->setEnabled(growing || page < count);
    Command(QStringLiteral("last"))->setEnabled(growing || page < count);
    Command(QStringLiteral("fitWidth"))->setChecked(m_area->FitMode() == CPreviewArea::Fit::Width);
    Command(QStringLiteral("fitPage"))->setChecked(m_area->FitMode() == CPreviewArea::Fit::Page);
    setWindowTitle(tr("Print Preview - Page %1 of %2").arg(page).arg(of));
}

void CPrintPreview::ShowProgress()
{
    // Shown while the report is laid out; once it is, the line stays with
    // the count, so that the pages do not change size under the reader.
    const bool growing = m_report.Running();
    if (growing)
        m_progressLine->show();
    m_progress->setVisible(growing);
    m_progress->setValue(static_cast<int>(std::lround(m_report.Progress() * 100)));
    QString text;
    if (!growing)
        text = tr("All %1 pages are laid out.").arg(PageCount());
    else if (m_waitingCommand == &m_print)
        text = tr("Printing starts when every page is laid out.");
    else if (m_waitingCommand == &m_export)
        text = tr("The export starts when every page is laid out.");
    else if (m_awaited == kLastPage)
        text = tr("The last page is shown when it is laid out.");
    else if (m_awaited)
        text = tr("Page %1 is shown when it is laid out.").arg(m_awaited);
    else
        text = tr("Laying out page %1...").arg(PageCount() + 1);
    m_progressText->setText(text);
}

} // namespace kestrel
