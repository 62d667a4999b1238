#include "store/detail/PacketRows.h"

#include <cstring>

namespace {

inline char *putLength(char *out, int prefix, quint32 length)
{
    switch (prefix) {
    case 1:
        *out = char(length);
        return out + 1;
    case 2:
        out[0] = char(length);
        out[1] = char(length >> 8);
        return out + 2;
    default:
        for (int i = 0; i < prefix; ++i)
            out[i] = char(length >> (8 * i));
        return out + prefix;
    }
}

// A text slot holds the text followed by zeros; a full slot has no zero before its last byte.
inline int textLength(const char *value, int size)
{
    const char *end = static_cast<const char *>(std::memchr(value, 0, size_t(size)));
    return end ? int(end - value) : size - 1;
}

} // namespace

PacketRows::PacketRows(
    const std::vector<ColumnDesc> &columns, const RecordLayout &layout, std::vector<int> prefixes)
{
    const int count = layout.columnCount();
    m_flagBytes = (count + 3) / 4;
    m_maxRowBytes = 1 + m_flagBytes;
    for (int i = 0; i < count; ++i) {
        Column c { Column::Fixed, layout.stateOffset(i), layout.valueOffset(i), layout.valueSize(i),
            prefixes[size_t(i)], 0 };
        if (columns[size_t(i)].type == StoreType::Text) {
            c.kind = Column::Text;
            c.maxLength = columns[size_t(i)].width;
            m_maxRowBytes += c.prefix + std::max(1, c.size - 1);
        } else if (c.prefix > 0) {
            c.kind = Column::Varying;
            c.maxLength = c.size - 2;
            m_maxRowBytes += c.prefix + c.size - 2;
        } else {
            m_maxRowBytes += c.size;
        }
        m_columns.push_back(c);
    }
}

char *PacketRows::encode(const char *record, quint8 status, char *out) const
{
    *out++ = char(status);
    char *flags = out;
    std::memset(flags, 0, size_t(m_flagBytes));
    out += m_flagBytes;
    const int count = int(m_columns.size());
    for (int i = 0; i < count; ++i) {
        const Column &c = m_columns[size_t(i)];
        const char state = record[c.stateOffset];
        if (state != 0) {
            flags[i >> 2] = char(flags[i >> 2] | ((state == 1 ? 1 : 2) << (2 * (i & 3))));
            continue;
        }
        const char *value = record + c.valueOffset;
        switch (c.kind) {
        case Column::Fixed:
            std::memcpy(out, value, size_t(c.size));
            out += c.size;
            break;
        case Column::Text: {
            const int length = textLength(value, c.size);
            if (length == 0) {
                // An empty text: its terminating zero alone.
                out = putLength(out, c.prefix, 1);
                *out++ = 0;
            } else {
                out = putLength(out, c.prefix, quint32(length));
                std::memcpy(out, value, size_t(length));
                out += length;
            }
            break;
        }
        case Column::Varying: {
            const int length = std::min(quint8(value[0]) | (quint8(value[1]) << 8), c.size - 2);
            out = putLength(out, c.prefix, quint32(length));
            std::memcpy(out, value + 2, size_t(length));
            out += length;
            break;
        }
        }
    }
    return out;
}

qint64 PacketRows::encodedSize(const char *record) const
{
    qint64 bytes = 1 + m_flagBytes;
    for (const Column &c : m_columns) {
        if (record[c.stateOffset] != 0)
            continue;
        const char *value = record + c.valueOffset;
        switch (c.kind) {
        case Column::Fixed:
            bytes += c.size;
            break;
        case Column::Text:
            bytes += c.prefix + std::max(1, textLength(value, c.size));
            break;
        case Column::Varying:
            bytes += c.prefix + std::min(quint8(value[0]) | (quint8(value[1]) << 8), c.size - 2);
            break;
        }
    }
    return bytes;
}

quint8 PacketRows::readStatus(ByteReader &in, qint64 row) const
{
    const quint8 status = in.read<quint8>();
    if (status & ~quint8(0x2F))
        in.fail(QStringLiteral("row %1 has an unknown status %2").arg(row).arg(status));
    return status;
}

void PacketRows::decodeValues(ByteReader &in, char *record, qint64 row) const
{
    const char *flags = in.bytes(m_flagBytes);
    const int count = int(m_columns.size());
    for (int i = 0; i < count; ++i) {
        const Column &c = m_columns[size_t(i)];
        const int bits = (quint8(flags[i >> 2]) >> (2 * (i & 3))) & 3;
        if (bits) {
            record[c.stateOffset] = char(bits & 1 ? FieldState::Null : FieldState::Unassigned);
            continue;
        }
        char *value = record + c.valueOffset;
        if (c.kind == Column::Fixed) {
            std::memcpy(value, in.bytes(c.size), size_t(c.size));
            continue;
        }
        const quint32 length = in.readLength(c.prefix);
        const char *bytes = in.bytes(length);
        if (c.kind == Column::Text) {
            // A one-byte text may be the empty text's terminating zero.
            if (length > quint32(c.maxLength) && !(length == 1 && bytes[0] == 0))
                in.fail(QStringLiteral("a text of row %1 is longer than its column").arg(row));
            const char *end = static_cast<const char *>(std::memchr(bytes, 0, length));
            std::memcpy(value, bytes, size_t(end ? end - bytes : length));
        } else {
            if (length > quint32(c.maxLength))
                in.fail(QStringLiteral("a value of row %1 is longer than its column").arg(row));
            value[0] = char(length & 0xFF);
            value[1] = char(length >> 8);
            std::memcpy(value + 2, bytes, length);
        }
    }
}

const char *PacketRows::decodeValuesInPlace(const char *p, char *record) const
{
    const char *flags = p;
    p += m_flagBytes;
    const int count = int(m_columns.size());
    for (int i = 0; i < count; ++i) {
        const Column &c = m_columns[size_t(i)];
        const int bits = (quint8(flags[i >> 2]) >> (2 * (i & 3))) & 3;
        if (bits) {
            record[c.stateOffset] = char(bits & 1 ? FieldState::Null : FieldState::Unassigned);
            continue;
        }
        char *value = record + c.valueOffset;
        if (c.kind == Column::Fixed) {
            std::memcpy(value, p, size_t(c.size));
            p += c.size;
            continue;
        }
        quint32 length = quint8(p[0]);
        if (c.prefix >= 2)
            length |= quint32(quint8(p[1])) << 8;
        if (c.prefix == 4)
            length |= (quint32(quint8(p[2])) << 16) | (quint32(quint8(p[3])) << 24);
        else if (c.prefix != 1 && c.prefix != 2)
            return nullptr;
        p += c.prefix;
        if (c.kind == Column::Text) {
            if (length > quint32(c.maxLength) && !(length == 1 && p[0] == 0))
                return nullptr;
            const char *end = static_cast<const char *>(std::memchr(p, 0, length));
            std::memcpy(value, p, size_t(end ? end - p : length));
        } else {
            if (length > quint32(c.maxLength))
                return nullptr;
            value[0] = char(length & 0xFF);
            value[1] = char(length >> 8);
            std::memcpy(value + 2, p, length);
        }
        p += length;
    }
    return p;
}
