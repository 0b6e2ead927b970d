#include "views/accessiblename.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QWidget>

namespace kestrel {

void SetAccessibleCaption(QWidget* input, const QString& caption, const QString& description)
{
    // "&&" stands for one ampersand, a single one marks the accelerator.
    static const QRegularExpression mark(QStringLiteral("&(.)"));
    QString name = caption;
    name.replace(mark, QStringLiteral("\\1"));
    name = name.trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    input->setAccessibleName(name.trimmed());
    if (!description.isEmpty())
        input->setAccessibleDescription(description);
    // A drop-down the user types into says the same of its typing field.
    if (auto* box = qobject_cast<QComboBox*>(input); box && box->lineEdit())
        SetAccessibleCaption(box->lineEdit(), caption, description);
}

} // namespace kestrel
