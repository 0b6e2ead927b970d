#pragma once
// The "Subcontractor Items" pane: the subcontractor's item grid above, the
// entry of the chosen item below. The grid keeps its height when the window
// is resized; the height the user gives it is kept in the settings
// ("HSplitterPos").

#include <QSplitter>

namespace kestrel {

class CDataView;

class CSubItemSplitter : public QSplitter {
    Q_OBJECT
public:
    // Takes both views; the upper one gets `upperHeight`.
    CSubItemSplitter(CDataView* upper, CDataView* lower, int upperHeight, QWidget* parent = nullptr);
    CDataView* Upper() const { return m_upper; }
    CDataView* Lower() const { return m_lower; }

signals:
    // The user moved the split: the grid's new height.
    void upperHeightChanged(int height);

private:
    CDataView* m_upper;
    CDataView* m_lower;
};

} // namespace kestrel
