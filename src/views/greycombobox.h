#pragma once
// The drop-down of the forms built from form definitions: a list (yes/no
// or a pick list), or a list the user may also type into. Each entry holds
// its list position (the number a cell stores), which is not its place in
// the box: a data filter or a vendor's work types leave entries out. Tab
// and Enter move to the next field, as in the form's edits. The wheel
// changes the choice only while the box has the focus, so scrolling the
// form over it never changes a value.

#include <QComboBox>
#include <QList>
#include <QString>

#include <utility>

namespace kestrel {

class CGreyEdit;

class CGreyComboBox : public QComboBox {
    Q_OBJECT
public:
    // editable: the user may type (the edit is a CGreyEdit).
    explicit CGreyComboBox(bool editable, QWidget* parent = nullptr);

    using Entry = std::pair<int, QString>; // list position, shown text
    // Puts these entries into the box; nothing chosen.
    void SetEntries(const QList<Entry>& entries);
    // Chooses the entry at list position `position`; with none (or one not
    // offered) nothing is chosen, and a box the user may type into shows
    // `text`.
    void SelectPosition(int position, const QString& text);
    // The list position of the entry at a place in the box; -1 for none.
    int PositionAt(int index) const;
    int CurrentPosition() const { return PositionAt(currentIndex()); }
    // The edit of a box the user may type into, else null.
    CGreyEdit* Edit() const { return m_edit; }
    // Disabled (grey), or enabled.
    void SetGreyed(bool greyed) { setEnabled(!greyed); }

    void showPopup() override;

signals:
    void navigate(bool backward);
    void left(Qt::FocusReason reason);

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    CGreyEdit* m_edit = nullptr;
};

} // namespace kestrel
