#include "app/checkpanel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/checklistmodel.h"
#include "app/contractnavigator.h"
#include "app/subdoc.h"
#include "edit/changeevent.h"
#include "views/accessiblename.h"

namespace kestrel {

CCheckPanel::CCheckPanel(CSubDoc& doc, CContractNavigator& navigator, QWidget* parent)
    : QDockWidget(tr("Check Panel"), parent), m_doc(doc), m_navigator(navigator),
      m_model(new CCheckListModel(this)), m_list(new QTreeView(this)), m_summary(new QLabel(this))
{
    setObjectName(QStringLiteral("checkPanel"));
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::RightDockWidgetArea | Qt::LeftDockWidgetArea);
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(3);
    m_summary->setObjectName(QStringLiteral("checkSummary"));
    m_summary->setContentsMargins(2, 0, 0, 0);
    layout->addWidget(m_summary);
    m_list->setObjectName(QStringLiteral("checkList"));
    SetAccessibleCaption(m_list, windowTitle());
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The message takes the room; where it points is as wide as it needs.
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(CCheckListModel::ColMessage, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(CCheckListModel::ColWhere, QHeaderView::ResizeToContents);
    m_list->installEventFilter(this);
    layout->addWidget(m_list, 1);
    setWidget(body);

    connect(m_list, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) { GoTo(index.row()); });
    connect(&m_doc, &CSubDoc::contractChanged, this, &CCheckPanel::OnContractChanged);
    connect(&m_doc, &CSubDoc::documentReplaced, this, &CCheckPanel::Refresh);
    connect(&m_doc, &CSubDoc::contractClosing, this, [this] {
        m_model->Clear();
        m_summary->clear();
    });
    Refresh();
}

void CCheckPanel::OnContractChanged(const ChangeEvent& event)
{
    // The check runs after every change; the list is filled again only when
    // its result changed.
    if (event.checkChanged)
        Refresh();
}

void CCheckPanel::Refresh()
{
    const CContractEdits* edits = m_doc.Edits();
    if (!m_doc.HasContract() || !edits) {
        m_model->Clear();
        m_summary->setText(tr("No contract is open."));
        return;
    }
    m_model->Fill(m_doc.Contract(), edits->LastCheck());
    const int errors = m_model->Errors();
    const int warnings = m_model->Warnings();
    if (errors == 0 && warnings == 0) {
        m_summary->setText(tr("Contract Is Complete"));
        return;
    }
    auto plural = [](int n, const char* one, const char* many) {
        return QStringLiteral("%1 %2").arg(n).arg(QString::fromLatin1(n == 1 ? one : many));
    };
    m_summary->setText(tr("<b>%1</b>, %2 &nbsp;&mdash;&nbsp; double-click a message to go there")
                           .arg(plural(errors, "error", "errors"), plural(warnings, "warning", "warnings")));
}

void CCheckPanel::GoTo(int row)
{
    const CheckTarget target = m_model->Target(row);
    const auto take = CContractNavigator::Focus::Take;
    switch (target.source) {
    case CheckSource::MiscData: m_navigator.ShowMiscField(target.field, take); break;
    case CheckSource::Subcontractor:
        if (!target.line.empty())
            m_navigator.ShowSubItem(target.record, target.line, take);
        else
            m_navigator.ShowSubcontractor(target.record, target.field, take);
        break;
    case CheckSource::None: break;
    }
}

bool CCheckPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_list->currentIndex().isValid()) {
            GoTo(m_list->currentIndex().row());
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

} // namespace kestrel
