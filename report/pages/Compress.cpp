#include "report/pages/Compress.h"

#include <QObject>
#include <algorithm>
#include <cstring>
#include <utility>

// The tree lives in two flat arrays of slots (see Compress.h). Walking from a leaf to the root is one load
// per level and yields the code bits on the way; walking down is one load per level too. A splay step is
// one load and four stores, with the sides taken from the noted path instead of comparing children. Bits
// travel through 64-bit buffers that are stored and loaded eight bytes at a time.

namespace {

[[noreturn]] void codeEnds()
{
    throw ECompressError(QObject::tr("The compressed page data ends too early"));
}

// Appends `length` (at most 56) bits to a bit buffer holding fewer than 8 pending bits, and stores the whole
// bytes: eight bytes are written at `out`, which must have room for them.
inline void emitBits(std::uint64_t bits, int length, std::uint64_t &pending, int &pendingCount, char *&out)
{
    pending |= bits << pendingCount;
    pendingCount += length;
    const std::uint64_t word = pending;
    std::memcpy(out, &word, sizeof word);
    const int whole = pendingCount >> 3;
    out += whole;
    pending >>= whole * 8;
    pendingCount &= 7;
}

// Makes the compiler hold `value` in a register at this point and forget how it was made.
template <typename T> inline void inRegister([[maybe_unused]] T &value)
{
#if defined(__GNUC__)
    asm("" : "+r"(value));
#endif
}

// The same pointer, but the optimizer can no longer see how it was made. Walking down the tree, `child + bit`
// stays a pointer of its own, worked out while the load of the level before is still on its way, instead of
// being folded into the index as `child[twice | bit]`, which would put the `or` on the chain of loads.
template <typename T> inline T *opaque(T *pointer)
{
    inRegister(pointer);
    return pointer;
}

// Tops up a bit buffer holding `count` bits (the next one in bit 0 of `bits`) from the code bytes [in, end).
inline void refillBits(const std::uint8_t *&in, const std::uint8_t *end, std::uint64_t &bits, int &count)
{
    if (end - in >= 8) [[likely]] {
        // Eight bytes enter above the bits held; only the whole bytes that fit are counted, and the part of
        // the last one that came in too is the same bits the next refill brings again.
        std::uint64_t word;
        std::memcpy(&word, in, sizeof word);
        bits |= word << count;
        in += (63 - count) >> 3;
        count |= 56;
        return;
    }
    while (count <= 56 && in != end) {
        bits |= std::uint64_t(*in++) << count;
        count += 8;
    }
}

// Down through the slots `child` (see TRpCompress::m_child) from the node `twice` at `depth`, along the code
// bits, bit `depth` of `bits` next, as far as `available` bits reach: notes the slots passed in `path`, leaves
// `twice` at the node reached (a leaf, unless the bits ran out first) and returns the depth.
inline int walkOn(const std::uint16_t *child, std::uint64_t bits, unsigned &twice, std::uint16_t *path, int depth,
    int available)
{
    std::uint64_t rest = bits >> depth;
    // One level down; true at a leaf. Each level waits for the load of the level before, so that load is all
    // the chain holds: the code bit picks the row (the left or the right slots) beforehand, off the chain,
    // where `twice | bit` would put one more step on it.
    const auto down = [&] {
        const unsigned bit = unsigned(rest & 1u);
        rest >>= 1;
        const std::uint16_t *const row = opaque(child + bit);
        path[depth++] = std::uint16_t(twice | bit);
        twice = row[twice];
        return twice >= 512;
    };
    // Four levels one after the other, with one test of the bits left for all four: each level's leaf test
    // is a branch of its own, which the processor predicts for the depth it stands for.
    while (depth + 4 <= available) {
        if (down() || down() || down() || down())
            return depth;
    }
    while (depth < available) {
        if (down())
            break;
    }
    return depth;
}

} // namespace

TRpCompress::TRpCompress()
{
    ResetSplayTree();
}

void TRpCompress::ResetSplayTree()
{
    // left[i] = 2i + 1 and right[i] = 2i + 2: node n (1..512) starts in slot n - 1.
    for (int slot = 0; slot < 512; ++slot)
        m_child[size_t(slot)] = std::uint16_t(2 * (slot + 1));
    for (int slot = 0; slot < int(m_up.size()); ++slot) {
        const int owner = slot >> 1;
        m_up[size_t(slot)] = std::uint16_t(owner == 0 ? 0 : owner - 1);
    }
    m_outBits = 0;
    m_outCount = 0;
    m_inBits = 0;
    m_inCount = 0;
}

