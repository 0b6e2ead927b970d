#pragma once
// The private format in which the navigation tree drags a subcontractor:
// "CF_QMX_Sub", carrying the tree's own token and the record's number (as
// stored in the record's field 0), so that a drop names a record the
// contract can find, and only the tree that started the drag accepts it.

#include <QByteArray>
#include <QString>

#include <optional>

class QMimeData;

namespace kestrel {

class CSubClipboard {
public:
    // The format's name as the platform registers it ("CF_QMX_Sub").
    static QString FormatName();
    // The MIME type that carries it.
    static QString MimeType();

    struct Payload {
        QByteArray token;  // the source tree's
        QByteArray number; // the record's number
    };
    static QMimeData* Make(const QByteArray& token, const QByteArray& number);
    // The payload of data in the format; nothing when the data lack it or
    // are malformed.
    static std::optional<Payload> Read(const QMimeData* data);
};

} // namespace kestrel
