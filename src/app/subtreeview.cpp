#include "app/subtreeview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QUuid>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "app/asker.h"
#include "app/painticons.h"
#include "app/qtext.h"
#include "app/subclipboard.h"
#include "app/subdoc.h"
#include "app/subsettings.h"
#include "model/contract/contract.h"
#include "model/contract/itemstext.h"
#include "model/subcontract/winmeta.h"
#include "views/accessiblename.h"

namespace kestrel {

namespace {

enum NodeRole : int { KindRole = Qt::UserRole + 1, RecordRole, TemplateRole };

const QIcon& StateIcon(int state)
{
    static const QIcon icons[4] = {FolderIcon(0), FolderIcon(1), FolderIcon(2), FolderIcon(3)};
    return icons[std::clamp(state, 0, 3)];
}

// A node: its kind and what it stands for; label and folder are taken from
// the record each time the node is drawn.
class CTreeNode : public QTreeWidgetItem {
public:
    CTreeNode(const CSubTreeView& tree, TreeNodeKind kind, CSubcontract* record, const QString& text)
        : QTreeWidgetItem(QTreeWidgetItem::UserType), m_tree(tree)
    {
        setData(0, KindRole, int(kind));
        setData(0, RecordRole, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(record)));
        setText(0, text);
    }

    QVariant data(int column, int role) const override
    {
        // The whole label also as the tip, for a pane too narrow to show it.
        if (column == 0 && (role == Qt::DisplayRole || role == Qt::ToolTipRole))
            return m_tree.NodeText(this);
        if (column == 0 && role == Qt::DecorationRole)
            return StateIcon(m_tree.StateOf(this));
        // What the folder's colour says, in words.
        if (column == 0 && role == Qt::AccessibleDescriptionRole) {
            switch (m_tree.StateOf(this)) {
            case FOLDER_RED: return CSubTreeView::tr("incomplete");
            case FOLDER_GREEN: return CSubTreeView::tr("complete");
            default: return QString();
            }
        }
        return QTreeWidgetItem::data(column, role);
    }

    QString StoredText() const { return QTreeWidgetItem::data(0, Qt::DisplayRole).toString(); }

private:
    const CSubTreeView& m_tree;
};

std::multimap<const CSubcontract*, CSubcontract*> ChildrenOf(const CWinMeta& table)
{
    std::multimap<const CSubcontract*, CSubcontract*> children;
    for (const auto& rec : table.m_Records)
        children.emplace(rec->m_pParent, rec.get());
    return children;
}

} // namespace

CSubTreeView::CSubTreeView(CSubDoc& doc, QWidget* parent) : CColoredTreeView(parent), m_doc(doc)
{
    setObjectName(QStringLiteral("navigationTree"));
    SetAccessibleCaption(this, tr("Contract navigation"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(false); // drags start here, in the private format
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    setExpandsOnDoubleClick(true);
    setIconSize(QSize(16, 16));
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header()->setStretchLastSection(true);
    m_dragToken = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
        if (m_suppressSelection)
            return;
        emit nodeSelected(BindingOf(current));
        emit commandStateChanged();
    });
    connect(&m_doc, &CSubDoc::contractChanged, this, &CSubTreeView::ContractChanged);
    connect(&m_doc, &CSubDoc::contractClosing, this, &CSubTreeView::Clear);
    connect(&m_doc, &CSubDoc::documentReplaced, this, &CSubTreeView::Rebuild);
    connect(&m_doc, &CSubDoc::contractReshaped, this, &CSubTreeView::Rebuild);
    connect(&m_doc, &CSubDoc::colorSettingsChanged, this, &CSubTreeView::ApplyBackground);
    ApplyBackground();
}

void CSubTreeView::SetCommandActions(QAction* add, QAction* remove)
{
    m_addAction = add;
    m_deleteAction = remove;
}

void CSubTreeView::ApplyBackground()
{
    CBackgroundPainter painter;
    const QScreen* screen = this->screen();
    painter.FromSettings(m_doc.Settings(), screen ? screen->depth() : 32);
    SetBackground(painter);
}

// --- nodes -----------------------------------------------------------------

TreeNodeKind CSubTreeView::KindOf(const QTreeWidgetItem* node)
{
    return node ? static_cast<TreeNodeKind>(node->data(0, KindRole).toInt()) : NODE_NONE;
}

CSubcontract* CSubTreeView::RecordOf(const QTreeWidgetItem* node)
{
    return node ? reinterpret_cast<CSubcontract*>(node->data(0, RecordRole).value<quintptr>()) : nullptr;
}

