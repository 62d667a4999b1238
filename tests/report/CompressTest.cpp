#include "report/pages/Compress.h"
#include "support/TestSupport.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <vector>

namespace {

struct CodeCase
{
    const char *name;
    QByteArray plain;
    const char *codeHex;
};

class CompressVectors : public ::testing::TestWithParam<CodeCase>
{
};

TEST_P(CompressVectors, CodesBitForBitAndDecodesBack)
{
    const CodeCase &c = GetParam();
    const QByteArray expected = TestSupport::fromHex(c.codeHex);
    const QByteArray code = TRpCompress::compress(c.plain);
    EXPECT_EQ(code.toHex(' '), expected.toHex(' '));
    EXPECT_EQ(TRpCompress::decompress(code.constData(), code.size(), c.plain.size()), c.plain);
}

INSTANTIATE_TEST_SUITE_P(Compress, CompressVectors,
    ::testing::Values(CodeCase { "empty", QByteArray(), "" }, CodeCase { "zero", QByteArray(1, '\0'), "80" },
        CodeCase { "ff", QByteArray(1, '\xff'), "00 00" }, CodeCase { "abc", QByteArray("abc"), "46 3D 01" }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Compress, RandomSequences_RoundTrip)
{
    QRandomGenerator random(4711);
    for (int round = 0; round < 200; ++round) {
        const int size = int(random.bounded(round < 100 ? 64 : 20000));
        QByteArray plain(size, Qt::Uninitialized);
        // Half the rounds draw from a few values, so the tree gets deep on one side.
        const quint32 range = round % 2 ? 256 : 1 + random.bounded(4);
        for (char &c : plain)
            c = char(random.bounded(range) + (range < 256 ? 250 : 0));
        const QByteArray code = TRpCompress::compress(plain);
        ASSERT_EQ(TRpCompress::decompress(code.constData(), code.size(), plain.size()), plain) << round;
    }
}

TEST(Compress, DeepLeaves_CodeTheSameThroughEncodeByteAndCompress)
{
    // Sweeping the values in order, again and again, drives some leaves far below the root.
    QByteArray plain;
    for (int round = 0; round < 40; ++round)
        for (int value = 0; value < 256; ++value)
            plain.append(char(round % 2 ? value : 255 - value));
    for (int i = 0; i < 3000; ++i)
        plain.append(char(i % 3));
    TRpCompress coder;
    QByteArray stepwise;
    for (const char c : plain)
        coder.EncodeByte(std::uint8_t(c), stepwise);
    coder.Flush(stepwise);
    const QByteArray whole = TRpCompress::compress(plain);
    EXPECT_EQ(whole, stepwise);
    EXPECT_EQ(TRpCompress::decompress(whole.constData(), whole.size(), plain.size()), plain);
}

// A long input of every kind the tree meets (sweeps that drive leaves deep, runs, few values, all values),
// and the size and FNV-1a hash of its code as the coder has always written it.
QByteArray mixedInput()
{
    QByteArray plain;
    for (int round = 0; round < 40; ++round)
        for (int value = 0; value < 256; ++value)
            plain.append(char(round % 2 ? value : 255 - value));
    std::uint32_t x = 12345;
    for (int i = 0; i < 200000; ++i) {
        x = x * 1103515245u + 12345u;
        const int kind = (x >> 28) & 3;
        plain.append(char(kind == 0 ? (x >> 16) & 0xFF
                : kind == 1         ? 0
                : kind == 2         ? (x >> 20) & 3
                                    : 0x41 + ((x >> 18) & 7)));
    }
    return plain;
}

std::uint64_t fnv1a(const QByteArray &bytes)
{
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : bytes) {
        h ^= std::uint8_t(c);
        h *= 1099511628211ull;
    }
    return h;
}

TEST(Compress, ALongMixedInput_CodesToTheKnownBits_AndDecodesBackEitherWay)
{
    const QByteArray plain = mixedInput();
    const QByteArray code = TRpCompress::compress(plain);
    EXPECT_EQ(code.size(), 157005);
    EXPECT_EQ(fnv1a(code), 0x008a60adfaadab8cull);
    EXPECT_EQ(TRpCompress::decompress(code.constData(), code.size(), plain.size()), plain);
    // The stepwise decoder agrees with the page decoder byte for byte.
    TRpCompress decoder;
    decoder.StartDecoding(code.constData(), code.size());
    QByteArray stepwise;
    for (qsizetype i = 0; i < plain.size(); ++i)
        stepwise.append(char(decoder.DecodeByte()));
    EXPECT_EQ(stepwise, plain);
}

TEST(Compress, EveryByteValueTakesEightBitsFromAFreshTree_But255TakesNine)
{
    for (int value = 0; value < 256; ++value) {
        TRpCompress coder;
        QByteArray out;
        coder.EncodeByte(std::uint8_t(value), out);
        EXPECT_EQ(out.size(), 1) << value;
        coder.Flush(out);
        EXPECT_EQ(out.size(), value == 255 ? 2 : 1) << value;
    }
}

// Inputs whose codes end at every bit position within the last code bytes, so the decoder's switch from
// whole words to single bytes near the end of the code meets each case.
QByteArray sizedInput(int size, int seed)
{
    QByteArray plain(size, Qt::Uninitialized);
    std::uint32_t x = std::uint32_t(seed) * 2654435761u + 1;
    for (char &c : plain) {
        x = x * 1103515245u + 12345u;
        c = char(seed % 3 == 0  ? (x >> 16) & 0xFF
                : seed % 3 == 1 ? (x >> 24) & 3
                                : 0x20 + ((x >> 20) & 0x3F));
    }
    return plain;
}

TEST(Compress, CodesOfEverySmallSize_DecodeFromExactlySizedBuffers_AndEveryShorterPrefixFails)
{
    for (int size = 0; size <= 48; ++size) {
        for (int seed = 0; seed < 3; ++seed) {
            const QByteArray plain = sizedInput(size, seed);
            const QByteArray code = TRpCompress::compress(plain);
            // A buffer of exactly the code's size: the address sanitizer sees any read beyond it.
            for (qsizetype prefix = 0; prefix <= code.size(); ++prefix) {
                const std::unique_ptr<char[]> exact(new char[size_t(std::max<qsizetype>(prefix, 1))]);
                std::memcpy(exact.get(), code.constData(), size_t(prefix));
                if (prefix == code.size())
                    EXPECT_EQ(TRpCompress::decompress(exact.get(), prefix, plain.size()), plain)
                        << size << " " << seed;
                else
                    EXPECT_THROW(TRpCompress::decompress(exact.get(), prefix, plain.size()), ECompressError)
                        << size << " " << seed << " " << prefix;
            }
        }
    }
}

TEST(Compress, DecodingStopsAtTheDeclaredCount_WhateverFollowsInTheCode)
{
    // The bytes of a longer page follow in the code: the first bytes decode the same, and no more are
    // written than declared.
    const QByteArray plain = mixedInput().left(5000);
    const QByteArray code = TRpCompress::compress(plain);
    for (const qint64 count : { qint64(0), qint64(1), qint64(7), qint64(4096), qint64(4999) })
        EXPECT_EQ(TRpCompress::decompress(code.constData(), code.size(), count), plain.left(count)) << count;
}

// The splay-tree prefix code written the plain way, node by node with parent links, bit by bit, to hold the
// coder's fast paths to: the same tree (inner node i has children 2i + 1 and 2i + 2, byte value s is leaf
// 256 + s), the same code (0 left, 1 right, least significant bit of each byte first) and the same step
// (a node and its parent's sibling change places, then the walk goes on from the grandparent).
class ReferenceCoder
{
public:
    ReferenceCoder()
    {
        for (int i = 0; i < 256; ++i) {
            m_children[i][0] = 2 * i + 1;
            m_children[i][1] = 2 * i + 2;
            m_parent[2 * i + 1] = i;
            m_parent[2 * i + 2] = i;
        }
    }

