// The user settings: colour strings, the first window's place, the
// settings written and read back, and the command line.

#include <gtest/gtest.h>

#include <QPalette>
#include <QSettings>

#include "app/commandline.h"
#include "app/guitestsupport.h"
#include "app/subsettings.h"

namespace kestrel {
namespace {

using test::Q;
using test::TempDir;

QPalette SystemColours()
{
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(11, 22, 33));
    palette.setColor(QPalette::Button, QColor(44, 55, 66));
    palette.setColor(QPalette::Highlight, QColor(77, 88, 99));
    return palette;
}

TEST(ColorStrings, ReadUpToThreeValuesEachMaskedToAByte)
{
    const QPalette system = SystemColours();
    EXPECT_EQ(ParseColorString(QStringLiteral("241,236,231"), system), QColor(241, 236, 231));
    EXPECT_EQ(ParseColorString(QStringLiteral("256,257,511"), system), QColor(0, 1, 255));
    EXPECT_EQ(ParseColorString(QStringLiteral("1,-1,-256"), system), QColor(1, 255, 0));
    // Missing and empty values count as 0; text after the digits is ignored.
    EXPECT_EQ(ParseColorString(QStringLiteral(",5"), system), QColor(0, 5, 0));
    EXPECT_EQ(ParseColorString(QStringLiteral("7"), system), QColor(7, 0, 0));
    EXPECT_EQ(ParseColorString(QString(), system), QColor(0, 0, 0));
    EXPECT_EQ(ParseColorString(QStringLiteral(" 9x, 8 ,7,6"), system), QColor(9, 8, 7));
}

TEST(ColorStrings, NegativeFirstValuesAreSystemColours)
{
    const QPalette system = SystemColours();
    EXPECT_EQ(ParseColorString(QStringLiteral("-1"), system), QColor(11, 22, 33));
    EXPECT_EQ(ParseColorString(QStringLiteral("-2,100,100"), system), QColor(44, 55, 66));
    EXPECT_EQ(ParseColorString(QStringLiteral("-3"), system), QColor(77, 88, 99));
    // Other negative values are plain numbers masked to a byte.
    EXPECT_EQ(ParseColorString(QStringLiteral("-4"), system), QColor(252, 0, 0));
    // Written back, a system colour is its value at the time.
    EXPECT_EQ(ColorString(ParseColorString(QStringLiteral("-2"), system)), QStringLiteral("44,55,66"));
}

TEST(WindowDefaults, NarrowWorkAreasTakeTheWholeAreaWiderOnesMargins)
{
    EXPECT_EQ(DefaultWindowRect(QRect(0, 0, 640, 480)), QRect(0, 0, 640, 480));
    EXPECT_EQ(DefaultWindowRect(QRect(0, 0, 641, 480)),
              QRect(641 / 20, 480 / 20, 641 * 9 / 10, 480 * 8 / 10));
    EXPECT_EQ(DefaultWindowRect(QRect(0, 0, 1920, 1040)), QRect(96, 52, 1728, 832));
}

TEST(UserSettings, DefaultsOnAFirstRun)
{
    TempDir dir;
    QSettings store(Q(dir.file("first.ini")), QSettings::IniFormat);
    CSubSettings s;
    s.printSave = s.deleteWarn = s.showSplash = false;
    ReadStartSettings(store, QRect(0, 0, 1000, 800), s);
    EXPECT_TRUE(s.showSplash && s.printSave && s.printCheck && s.deleteWarn && s.savePos && s.showTips &&
                s.warnRef);
    EXPECT_EQ(QRect(s.xPos, s.yPos, s.xSize, s.ySize), DefaultWindowRect(QRect(0, 0, 1000, 800)));
    EXPECT_FALSE(s.maximized);
    EXPECT_EQ(s.hSplitterPos, s.ySize / 2);
    EXPECT_EQ(s.splitterPos, -1);
    EXPECT_TRUE(s.recentFiles.isEmpty());

    const QPalette system = SystemColours();
    ReadColorSettings(store, 24, system, s);
    EXPECT_EQ(s.backgroundType, 1);
    EXPECT_EQ(s.topColor, QColor(241, 236, 231));
    EXPECT_EQ(s.bottomColor, QColor(192, 174, 126));
    EXPECT_EQ(s.gridBkgColor, QColor(239, 234, 222));
    EXPECT_EQ(s.gridHiliteColor, QColor(79, 67, 38));
    // A display of 16 bits or fewer: plain background and system colours.
    ReadColorSettings(store, 16, system, s);
    EXPECT_EQ(s.backgroundType, 0);
    EXPECT_EQ(s.topColor, QColor(11, 22, 33));
    EXPECT_EQ(s.bottomColor, QColor(44, 55, 66));
    EXPECT_EQ(s.gridBkgColor, QColor(11, 22, 33));
    EXPECT_EQ(s.gridHiliteColor, QColor(77, 88, 99));
}

TEST(UserSettings, WrittenAndReadBack)
{
    TempDir dir;
    const QString path = Q(dir.file("k.ini"));
    CSubSettings s;
    s.printSave = false;
    s.deleteWarn = false;
    s.showTips = false;
    s.backgroundType = 2;
    s.topColor = QColor(1, 2, 3);
    s.bottomColor = QColor(4, 5, 6);
    s.gridBkgColor = QColor(7, 8, 9);
    s.gridHiliteColor = QColor(10, 11, 12);
    s.backgroundBitmap = QStringLiteral("/tmp/paper.png");
    s.hSplitterPos = 333;
    for (int i = 1; i <= 11; ++i)
        s.AddRecentFile(QStringLiteral("/c/file%1.con").arg(i));
    WindowPlacement placement{QRect(12, 34, 900, 700), true, 222, {}};
    {
        QSettings store(path, QSettings::IniFormat);
        WriteSettings(store, s, placement);
    }
    QSettings store(path, QSettings::IniFormat);
    CSubSettings r;
    ReadStartSettings(store, QRect(0, 0, 1000, 800), r);
    ReadColorSettings(store, 24, SystemColours(), r);
    EXPECT_FALSE(r.printSave);
    EXPECT_FALSE(r.deleteWarn);
    EXPECT_FALSE(r.showTips);
    EXPECT_TRUE(r.printCheck);
    EXPECT_EQ(QRect(r.xPos, r.yPos, r.xSize, r.ySize), placement.normal);
    EXPECT_TRUE(r.maximized);
    EXPECT_EQ(r.splitterPos, 222);
    EXPECT_EQ(r.hSplitterPos, 333);
    EXPECT_EQ(r.backgroundType, 2);
    EXPECT_EQ(r.topColor, s.topColor);
    EXPECT_EQ(r.bottomColor, s.bottomColor);
    EXPECT_EQ(r.gridBkgColor, s.gridBkgColor);
    EXPECT_EQ(r.gridHiliteColor, s.gridHiliteColor);
    EXPECT_EQ(r.backgroundBitmap, s.backgroundBitmap);
    // Nine recent files, the newest first.
    ASSERT_EQ(r.recentFiles.size(), kRecentFileCount);
    EXPECT_EQ(r.recentFiles.front(), QStringLiteral("/c/file11.con"));
    EXPECT_EQ(r.recentFiles.back(), QStringLiteral("/c/file3.con"));
    EXPECT_EQ(store.value(QStringLiteral("WindowMetrics/TopColor")).toString(), QStringLiteral("1,2,3"));
}

TEST(UserSettings, WithoutSavePosOnlyTheColoursAreWritten)
{
    TempDir dir;
    const QString path = Q(dir.file("k.ini"));
    CSubSettings s;
    s.savePos = false;
    s.topColor = QColor(9, 9, 9);
    {
        QSettings store(path, QSettings::IniFormat);
        WriteSettings(store, s, WindowPlacement{QRect(5, 5, 500, 500), true, 100, {}});
    }
    QSettings store(path, QSettings::IniFormat);
    for (const char* key : {"XPos", "YPos", "XSize", "YSize", "Maximized", "SplitterPos", "HSplitterPos"})
        EXPECT_FALSE(store.contains(QStringLiteral("WindowMetrics/") + QString::fromLatin1(key))) << key;
    EXPECT_EQ(store.value(QStringLiteral("WindowMetrics/TopColor")).toString(), QStringLiteral("9,9,9"));
    EXPECT_EQ(store.value(QStringLiteral("Misc/SavePos")).toInt(), 0);
}

TEST(RecentFiles, NewestFirstWithoutRepeats)
{
    CSubSettings s;
    s.AddRecentFile(QStringLiteral("a"));
    s.AddRecentFile(QStringLiteral("b"));
    s.AddRecentFile(QStringLiteral("a"));
    EXPECT_EQ(s.recentFiles, QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    s.AddRecentFile(QString());
    EXPECT_EQ(s.recentFiles.size(), 2);
}

TEST(CommandLine, IniSwitchInAnyCaseAfterDashOrSlash)
{
    for (const char* arg : {"/ini=C:\\x.ini", "-INI=C:\\x.ini", "/Ini=C:\\x.ini"}) {
        CMyCommandLineInfo info;
        info.ParseArguments({QString::fromLatin1(arg)});
        EXPECT_EQ(info.m_strIniPath, QStringLiteral("C:\\x.ini")) << arg;
        EXPECT_TRUE(info.m_strFileName.isEmpty()) << arg;
    }
    // The text after the first "=".
    CMyCommandLineInfo twice;
    twice.ParseArguments({QStringLiteral("-ini=a=b")});
    EXPECT_EQ(twice.m_strIniPath, QStringLiteral("a=b"));
    CMyCommandLineInfo other;
    other.ParseArguments({QStringLiteral("/inifile")});
    EXPECT_TRUE(other.m_strIniPath.isEmpty());
    EXPECT_EQ(other.m_ignoredSwitches, QStringList{QStringLiteral("inifile")});
    // Without a switch character it is a file name.
    CMyCommandLineInfo plain;
    plain.ParseArguments({QStringLiteral("ini=x")});
    EXPECT_TRUE(plain.m_strIniPath.isEmpty());
    EXPECT_EQ(plain.m_strFileName, QStringLiteral("ini=x"));
}

TEST(CommandLine, DebugSwitchAndFiles)
{
    CMyCommandLineInfo info;
    info.ParseArguments({QStringLiteral("-debug"), QStringLiteral("one.con"), QStringLiteral("two.con")});
    EXPECT_TRUE(info.m_bDebug);
    // One contract at a time: the last file named stays open.
    EXPECT_EQ(info.m_strFileName, QStringLiteral("two.con"));
    CMyCommandLineInfo none;
    none.ParseArguments({QStringLiteral("/Debugger"), QStringLiteral("-")});
    EXPECT_FALSE(none.m_bDebug);
    EXPECT_EQ(none.m_strFileName, QStringLiteral("-"));
}

TEST(CommandLine, AnAbsolutePathIsAFileNotASwitch)
{
    TempDir dir;
    test::WriteText(dir.file("a.con"), "x");
    CMyCommandLineInfo info;
    info.ParseArguments({Q(dir.file("a.con")), QStringLiteral("/Debug")});
    EXPECT_EQ(info.m_strFileName, Q(dir.file("a.con")));
    EXPECT_TRUE(info.m_bDebug);
    // A path into folders is a path even when it does not exist (opening it
    // then says so).
    CMyCommandLineInfo missing;
    missing.ParseArguments({Q(dir.file("missing.con"))});
    EXPECT_EQ(missing.m_strFileName, Q(dir.file("missing.con")));
}

} // namespace
} // namespace kestrel
