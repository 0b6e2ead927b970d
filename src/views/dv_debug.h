#pragma once
// The "Template Info" node: a fixed note on the data templates below it.

#include "views/dv.h"

class QLabel;

namespace kestrel {

class CDV_Debug : public CDV {
    Q_OBJECT
public:
    explicit CDV_Debug(QWidget* parent = nullptr);
    // The text, as the program has always shown it.
    static QString NoteText();
    QLabel* Note() const { return m_note; }

private:
    QLabel* m_note = nullptr;
};

} // namespace kestrel
