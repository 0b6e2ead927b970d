#include "views/dv_subitem.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextCursor>

#include <algorithm>

#include "app/qtext.h"
#include "app/subdoc.h"
#include "edit/changeevent.h"
#include "file/recordwriter.h"
#include "grid/itemtexts.h"
#include "model/contract/contract.h"
#include "model/subcontract/subcontract.h"
#include "views/accessiblename.h"
#include "views/greymultiedit.h"
#include "views/refusalnotice.h"

namespace kestrel {

namespace {

// A caption, and the name of the field it stands before.
QLabel* Caption(const QString& text, QWidget* parent, QWidget* field = nullptr)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (field) {
        label->setBuddy(field);
        SetAccessibleCaption(field, text);
    }
    return label;
}

QLabel* Value(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(1);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QLineEdit* NumberEdit(QWidget* parent, const QString& name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 18);
    return edit;
}

QString Fixed(double value, int decimals)
{
    return QString::asprintf("%.*f", decimals, IsBlankValue(value) ? 0.0 : value);
}

} // namespace

CDV_SubItem::CDV_SubItem(QWidget* parent) : CDV(parent), m_notice(new CRefusalNotice(this))
{
    setObjectName(QStringLiteral("subItemEntry"));
    BuildForm();
    ShowNone();
}

CDV_SubItem::~CDV_SubItem()
{
    // The fields lose their focus as they go; nothing is stored then.
    m_closing = true;
    for (int f = 0; f < FieldCount; ++f)
        FieldWidget(Field(f))->removeEventFilter(this);
    // What the status bar says of these fields goes with them.
    while (!m_unreadable.empty())
        ClearUnreadable(m_unreadable.begin()->first);
}

void CDV_SubItem::BuildForm()
{
    QWidget* form = Form();
    auto* grid = new QGridLayout(form);
    grid->setContentsMargins(14, 10, 14, 10);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);

    m_use = new QCheckBox(tr("Subcontract this item to this vendor"), form);
    m_use->setObjectName(QStringLiteral("useItem"));
    m_partial = new QCheckBox(tr("Partial item"), form);
    m_partial->setObjectName(QStringLiteral("partialItem"));
    grid->addWidget(m_use, 0, 0, 1, 4);
    grid->addWidget(m_partial, 0, 4, 1, 3, Qt::AlignRight);

    m_vendor = Value(form, QStringLiteral("vendor"));
    grid->addWidget(Caption(tr("Vendor:"), form), 1, 0);
    grid->addWidget(m_vendor, 1, 1, 1, 6);

    m_lineNumber = Value(form, QStringLiteral("lineNumber"));
    m_itemNumberCaption = Caption(tr("Item #:"), form);
    m_itemNumber = Value(form, QStringLiteral("itemNumber"));
    m_altCode = Value(form, QStringLiteral("altCode"));
    m_altCode->setAlignment(Qt::AlignCenter);
    m_altCode->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_altCode->setMinimumWidth(m_altCode->fontMetrics().averageCharWidth() * 6);
    grid->addWidget(Caption(tr("Line #:"), form), 2, 0);
    grid->addWidget(m_lineNumber, 2, 1);
    grid->addWidget(m_itemNumberCaption, 2, 4);
    grid->addWidget(m_itemNumber, 2, 5);
    grid->addWidget(m_altCode, 2, 6);

    m_description = Value(form, QStringLiteral("description"));
    m_description->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    grid->addWidget(Caption(tr("Description:"), form), 3, 0);
    grid->addWidget(m_description, 3, 1, 1, 6);

    BuildValues(*grid);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(6, 1);
    setTabOrder(m_use, m_partial);
    setTabOrder(m_partial, m_quantity);
    setTabOrder(m_quantity, m_unitPrice);
    setTabOrder(m_unitPrice, m_extension);
    setTabOrder(m_extension, m_notes);

    connect(m_use, &QCheckBox::clicked, this, &CDV_SubItem::OnUseClicked);
    connect(m_partial, &QCheckBox::clicked, this, &CDV_SubItem::OnPartialClicked);
    connect(m_quantity, &QLineEdit::returnPressed, this, [this] { Store(FieldQuantity); });
    connect(m_unitPrice, &QLineEdit::returnPressed, this, [this] { Store(FieldUnitPrice); });
    connect(m_extension, &QLineEdit::returnPressed, this, [this] { Store(FieldExtension); });
    for (int f = 0; f < FieldCount; ++f)
        FieldWidget(Field(f))->installEventFilter(this);
}

