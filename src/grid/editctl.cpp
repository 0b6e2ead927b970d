#include "grid/editctl.h"

namespace kestrel {

CEditCtl::CEditCtl(QWidget* parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("gridEditor"));
    setFrame(false);
}

void CEditCtl::Start(const QString& text)
{
    m_start = text;
    setText(text);
    selectAll();
}

bool CEditCtl::IsControlKey(int key)
{
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End: return true;
    default: return false;
    }
}

} // namespace kestrel
