#pragma once

#include "store/DatabaseError.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstring>
#include <type_traits>

// Bounds-checked little-endian reading of untrusted bytes: every read checks the bytes remaining first and
// throws EStoreError(InvalidPacket) with a message naming the source and the problem when they run short.
class ByteReader
{
public:
    ByteReader(const QByteArray &data, QString source)
        : m_data(data)
        , m_source(std::move(source))
    { }

    qint64 position() const { return m_position; }
    qint64 remaining() const { return qint64(m_data.size()) - m_position; }
    bool atEnd() const { return remaining() == 0; }

    template <class T> T read()
    {
        static_assert(std::is_integral_v<T> || std::is_floating_point_v<T>);
        need(qint64(sizeof(T)));
        T value;
        std::memcpy(&value, m_data.constData() + m_position, sizeof value);
        m_position += qint64(sizeof value);
        return value; // packets are little-endian, like every machine the program builds for
    }
    // Pointer to the next `n` bytes, which are consumed.
    const char *bytes(qint64 n)
    {
        need(n);
        const char *p = m_data.constData() + m_position;
        m_position += n;
        return p;
    }
    // The next bytes, not consumed (check remaining() first).
    const char *peek() const { return m_data.constData() + m_position; }
    void skip(qint64 n)
    {
        need(n);
        m_position += n;
    }
    void seek(qint64 position) { m_position = std::clamp<qint64>(position, 0, m_data.size()); }
    // Bytes already read, from `from` on.
    QByteArray slice(qint64 from, qint64 length) const { return m_data.mid(from, length); }
    // An unsigned length of 1, 2 or 4 bytes.
    quint32 readLength(int prefixSize)
    {
        switch (prefixSize) {
        case 1:
            return read<quint8>();
        case 2:
            return read<quint16>();
        default:
            return read<quint32>();
        }
    }
    void need(qint64 n) const
    {
        if (n < 0 || n > remaining())
            fail(QStringLiteral("the file ends too early (at byte %1)").arg(m_position));
    }
    [[noreturn]] void fail(const QString &problem, int status = StoreStatus::InvalidPacket) const
    {
        throw EStoreError(status, QStringLiteral("%1 is not a valid table file: %2").arg(m_source, problem));
    }
    const QString &source() const { return m_source; }

private:
    const QByteArray &m_data;
    QString m_source;
    qint64 m_position = 0;
};
