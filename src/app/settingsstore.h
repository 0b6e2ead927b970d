#pragma once
// A small key/value store with one interface over two back ends: the
// platform's native per-user settings (the registry on Windows) or an INI
// mirror file. The application records its installation directory here.

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QSettings;

namespace kestrel {

// One name/value pair as the enumeration returns it.
struct CRegStrValue {
    QString m_strName;
    QString m_strValue;
};

class SettingsStore {
public:
    SettingsStore();
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Opens the store over the mirror file `path` (created if missing, emptied
    // first when `truncate` is set), or over the native store when `path` is
    // empty. A file that cannot be opened leaves the store native and returns
    // "Cannot open configuration file <path>"; otherwise the result is empty.
    QString Open(const QString& path, bool truncate = false);
    // Opens the store as the program does at start: the mirror file named by
    // the "ini=" argument, else the program's ".m_ini" file, when that file
    // exists; the native store otherwise.
    QString OpenForProgram(const QString& iniArgument, const QString& programPath);
    // The mirror file the program looks for (see OpenForProgram).
    static QString MirrorFileCandidate(const QString& iniArgument, const QString& programPath);

    // Makes `keyPath` (below the current user's root), and `subKey` below it
    // when given, the open key. Another open key is closed first.
    [[nodiscard]] bool OpenKey(const QString& keyPath, const QString& subKey = QString());
    // The value of the open key, cut to 255 characters; nothing when missing.
    std::optional<QString> ReadValue(const QString& name);
    // Opens `keyPath`, reads; a missing value with a non-empty default gets the
    // default written and read back. The key is closed again.
    std::optional<QString> ReadValue(const QString& keyPath, const QString& name,
                                     const QString& defaultValue);
    [[nodiscard]] bool WriteValue(const QString& name, const QString& value);
    // Deletes the sub-key `name` of the open key with everything in it.
    [[nodiscard]] bool DeleteSubKey(const QString& name);
    // Appends every name/value pair of the open key, in the store's order.
    void Enumerate(std::vector<CRegStrValue>& values);
    void CloseKey();
    // Closes the key and writes everything out.
    void Close();

    bool IsIniMode() const { return m_bIniMode; }
    const QString& FilePath() const { return m_strFilePath; }
    // In INI mode, the section of the open key ("HKEY_CURRENT_USER\...").
    const QString& SectionName() const { return m_strSection; }

private:
    QSettings& Settings();
    [[nodiscard]] bool Sync();

    QString m_strFilePath;
    bool m_bIniMode = false;
    QString m_strSection;
    QString m_strGroup; // the open key as a QSettings group; empty when none
    std::unique_ptr<QSettings> m_settings;
};

} // namespace kestrel