QString CSubTreeView::NodeText(const QTreeWidgetItem* node) const
{
    if (!node)
        return QString();
    const QString stored = static_cast<const CTreeNode*>(node)->StoredText();
    if (KindOf(node) != NODE_SUBCONTRACTOR)
        return stored;
    const CSubcontract* record = RecordOf(node);
    if (!m_doc.IsRecordAlive(record))
        return tr("<Unknown>");
    const Text* name = record->GetCellText(SUBF_NAME);
    return name ? ToQString(*name) : QString();
}

int CSubTreeView::StateOf(const QTreeWidgetItem* node) const
{
    const CContract* c = m_doc.Contract();
    if (!c)
        return FOLDER_YELLOW;
    const CSubcontract* record = RecordOf(node);
    switch (KindOf(node)) {
    case NODE_CONTRACT: return FlagTest(c->m_wFlags, CONTRACT_BID_ERRORS) ? FOLDER_RED : FOLDER_GREEN;
    case NODE_SUBCONTRACTORS:
        return !c->m_pSubTable || c->m_pSubTable->AllRecordsComplete() ? FOLDER_GREEN : FOLDER_RED;
    case NODE_SUBCONTRACTOR:
        if (!m_doc.IsRecordAlive(record))
            return FOLDER_YELLOW;
        return FlagTest(record->m_wFlags, SUB_COMPLETE) ? FOLDER_GREEN : FOLDER_RED;
    case NODE_SUB_ITEMS:
        if (!m_doc.IsRecordAlive(record))
            return FOLDER_YELLOW;
        return FlagTest(record->m_wFlags, SUB_ITEMS_COMPLETE) ? FOLDER_GREEN : FOLDER_RED;
    case NODE_MISC_DATA:
        if (!c->m_pMiscTable || c->m_pMiscTable->m_Records.IsEmpty())
            return FOLDER_YELLOW;
        return FlagTest(c->m_pMiscTable->m_Records[0]->m_wFlags, SUB_COMPLETE) ? FOLDER_GREEN : FOLDER_RED;
    default: return FOLDER_YELLOW;
    }
}

QTreeWidgetItem* CSubTreeView::ContractNode() const
{
    return topLevelItemCount() > 0 ? topLevelItem(0) : nullptr;
}

QTreeWidgetItem* CSubTreeView::SubcontractorsNode() const
{
    return FindKind(NODE_SUBCONTRACTORS);
}

QTreeWidgetItem* CSubTreeView::FindKind(TreeNodeKind kind) const
{
    for (QTreeWidgetItemIterator it(const_cast<CSubTreeView*>(this)); *it; ++it)
        if (KindOf(*it) == kind)
            return *it;
    return nullptr;
}

QTreeWidgetItem* CSubTreeView::FindNode(const CSubcontract* record) const
{
    if (!record)
        return nullptr;
    for (QTreeWidgetItemIterator it(const_cast<CSubTreeView*>(this)); *it; ++it)
        if (KindOf(*it) == NODE_SUBCONTRACTOR && RecordOf(*it) == record)
            return *it;
    return nullptr;
}

ViewBinding CSubTreeView::BindingOf(const QTreeWidgetItem* node) const
{
    ViewBinding binding;
    if (!node)
        return binding;
    binding.kind = KindOf(node);
    binding.record = RecordOf(node);
    binding.label = NodeText(node);
    if (binding.kind == NODE_DATA_TEMPLATE)
        binding.templateName = node->data(0, TemplateRole).toString();
    return binding;
}

QString CSubTreeView::SelectedNodeText() const
{
    return NodeText(currentItem());
}

TreeNodeKind CSubTreeView::SelectedKind() const
{
    return KindOf(currentItem());
}

CSubcontract* CSubTreeView::SelectedRecord() const
{
    CSubcontract* record = RecordOf(currentItem());
    return m_doc.IsRecordAlive(record) ? record : nullptr;
}

// --- building ----------------------------------------------------------------

QTreeWidgetItem* CSubTreeView::NewNode(QTreeWidgetItem* parent, TreeNodeKind kind, CSubcontract* record,
                                       const QString& text, int index)
{
    auto* node = new CTreeNode(*this, kind, record, text);
    if (!parent)
        addTopLevelItem(node);
    else if (index >= 0)
        parent->insertChild(index, node);
    else
        parent->addChild(node);
    return node;
}

