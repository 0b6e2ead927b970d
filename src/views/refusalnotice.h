#pragma once
// Shows the message of a refused change once the event that refused it is
// over. A message box opened while a field or a grid editor is losing its
// focus would take the focus from it again and make it store again; so
// the message waits until the focus change is done, and one waiting
// message stands for any refusal that follows before it is shown.

#include <QObject>

#include <functional>

#include "calc/result.h"

namespace kestrel {

class CSubDoc;

class CRefusalNotice : public QObject {
    Q_OBJECT
public:
    explicit CRefusalNotice(QObject* parent = nullptr);

    // Shows `error` as the document shows a refused change, after
    // `before` (which puts the focus back where the refusal happened).
    void Post(CSubDoc& doc, const ErrorInfo& error, std::function<void()> before = {});
    // Whether a message is waiting or on screen.
    bool Pending() const { return m_pending; }

private:
    bool m_pending = false;
};

} // namespace kestrel
