#include "views/dv_gridbase.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QVBoxLayout>

#include "app/subdoc.h"
#include "app/subsettings.h"
#include "grid/gridmodel.h"
#include "grid/gridview.h"
#include "views/refusalnotice.h"

namespace kestrel {

CDV_GridBase::CDV_GridBase(QWidget* parent)
    : CDV(parent), m_grid(new CGridView(Form())), m_notice(new CRefusalNotice(this))
{
    auto* layout = new QVBoxLayout(Form());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
    setFocusProxy(m_grid);
    m_grid->SetFonts(GridFont(12), GridFont(14), GridFont(14));
    m_grid->Model()->SetCommitter([this](EditResult result) { return CommitEdit(std::move(result)); });
    connect(m_grid, &CGridView::availableWidthChanged, this, [this] { FitColumns(); });
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
    }
    m_grid->Model()->SetSource(source);
    ApplyGridColors();
    FitColumns();
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

bool CDV_GridBase::CommitEdit(EditResult result)
{
    CSubDoc* doc = Document();
    if (!doc)
        return false;
    if (!result) {
        m_notice->Post(*doc, result.error());
        return false;
    }
    return doc->ApplyEdit(std::move(result));
}

} // namespace kestrel
