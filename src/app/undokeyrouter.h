#pragma once
// Ctrl+Z and Ctrl+Y belong to the editor that has the focus while it has
// typing of its own to take back; once it has none (the field was just
// filled, or every key typed was taken back), they reach the contract's
// Undo and Redo, as the Edit menu shows them.

#include <QObject>

class QAction;
class QWidget;

namespace kestrel {

class CUndoKeyRouter : public QObject {
    Q_OBJECT
public:
    // For the editors inside `window`, whose Undo and Redo commands these are.
    CUndoKeyRouter(QWidget& window, QAction& undo, QAction& redo, QObject* parent = nullptr);
    ~CUndoKeyRouter() override;

    // Whether an editor has typing of its own to take back (or to do again).
    static bool EditorCanUndo(const QObject* editor, bool redo);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
    QAction& m_undo;
    QAction& m_redo;
};

} // namespace kestrel