// The values and the note, from the fifth row of the form down.
void CDV_SubItem::BuildValues(QGridLayout& grid)
{
    QWidget* form = Form();
    m_quantity = NumberEdit(form, QStringLiteral("quantity"));
    m_unit = Value(form, QStringLiteral("unit"));
    m_mark = new QLabel(form);
    m_mark->setObjectName(QStringLiteral("mark"));
    QFont markFont = m_mark->font();
    markFont.setBold(true);
    m_mark->setFont(markFont);
    QPalette markPalette = m_mark->palette();
    markPalette.setColor(QPalette::WindowText, QColor(176, 0, 0));
    m_mark->setPalette(markPalette);
    grid.addWidget(Caption(tr("Quantity:"), form, m_quantity), 4, 0);
    grid.addWidget(m_quantity, 4, 1);
    grid.addWidget(m_unit, 4, 2);
    grid.addWidget(m_mark, 4, 3, 1, 4);

    m_unitPrice = NumberEdit(form, QStringLiteral("unitPrice"));
    m_extension = NumberEdit(form, QStringLiteral("extension"));
    grid.addWidget(Caption(tr("Unit Price:"), form, m_unitPrice), 5, 0);
    grid.addWidget(m_unitPrice, 5, 1);
    grid.addWidget(Caption(tr("Total:"), form, m_extension), 5, 4);
    grid.addWidget(m_extension, 5, 5, 1, 2);

    m_notes = new QPlainTextEdit(form);
    m_notes->setObjectName(QStringLiteral("notes"));
    m_notes->setTabChangesFocus(true);
    connect(m_notes, &QPlainTextEdit::textChanged, this,
            [this] { KeepPlainTextWithin(*m_notes, static_cast<int>(kMaxRecordText)); });
    m_notes->setMinimumHeight(m_notes->fontMetrics().height() * 2 + 12);
    auto* notesCaption = Caption(tr("Notes:"), form, m_notes);
    notesCaption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid.addWidget(notesCaption, 6, 0, Qt::AlignTop);
    grid.addWidget(m_notes, 6, 1, 1, 6);
}

QWidget* CDV_SubItem::FieldWidget(Field field) const
{
    switch (field) {
    case FieldQuantity: return m_quantity;
    case FieldUnitPrice: return m_unitPrice;
    case FieldExtension: return m_extension;
    default: return m_notes;
    }
}

QString CDV_SubItem::FieldText(Field field) const
{
    return field == FieldNotes ? m_notes->toPlainText() : static_cast<QLineEdit*>(FieldWidget(field))->text();
}

void CDV_SubItem::SetFieldText(Field field, const QString& text)
{
    if (field == FieldNotes) {
        if (m_notes->toPlainText() != text)
            m_notes->setPlainText(text);
    } else {
        static_cast<QLineEdit*>(FieldWidget(field))->setText(text);
    }
    // What the field gives back (a note's line breaks as the edit keeps
    // them): a field left so stores nothing.
    m_shown[field] = FieldText(field);
}

bool CDV_SubItem::AlternateUnits() const
{
    const CContract* c = Contract();
    return c && FlagTest(c->m_wFlags, CONTRACT_ALT_UNITS);
}

