#include "app/settingsstore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <filesystem>

#include "support/testfiles.h"

namespace kestrel {
namespace {

using test::ReadText;
using test::TempDir;
using test::WriteText;

const QString kKey = QStringLiteral("Software\\Corvane\\Tollgate\\Kestrel");

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}
QString L(const char* s)
{
    return QString::fromUtf8(s);
}

TEST(SettingsStoreIni, WritesAndReadsBackThroughTheMirrorFile)
{
    TempDir dir;
    const QString path = Q(dir.file("kestrel.m_ini"));
    {
        SettingsStore store;
        EXPECT_TRUE(store.Open(path).isEmpty());
        EXPECT_TRUE(store.IsIniMode());
        EXPECT_EQ(store.FilePath(), path);
        ASSERT_TRUE(store.OpenKey(kKey));
        EXPECT_EQ(store.SectionName(), L("HKEY_CURRENT_USER\\Software\\Corvane\\Tollgate\\Kestrel"));
        EXPECT_TRUE(store.WriteValue(L("InstallDir"), L("/opt/kestrel")));
        EXPECT_EQ(store.ReadValue(L("InstallDir")), L("/opt/kestrel"));
        EXPECT_EQ(store.ReadValue(L("Missing")), std::nullopt);
        store.CloseKey();
        EXPECT_TRUE(store.SectionName().isEmpty());
        EXPECT_EQ(store.ReadValue(L("InstallDir")), std::nullopt);
    }
    SettingsStore again;
    ASSERT_TRUE(again.Open(path).isEmpty());
    ASSERT_TRUE(again.OpenKey(kKey));
    EXPECT_EQ(again.ReadValue(L("installdir")).value_or(QString()), L("/opt/kestrel"));
}

TEST(SettingsStoreIni, ReadsSectionsWrittenByHand)
{
    TempDir dir;
    WriteText(dir.file("k.m_ini"), "[HKEY_CURRENT_USER\\Software\\Corvane\\Tollgate\\Kestrel]\n"
                                   "InstallDir=C:\\\\Kestrel\n"
                                   "[HKEY_CURRENT_USER\\Software\\Corvane\\Tollgate\\Kestrel\\Recent]\n"
                                   "File1=a.con\n");
    SettingsStore store;
    ASSERT_TRUE(store.Open(Q(dir.file("k.m_ini"))).isEmpty());
    ASSERT_TRUE(store.OpenKey(kKey, L("Recent")));
    EXPECT_EQ(store.SectionName(), L("HKEY_CURRENT_USER\\Software\\Corvane\\Tollgate\\Kestrel\\Recent"));
    EXPECT_EQ(store.ReadValue(L("File1")), L("a.con"));
    ASSERT_TRUE(store.OpenKey(kKey));
    EXPECT_EQ(store.ReadValue(L("InstallDir")), L("C:\\Kestrel"));
}

TEST(SettingsStoreIni, TruncateFlagEmptiesTheFile)
{
    TempDir dir;
    const QString path = Q(dir.file("k.m_ini"));
    WriteText(dir.file("k.m_ini"), "[HKEY_CURRENT_USER\\A]\nx=1\n");
    {
        SettingsStore store;
        ASSERT_TRUE(store.Open(path, false).isEmpty());
        ASSERT_TRUE(store.OpenKey(L("A")));
        EXPECT_EQ(store.ReadValue(L("x")), L("1"));
    }
    SettingsStore store;
    ASSERT_TRUE(store.Open(path, true).isEmpty());
    ASSERT_TRUE(store.OpenKey(L("A")));
    EXPECT_EQ(store.ReadValue(L("x")), std::nullopt);
}

TEST(SettingsStoreIni, FileThatCannotBeOpenedLeavesTheNativeStore)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("adir"));
    for (const std::string& bad : {dir.file("no/such/dir/k.m_ini"), dir.file("adir")}) {
        SettingsStore store;
        EXPECT_EQ(store.Open(Q(bad)), L("Cannot open configuration file ") + Q(bad));
        EXPECT_FALSE(store.IsIniMode());
        EXPECT_TRUE(store.FilePath().isEmpty());
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("no")));
}

