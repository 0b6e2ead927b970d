#include "app/readonlyguard.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStatusBar>

#include "app/subdoc.h"

namespace kestrel {

namespace {

// A key that writes, removes or pastes text (or toggles a box).
bool IsEditingKey(const QKeyEvent& key)
{
    if (key.matches(QKeySequence::Paste) || key.matches(QKeySequence::Cut) ||
        key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo))
        return true;
    if (key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete)
        return true;
    const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const QString text = key.text();
    return !(key.modifiers() & commands) && !text.isEmpty() && text.at(0).isPrint();
}

// A click on a box a grid draws in its cells (its "Use?" column).
bool IsGridTick(const QObject* watched, const QPoint& position)
{
    const auto* grid = qobject_cast<const QAbstractItemView*>(watched->parent());
    if (!grid || grid->viewport() != watched)
        return false;
    return grid->indexAt(position).flags().testFlag(Qt::ItemIsUserCheckable);
}

} // namespace

CReadOnlyGuard::CReadOnlyGuard(CSubDoc& doc, QWidget& area, QWidget* exempt, QStatusBar& bar, QObject* parent)
    : QObject(parent), m_doc(doc), m_area(area), m_exempt(exempt), m_bar(bar)
{
    qApp->installEventFilter(this);
}

QString CReadOnlyGuard::Notice()
{
    return tr("The contract is open read-only; use Save As to make a copy you can change");
}

bool CReadOnlyGuard::Guards(const QObject* watched) const
{
    if (!m_doc.IsReadOnly() || !watched->isWidgetType())
        return false;
    const auto* widget = static_cast<const QWidget*>(watched);
    return m_area.isAncestorOf(widget) &&
           !(m_exempt && (m_exempt == widget || m_exempt->isAncestorOf(widget)));
}

bool CReadOnlyGuard::WouldChange(const QObject* watched, QEvent* event) const
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto& key = *static_cast<QKeyEvent*>(event);
        // On a drop-down the arrow keys choose.
        const bool choosing =
            qobject_cast<const QComboBox*>(watched) &&
            (key.key() == Qt::Key_Up || key.key() == Qt::Key_Down || key.key() == Qt::Key_PageUp ||
             key.key() == Qt::Key_PageDown || key.key() == Qt::Key_Home || key.key() == Qt::Key_End);
        return choosing || IsEditingKey(key);
    }
    case QEvent::Drop: return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        if (IsGridTick(watched, static_cast<QMouseEvent*>(event)->position().toPoint()))
            return true;
        [[fallthrough]];
    case QEvent::Wheel:
        // A box ticked or a choice made; plain buttons (the grids' filters)
        // change nothing of the contract.
        return event->type() != QEvent::MouseButtonRelease &&
               (qobject_cast<const QCheckBox*>(watched) || qobject_cast<const QComboBox*>(watched));
    default: return false;
    }
}

bool CReadOnlyGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (!Guards(watched) || !WouldChange(watched, event))
        return false;
    if (event->type() != QEvent::Wheel) {
        QApplication::beep();
        m_bar.showMessage(Notice(), 6000);
    }
    return true;
}

} // namespace kestrel
