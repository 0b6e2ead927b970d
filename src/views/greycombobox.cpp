#include "views/greycombobox.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

#include "views/greyedit.h"

namespace kestrel {

namespace {

constexpr int kPositionRole = Qt::UserRole;

} // namespace

CGreyComboBox::CGreyComboBox(bool editable, QWidget* parent) : QComboBox(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    if (editable) {
        setEditable(true);
        m_edit = new CGreyEdit(this);
        setLineEdit(m_edit);
        // A typed text that is not in the list is kept as text, never added
        // to the list.
        setInsertPolicy(QComboBox::NoInsert);
        connect(m_edit, &CGreyEdit::navigate, this, &CGreyComboBox::navigate);
    }
}

void CGreyComboBox::SetEntries(const QList<Entry>& entries)
{
    const QString text = m_edit ? m_edit->text() : QString();
    clear();
    for (const Entry& e : entries)
        addItem(e.second, e.first);
    setCurrentIndex(-1);
    if (m_edit)
        m_edit->setText(text);
}

void CGreyComboBox::SelectPosition(int position, const QString& text)
{
    const int index = position < 0 ? -1 : findData(position, kPositionRole);
    setCurrentIndex(index);
    if (m_edit && (index < 0 || m_edit->text() != text))
        m_edit->setText(text);
}

int CGreyComboBox::PositionAt(int index) const
{
    if (index < 0 || index >= count())
        return -1;
    const QVariant data = itemData(index, kPositionRole);
    return data.isValid() ? data.toInt() : -1;
}

void CGreyComboBox::showPopup()
{
    // The list is as wide as its longest entry, at least as wide as the box.
    QAbstractItemView* list = view();
    const int scroll = list->verticalScrollBar()->sizeHint().width();
    list->setMinimumWidth(std::max(width(), list->sizeHintForColumn(0) + scroll + 8));
    QComboBox::showPopup();
}

bool CGreyComboBox::event(QEvent* event)
{
    if (CGreyEdit::TakeNavigationKey(event, [this](bool backward) { emit navigate(backward); }))
        return true;
    return QComboBox::event(event);
}

void CGreyComboBox::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    emit left(event->reason());
}

void CGreyComboBox::wheelEvent(QWheelEvent* event)
{
    if (!hasFocus()) {
        event->ignore(); // the form scrolls
        return;
    }
    QComboBox::wheelEvent(event);
}

} // namespace kestrel