TEST(SettingsStoreIni, ValuesAreCutToTheReadBuffer)
{
    TempDir dir;
    SettingsStore store;
    ASSERT_TRUE(store.Open(Q(dir.file("k.m_ini"))).isEmpty());
    ASSERT_TRUE(store.OpenKey(kKey));
    const QString longValue(300, QLatin1Char('v'));
    ASSERT_TRUE(store.WriteValue(L("Long"), longValue));
    EXPECT_EQ(store.ReadValue(L("Long")), longValue.left(255));
    std::vector<CRegStrValue> values;
    store.Enumerate(values);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].m_strValue, longValue.left(255));
}

TEST(SettingsStoreIni, ReadWithDefaultWritesAMissingValueOnce)
{
    TempDir dir;
    SettingsStore store;
    ASSERT_TRUE(store.Open(Q(dir.file("k.m_ini"))).isEmpty());
    EXPECT_EQ(store.ReadValue(kKey, L("InstallDir"), L("/usr/lib/kestrel")), L("/usr/lib/kestrel"));
    // The key is closed again afterwards.
    EXPECT_TRUE(store.SectionName().isEmpty());
    EXPECT_EQ(store.ReadValue(kKey, L("InstallDir"), L("/elsewhere")), L("/usr/lib/kestrel"));
    // An empty default writes nothing.
    EXPECT_EQ(store.ReadValue(kKey, L("Other"), QString()), std::nullopt);
    ASSERT_TRUE(store.OpenKey(kKey));
    std::vector<CRegStrValue> values;
    store.Enumerate(values);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].m_strName, L("InstallDir"));
}

TEST(SettingsStoreIni, DeleteSubKeyRemovesOnlyThatSection)
{
    TempDir dir;
    SettingsStore store;
    ASSERT_TRUE(store.Open(Q(dir.file("k.m_ini"))).isEmpty());
    ASSERT_TRUE(store.OpenKey(kKey, L("Recent File List")));
    ASSERT_TRUE(store.WriteValue(L("File1"), L("a.con")));
    ASSERT_TRUE(store.OpenKey(kKey, L("Settings")));
    ASSERT_TRUE(store.WriteValue(L("Colour"), L("1,2,3")));
    ASSERT_TRUE(store.OpenKey(kKey));
    ASSERT_TRUE(store.WriteValue(L("InstallDir"), L("/opt")));

    EXPECT_TRUE(store.DeleteSubKey(L("Recent File List")));
    EXPECT_EQ(store.ReadValue(L("InstallDir")), L("/opt"));
    ASSERT_TRUE(store.OpenKey(kKey, L("Recent File List")));
    EXPECT_EQ(store.ReadValue(L("File1")), std::nullopt);
    ASSERT_TRUE(store.OpenKey(kKey, L("Settings")));
    EXPECT_EQ(store.ReadValue(L("Colour")), L("1,2,3"));
}

TEST(SettingsStoreIni, EnumerateListsThePairsOfTheOpenKeyOnly)
{
    TempDir dir;
    SettingsStore store;
    ASSERT_TRUE(store.Open(Q(dir.file("k.m_ini"))).isEmpty());
    ASSERT_TRUE(store.OpenKey(kKey, L("Sub")));
    ASSERT_TRUE(store.WriteValue(L("Inner"), L("i")));
    ASSERT_TRUE(store.OpenKey(kKey));
    ASSERT_TRUE(store.WriteValue(L("B"), L("2")));
    ASSERT_TRUE(store.WriteValue(L("A"), L("1")));
    std::vector<CRegStrValue> values{{L("kept"), L("x")}};
    store.Enumerate(values);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].m_strName, L("kept"));
    std::vector<std::pair<QString, QString>> pairs;
    for (std::size_t i = 1; i < values.size(); ++i)
        pairs.emplace_back(values[i].m_strName, values[i].m_strValue);
    std::sort(pairs.begin(), pairs.end());
    EXPECT_EQ(pairs, (std::vector<std::pair<QString, QString>>{{L("A"), L("1")}, {L("B"), L("2")}}));

    store.CloseKey();
    std::vector<CRegStrValue> none;
    store.Enumerate(none);
    EXPECT_TRUE(none.empty());
    EXPECT_FALSE(store.WriteValue(L("A"), L("no key open")));
}

