#include "app/optionssheet.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/subdoc.h"
#include "views/backgroundpainter.h"

namespace kestrel {

namespace {

// The colours the colour dialog offers besides the basic ones, kept for the
// run: all white at first.
void InitCustomColours()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, Qt::white);
}

QColor& Slot(CSubSettings& s, int which)
{
    switch (which) {
    case COptionsSheet::TopColour: return s.topColor;
    case COptionsSheet::BottomColour: return s.bottomColor;
    case COptionsSheet::GridBackground: return s.gridBkgColor;
    default: return s.gridHiliteColor;
    }
}

// The preview: the gradient the views will show.
class GradientPreview : public QFrame {
public:
    explicit GradientPreview(const CSubSettings& page, QWidget* parent) : QFrame(parent), m_page(page)
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setMinimumSize(90, 90);
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

} // namespace

COptionsSheet::COptionsSheet(CSubDoc& doc, int depthBits, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_page(doc.Settings())
{
    setWindowTitle(QStringLiteral("Kestrel Options"));
    InitCustomColours();
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget(tabs);
    tabs->addTab(page, QStringLiteral("Misc."));
    layout->addWidget(tabs);
    auto* grid = new QGridLayout(page);

    auto check = [this](QWidget* box, const QString& caption, bool on) {
        auto* c = new QCheckBox(caption, box);
        c->setChecked(on);
        connect(c, &QCheckBox::clicked, this, &COptionsSheet::MarkChanged);
        m_checks.append({caption, c});
        return c;
    };
    auto* print = new QGroupBox(QStringLiteral("Print Options"), page);
    auto* printLayout = new QVBoxLayout(print);
    printLayout->addWidget(check(print, QStringLiteral("Save Before &Printing"), m_page.printSave));
    printLayout->addWidget(check(print, QStringLiteral("&Check Before Printing"), m_page.printCheck));
    auto* misc = new QGroupBox(QStringLiteral("Miscellaneous"), page);
    auto* miscLayout = new QVBoxLayout(misc);
    miscLayout->addWidget(check(misc, QStringLiteral("&Delete Warnings"), m_page.deleteWarn));
    miscLayout->addWidget(check(misc, QStringLiteral("Show Subcontract &Tooltips"), m_page.showTips));
    miscLayout->addWidget(check(misc, QStringLiteral("Save &Window Position on Exit"), m_page.savePos));
    miscLayout->addWidget(check(misc, QStringLiteral("Show &Splash Screen at Startup"), m_page.showSplash));
    grid->addWidget(print, 0, 0);
    grid->addWidget(misc, 1, 0);

    auto* colours = new QGroupBox(QStringLiteral("Window Background Colors"), page);
    auto* colourGrid = new QGridLayout(colours);
    m_custom = check(colours, QStringLiteral("&Enable Custom Colors"), m_page.backgroundType != 0);
    colourGrid->addWidget(m_custom, 0, 0, 1, 3);
    m_requiresHicolor = new QLabel(QStringLiteral("(Requires Hicolor Display)"), colours);
    m_requiresHicolor->hide();
    colourGrid->addWidget(m_requiresHicolor, 1, 0, 1, 3);
    const char* captions[4] = {"Window Top:", "Window Bottom:", "Grid Background:", "Grid Hilight:"};
    for (int i = 0; i < 4; ++i) {
        colourGrid->addWidget(new QLabel(QString::fromLatin1(captions[i]), colours), i + 2, 0);
        m_swatches[i] = new QFrame(colours);
        m_swatches[i]->setFrameStyle(QFrame::Box | QFrame::Plain);
        m_swatches[i]->setFixedSize(36, 18);
        m_swatches[i]->setAutoFillBackground(true);
        colourGrid->addWidget(m_swatches[i], i + 2, 1);
        m_pickers[i] = new QPushButton(QStringLiteral("..."), colours);
        m_pickers[i]->setFixedWidth(32);
        colourGrid->addWidget(m_pickers[i], i + 2, 2);
        connect(m_pickers[i], &QPushButton::clicked, this, [this, i] {
            const QColor chosen = QColorDialog::getColor(Slot(m_page, i), this);
            if (chosen.isValid())
                SetColor(i, chosen);
        });
    }
    m_preview = new GradientPreview(m_page, colours);
    colourGrid->addWidget(m_preview, 2, 3, 4, 1);
    grid->addWidget(colours, 0, 1, 2, 1);
    if (depthBits <= 8) {
        m_custom->setChecked(false);
        m_custom->setEnabled(false);
        m_custom->hide();
        m_requiresHicolor->show();
        m_pickers[TopColour]->setEnabled(false);
        m_pickers[BottomColour]->setEnabled(false);
    }

    m_buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    ApplyButton()->setEnabled(false);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, [this] {
        ApplyChanges();
        accept();
    });
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ApplyButton(), &QPushButton::clicked, this, [this] { ApplyChanges(); });
    ShowColours();
}

QCheckBox* COptionsSheet::Check(const QString& caption) const
{
    for (const auto& c : m_checks)
        if (QString(c.first).remove(QLatin1Char('&')) == caption)
            return c.second;
    return nullptr;
}

QPushButton* COptionsSheet::ApplyButton() const
{
    return m_buttons->button(QDialogButtonBox::Apply);
}

void COptionsSheet::MarkChanged()
{
    ApplyButton()->setEnabled(true);
}

void COptionsSheet::ShowColours()
{
    for (int i = 0; i < 4; ++i) {
        QPalette palette = m_swatches[i]->palette();
        palette.setColor(QPalette::Window, Slot(m_page, i));
        m_swatches[i]->setPalette(palette);
    }
    m_preview->update();
}

void COptionsSheet::SetColor(int which, const QColor& color)
{
    Slot(m_page, which) = color;
    MarkChanged();
    ShowColours();
}

bool COptionsSheet::ApplyChanges()
{
    CSubSettings& s = m_doc.Settings();
    const int type = m_custom->isChecked() ? 1 : 0;
    bool differs = (type != 0) != (s.backgroundType != 0);
    for (int i = 0; i < 4; ++i)
        differs = differs || Slot(m_page, i) != Slot(s, i);
    s.printSave = Check(QStringLiteral("Save Before Printing"))->isChecked();
    s.printCheck = Check(QStringLiteral("Check Before Printing"))->isChecked();
    s.deleteWarn = Check(QStringLiteral("Delete Warnings"))->isChecked();
    s.showTips = Check(QStringLiteral("Show Subcontract Tooltips"))->isChecked();
    s.savePos = Check(QStringLiteral("Save Window Position on Exit"))->isChecked();
    s.showSplash = Check(QStringLiteral("Show Splash Screen at Startup"))->isChecked();
    for (int i = 0; i < 4; ++i)
        Slot(s, i) = Slot(m_page, i);
    s.backgroundType = type;
    ApplyButton()->setEnabled(false);
    if (differs)
        m_doc.BroadcastColorHint();
    return differs;
}

} // namespace kestrel
