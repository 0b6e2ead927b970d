#include "views/formtestsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest/QTest>

#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "views/dv_template.h"
#include "views/formfield.h"

namespace kestrel::test {

FormDrawing& FormDrawing::Line()
{
    m_table.m_LabelLines.emplace_back();
    return *this;
}

FormDrawing& FormDrawing::Label(const std::string& text)
{
    CSAStringArray& lines = m_table.m_LabelLines;
    if (lines.empty())
        lines.emplace_back();
    lines.SetAt(lines.size() - 1, std::string(lines.back()) + text);
    return *this;
}

CFieldInfo& FormDrawing::Field(const FieldDraft& draft)
{
    if (m_table.m_LabelLines.empty())
        Line();
    CFieldInfo& f = *m_table.m_Fields.Add();
    f.m_wFlags = draft.flags;
    f.m_iX = static_cast<int32_t>(m_table.m_LabelLines.back().size());
    f.m_iY = static_cast<int32_t>(m_table.m_LabelLines.size() - 1);
    f.m_iCX = draft.width;
    f.m_iType = draft.type;
    f.m_iListStart = draft.listStart;
    f.m_iListEnd = draft.listEnd;
    f.m_iRequired = draft.required;
    f.m_strName = draft.name;
    f.m_strListSource = draft.source;
    f.m_strHelp = draft.help;
    Label(std::string(static_cast<size_t>(draft.width), ' '));
    return f;
}

bool FormProgram::Open(const QString& path)
{
    if (path.isEmpty() || !program.Doc().OpenDocument(path))
        return false;
    program.Frame().show();
    QApplication::setActiveWindow(&program.Frame());
    Settle();
    return true;
}

CSubView& FormProgram::View()
{
    return *program.Frame().View();
}

CDV_Template* FormProgram::Form()
{
    return qobject_cast<CDV_Template*>(View().RightPane());
}

void FormProgram::ShowMisc()
{
    program.Tree().setCurrentItem(program.Tree().FindKind(NODE_MISC_DATA));
    Settle();
}

void FormProgram::ShowSub(int row)
{
    program.Tree().setCurrentItem(
        program.Tree().FindNode(program.Doc().Contract()->m_pSubTable->m_Records[row]));
    Settle();
}

void FormProgram::Type(int field, const QString& text)
{
    QWidget* control = Form()->FieldControl(field);
    // A list that was open (a completer's) may have taken the activation.
    QApplication::setActiveWindow(&program.Frame());
    control->setFocus(Qt::MouseFocusReason);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : control;
    if (auto* edit = qobject_cast<QLineEdit*>(target))
        edit->selectAll();
    else if (auto* box = qobject_cast<QComboBox*>(target); box && box->lineEdit())
        box->lineEdit()->selectAll();
    else if (auto* multi = qobject_cast<QPlainTextEdit*>(target))
        multi->selectAll();
    if (text.isEmpty())
        QTest::keyClick(target, Qt::Key_Delete);
    else
        QTest::keyClicks(target, text);
}

void FormProgram::Leave()
{
    program.Tree().setFocus(Qt::MouseFocusReason);
    Settle();
}

void FormProgram::Press(int key, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = QApplication::focusWidget();
    if (target)
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    Settle();
}

int FormProgram::FocusedField()
{
    const QWidget* focus = QApplication::focusWidget();
    CDV_Template* form = Form();
    if (!focus || !form)
        return -1;
    for (int i = 0; i < form->FieldCount(); ++i)
        if (QWidget* c = form->FieldControl(i); c && (c == focus || c->isAncestorOf(focus)))
            return i;
    return -1;
}

QString FormProgram::Shown(int field)
{
    const CFormField* f = Form()->FormField(field);
    if (!f)
        return QString();
    if (f->TakesTypedText())
        return f->TypedText();
    if (auto* box = qobject_cast<QComboBox*>(f->Control()))
        return box->currentText();
    return QString();
}

void FormProgram::Settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

} // namespace kestrel::test
