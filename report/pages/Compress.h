#pragma once

#include "platform/Exceptions.h"

#include <QByteArray>
#include <array>
#include <cstdint>

// A page that cannot be decoded: its code bits end before the declared number of bytes.
class ECompressError : public Exception
{
public:
    using Exception::Exception;
};

// The page compression: an adaptive splay-tree prefix code over the 256 byte values. Every page is coded with
// a fresh tree, so any page decodes without the others. Node 0 is the root, nodes 0..255 are inner nodes and
// node 256 + s is the leaf of byte value s (node 512 is a leaf no byte uses). Bits fill each code byte from
// the least significant bit to the most significant one; the last byte is padded with zero bits.
class TRpCompress
{
public:
    TRpCompress();

    void ResetSplayTree();

    // Appends the code of `value` to `out` (the partial byte stays in the bit buffer until Flush) and moves
    // the value's leaf up the tree.
    void EncodeByte(std::uint8_t value, QByteArray &out);
    // Writes a partly filled buffer byte and empties the buffer.
    void Flush(QByteArray &out);

    // Starts decoding the code bytes [data, data + size); the bytes must outlive the decoding.
    void StartDecoding(const char *data, qsizetype size);
    // The next byte value; ECompressError when the code bytes run out first.
    std::uint8_t DecodeByte();

    // A whole page: the bytes coded with a fresh tree, the last byte padded.
    static QByteArray compress(const QByteArray &plain);
    // Decodes `count` bytes from the code bytes with a fresh tree. Never writes beyond `count` bytes and
    // throws ECompressError when the code is too short (or when count is negative or more than eight bytes
    // per code byte, which no coder produces: every code is at least one bit long).
    static QByteArray decompress(const char *code, qsizetype codeSize, qint64 count);

private:
    void SplayUp(std::uint8_t value);
    // The code of `value` with the bit nearest the root in bit 0; false when it is longer than 57 bits.
    bool codeOf(std::uint8_t value, std::uint64_t &bits, int &length) const;
    void putBits(std::uint64_t bits, int length, QByteArray &out);

    // Parents of nodes 0..512, and the children of the inner nodes: m_child[i][0] is left[i], m_child[i][1]
    // is right[i] (kept side by side so that a code bit selects the child directly).
    std::array<std::uint8_t, 513> m_up {};
    std::array<std::array<std::uint16_t, 2>, 256> m_child {};

    // Encoder bit buffer: the bits not yet written, the first one in bit 0.
    std::uint64_t m_outBits = 0;
    int m_outCount = 0;
    // Decoder input: the bits not yet used, the next one in bit 0.
    const std::uint8_t *m_in = nullptr;
    const std::uint8_t *m_inEnd = nullptr;
    std::uint64_t m_inBits = 0;
    int m_inCount = 0;
};
