#include "views/formcontrolfactory.h"

#include <QLabel>

#include <map>

#include "views/greycombobox.h"
#include "views/greyedit.h"
#include "views/greymultiedit.h"

namespace kestrel {

namespace {

Qt::Alignment HorizontalAlignment(FormAlign align)
{
    switch (align) {
    case FormAlign::Centre: return Qt::AlignHCenter;
    case FormAlign::Right: return Qt::AlignRight;
    case FormAlign::Left: break;
    }
    return Qt::AlignLeft;
}

QWidget* MakeEdit(const FormFieldLayout& layout, QWidget* parent)
{
    auto* edit = new CGreyEdit(parent);
    edit->setMaxLength(layout.textLimit > 0 ? layout.textLimit : 80);
    edit->setAlignment(HorizontalAlignment(layout.align) | Qt::AlignVCenter);
    return edit;
}

QWidget* MakeMultiLineEdit(const FormFieldLayout& layout, QWidget* parent)
{
    auto* edit = new CGreyMultiEdit(parent);
    edit->SetTextLimit(layout.textLimit > 0 ? layout.textLimit : 256);
    edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return edit;
}

// How many entries the open list of a drop-down shows: its drop-down part
// is 4 (yes/no) or 10 lines of text high.
QWidget* MakeList(int visible, bool editable, QWidget* parent)
{
    auto* box = new CGreyComboBox(editable, parent);
    box->setMaxVisibleItems(visible);
    return box;
}

QWidget* MakeCaption(const FormFieldLayout& layout, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText); // no prefix or markup processing
    label->setAlignment(HorizontalAlignment(layout.align) | Qt::AlignVCenter);
    label->setWordWrap(false);
    return label;
}

const std::map<FormControlKind, CFormControlFactory::Maker>& Makers()
{
    static const std::map<FormControlKind, CFormControlFactory::Maker> makers = {
        {FormControlKind::SingleLineEdit, MakeEdit},
        {FormControlKind::NumberEdit, MakeEdit},
        {FormControlKind::DateEdit, MakeEdit},
        {FormControlKind::MultiLineEdit, MakeMultiLineEdit},
        {FormControlKind::YesNoList,
         [](const FormFieldLayout&, QWidget* p) { return MakeList(3, false, p); }},
        {FormControlKind::DropList,
         [](const FormFieldLayout&, QWidget* p) { return MakeList(10, false, p); }},
        {FormControlKind::DropCombo,
         [](const FormFieldLayout&, QWidget* p) { return MakeList(10, true, p); }},
        {FormControlKind::StaticCaption, MakeCaption},
    };
    return makers;
}

} // namespace

QWidget* CFormControlFactory::Create(const FormFieldLayout& layout, QWidget* parent)
{
    const auto it = Makers().find(layout.kind);
    if (it == Makers().end())
        return nullptr;
    QWidget* control = it->second(layout, parent);
    control->setObjectName(QStringLiteral("field%1").arg(layout.field));
    return control;
}

} // namespace kestrel