    // The code of `value`, the bit nearest the root first, then the splay step.
    std::vector<int> encode(int value)
    {
        std::vector<int> bits;
        for (int node = 256 + value; node != 0; node = m_parent[node])
            bits.insert(bits.begin(), sideOf(node));
        splay(256 + value);
        return bits;
    }

    // The value the bits from `next` lead to; -1 when they run out first.
    template <typename NextBit> int decode(NextBit next)
    {
        int node = 0;
        while (node < 256) {
            const int bit = next();
            if (bit < 0)
                return -1;
            node = m_children[node][bit];
        }
        splay(node);
        return node - 256;
    }

    // The length of the code of `value` as the tree stands.
    int depthOf(int value) const
    {
        int depth = 0;
        for (int node = 256 + value; node != 0; node = m_parent[node])
            ++depth;
        return depth;
    }

private:
    int sideOf(int node) const { return m_children[m_parent[node]][1] == node ? 1 : 0; }

    void splay(int node)
    {
        while (node != 0 && m_parent[node] != 0) {
            const int parent = m_parent[node];
            const int grand = m_parent[parent];
            const int parentSide = sideOf(parent);
            const int sibling = m_children[grand][1 - parentSide];
            const int nodeSide = sideOf(node);
            m_children[grand][1 - parentSide] = node;
            m_children[parent][nodeSide] = sibling;
            m_parent[node] = grand;
            m_parent[sibling] = parent;
            node = grand;
        }
    }

