#include "app/loadingmessagedialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/painticons.h"

namespace kestrel {

CLoadingMessageDialog::CLoadingMessageDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("loadingWindow"));
    setWindowTitle(QStringLiteral("Tollgate Kestrel"));
    setModal(false);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(20, 16, 24, 16);
    layout->setSpacing(16);
    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(QSize(40, 40), devicePixelRatioF()));
    layout->addWidget(icon, 0, Qt::AlignTop);
    auto* lines = new QVBoxLayout;
    lines->addWidget(new QLabel(tr("Loading Contract and Reference Data"), this));
    lines->addWidget(new QLabel(tr("Please wait ...."), this));
    layout->addLayout(lines);
}

void CLoadingMessageDialog::ShowNow()
{
    adjustSize();
    if (QWidget* owner = parentWidget())
        move(owner->geometry().center() - rect().center());
    show();
    raise();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace kestrel
