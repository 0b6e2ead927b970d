#pragma once
// The multi-line edit of the forms built from form definitions: a text
// field whose rectangle is more than two text heights high. Like the
// single-line edit, Tab and Enter move to the next field; Ctrl+Enter
// starts a new line. It holds at most its field's number of characters.

#include <QPlainTextEdit>

namespace kestrel {

// Holds a plain-text edit to at most `limit` characters: typing or pasting
// past the limit keeps the first characters (as a line edit's maximum
// length does), with the cursor where it was as far as it can be. Call it
// from the edit's textChanged.
void KeepPlainTextWithin(QPlainTextEdit& edit, int limit);

class CGreyMultiEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CGreyMultiEdit(QWidget* parent = nullptr);

    void SetTextLimit(int limit) { m_limit = limit; }
    int TextLimit() const { return m_limit; }
    // Read-only, on the face colour; or writable on the base colour.
    void SetGreyed(bool greyed);

signals:
    void navigate(bool backward);
    void left(Qt::FocusReason reason);

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void KeepWithinLimit();

    int m_limit = 256;
    bool m_greyedSet = false;
};

} // namespace kestrel
