#pragma once
// "Kestrel Options": the property sheet of the user settings, with its one
// page ("Misc."). OK and Apply copy the page into the settings and, when a
// colour or the custom-colours choice changed, tell every view to repaint
// (hint 4660); Cancel leaves the settings as they were.

#include <QColor>
#include <QDialog>

#include "app/optionsmiscpage.h"

class QCheckBox;
class QDialogButtonBox;
class QPushButton;

namespace kestrel {

class CSubDoc;

class COptionsSheet : public QDialog {
    Q_OBJECT
public:
    // depthBits: of the main window's display.
    COptionsSheet(CSubDoc& doc, int depthBits, QWidget* parent = nullptr);

    COptionsMiscPage* Page() const { return m_page; }
    QPushButton* ApplyButton() const;
    QPushButton* OkButton() const;
    QPushButton* CancelButton() const;
    // The page's controls, for the keyboard and for tests.
    QCheckBox* Check(const QString& caption) const { return m_page->Check(caption); }
    void SetColor(int which, const QColor& color) { m_page->SetColor(which, color); }
    // OK and Apply: copies the page into the settings; true when the views
    // were told to repaint.
    bool ApplyChanges();

    enum Colour {
        TopColour = COptionsMiscPage::TopColour,
        BottomColour = COptionsMiscPage::BottomColour,
        GridBackground = COptionsMiscPage::GridBackground,
        GridHighlight = COptionsMiscPage::GridHighlight,
    };

private:
    CSubDoc& m_doc;
    COptionsMiscPage* m_page = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace kestrel
