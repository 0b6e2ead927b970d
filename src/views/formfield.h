#pragma once
// One field of a form built from a form definition: its control, and what
// the form last showed in it. It shows what the edit layer gives for the
// bound record (text, list entries, the chosen entry, read-only state) and
// tells what the user typed; it never stores anything itself.

#include <QString>

#include "edit/fieldrules.h"
#include "edit/formlayout.h"

class QWidget;

namespace kestrel {

class CGreyComboBox;

class CFormField {
public:
    CFormField(const FormFieldLayout& layout, QWidget* control);

    int Field() const { return m_layout.field; }
    FormControlKind Kind() const { return m_layout.kind; }
    const FormFieldLayout& Layout() const { return m_layout; }
    QWidget* Control() const { return m_control; }
    // The drop-down, for the kinds that are one; else null.
    CGreyComboBox* ComboBox() const;

    // Puts the entries of the field's list into its control (a drop-down,
    // or the entry list of a text field), only when they changed.
    void FillList(const FieldChoices& choices);
    // Shows the field of the bound record (its list filled first).
    void Show(const FieldDisplay& display);
    // Puts back the text last shown (what the record holds).
    void RestoreShownText();
    // The entries the field's list offers, as last shown.
    const FieldChoices& Choices() const { return m_choices; }

    // Edits and drop-downs the user may type into: their text is stored
    // when the field is left.
    bool TakesTypedText() const;
    QString TypedText() const;
    // The typed text differs from the text last shown.
    bool IsEdited() const;
    bool IsReadOnly() const { return m_readOnly; }
    // Required in the record and empty.
    bool IsMissing() const { return m_missing; }
    // Edits select their whole text (Tab and Enter, a refused entry).
    void FocusAndSelect();

private:
    void SetText(const QString& text);

    FormFieldLayout m_layout;
    QWidget* m_control;
    QString m_shownText;
    FieldChoices m_choices;
    bool m_filled = false;
    bool m_readOnly = false;
    bool m_missing = false;
};

} // namespace kestrel
