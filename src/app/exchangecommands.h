#pragma once
// File > Export and File > Import Quote: the contract's tables written to a
// spreadsheet (CSV or XLSX, as the file's name says) and a subcontractor's
// quote taken in from one.
//
// An export goes through the safe replacement of the file: a failed write
// leaves what was there and says why; the open contract is never written
// over. The folder last used is kept in the settings.
//
// Import Quote (a subcontractor chosen in the tree) reads the file, shows
// its first rows with the guessed columns for the user to confirm or
// change, enters every row through the edit layer as the user would type
// it, makes the whole import one step of the undo stack, and lists every
// refused row with its message.

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QWidget;

namespace kestrel {

class CSubDoc;
class CSubTreeView;

class CExchangeCommands : public QObject {
    Q_OBJECT
public:
    enum class Export { Items, SubcontractorItems, AllSubItems, Subcontractors };

    CExchangeCommands(CSubDoc& doc, CSubTreeView& tree, QWidget* window);

    // The "Export" submenu and the "Import Quote..." command.
    QMenu* ExportMenu() const { return m_menu; }
    QList<QAction*> Actions() const;
    QAction* ExportAction(Export what) const;
    QAction* ImportAction() const { return m_import; }
    void UpdateCommandState();

    // The save dialog, then the export; false when cancelled or failed.
    bool OnExport(Export what);
    // Writes one table to path (CSV for a ".csv" name, else XLSX); a
    // failure is shown.
    bool WriteExport(Export what, const QString& path);
    void OnImportQuote();

private:
    QString SuggestedName(Export what) const;
    QString Folder() const;
    void RememberFolder(const QString& path);
    void Tell(const QString& text) const;

    CSubDoc& m_doc;
    CSubTreeView& m_tree;
    QWidget* m_window;
    QMenu* m_menu;
    QList<QAction*> m_exports;
    QAction* m_import;
    QString m_suffix = QStringLiteral("xlsx"); // the type of the last export
};

} // namespace kestrel
