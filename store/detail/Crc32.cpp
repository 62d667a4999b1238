#include "store/detail/Crc32.h"

#include <array>
#include <cstring>

namespace Crc32 {

namespace {

using Tables = std::array<std::array<quint32, 256>, 8>;

constexpr Tables makeTables()
{
    Tables t {};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[0][i] = c;
    }
    for (quint32 i = 0; i < 256; ++i) {
        for (size_t k = 1; k < 8; ++k)
            t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    }
    return t;
}

constexpr Tables kTables = makeTables();

} // namespace

quint32 of(const char *bytes, qint64 length, quint32 crc)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes);
    crc = ~crc;
    while (length >= 8) {
        quint32 low;
        quint32 high;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + 4, 4);
        low ^= crc;
        crc = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^ kTables[5][(low >> 16) & 0xFF]
            ^ kTables[4][low >> 24] ^ kTables[3][high & 0xFF] ^ kTables[2][(high >> 8) & 0xFF]
            ^ kTables[1][(high >> 16) & 0xFF] ^ kTables[0][high >> 24];
        p += 8;
        length -= 8;
    }
    while (length-- > 0)
        crc = (crc >> 8) ^ kTables[0][(crc ^ *p++) & 0xFF];
    return ~crc;
}

} // namespace Crc32
