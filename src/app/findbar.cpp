#include "app/findbar.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "app/contractnavigator.h"
#include "app/qtext.h"
#include "app/subdoc.h"
#include "edit/formlayout.h"
#include "model/contract/contract.h"
#include "model/subcontract/subcontract.h"
#include "model/subcontract/winmeta.h"
#include "views/accessiblename.h"

namespace kestrel {

namespace {

// The parts a search looks at, as the box offers them.
const struct {
    const char* text;
    unsigned areas;
} kAreas[] = {
    {QT_TRANSLATE_NOOP("kestrel::CFindBar", "Everywhere"), SEARCH_ALL},
    {QT_TRANSLATE_NOOP("kestrel::CFindBar", "Items"), SEARCH_ITEMS},
    {QT_TRANSLATE_NOOP("kestrel::CFindBar", "Subcontractors"), SEARCH_SUBCONTRACTORS},
    {QT_TRANSLATE_NOOP("kestrel::CFindBar", "Remarks"), SEARCH_REMARKS},
    {QT_TRANSLATE_NOOP("kestrel::CFindBar", "Miscellaneous Data"), SEARCH_MISC},
};

QString ItemTextName(ItemText text)
{
    switch (text) {
    case ItemText::LineNumber: return QCoreApplication::translate("kestrel::CFindBar", "line");
    case ItemText::ItemNumber: return QCoreApplication::translate("kestrel::CFindBar", "item number");
    case ItemText::ShortDescription: return QStringLiteral("description");
    case ItemText::LongDescription:
        return QCoreApplication::translate("kestrel::CFindBar", "section description");
    }
    return QString();
}

QString RecordName(const CSubcontract* record)
{
    const Text* name = record ? record->GetCellText(SUBF_NAME) : nullptr;
    const Text* number = record ? record->GetCellText(SUBF_NUMBER) : nullptr;
    return (number ? ToQString(*number) + QLatin1Char(' ') : QString()) +
           (name ? ToQString(*name) : QString());
}

// A field as its form calls it.
QString FieldName(const CWinMeta* form, int field)
{
    return form ? ToQString(FieldCaption(*form, field)) : QString();
}

} // namespace

CFindBar::CFindBar(CSubDoc& doc, CContractNavigator& navigator, QWidget* parent)
    : QToolBar(tr("Find"), parent), m_doc(doc), m_navigator(navigator), m_edit(new QLineEdit(this)),
      m_area(new QComboBox(this)), m_previous(new QToolButton(this)), m_next(new QToolButton(this)),
      m_count(new QLabel(this)), m_place(new QLabel(this)), m_delay(new QTimer(this))
{
    setObjectName(QStringLiteral("findBar"));
    setMovable(false);
    setFloatable(false);
    setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    // Not in the list of bars a right click offers: Ctrl+F and Esc open
    // and close it.
    toggleViewAction()->setVisible(false);

    auto* caption = new QLabel(tr(" Find: "), this);
    addWidget(caption);
    m_edit->setObjectName(QStringLiteral("findText"));
    m_edit->setPlaceholderText(tr("Line, item, description, any field or remark"));
    m_edit->setClearButtonEnabled(true);
    m_edit->setMinimumWidth(260);
    m_edit->setMaximumWidth(360);
    m_edit->installEventFilter(this);
    SetAccessibleCaption(m_edit, caption->text(), m_edit->placeholderText());
    addWidget(m_edit);

    m_previous->setObjectName(QStringLiteral("findPrevious"));
    m_previous->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    m_previous->setToolTip(tr("Previous hit (Shift+Enter)"));
    m_next->setObjectName(QStringLiteral("findNext"));
    m_next->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    m_next->setToolTip(tr("Next hit (Enter)"));
    addWidget(m_previous);
    addWidget(m_next);

    m_count->setObjectName(QStringLiteral("findCount"));
    m_count->setMinimumWidth(90);
    m_count->setContentsMargins(8, 0, 8, 0);
    addWidget(m_count);

    addWidget(new QLabel(QStringLiteral("in"), this));
    m_area->setObjectName(QStringLiteral("findArea"));
    SetAccessibleCaption(m_area, tr("Find in"));
    for (const auto& area : kAreas)
        m_area->addItem(tr(area.text), area.areas);
    addWidget(m_area);

    m_place->setObjectName(QStringLiteral("findPlace"));
    m_place->setContentsMargins(12, 0, 0, 0);
    m_place->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_place->setForegroundRole(QPalette::PlaceholderText);
    addWidget(m_place);

    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("findClose"));
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setToolTip(tr("Close the find bar (Esc)"));
    close->setAutoRaise(true);
    addWidget(close);

