#pragma once
// Edit > Copy and Paste go to the view that holds the focus, and the view
// says what they mean in it: an item grid copies its rows, the tree the
// contract's items. What a view does not take for itself goes to the
// focused field, which copies and pastes its own text. The document asks
// the focused view through this interface and never looks at widgets.

class QWidget;

namespace kestrel {

class CEditSupport {
public:
    virtual ~CEditSupport() = default;

    // Copy and Paste in the view; `focus` is the view's widget with the
    // focus. By default the field's own text.
    virtual void EditCopy(QWidget* focus);
    virtual void EditPaste(QWidget* focus);

    // Copy and Paste in the view that holds the focus (a field outside any
    // view copies and pastes its own text).
    static void CopyInFocusedView();
    static void PasteInFocusedView();

protected:
    // What a text field does with Copy and Paste: false when the widget is
    // not one.
    static bool CopyFieldText(QWidget* focus);
    static bool PasteFieldText(QWidget* focus);
};

} // namespace kestrel
