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

void CGreyMultiEdit::KeepWithinLimit()
{
    const QString text = toPlainText();
    if (m_limit <= 0 || text.size() <= m_limit)
        return;
    // Typing or pasting past the limit keeps the first characters.
    const QSignalBlocker block(this);
    QTextCursor cursor = textCursor();
    const int position = std::min<int>(cursor.position(), m_limit);
    setPlainText(text.left(m_limit));
    cursor = textCursor();
    cursor.setPosition(position);
    setTextCursor(cursor);
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
