#include "app/subview.h"

#include "app/subdoc.h"
#include "app/subsettings.h"
#include "app/subtreeview.h"
#include "views/dataview.h"
#include "views/subitemsplitter.h"
#include "views/viewfactory.h"

namespace kestrel {

CSubView::CSubView(CSubDoc& doc, QWidget* parent) : QSplitter(Qt::Horizontal, parent), m_doc(doc)
{
    setObjectName(QStringLiteral("mainSplitter"));
    setChildrenCollapsible(false);
    m_tree = new CSubTreeView(doc, this);
    addWidget(m_tree);
    setStretchFactor(0, 0);
    ShowView(ViewBinding{});
    connect(m_tree, &CSubTreeView::nodeSelected, this, &CSubView::ShowView);
    connect(&m_doc, &CSubDoc::contractClosing, this, &CSubView::DiscardKeptView);
    // A form kept for reuse was built from form definitions that may be gone.
    connect(&m_doc, &CSubDoc::contractReshaped, this, &CSubView::DiscardKeptView);
}

CDataView* CSubView::CurrentView() const
{
    if (auto* split = ItemSplitter())
        return split->Upper();
    return qobject_cast<CDataView*>(m_right.data());
}

CDataView* CSubView::KeptView() const
{
    return m_kept;
}

CSubItemSplitter* CSubView::ItemSplitter() const
{
    return qobject_cast<CSubItemSplitter*>(m_right.data());
}

int CSubView::TreeWidth() const
{
    return sizes().value(0);
}

void CSubView::SetTreeWidth(int width)
{
    const int total = std::max(width + 100, sizes().value(0) + sizes().value(indexOf(m_right)));
    QList<int> s;
    for (int i = 0; i < count(); ++i)
        s.append(i == 0 ? width : (widget(i) == m_right ? std::max(total - width, 100) : 0));
    setSizes(s);
}

void CSubView::TakeDownRightPane()
{
    if (!m_right)
        return;
    auto* view = qobject_cast<CDataView*>(m_right.data());
    if (view && view->IsReusable()) {
        if (m_kept && m_kept != view)
            delete m_kept;
        view->hide();
        m_kept = view;
    } else {
        delete m_right;
    }
    m_right = nullptr;
}

CDataView* CSubView::MakeView(int role, const ViewBinding& binding)
{
    CDataView* view = CViewFactory::Create(static_cast<ViewRole>(role), nullptr);
    view->Bind(&m_doc, binding);
    view->InitialUpdate();
    return view;
}

void CSubView::ShowView(const ViewBinding& binding)
{
    const int treeWidth = TreeWidth();
    const bool hadPane = m_right != nullptr;
    const ViewRole role = RoleOfKind(binding.kind);
    TakeDownRightPane();
    QWidget* pane = nullptr;
    if (role == ViewRole::SubItemGrid) {
        ViewBinding upper = binding;
        upper.kind = NODE_SUB_ITEMS;
        ViewBinding lower = binding;
        lower.kind = NODE_SUB_ITEM_ENTRY;
        auto* split =
            new CSubItemSplitter(MakeView(int(ViewRole::SubItemGrid), upper),
                                 MakeView(int(ViewRole::SubItem), lower), m_doc.Settings().hSplitterPos);
        connect(split, &CSubItemSplitter::upperHeightChanged, this,
                [this](int height) { m_doc.Settings().hSplitterPos = height; });
        pane = split;
    } else if (role == ViewRole::Sub && m_kept) {
        CDataView* view = m_kept;
        m_kept = nullptr;
        view->Rebind(binding);
        pane = view;
    } else {
        pane = MakeView(int(role), binding);
    }
    m_right = pane;
    if (indexOf(pane) < 0)
        addWidget(pane);
    setStretchFactor(indexOf(pane), 1);
    pane->show();
    if (hadPane && treeWidth > 0)
        SetTreeWidth(treeWidth);
}

void CSubView::DiscardKeptView()
{
    delete m_kept;
    m_kept = nullptr;
}

QList<QWidget*> CSubView::Panes() const
{
    QList<QWidget*> panes{m_tree};
    if (auto* split = ItemSplitter())
        panes << split->Upper() << split->Lower();
    else if (m_right)
        panes << m_right.data();
    return panes;
}

} // namespace kestrel
