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
    // The deepest a leaf can lie: one level per inner node.
    static constexpr int kMaxDepth = 256;
    // Codes up to this length go through the 64-bit bit buffers in one piece.
    static constexpr int kWordCode = 56;
    // The levels the decoder walks with the slots passed kept in registers.
    static constexpr int kRegisterLevels = 12;

    // The slots from the leaf of `value` up to the root, the leaf's own first (see m_up). Returns the code
    // length.
    int pathOf(std::uint8_t value, std::uint16_t *path) const;
    // The code bits of a path, the bit nearest the root in bit 0; the path must be at most kWordCode long.
    static std::uint64_t codeOf(const std::uint16_t *path, int length);
    // Moves a leaf up its path (noted from the root down: path[j] is the slot of the node of level j + 1),
    // two levels per step: each step swaps the node with its parent's sibling.
    // KeepUp: also keep m_up, which only coding reads.
    template <bool KeepUp> void splayDown(unsigned leaf, const std::uint16_t *path, int length);
    // One step: node a in slot slotOfA, whose parent sits in slotOfParent, changes places with the parent's
    // sibling.
    template <bool KeepUp> void rotate(unsigned a, unsigned slotOfA, unsigned slotOfParent);
    void putBits(std::uint64_t bits, int length, QByteArray &out);
    template <bool KeepUp> std::uint8_t decodeOne();
    // The slow way down for a leaf deeper than the decoder's bit buffer holds.
    template <bool KeepUp> std::uint8_t decodeDeep();
    void refill();

    // The tree as slots: the children of inner node i sit in slots 2i (left) and 2i + 1 (right), so a code
    // bit appended to a node number gives the slot of the child it selects. m_child[s] holds twice the node
    // in slot s (the first slot of that node's own children; 512 and above for a leaf, whose "children"
    // slots 2n and 2n + 1 are kept only for m_up). m_up[s] is the slot that holds the node owning slot s, so
    // walking up is one load per level: m_up[2n] is n's own slot, and bit 0 of a slot is the code bit that
    // leads into it. Slots 0 and 1 belong to the root, which has no slot.
    std::array<std::uint16_t, 1026> m_up {};
    std::array<std::uint16_t, 512> m_child {};

    // Encoder bit buffer of the stepwise interface: the bits not yet written, the first one in bit 0.
    std::uint64_t m_outBits = 0;
    int m_outCount = 0;
    // Decoder input: the bits not yet used, the next one in bit 0.
    const std::uint8_t *m_in = nullptr;
    const std::uint8_t *m_inEnd = nullptr;
    std::uint64_t m_inBits = 0;
    int m_inCount = 0;
};
