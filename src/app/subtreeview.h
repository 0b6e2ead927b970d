#pragma once
// The navigation tree: the contract, its subcontractors in tiers with their
// item lists, the miscellaneous data, the contract items and, in debug mode,
// the data templates. Each node is bound to what it stands for (a record,
// never a row number); its label and its folder colour (the completeness
// marks) are taken from the record whenever it is drawn. The tree follows
// the document's change events: records added, deleted, moved, renamed,
// itemized or not.
//
// It carries Add Subcontractor (Insert), Delete Subcontractor (Delete) and
// the dragging of subcontractors between tiers, all through the edit layer.

#include <QByteArray>
#include <QPoint>
#include <QPointer>

#include "app/treenodekind.h"
#include "views/coloredtreeview.h"
#include "views/editsupport.h"
#include "views/viewbinding.h"

class QAction;
class QMimeData;

namespace kestrel {

class CSubDoc;
class CSubcontract;
struct ChangeEvent;

class CSubTreeView : public CColoredTreeView, public CEditSupport {
    Q_OBJECT
public:
    explicit CSubTreeView(CSubDoc& doc, QWidget* parent = nullptr);

    // The actions the context menu offers (the main window's).
    void SetCommandActions(QAction* add, QAction* remove);

    // Clears and builds the tree of the document's contract.
    void Rebuild();
    void Clear();

    // --- nodes --------------------------------------------------------------
    static TreeNodeKind KindOf(const QTreeWidgetItem* node);
    static CSubcontract* RecordOf(const QTreeWidgetItem* node);
    QTreeWidgetItem* ContractNode() const;
    QTreeWidgetItem* SubcontractorsNode() const;
    // The node of a subcontractor; null when it has none.
    QTreeWidgetItem* FindNode(const CSubcontract* record) const;
    // The first node of a kind (depth first).
    QTreeWidgetItem* FindKind(TreeNodeKind kind) const;
    // What a node opens in the right-hand pane.
    ViewBinding BindingOf(const QTreeWidgetItem* node) const;
    // The label of the node as drawn.
    QString NodeText(const QTreeWidgetItem* node) const;
    QString SelectedNodeText() const;
    TreeNodeKind SelectedKind() const;
    CSubcontract* SelectedRecord() const;
    // The folder state of a node: 0 red, 1 green, 2 yellow.
    int StateOf(const QTreeWidgetItem* node) const;

    // --- commands -------------------------------------------------------
    bool CanAddSubcontractor() const;
    void OnAddSubcontractor();
    bool CanDeleteSubcontractor() const;
    void OnDeleteSubcontractor();

    // Copy on the "Contract Items" node puts the contract's items on the
    // clipboard; on other nodes there is nothing to copy.
    void EditCopy(QWidget* focus) override;

    // --- dragging subcontractors ----------------------------------------
    // The data of a drag of the record from this tree.
    QMimeData* MakeDragData(const CSubcontract& record) const;
    // The record a drag's data name, when the drag came from this tree.
    CSubcontract* DraggedRecord(const QMimeData* data) const;
    bool AcceptsDrop(const QMimeData* data, const QTreeWidgetItem* target) const;
    // Moves the dragged record under the target; false when refused.
    bool DropOn(const QMimeData* data, QTreeWidgetItem* target);
    QTreeWidgetItem* DropHighlight() const { return m_dropHighlight; }

signals:
    // The node chosen (by the user or a change): the pane shows its view.
    void nodeSelected(const kestrel::ViewBinding& binding);
    // The enabling of Add and Delete may have changed.
    void commandStateChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

private:
    QTreeWidgetItem* NewNode(QTreeWidgetItem* parent, TreeNodeKind kind, CSubcontract* record,
                             const QString& text, int index = -1);
    // A subcontractor's node with its item list, debug node and lower tiers.
    QTreeWidgetItem* AddSubNode(QTreeWidgetItem* parent, CSubcontract* record);
    void ContractChanged(const ChangeEvent& event);
    // Brings the subcontractors' nodes in line with the table (after an
    // undo or redo), keeping the selection and what was expanded.
    void SyncSubcontractors();
    // Adds or removes the "Subcontractor Items" nodes as the records'
    // itemized state says.
    void SyncItemized();
    void RemoveNode(QTreeWidgetItem* node);
    void SelectNode(QTreeWidgetItem* node);
    void ApplyBackground();
    void SetDropHighlight(QTreeWidgetItem* node);

    CSubDoc& m_doc;
    QPointer<QAction> m_addAction;
    QPointer<QAction> m_deleteAction;
    bool m_suppressSelection = false;
    QByteArray m_dragToken;
    QPoint m_pressPos;
    QTreeWidgetItem* m_pressNode = nullptr;
    QTreeWidgetItem* m_dropHighlight = nullptr;
};

} // namespace kestrel