QTreeWidgetItem* CSubTreeView::AddSubNode(QTreeWidgetItem* parent, CSubcontract* record)
{
    const CWinMeta& table = *m_doc.Contract()->m_pSubTable;
    const auto children = ChildrenOf(table);
    QTreeWidgetItem* first = nullptr;
    // Depth first without recursion; a parent chain that loops back on
    // itself is cut where it meets a record already placed.
    std::set<const CSubcontract*> placed;
    std::vector<std::pair<QTreeWidgetItem*, CSubcontract*>> pending{{parent, record}};
    while (!pending.empty()) {
        auto [under, rec] = pending.back();
        pending.pop_back();
        if (!placed.insert(rec).second)
            continue;
        QTreeWidgetItem* node = NewNode(under, NODE_SUBCONTRACTOR, rec, QString());
        if (!first)
            first = node;
        if (rec->IsItemized())
            NewNode(node, NODE_SUB_ITEMS, rec, tr("Subcontractor Items"));
        if (m_doc.DebugMode())
            NewNode(node, NODE_DEBUG_VIEW, rec, tr("Debug View"));
        auto [from, to] = children.equal_range(rec);
        std::vector<CSubcontract*> lower;
        for (auto it = from; it != to; ++it)
            lower.push_back(it->second);
        // Pushed in reverse, so that they come out in table order.
        for (auto it = lower.rbegin(); it != lower.rend(); ++it)
            pending.emplace_back(node, *it);
    }
    return first;
}

void CSubTreeView::Clear()
{
    m_suppressSelection = true;
    m_dropHighlight = nullptr;
    m_pressNode = nullptr;
    setCurrentItem(nullptr);
    clear();
    m_suppressSelection = false;
    emit nodeSelected(ViewBinding{});
    emit commandStateChanged();
}

void CSubTreeView::Rebuild()
{
    Clear();
    const CContract* c = m_doc.Contract();
    if (!c)
        return;
    m_suppressSelection = true;
    QTreeWidgetItem* root = NewNode(nullptr, NODE_CONTRACT, nullptr, ToQString(c->pszContractID()));
    QTreeWidgetItem* subs = NewNode(root, NODE_SUBCONTRACTORS, nullptr, tr("Subcontractors"));
    if (const CWinMeta* table = c->m_pSubTable.get())
        for (const auto& rec : table->m_Records)
            if (!rec->m_pParent)
                AddSubNode(subs, rec.get());
    if (FlagTest(c->m_wFlags, CONTRACT_HAS_MISC) && c->m_pMiscTable)
        NewNode(root, NODE_MISC_DATA, nullptr, tr("Miscellaneous Data"));
    if (FlagTest(c->m_wFlags, CONTRACT_SHOW_ITEMS))
        NewNode(root, NODE_CONTRACT_ITEMS, nullptr, tr("Contract Items"));
    if (m_doc.DebugMode()) {
        QTreeWidgetItem* info = NewNode(root, NODE_TEMPLATE_INFO, nullptr, tr("Template Info"));
        std::vector<std::string> names = c->m_DataTemplates.Keys();
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            QTreeWidgetItem* node = NewNode(info, NODE_DATA_TEMPLATE, nullptr, ToQString(name));
            node->setData(0, TemplateRole, ToQString(name));
        }
    }
    root->setExpanded(true);
    subs->setExpanded(true);
    m_suppressSelection = false;
    setCurrentItem(root);
}

// --- following the contract -----------------------------------------------

void CSubTreeView::RemoveNode(QTreeWidgetItem* node)
{
    if (!node)
        return;
    if (m_dropHighlight && (m_dropHighlight == node || node->indexOfChild(m_dropHighlight) >= 0))
        m_dropHighlight = nullptr;
    m_pressNode = nullptr;
    delete node;
}

void CSubTreeView::SelectNode(QTreeWidgetItem* node)
{
    if (!node)
        return;
    scrollToItem(node);
    setCurrentItem(node);
}

