#include "views/quickfilterbar.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace kestrel {

namespace {

// Button ids: 0 is "All", the others one more than the filter's value (a
// group takes -1 for "give it an id").
constexpr int kAll = 0;

int IdOf(std::optional<ItemFilter> filter)
{
    return filter ? static_cast<int>(*filter) + 1 : kAll;
}

// The buttons read as one control: joined, the chosen one filled.
const char* const kSegmentStyle = R"(
QToolButton { border: 1px solid palette(mid); border-left: none; padding: 2px 10px;
              background: palette(button); color: palette(button-text); }
QToolButton[first="true"] { border-left: 1px solid palette(mid);
              border-top-left-radius: 3px; border-bottom-left-radius: 3px; }
QToolButton[last="true"] { border-top-right-radius: 3px; border-bottom-right-radius: 3px; }
QToolButton:hover { background: palette(midlight); }
QToolButton:checked { background: palette(highlight); color: palette(highlighted-text); }
)";

} // namespace

CQuickFilterBar::CQuickFilterBar(QWidget* parent)
    : QWidget(parent), m_group(new QButtonGroup(this)), m_count(new QLabel(this))
{
    setObjectName(QStringLiteral("quickFilterBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 8, 4);
    layout->setSpacing(0);
    auto* caption = new QLabel(tr("Show:"), this);
    caption->setContentsMargins(0, 0, 6, 0);
    layout->addWidget(caption);
    const struct {
        int id;
        const char* text;
        const char* tip;
    } buttons[] = {
        {kAll, QT_TRANSLATE_NOOP("kestrel::CQuickFilterBar", "All"),
         QT_TRANSLATE_NOOP("kestrel::CQuickFilterBar", "Every item")},
        {IdOf(ItemFilter::Unassigned), QT_TRANSLATE_NOOP("kestrel::CQuickFilterBar", "Unassigned"),
         QT_TRANSLATE_NOOP("kestrel::CQuickFilterBar", "Items no subcontractor of this tier holds")},
        {IdOf(ItemFilter::PartlySubcontracted),
         QT_TRANSLATE_NOOP("kestrel::CQuickFilterBar", "Partly Subcontracted"),
         QT_TRANSLATE_NOOP("kestrel::CQuickFilterBar", "Items subcontracted with some quantity left")},
        {IdOf(ItemFilter::OverCommitted), QT_TRANSLATE_NOOP("kestrel::CQuickFilterBar", "Over-committed"),
         QT_TRANSLATE_NOOP("kestrel::CQuickFilterBar",
                           "Items subcontracted beyond the quantity or price the tier holds")},
    };
    for (size_t i = 0; i < std::size(buttons); ++i) {
        auto* button = new QToolButton(this);
        button->setText(tr(buttons[i].text));
        button->setToolTip(tr(buttons[i].tip));
        button->setCheckable(true);
        button->setFocusPolicy(Qt::TabFocus);
        button->setProperty("first", i == 0);
        button->setProperty("last", i + 1 == std::size(buttons));
        button->setStyleSheet(QString::fromLatin1(kSegmentStyle));
        m_group->addButton(button, buttons[i].id);
        layout->addWidget(button);
    }
    m_group->setExclusive(true);
    m_group->button(kAll)->setChecked(true);
    layout->addStretch(1);
    m_count->setObjectName(QStringLiteral("filterCount"));
    layout->addWidget(m_count);
    connect(m_group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit filterChanged();
        else
            m_previous = id;
    });
}

std::optional<ItemFilter> CQuickFilterBar::Filter() const
{
    const int id = m_group->checkedId();
    if (id == kAll)
        return std::nullopt;
    return static_cast<ItemFilter>(id - 1);
}

void CQuickFilterBar::SetFilter(std::optional<ItemFilter> filter)
{
    m_group->button(IdOf(filter))->setChecked(true);
}

void CQuickFilterBar::Revert()
{
    QAbstractButton* previous = m_group->button(m_previous);
    if (!previous)
        return;
    const QSignalBlocker quiet(m_group);
    previous->setChecked(true);
}

QToolButton* CQuickFilterBar::Button(std::optional<ItemFilter> filter) const
{
    return qobject_cast<QToolButton*>(m_group->button(IdOf(filter)));
}

void CQuickFilterBar::ShowCount(int shown, int total)
{
    const QString noun = total == 1 ? QStringLiteral("item") : QStringLiteral("items");
    m_count->setText(Filter() ? tr("%1 of %2 %3").arg(shown).arg(total).arg(noun)
                              : QStringLiteral("%1 %2").arg(total).arg(noun));
}

} // namespace kestrel
