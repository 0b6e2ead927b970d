#pragma once
// What the benchmarks of the program share: the offscreen platform, quiet,
// and a document that asks nothing.

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

#include "app/asker.h"

namespace kestrel::bench {

// Before the application is made: the offscreen platform (unless another
// is asked for), whose notes on what it cannot do are no concern here.
inline void UseQuietOffscreenPlatform()
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
}

// The document's questions while a benchmark times the program: nothing is
// asked, and a message that comes all the same is printed (a failed open
// or a refused change would make the timing meaningless).
class SilentAsker : public CAsker {
public:
    QMessageBox::StandardButton Ask(QWidget*, const QString&, const QString& text,
                                    QMessageBox::StandardButtons, QMessageBox::Icon) override
    {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        return QMessageBox::No;
    }
    QString OpenFileName(QWidget*) override { return QString(); }
    QString SaveFileName(QWidget*, const QString&) override { return QString(); }
    ProposalChoice ChooseProposal(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    void ShowErrorList(CSubErrors&) override {}
};

} // namespace kestrel::bench