    m_delay->setSingleShot(true);
    m_delay->setInterval(kTypingDelayMs);
    connect(m_delay, &QTimer::timeout, this, [this] { Search(m_showFirst); });
    connect(m_edit, &QLineEdit::textChanged, this, &CFindBar::TextEdited);
    connect(m_area, &QComboBox::currentIndexChanged, this, &CFindBar::TextEdited);
    connect(m_previous, &QToolButton::clicked, this, &CFindBar::Previous);
    connect(m_next, &QToolButton::clicked, this, &CFindBar::Next);
    connect(close, &QToolButton::clicked, this, &CFindBar::Close);
    connect(&m_doc, &CSubDoc::contractChanged, this, &CFindBar::ContractChanged);
    connect(&m_doc, &CSubDoc::contractClosing, this, [this] {
        m_result = {};
        m_current = -1;
        UpdateCount();
    });
    connect(&m_doc, &CSubDoc::documentReplaced, this, [this] {
        if (isVisible())
            SearchNow();
    });
    UpdateCount();
}

void CFindBar::Open()
{
    show();
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
    if (!m_edit->text().isEmpty() && !m_delay->isActive())
        Search(m_current < 0);
}

void CFindBar::Close()
{
    m_delay->stop();
    hide();
    m_navigator.ClearMark();
    // The user goes where the hit is.
    if (m_current >= 0 && m_current < static_cast<int>(m_result.hits.size())) {
        const SearchHit& hit = m_result.hits[static_cast<size_t>(m_current)];
        switch (hit.place) {
        case HitPlace::Item: m_navigator.ShowItem(hit.item, CContractNavigator::Focus::Take); break;
        case HitPlace::SubcontractorField:
        case HitPlace::SubcontractorRemark:
            m_navigator.ShowSubcontractor(hit.record, hit.field, CContractNavigator::Focus::Take);
            break;
        case HitPlace::SubItemNote:
            m_navigator.ShowSubItem(hit.record, hit.line, CContractNavigator::Focus::Take, true);
            break;
        case HitPlace::MiscField:
            m_navigator.ShowMiscField(hit.field, CContractNavigator::Focus::Take);
            break;
        }
    }
}

void CFindBar::TextEdited()
{
    m_showFirst = true;
    m_current = -1;
    m_delay->start();
}

void CFindBar::ContractChanged()
{
    // The hits may point at records that are gone: they are looked for
    // again, and the bar keeps its place in the list (a hidden bar looks
    // again when it is opened).
    if (m_edit->text().isEmpty() || !isVisible())
        return;
    if (!m_delay->isActive())
        m_showFirst = false;
    m_delay->start();
}

void CFindBar::SearchNow()
{
    m_delay->stop();
    Search(true);
}

void CFindBar::Search(bool showFirst)
{
    m_result = {};
    const CContract* contract = m_doc.Contract();
    const std::string needle = FromQString(m_edit->text());
    if (contract && !needle.empty()) {
        SearchOptions options;
        options.areas = m_area->currentData().toUInt();
        options.maxHits = kMaxHits;
        m_result = SearchContract(*contract, needle, options);
    }
    const int count = static_cast<int>(m_result.hits.size());
    if (count == 0) {
        m_current = -1;
        m_navigator.ClearMark();
    } else if (showFirst || m_current < 0) {
        ShowHit(0);
        return;
    } else {
        m_current = std::min(m_current, count - 1);
    }
    UpdateCount();
}

