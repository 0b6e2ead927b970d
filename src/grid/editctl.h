#pragma once
// The grid's in-cell editor: a one-line edit without a frame. The grid's
// delegate takes its control keys (Tab, Enter, the arrows up and down,
// Page Up, Page Down, Home, End) before the edit sees them and hands them
// to the grid, which commits the value and moves the editor.

#include <QLineEdit>

namespace kestrel {

class CEditCtl : public QLineEdit {
    Q_OBJECT
public:
    explicit CEditCtl(QWidget* parent = nullptr);

    // The text the editor started with; an editor left with it commits
    // nothing.
    void Start(const QString& text);
    const QString& StartText() const { return m_start; }
    bool Changed() const { return text() != m_start; }

    // Whether a key is one the grid moves the editor with.
    static bool IsControlKey(int key);

private:
    QString m_start;
};

} // namespace kestrel
