#include "app/optionssheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/subdoc.h"

namespace kestrel {

COptionsSheet::COptionsSheet(CSubDoc& doc, int depthBits, QWidget* parent) : QDialog(parent), m_doc(doc)
{
    setObjectName(QStringLiteral("optionsSheet"));
    setWindowTitle(tr("Kestrel Options"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    auto* tabs = new QTabWidget(this);
    m_page = new COptionsMiscPage(doc.Settings(), depthBits, tabs);
    tabs->addTab(m_page, tr("Misc."));
    layout->addWidget(tabs);

    m_buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    ApplyButton()->setEnabled(false);
    layout->addWidget(m_buttons);
    connect(m_page, &COptionsMiscPage::changed, this, [this] { ApplyButton()->setEnabled(true); });
    connect(m_buttons, &QDialogButtonBox::accepted, this, [this] {
        ApplyChanges();
        accept();
    });
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ApplyButton(), &QPushButton::clicked, this, [this] { ApplyChanges(); });
}

QPushButton* COptionsSheet::ApplyButton() const
{
    return m_buttons->button(QDialogButtonBox::Apply);
}

QPushButton* COptionsSheet::OkButton() const
{
    return m_buttons->button(QDialogButtonBox::Ok);
}

QPushButton* COptionsSheet::CancelButton() const
{
    return m_buttons->button(QDialogButtonBox::Cancel);
}

bool COptionsSheet::ApplyChanges()
{
    CSubSettings& s = m_doc.Settings();
    const CSubSettings page = m_page->Result();
    // A bitmap background (2) that becomes a gradient (1) changes what the
    // views paint as much as switching custom colours on or off does.
    bool differs = page.backgroundType != s.backgroundType;
    differs = differs || page.topColor != s.topColor || page.bottomColor != s.bottomColor ||
              page.gridBkgColor != s.gridBkgColor || page.gridHiliteColor != s.gridHiliteColor;
    s.printSave = page.printSave;
    s.printCheck = page.printCheck;
    s.deleteWarn = page.deleteWarn;
    s.showTips = page.showTips;
    s.savePos = page.savePos;
    s.showSplash = page.showSplash;
    s.topColor = page.topColor;
    s.bottomColor = page.bottomColor;
    s.gridBkgColor = page.gridBkgColor;
    s.gridHiliteColor = page.gridHiliteColor;
    s.backgroundType = page.backgroundType;
    ApplyButton()->setEnabled(false);
    // The settings reach the store at shut-down; the views repaint now.
    if (differs)
        m_doc.BroadcastColorHint();
    return differs;
}

} // namespace kestrel
