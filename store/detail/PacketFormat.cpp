#include "store/detail/PacketFormat.h"

#include <array>

namespace PacketFormat {

namespace {

struct Subtype
{
    const char *name;
    int number;
};

constexpr std::array kSubtypes {
    Subtype { "Money", 21 },
    Subtype { "Text", 22 },
    Subtype { "Binary", 23 },
    Subtype { "Formatted", 24 },
    Subtype { "Ole", 25 },
    Subtype { "Graphics", 26 },
    Subtype { "dBASEOle", 27 },
    Subtype { "TypedBinary", 28 },
    Subtype { "Autoinc", 29 },
    Subtype { "AccessOle", 30 },
    Subtype { "FixedChar", 31 },
    Subtype { "HMemo", 33 },
    Subtype { "HBinary", 34 },
    Subtype { "ADTNestedTable", 35 },
    Subtype { "BFile", 36 },
    Subtype { "ADTDate", 37 },
    Subtype { "Guid", 38 },
    Subtype { "Reference", 70 },
};

bool isIntegerSize(int size)
{
    return size == 1 || size == 2 || size == 4 || size == 8;
}

} // namespace

QByteArray subtypeName(int subtype)
{
    for (const Subtype &s : kSubtypes) {
        if (s.number == subtype)
            return s.name;
    }
    return {};
}

int subtypeNumber(const QByteArray &name)
{
    for (const Subtype &s : kSubtypes) {
        if (name.compare(s.name, Qt::CaseInsensitive) == 0)
            return s.number;
    }
    return 0;
}

int prefixSizeFor(const ColumnDesc &column)
{
    switch (column.type) {
    case StoreType::Text:
    case StoreType::WideText:
    case StoreType::VarBytes:
        return column.width <= 254 ? 1 : 2;
    default:
        return 0;
    }
}

quint32 typeWordFor(const ColumnDesc &column)
{
    const quint32 size = quint32(columnValueSize(column));
    switch (column.type) {
    case StoreType::Int8:
    case StoreType::Int16:
    case StoreType::Int32:
    case StoreType::Int64:
        return 0x00010000 | size;
    case StoreType::UInt8:
    case StoreType::UInt16:
    case StoreType::UInt32:
    case StoreType::UInt64:
        return 0x00020000 | size;
    case StoreType::Bool:
        return 0x00030000 | size;
    case StoreType::Float:
        return 0x00040008;
    case StoreType::Float10:
        return 0x0004000A;
    case StoreType::Decimal:
        return 0x00050000 | size;
    case StoreType::Date:
        return 0x00060004;
    case StoreType::Time:
        return 0x00070004;
    case StoreType::DateTimeStamp:
        return 0x00080008;
    case StoreType::Text:
        return 0x00490000 | quint32(prefixSizeFor(column));
    case StoreType::WideText:
        return 0x004A0000 | quint32(prefixSizeFor(column));
    case StoreType::Bytes:
        return 0x000B0000 | size;
    case StoreType::VarBytes:
        return 0x004B0000 | quint32(prefixSizeFor(column));
    case StoreType::SqlTimeStamp:
        return 0x00110010;
    case StoreType::FormattedDecimal:
        return 0x00120000 | size;
    default:
        return 0;
    }
}

bool columnType(quint32 word, ColumnDesc &column, int &prefixSize)
{
    if (word & (kArray | kPseudo | kCompoundArray | kEmbeddedTable | kRoundtrip | 0x78000000))
        return false;
    const int size = typeSize(word);
    const bool varying = word & kVarying;
    prefixSize = 0;
    static constexpr StoreType kSigned[]
        = { StoreType::Int8, StoreType::Int16, StoreType::Int32, StoreType::Int64 };
    static constexpr StoreType kUnsigned[]
        = { StoreType::UInt8, StoreType::UInt16, StoreType::UInt32, StoreType::UInt64 };
    const int sizeIndex = size == 1 ? 0 : size == 2 ? 1 : size == 4 ? 2 : 3;
    if (varying) {
        if (size != 1 && size != 2)
            return false; // 4-byte prefixes belong to large objects, which the store does not hold
        prefixSize = size;
        switch (typeClass(word)) {
        case 9:
            column.type = StoreType::Text;
            return true;
        case 10:
            column.type = StoreType::WideText;
            return true;
        case 11:
            column.type = StoreType::VarBytes;
            return true;
        default:
            return false;
        }
    }
    switch (typeClass(word)) {
    case 1:
        column.type = kSigned[sizeIndex];
        return isIntegerSize(size);
    case 2:
        column.type = kUnsigned[sizeIndex];
        return isIntegerSize(size);
    case 3:
        column.type = StoreType::Bool;
        column.fixedSize = size;
        return size == 1 || size == 2 || size == 4;
    case 4:
        column.type = size == 10 ? StoreType::Float10 : StoreType::Float;
        return size == 8 || size == 10;
    case 5:
    case 18:
        column.type = typeClass(word) == 5 ? StoreType::Decimal : StoreType::FormattedDecimal;
        column.fixedSize = size;
        return size >= 1 && size <= 64;
    case 6:
        column.type = StoreType::Date;
        return size == 4;
    case 7:
        column.type = StoreType::Time;
        return size == 4;
    case 8:
        column.type = StoreType::DateTimeStamp;
        return size == 8;
    case 11:
        column.type = StoreType::Bytes;
        column.fixedSize = size;
        return size >= 1;
    case 17:
        column.type = StoreType::SqlTimeStamp;
        return size == 16;
    default:
        return false;
    }
}

bool isValidAttributeWord(quint32 word)
{
    word &= ~kRoundtrip;
    if (word & (kPseudo | kCompoundArray | kEmbeddedTable | 0x78000000))
        return false;
    const int size = typeSize(word);
    const int cls = typeClass(word);
    if (word & kVarying) {
        if (word & kArray)
            return false;
        return (size == 1 || size == 2 || size == 4) && (cls == 9 || cls == 10 || cls == 11);
    }
    switch (cls) {
    case 1:
    case 2:
        return isIntegerSize(size);
    case 3:
        return size == 1 || size == 2 || size == 4;
    case 4:
        return size == 8 || size == 10;
    case 5:
    case 18:
        return size >= 1 && size <= 64;
    case 6:
    case 7:
        return size == 4;
    case 8:
        return size == 8;
    case 11:
        return size >= 1;
    case 17:
        return size == 16;
    default:
        return false;
    }
}

} // namespace PacketFormat
