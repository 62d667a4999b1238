#pragma once

#include "store/RecordStore.h"

#include <QByteArray>
#include <functional>

// Receives a packet part by part, in order.
using PacketSink = std::function<void(const char *bytes, qint64 length)>;

// Builds a binary table packet: header, column descriptors with their attributes, table attributes, rows.
// The calls come in that order; write() drives them for a whole store (and hands the XML form to PacketXml).
class PacketWriter
{
public:
    // The whole table as a packet of the given form. Throws EStoreError(NotAllowed) with a message, and
    // produces nothing, when the table holds something the form cannot carry.
    static QByteArray write(const IRecordStore &store, PacketForm form);
    // The binary form handed out in parts as it is encoded, so a large table reaches a file without a copy
    // of the whole packet in memory. The header and metadata come first, then the rows in parts of about a
    // megabyte.
    static void writeBinary(const IRecordStore &store, const PacketSink &sink);

    void start(int columnCount);
    void addColumn(const QByteArray &name, quint32 typeWord, quint16 fieldAttributes);
    // A column attribute (after its column) or, after beginTableAttributes(), a table attribute. `value` is
    // the encoded value (with its length prefix or element count).
    void addAttribute(const QByteArray &name, quint32 typeWord, const QByteArray &value);
    void beginTableAttributes();
    void beginRow(quint8 status);
    void putNull(int column) { setFlag(column, 1); }
    void putUnassigned(int column) { setFlag(column, 2); }
    void putFixed(const char *bytes, int length);
    void putVarying(int prefixSize, const char *bytes, int length);
    void endRow();
    QByteArray finish();
    // The header and metadata written so far, finished for `rowCount` rows that follow them.
    QByteArray finishHead(qint64 rowCount);

private:
    char *grow(qint64 bytes);
    void setFlag(int column, int bits);
    template <class T> void put(T value)
    {
        char *p = grow(sizeof value);
        for (size_t i = 0; i < sizeof value; ++i)
            p[i] = char(quint64(value) >> (8 * i));
    }
    void putName(const QByteArray &name);
    void patch16(qint64 at, quint16 value);

    QByteArray m_data;
    qint64 m_size = 0;
    int m_columnCount = 0;
    int m_flagBytes = 0;
    qint64 m_countAt = -1; // attribute count being filled
    qint64 m_rowFlagsAt = 0;
    quint32 m_rows = 0;
    qint64 m_metadataEnd = -1;
};
