#include "views/dv_template.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextLayout>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <set>

#include "app/asker.h"
#include "app/qtext.h"
#include "app/subdoc.h"
#include "app/subsettings.h"
#include "model/subcontract/winmeta.h"
#include "views/accessiblename.h"
#include "views/formcontrolfactory.h"
#include "views/formfield.h"
#include "views/formlabels.h"
#include "views/formmarks.h"
#include "views/greycombobox.h"
#include "views/greyedit.h"
#include "views/greymultiedit.h"

namespace kestrel {

namespace {

// Form tooltips are at most this wide; a longer help text takes more lines.
constexpr int kToolTipWidth = 200;

// The text broken into lines no wider than `width` in `font`, at word
// boundaries where it can be (a word longer than the width is broken inside).
QString WrapToWidth(const QString& text, const QFont& font, int width)
{
    QString flowing = text;
    flowing.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(flowing, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        QString piece = flowing.mid(line.textStart(), line.textLength());
        piece.remove(QChar::LineSeparator);
        while (piece.endsWith(QLatin1Char(' ')))
            piece.chop(1);
        lines << piece;
    }
    layout.endLayout();
    return lines.join(QLatin1Char('\n'));
}

// Form fonts named by the forms that this system has no font of, and the
// metric-compatible faces that stand in for them.
struct FaceSubstitute {
    const char* face;
    const char* substitute;
};
constexpr FaceSubstitute kSubstitutes[] = {
    {"MS Sans Serif", "Liberation Sans"}, {"Microsoft Sans Serif", "Liberation Sans"},
    {"MS Shell Dlg", "Liberation Sans"},  {"MS Shell Dlg 2", "Liberation Sans"},
    {"Arial", "Liberation Sans"},         {"Tahoma", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},     {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},       {"Times New Roman", "Liberation Serif"},
};

// Form font sizes outside this range are not a size a form is drawn in.
constexpr int kMinFontSize = 6;
constexpr int kMaxFontSize = 48;

} // namespace

CDV_Template::CDV_Template(QWidget* parent) : CDV2(parent)
{
}

CDV_Template::~CDV_Template()
{
    // The controls go with the form after this object: what they tell on
    // the way (losing the focus) is no longer the form's concern.
    m_closing = true;
    for (const auto& f : m_fields)
        if (f)
            disconnect(f->Control(), nullptr, this, nullptr);
}

QStringList CDV_Template::FontFamilies(const QString& face)
{
    QStringList families;
    if (!face.trimmed().isEmpty())
        families << face.trimmed();
    for (const FaceSubstitute& s : kSubstitutes)
        if (face.trimmed().compare(QLatin1String(s.face), Qt::CaseInsensitive) == 0 &&
            QFontDatabase::hasFamily(QLatin1String(s.substitute)))
            families << QLatin1String(s.substitute);
    families << QApplication::font().family();
    return families;
}

QFont CDV_Template::CreateFormFont(int extraHeight, int weight)
{
    QFont font = QApplication::font();
    const CWinMeta* meta = GetFormMeta();
    font.setFamilies(FontFamilies(meta ? ToQString(meta->m_strFontFace) : QString()));
    qreal size = font.pointSizeF() > 0 ? font.pointSizeF() : 9;
    // A size of 0 (or none a form is drawn in) takes the program's.
    if (meta && meta->m_iFontSize >= kMinFontSize && meta->m_iFontSize <= kMaxFontSize)
        size = meta->m_iFontSize;
    font.setPointSizeF(size + extraHeight);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

QWidget* CDV_Template::FieldControl(int field) const
{
    const CFormField* f = FormField(field);
    return f ? f->Control() : nullptr;
}

CFormField* CDV_Template::FormField(int field) const
{
    if (field < 0 || field >= FieldCount())
        return nullptr;
    return m_fields[static_cast<size_t>(field)].get();
}

QString CDV_Template::ToolTipText(int field) const
{
    const CWinMeta* meta = GetFormMeta();
    const CFieldInfo* info = meta ? meta->m_Fields.GetAt(field) : nullptr;
    if (!info)
        return QString();
    const QString help = ToQString(info->m_strHelp);
    if (Document() && Document()->DebugMode())
        return tr("Name:%1 ID:%2 Help:%3")
            .arg(ToQString(info->m_strName), QString::number(kFirstControlId + field), help);
    return help;
}

void CDV_Template::NameControl(int field, QWidget* control) const
{
    const CWinMeta* meta = GetFormMeta();
    const CFieldInfo* info = meta ? meta->m_Fields.GetAt(field) : nullptr;
    if (info)
        SetAccessibleCaption(control, ToQString(FieldCaption(*meta, field)), ToQString(info->m_strHelp));
}

bool CDV_Template::ShowsToolTips() const
{
    return !Document() || Document()->Settings().showTips;
}

std::vector<int> CDV_Template::MarkedFields() const
{
    std::vector<int> marked;
    for (const auto& f : m_fields)
        if (f && f->IsMissing())
            marked.push_back(f->Field());
    return marked;
}

void CDV_Template::OnInitialUpdate()
{
    CDV2::OnInitialUpdate();
    BuildForm();
    if (CSubDoc* doc = Document())
        connect(doc, &CSubDoc::committingEdits, this, &CDV_Template::CommitTyping, Qt::UniqueConnection);
}

void CDV_Template::CommitTyping(CommitMode mode)
{
    if (m_closing || m_pending || m_storing >= 0)
        return;
    for (const auto& f : m_fields) {
        if (!f || !IsBeingTyped(*f) || f->IsReadOnly())
            continue;
        // In the background the field is not the user's concern yet: a
        // refusal waits until the field is left, and the text stays as
        // typed.
        m_quiet = mode == CommitMode::Quietly;
        const bool stored = StoreFieldValue(kFirstControlId + f->Field());
        m_quiet = false;
        // Otherwise the typing is over: the field shows what was stored.
        if (stored && mode == CommitMode::Leaving) {
            m_storing = f->Field();
            ShowAllFieldValues();
            m_storing = -1;
        }
        return;
    }
}

void CDV_Template::BuildForm()
{
    CWinMeta* meta = GetFormMeta();
    if (m_built || !meta)
        return;
    const QFontMetrics fm(FormFont());
    // Label lines are drawn in character columns (blanks pad a label up to
    // its field): measured at least an average character per character,
    // fields that start in the same column line up under each other, as
    // the form was drawn, whatever the widths of the label's letters.
    const int avg = fm.averageCharWidth();
    const FormMetrics metrics = FormMetrics::FromFont(
        TextHeight(), fm.maxWidth(), avg, BorderX() - 1, BorderY() - 1, [fm, avg](std::string_view text) {
            return std::max(static_cast<int>(text.size()) * avg, fm.horizontalAdvance(ToQString(text)));
        });
    m_layout = ComputeFormLayout(*meta, metrics);
    m_origin = QPoint(0, TopBand() + LineHeight() / 3);
    const int labelsRight = PlaceLabels();
    PlaceControls();
    SetTabOrder(*meta);
    m_marks = new CFormMarks(Form());
    m_labels->lower();
    m_marks->raise();
    m_content = QSize(m_origin.x() + std::max(m_layout.scrollWidth, labelsRight) + CharWidth(),
                      m_origin.y() + m_layout.scrollHeight + LineHeight() / 2);
    m_built = true;
    OnFormBuilt();
    FitForm();
    ShowRecord(false);
    RefreshAfterChange();
    WarnMissingLists();
}

int CDV_Template::PlaceLabels()
{
    const QFontMetrics fm(FormFont());
    m_labels = new CFormLabels(Form());
    m_labels->SetTextColor(TextColor());
    QList<CFormLabels::Run> runs;
    int right = 0;
    for (const FormLabelRun& run : m_layout.labels) {
        const QString text = ToQString(run.text);
        const QRect rect(QPoint(run.x, run.y) + m_origin, QSize(run.right - run.x, LineHeight()));
        runs.append({rect, text});
        // Label text past the last control is part of the form too.
        right = std::max(right, std::min(rect.right(), rect.left() + fm.horizontalAdvance(text)));
    }
    m_labels->SetRuns(runs);
    return right;
}

void CDV_Template::PlaceControls()
{
    m_fields.resize(m_layout.fields.size());
    for (const FormFieldLayout& fl : m_layout.fields) {
        QWidget* control = CFormControlFactory::Create(fl, Form());
        if (!control)
            continue;
        QRect rect(QPoint(fl.rect.left, fl.rect.top) + m_origin, QSize(fl.rect.Width(), fl.rect.Height()));
        // A drop-down on a label line stands as high as the edits beside it
        // are tall, so that its text lines up with their text and the label.
        if (!fl.explicitPosition && fl.dropHeight > 0)
            rect.translate(0, BorderY());
        control->setGeometry(rect);
        auto field = std::make_unique<CFormField>(fl, control);
        control->setToolTip(WrapToWidth(ToolTipText(fl.field), QToolTip::font(), kToolTipWidth));
        if (fl.kind != FormControlKind::StaticCaption)
            NameControl(fl.field, control);
        control->installEventFilter(this);
        ConnectControl(*field);
        m_fields[static_cast<size_t>(fl.field)] = std::move(field);
    }
}

void CDV_Template::SetTabOrder(const CWinMeta& meta)
{
    // Tab and Enter visit the fields in reading order, and so does Qt's own
    // focus chain; the others take the focus only from the mouse.
    m_tabOrder = FormTabOrder(meta);
    const std::set<int> inOrder(m_tabOrder.begin(), m_tabOrder.end());
    for (const auto& f : m_fields)
        if (f && f->Kind() != FormControlKind::StaticCaption)
            f->Control()->setFocusPolicy(inOrder.count(f->Field()) ? Qt::StrongFocus : Qt::ClickFocus);
    QWidget* previous = nullptr;
    for (int field : m_tabOrder) {
        QWidget* control = FieldControl(field);
        if (previous && control)
            QWidget::setTabOrder(previous, control);
        previous = control ? control : previous;
    }
}

void CDV_Template::ConnectControl(CFormField& field)
{
    const int index = field.Field();
    QWidget* control = field.Control();
    if (auto* edit = qobject_cast<CGreyEdit*>(control)) {
        connect(edit, &CGreyEdit::left, this, [this, index](Qt::FocusReason r) { OnFieldLeft(index, r); });
        connect(edit, &CGreyEdit::navigate, this, [this, index](bool back) { OnNavigate(index, back); });
    } else if (auto* multi = qobject_cast<CGreyMultiEdit*>(control)) {
        connect(multi, &CGreyMultiEdit::left, this,
                [this, index](Qt::FocusReason r) { OnFieldLeft(index, r); });
        connect(multi, &CGreyMultiEdit::navigate, this,
                [this, index](bool back) { OnNavigate(index, back); });
    } else if (auto* box = qobject_cast<CGreyComboBox*>(control)) {
        connect(box, &CGreyComboBox::left, this, [this, index](Qt::FocusReason r) { OnFieldLeft(index, r); });
        connect(box, &CGreyComboBox::navigate, this, [this, index](bool back) { OnNavigate(index, back); });
        connect(box, &QComboBox::activated, this, [this, index](int i) { OnChoice(index, i); });
        if (CGreyEdit* edit = box->Edit()) {
            connect(edit, &CGreyEdit::left, this,
                    [this, index](Qt::FocusReason r) { OnFieldLeft(index, r); });
            edit->installEventFilter(this);
            // The box would choose an entry whose text was typed exactly;
            // typed text is the edit layer's to match.
            disconnect(edit, &QLineEdit::editingFinished, box, nullptr);
        }
    }
}

void CDV_Template::WarnMissingLists()
{
    CSubDoc* doc = Document();
    if (!doc || !doc->Settings().warnRef)
        return;
    QStringList messages;
    for (const FieldDisplay& f : m_display.fields)
        if (!f.choices.listMessage.empty() && !messages.contains(ToQString(f.choices.listMessage)))
            messages.append(ToQString(f.choices.listMessage));
    if (messages.isEmpty())
        return;
    // Told once the form is up, each message once.
    QTimer::singleShot(0, this, [this, messages] {
        if (CSubDoc* d = Document())
            for (const QString& m : messages)
                d->Asker().Tell(d->MainWindow(), AppTitle(), m, QMessageBox::Warning);
    });
}

void CDV_Template::FitForm()
{
    if (!m_built)
        return;
    const QSize view = viewport()->size();
    const QSize size(std::max(m_content.width(), view.width()), std::max(m_content.height(), view.height()));
    SetScrollSize(size);
    m_labels->setGeometry(QRect(QPoint(0, 0), size));
    m_marks->setGeometry(QRect(QPoint(0, 0), size));
    OnFormSized();
}

void CDV_Template::resizeEvent(QResizeEvent* event)
{
    CDV2::resizeEvent(event);
    FitForm();
}

bool CDV_Template::IsBeingTyped(const CFormField& field) const
{
    const QWidget* focus = QApplication::focusWidget();
    const QWidget* control = field.Control();
    return focus && (focus == control || control->isAncestorOf(focus)) && field.IsEdited();
}

void CDV_Template::FillFieldList(int field)
{
    CFormField* f = FormField(field);
    if (f && field < static_cast<int>(m_display.fields.size()))
        f->FillList(m_display.fields[static_cast<size_t>(field)].choices);
}

void CDV_Template::ShowFieldValue(int field)
{
    CFormField* f = FormField(field);
    if (!f || field >= static_cast<int>(m_display.fields.size()))
        return;
    // What the user is typing stays until the field is left, unless it is
    // the field just stored.
    if (m_keepTyping && field != m_storing && IsBeingTyped(*f))
        return;
    FillFieldList(field);
    f->Show(m_display.fields[static_cast<size_t>(field)]);
}

void CDV_Template::ShowRecord(bool keepTyping)
{
    ++m_shown;
    CWinMeta* meta = GetFormMeta();
    CSubcontract* record = GetCurrentRecord();
    CSubDoc* doc = Document();
    const bool shows = meta && record && doc && doc->Edits();
    m_display = shows ? doc->Edits()->ShowRecord(*meta, *record) : FormDisplay{};
    // A record that is gone (or none): empty fields that take nothing.
    if (m_display.fields.size() != m_fields.size()) {
        m_display.fields.assign(m_fields.size(), FieldDisplay{});
        for (FieldDisplay& f : m_display.fields)
            f.readOnly = true;
    }
    m_keepTyping = keepTyping;
    for (int i = 0; i < FieldCount(); ++i)
        ShowFieldValue(i);
    m_keepTyping = true;
    for (const auto& f : m_fields)
        if (f && f->Kind() == FormControlKind::StaticCaption)
            f->Control()->setEnabled(shows);
}

void CDV_Template::ShowAllFieldValues()
{
    ShowRecord(true);
}

void CDV_Template::UpdateMarks()
{
    if (!m_marks)
        return;
    QList<QRect> marked;
    for (const auto& f : m_fields)
        if (f && f->IsMissing())
            marked.append(f->Control()->geometry());
    m_marks->SetMarked(marked);
}

void CDV_Template::RefreshAfterChange()
{
    UpdateMarks();
}

void CDV_Template::OnRebind()
{
    if (!m_built) {
        BuildForm();
        return;
    }
    ShowRecord(false);
    RefreshAfterChange();
}

void CDV_Template::OnContractChanged(const ChangeEvent& event)
{
    if (!m_built || m_closing || event.kind == ChangeKind::Template || event.kind == ChangeKind::SubItemMarks)
        return;
    ShowAllFieldValues();
    RefreshAfterChange();
}

bool CDV_Template::ApplyFieldEdit(
    int field, const std::function<EditResult(CContractEdits&, CWinMeta&, CSubcontract&)>& edit)
{
    CSubDoc* doc = Document();
    CWinMeta* meta = GetFormMeta();
    CSubcontract* record = GetCurrentRecord();
    if (!doc || !doc->Edits() || !meta || !record)
        return false;
    const uint64_t shownBefore = m_shown;
    m_storing = field;
    EditResult result = edit(*doc->Edits(), *meta, *record);
    m_storing = -1;
    if (!result) {
        Refuse(field, result.error());
        return false;
    }
    (void)doc->ApplyEdit(std::move(result));
    // Nothing changed (the same value typed in another form): the field
    // shows the value as stored again, unless it is being typed into still.
    if (m_shown == shownBefore && !m_quiet) {
        m_storing = field;
        ShowAllFieldValues();
        m_storing = -1;
    }
    return true;
}

bool CDV_Template::StoreFieldValue(int controlId)
{
    const int field = controlId - kFirstControlId;
    CFormField* f = FormField(field);
    if (!f)
        return false;
    if (f->TakesTypedText()) {
        const Result<std::string> typed = FromTypedQString(f->TypedText());
        return ApplyFieldEdit(field, [&](CContractEdits& edits, CWinMeta& meta, CSubcontract& record) {
            return typed ? edits.SetCell(meta, record, field, typed.value()) : EditResult(typed.error());
        });
    }
    CGreyComboBox* box = f->ComboBox();
    if (!box)
        return false;
    const int position = box->CurrentPosition();
    return ApplyFieldEdit(field, [&](CContractEdits& edits, CWinMeta& meta, CSubcontract& record) {
        return edits.ChooseListEntry(meta, record, field, position);
    });
}

void CDV_Template::OnFieldLeft(int field, Qt::FocusReason reason)
{
    // The field's own lists (and context menu) open without leaving it.
    if (reason == Qt::PopupFocusReason || m_closing || m_pending || m_storing >= 0 ||
        QCoreApplication::closingDown())
        return;
    CFormField* f = FormField(field);
    if (!f || f->IsReadOnly() || !f->IsEdited())
        return;
    (void)StoreFieldValue(kFirstControlId + field);
}

void CDV_Template::OnChoice(int field, int index)
{
    CFormField* f = FormField(field);
    if (!f || !f->ComboBox() || m_pending || m_storing >= 0)
        return;
    const int position = f->ComboBox()->PositionAt(index);
    (void)ApplyFieldEdit(field, [&](CContractEdits& edits, CWinMeta& meta, CSubcontract& record) {
        return edits.ChooseListEntry(meta, record, field, position);
    });
}

void CDV_Template::FocusField(int field)
{
    CFormField* f = FormField(field);
    if (!f)
        return;
    f->FocusAndSelect();
    ensureWidgetVisible(f->Control(), CharWidth(), LineHeight());
}

void CDV_Template::OnNavigate(int field, bool backward)
{
    CWinMeta* meta = GetFormMeta();
    CFormField* f = FormField(field);
    if (!meta || !f || m_pending || m_storing >= 0)
        return;
    if (f->IsEdited() && !f->IsReadOnly() && !StoreFieldValue(kFirstControlId + field))
        return; // refused: the focus stays
    // The next field that can take the focus (a disabled drop-down cannot).
    int next = field;
    for (size_t tries = 0; tries < m_tabOrder.size(); ++tries) {
        next = backward ? PreviousFieldInReadingOrder(*meta, next) : NextFieldInReadingOrder(*meta, next);
        const QWidget* control = FieldControl(next);
        if (control && control->isEnabled()) {
            FocusField(next);
            return;
        }
    }
}

void CDV_Template::Refuse(int field, ErrorInfo error)
{
    if (m_pending || m_quiet)
        return;
    m_pending = PendingRefusal{field, std::move(error), GetCurrentRecord()};
    // Until it is told, the form is not left (another node, another file).
    if (CSubDoc* doc = Document())
        doc->HoldForRefusal(this);
    // Told once the focus change that left the field is over.
    QTimer::singleShot(0, this, &CDV_Template::ShowPendingRefusal);
}

void CDV_Template::ShowPendingRefusal()
{
    if (!m_pending)
        return;
    const PendingRefusal pending = *m_pending;
    CFormField* f = FormField(pending.field);
    const bool sameRecord = pending.record == GetCurrentRecord();
    QApplication::beep();
    // An entry that retyping cannot put right (an amount below the Ironbark
    // amount, a locked field) goes back to what is stored; a number or date
    // that cannot be read stays to be corrected.
    const bool putBack = pending.error.code == static_cast<int>(Refusal::Amount) ||
                         pending.error.code == static_cast<int>(Refusal::Locked) ||
                         pending.error.code == static_cast<int>(Refusal::NotAllowed);
    if (f && sameRecord && putBack)
        f->RestoreShownText();
    if (CSubDoc* doc = Document())
        (void)doc->ApplyEdit(EditResult(pending.error));
    if (f && sameRecord && isVisible())
        FocusField(pending.field);
    m_pending.reset();
    if (CSubDoc* doc = Document())
        doc->RefusalTold(this);
}

bool CDV_Template::eventFilter(QObject* watched, QEvent* event)
{
    // Tooltips follow the "Show Subcontract Tooltips" option as it stands.
    if (event->type() == QEvent::ToolTip && !ShowsToolTips())
        return true;
    return CDV2::eventFilter(watched, event);
}

} // namespace kestrel
