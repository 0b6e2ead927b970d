#include "views/editsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace kestrel {
namespace {

// The support of the nearest view around the widget (the widget itself
// included); the plain field's when there is none.
CEditSupport& SupportOf(QWidget* widget)
{
    static CEditSupport fieldOnly;
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto* support = dynamic_cast<CEditSupport*>(w))
            return *support;
    }
    return fieldOnly;
}

} // namespace

void CEditSupport::EditCopy(QWidget* focus)
{
    CopyFieldText(focus);
}

void CEditSupport::EditPaste(QWidget* focus)
{
    PasteFieldText(focus);
}

void CEditSupport::CopyInFocusedView()
{
    QWidget* focus = QApplication::focusWidget();
    SupportOf(focus).EditCopy(focus);
}

void CEditSupport::PasteInFocusedView()
{
    QWidget* focus = QApplication::focusWidget();
    SupportOf(focus).EditPaste(focus);
}

bool CEditSupport::CopyFieldText(QWidget* focus)
{
    if (auto* edit = qobject_cast<QLineEdit*>(focus)) {
        edit->copy();
    } else if (auto* text = qobject_cast<QTextEdit*>(focus)) {
        text->copy();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        plain->copy();
    } else if (auto* combo = qobject_cast<QComboBox*>(focus)) {
        if (!combo->currentText().isEmpty())
            QGuiApplication::clipboard()->setText(combo->currentText());
    } else {
        return false;
    }
    return true;
}

bool CEditSupport::PasteFieldText(QWidget* focus)
{
    if (auto* edit = qobject_cast<QLineEdit*>(focus)) {
        if (!edit->isReadOnly())
            edit->paste();
    } else if (auto* text = qobject_cast<QTextEdit*>(focus)) {
        if (!text->isReadOnly())
            text->paste();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        if (!plain->isReadOnly())
            plain->paste();
    } else {
        return false;
    }
    return true;
}

} // namespace kestrel
