#include "app/undokeyrouter.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>

namespace kestrel {

namespace {

bool MatchesShortcut(const QAction& action, const QKeyEvent& key)
{
    const QKeySequence pressed(key.keyCombination());
    for (const QKeySequence& shortcut : action.shortcuts())
        if (shortcut.matches(pressed) == QKeySequence::ExactMatch)
            return true;
    return false;
}

} // namespace

CUndoKeyRouter::CUndoKeyRouter(QWidget& window, QAction& undo, QAction& redo, QObject* parent)
    : QObject(parent), m_window(window), m_undo(undo), m_redo(redo)
{
    qApp->installEventFilter(this);
}

CUndoKeyRouter::~CUndoKeyRouter()
{
    qApp->removeEventFilter(this);
}

bool CUndoKeyRouter::EditorCanUndo(const QObject* editor, bool redo)
{
    if (const auto* line = qobject_cast<const QLineEdit*>(editor))
        return !line->isReadOnly() && (redo ? line->isRedoAvailable() : line->isUndoAvailable());
    const QTextDocument* document = nullptr;
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(editor); plain && !plain->isReadOnly())
        document = plain->document();
    else if (const auto* rich = qobject_cast<const QTextEdit*>(editor); rich && !rich->isReadOnly())
        document = rich->document();
    return document && (redo ? document->isRedoAvailable() : document->isUndoAvailable());
}

bool CUndoKeyRouter::eventFilter(QObject* watched, QEvent* event)
{
    // An editor claims its keys before the window's shortcuts see them; an
    // editor with nothing to take back does not get to claim these.
    if (event->type() != QEvent::ShortcutOverride || watched != QApplication::focusWidget() ||
        !m_window.isAncestorOf(static_cast<QWidget*>(watched)))
        return false;
    const auto& key = *static_cast<QKeyEvent*>(event);
    const bool undo = MatchesShortcut(m_undo, key);
    const bool redo = !undo && MatchesShortcut(m_redo, key);
    if (!undo && !redo)
        return false;
    if (EditorCanUndo(watched, redo))
        return false;
    event->ignore();
    return true;
}

} // namespace kestrel
