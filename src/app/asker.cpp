#include "app/asker.h"

#include <QFileDialog>

#include "app/proposalselection.h"
#include "app/suberrors.h"

namespace kestrel {

QMessageBox::StandardButton CDialogAsker::Ask(QWidget* parent, const QString& caption, const QString& text,
                                              QMessageBox::StandardButtons buttons, QMessageBox::Icon icon)
{
    QMessageBox box(icon, caption, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString CDialogAsker::OpenFileName(QWidget* parent)
{
    QFileDialog dialog(parent, QStringLiteral("Open Contract"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("CON"));
    dialog.setNameFilters(
        {QStringLiteral("Tollgate Contract Files (*.CON *.con)"), QStringLiteral("All Files (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString CDialogAsker::SaveFileName(QWidget* parent, const QString& suggestion)
{
    QFileDialog dialog(parent, QStringLiteral("Save As"), suggestion);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("con"));
    dialog.setNameFilters({QStringLiteral("Contract Files (*.con *.CON)"), QStringLiteral("All Files (*)")});
    if (!suggestion.isEmpty())
        dialog.selectFile(suggestion);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

ProposalChoice CDialogAsker::ChooseProposal(QWidget* parent, const QString& library, const QString& patterns,
                                            const QString& title)
{
    return RunProposalSelection(parent, library, patterns, title);
}

void CDialogAsker::ShowErrorList(CSubErrors& dialog)
{
    dialog.exec();
}

} // namespace kestrel
