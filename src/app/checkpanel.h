#pragma once
// The check panel: a dock listing the messages of the contract check as
// they stand after every change (the edit layer runs the check silently
// after each one), errors and warnings with their icons and where they
// point. A double-click or Enter on a message goes to its place: the
// subcontractor's form at its field, the sub-item's line in the
// subcontractor's items, or the miscellaneous-data form.

#include <QDockWidget>

class QLabel;
class QTreeView;

namespace kestrel {

class CCheckListModel;
class CContractNavigator;
class CSubDoc;
struct ChangeEvent;

class CCheckPanel : public QDockWidget {
    Q_OBJECT
public:
    CCheckPanel(CSubDoc& doc, CContractNavigator& navigator, QWidget* parent = nullptr);

    CCheckListModel* Model() const { return m_model; }
    QTreeView* List() const { return m_list; }
    QLabel* Summary() const { return m_summary; }
    // Goes to the place of the message in that row.
    void GoTo(int row);
    // Fills the list from the document's last check.
    void Refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnContractChanged(const ChangeEvent& event);

    CSubDoc& m_doc;
    CContractNavigator& m_navigator;
    CCheckListModel* m_model;
    QTreeView* m_list;
    QLabel* m_summary;
};

} // namespace kestrel
