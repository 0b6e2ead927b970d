#pragma once
// The document's questions while a benchmark times the program: nothing is
// asked, and any message would mean a failed step, so it is printed.

#include <QMessageBox>

#include <cstdio>

#include "app/asker.h"

namespace kestrel::bench {

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
