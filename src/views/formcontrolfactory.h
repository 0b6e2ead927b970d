#pragma once
// Makes the control of a form field from the kind of control the form's
// layout gives it: edits (single-line, multi-line, numbers and amounts
// right-aligned, dates), yes/no lists, drop-down lists, drop-downs the user
// may type into, and static captions with their alignment.

#include <functional>

#include "edit/formlayout.h"

class QWidget;

namespace kestrel {

class CFormControlFactory {
public:
    using Maker = std::function<QWidget*(const FormFieldLayout& layout, QWidget* parent)>;

    // The control for the field's kind, a child of parent; null for a kind
    // without a control.
    [[nodiscard]] static QWidget* Create(const FormFieldLayout& layout, QWidget* parent);
};

} // namespace kestrel
