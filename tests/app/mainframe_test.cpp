// The main window: the total pane, the maximized pane, the commands with
// their accelerators and enabling, moving between panes, and the settings
// written when the window closes.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>

#include "app/asker.h"
#include "app/guitestsupport.h"
#include "app/mainframe.h"
#include "app/settingsstore.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "views/dataview.h"

namespace kestrel {
namespace {

using test::ProgramFixture;
using test::Q;

TEST(TotalPane, WidthsAreHeldToTheirRange)
{
    EXPECT_EQ(CMainFrame::TotalPaneWidth(300, 120), 240);
    EXPECT_EQ(CMainFrame::TotalPaneWidth(10, 120), 66);
    EXPECT_EQ(CMainFrame::TotalPaneWidth(0, 200), 120);
    EXPECT_EQ(CMainFrame::TotalPaneWidth(-1, 200), 200);
    EXPECT_EQ(CMainFrame::TotalPaneWidth(66, 120), 66);
    EXPECT_EQ(CMainFrame::TotalPaneWidth(240, 120), 240);
    ProgramFixture program;
    CMainFrame& frame = program.Frame();
    frame.ShowContractTotal(QStringLiteral("$1.00 "), 300);
    EXPECT_EQ(frame.TotalPane()->width(), 240);
    EXPECT_EQ(frame.TotalPane()->text(), QStringLiteral("$1.00 "));
    frame.ShowContractTotal(QStringLiteral("$2.00 "), 10);
    EXPECT_EQ(frame.TotalPane()->minimumWidth(), 66);
    frame.ShowContractTotal(QStringLiteral("$3.00 "), -1);
    EXPECT_EQ(frame.TotalPane()->minimumWidth(), 66);
    frame.ShowContractTotal(QStringLiteral("$4.00 "), 0);
    EXPECT_EQ(frame.TotalPane()->minimumWidth(), 120);
    EXPECT_EQ(frame.TotalPane()->alignment() & Qt::AlignRight, Qt::AlignRight);
}

TEST(StatusBar, PanesAndTheMaximizedPane)
{
    ProgramFixture program;
    CMainFrame& frame = program.Frame();
    const auto labels = frame.statusBar()->findChildren<QLabel*>();
    bool caption = false;
    for (const QLabel* label : labels)
        caption = caption || label->text() == QStringLiteral("Contract Total:");
    EXPECT_TRUE(caption);
    EXPECT_EQ(frame.TotalPane()->text(), QStringLiteral("$0.00"));
    frame.showMaximized();
    QApplication::processEvents();
    EXPECT_TRUE(frame.MaximizedPane()->isVisible());
    EXPECT_EQ(frame.MaximizedPane()->width(), 10);
    frame.showNormal();
    QApplication::processEvents();
    EXPECT_FALSE(frame.MaximizedPane()->isVisible());
}

TEST(Commands, MenusAcceleratorsAndToolbar)
{
    ProgramFixture program;
    CMainFrame& frame = program.Frame();
    auto keys = [&frame](const char* name) { return frame.Action(QString::fromLatin1(name))->shortcuts(); };
    using K = QKeySequence;
    EXPECT_EQ(keys("fileOpen"), QList<K>({K(Qt::CTRL | Qt::Key_O), K(Qt::Key_F2)}));
    EXPECT_EQ(keys("fileSave"), QList<K>({K(Qt::CTRL | Qt::Key_S), K(Qt::Key_F3)}));
    EXPECT_EQ(keys("filePrint"), QList<K>({K(Qt::CTRL | Qt::Key_P), K(Qt::Key_F5)}));
    EXPECT_EQ(keys("toolsCheck"), QList<K>{K(Qt::Key_F4)});
    EXPECT_EQ(keys("editCopy"), QList<K>{K(Qt::CTRL | Qt::Key_C)});
    EXPECT_EQ(keys("editPaste"), QList<K>{K(Qt::CTRL | Qt::Key_V)});
    EXPECT_EQ(keys("fileNew"), QList<K>{K(Qt::CTRL | Qt::Key_N)});
    EXPECT_EQ(keys("nextPane"), QList<K>{K(Qt::Key_F6)});
    EXPECT_EQ(keys("previousPane"), QList<K>{K(Qt::SHIFT | Qt::Key_F6)});
    QStringList menus;
    for (QAction* menu : frame.menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, QStringList({QStringLiteral("&File"), QStringLiteral("&Edit"), QStringLiteral("Tools"),
                                  QStringLiteral("&View"), QStringLiteral("&Help")}));
    EXPECT_EQ(frame.Action(QStringLiteral("fileOpen"))->text(), QStringLiteral("&Open...\tCtrl+O"));
    EXPECT_EQ(frame.Action(QStringLiteral("fileOpen"))->statusTip(), QStringLiteral("Open a Contract File"));
    EXPECT_EQ(frame.Action(QStringLiteral("fileOpen"))->toolTip(), QStringLiteral("Open Contract"));
    EXPECT_EQ(frame.Action(QStringLiteral("editAddSub"))->statusTip(),
              QStringLiteral("Add a new Subcontractor"));
    EXPECT_EQ(frame.Action(QStringLiteral("helpAbout"))->text(), QStringLiteral("&About Tollgate..."));
    // The toolbar: Open, Save, separator, Print, separator, Check Contract.
    QStringList buttons;
    for (QAction* action : frame.ToolBar()->actions())
        buttons << (action->isSeparator() ? QStringLiteral("|") : action->objectName());
    EXPECT_EQ(buttons,
              QStringList({QStringLiteral("fileOpen"), QStringLiteral("fileSave"), QStringLiteral("|"),
                           QStringLiteral("filePrint"), QStringLiteral("|"), QStringLiteral("toolsCheck")}));
}

TEST(Commands, EnabledExactlyWhileAContractIsOpen)
{
    ProgramFixture program;
    CMainFrame& frame = program.Frame();
    const char* contractCommands[] = {"fileSave", "fileSaveAs", "filePrint", "filePrintPreview",
                                      "editCopy", "toolsCheck", "editAddSub"};
    for (const char* name : contractCommands)
        EXPECT_FALSE(frame.Action(QString::fromLatin1(name))->isEnabled()) << name;
    EXPECT_FALSE(frame.Action(QStringLiteral("editPaste"))->isEnabled());
    EXPECT_TRUE(frame.Action(QStringLiteral("fileOpen"))->isEnabled());
    ASSERT_TRUE(program.Doc().OpenDocument(test::CopyDemo(program.dir)));
    for (const char* name : contractCommands)
        EXPECT_TRUE(frame.Action(QString::fromLatin1(name))->isEnabled()) << name;
    EXPECT_EQ(program.Tree().currentItem(), program.Tree().ContractNode());
    EXPECT_FALSE(frame.Action(QStringLiteral("editDeleteSub"))->isEnabled());
    // The F4 command runs the check.
    frame.Action(QStringLiteral("toolsCheck"))->trigger();
    EXPECT_EQ(program.asker.errorLists, 1);
}

TEST(Commands, F6MovesBetweenTheTreeAndTheView)
{
    test::TempDir files;
    ProgramFixture program({test::CopyDemo(files)});
    CMainFrame& frame = program.Frame();
    QApplication::setActiveWindow(&frame);
    program.Tree().setFocus();
    ASSERT_EQ(QApplication::focusWidget(), &program.Tree());
    frame.NextPane(true);
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    EXPECT_TRUE(frame.View()->RightPane()->isAncestorOf(focus) || focus == frame.View()->RightPane());
    frame.NextPane(true);
    EXPECT_EQ(QApplication::focusWidget(), &program.Tree());
    frame.NextPane(false);
    focus = QApplication::focusWidget();
    EXPECT_TRUE(frame.View()->RightPane()->isAncestorOf(focus) || focus == frame.View()->RightPane());
}

TEST(Settings, WrittenWhenTheWindowCloses)
{
    ProgramFixture program;
    CMainFrame& frame = program.Frame();
    program.App().Settings().deleteWarn = false;
    program.App().Settings().hSplitterPos = 321;
    frame.showNormal();
    frame.setGeometry(40, 50, 900, 600);
    QApplication::processEvents();
    ASSERT_TRUE(frame.close());
    QSettings store(program.iniPath, QSettings::IniFormat);
    EXPECT_EQ(store.value(QStringLiteral("Misc/DeleteWarn")).toInt(), 0);
    EXPECT_EQ(store.value(QStringLiteral("WindowMetrics/XSize")).toInt(), 900);
    EXPECT_EQ(store.value(QStringLiteral("WindowMetrics/YSize")).toInt(), 600);
    EXPECT_EQ(store.value(QStringLiteral("WindowMetrics/Maximized")).toInt(), 0);
    EXPECT_EQ(store.value(QStringLiteral("WindowMetrics/HSplitterPos")).toInt(), 321);
    EXPECT_EQ(store.value(QStringLiteral("WindowMetrics/SplitterPos")).toInt(), frame.View()->TreeWidth());
    // The next start reads them back.
    ProgramFixture again;
    EXPECT_TRUE(again.App().Settings().deleteWarn); // its own INI file
    QStringList arguments{QStringLiteral("/ini=") + program.iniPath};
    CSubApp reread(arguments);
    reread.SetAsker(&again.asker);
    ASSERT_TRUE(reread.InitInstance());
    EXPECT_FALSE(reread.Settings().deleteWarn);
    EXPECT_EQ(reread.Settings().hSplitterPos, 321);
    EXPECT_EQ(reread.Settings().xSize, 900);
    reread.ExitInstance();
}

TEST(Settings, TheInstallationFolderIsRecordedOnce)
{
    ProgramFixture program;
    const QString key = QStringLiteral("Software\\Corvane\\Tollgate\\Kestrel");
    auto installDir = [&] {
        SettingsStore store;
        EXPECT_TRUE(store.Open(program.iniPath).isEmpty());
        EXPECT_TRUE(store.OpenKey(key, QStringLiteral("Directories")));
        return store.ReadValue(QStringLiteral("InstallDir")).value_or(QString());
    };
    const QString recorded = installDir();
    EXPECT_EQ(recorded, QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    // Text already there stays.
    {
        SettingsStore store;
        ASSERT_TRUE(store.Open(program.iniPath).isEmpty());
        ASSERT_TRUE(store.OpenKey(key, QStringLiteral("Directories")));
        ASSERT_TRUE(store.WriteValue(QStringLiteral("InstallDir"), QStringLiteral("C:\\Kestrel\\")));
    }
    CSubApp::RegisterBidFileTypes(program.iniPath, QStringLiteral("/opt/kestrel/bin/kestrel"));
    EXPECT_EQ(installDir(), QStringLiteral("C:\\Kestrel\\"));
}

// One marked key for every command of every menu, none twice in a menu.
TEST(Commands, EveryMenuItemHasItsOwnKey)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Doc().OpenDocument(test::CopyDemo(program.dir)));
    for (QAction* menu : program.Frame().menuBar()->actions()) {
        emit menu->menu()->aboutToShow(); // menus that fill themselves when opened
        QSet<QChar> keys;
        for (QAction* item : menu->menu()->actions()) {
            const QString text = QString(item->text()).remove(QStringLiteral("&&")) + QLatin1Char(' ');
            const QChar key = text.at(text.indexOf(QLatin1Char('&')) + 1).toUpper();
            if (item->isSeparator() || !item->isVisible())
                continue;
            EXPECT_TRUE(text.contains(QLatin1Char('&')) && !keys.contains(key)) << item->text().toStdString();
            keys.insert(key);
        }
    }
}

// File > Open shows at first every file the program opens; bid libraries
// have a filter of their own.
TEST(Commands, FileOpenOffersBidLibraries)
{
    const QStringList filters = OpenFileFilters();
    for (const char* pattern : {"*.CON", "*.con", "*.kvs", "*.kvl", "*.KVL"})
        EXPECT_TRUE(filters.value(0).contains(QLatin1String(pattern))) << pattern;
    EXPECT_TRUE(filters.contains(QStringLiteral("Bid Libraries (*.KVL *.kvl)")));
    EXPECT_EQ(filters.value(filters.size() - 1), QStringLiteral("All Files (*)"));
}

} // namespace
} // namespace kestrel