void CSubTreeView::ContractChanged(const ChangeEvent& event)
{
    if (!m_doc.Contract() || !ContractNode())
        return;
    QTreeWidgetItem* subs = SubcontractorsNode();
    CSubcontract* record = const_cast<CSubcontract*>(event.record);
    switch (event.kind) {
    case ChangeKind::SubcontractorAdded:
        if (subs && m_doc.IsRecordAlive(record) && !FindNode(record)) {
            QTreeWidgetItem* parent = FindNode(record->m_pParent);
            QTreeWidgetItem* node = AddSubNode(parent ? parent : subs, record);
            SelectNode(node);
        }
        break;
    case ChangeKind::SubcontractorDeleted: {
        RemoveNode(FindNode(record));
        // Nodes of lower tiers that went with it, wherever they were.
        std::vector<QTreeWidgetItem*> gone;
        for (QTreeWidgetItemIterator it(this); *it; ++it)
            if (KindOf(*it) == NODE_SUBCONTRACTOR && !m_doc.IsRecordAlive(RecordOf(*it)))
                gone.push_back(*it);
        for (auto it = gone.rbegin(); it != gone.rend(); ++it)
            RemoveNode(*it);
        break;
    }
    case ChangeKind::SubcontractorMoved:
        if (QTreeWidgetItem* node = FindNode(record); node && subs) {
            QTreeWidgetItem* target = record->m_pParent ? FindNode(record->m_pParent) : subs;
            if (target && node->parent() != target) {
                const bool wasCurrent = currentItem() == node;
                m_suppressSelection = true;
                node->parent()->removeChild(node);
                target->addChild(node);
                target->setExpanded(true);
                m_suppressSelection = false;
                if (wasCurrent)
                    setCurrentItem(node);
            }
        }
        SyncItemized();
        break;
    case ChangeKind::Undone:
    case ChangeKind::Redone:
        if (event.treeChanged)
            SyncSubcontractors();
        break;
    default:
        if (event.treeChanged)
            SyncItemized();
        break;
    }
    // Labels and folders are read when drawn.
    scheduleDelayedItemsLayout();
    viewport()->update();
    emit commandStateChanged();
}

void CSubTreeView::SyncItemized()
{
    std::vector<QTreeWidgetItem*> nodes;
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        if (KindOf(*it) == NODE_SUBCONTRACTOR)
            nodes.push_back(*it);
    for (QTreeWidgetItem* node : nodes) {
        CSubcontract* record = RecordOf(node);
        QTreeWidgetItem* items = nullptr;
        for (int i = 0; i < node->childCount(); ++i)
            if (KindOf(node->child(i)) == NODE_SUB_ITEMS)
                items = node->child(i);
        const bool itemized = m_doc.IsRecordAlive(record) && record->IsItemized();
        if (itemized && !items)
            NewNode(node, NODE_SUB_ITEMS, record, tr("Subcontractor Items"), 0);
        else if (!itemized && items)
            RemoveNode(items);
    }
}

void CSubTreeView::SyncSubcontractors()
{
    QTreeWidgetItem* subs = SubcontractorsNode();
    const CContract* c = m_doc.Contract();
    if (!subs || !c)
        return;
    const ViewBinding selected = BindingOf(currentItem());
    std::set<const CSubcontract*> expanded;
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        if (KindOf(*it) == NODE_SUBCONTRACTOR && (*it)->isExpanded())
            expanded.insert(RecordOf(*it));
    m_suppressSelection = true;
    const bool selectionInside =
        currentItem() &&
        (currentItem() == subs || subs->indexOfChild(currentItem()) >= 0 ||
         KindOf(currentItem()) == NODE_SUBCONTRACTOR || KindOf(currentItem()) == NODE_SUB_ITEMS ||
         KindOf(currentItem()) == NODE_DEBUG_VIEW);
    if (selectionInside)
        setCurrentItem(subs);
    while (subs->childCount() > 0)
        RemoveNode(subs->child(0));
    if (const CWinMeta* table = c->m_pSubTable.get())
        for (const auto& rec : table->m_Records)
            if (!rec->m_pParent)
                AddSubNode(subs, rec.get());
    QTreeWidgetItem* again = nullptr;
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        if (KindOf(*it) == NODE_SUBCONTRACTOR && expanded.count(RecordOf(*it)))
            (*it)->setExpanded(true);
        if (KindOf(*it) == selected.kind && RecordOf(*it) == selected.record && selected.record)
            again = *it;
    }
    m_suppressSelection = false;
    if (!selectionInside)
        return;
    if (again) {
        // The same node again: the view it shows stays.
        m_suppressSelection = true;
        setCurrentItem(again);
        m_suppressSelection = false;
        if (!m_doc.IsRecordAlive(selected.record))
            emit nodeSelected(BindingOf(again));
    } else {
        m_suppressSelection = true;
        setCurrentItem(nullptr);
        m_suppressSelection = false;
        setCurrentItem(subs);
    }
}

