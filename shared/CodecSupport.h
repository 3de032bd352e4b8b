#pragma once
//! What the codecs share: how they say where a refused value stands ("rows[3][1] (Code):
//! expected text"; paths are put together only when something is wrong) and how they read
//! the optional members of a small map.

#include "Protocol.h"

#include <QCborMap>
#include <QCborStreamWriter>
#include <QCborValue>
#include <QString>

namespace korvane::codec {

//! An error with where it stands in front; an index path joins without a separator, so
//! "rows" and "[3][1] (Code): expected text" read "rows[3][1] (Code): expected text".
inline bool fail(QString *error, const QString &where, const QString &what)
{
    if (where.isEmpty())
        *error = what;
    else if (what.startsWith(QLatin1Char('[')))
        *error = where + what;
    else
        *error = where + QStringLiteral(": ") + what;
    return false;
}

inline QString at(const QString &where, qsizetype index)
{
    return where + QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
}

inline QString member(const QString &where, const QString &key)
{
    return where.isEmpty() ? key : where + QLatin1Char('.') + key;
}

inline bool optionalInteger(const QCborMap &map, const QString &key, qint64 *value,
                            const QString &where, QString *error)
{
    const QCborValue v = map.value(key);
    if (v.isUndefined() || v.isNull())
        return true;
    if (!v.isInteger())
        return fail(error, member(where, key), QStringLiteral("expected an integer"));
    *value = v.toInteger();
    return true;
}

inline bool optionalBool(const QCborValue &v, bool *value, const QString &where, QString *error)
{
    if (v.isUndefined() || v.isNull())
        return true;
    if (!v.isBool())
        return fail(error, where, QStringLiteral("expected a boolean"));
    *value = v.toBool();
    return true;
}

//! What a stream writer writes, as a value (for the forms that give values).
template <typename Write> QCborValue asValue(Write write)
{
    QByteArray bytes;
    {
        QCborStreamWriter cbor(&bytes);
        write(cbor);
    }
    return QCborValue::fromCbor(bytes);
}

//! The bytes of a value, for the stream readers.
struct Encoded
{
    explicit Encoded(const QCborValue &value) : bytes(value.toCbor()) {}
    protocol::CborItem item() const { return protocol::CborItem{bytes.constData(), bytes.size()}; }
    QByteArray bytes;
};

} // namespace korvane::codec
