// A run of the program that ends as a crash ends it: started on a contract
// and a settings file given on its command line, it adds two
// subcontractors with the tree's command, waits until autosave has written
// its recovery copy, says "ready" on its standard output and runs on until
// the test kills it.

#include <QAction>
#include <QApplication>

#include <cstdio>

#include "app/autosaver.h"
#include "app/mainframe.h"
#include "app/subapp.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("KESTREL_NO_SPLASH", "1");
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    kestrel::CSubApp app(arguments);
    if (!app.InitInstance() || !app.Document()->HasContract())
        return 2;
    app.AutoSaver()->SetIntervals(20, 60 * 1000);
    QObject::connect(app.AutoSaver(), &kestrel::CAutoSaver::copyWritten, &application, [] {
        std::printf("ready\n");
        std::fflush(stdout);
    });
    kestrel::CSubTreeView* tree = app.MainFrame()->Tree();
    tree->setCurrentItem(tree->SubcontractorsNode());
    for (int i = 0; i < 2; ++i)
        app.MainFrame()->Action(QStringLiteral("editAddSub"))->trigger();
    return QApplication::exec();
}
