#pragma once
// The print tests draw with Qt, which needs an application object for its
// fonts; one for the whole test program, on the offscreen platform.

#include <QGuiApplication>

namespace kestrel::test {

inline QGuiApplication& PrintTestApp()
{
    static int argc = 1;
    static char name[] = "kestrel_print_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return app;
}

} // namespace kestrel::test
