#include "views/dv_debug.h"

#include <QLabel>
#include <QVBoxLayout>

namespace kestrel {

QString CDV_Debug::NoteText()
{
    return tr("Debug Node\r\n\r\nUse this section to view and edit the Data Templates.  Use "
              "Ctrl-Enter rather than Enter to add a new line");
}

CDV_Debug::CDV_Debug(QWidget* parent) : CDV(parent)
{
    auto* layout = new QVBoxLayout(Form());
    layout->setContentsMargins(16, 16, 16, 16);
    QString text = NoteText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_note = new QLabel(text, Form());
    m_note->setWordWrap(true);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_note);
    layout->addStretch(1);
}

} // namespace kestrel