void CFindBar::Next()
{
    if (m_delay->isActive()) {
        // New text: its first hit. The same text looked for again after a
        // change: the hit after the one shown.
        m_delay->stop();
        const bool fresh = m_showFirst;
        Search(fresh);
        if (fresh)
            return;
    }
    const int count = static_cast<int>(m_result.hits.size());
    if (count > 0)
        ShowHit(m_current < 0 ? 0 : (m_current + 1) % count);
}

void CFindBar::Previous()
{
    if (m_delay->isActive()) {
        // The search runs first; going back from its first hit is its last.
        m_delay->stop();
        Search(false);
    }
    const int count = static_cast<int>(m_result.hits.size());
    if (count > 0)
        ShowHit(m_current <= 0 ? count - 1 : m_current - 1);
}

void CFindBar::ShowHit(int index)
{
    m_current = index;
    const SearchHit& hit = m_result.hits[static_cast<size_t>(index)];
    // The focus stays in the bar: the user goes on with Enter.
    const auto keep = CContractNavigator::Focus::Keep;
    switch (hit.place) {
    case HitPlace::Item: m_navigator.ShowItem(hit.item, keep); break;
    case HitPlace::SubcontractorField:
    case HitPlace::SubcontractorRemark: m_navigator.ShowSubcontractor(hit.record, hit.field, keep); break;
    case HitPlace::SubItemNote: m_navigator.ShowSubItem(hit.record, hit.line, keep, true); break;
    case HitPlace::MiscField: m_navigator.ShowMiscField(hit.field, keep); break;
    }
    UpdateCount();
}

QString CFindBar::PlaceText(const SearchHit& hit) const
{
    const CContract* contract = m_doc.Contract();
    switch (hit.place) {
    case HitPlace::Item: {
        const CItem* item = contract && hit.item >= 0 && hit.item < contract->m_Items.GetSize()
                                ? contract->m_Items[hit.item]
                                : nullptr;
        if (!item)
            return QString();
        const QString line = ToQString(item->m_strLineNumber);
        return (item->IsHeading() ? tr("Section %1").arg(line) : tr("Line %1").arg(line)) +
               QStringLiteral(", ") + ItemTextName(hit.itemText);
    }
    case HitPlace::SubcontractorField:
        return tr("Subcontractor %1, %2")
            .arg(RecordName(hit.record),
                 FieldName(contract ? contract->m_pSubTable.get() : nullptr, hit.field));
    case HitPlace::SubcontractorRemark: return tr("Remark of %1").arg(RecordName(hit.record));
    case HitPlace::SubItemNote:
        return tr("Notes of line %1, %2").arg(ToQString(hit.line), RecordName(hit.record));
    case HitPlace::MiscField:
        return tr("Miscellaneous Data, %1")
            .arg(FieldName(contract ? contract->m_pMiscTable.get() : nullptr, hit.field));
    }
    return QString();
}

void CFindBar::UpdateCount()
{
    const int count = static_cast<int>(m_result.hits.size());
    const bool none = count == 0 && !m_edit->text().isEmpty();
    const QString total = QString::number(count) + (m_result.truncated ? QStringLiteral("+") : QString());
    if (none)
        m_count->setText(tr("No hits"));
    else if (count == 0)
        m_count->setText(QString());
    else
        m_count->setText(tr("%1 of %2").arg(m_current < 0 ? 0 : m_current + 1).arg(total));
    // No hit is said in red, and the text box turns pale red, as it does in
    // the programs the users know.
    QPalette countPalette = palette();
    if (none)
        countPalette.setColor(QPalette::WindowText, QColor(176, 0, 32));
    m_count->setPalette(countPalette);
    QPalette editPalette = QApplication::palette(m_edit);
    if (none)
        editPalette.setColor(QPalette::Base, QColor(255, 226, 226));
    m_edit->setPalette(editPalette);
    m_previous->setEnabled(count > 0);
    m_next->setEnabled(count > 0);
    m_place->setText(m_current >= 0 && m_current < count
                         ? PlaceText(m_result.hits[static_cast<size_t>(m_current)])
                         : QString());
}

bool CFindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Escape: Close(); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (key->modifiers() & Qt::ShiftModifier)
                Previous();
            else
                Next();
            return true;
        default: break;
        }
    }
    return QToolBar::eventFilter(watched, event);
}

} // namespace kestrel