// --- commands --------------------------------------------------------------

void CSubTreeView::EditCopy(QWidget* /*focus*/)
{
    // By the node's kind, not its label: a subcontractor may be named
    // "Contract Items" too.
    if (m_doc.Contract() && SelectedKind() == NODE_CONTRACT_ITEMS)
        QGuiApplication::clipboard()->setText(ToQString(ContractItemsText(*m_doc.Contract())));
}

bool CSubTreeView::CanAddSubcontractor() const
{
    return m_doc.Contract() && m_doc.Contract()->m_pSubTable && m_doc.Edits();
}

void CSubTreeView::OnAddSubcontractor()
{
    // Refused before anything changes: the selection stays where it is.
    if (!CanAddSubcontractor() || m_doc.RefuseWhileReadOnly())
        return;
    CSubcontract* selected = SelectedKind() == NODE_SUBCONTRACTOR ? SelectedRecord() : nullptr;
    (void)m_doc.ApplyEdit(m_doc.Edits()->AddSubcontractor(selected));
}

bool CSubTreeView::CanDeleteSubcontractor() const
{
    if (!m_doc.Edits() || SelectedKind() != NODE_SUBCONTRACTOR)
        return false;
    const CSubcontract* record = SelectedRecord();
    return record && m_doc.Edits()->CanDeleteSubcontractor(*record).ok();
}

void CSubTreeView::OnDeleteSubcontractor()
{
    if (!CanDeleteSubcontractor() || m_doc.RefuseWhileReadOnly())
        return;
    CSubcontract* record = SelectedRecord();
    if (m_doc.Settings().deleteWarn) {
        const Text* name = record->GetCellText(SUBF_NAME);
        const QString text = tr("Are you sure you want to delete the Subcontractor record\n%1 ?")
                                 .arg(name ? ToQString(*name) : QString());
        if (m_doc.Asker().Ask(window(), tr("Delete Warning"), text, QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::Warning) != QMessageBox::Yes)
            return;
    }
    const CWinMeta& table = *m_doc.Contract()->m_pSubTable;
    const int row = table.m_Records.IndexOf(record);
    if (!m_doc.ApplyEdit(m_doc.Edits()->DeleteSubcontractor(*record)))
        return;
    // The record before the deleted one (the first when it was the first).
    if (CSubcontract* next = table.m_Records.GetAt(std::max(row - 1, 0)))
        SelectNode(FindNode(next));
}

// --- keyboard and mouse ------------------------------------------------------

void CSubTreeView::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier) {
        if (event->key() == Qt::Key_Insert && CanAddSubcontractor()) {
            OnAddSubcontractor();
            return;
        }
        if (event->key() == Qt::Key_Delete && CanDeleteSubcontractor()) {
            OnDeleteSubcontractor();
            return;
        }
    }
    CColoredTreeView::keyPressEvent(event);
}

void CSubTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    QTreeWidgetItem* node =
        event->reason() == QContextMenuEvent::Mouse ? itemAt(event->pos()) : currentItem();
    if (!node)
        return;
    const TreeNodeKind kind = KindOf(node);
    if (kind != NODE_SUBCONTRACTORS && kind != NODE_SUBCONTRACTOR)
        return;
    if (currentItem() != node)
        setCurrentItem(node);
    QMenu menu(this);
    if (m_addAction)
        menu.addAction(m_addAction);
    if (kind == NODE_SUBCONTRACTOR && m_deleteAction)
        menu.addAction(m_deleteAction);
    emit commandStateChanged();
    const QPoint at = event->reason() == QContextMenuEvent::Mouse
                          ? event->globalPos()
                          : viewport()->mapToGlobal(visualItemRect(node).bottomLeft());
    menu.exec(at);
}

void CSubTreeView::mousePressEvent(QMouseEvent* event)
{
    m_pressNode = nullptr;
    QTreeWidgetItem* node = itemAt(event->position().toPoint());
    // Another node leaves the view: what is typed there is stored first,
    // and an entry refused keeps the view (its message is on its way).
    if (node && node != currentItem() && !m_doc.CommitEdits()) {
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) {
        // The right button chooses the node under it first.
        if (node)
            setCurrentItem(node);
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    CColoredTreeView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && node &&
        visualItemRect(node).contains(event->position().toPoint())) {
        m_pressNode = node;
        m_pressPos = event->position().toPoint();
    }
}

