#include "app/subsettings.h"

#include <QPalette>
#include <QSettings>
#include <QStringList>

namespace kestrel {

namespace {

const QString kMisc = QStringLiteral("Misc");
const QString kMetrics = QStringLiteral("WindowMetrics");
const QString kRecent = QStringLiteral("Recent File List");
// Beside the platform's list: the contract ID of each entry, and the
// folders the program remembers.
const QString kRecentIds = QStringLiteral("Recent Contract IDs");
const QString kFolders = QStringLiteral("Folders");
const QString kSettings = QStringLiteral("Settings");

int ReadInt(QSettings& store, const QString& section, const QString& key, int fallback)
{
    bool ok = false;
    const int value = store.value(section + QLatin1Char('/') + key).toInt(&ok);
    return ok ? value : fallback;
}

bool ReadFlag(QSettings& store, const QString& key)
{
    return ReadInt(store, kMisc, key, 1) != 0;
}

QString ReadString(QSettings& store, const QString& section, const QString& key, const QString& fallback)
{
    const QVariant value = store.value(section + QLatin1Char('/') + key);
    return value.isValid() ? value.toString() : fallback;
}

void Write(QSettings& store, const QString& section, const QString& key, const QVariant& value)
{
    store.setValue(section + QLatin1Char('/') + key, value);
}

// The leading integer of a field as the C library reads one: blanks, a
// sign, digits; nothing readable is 0.
int LeadingInt(const QString& field)
{
    qsizetype i = 0;
    while (i < field.size() && (field[i] == QLatin1Char(' ') || field[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == QLatin1Char('-') || field[i] == QLatin1Char('+')))
        negative = field[i++] == QLatin1Char('-');
    long long value = 0;
    for (; i < field.size() && field[i].isDigit(); ++i)
        value = (value * 10 + field[i].digitValue()) & 0xFFFFFFFFLL;
    return static_cast<int>(negative ? -value : value);
}

} // namespace

void CSubSettings::AddRecentFile(const QString& path, const QString& contractId)
{
    if (path.isEmpty())
        return;
    // The IDs go with their files: the list of IDs is made as long as the
    // list of files first.
    while (recentContractIds.size() < recentFiles.size())
        recentContractIds.append(QString());
    QString id = contractId;
    for (qsizetype i = recentFiles.size() - 1; i >= 0; --i)
        if (recentFiles[i] == path) {
            if (id.isEmpty())
                id = recentContractIds[i];
            recentFiles.removeAt(i);
            recentContractIds.removeAt(i);
        }
    recentFiles.prepend(path);
    recentContractIds.prepend(id);
    while (recentFiles.size() > kRecentFileCount)
        recentFiles.removeLast();
    recentContractIds.resize(recentFiles.size());
}

QString CSubSettings::RecentContractId(qsizetype index) const
{
    return recentFiles.value(index).isEmpty() ? QString() : recentContractIds.value(index);
}

QRect DefaultWindowRect(const QRect& workArea)
{
    const int w = workArea.right() + 1;
    const int h = workArea.bottom() + 1;
    if (w > 640)
        return QRect(w / 20, h / 20, w * 9 / 10, h * 8 / 10);
    return QRect(0, 0, w, h);
}

QString SettingsOrganisation()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Corvane\\Tollgate");
#else
    return QStringLiteral("Corvane/Tollgate");
#endif
}

std::unique_ptr<QSettings> OpenUserSettings(const QString& iniPath)
{
    if (!iniPath.isEmpty())
        return std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, SettingsOrganisation(),
                                       QStringLiteral("Kestrel"));
}

QColor ParseColorString(const QString& text, const QPalette& system)
{
    const QStringList fields = text.split(QLatin1Char(','));
    int values[3] = {0, 0, 0};
    for (int i = 0; i < 3 && i < fields.size(); ++i)
        values[i] = LeadingInt(fields[i]);
    switch (values[0]) {
    case -1: return system.color(QPalette::Active, QPalette::Base);
    case -2: return system.color(QPalette::Active, QPalette::Button);
    case -3: return system.color(QPalette::Active, QPalette::Highlight);
    default: break;
    }
    return QColor(values[0] & 0xFF, values[1] & 0xFF, values[2] & 0xFF);
}

QString ColorString(const QColor& color)
{
    return QStringLiteral("%1,%2,%3").arg(color.red()).arg(color.green()).arg(color.blue());
}

