#include "app/subapp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>

#include "app/asker.h"
#include "app/autosaver.h"
#include "app/commandline.h"
#include "app/mainframe.h"
#include "app/settingsstore.h"
#include "app/splash.h"
#include "app/subdoc.h"

namespace kestrel {

CSubApp::CSubApp(const QStringList& arguments, QObject* parent) : QObject(parent), m_arguments(arguments)
{
}

CSubApp::~CSubApp()
{
    m_autoSaver.reset();
    m_frame.reset();
    m_doc.reset();
    delete m_workArea;
}

void CSubApp::SetAsker(CAsker* asker)
{
    m_asker = asker;
}

void CSubApp::SetWorkArea(const QRect& area)
{
    delete m_workArea;
    m_workArea = new QRect(area);
}

bool CSubApp::InitInstance()
{
    // The command line first: "ini=" names where the settings are.
    CMyCommandLineInfo info;
    info.ParseArguments(m_arguments);
    m_debug = info.m_bDebug;
    m_iniPath = info.m_strIniPath;
    m_fileToOpen = info.m_strFileName;

    std::unique_ptr<QSettings> store = OpenUserSettings(m_iniPath);
    const QRect workArea =
        m_workArea ? *m_workArea
                   : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                       : QRect(0, 0, 1024, 768));
    ReadStartSettings(*store, workArea, m_settings);
    if (m_settings.showSplash && !qEnvironmentVariableIsSet("KESTREL_NO_SPLASH")) {
        // It closes itself; start-up does not wait for it.
        m_splash = new CSplash;
        m_splash->show();
        m_splash->repaint();
    }

    if (!m_asker) {
        m_ownAsker = std::make_unique<CDialogAsker>();
        m_asker = m_ownAsker.get();
    }
    m_doc = std::make_unique<CSubDoc>(m_settings, *m_asker);
    m_doc->SetDebugMode(m_debug);
    m_frame = std::make_unique<CMainFrame>(*m_doc, m_settings);
    connect(m_frame.get(), &CMainFrame::openRequested, this,
            [this](const QString& path) { OpenDocumentFile(path); });
    connect(m_frame.get(), &CMainFrame::closing, this, &CSubApp::SaveSettings);
    RegisterBidFileTypes(m_iniPath, QCoreApplication::applicationFilePath());

    const QScreen* screen = m_frame->screen();
    ReadColorSettings(*store, screen ? screen->depth() : 32, m_frame->palette(), m_settings);
    m_doc->BroadcastColorHint();

    m_frame->setGeometry(m_settings.xPos, m_settings.yPos, m_settings.xSize, m_settings.ySize);
    m_frame->RestoreDocks(m_settings.dockState);
    if (m_settings.maximized)
        m_frame->showMaximized();
    else
        m_frame->show();
    // The main window comes up over the splash; the splash goes back on top
    // for the rest of its time.
    if (m_splash)
        m_splash->raise();
    m_doc->TemplateSectionPath().clear();
    // Changes a crashed run left behind come first; a contract recovered
    // takes the place of the file named on the command line.
    m_autoSaver = std::make_unique<CAutoSaver>(*m_doc, CAutoSaver::FolderFor(m_iniPath));
    // A copy that could not be written is said where the user looks.
    QObject::connect(m_autoSaver.get(), &CAutoSaver::copyFailed, m_frame.get(),
                     [frame = m_frame.get()](const QString& why) {
                         frame->statusBar()->showMessage(tr("No recovery copy: ") + why, 15000);
                     });
    const bool recovered = m_autoSaver->OfferRecovery(m_frame.get(), *m_asker);
    if (!recovered && !m_fileToOpen.isEmpty())
        OpenDocumentFile(m_fileToOpen);
    return true;
}

CSplash* CSubApp::Splash() const
{
    return m_splash.data();
}

CSubDoc* CSubApp::OpenDocumentFile(const QString& path)
{
    if (!m_doc)
        return nullptr;
    m_doc->OpenDocument(path);
    return m_doc.get();
}

void CSubApp::RegisterBidFileTypes(const QString& iniPath, const QString& programPath)
{
    // The file types themselves are registered by the installed desktop
    // entry and MIME package; what is left is the installation folder.
    SettingsStore store;
    // The file named by "ini=" is the store even before it exists.
    if (!iniPath.isEmpty())
        store.Open(iniPath);
    else
        store.OpenForProgram(iniPath, programPath);
    if (!store.OpenKey(QStringLiteral("Software\\Corvane\\Tollgate\\Kestrel\\Directories")))
        return;
    const std::optional<QString> current = store.ReadValue(QStringLiteral("InstallDir"));
    if (!current || current->isEmpty()) {
        QString folder = QFileInfo(programPath).absolutePath();
        if (!folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('/');
        // Failures are ignored: the value is written again at the next start.
        (void)store.WriteValue(QStringLiteral("InstallDir"), QDir::toNativeSeparators(folder));
    }
    store.Close();
}

void CSubApp::SaveSettings()
{
    if (!m_frame)
        return;
    std::unique_ptr<QSettings> store = OpenUserSettings(m_iniPath);
    WriteSettings(*store, m_settings, m_frame->Placement());
    m_settingsSaved = true;
}

void CSubApp::ExitInstance()
{
    // A clean end: nothing is left to recover.
    if (m_autoSaver)
        m_autoSaver->Finish();
    if (m_doc)
        m_doc->GetEvaluator().Clear();
}

} // namespace kestrel
