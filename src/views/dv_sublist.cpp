#include "views/dv_sublist.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>

#include <algorithm>

#include "app/qtext.h"
#include "calc/formats.h"
#include "edit/changeevent.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

const char* const kHeaderCaptions[4] = {"Letting Date:", "Call Order:", "Contract ID:", "Subcontractors:"};

QLabel* SunkenValue(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::Base);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setContentsMargins(4, 0, 4, 0);
    return label;
}

} // namespace

CDV_SubList::CDV_SubList(QWidget* parent) : CDV(parent)
{
    for (int i = 0; i < 4; ++i) {
        m_headerLabels[i] = new QLabel(QString::fromLatin1(kHeaderCaptions[i]), Form());
        m_headerValues[i] = new QLabel(Form());
        m_headerValues[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    m_box = new QGroupBox(Form());
    m_caption = new QLabel(tr("Subcontractors total entered:"), m_box);
    m_caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_percent = SunkenValue(m_box);
    m_or = new QLabel(QStringLiteral("or"), m_box);
    m_or->setAlignment(Qt::AlignCenter);
    m_total = SunkenValue(m_box);
    m_note = new QLabel(m_box);
    m_note->setAlignment(Qt::AlignCenter);
    m_note->hide();
}

QString CDV_SubList::PercentText(double subTotal, double contractTotal, int digits, int decimals)
{
    double percent = 0;
    if (!IsBlankValue(subTotal) && !IsBlankValue(contractTotal) && contractTotal != 0)
        percent = subTotal / contractTotal * 100;
    return ToQString(FormatNumber(percent, digits, decimals, false, false) + "% ");
}

QString CDV_SubList::TotalText(double subTotal)
{
    return ToQString(FormatNumber(subTotal, 15, 2, true, true) + " ");
}

void CDV_SubList::OnInitialUpdate()
{
    // The form font of the subcontractor form definition, a little heavier.
    m_font = QApplication::font();
    if (const CContract* c = Contract(); c && c->m_pSubTable) {
        const CWinMeta& meta = *c->m_pSubTable;
        if (!TextEmpty(meta.m_strFontFace))
            m_font.setFamilies({ToQString(meta.m_strFontFace), QApplication::font().family()});
        if (meta.m_iFontSize >= 6 && meta.m_iFontSize <= 36)
            m_font.setPointSize(meta.m_iFontSize);
    }
    m_font.setWeight(QFont::Medium);
    Form()->setFont(m_font);
    Fill();
}

void CDV_SubList::Fill()
{
    const CContract* c = Contract();
    const CWinMeta* meta = c ? c->m_pSubTable.get() : nullptr;
    if (!c) {
        for (QLabel* value : m_headerValues)
            value->clear();
        m_percent->clear();
        m_total->clear();
        Layout();
        return;
    }
    m_headerValues[0]->setText(ToQString(FormatDate(c->dLetingDate, 0)).trimmed());
    m_headerValues[1]->setText(ToQString(c->pszCallOrder()));
    m_headerValues[2]->setText(ToQString(c->pszContractID()));
    m_headerValues[3]->setText(QString::number(meta ? meta->m_Records.GetSize() : 0));
    const double subTotal = meta ? meta->m_fSubTotal : 0.0;
    const NumberFormat pf = meta ? meta->m_PercentFormat : NumberFormat{3, 2};
    m_percent->setText(PercentText(subTotal, c->m_fContractTotal, pf.digits, pf.decimals));
    m_total->setText(TotalText(subTotal));
    Layout();
}

void CDV_SubList::Layout()
{
    const QFontMetrics fm(m_font);
    const int charWidth = (fm.maxWidth() + 2 * fm.averageCharWidth()) / 3;
    const int avg = fm.averageCharWidth();
    const int textHeight = fm.height();
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 1;
    const int margin = 16;
    // The header: each label sized to its text, its value after it.
    int y = margin;
    int labelWidth = 0;
    for (QLabel* label : m_headerLabels)
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(label->text()));
    for (int i = 0; i < 4; ++i) {
        m_headerLabels[i]->setGeometry(margin, y, labelWidth, textHeight + 4);
        m_headerValues[i]->setGeometry(
            margin + labelWidth + avg, y,
            std::max(fm.horizontalAdvance(m_headerValues[i]->text()) + avg, 10 * avg), textHeight + 4);
        y += textHeight + 8;
    }
    // The totals: one line of four statics, the percentage's right edge at
    // the middle of the box; the box as wide as the view, at least 55
    // characters.
    const int boxTop = y + textHeight / 2;
    const int boxWidth = std::max(Form()->width() - 2 * margin, 55 * charWidth + 2 * frame);
    const int lineHeight = textHeight * 3 / 2;
    const int gap = charWidth / 2;
    const int captionWidth = std::max(21 * avg, fm.horizontalAdvance(m_caption->text()) + avg);
    const int percentWidth = std::max(9 * avg, fm.horizontalAdvance(m_percent->text()) + avg);
    const int orWidth = 4 * avg;
    const int totalWidth = std::max(16 * avg, fm.horizontalAdvance(m_total->text()) + avg);
    const int percentRight = boxWidth / 2;
    const int lineTop = textHeight + frame + 6;
    const int percentLeft = percentRight - percentWidth;
    m_caption->setGeometry(std::max(frame + gap, percentLeft - gap - captionWidth), lineTop, captionWidth,
                           lineHeight);
    m_percent->setGeometry(percentLeft, lineTop, percentWidth, lineHeight);
    m_or->setGeometry(percentRight + gap, lineTop, orWidth, lineHeight);
    m_total->setGeometry(percentRight + 2 * gap + orWidth, lineTop, totalWidth, lineHeight);
    m_note->setGeometry(percentRight - 15 * avg, lineTop + lineHeight + gap, 30 * avg, lineHeight);
    const int boxHeight = lineTop + lineHeight + (m_note->isVisible() ? lineHeight + gap : 0) + 2 * frame + 6;
    m_box->setGeometry(margin, boxTop, boxWidth, boxHeight);
    Form()->setMinimumSize(55 * charWidth + 2 * frame + 2 * margin, boxTop + boxHeight + margin);
}

void CDV_SubList::OnContractChanged(const ChangeEvent& event)
{
    if (event.totalsChanged || event.treeChanged || event.kind == ChangeKind::Undone ||
        event.kind == ChangeKind::Redone || event.kind == ChangeKind::SubcontractorAdded ||
        event.kind == ChangeKind::SubcontractorDeleted)
        Fill();
}

void CDV_SubList::OnFormResized()
{
    Layout();
}

} // namespace kestrel
