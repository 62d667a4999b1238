#pragma once

#include "store/detail/ByteReader.h"
#include "store/detail/MemRecordStore.h"

#include <vector>

// One row of a binary packet and a record of the store, both ways: the row status, the flag bytes (two bits
// per column: null, unassigned) and the value of every column whose bits are clear. The plan per column is
// worked out once, so a row is encoded or decoded in one pass over its columns without looking at the
// column descriptors again.
class PacketRows
{
public:
    // `prefixes`: the length prefix bytes of each column (0 for a fixed one), as the packet's type words
    // give them.
    PacketRows(const std::vector<ColumnDesc> &columns, const RecordLayout &layout, std::vector<int> prefixes);

    int flagBytes() const { return m_flagBytes; }
    // The most bytes one row can take.
    qint64 maxRowBytes() const { return m_maxRowBytes; }
    // Writes the row of `record` with `status` at `out` (room for maxRowBytes()); returns the end.
    char *encode(const char *record, quint8 status, char *out) const;
    // Reading a row: its status, then the flag bytes and values into a zero-filled record. `row` (from 1)
    // names it in the messages.
    quint8 readStatus(ByteReader &in, qint64 row) const;
    void decodeValues(ByteReader &in, char *record, qint64 row) const;
    // The values of a row whose bytes are all there (maxRowBytes() of them after the flag bytes at `p`, so
    // no read needs its own check), into a zero-filled record; returns the end of the row, or nullptr when a
    // length is out of bounds (decodeValues then tells what is wrong).
    const char *decodeValuesInPlace(const char *p, char *record) const;
    // The row's size in the packet.
    qint64 encodedSize(const char *record) const;

private:
    struct Column
    {
        enum Kind : quint8 { Fixed, Text, Varying } kind;
        int stateOffset;
        int valueOffset;
        int size; // fixed value bytes, or the slot's bytes
        int prefix; // length prefix bytes
        int maxLength;
    };

    std::vector<Column> m_columns;
    int m_flagBytes = 0;
    qint64 m_maxRowBytes = 0;
};
