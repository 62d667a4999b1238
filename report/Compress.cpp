#include "report/Compress.h"

#include <QObject>

TRpCompress::TRpCompress()
{
    ResetSplayTree();
}

void TRpCompress::ResetSplayTree()
{
    for (int i = 1; i <= 512; ++i)
        m_up[i] = std::uint8_t((i - 1) / 2);
    m_up[0] = 0;
    for (int i = 0; i <= 255; ++i) {
        m_left[i] = std::uint16_t(2 * i + 1);
        m_right[i] = std::uint16_t(2 * i + 2);
    }
    m_outByte = 0;
    m_outPosition = 0;
    m_inByte = 0;
    m_inPosition = 7;
}

void TRpCompress::SplayUp(std::uint8_t value)
{
    unsigned a = 256u + value;
    do {
        const unsigned c = m_up[a];
        if (c != 0) {
            const unsigned d = m_up[c];
            unsigned b = m_left[d];
            if (b == c) {
                b = m_right[d];
                m_right[d] = std::uint16_t(a);
            } else {
                m_left[d] = std::uint16_t(a);
            }
            if (a == m_left[c])
                m_left[c] = std::uint16_t(b);
            else
                m_right[c] = std::uint16_t(b);
            m_up[a] = std::uint8_t(d);
            m_up[b] = std::uint8_t(c);
            a = d;
        } else {
            a = 0;
        }
    } while (a != 0);
}

void TRpCompress::EncodeByte(std::uint8_t value, QByteArray &out)
{
    // The path is noted from the leaf upwards and written from the root down. A path is at most 256 nodes
    // long (every inner node at most once).
    std::array<bool, 260> path;
    int length = 0;
    unsigned node = 256u + value;
    do {
        const unsigned parent = m_up[node];
        path[length++] = (m_right[parent] == node);
        node = parent;
    } while (node != 0);
    while (length > 0) {
        if (path[--length])
            m_outByte |= std::uint8_t(1u << m_outPosition);
        if (m_outPosition == 7) {
            out.append(char(m_outByte));
            m_outByte = 0;
            m_outPosition = 0;
        } else {
            ++m_outPosition;
        }
    }
    SplayUp(value);
}

void TRpCompress::Flush(QByteArray &out)
{
    if (m_outPosition != 0)
        out.append(char(m_outByte));
    m_outByte = 0;
    m_outPosition = 0;
}

void TRpCompress::StartDecoding(const char *data, qsizetype size)
{
    m_in = reinterpret_cast<const std::uint8_t *>(data);
    m_inEnd = m_in + size;
    m_inByte = 0;
    m_inPosition = 7;
}

std::uint8_t TRpCompress::DecodeByte()
{
    unsigned node = 0;
    do {
        if (m_inPosition == 7) {
            if (m_in == m_inEnd)
                throw ECompressError(QObject::tr("The compressed page data ends too early"));
            m_inByte = *m_in++;
            m_inPosition = 0;
        } else {
            ++m_inPosition;
        }
        node = ((m_inByte >> m_inPosition) & 1u) ? m_right[node] : m_left[node];
    } while (node < 256);
    const auto value = std::uint8_t(node - 256);
    SplayUp(value);
    return value;
}

QByteArray TRpCompress::compress(const QByteArray &plain)
{
    TRpCompress coder;
    QByteArray out;
    out.reserve(plain.size() / 2 + 16);
    for (const char c : plain)
        coder.EncodeByte(std::uint8_t(c), out);
    coder.Flush(out);
    return out;
}

QByteArray TRpCompress::decompress(const char *code, qsizetype codeSize, qint64 count)
{
    if (count < 0 || count > qint64(codeSize) * 8)
        throw ECompressError(QObject::tr("The compressed page declares %1 bytes in %2 code bytes")
                                 .arg(count)
                                 .arg(codeSize));
    TRpCompress coder;
    coder.StartDecoding(code, codeSize);
    QByteArray out(qsizetype(count), Qt::Uninitialized);
    char *target = out.data();
    for (qint64 i = 0; i < count; ++i)
        target[i] = char(coder.DecodeByte());
    return out;
}
