#include "views/refusalnotice.h"

#include <QPointer>

#include "app/subdoc.h"

namespace kestrel {

CRefusalNotice::CRefusalNotice(QObject* parent) : QObject(parent)
{
}

void CRefusalNotice::Post(CSubDoc& doc, const ErrorInfo& error, std::function<void()> before)
{
    if (m_pending)
        return;
    m_pending = true;
    // Until it is told, the view is not left (another node, another file).
    doc.HoldForRefusal(this);
    QPointer<CSubDoc> target(&doc);
    QMetaObject::invokeMethod(
        this,
        [this, target, error, before = std::move(before)] {
            if (before)
                before();
            if (target)
                (void)target->ApplyEdit(EditResult(error));
            m_pending = false;
            if (target)
                target->RefusalTold(this);
        },
        Qt::QueuedConnection);
}

} // namespace kestrel
