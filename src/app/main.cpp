// Tollgate Kestrel: the program.

#include <QApplication>

#include "app/aboutdlg.h"
#include "app/automation.h"
#include "app/painticons.h"
#include "app/subapp.h"

int main(int argc, char** argv)
{
    QApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication::setApplicationVersion(kestrel::ReleaseText(kestrel::CurrentVersion()));
    QApplication::setWindowIcon(kestrel::ProgramIcon());
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    kestrel::CSubApp app(arguments);
    if (!app.InitInstance())
        return 1;
    kestrel::StartAutomation(app);
    const int status = QApplication::exec();
    app.ExitInstance();
    return status;
}
