#pragma once
// The user settings of the program: plain members that the rest of the
// program reads directly, read once at start-up and written once at
// shut-down, in the per-user profile (or the INI file named by "ini=").

#include <QColor>
#include <QRect>
#include <QString>
#include <QStringList>

#include <memory>

class QPalette;
class QSettings;

namespace kestrel {

// How many files the recent-file list keeps.
inline constexpr int kRecentFileCount = 9;

struct CSubSettings {
    // "Misc"
    bool showSplash = true;
    bool printSave = true;
    bool printCheck = true;
    bool deleteWarn = true;
    bool savePos = true;
    bool showTips = true;
    bool warnRef = true;
    // "WindowMetrics"
    int xPos = 0;
    int yPos = 0;
    int xSize = 640;
    int ySize = 480;
    bool maximized = false;
    int splitterPos = -1; // -1: a quarter of the frame's width
    int hSplitterPos = 240;
    int backgroundType = 1; // 0 plain, 1 gradient, 2 bitmap
    QColor topColor;
    QColor bottomColor;
    QColor gridBkgColor;
    QColor gridHiliteColor;
    QString backgroundBitmap;
    // "Recent File List", newest first
    QStringList recentFiles;
    // The contract ID of each recent file (read when it was opened or
    // saved; empty when not known), kept beside the list.
    QStringList recentContractIds;
    // The folder a report was last exported to as PDF (from File > Export
    // to PDF or the preview); empty: beside the contract.
    QString pdfFolder;
    // "Settings"
    int previewPages = 0;
    // The folder of the last spreadsheet exported or quote imported
    // ("ExchangeFolder"; empty: the contract's folder).
    QString exchangeFolder;
    // Where the main window's docks and toolbars were and which showed
    // ("DockState", kept with the window position).
    QString dockState;

    // Puts a file at the top of the recent-file list, with its contract ID
    // (an empty ID keeps the one known).
    void AddRecentFile(const QString& path, const QString& contractId = QString());
    // The contract ID of a recent file; empty when not known.
    QString RecentContractId(qsizetype index) const;
};

// Where the main window goes when nothing is stored: 5 % margins, 90 % of
// the width and 80 % of the height of a work area wider than 640 pixels,
// else the whole work area.
QRect DefaultWindowRect(const QRect& workArea);

// The organisation the settings are kept under: "Corvane\Tollgate" on
// Windows (a registry path), "Corvane/Tollgate" elsewhere, where it names
// folders.
QString SettingsOrganisation();
// The user's settings: the INI file at iniPath when given, else the
// platform's per-user store of the application "Kestrel".
std::unique_ptr<QSettings> OpenUserSettings(const QString& iniPath);

// Colour strings: up to three comma-separated integers, red, green and
// blue (& 0xFF each; a missing or empty value counts as 0). A first value
// of -1, -2 or -3 stands for the system window, button-face or highlight
// colour of the palette at the time of parsing.
QColor ParseColorString(const QString& text, const QPalette& system);
// "%d,%d,%d" of the colour's red, green and blue.
QString ColorString(const QColor& color);

// Start-up steps 2 to 6: splash flag, recent files, window metrics with the
// work-area defaults, the "Misc" flags.
void ReadStartSettings(QSettings& store, const QRect& workArea, CSubSettings& settings);
// Start-up step 10: background type and colours, their defaults from the
// colour depth of the main window's display.
void ReadColorSettings(QSettings& store, int depthBits, const QPalette& system, CSubSettings& settings);

// The main window as SaveSettings stores it.
struct WindowPlacement {
    QRect normal; // the restored (not maximized) geometry
    bool maximized = false;
    int splitterPos = 0; // width of the tree pane
    QString docks;       // where the docks and toolbars are, and which show
};
// Writes the settings in the program's order; the window metrics only when
// "SavePos" is on.
void WriteSettings(QSettings& store, const CSubSettings& settings, const WindowPlacement& placement);

} // namespace kestrel
