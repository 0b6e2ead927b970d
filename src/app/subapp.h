#pragma once
// The application: start-up in the program's order, the user settings as
// plain members, the document and the main window, and shut-down.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

#include "app/subsettings.h"

class QRect;

namespace kestrel {

class CAsker;
class CAutoSaver;
class CMainFrame;
class CSplash;
class CSubDoc;

class CSubApp : public QObject {
    Q_OBJECT
public:
    // arguments: the command line after the program's name.
    explicit CSubApp(const QStringList& arguments, QObject* parent = nullptr);
    ~CSubApp() override;

    // The answers to the document's questions (tests give their own);
    // before InitInstance.
    void SetAsker(CAsker* asker);
    // The work area the first window is placed in (tests give their own);
    // before InitInstance.
    void SetWorkArea(const QRect& area);

    // Start-up; false when the program must end at once.
    bool InitInstance();
    // Shut-down: clears the evaluator's table of names.
    void ExitInstance();
    // Writes the settings (when the main window goes).
    void SaveSettings();
    // Every open request (command line, recent files, dropped files).
    CSubDoc* OpenDocumentFile(const QString& path);
    // Records the program's folder for the installation directory value.
    static void RegisterBidFileTypes(const QString& iniPath, const QString& programPath);

    CSubSettings& Settings() { return m_settings; }
    CSubDoc* Document() const { return m_doc.get(); }
    CMainFrame* MainFrame() const { return m_frame.get(); }
    // The recovery copies of the run (autosave).
    CAutoSaver* AutoSaver() const { return m_autoSaver.get(); }
    bool DebugMode() const { return m_debug; }
    const QString& IniPath() const { return m_iniPath; }
    const QString& FileToOpen() const { return m_fileToOpen; }
    // The splash window while it is shown; else null.
    CSplash* Splash() const;

private:
    QStringList m_arguments;
    CSubSettings m_settings;
    std::unique_ptr<CAsker> m_ownAsker;
    CAsker* m_asker = nullptr;
    std::unique_ptr<CSubDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CAutoSaver> m_autoSaver;
    QPointer<CSplash> m_splash;
    bool m_debug = false;
    QString m_iniPath;
    QString m_fileToOpen;
    QRect* m_workArea = nullptr;
    bool m_settingsSaved = false;
};

} // namespace kestrel
