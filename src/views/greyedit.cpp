#include "views/greyedit.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFocusEvent>
#include <QKeyEvent>

namespace kestrel {

CGreyEdit::CGreyEdit(QWidget* parent) : QLineEdit(parent)
{
}

void CGreyEdit::SetGreyed(bool greyed)
{
    if (m_greyedSet && greyed == isReadOnly())
        return;
    m_greyedSet = true;
    setReadOnly(greyed);
    QPalette pal = palette();
    const QPalette base = parentWidget() ? parentWidget()->palette() : QPalette();
    pal.setColor(QPalette::Base, greyed ? base.color(QPalette::Button) : base.color(QPalette::Base));
    setPalette(pal);
}

bool CGreyEdit::IsNavigationKey(const QKeyEvent& key, bool& backward)
{
    const Qt::KeyboardModifiers mods = key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (mods != Qt::NoModifier)
        return false;
    switch (key.key()) {
    case Qt::Key_Tab: backward = (key.modifiers() & Qt::ShiftModifier) != 0; return true;
    case Qt::Key_Backtab: backward = true; return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: backward = false; return true;
    default: return false;
    }
}

bool CGreyEdit::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        bool backward = false;
        // While the completer's list is open, its keys are its own.
        const QCompleter* c = completer();
        const bool listOpen =
            c && c->completionMode() != QCompleter::InlineCompletion && c->popup()->isVisible();
        if (!listOpen && IsNavigationKey(*key, backward)) {
            event->accept();
            emit navigate(backward);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CGreyEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    emit left(event->reason());
}

} // namespace kestrel