void CSubTreeView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || !m_pressNode ||
        (event->position().toPoint() - m_pressPos).manhattanLength() < QApplication::startDragDistance()) {
        CColoredTreeView::mouseMoveEvent(event);
        return;
    }
    QTreeWidgetItem* node = m_pressNode;
    m_pressNode = nullptr;
    const CContract* c = m_doc.Contract();
    CSubcontract* record = RecordOf(node);
    if (!c || KindOf(node) != NODE_SUBCONTRACTOR || !FlagTest(c->m_wFlags, CONTRACT_DRAG_TIERS) ||
        !m_doc.IsRecordAlive(record))
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(MakeDragData(*record));
    drag->setPixmap(StateIcon(StateOf(node)).pixmap(iconSize(), devicePixelRatioF()));
    drag->exec(Qt::MoveAction);
    SetDropHighlight(nullptr);
}

// --- dragging subcontractors ---------------------------------------------

QMimeData* CSubTreeView::MakeDragData(const CSubcontract& record) const
{
    const Text* number = record.GetCellText(SUBF_NUMBER);
    return CSubClipboard::Make(m_dragToken, QByteArray(number ? number->View().data() : "",
                                                       number ? qsizetype(number->View().size()) : 0));
}

CSubcontract* CSubTreeView::DraggedRecord(const QMimeData* data) const
{
    const std::optional<CSubClipboard::Payload> payload = CSubClipboard::Read(data);
    const CContract* c = m_doc.Contract();
    if (!payload || payload->token != m_dragToken || !c || !c->m_pSubTable)
        return nullptr;
    return c->m_pSubTable->FindRecordByNumber(
        std::string_view(payload->number.constData(), size_t(payload->number.size())));
}

bool CSubTreeView::AcceptsDrop(const QMimeData* data, const QTreeWidgetItem* target) const
{
    const CSubcontract* record = DraggedRecord(data);
    if (!record || !target || !FindNode(record) || !m_doc.Edits())
        return false;
    const TreeNodeKind kind = KindOf(target);
    if (kind == NODE_SUBCONTRACTORS)
        return m_doc.Edits()->AcceptsMove(*record, nullptr);
    if (kind != NODE_SUBCONTRACTOR)
        return false;
    const CSubcontract* onto = RecordOf(target);
    return m_doc.IsRecordAlive(onto) && m_doc.Edits()->AcceptsMove(*record, onto);
}

bool CSubTreeView::DropOn(const QMimeData* data, QTreeWidgetItem* target)
{
    if (!AcceptsDrop(data, target) || m_doc.RefuseWhileReadOnly())
        return false;
    CSubcontract* record = DraggedRecord(data);
    CSubcontract* onto = KindOf(target) == NODE_SUBCONTRACTOR ? RecordOf(target) : nullptr;
    return m_doc.ApplyEdit(m_doc.Edits()->MoveSubcontractor(*record, onto));
}

void CSubTreeView::SetDropHighlight(QTreeWidgetItem* node)
{
    if (m_dropHighlight == node)
        return;
    m_dropHighlight = node;
    viewport()->update();
}

void CSubTreeView::dragEnterEvent(QDragEnterEvent* event)
{
    QTreeWidgetItem* target = itemAt(event->position().toPoint());
    if (CSubClipboard::Read(event->mimeData())) {
        SetDropHighlight(target);
        event->setDropAction(AcceptsDrop(event->mimeData(), target) ? Qt::MoveAction : Qt::IgnoreAction);
        // Entering is always taken, so that moving on to another node is
        // asked about; the answer for this node is the action.
        event->accept();
        return;
    }
    event->ignore();
}

void CSubTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    QTreeWidgetItem* target = itemAt(event->position().toPoint());
    SetDropHighlight(target);
    if (AcceptsDrop(event->mimeData(), target)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CSubTreeView::dragLeaveEvent(QDragLeaveEvent* event)
{
    SetDropHighlight(nullptr);
    event->accept();
}

void CSubTreeView::dropEvent(QDropEvent* event)
{
    QTreeWidgetItem* target = itemAt(event->position().toPoint());
    SetDropHighlight(nullptr);
    if (DropOn(event->mimeData(), target)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CSubTreeView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const
{
    if (m_dropHighlight && itemFromIndex(index) == m_dropHighlight) {
        QColor mark = palette().color(QPalette::Highlight);
        mark.setAlpha(90);
        painter->fillRect(visualRect(index), mark);
    }
    CColoredTreeView::drawRow(painter, option, index);
}

} // namespace kestrel
