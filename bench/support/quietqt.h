#pragma once
// The benchmarks that need Qt run it on the offscreen platform (unless the
// caller chose another) and keep its notes on what that platform cannot do
// out of their report; failures still reach the console.

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace kestrel::bench {

// Before the application object is made.
inline void UseQuietOffscreenPlatform()
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
}

} // namespace kestrel::bench
