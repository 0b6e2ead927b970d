#pragma once
// The main window's splitter: the navigation tree on the left, the view of
// the chosen node on the right. Choosing a node replaces the right pane; a
// reusable view (the subcontractor form) is hidden and kept, and bound
// again to the next subcontractor instead of being rebuilt.

#include <QPointer>
#include <QSplitter>

#include "views/viewbinding.h"

namespace kestrel {

class CDataView;
class CSubDoc;
class CSubItemSplitter;
class CSubTreeView;
struct CSubSettings;

class CSubView : public QSplitter {
    Q_OBJECT
public:
    CSubView(CSubDoc& doc, QWidget* parent = nullptr);

    CSubTreeView* Tree() const { return m_tree; }
    // The right pane: a data view or the "Subcontractor Items" split.
    QWidget* RightPane() const { return m_right; }
    // The right pane's view (for the split, its upper view).
    CDataView* CurrentView() const;
    // The split, when the right pane is one.
    CSubItemSplitter* ItemSplitter() const;
    // The kept, hidden view, when there is one.
    CDataView* KeptView() const;

    // Replaces the right pane with the view of the binding's node kind.
    void ShowView(const ViewBinding& binding);
    // Forgets the kept view (its contract is gone).
    void DiscardKeptView();
    // The panes F6 and Shift+F6 move between, in order.
    QList<QWidget*> Panes() const;
    // The width of the tree pane.
    int TreeWidth() const;
    void SetTreeWidth(int width);

private:
    void TakeDownRightPane();
    CDataView* MakeView(int role, const ViewBinding& binding);

    CSubDoc& m_doc;
    CSubTreeView* m_tree = nullptr;
    QPointer<QWidget> m_right;
    QPointer<CDataView> m_kept;
};

} // namespace kestrel