void CDV_SubItem::OnInitialUpdate()
{
    if (CSubDoc* doc = Document())
        connect(doc, &CSubDoc::committingEdits, this, &CDV_SubItem::CommitTyping, Qt::UniqueConnection);
    const CContract* c = Contract();
    // A contract that does not allow partial items does not offer them.
    m_partial->setVisible(!(c && FlagTest(c->m_wFlags, CONTRACT_NO_PARTIALS)));
    ShowVendor();
    ShowItem(std::string());
}

void CDV_SubItem::ShowVendor()
{
    const CSubcontract* record = Record();
    const Text* name = record ? record->GetCellText(SUBF_NAME) : nullptr;
    m_vendor->setText(name ? ToQString(*name) : QString());
}

void CDV_SubItem::ShowItem(const std::string& line)
{
    m_line = line;
    CSubDoc* doc = Document();
    CSubcontract* record = Record();
    if (line.empty() || !record || !doc || !doc->Edits()) {
        ShowNone();
        return;
    }
    // Showing renews the line's over-commit marks against no tolerance.
    Refresh(doc->Edits()->ShowSubItem(*record, line));
}

void CDV_SubItem::RefreshFromContract()
{
    CSubDoc* doc = Document();
    const CSubcontract* record = Record();
    ShowVendor();
    if (m_line.empty() || !record || !doc || !doc->Edits()) {
        ShowNone();
        return;
    }
    // After a change the marks stay as the change left them.
    Refresh(doc->Edits()->DescribeSubItem(*record, m_line));
}

void CDV_SubItem::ShowNone()
{
    m_display = SubItemDisplay();
    m_use->setChecked(false);
    m_use->setEnabled(false);
    m_partial->setChecked(false);
    m_partial->setEnabled(false);
    for (QLabel* label : {m_lineNumber, m_itemNumber, m_altCode, m_description, m_unit, m_mark})
        label->clear();
    m_altCode->hide();
    m_mark->hide();
    for (int f = 0; f < FieldCount; ++f)
        SetFieldText(Field(f), QString());
    m_quantity->setReadOnly(true);
    m_unitPrice->setReadOnly(true);
    m_extension->setReadOnly(true);
    m_notes->setReadOnly(true);
    for (int f = 0; f < FieldCount; ++f)
        FieldWidget(Field(f))->setToolTip(QString());
}

void CDV_SubItem::Refresh(const SubItemDisplay& d)
{
    const CContract* c = Contract();
    const CItem* item = c ? c->FindItemByLineNumber(m_line) : nullptr;
    if (!d.isItem || !item) {
        ShowNone();
        return;
    }
    m_display = d;
    // An item received from Ironbark, while the contract locks such items,
    // can be neither taken back nor made partial.
    m_use->setEnabled(!d.locked);
    m_use->setChecked(d.hasSubItem);
    m_partial->setChecked(d.partial);
    m_partial->setEnabled(d.hasSubItem && !d.locked);
    m_lineNumber->setText(ToQString(item->m_strLineNumber));
    m_itemNumber->setText(ToQString(item->m_strItemNumber));
    m_altCode->setText(ToQString(item->m_strAltCode));
    m_altCode->setVisible(!m_altCode->text().isEmpty());
    m_description->setText(ToQString(item->m_strShortDesc));
    m_unit->setText(d.partial ? tr("PART") : ToQString(item->m_strUnit));
    // Contract flag 7 asks for quantities and prices in alternate units: the
    // item's quantity times its alternate-unit factor and its price divided
    // by it. A contract carries no such factor, so it has no value and both
    // show blank; the two fields stay read-only then, so that leaving them
    // can never store a blank over the values in the contract's own units.
    // The total shows and is typed as usual.
    const bool alternate = AlternateUnits();
    SetFieldText(FieldQuantity, alternate ? QString() : QuantityText(d.quantity, c->m_QuanFormat));
    SetFieldText(FieldUnitPrice, alternate ? QString() : MoneyText(d.unitPrice, c->m_UPFormat));
    SetFieldText(FieldExtension, MoneyText(d.extension, c->m_ExtFormat));
    SetFieldText(FieldNotes, d.hasSubItem ? ToQString(d.remarks) : QString());
    m_quantity->setReadOnly(!d.hasSubItem || alternate);
    m_unitPrice->setReadOnly(!d.hasSubItem || alternate);
    m_extension->setReadOnly(!d.hasSubItem);
    m_notes->setReadOnly(!d.hasSubItem);
    m_mark->setText(ToQString(d.mark));
    m_mark->setVisible(d.hasSubItem && !d.mark.empty());
    ShowUnreadable(d);
}

