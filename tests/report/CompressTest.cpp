#include "report/pages/Compress.h"
#include "support/TestSupport.h"

#include <QRandomGenerator>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

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
