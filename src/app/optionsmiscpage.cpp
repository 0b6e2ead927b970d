#include "app/optionsmiscpage.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "views/backgroundpainter.h"

namespace kestrel {

namespace {

QColor& Slot(CSubSettings& s, int which)
{
    switch (which) {
    case COptionsMiscPage::TopColour: return s.topColor;
    case COptionsMiscPage::BottomColour: return s.bottomColor;
    case COptionsMiscPage::GridBackground: return s.gridBkgColor;
    default: return s.gridHiliteColor;
    }
}

// A colour shown as a framed patch.
class Swatch : public QFrame {
public:
    explicit Swatch(QWidget* parent) : QFrame(parent)
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setFixedSize(44, 22);
    }
    void SetColour(const QColor& colour)
    {
        m_colour = colour;
        setToolTip(QStringLiteral("%1, %2, %3").arg(colour.red()).arg(colour.green()).arg(colour.blue()));
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(contentsRect(), m_colour);
        painter.end();
        QFrame::paintEvent(event);
    }

private:
    QColor m_colour;
};

// The gradient the views will show, from the top to the bottom colour.
class GradientPreview : public QFrame {
public:
    explicit GradientPreview(const CSubSettings& page, QWidget* parent) : QFrame(parent), m_page(page)
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setMinimumSize(96, 120);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        CBackgroundPainter gradient;
        gradient.SetGradient(m_page.topColor, m_page.bottomColor);
        gradient.Paint(painter, contentsRect(), 0, QPoint(0, 0));
        painter.end();
        QFrame::paintEvent(event);
    }

private:
    const CSubSettings& m_page;
};

QColor AskColour(QWidget* parent, const QColor& current, const QString& title)
{
    // Opened with the custom colours, which the dialog keeps for the run.
    return QColorDialog::getColor(current, parent, title);
}

} // namespace

void InitCustomColours()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, Qt::white);
}

COptionsMiscPage::COptionsMiscPage(const CSubSettings& settings, int depthBits, QWidget* parent)
    : QWidget(parent), m_page(settings), m_chooser(AskColour)
{
    setObjectName(QStringLiteral("optionsMiscPage"));
    InitCustomColours();
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);

    auto* print = new QGroupBox(tr("Print Options"), this);
    auto* printLayout = new QVBoxLayout(print);
    printLayout->addWidget(AddCheck(print, tr("Save Before &Printing"), m_page.printSave));
    printLayout->addWidget(AddCheck(print, tr("&Check Before Printing"), m_page.printCheck));
    auto* misc = new QGroupBox(tr("Miscellaneous"), this);
    auto* miscLayout = new QVBoxLayout(misc);
    miscLayout->addWidget(AddCheck(misc, tr("&Delete Warnings"), m_page.deleteWarn));
    miscLayout->addWidget(AddCheck(misc, tr("Show Subcontract &Tooltips"), m_page.showTips));
    miscLayout->addWidget(AddCheck(misc, tr("Save &Window Position on Exit"), m_page.savePos));
    miscLayout->addWidget(AddCheck(misc, tr("Show &Splash Screen at Startup"), m_page.showSplash));
    miscLayout->addStretch(1);
    grid->addWidget(print, 0, 0);
    grid->addWidget(misc, 1, 0);

    auto* colours = new QGroupBox(tr("Window Background Colors"), this);
    auto* colourGrid = new QGridLayout(colours);
    colourGrid->setHorizontalSpacing(8);
    colourGrid->setVerticalSpacing(6);
    m_custom = AddCheck(colours, tr("&Enable Custom Colors"), m_page.backgroundType != 0);
    colourGrid->addWidget(m_custom, 0, 0, 1, 4);
    m_requiresHicolor = new QLabel(tr("(Requires Hicolor Display)"), colours);
    m_requiresHicolor->hide();
    colourGrid->addWidget(m_requiresHicolor, 1, 0, 1, 4);
    const char* captions[ColourCount] = {
        "Window &Top:", "Window &Bottom:", "&Grid Background:", "Grid &Hilight:"};
    const char* titles[ColourCount] = {"Window Top", "Window Bottom", "Grid Background", "Grid Hilight"};
    for (int i = 0; i < ColourCount; ++i) {
        auto* label = new QLabel(QString::fromLatin1(captions[i]), colours);
        colourGrid->addWidget(label, i + 2, 0);
        m_swatches[i] = new Swatch(colours);
        colourGrid->addWidget(m_swatches[i], i + 2, 1);
        m_pickers[i] = new QPushButton(QStringLiteral("..."), colours);
        m_pickers[i]->setFixedWidth(34);
        m_pickers[i]->setToolTip(tr("Choose the %1 colour").arg(QString::fromLatin1(titles[i])));
        label->setBuddy(m_pickers[i]);
        colourGrid->addWidget(m_pickers[i], i + 2, 2);
        const QString title = QString::fromLatin1(titles[i]);
        connect(m_pickers[i], &QPushButton::clicked, this, [this, i, title] {
            const QColor chosen = m_chooser(this, Slot(m_page, i), title);
            if (chosen.isValid())
                SetColor(i, chosen);
        });
    }
    m_preview = new GradientPreview(m_page, colours);
    colourGrid->addWidget(m_preview, 2, 3, ColourCount, 1);
    colourGrid->setColumnStretch(3, 1);
    colourGrid->setRowStretch(ColourCount + 2, 1);
    grid->addWidget(colours, 0, 1, 2, 1);
    grid->setColumnStretch(1, 1);

    if (depthBits <= 8) {
        // No gradient on a display of 256 colours; the grid colours are
        // solid and can still be chosen.
        m_custom->setChecked(false);
        m_custom->setEnabled(false);
        m_custom->hide();
        m_requiresHicolor->show();
        m_pickers[TopColour]->setEnabled(false);
        m_pickers[BottomColour]->setEnabled(false);
    }
    ShowColours();
}

QCheckBox* COptionsMiscPage::AddCheck(QWidget* box, const QString& caption, bool on)
{
    auto* check = new QCheckBox(caption, box);
    check->setChecked(on);
    connect(check, &QCheckBox::clicked, this, &COptionsMiscPage::changed);
    m_checks.append({QString(caption).remove(QLatin1Char('&')), check});
    return check;
}

QCheckBox* COptionsMiscPage::Check(const QString& caption) const
{
    for (const auto& c : m_checks)
        if (c.first == caption)
            return c.second;
    return nullptr;
}

QColor COptionsMiscPage::ColourOf(int which) const
{
    return Slot(const_cast<CSubSettings&>(m_page), which);
}

void COptionsMiscPage::ShowColours()
{
    for (int i = 0; i < ColourCount; ++i)
        static_cast<Swatch*>(m_swatches[i])->SetColour(Slot(m_page, i));
    m_preview->update();
}

void COptionsMiscPage::SetColor(int which, const QColor& color)
{
    Slot(m_page, which) = color;
    ShowColours();
    emit changed();
}

CSubSettings COptionsMiscPage::Result() const
{
    CSubSettings s = m_page;
    s.printSave = Check(tr("Save Before Printing"))->isChecked();
    s.printCheck = Check(tr("Check Before Printing"))->isChecked();
    s.deleteWarn = Check(tr("Delete Warnings"))->isChecked();
    s.showTips = Check(tr("Show Subcontract Tooltips"))->isChecked();
    s.savePos = Check(tr("Save Window Position on Exit"))->isChecked();
    s.showSplash = Check(tr("Show Splash Screen at Startup"))->isChecked();
    s.backgroundType = m_custom->isChecked() ? 1 : 0;
    return s;
}

} // namespace kestrel