void CDV_SubItem::OnContractChanged(const ChangeEvent& /*event*/)
{
    RefreshFromContract();
}

void CDV_SubItem::Store(Field field)
{
    CSubDoc* doc = Document();
    CSubcontract* record = Record();
    if (m_closing || !doc || !doc->Edits() || !record || m_line.empty() || !m_display.hasSubItem)
        return;
    const QString text = FieldText(field);
    if (text == m_shown[field])
        return;
    CContractEdits& edits = *doc->Edits();
    const Result<std::string> converted = FromTypedQString(text);
    EditResult result = [&] {
        if (!converted)
            return EditResult(converted.error());
        const std::string& typed = converted.value();
        switch (field) {
        case FieldQuantity: return edits.SetSubItemQuantity(*record, m_line, typed);
        case FieldUnitPrice: return edits.SetSubItemUnitPrice(*record, m_line, typed);
        case FieldExtension: return edits.SetSubItemExtension(*record, m_line, typed);
        default: return edits.SetSubItemRemarks(*record, m_line, typed);
        }
    }();
    if (!result) {
        if (!m_quiet)
            Refused(field, result.error());
        return;
    }
    const std::string unreadable = std::move(result->unreadable);
    (void)doc->ApplyEdit(std::move(result));
    NoteUnreadable(field, text, unreadable);
    // An entry that changed nothing shows the stored value again, in its
    // format.
    RefreshFromContract();
}

void CDV_SubItem::CommitTyping(CommitMode mode)
{
    const QWidget* focus = QApplication::focusWidget();
    for (int f = 0; f < FieldCount; ++f) {
        const Field field = Field(f);
        if (FieldWidget(field) != focus || FieldText(field) == m_shown[field])
            continue;
        if (mode == CommitMode::Leaving) {
            Store(field);
            return;
        }
        // In the background: stored when it can be, while the field keeps
        // the text as typed and its cursor (leaving it stores it again,
        // which changes nothing then).
        const QString typed = FieldText(field);
        auto* line = qobject_cast<QLineEdit*>(FieldWidget(field));
        const int cursor = line ? line->cursorPosition() : m_notes->textCursor().position();
        m_quiet = true;
        Store(field);
        m_quiet = false;
        if (FieldText(field) == typed)
            return;
        if (line) {
            line->setText(typed);
            line->setCursorPosition(cursor);
        } else {
            m_notes->setPlainText(typed);
            QTextCursor at = m_notes->textCursor();
            at.setPosition(std::min(cursor, static_cast<int>(typed.size())));
            m_notes->setTextCursor(at);
        }
        return;
    }
}

QString CDV_SubItem::FieldCaption(Field field)
{
    switch (field) {
    case FieldQuantity: return tr("Quantity");
    case FieldUnitPrice: return tr("Unit Price");
    case FieldExtension: return tr("Total");
    default: return tr("Notes");
    }
}

void CDV_SubItem::NoteUnreadable(Field field, const QString& typed, const std::string& message)
{
    const UnreadableKey key{Record(), m_line, field};
    if (message.empty()) {
        ClearUnreadable(key);
        return;
    }
    // The value is stored as none (the item shows as incomplete); why, the
    // user is told where the eye is: in the status bar at once, and on the
    // field for as long as it has no value.
    const QString text =
        tr("%1 \"%2\" cannot be read: %3").arg(FieldCaption(field), typed.trimmed(), ToQString(message));
    m_unreadable[key] = text;
    if (auto* frame = qobject_cast<QMainWindow*>(window()))
        frame->statusBar()->showMessage(text);
}

