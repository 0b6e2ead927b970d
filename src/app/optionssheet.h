#pragma once
// "Kestrel Options": the user settings that the program lets the user
// change, on one page ("Misc."). The page works on its own copy; OK and
// Apply copy it into the settings and, when a colour or the custom-colours
// choice changed, tell every view to repaint (hint 4660).

#include <QColor>
#include <QDialog>

#include "app/subsettings.h"

class QCheckBox;
class QDialogButtonBox;
class QFrame;
class QLabel;
class QPushButton;

namespace kestrel {

class CSubDoc;

class COptionsSheet : public QDialog {
    Q_OBJECT
public:
    // depthBits: of the main window's display; 8 or fewer cannot show custom colours.
    COptionsSheet(CSubDoc& doc, int depthBits, QWidget* parent = nullptr);

    // The page's controls, for the keyboard and for tests.
    QCheckBox* Check(const QString& caption) const;
    QPushButton* ApplyButton() const;
    // Sets one of the four colours as the colour dialog would.
    void SetColor(int which, const QColor& color);
    // OK and Apply: copies the page into the settings; true when the
    // views were told to repaint.
    bool ApplyChanges();

    enum Colour { TopColour, BottomColour, GridBackground, GridHighlight };

private:
    void MarkChanged();
    void ShowColours();

    CSubDoc& m_doc;
    CSubSettings m_page;
    QList<QPair<QString, QCheckBox*>> m_checks;
    QCheckBox* m_custom = nullptr;
    QLabel* m_requiresHicolor = nullptr;
    QFrame* m_swatches[4] = {};
    QPushButton* m_pickers[4] = {};
    QFrame* m_preview = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace kestrel