int TRpCompress::pathOf(std::uint8_t value, std::uint16_t *path) const
{
    unsigned slot = m_up[2 * (256u + value)];
    int length = 0;
    for (;;) {
        path[length++] = std::uint16_t(slot);
        if (slot < 2)
            return length;
        slot = m_up[slot];
    }
}

std::uint64_t TRpCompress::codeOf(const std::uint16_t *path, int length)
{
    // Walking up from the leaf, each new bit goes below the ones noted so far, so the bit nearest the root
    // ends in bit 0: the order in which the bits are written.
    std::uint64_t bits = 0;
    for (int k = 0; k < length; ++k)
        bits = (bits << 1) | (path[k] & 1u);
    return bits;
}

template <bool KeepUp> inline void TRpCompress::rotate(unsigned a, unsigned slotOfA, unsigned slotOfParent)
{
    // a's parent c sits in slotOfParent below d; c's sibling b, in the other slot of d, and a change places.
    // Only the slots below a and b learn their new owner's place; c and d keep theirs.
    const unsigned slotOfB = slotOfParent ^ 1u;
    const unsigned twiceB = m_child[slotOfB];
    m_child[slotOfB] = std::uint16_t(2 * a);
    m_child[slotOfA] = std::uint16_t(twiceB);
    if constexpr (KeepUp) {
        // Both slots of a node at once (a node's two slots are one aligned 32-bit word).
        const std::uint32_t pairB = slotOfB * 0x10001u;
        const std::uint32_t pairA = slotOfA * 0x10001u;
        std::memcpy(&m_up[2 * a], &pairB, sizeof pairB);
        std::memcpy(&m_up[twiceB], &pairA, sizeof pairA);
    }
}