void CDV_SubItem::ClearUnreadable(const UnreadableKey& key)
{
    const auto it = m_unreadable.find(key);
    if (it == m_unreadable.end())
        return;
    if (auto* frame = qobject_cast<QMainWindow*>(window()))
        if (frame->statusBar()->currentMessage() == it->second)
            frame->statusBar()->clearMessage();
    m_unreadable.erase(it);
}

void CDV_SubItem::ShowUnreadable(const SubItemDisplay& d)
{
    const double values[] = {d.quantity, d.unitPrice, d.extension};
    for (int f = FieldQuantity; f <= FieldExtension; ++f) {
        const UnreadableKey key{Record(), m_line, Field(f)};
        // A value the field has again, however it came, corrects it.
        if (!d.hasSubItem || !IsBlankValue(values[f]))
            ClearUnreadable(key);
        const auto it = m_unreadable.find(key);
        FieldWidget(Field(f))->setToolTip(it == m_unreadable.end() ? QString() : it->second);
    }
}

void CDV_SubItem::Refused(Field field, const ErrorInfo& error)
{
    // The old value goes back: a quantity with three decimals, an amount
    // with two.
    if (field == FieldQuantity)
        SetFieldText(field, Fixed(m_display.quantity, 3));
    else if (field == FieldExtension)
        SetFieldText(field, Fixed(m_display.extension, 2));
    else
        RefreshFromContract();
    QWidget* widget = FieldWidget(field);
    m_notice->Post(*Document(), error, [this, widget, field] {
        widget->setFocus(Qt::OtherFocusReason);
        if (field != FieldNotes)
            static_cast<QLineEdit*>(widget)->selectAll();
    });
}

void CDV_SubItem::ApplyBox(QCheckBox* box, bool shown, bool allowed, const BoxChange& change)
{
    CSubDoc* doc = Document();
    CSubcontract* record = Record();
    if (!doc || !doc->Edits() || !record || m_line.empty() || !allowed || box->isChecked() == shown) {
        box->setChecked(shown);
        return;
    }
    EditResult result = change(*doc->Edits(), *record);
    if (!result) {
        // Refused: the box shows the contract as it stands.
        box->setChecked(shown);
        m_notice->Post(*doc, result.error());
        return;
    }
    (void)doc->ApplyEdit(std::move(result));
    RefreshFromContract();
}

void CDV_SubItem::OnUseClicked(bool checked)
{
    ApplyBox(m_use, m_display.hasSubItem, true, [this, checked](CContractEdits& edits, CSubcontract& record) {
        return edits.UseItem(record, m_line, checked);
    });
}

void CDV_SubItem::OnPartialClicked(bool checked)
{
    ApplyBox(m_partial, m_display.partial, m_display.hasSubItem,
             [this, checked](CContractEdits& edits, CSubcontract& record) {
                 return edits.SetSubItemPartial(record, m_line, checked);
             });
}

bool CDV_SubItem::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_closing) {
        for (int f = 0; f < FieldCount; ++f) {
            if (watched != FieldWidget(Field(f)))
                continue;
            if (event->type() == QEvent::FocusOut) {
                Store(Field(f));
            } else if (f == FieldNotes && event->type() == QEvent::KeyPress) {
                // Enter stores the note; Ctrl+Enter starts a new line.
                const auto* key = static_cast<QKeyEvent*>(event);
                if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                    if (key->modifiers() & Qt::ControlModifier)
                        m_notes->insertPlainText(QStringLiteral("\n"));
                    else
                        Store(FieldNotes);
                    return true;
                }
            }
        }
    }
    return CDV::eventFilter(watched, event);
}

} // namespace kestrel
