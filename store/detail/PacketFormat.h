#pragma once

#include "store/RecordStore.h"

#include <QByteArray>
#include <QString>

// Constants and type words shared by the binary and XML packet readers and writers.
namespace PacketFormat {

constexpr quint32 kSignature = 0xBDE01996;
constexpr quint32 kOldSignature = 0x0000ABCD;
constexpr int kHeaderSize = 24;
constexpr quint32 kFlagMetadata = 1;
constexpr quint32 kFlagRowOffset = 2;
constexpr int kMaxNameLength = 31;

constexpr quint32 kSizeMask = 0xFFFF;
constexpr quint32 kClassShift = 16;
constexpr quint32 kClassMask = 0x3F;
constexpr quint32 kVarying = 0x00400000;
constexpr quint32 kArray = 0x00800000;
constexpr quint32 kPseudo = 0x01000000;
constexpr quint32 kCompoundArray = 0x02000000;
constexpr quint32 kEmbeddedTable = 0x04000000;
constexpr quint32 kRoundtrip = 0x80000000;

constexpr quint32 kSubtypeWord = 0x00490002;
constexpr quint32 kUInt16Word = 0x00020002;
constexpr quint32 kInt32Word = 0x00010004;
constexpr quint32 kOrderWord = 0x00820002;
constexpr quint32 kChangeLogWord = 0x00820004;

inline int typeClass(quint32 word)
{
    return int((word >> kClassShift) & kClassMask);
}
inline int typeSize(quint32 word)
{
    return int(word & kSizeMask);
}

// The type word of a column as the writer stores it.
quint32 typeWordFor(const ColumnDesc &column);
// Length prefix bytes of a varying column (0 for a fixed one).
int prefixSizeFor(const ColumnDesc &column);
// Decodes a column's type word; false for a type the store does not hold (or not a valid word). Sets
// `column.type` and, where the word gives it, `column.fixedSize`, and the length prefix size of a varying
// type.
bool columnType(quint32 word, ColumnDesc &column, int &prefixSize);
// True for a well-formed value type word of an attribute (fixed, varying or array of fixed values).
bool isValidAttributeWord(quint32 word);

// Subtype names; an empty name for a number without one, 0 for an unknown name.
QByteArray subtypeName(int subtype);
int subtypeNumber(const QByteArray &name);

} // namespace PacketFormat
