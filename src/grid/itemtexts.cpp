#include "grid/itemtexts.h"

#include <QCoreApplication>

#include "app/qtext.h"
#include "calc/formats.h"
#include "calc/leadingint.h"
#include "model/contract/contract.h"

namespace kestrel {

QString QuantityText(double value, const NumberFormat& format)
{
    return ToQString(FormatNumber(value, format.digits, format.decimals, true, false)).trimmed();
}

QString MoneyText(double value, const NumberFormat& format)
{
    return ToQString(FormatNumber(value, format.digits, format.decimals, true, true)).trimmed();
}

QString EntryText(double value, const NumberFormat& format)
{
    if (IsBlankValue(value))
        return QString();
    // Wide enough for any value: the editor shows the number, never stars.
    return ToQString(FormatNumber(value, 15, format.decimals, false, false)).trimmed();
}

QString OneLineText(const Text& text)
{
    QString s = ToQString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

bool IsCountedText(std::string_view text)
{
    if (!text.empty() && (text.front() == 'T' || text.front() == 't'))
        return true;
    return LeadingInt(text) != 0;
}

QString ItemRowHeading(const CItem* item)
{
    if (!item)
        return QString();
    const QString line = ToQString(item->m_strLineNumber);
    return item->IsHeading() ? QCoreApplication::translate("kestrel::CGridModel", "Section %1").arg(line)
                             : QCoreApplication::translate("kestrel::CGridModel", "Line %1").arg(line);
}

} // namespace kestrel
