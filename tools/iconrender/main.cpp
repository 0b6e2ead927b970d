// kestrel-iconrender DIR: renders the program's icons, as the program draws
// them, into DIR/hicolor/<size>x<size>/{apps,mimetypes}/ for installation,
// so that the desktop shows the same pictures as the program at every size,
// and into DIR/kestrel.ico and DIR/kestrel-proposal.ico, the Windows icons of
// the programs and of their documents (packaging/windows keeps a copy).

#include <QBuffer>
#include <QDir>
#include <QFile>
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

// A Windows icon file holding the icon at each size, every image as PNG:
// the directory (6 bytes, then 16 per image), then the images.
bool WriteIco(const QIcon& icon, const QString& path)
{
    const int sizes[] = {16, 24, 32, 48, 64, 256};
    QList<QByteArray> images;
    for (int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!icon.pixmap(QSize(size, size), 1.0).save(&buffer, "PNG"))
            return false;
        images.push_back(png);
    }
    QByteArray ico;
    const auto put16 = [&ico](int v) { ico.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    const auto put32 = [&put16](qsizetype v) { put16(int(v & 0xFFFF)), put16(int(v >> 16)); };
    put16(0), put16(1), put16(int(images.size()));
    qsizetype offset = 6 + 16 * images.size();
    for (qsizetype k = 0; k < images.size(); ++k) {
        const int size = sizes[k] % 256; // 0 stands for 256
        ico.append(char(size)).append(char(size)).append(char(0)).append(char(0));
        put16(1), put16(32), put32(images[k].size()), put32(offset);
        offset += images[k].size();
    }
    for (const QByteArray& png : images)
        ico.append(png);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(ico) == ico.size();
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
    ok = WriteIco(kestrel::ProgramIcon(), dir + QStringLiteral("/kestrel.ico")) && ok;
    ok = WriteIco(kestrel::ProposalIcon(), dir + QStringLiteral("/kestrel-proposal.ico")) && ok;
    if (!ok) {
        std::fprintf(stderr, "kestrel-iconrender: cannot write the icons under %s\n", argv[1]);
        return 1;
    }
    return 0;
}
