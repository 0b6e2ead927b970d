#include "views/formfield.h"

#include <QCompleter>
#include <QLabel>
#include <QStringListModel>

#include "app/qtext.h"
#include "views/greycombobox.h"
#include "views/greyedit.h"
#include "views/greymultiedit.h"

namespace kestrel {

namespace {

bool SameChoices(const FieldChoices& a, const FieldChoices& b)
{
    if (a.entries.size() != b.entries.size())
        return false;
    for (size_t i = 0; i < a.entries.size(); ++i)
        if (a.entries[i].position != b.entries[i].position || a.entries[i].text != b.entries[i].text)
            return false;
    return true;
}

} // namespace

CFormField::CFormField(const FormFieldLayout& layout, QWidget* control) : m_layout(layout), m_control(control)
{
}

CGreyComboBox* CFormField::ComboBox() const
{
    return qobject_cast<CGreyComboBox*>(m_control);
}

bool CFormField::TakesTypedText() const
{
    switch (m_layout.kind) {
    case FormControlKind::SingleLineEdit:
    case FormControlKind::MultiLineEdit:
    case FormControlKind::NumberEdit:
    case FormControlKind::DateEdit:
    case FormControlKind::DropCombo: return true;
    default: return false;
    }
}

QString CFormField::TypedText() const
{
    if (auto* edit = qobject_cast<CGreyEdit*>(m_control))
        return edit->text();
    if (auto* multi = qobject_cast<CGreyMultiEdit*>(m_control))
        return multi->toPlainText();
    if (CGreyComboBox* box = ComboBox())
        return box->currentText();
    return QString();
}

bool CFormField::IsEdited() const
{
    return TakesTypedText() && TypedText() != m_shownText;
}

void CFormField::SetText(const QString& text)
{
    if (auto* edit = qobject_cast<CGreyEdit*>(m_control)) {
        if (edit->text() != text) {
            edit->setText(text);
            edit->setCursorPosition(0);
        }
    } else if (auto* multi = qobject_cast<CGreyMultiEdit*>(m_control)) {
        if (multi->toPlainText() != text)
            multi->setPlainText(text);
    } else if (auto* label = qobject_cast<QLabel*>(m_control)) {
        label->setText(text);
    }
}

void CFormField::FillList(const FieldChoices& choices)
{
    if (m_filled && SameChoices(choices, m_choices))
        return;
    m_choices = choices;
    m_filled = true;
    if (CGreyComboBox* box = ComboBox()) {
        QList<CGreyComboBox::Entry> entries;
        entries.reserve(static_cast<qsizetype>(choices.entries.size()));
        for (const FieldChoice& c : choices.entries)
            entries.append({c.position, ToQString(c.text)});
        box->SetEntries(entries);
        return;
    }
    // A text field's list offers its entries as the user types.
    auto* edit = qobject_cast<CGreyEdit*>(m_control);
    if (!edit)
        return;
    QStringList texts;
    for (const FieldChoice& c : choices.entries)
        texts.append(ToQString(c.text));
    if (texts.isEmpty()) {
        if (QCompleter* old = edit->completer())
            old->deleteLater();
        edit->setCompleter(nullptr);
        return;
    }
    QCompleter* completer = edit->completer();
    if (!completer) {
        completer = new QCompleter(edit);
        completer->setModel(new QStringListModel(completer));
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setCompletionMode(QCompleter::PopupCompletion);
        completer->setMaxVisibleItems(10);
        edit->setCompleter(completer);
    }
    static_cast<QStringListModel*>(completer->model())->setStringList(texts);
}

void CFormField::Show(const FieldDisplay& display)
{
    m_readOnly = display.readOnly;
    m_missing = display.missing;
    const QString text = ToQString(display.text);
    switch (m_layout.kind) {
    case FormControlKind::SingleLineEdit:
    case FormControlKind::NumberEdit:
    case FormControlKind::DateEdit:
        SetText(text);
        static_cast<CGreyEdit*>(m_control)->SetGreyed(display.readOnly);
        break;
    case FormControlKind::MultiLineEdit:
        SetText(text);
        static_cast<CGreyMultiEdit*>(m_control)->SetGreyed(display.readOnly);
        break;
    case FormControlKind::YesNoList:
    case FormControlKind::DropList:
    case FormControlKind::DropCombo: {
        CGreyComboBox* box = ComboBox();
        box->SelectPosition(display.choice >= 0 ? display.position : -1, text);
        box->SetGreyed(display.readOnly);
        break;
    }
    case FormControlKind::StaticCaption: SetText(text); break;
    case FormControlKind::None: break;
    }
    m_shownText = TakesTypedText() ? TypedText() : text;
}

void CFormField::RestoreShownText()
{
    if (TakesTypedText() && m_layout.kind != FormControlKind::DropCombo)
        SetText(m_shownText);
    else if (CGreyComboBox* box = ComboBox(); box && box->Edit())
        box->Edit()->setText(m_shownText);
}

void CFormField::FocusAndSelect()
{
    m_control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<CGreyEdit*>(m_control))
        edit->selectAll();
    else if (auto* multi = qobject_cast<CGreyMultiEdit*>(m_control))
        multi->selectAll();
    else if (CGreyComboBox* box = ComboBox(); box && box->Edit())
        box->Edit()->selectAll();
}

} // namespace kestrel
