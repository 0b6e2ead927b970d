#include "views/dynaformview.h"

#include <QEvent>

#include <algorithm>

namespace kestrel {

AnchorEntry MakeAnchor(QWidget* control, int flags, const QRect& rect, const QSize& extent)
{
    AnchorEntry entry;
    entry.control = control;
    entry.flags = flags;
    entry.original = rect;
    entry.rightMargin = extent.width() - (rect.x() + rect.width());
    entry.bottomMargin = extent.height() - (rect.y() + rect.height());
    entry.centerOffset = rect.topLeft() - QPoint(extent.width() / 2, extent.height() / 2);
    return entry;
}

QRect AnchoredRect(const AnchorEntry& e, const QSize& client)
{
    QRect r = e.original;
    if (e.flags & ANCHOR_CENTER) {
        r.moveTopLeft(QPoint(client.width() / 2, client.height() / 2) + e.centerOffset);
        return r;
    }
    const int right = std::max(e.original.x() + e.original.width(), client.width() - e.rightMargin);
    if (e.flags & ANCHOR_STRETCH_RIGHT)
        r.setWidth(right - r.x());
    else if (e.flags & ANCHOR_MOVE_RIGHT)
        r.moveLeft(right - r.width());
    const int bottom = std::max(e.original.y() + e.original.height(), client.height() - e.bottomMargin);
    if (e.flags & ANCHOR_STRETCH_DOWN)
        r.setHeight(bottom - r.y());
    else if (e.flags & ANCHOR_MOVE_DOWN)
        r.moveTop(bottom - r.height());
    return r;
}

CDynaFormView::CDynaFormView(QWidget* parent) : CDataView(parent)
{
    m_form = new QWidget;
    m_form->setObjectName(QStringLiteral("form"));
    setWidgetResizable(true);
    SetContent(m_form);
    m_form->installEventFilter(this);
}

void CDynaFormView::SetAnchorFlags(QWidget* control, int flags)
{
    m_explicit[control] = flags;
    for (AnchorEntry& e : m_anchors)
        if (e.control == control)
            e.flags = flags;
}

void CDynaFormView::EnableAnchoring(const QList<QWidget*>& frames)
{
    static constexpr int kFrameFlags[] = {ANCHOR_MOVE_RIGHT, ANCHOR_STRETCH_RIGHT, ANCHOR_MOVE_DOWN,
                                          ANCHOR_STRETCH_DOWN, ANCHOR_CENTER};
    const QList<QWidget*> children = m_form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    QRect extent(0, 0, 0, 0);
    for (QWidget* child : children)
        extent = extent.united(QRect(QPoint(0, 0), child->geometry().bottomRight()));
    m_extent = extent.size();
    m_anchors.clear();
    for (QWidget* child : children) {
        if (frames.contains(child))
            continue;
        int flags = 0;
        if (auto it = m_explicit.find(child); it != m_explicit.end()) {
            flags = it->second;
        } else {
            for (qsizetype i = 0; i < frames.size() && i < 5; ++i)
                if (frames[i] && frames[i]->geometry().intersects(child->geometry()))
                    flags |= kFrameFlags[i];
        }
        if (flags != 0)
            m_anchors.push_back(MakeAnchor(child, flags, child->geometry(), m_extent));
    }
    for (QWidget* frame : frames)
        if (frame)
            frame->hide();
    m_form->setMinimumSize(m_extent);
    ApplyAnchors();
}

void CDynaFormView::ApplyAnchors()
{
    const QSize client = m_form->size();
    for (const AnchorEntry& e : m_anchors)
        if (e.control)
            e.control->setGeometry(AnchoredRect(e, client));
    // The background under the old and new places shows through.
    m_form->update();
}

bool CDynaFormView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_form && event->type() == QEvent::Resize) {
        if (!m_anchors.empty())
            ApplyAnchors();
        OnFormResized();
    }
    return CDataView::eventFilter(watched, event);
}

} // namespace kestrel