template <bool KeepUp>
inline void TRpCompress::splayDown(unsigned leaf, const std::uint16_t *path, int length)
{
    // A step takes the node a, its parent c and c's parent d from the path; d is never changed by the steps
    // below it, so the path noted before the first step still holds for the next one.
    unsigned a = leaf;
    for (int j = length - 1; j >= 1; j -= 2) {
        rotate<KeepUp>(a, path[j], path[j - 1]);
        a = path[j - 1] >> 1u;
    }
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
    std::uint16_t up[kMaxDepth];
    const int length = pathOf(value, up);
    // From the root down, in pieces the bit buffer takes whole.
    for (int end = length; end > 0;) {
        const int piece = std::min(end, kWordCode);
        putBits(codeOf(up + end - piece, piece), piece, out);
        end -= piece;
    }
    std::uint16_t down[kMaxDepth];
    for (int k = 0; k < length; ++k)
        down[k] = up[length - 1 - k];
    splayDown<true>(256u + value, down, length);
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

inline void TRpCompress::refill()
{
    refillBits(m_in, m_inEnd, m_inBits, m_inCount);
}

template <bool KeepUp> std::uint8_t TRpCompress::decodeDeep()
{
    std::uint16_t path[kMaxDepth];
    unsigned twice = 0;
    int depth = 0;
    do {
        if (m_inCount == 0) {
            refill();
            if (m_inCount == 0)
                codeEnds();
        }
        const unsigned slot = twice | unsigned(m_inBits & 1u);
        m_inBits >>= 1;
        --m_inCount;
        path[depth++] = std::uint16_t(slot);
        twice = m_child[slot];
    } while (twice < 512);
    splayDown<KeepUp>(twice >> 1, path, depth);
    return std::uint8_t((twice >> 1) - 256);
}

template <bool KeepUp> inline std::uint8_t TRpCompress::decodeOne()
{
    if (m_inCount < kWordCode)
        refill();
    // Down from the root as far as the buffered bits reach, noting the path; the bits are only used up once
    // a leaf is found, so a deeper leaf starts again on the slow way.
    std::uint16_t path[kWordCode + 8];
    const std::uint64_t bits = m_inBits;
    const int available = m_inCount;
    unsigned twice = 0;
    int depth = 0;
    std::uint64_t rest = bits;
    do {
        if (depth == available)
            return decodeDeep<KeepUp>();
        const unsigned slot = twice | unsigned(rest & 1u);
        rest >>= 1;
        path[depth++] = std::uint16_t(slot);
        twice = m_child[slot];
    } while (twice < 512);
    m_inBits = rest;
    m_inCount -= depth;
    splayDown<KeepUp>(twice >> 1, path, depth);
    return std::uint8_t((twice >> 1) - 256);
}

std::uint8_t TRpCompress::DecodeByte()
{
    return decodeOne<true>();
}

QByteArray TRpCompress::compress(const QByteArray &plain)
{
    if (plain.isEmpty())
        return QByteArray();
    TRpCompress coder;
    // Room for the worst case of the next byte (a code of kMaxDepth bits) and the eight-byte stores.
    constexpr qsizetype kSlack = kMaxDepth / 8 + 16;
    QByteArray out(plain.size() / 2 + 2 * kSlack, Qt::Uninitialized);
    char *begin = out.data();
    char *cursor = begin;
    char *limit = begin + out.size() - kSlack;
    std::uint64_t pending = 0;
    int pendingCount = 0;
    std::uint8_t bits[kMaxDepth];
    // The root's two slots (see m_child), kept in registers as well: a node is a child of the root when twice
    // its number is one of them, which the walk up tests instead of loading where that node sits. Only a step
    // at the root's own level changes them.
    unsigned rootLeft = coder.m_child[0];
    unsigned rootRight = coder.m_child[1];
    const char *next = plain.constData();
    const char *const end = next + plain.size();
    while (next != end) {
        if (cursor > limit) {
            const qsizetype used = cursor - begin;
            out.resize(out.size() * 2);
            begin = out.data();
            cursor = begin + used;
            limit = begin + out.size() - kSlack;
        }
        unsigned a = 256u + std::uint8_t(*next++);
        unsigned slotOfA = coder.m_up[2 * a];
        // A leaf that is a child of the root: one bit, and the tree stays as it is.
        if (slotOfA < 2) {
            emitBits(slotOfA, 1, pending, pendingCount, cursor);
            continue;
        }
        // Up from the leaf two levels at a time, splaying on the way: a step changes only the places noted
        // for the node and for its parent's sibling, below the slots still to be read, so the walk reads
        // the path as it was and gathers the code of the unchanged tree.
        int length = 1;
        std::uint64_t code = slotOfA & 1u;
        // The walk notes the code in `code` alone as long as it fits the bit buffer; a longer one is walked on
        // with every bit noted in `bits` as well (Long), the leaf's first, and goes out in pieces.
        const auto walk = [&]<bool Long>(std::bool_constant<Long>) {
            const auto note = [&](unsigned bit) {
                if constexpr (Long)
                    bits[length] = std::uint8_t(bit);
                ++length;
                code = (code << 1) | bit;
            };
            // Most walks end within a step or two; saying so keeps the compiler from giving the loop's
            // registers to the walk and moving the output into memory.
            for (;;) {
                // a's parent owns slotOfA; where the parent sits is known without a load at the top.
                const unsigned twiceParent = slotOfA & ~1u;
                if (twiceParent == rootLeft || twiceParent == rootRight) [[likely]] {
                    const unsigned slotOfParent = twiceParent == rootRight ? 1u : 0u;
                    note(slotOfParent);
                    coder.rotate<true>(a, slotOfA, slotOfParent);
                    if (slotOfParent != 0)
                        rootLeft = 2 * a;
                    else
                        rootRight = 2 * a;
                    return true;
                }
                const unsigned slotOfParent = coder.m_up[slotOfA];
                note(slotOfParent & 1u);
                coder.rotate<true>(a, slotOfA, slotOfParent);
                const unsigned twiceAbove = slotOfParent & ~1u;
                if (twiceAbove == rootLeft || twiceAbove == rootRight) [[likely]] {
                    note(twiceAbove == rootRight ? 1u : 0u);
                    return true;
                }
                a = slotOfParent >> 1;
                slotOfA = coder.m_up[slotOfParent];
                note(slotOfA & 1u);
                if constexpr (!Long) {
                    // A step adds two bits at most: stop while the code still fits.
                    if (length > kWordCode - 2) [[unlikely]]
                        return false;
                    // The output cursor and the bit count go from every byte to the next. Left to itself, the
                    // compiler gives the walk's registers precedence and keeps those two in memory, which puts
                    // a store and a load on that carry for every byte.
                    inRegister(cursor);
                    inRegister(pendingCount);
                }
            }
        };
        if (walk(std::false_type())) {
            emitBits(code, length, pending, pendingCount, cursor);
            continue;
        }
        for (int k = 0; k < length; ++k)
            bits[k] = std::uint8_t((code >> (length - 1 - k)) & 1u);
        walk(std::true_type());
        // From the root down, in pieces the bit buffer takes whole.
        for (int last = length; last > 0;) {
            const int piece = std::min(last, kWordCode);
            std::uint64_t part = 0;
            for (int k = last - piece; k < last; ++k)
                part = (part << 1) | bits[k];
            emitBits(part, piece, pending, pendingCount, cursor);
            last -= piece;
        }
    }
    if (pendingCount > 0)
        *cursor++ = char(pending & 0xFF);
    out.truncate(cursor - begin);
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
    char *const targetEnd = target + count;
    // The bit buffer stays in locals: in the coder the compiler would store and load it around every store
    // into the tree. A leaf deeper than the buffered bits goes the slow way through the coder's own buffer. A
    // coder made for one page only decodes, so the upward places, which only coding reads, are left alone.
    std::uint16_t *const child = coder.m_child.data();
    const std::uint8_t *in = coder.m_in;
    const std::uint8_t *const inEnd = coder.m_inEnd;
    std::uint64_t inBits = 0;
    int inCount = 0;
    std::uint16_t path[kWordCode + 8];
    while (target != targetEnd) {
        // The bits before the refill: they start the walk while the refill's load is still on its way.
        const std::uint64_t early = inBits;
        const int earlyCount = inCount;
        // Refilled before every byte, not only when the buffer runs low: whether it runs low follows the code
        // lengths, which the processor cannot foresee, and a mispredicted refill costs more than a refill.
        // With the buffer full the load adds nothing: no whole byte is counted and the bits above the count
        // are the same ones again.
        refillBits(in, inEnd, inBits, inCount);
        // The first levels, from the early bits, with the slots passed in registers: a leaf found there
        // (nearly every byte of a report page) is splayed at once, without its path going through memory.
        // Every index into `passed` is a constant, which is what lets the compiler keep it in registers.
        unsigned twice = 0;
        int depth = 0;
        if (earlyCount >= kRegisterLevels) [[likely]] {
            unsigned passed[kRegisterLevels];
            // The steps of the splay for a leaf found at depth Depth (see splayDown).
            const auto splay = [&]<int Depth>(std::integral_constant<int, Depth>, unsigned leaf) {
                [&]<int... Step>(std::integer_sequence<int, Step...>) {
                    [[maybe_unused]] unsigned a = leaf;
                    ((coder.rotate<false>(a, passed[Depth - 1 - 2 * Step], passed[Depth - 2 - 2 * Step]),
                         a = passed[Depth - 2 - 2 * Step] >> 1u),
                        ...);
                }(std::make_integer_sequence<int, Depth / 2>());
            };
            // Down to level Level + 1; true at a leaf, which is then taken and splayed.
            const auto down = [&]<int Level>(std::integral_constant<int, Level>) {
                const unsigned bit = unsigned(early >> Level) & 1u;
                passed[Level] = twice | bit;
                if constexpr (Level == 0)
                    twice = child[bit];
                else
                    twice = opaque(child + bit)[twice];
                if (twice < 512)
                    return false;
                inBits >>= Level + 1;
                inCount -= Level + 1;
                *target++ = char((twice >> 1) - 256);
                splay(std::integral_constant<int, Level + 1>(), twice >> 1);
                return true;
            };
            const bool found = [&]<int... Level>(std::integer_sequence<int, Level...>) {
                return (down(std::integral_constant<int, Level>()) || ...);
            }(std::make_integer_sequence<int, kRegisterLevels>());
            if (found)
                continue;
            std::copy(passed, passed + kRegisterLevels, path);
            depth = kRegisterLevels;
        }
        depth = walkOn(child, inBits, twice, path, depth, inCount);
        if (twice < 512) [[unlikely]] {
            coder.m_in = in;
            coder.m_inBits = inBits;
            coder.m_inCount = inCount;
            *target++ = char(coder.decodeDeep<false>());
            in = coder.m_in;
            inBits = coder.m_inBits;
            inCount = coder.m_inCount;
            continue;
        }
        inBits >>= depth;
        inCount -= depth;
        *target++ = char((twice >> 1) - 256);
        coder.splayDown<false>(twice >> 1, path, depth);
    }
    return out;
}
