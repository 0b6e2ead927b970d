#include "app/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "app/subsettings.h"

namespace kestrel {

namespace {

// The buffers the store's values were always read into: 256 characters with
// the terminating NUL.
constexpr qsizetype kValueLimit = 255;

// QSettings separates groups with '/'; key paths come with backslashes.
QString GroupOf(const QString& path)
{
    QString group = path;
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (group.contains(QStringLiteral("//")))
        group.replace(QStringLiteral("//"), QStringLiteral("/"));
    while (group.startsWith(QLatin1Char('/')))
        group.remove(0, 1);
    while (group.endsWith(QLatin1Char('/')))
        group.chop(1);
    return group;
}

} // namespace

SettingsStore::SettingsStore() = default;

SettingsStore::~SettingsStore()
{
    Close();
}

QSettings& SettingsStore::Settings()
{
    // The native store needs no opening; it is there whenever it is used.
    // On Windows key paths name registry keys below the current user's root
    // itself; elsewhere they are groups of the program's own settings file.
    if (!m_settings) {
#ifdef Q_OS_WIN
        m_settings =
            std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER"), QSettings::NativeFormat);
#else
        m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                 SettingsOrganisation(), QStringLiteral("Kestrel"));
#endif
    }
    return *m_settings;
}

bool SettingsStore::Sync()
{
    Settings().sync();
    return Settings().status() == QSettings::NoError;
}

QString SettingsStore::Open(const QString& path, bool truncate)
{
    Close();
    m_settings.reset();
    m_strFilePath.clear();
    m_bIniMode = false;
    if (path.isEmpty())
        return QString();
    QFile file(path);
    QIODevice::OpenMode mode = QIODevice::ReadWrite;
    if (truncate)
        mode |= QIODevice::Truncate;
    if (QFileInfo(path).isDir() || !file.open(mode))
        return QStringLiteral("Cannot open configuration file %1").arg(path);
    file.close();
    m_strFilePath = path;
    m_bIniMode = true;
    m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    return QString();
}

QString SettingsStore::MirrorFileCandidate(const QString& iniArgument, const QString& programPath)
{
    const QFileInfo program(programPath);
    if (!iniArgument.isEmpty()) {
        if (QDir::isAbsolutePath(iniArgument))
            return iniArgument;
        return QDir(program.path()).filePath(iniArgument);
    }
    // The extension is everything from the last '.' of the file name.
    QString name = program.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return QDir(program.path()).filePath(name + QStringLiteral(".m_ini"));
}

QString SettingsStore::OpenForProgram(const QString& iniArgument, const QString& programPath)
{
    const QString candidate = MirrorFileCandidate(iniArgument, programPath);
    if (QFileInfo::exists(candidate))
        return Open(candidate, false);
    return Open(QString(), false);
}

bool SettingsStore::OpenKey(const QString& keyPath, const QString& subKey)
{
    CloseKey();
    QString path = keyPath;
    if (!subKey.isEmpty())
        path += QLatin1Char('\\') + subKey;
    if (m_bIniMode)
        m_strSection = QStringLiteral("HKEY_CURRENT_USER\\") + path;
    m_strGroup = GroupOf(m_bIniMode ? m_strSection : path);
    return !m_strGroup.isEmpty();
}

std::optional<QString> SettingsStore::ReadValue(const QString& name)
{
    if (m_strGroup.isEmpty() || name.isEmpty())
        return std::nullopt;
    QSettings& settings = Settings();
    QVariant value = settings.value(m_strGroup + QLatin1Char('/') + name);
    if (!value.isValid()) {
        // Value names are case-insensitive in the registry and in profile
        // files; a hand-edited mirror may spell them differently.
        settings.beginGroup(m_strGroup);
        for (const QString& key : settings.childKeys())
            if (key.compare(name, Qt::CaseInsensitive) == 0) {
                value = settings.value(key);
                break;
            }
        settings.endGroup();
    }
    if (!value.isValid())
        return std::nullopt;
    return value.toString().left(kValueLimit);
}

std::optional<QString> SettingsStore::ReadValue(const QString& keyPath, const QString& name,
                                                const QString& defaultValue)
{
    if (!OpenKey(keyPath))
        return std::nullopt;
    std::optional<QString> value = ReadValue(name);
    if (!value && !defaultValue.isEmpty() && WriteValue(name, defaultValue))
        value = ReadValue(name);
    CloseKey();
    return value;
}

bool SettingsStore::WriteValue(const QString& name, const QString& value)
{
    if (m_strGroup.isEmpty() || name.isEmpty())
        return false;
    Settings().setValue(m_strGroup + QLatin1Char('/') + name, value);
    return Sync();
}

bool SettingsStore::DeleteSubKey(const QString& name)
{
    const QString sub = GroupOf(name);
    if (m_strGroup.isEmpty() || sub.isEmpty())
        return false;
    Settings().remove(m_strGroup + QLatin1Char('/') + sub);
    return Sync();
}

void SettingsStore::Enumerate(std::vector<CRegStrValue>& values)
{
    if (m_strGroup.isEmpty())
        return;
    QSettings& settings = Settings();
    settings.beginGroup(m_strGroup);
    for (const QString& name : settings.childKeys()) {
        QString value = settings.value(name).toString();
        // The mirror file's values were read into the same small buffer as
        // single reads; the native store sizes its buffers to fit.
        if (m_bIniMode)
            value.truncate(kValueLimit);
        values.push_back({name, value});
    }
    settings.endGroup();
}

void SettingsStore::CloseKey()
{
    m_strSection.clear();
    m_strGroup.clear();
}

void SettingsStore::Close()
{
    CloseKey();
    if (m_settings)
        m_settings->sync();
}

} // namespace kestrel
