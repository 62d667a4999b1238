#include "platform/Cp1252.h"

#include <array>

namespace Cp1252 {

namespace {

// Bytes 0x80–0x9F; 0 marks the five bytes that have no character.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c && c != 0)
            return 0x80 + i;
    return -1;
}

} // namespace

QString decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        // The five unassigned bytes map to the C1 controls of the same value, as Windows does.
        out[i] = (b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] != 0) ? kHigh[b - 0x80] : char16_t(b);
    }
    return text;
}

bool encode(QStringView text, QByteArray &bytes)
{
    bytes.resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int b = byteFor(c);
        if (b < 0 && c >= 0x80 && c < 0xA0 && kHigh[c - 0x80] == 0)
            b = c; // the unassigned bytes come back as themselves
        if (b < 0)
            return false;
        bytes[i] = char(b);
    }
    return true;
}

bool canEncode(QStringView text)
{
    return firstUnencodable(text).isNull();
}

QChar firstUnencodable(QStringView text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (byteFor(u) < 0 && !(u >= 0x80 && u < 0xA0 && kHigh[u - 0x80] == 0))
            return c;
    }
    return QChar();
}

} // namespace Cp1252
