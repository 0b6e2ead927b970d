#pragma once
// The find bar: a text looked for in the contract's items (line, item
// number, descriptions), every field of its subcontractors and of its
// miscellaneous data, and the remarks and notes, as the user types (after a short pause, so that a large
// contract is searched once per word, not once per key). The first hit is shown at once; Enter goes to the
// next hit and Shift+Enter to the previous one, both wrapping around; the bar tells which hit is shown ("3 of
// 17") and says plainly when there is none. Esc closes the bar and leaves the focus at the hit shown.
//
// Showing a hit chooses its tree node and, in the view, its row or field,
// while the focus stays in the bar. The hits are looked for again after
// every change of the contract (a record they point at may be gone).

#include <QString>
#include <QToolBar>

#include "edit/contractsearch.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;
class QToolButton;

namespace kestrel {

class CContractNavigator;
class CSubDoc;

class CFindBar : public QToolBar {
    Q_OBJECT
public:
    // The pause after the last key before the search runs.
    static constexpr int kTypingDelayMs = 150;
    // At most this many hits are counted (the count then reads "1000+").
    static constexpr size_t kMaxHits = 1000;

    CFindBar(CSubDoc& doc, CContractNavigator& navigator, QWidget* parent = nullptr);

    // Ctrl+F: shows the bar, the focus in its text, the text selected.
    void Open();
    // Esc: hides the bar; the focus goes to the hit shown.
    void Close();
    void Next();
    void Previous();
    // Runs the search now (instead of after the pause).
    void SearchNow();

    QLineEdit* Edit() const { return m_edit; }
    QLabel* CountLabel() const { return m_count; }
    QLabel* PlaceLabel() const { return m_place; }
    QComboBox* AreaBox() const { return m_area; }
    const SearchResult& Hits() const { return m_result; }
    // The hit shown (from 0), -1 none.
    int Current() const { return m_current; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TextEdited();
    void ContractChanged();
    void Search(bool showFirst);
    void ShowHit(int index);
    void UpdateCount();
    QString PlaceText(const SearchHit& hit) const;

    CSubDoc& m_doc;
    CContractNavigator& m_navigator;
    QLineEdit* m_edit;
    QComboBox* m_area;
    QToolButton* m_previous;
    QToolButton* m_next;
    QLabel* m_count;
    QLabel* m_place;
    QTimer* m_delay;
    SearchResult m_result;
    int m_current = -1;
    bool m_showFirst = true; // the pending search shows its first hit
};

} // namespace kestrel
