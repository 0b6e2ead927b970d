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
    ShowGreyed(this, greyed);
}

void CGreyEdit::ShowGreyed(QWidget* control, bool greyed)
{
    QPalette pal = control->palette();
    const QPalette base = control->parentWidget() ? control->parentWidget()->palette() : QPalette();
    pal.setColor(QPalette::Base, greyed ? base.color(QPalette::Button) : base.color(QPalette::Base));
    control->setPalette(pal);
}

bool CGreyEdit::TakeNavigationKey(QEvent* event, const std::function<void(bool backward)>& navigate)
{
    bool backward = false;
    if (event->type() != QEvent::KeyPress || !IsNavigationKey(*static_cast<QKeyEvent*>(event), backward))
        return false;
    event->accept();
    navigate(backward);
    return true;
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
    // While the completer's list is open, its keys are its own.
    const QCompleter* c = completer();
    const bool listOpen = c && c->completionMode() != QCompleter::InlineCompletion && c->popup()->isVisible();
    if (!listOpen && TakeNavigationKey(event, [this](bool backward) { emit navigate(backward); }))
        return true;
    return QLineEdit::event(event);
}

void CGreyEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    emit left(event->reason());
}

} // namespace kestrel
