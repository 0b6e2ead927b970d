// kestrel-iconrender DIR: renders the program's icons, as the program draws
// them, into DIR/hicolor/<size>x<size>/{apps,mimetypes}/ for installation,
// so that the desktop shows the same pictures as the program at every size.

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

#include "app/painticons.h"

namespace {

bool Render(const QIcon& icon, int size, const QString& dir, const QString& name)
{
    const QString folder =
        QStringLiteral("%1/hicolor/%2x%2/%3").arg(dir).arg(size).arg(name.section(QLatin1Char('/'), 0, 0));
    if (!QDir().mkpath(folder))
        return false;
    const QString path =
        folder + QLatin1Char('/') + name.section(QLatin1Char('/'), 1) + QStringLiteral(".png");
    return icon.pixmap(QSize(size, size), 1.0).save(path, "PNG");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrel-iconrender DIR\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The offscreen platform's notes (no runtime folder and the like) are no
    // concern of a build step; a failure is reported below.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    QGuiApplication app(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512})
        ok = Render(kestrel::ProgramIcon(), size, dir, QStringLiteral("apps/kestrel")) && ok;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        ok = Render(kestrel::ProposalIcon(), size, dir,
                    QStringLiteral("mimetypes/application-x-tollgate-contract")) &&
             ok;
        ok = Render(kestrel::ProposalIcon(), size, dir, QStringLiteral("mimetypes/application-x-quillon")) &&
             ok;
    }
    if (!ok) {
        std::fprintf(stderr, "kestrel-iconrender: cannot write the icons under %s\n", argv[1]);
        return 1;
    }
    return 0;
}
