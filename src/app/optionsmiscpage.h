#pragma once
// The "Misc." page of "Kestrel Options": the print, delete-warning, tooltip,
// window-position and splash choices, and the window background colours with
// a preview of the gradient. The page works on its own copy of the settings;
// the sheet's OK and Apply copy it into the program's settings.

#include <QColor>
#include <QWidget>

#include <functional>

#include "app/subsettings.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace kestrel {

class COptionsMiscPage : public QWidget {
    Q_OBJECT
public:
    enum Colour { TopColour, BottomColour, GridBackground, GridHighlight, ColourCount };

    // depthBits: of the main window's display; 8 or fewer cannot show custom
    // colours.
    COptionsMiscPage(const CSubSettings& settings, int depthBits, QWidget* parent = nullptr);

    // The check box of a caption ("Save Before Printing"), without its "&".
    QCheckBox* Check(const QString& caption) const;
    QPushButton* ColourButton(int which) const { return m_pickers[which]; }
    QLabel* RequiresHicolor() const { return m_requiresHicolor; }
    QColor ColourOf(int which) const;
    // Sets one of the four colours as the colour dialog does.
    void SetColor(int which, const QColor& color);

    // How "..." asks for a colour (tests answer without a dialog): the
    // colour chosen, or an invalid colour when cancelled.
    using ColourChooser = std::function<QColor(QWidget* parent, const QColor& current, const QString& title)>;
    void SetColourChooser(ColourChooser chooser) { m_chooser = std::move(chooser); }

    // The page as the settings it stands for ("BackgroundType" 1 when custom
    // colours are on, else 0).
    CSubSettings Result() const;

signals:
    // A choice was made: the sheet's Apply button becomes active.
    void changed();

private:
    QCheckBox* AddCheck(QWidget* box, const QString& caption, bool on);
    void ShowColours();

    CSubSettings m_page;
    QList<QPair<QString, QCheckBox*>> m_checks;
    QCheckBox* m_custom = nullptr;
    QLabel* m_requiresHicolor = nullptr;
    QFrame* m_swatches[ColourCount] = {};
    QPushButton* m_pickers[ColourCount] = {};
    QFrame* m_preview = nullptr;
    ColourChooser m_chooser;
};

// The program's table of 16 custom colours in the colour dialog: white at
// first, then as the user leaves them, for the rest of the run.
void InitCustomColours();

} // namespace kestrel