    int m_children[256][2] {};
    int m_parent[513] {};
};

QByteArray referenceCompress(const QByteArray &plain, std::vector<int> *lengths = nullptr)
{
    ReferenceCoder coder;
    QByteArray out;
    int used = 0;
    for (const char c : plain) {
        const std::vector<int> bits = coder.encode(std::uint8_t(c));
        if (lengths)
            lengths->push_back(int(bits.size()));
        for (const int bit : bits) {
            if (used % 8 == 0)
                out.append('\0');
            if (bit)
                out.back() = char(std::uint8_t(out.back()) | (1u << (used % 8)));
            ++used;
        }
    }
    return out;
}

QByteArray referenceDecompress(const QByteArray &code, qsizetype count)
{
    ReferenceCoder coder;
    QByteArray out;
    qsizetype used = 0;
    const auto next = [&] {
        if (used == code.size() * 8)
            return -1;
        const int bit = (std::uint8_t(code[used / 8]) >> (used % 8)) & 1;
        ++used;
        return bit;
    };
    while (out.size() < count) {
        const int value = coder.decode(next);
        if (value < 0)
            break;
        out.append(char(value));
    }
    return out;
}

// Random inputs over every value, skewed inputs over a few values with rare others, text-like runs and
// sweeps that drive leaves deep, in many sizes.
QByteArray referenceInput(int kind, int size, std::uint32_t seed)
{
    QByteArray plain(size, Qt::Uninitialized);
    std::uint32_t x = seed * 2654435761u + 7;
    for (int i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        const std::uint32_t r = x >> 8;
        switch (kind) {
        case 0:
            plain[i] = char(r & 0xFF);
            break;
        case 1:
            plain[i] = char(r % 16 == 0 ? (r >> 4) & 0xFF : 0x30 + (r >> 4) % 3);
            break;
        case 2:
            plain[i] = char(r % 8 < 5 ? (i > 0 ? plain[i - 1] : 'a') : 0x20 + (r >> 3) % 64);
            break;
        default:
            plain[i] = char((i / 256) % 2 ? i % 256 : 255 - i % 256);
            break;
        }
    }
    return plain;
}

TEST(Compress, CodesAndDecodesBitForBitLikeThePlainCoder_ForInputsOfManyKindsAndSizes)
{
    for (int kind = 0; kind < 4; ++kind) {
        for (const int size : { 1, 2, 3, 7, 8, 9, 63, 64, 65, 255, 256, 1000, 4097, 30000 }) {
            const QByteArray plain = referenceInput(kind, size, std::uint32_t(kind * 100000 + size));
            const QByteArray expected = referenceCompress(plain);
            const QByteArray code = TRpCompress::compress(plain);
            ASSERT_EQ(code, expected) << kind << " " << size;
            ASSERT_EQ(referenceDecompress(code, plain.size()), plain) << kind << " " << size;
            ASSERT_EQ(TRpCompress::decompress(code.constData(), code.size(), plain.size()), plain)
                << kind << " " << size;
        }
    }
}

// The longest code the plain coder writes for `plain`.
int longestCode(const QByteArray &plain)
{
    std::vector<int> lengths;
    referenceCompress(plain, &lengths);
    return lengths.empty() ? 0 : *std::max_element(lengths.begin(), lengths.end());
}

// An input that drives a leaf at least `depth` levels down. No simple sweep gets much past 45 levels, so a
// sweep down and up is changed a value at a time (a fixed pseudo-random sequence) as long as the deepest
// code does not get shorter.
QByteArray deepInput(int depth)
{
    QByteArray plain;
    for (int value = 255; value >= 0; --value)
        plain.append(char(value));
    for (int value = 0; value < 256; ++value)
        plain.append(char(value));
    std::mt19937 random(5);
    int longest = longestCode(plain);
    for (int round = 0; round < 20000 && longest < depth; ++round) {
        QByteArray changed = plain;
        const qsizetype at = qsizetype(random() % std::uint32_t(changed.size()));
        const char value = char(random() % 256);
        switch (random() % 3) {
        case 0:
            changed[at] = value;
            break;
        case 1:
            changed.insert(at, value);
            break;
        default:
            changed.remove(at, 1);
            break;
        }
        const int changedLongest = longestCode(changed);
        if (changedLongest >= longest) {
            plain = changed;
            longest = changedLongest;
        }
    }
    return plain;
}

TEST(Compress, CodesOfEveryLengthUpToBeyondOneWord_AgreeWithThePlainCoder)
{
    // Every length up to well past the 56 bits the coder moves in one piece, each as the last code of an
    // input: a prefix of a deep input (with runs after it, which bring leaves up to the root) and then a
    // value whose leaf lies that deep after the prefix.
    constexpr int kLongest = 72;
    const QByteArray deep = deepInput(kLongest) + mixedInput().left(4000);
    std::vector<QByteArray> inputs(kLongest + 1);
    ReferenceCoder probe;
    for (qsizetype prefix = 0; prefix <= deep.size(); ++prefix) {
        for (int value = 0; value < 256; ++value) {
            const int depth = probe.depthOf(value);
            if (depth <= kLongest && inputs[size_t(depth)].isEmpty())
                inputs[size_t(depth)] = deep.left(prefix) + char(value);
        }
        if (prefix < deep.size())
            probe.encode(std::uint8_t(deep[prefix]));
    }
    for (int length = 1; length <= kLongest; ++length) {
        const QByteArray &plain = inputs[size_t(length)];
        ASSERT_FALSE(plain.isEmpty()) << "no code of " << length << " bits";
        std::vector<int> lengths;
        const QByteArray expected = referenceCompress(plain, &lengths);
        ASSERT_EQ(lengths.back(), length);
        const QByteArray code = TRpCompress::compress(plain);
        ASSERT_EQ(code, expected) << length;
        ASSERT_EQ(TRpCompress::decompress(code.constData(), code.size(), plain.size()), plain) << length;
        // The stepwise coder and decoder agree too.
        TRpCompress coder;
        QByteArray stepwise;
        for (const char c : plain)
            coder.EncodeByte(std::uint8_t(c), stepwise);
        coder.Flush(stepwise);
        ASSERT_EQ(stepwise, expected) << length;
        TRpCompress decoder;
        decoder.StartDecoding(code.constData(), code.size());
        QByteArray decoded;
        for (qsizetype i = 0; i < plain.size(); ++i)
            decoded.append(char(decoder.DecodeByte()));
        ASSERT_EQ(decoded, plain) << length;
    }
}

struct BadCode
{
    const char *name;
    QByteArray code;
    qint64 count;
};

class CompressRejects : public ::testing::TestWithParam<BadCode>
{
};

TEST_P(CompressRejects, FailsCleanly)
{
    const BadCode &c = GetParam();
    EXPECT_THROW(TRpCompress::decompress(c.code.constData(), c.code.size(), c.count), ECompressError);
}

INSTANTIATE_TEST_SUITE_P(Compress, CompressRejects,
    ::testing::Values(BadCode { "truncatedStream", TRpCompress::compress("hello world").left(3), 11 },
        BadCode { "countTooLargeForCode", QByteArray(2, '\0'), 17 },
        BadCode { "negativeCount", QByteArray(4, '\0'), -1 },
        BadCode { "hugeCount", QByteArray(4, '\0'), qint64(1) << 40 }, BadCode { "noCode", QByteArray(), 1 }),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
