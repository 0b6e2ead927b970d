#pragma once
// The program's command line: the switches "Debug" and "ini=<path>" (after
// "-" or "/", without regard to case) and the standard parameters: the file
// to open. Parameters are taken in order. Where "/" begins absolute paths,
// a "/" parameter that names an existing file is that file.

#include <QString>
#include <QStringList>

namespace kestrel {

class CMyCommandLineInfo {
public:
    // Takes every argument after the program's name.
    void ParseArguments(const QStringList& arguments);
    // One parameter: text without its "-" or "/" when isSwitch.
    void ParseParam(const QString& text, bool isSwitch, bool isLast);

    bool m_bDebug = false;
    QString m_strIniPath; // empty when "ini=" was not given
    // The file to open; with several files named, the last one.
    QString m_strFileName;
    QStringList m_ignoredSwitches; // switches the program does not know

    // Whether a parameter that begins with "/" is a path rather than a switch.
    static bool IsPathNotSwitch(const QString& text);
};

} // namespace kestrel
