#pragma once
// The row of quick filters above an item grid: all items, the unassigned
// ones, the partly subcontracted ones, the over-committed ones, as one
// segmented choice, with the count of the rows shown at its right.

#include <QWidget>

#include <optional>

#include "edit/itemfilters.h"

class QButtonGroup;
class QLabel;
class QToolButton;

namespace kestrel {

class CQuickFilterBar : public QWidget {
    Q_OBJECT
public:
    explicit CQuickFilterBar(QWidget* parent = nullptr);

    // The filter chosen; none for "All".
    std::optional<ItemFilter> Filter() const;
    // Chooses a filter as a click would (filterChanged follows when it changes).
    void SetFilter(std::optional<ItemFilter> filter);
    // Shows the filter chosen before the last choice again, without telling
    // (the grid could not be left for the new one).
    void Revert();
    // The button of a filter (none: "All").
    QToolButton* Button(std::optional<ItemFilter> filter) const;
    // "340 items", or "12 of 340 items" while a filter is chosen.
    void ShowCount(int shown, int total);
    QLabel* CountLabel() const { return m_count; }

signals:
    void filterChanged();

private:
    QButtonGroup* m_group;
    QLabel* m_count;
    int m_previous = -1; // the filter chosen before the last choice
};

} // namespace kestrel
