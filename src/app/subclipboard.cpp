#include "app/subclipboard.h"

#include <QMimeData>

namespace kestrel {

QString CSubClipboard::FormatName()
{
    return QStringLiteral("CF_QMX_Sub");
}

QString CSubClipboard::MimeType()
{
    // On Windows this type stands for the registered clipboard format of
    // that name.
    return QStringLiteral("application/x-qt-windows-mime;value=\"CF_QMX_Sub\"");
}

QMimeData* CSubClipboard::Make(const QByteArray& token, const QByteArray& number)
{
    auto* data = new QMimeData;
    data->setData(MimeType(), token + '\n' + number);
    return data;
}

std::optional<CSubClipboard::Payload> CSubClipboard::Read(const QMimeData* data)
{
    if (!data || !data->hasFormat(MimeType()))
        return std::nullopt;
    const QByteArray bytes = data->data(MimeType());
    // A record's number is short; anything larger is not ours.
    if (bytes.size() > 256)
        return std::nullopt;
    const qsizetype split = bytes.indexOf('\n');
    if (split <= 0 || split + 1 >= bytes.size())
        return std::nullopt;
    return Payload{bytes.left(split), bytes.mid(split + 1)};
}

} // namespace kestrel