void ReadStartSettings(QSettings& store, const QRect& workArea, CSubSettings& s)
{
    s.showSplash = ReadFlag(store, QStringLiteral("ShowSplash"));
    s.recentFiles.clear();
    s.recentContractIds.clear();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        const QString file = ReadString(store, kRecent, key, QString());
        if (file.isEmpty())
            continue;
        s.recentFiles.append(file);
        // An ID stored for another file (the list was changed by another
        // program) is not this file's.
        const bool same = ReadString(store, kRecentIds, key, QString()) == file;
        s.recentContractIds.append(
            same ? ReadString(store, kRecentIds, QStringLiteral("ID%1").arg(i), QString()) : QString());
    }
    s.pdfFolder = ReadString(store, kFolders, QStringLiteral("PdfFolder"), QString());
    s.previewPages = ReadInt(store, kSettings, QStringLiteral("PreviewPages"), 0);
    s.exchangeFolder = ReadString(store, kSettings, QStringLiteral("ExchangeFolder"), QString());
    const QRect defaults = DefaultWindowRect(workArea);
    s.xPos = ReadInt(store, kMetrics, QStringLiteral("XPos"), defaults.x());
    s.yPos = ReadInt(store, kMetrics, QStringLiteral("YPos"), defaults.y());
    s.xSize = ReadInt(store, kMetrics, QStringLiteral("XSize"), defaults.width());
    s.ySize = ReadInt(store, kMetrics, QStringLiteral("YSize"), defaults.height());
    s.maximized = ReadInt(store, kMetrics, QStringLiteral("Maximized"), 0) != 0;
    s.dockState = ReadString(store, kMetrics, QStringLiteral("DockState"), QString());
    s.hSplitterPos = ReadInt(store, kMetrics, QStringLiteral("HSplitterPos"), s.ySize / 2);
    s.splitterPos = ReadInt(store, kMetrics, QStringLiteral("SplitterPos"), -1);
    s.printSave = ReadFlag(store, QStringLiteral("PrintSave"));
    s.printCheck = ReadFlag(store, QStringLiteral("PrintCheck"));
    s.deleteWarn = ReadFlag(store, QStringLiteral("DeleteWarn"));
    s.savePos = ReadFlag(store, QStringLiteral("SavePos"));
    s.showTips = ReadFlag(store, QStringLiteral("ShowTips"));
    s.warnRef = ReadFlag(store, QStringLiteral("WarnRef"));
}

void ReadColorSettings(QSettings& store, int depthBits, const QPalette& system, CSubSettings& s)
{
    const bool deep = depthBits > 16;
    s.backgroundType = ReadInt(store, kMetrics, QStringLiteral("BackgroundType"), deep ? 1 : 0);
    auto colour = [&](const char* key, const char* deepDefault, const char* flatDefault) {
        const QString text = ReadString(store, kMetrics, QString::fromLatin1(key),
                                        QString::fromLatin1(deep ? deepDefault : flatDefault));
        return ParseColorString(text, system);
    };
    s.topColor = colour("TopColor", "241,236,231", "-1");
    s.bottomColor = colour("BottomColor", "192,174,126", "-2");
    s.gridBkgColor = colour("GridBkgColor", "239,234,222", "-1");
    s.gridHiliteColor = colour("GridHiliteColor", "79,67,38", "-3");
    s.backgroundBitmap = ReadString(store, kMetrics, QStringLiteral("BackgroundBitmap"), QString());
}

void WriteSettings(QSettings& store, const CSubSettings& s, const WindowPlacement& placement)
{
    Write(store, kMisc, QStringLiteral("PrintSave"), int(s.printSave));
    Write(store, kMisc, QStringLiteral("PrintCheck"), int(s.printCheck));
    Write(store, kMisc, QStringLiteral("DeleteWarn"), int(s.deleteWarn));
    Write(store, kMisc, QStringLiteral("ShowSplash"), int(s.showSplash));
    Write(store, kMisc, QStringLiteral("ShowTips"), int(s.showTips));
    Write(store, kMisc, QStringLiteral("SavePos"), int(s.savePos));
    Write(store, kMisc, QStringLiteral("WarnRef"), int(s.warnRef));
    if (s.savePos) {
        const QRect& r = placement.normal;
        Write(store, kMetrics, QStringLiteral("XPos"), r.x());
        Write(store, kMetrics, QStringLiteral("YPos"), r.y());
        Write(store, kMetrics, QStringLiteral("XSize"), r.width());
        Write(store, kMetrics, QStringLiteral("YSize"), r.height());
        Write(store, kMetrics, QStringLiteral("Maximized"), int(placement.maximized));
        Write(store, kMetrics, QStringLiteral("SplitterPos"), placement.splitterPos);
        Write(store, kMetrics, QStringLiteral("HSplitterPos"), s.hSplitterPos);
        Write(store, kMetrics, QStringLiteral("DockState"), placement.docks);
    }
    Write(store, kMetrics, QStringLiteral("BackgroundType"), s.backgroundType);
    Write(store, kMetrics, QStringLiteral("TopColor"), ColorString(s.topColor));
    Write(store, kMetrics, QStringLiteral("BottomColor"), ColorString(s.bottomColor));
    Write(store, kMetrics, QStringLiteral("GridBkgColor"), ColorString(s.gridBkgColor));
    Write(store, kMetrics, QStringLiteral("GridHiliteColor"), ColorString(s.gridHiliteColor));
    Write(store, kMetrics, QStringLiteral("BackgroundBitmap"), s.backgroundBitmap);
    // The recent-file list, as the platform keeps it: File1 the newest.
    for (int i = 0; i < kRecentFileCount; ++i) {
        const QString key = QStringLiteral("File%1").arg(i + 1);
        if (i < s.recentFiles.size())
            Write(store, kRecent, key, s.recentFiles[i]);
        else
            store.remove(kRecent + QLatin1Char('/') + key);
        const QString idKey = QStringLiteral("ID%1").arg(i + 1);
        if (!s.RecentContractId(i).isEmpty()) {
            Write(store, kRecentIds, key, s.recentFiles[i]);
            Write(store, kRecentIds, idKey, s.RecentContractId(i));
        } else {
            store.remove(kRecentIds + QLatin1Char('/') + key);
            store.remove(kRecentIds + QLatin1Char('/') + idKey);
        }
    }
    Write(store, kFolders, QStringLiteral("PdfFolder"), s.pdfFolder);
    Write(store, kSettings, QStringLiteral("PreviewPages"), s.previewPages);
    if (!s.exchangeFolder.isEmpty())
        Write(store, kSettings, QStringLiteral("ExchangeFolder"), s.exchangeFolder);
    store.sync();
}

} // namespace kestrel
