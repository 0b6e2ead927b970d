#include "views/greymultiedit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTextBlock>

#include "views/greyedit.h"

namespace kestrel {

CGreyMultiEdit::CGreyMultiEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, &CGreyMultiEdit::KeepWithinLimit);
}

void CGreyMultiEdit::SetGreyed(bool greyed)
{
    if (m_greyedSet && greyed == isReadOnly())
        return;
    m_greyedSet = true;
    setReadOnly(greyed);
    CGreyEdit::ShowGreyed(this, greyed);
}

void KeepPlainTextWithin(QPlainTextEdit& edit, int limit)
{
    // The document counts its characters with a last paragraph end; the
    // text itself is only looked at once it is too long.
    if (limit <= 0 || edit.document()->characterCount() - 1 <= limit)
        return;
    const QString text = edit.toPlainText();
    if (text.size() <= limit)
        return;
    const QSignalBlocker block(&edit);
    QTextCursor cursor = edit.textCursor();
    const int position = std::min<int>(cursor.position(), limit);
    edit.setPlainText(text.left(limit));
    cursor = edit.textCursor();
    cursor.setPosition(position);
    edit.setTextCursor(cursor);
}

void CGreyMultiEdit::KeepWithinLimit()
{
    KeepPlainTextWithin(*this, m_limit);
}

bool CGreyMultiEdit::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & Qt::ControlModifier) && !isReadOnly()) {
            insertPlainText(QStringLiteral("\n"));
            return true;
        }
    }
    if (CGreyEdit::TakeNavigationKey(event, [this](bool backward) { emit navigate(backward); }))
        return true;
    return QPlainTextEdit::event(event);
}

void CGreyMultiEdit::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    emit left(event->reason());
}

} // namespace kestrel
