#pragma once
// The single-line edit of the forms built from form definitions (also the
// edit inside a drop-down the user may type into). Tab, Shift+Tab and Enter
// do not go to Qt's focus chain: they ask the form to move to the next (or
// previous) field in reading order, which stores this one first. A
// read-only edit is shown grey.

#include <QLineEdit>

#include <functional>

namespace kestrel {

class CGreyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CGreyEdit(QWidget* parent = nullptr);

    // Read-only, on the face colour; or writable on the base colour.
    void SetGreyed(bool greyed);
    bool IsGreyed() const { return isReadOnly(); }

    // Whether a key press is one the forms navigate with (Tab, Shift+Tab,
    // Enter); sets backward for Shift+Tab.
    static bool IsNavigationKey(const QKeyEvent& key, bool& backward);
    // A key press the forms navigate with goes to `navigate` (backward for
    // Shift+Tab) instead of the control; true when it was one.
    static bool TakeNavigationKey(QEvent* event, const std::function<void(bool backward)>& navigate);
    // An edit control shown on the face colour (read-only) or the base colour.
    static void ShowGreyed(QWidget* control, bool greyed);

signals:
    // Tab or Enter (backward: Shift+Tab).
    void navigate(bool backward);
    // The edit lost the focus.
    void left(Qt::FocusReason reason);

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool m_greyedSet = false;
};

} // namespace kestrel
