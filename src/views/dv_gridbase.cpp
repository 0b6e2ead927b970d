#include "views/dv_gridbase.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QVBoxLayout>

#include "app/subdoc.h"
#include "app/subsettings.h"
#include "edit/itemfilters.h"
#include "grid/gridmodel.h"
#include "grid/gridview.h"
#include "views/accessiblename.h"
#include "views/quickfilterbar.h"
#include "views/refusalnotice.h"

namespace kestrel {

CDV_GridBase::CDV_GridBase(QWidget* parent)
    : CDV(parent), m_grid(new CGridView(Form())), m_notice(new CRefusalNotice(this))
{
    auto* layout = new QVBoxLayout(Form());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
    SetAccessibleCaption(m_grid, tr("Items"));
    setFocusProxy(m_grid);
    m_grid->viewport()->installEventFilter(this);
    m_grid->SetFonts(GridFont(12), GridFont(14), GridFont(14));
    m_grid->Model()->SetCommitter([this](EditResult result) { return CommitEdit(std::move(result)); });
    connect(m_grid, &CGridView::availableWidthChanged, this, [this] { FitColumns(); });
}

void CDV_GridBase::EditCopy(QWidget* focus)
{
    // A grid's rows, as a spreadsheet copies them; an open cell editor
    // copies its own text.
    if (focus == m_grid)
        m_grid->CopySelectedRows();
    else
        CDV::EditCopy(focus);
}

QFont CDV_GridBase::GridFont(int pixelHeight)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    // Where it is missing, a face of the same build and width.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QApplication::font().family()});
    font.setPixelSize(pixelHeight);
    font.setWeight(QFont::Bold);
    return font;
}

int CDV_GridBase::CharWidth() const
{
    return std::max(1, QFontMetrics(m_grid->Delegate()->RowFont()).averageCharWidth());
}

void CDV_GridBase::SetUpGrid(CGridDataSource* source)
{
    if (CSubDoc* doc = Document()) {
        disconnect(doc, &CSubDoc::contractClosing, this, nullptr);
        connect(doc, &CSubDoc::contractClosing, this, [this] {
            ReleaseContract();
            m_grid->Model()->SetSource(nullptr);
        });
        connect(doc, &CSubDoc::committingEdits, this, &CDV_GridBase::CommitCellEditor, Qt::UniqueConnection);
    }
    m_grid->Model()->SetSource(source);
    ApplyGridColors();
    FitColumns();
    // A new binding lists every row; the filter chosen applies to it too.
    if (m_filterBar && m_filterBar->Filter())
        RefreshFilter();
    else if (m_filterBar)
        m_filterBar->ShowCount(ShownItemCount(), ListedItemCount());
}

void CDV_GridBase::EnableQuickFilters()
{
    if (m_filterBar)
        return;
    m_filterBar = new CQuickFilterBar(Form());
    static_cast<QVBoxLayout*>(Form()->layout())->insertWidget(0, m_filterBar);
    connect(m_filterBar, &CQuickFilterBar::filterChanged, this, &CDV_GridBase::OnFilterChosen);
}

void CDV_GridBase::OnFilterChosen()
{
    if (CSubDoc* doc = Document(); doc && !doc->CommitEdits()) {
        m_filterBar->Revert();
        return;
    }
    RefreshFilter();
}

void CDV_GridBase::CommitCellEditor(CommitMode mode)
{
    // In the background the editor stays open with what is typed.
    m_quiet = mode == CommitMode::Quietly;
    (void)m_grid->CommitEditor(mode == CommitMode::Leaving);
    m_quiet = false;
}

void CDV_GridBase::RefreshFilter()
{
    if (!m_filterBar)
        return;
    const std::optional<ItemFilter> filter = m_filterBar->Filter();
    const CContract* contract = Contract();
    std::vector<int> items;
    if (filter && contract)
        items = MatchingItems(*contract, *filter, FilterTier());
    const QModelIndex current = m_grid->currentIndex();
    const std::string line = current.isValid() ? LineOfRow(current.row()) : std::string();
    const int offset = current.isValid() ? current.row() % m_grid->Model()->RowsPerRecord() : 0;
    const int column = current.isValid() ? current.column() : HomeColumn();
    if (ShowOnlyItems(filter && contract ? &items : nullptr)) {
        // The rows are others now: the cursor stays on its line when that
        // is still listed, else it goes to the first row.
        m_grid->Model()->Reset();
        if (m_grid->Model()->rowCount() > 0) {
            const int row = RowOfLine(line);
            m_grid->setCurrentIndex(m_grid->Model()->index(row < 0 ? 0 : row + offset, column));
        } else {
            OnNoCurrentRow();
        }
    }
    m_filterBar->ShowCount(ShownItemCount(), ListedItemCount());
}

bool CDV_GridBase::GoToLine(const std::string& line)
{
    if (RowOfLine(line) < 0 && m_filterBar && m_filterBar->Filter())
        m_filterBar->SetFilter(std::nullopt);
    const int row = RowOfLine(line);
    if (row < 0)
        return false;
    m_grid->MoveToRow(row);
    m_grid->scrollTo(m_grid->currentIndex(), QAbstractItemView::PositionAtCenter);
    return true;
}

void CDV_GridBase::ApplyGridColors()
{
    const CSubDoc* doc = Document();
    if (!doc) {
        m_grid->SetColors(MakeGridColors(m_grid->palette(), false, QColor(), QColor()));
        return;
    }
    const CSubSettings& settings = doc->Settings();
    const QScreen* screen = this->screen();
    const bool custom = settings.backgroundType == 1 && (!screen || screen->depth() > 8);
    m_grid->SetColors(
        MakeGridColors(m_grid->palette(), custom, settings.gridBkgColor, settings.gridHiliteColor));
}

void CDV_GridBase::OnColorHint()
{
    CDV::OnColorHint();
    ApplyGridColors();
}

bool CDV_GridBase::eventFilter(QObject* watched, QEvent* event)
{
    // (The base watches its form from before the grid is made: the type is
    // asked first.)
    const bool press =
        event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (press && watched == m_grid->viewport()) {
        // The focus moved before the click is delivered, and the entry it
        // left was stored then: a refusal is known by now.
        const CSubDoc* doc = Document();
        if (doc && doc->RefusalPending())
            return true;
    }
    return CDV::eventFilter(watched, event);
}

bool CDV_GridBase::CommitEdit(EditResult result)
{
    CSubDoc* doc = Document();
    if (!doc)
        return false;
    if (!result) {
        if (!m_quiet)
            m_notice->Post(*doc, result.error());
        return false;
    }
    return doc->ApplyEdit(std::move(result));
}

} // namespace kestrel
