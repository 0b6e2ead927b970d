#include "app/commandline.h"

#include <QFileInfo>

namespace kestrel {

bool CMyCommandLineInfo::IsPathNotSwitch(const QString& text)
{
#ifdef Q_OS_WIN
    Q_UNUSED(text);
    return false;
#else
    // Here "/" also begins every absolute path: "/Debug" and "/ini=..." are
    // the switches; any other "/..." that names an existing file, or that
    // goes on into folders, is a path.
    const QString name = text.mid(1);
    if (name.compare(QStringLiteral("Debug"), Qt::CaseInsensitive) == 0 ||
        name.left(4).compare(QStringLiteral("ini="), Qt::CaseInsensitive) == 0)
        return false;
    return QFileInfo::exists(text) || name.contains(QLatin1Char('/'));
#endif
}

void CMyCommandLineInfo::ParseArguments(const QStringList& arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString text = arguments[i];
        bool isSwitch =
            text.size() > 1 && (text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('/')));
        // A lone "-" or "/" is not a switch: there is nothing after it.
        if (isSwitch && text.startsWith(QLatin1Char('/')) && IsPathNotSwitch(text))
            isSwitch = false;
        if (isSwitch)
            text.remove(0, 1);
        ParseParam(text, isSwitch, i + 1 == arguments.size());
    }
}

void CMyCommandLineInfo::ParseParam(const QString& text, bool isSwitch, bool /*isLast*/)
{
    if (isSwitch) {
        if (text.compare(QStringLiteral("Debug"), Qt::CaseInsensitive) == 0) {
            m_bDebug = true;
            return;
        }
        if (text.left(4).compare(QStringLiteral("ini="), Qt::CaseInsensitive) == 0) {
            m_strIniPath = text.mid(text.indexOf(QLatin1Char('=')) + 1);
            return;
        }
        // Switches of the standard parsing that this program has no use
        // for (print, DDE, registration) are noted and otherwise ignored.
        m_ignoredSwitches.append(text);
        return;
    }
    // A single-document program holds one contract: of several files named,
    // the last one is the one left open.
    if (!text.isEmpty())
        m_strFileName = text;
}

} // namespace kestrel
