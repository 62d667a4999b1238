#include "report/pages/Compress.h"

#include <QObject>

namespace {

[[noreturn]] void codeEnds()
{
    throw ECompressError(QObject::tr("The compressed page data ends too early"));
}

} // namespace

TRpCompress::TRpCompress()
{
    ResetSplayTree();
}

void TRpCompress::ResetSplayTree()
{
    m_up[0] = 0;
    for (int i = 1; i <= 512; ++i)
        m_up[i] = std::uint8_t((i - 1) / 2);
    for (int i = 0; i <= 255; ++i) {
        m_child[i][0] = std::uint16_t(2 * i + 1);
        m_child[i][1] = std::uint16_t(2 * i + 2);
    }
    m_outBits = 0;
    m_outCount = 0;
    m_inBits = 0;
    m_inCount = 0;
}

void TRpCompress::SplayUp(std::uint8_t value)
{
    unsigned a = 256u + value;
    do {
        const unsigned c = m_up[a];
        if (c != 0) {
            const unsigned d = m_up[c];
            unsigned b = m_child[d][0];
            if (b == c) {
                b = m_child[d][1];
                m_child[d][1] = std::uint16_t(a);
            } else {
                m_child[d][0] = std::uint16_t(a);
            }
            if (a == m_child[c][0])
                m_child[c][0] = std::uint16_t(b);
            else
                m_child[c][1] = std::uint16_t(b);
            m_up[a] = std::uint8_t(d);
            m_up[b] = std::uint8_t(c);
            a = d;
        } else {
            a = 0;
        }
    } while (a != 0);
}

bool TRpCompress::codeOf(std::uint8_t value, std::uint64_t &bits, int &length) const
{
    // Walking up from the leaf, each new bit goes below the ones noted so far, so the bit nearest the root
    // ends in bit 0: the order in which the bits are written.
    bits = 0;
    length = 0;
    unsigned node = 256u + value;
    do {
        const unsigned parent = m_up[node];
        bits = (bits << 1) | (m_child[parent][1] == node ? 1u : 0u);
        ++length;
        node = parent;
    } while (node != 0 && length < 57);
    return node == 0;
}

void TRpCompress::putBits(std::uint64_t bits, int length, QByteArray &out)
{
    m_outBits |= bits << m_outCount;
    m_outCount += length;
    while (m_outCount >= 8) {
        out.append(char(m_outBits & 0xFF));
        m_outBits >>= 8;
        m_outCount -= 8;
    }
}

void TRpCompress::EncodeByte(std::uint8_t value, QByteArray &out)
{
    std::uint64_t bits;
    int length;
    if (!codeOf(value, bits, length)) {
        // A leaf deeper than 57 levels (only a long run of unusual input makes one): the path is noted node
        // by node and written from the root down.
        std::array<bool, 260> path;
        length = 0;
        unsigned node = 256u + value;
        do {
            const unsigned parent = m_up[node];
            path[length++] = m_child[parent][1] == node;
            node = parent;
        } while (node != 0);
        while (length > 0)
            putBits(path[--length] ? 1 : 0, 1, out);
    } else {
        putBits(bits, length, out);
    }
    SplayUp(value);
}

void TRpCompress::Flush(QByteArray &out)
{
    if (m_outCount != 0)
        out.append(char(m_outBits & 0xFF));
    m_outBits = 0;
    m_outCount = 0;
}

void TRpCompress::StartDecoding(const char *data, qsizetype size)
{
    m_in = reinterpret_cast<const std::uint8_t *>(data);
    m_inEnd = m_in + size;
    m_inBits = 0;
    m_inCount = 0;
}

std::uint8_t TRpCompress::DecodeByte()
{
    unsigned node = 0;
    do {
        if (m_inCount == 0) {
            // Refill up to eight bytes at once; bytes enter above the bits already held.
            if (m_in == m_inEnd)
                codeEnds();
            while (m_inCount <= 56 && m_in != m_inEnd) {
                m_inBits |= std::uint64_t(*m_in++) << m_inCount;
                m_inCount += 8;
            }
        }
        node = m_child[node][m_inBits & 1u];
        m_inBits >>= 1;
        --m_inCount;
    } while (node < 256);
    const auto value = std::uint8_t(node - 256);
    SplayUp(value);
    return value;
}

QByteArray TRpCompress::compress(const QByteArray &plain)
{
    // The same bits EncodeByte writes, gathered in a word and stored into a buffer grown ahead of need
    // (a code of up to 57 bits adds at most eight bytes).
    TRpCompress coder;
    QByteArray out(plain.size() / 2 + 64, Qt::Uninitialized);
    char *buffer = out.data();
    qsizetype used = 0;
    std::uint64_t pending = 0;
    int pendingCount = 0;
    auto put = [&](std::uint64_t bits, int length) {
        if (used + 16 > out.size()) {
            out.resize(out.size() * 2);
            buffer = out.data();
        }
        pending |= bits << pendingCount;
        pendingCount += length;
        while (pendingCount >= 8) {
            buffer[used++] = char(pending & 0xFF);
            pending >>= 8;
            pendingCount -= 8;
        }
    };
    for (const char c : plain) {
        const auto value = std::uint8_t(c);
        std::uint64_t bits;
        int length;
        if (coder.codeOf(value, bits, length)) {
            put(bits, length);
        } else {
            QByteArray slow;
            coder.m_outBits = pending;
            coder.m_outCount = pendingCount;
            pending = 0;
            pendingCount = 0;
            coder.EncodeByte(value, slow);
            for (const char b : slow)
                put(std::uint8_t(b), 8);
            put(coder.m_outBits, coder.m_outCount);
            coder.m_outBits = 0;
            coder.m_outCount = 0;
            continue;
        }
        coder.SplayUp(value);
    }
    if (pendingCount > 0)
        put(0, 8 - pendingCount);
    out.truncate(used);
    return out;
}

QByteArray TRpCompress::decompress(const char *code, qsizetype codeSize, qint64 count)
{
    if (count < 0 || count > qint64(codeSize) * 8)
        throw ECompressError(
            QObject::tr("The compressed page declares %1 bytes in %2 code bytes").arg(count).arg(codeSize));
    TRpCompress coder;
    coder.StartDecoding(code, codeSize);
    QByteArray out(qsizetype(count), Qt::Uninitialized);
    char *target = out.data();
    for (qint64 i = 0; i < count; ++i)
        target[i] = char(coder.DecodeByte());
    return out;
}