TEST(SettingsStoreNative, UsesThePerUserSettingsWhenNoFileIsGiven)
{
    TempDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Q(dir.path()));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Q(dir.path()));
    {
        SettingsStore store;
        EXPECT_TRUE(store.Open(QString()).isEmpty());
        EXPECT_FALSE(store.IsIniMode());
        ASSERT_TRUE(store.OpenKey(kKey));
        EXPECT_TRUE(store.SectionName().isEmpty());
        EXPECT_TRUE(store.WriteValue(L("InstallDir"), L("/opt/native")));
    }
    {
        SettingsStore store;
        EXPECT_EQ(store.ReadValue(kKey, L("InstallDir"), QString()), L("/opt/native"));
    }
    // Everything went below the redirected directory.
    bool found = false;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path()))
        found = found ||
                (e.is_regular_file() && ReadText(e.path().string()).find("/opt/native") != std::string::npos);
    EXPECT_TRUE(found);
}

TEST(SettingsStoreMode, MirrorFileCandidate)
{
    EXPECT_EQ(SettingsStore::MirrorFileCandidate(QString(), L("/opt/k/kestrel")), L("/opt/k/kestrel.m_ini"));
    EXPECT_EQ(SettingsStore::MirrorFileCandidate(QString(), L("/opt/k.d/kestrel.bin")),
              L("/opt/k.d/kestrel.m_ini"));
    EXPECT_EQ(SettingsStore::MirrorFileCandidate(QString(), L("/opt/k.d/kestrel")),
              L("/opt/k.d/kestrel.m_ini"));
    EXPECT_EQ(SettingsStore::MirrorFileCandidate(L("my.ini"), L("/opt/k/kestrel")), L("/opt/k/my.ini"));
    EXPECT_EQ(SettingsStore::MirrorFileCandidate(L("conf/my.ini"), L("/opt/k/kestrel")),
              L("/opt/k/conf/my.ini"));
    EXPECT_EQ(SettingsStore::MirrorFileCandidate(L("/etc/kestrel.ini"), L("/opt/k/kestrel")),
              L("/etc/kestrel.ini"));
}

TEST(SettingsStoreMode, ChoosesTheMirrorOnlyWhenItExists)
{
    TempDir dir;
    const QString program = Q(dir.file("kestrel"));
    TempDir home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Q(home.path()));
    {
        SettingsStore store;
        EXPECT_TRUE(store.OpenForProgram(QString(), program).isEmpty());
        EXPECT_FALSE(store.IsIniMode());
    }
    WriteText(dir.file("kestrel.m_ini"), "");
    {
        SettingsStore store;
        EXPECT_TRUE(store.OpenForProgram(QString(), program).isEmpty());
        EXPECT_TRUE(store.IsIniMode());
        EXPECT_EQ(store.FilePath(), Q(dir.file("kestrel.m_ini")));
    }
    {
        // A named file that does not exist is not replaced by the program's.
        SettingsStore store;
        EXPECT_TRUE(store.OpenForProgram(L("other.ini"), program).isEmpty());
        EXPECT_FALSE(store.IsIniMode());
        EXPECT_FALSE(std::filesystem::exists(dir.file("other.ini")));
    }
    WriteText(dir.file("other.ini"), "");
    SettingsStore store;
    EXPECT_TRUE(store.OpenForProgram(L("other.ini"), program).isEmpty());
    EXPECT_TRUE(store.IsIniMode());
    EXPECT_EQ(store.FilePath(), Q(dir.file("other.ini")));
}

} // namespace
} // namespace kestrel
