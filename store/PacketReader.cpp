#include "store/PacketReader.h"

#include "store/detail/ByteReader.h"
#include "store/detail/PacketFormat.h"
#include "store/detail/PacketLoad.h"
#include "store/detail/PacketRows.h"
#include "store/detail/PacketXml.h"

#include <cstring>

using namespace PacketFormat;

namespace {

QByteArray readName(ByteReader &in)
{
    const int length = in.read<quint8>();
    return QByteArray(in.bytes(length), length);
}

// An attribute value as encoded, after checking its type word and its length.
QByteArray readAttributeValue(ByteReader &in, const QByteArray &name, quint32 word)
{
    if (!isValidAttributeWord(word))
        in.fail(QStringLiteral("the attribute %1 has an unknown type").arg(QString::fromLatin1(name)));
    word &= ~kRoundtrip;
    const qint64 start = in.position();
    const int size = typeSize(word);
    if (word & kArray)
        in.bytes(qint64(in.read<quint32>()) * size); // below 2^48: no overflow
    else if (word & kVarying)
        in.bytes(in.readLength(size));
    else
        in.bytes(size);
    return in.slice(start, in.position() - start);
}

void readAttributes(ByteReader &in, int count, PacketLoad &load, bool table)
{
    for (int i = 0; i < count; ++i) {
        const QByteArray name = readName(in);
        const quint32 word = in.read<quint32>();
        const QByteArray value = readAttributeValue(in, name, word);
        if (table)
            load.applyTableAttribute(name, word, value);
        else
            load.applyColumnAttribute(name, word, value);
    }
}

void readRows(
    ByteReader &in, PacketLoad &load, const std::vector<int> &prefixes, qint64 rowCount, qint64 packetSize)
{
    MemRecordStore &store = load.store();
    const PacketRows rows(store.columns(), store.layout(), prefixes);
    if (rowCount > in.remaining() / (1 + rows.flagBytes()))
        in.fail(QStringLiteral("it claims %1 rows but is too short for them").arg(rowCount));
    load.checkRowMemory(rowCount, packetSize);
    store.reserveRows(rowCount);
    // Rows that have their largest size still ahead are read without a check per value; the last few, and
    // a row with a value out of bounds (read again for the message), the checked way.
    const qint64 room = 1 + rows.flagBytes() + rows.maxRowBytes();
    for (qint64 r = 1; r <= rowCount; ++r) {
        if (in.remaining() >= room) {
            const qint64 at = in.position();
            const char *p = in.peek();
            const auto status = quint8(p[0]);
            if ((status & ~quint8(0x2F)) == 0) {
                const char *end = rows.decodeValuesInPlace(p + 1, store.appendLoadedRow(status));
                if (end) {
                    in.skip(end - p);
                    continue;
                }
                store.dropLastLoadedRow();
            }
            in.seek(at);
        }
        const quint8 status = rows.readStatus(in, r);
        rows.decodeValues(in, store.appendLoadedRow(status), r);
    }
    if (!in.atEnd())
        in.fail(QStringLiteral("there are %1 unexpected bytes after the last row").arg(in.remaining()));
}

std::unique_ptr<IRecordStore> loadBinary(const QByteArray &packet, const QString &sourceName)
{
    ByteReader in(packet, sourceName);
    PacketLoad load(sourceName);
    in.read<quint32>();
    in.read<quint16>();
    in.read<quint16>();
    if (in.read<quint32>() != quint32(kHeaderSize))
        in.fail(QStringLiteral("its header size is not 24"));
    const int columnCount = in.read<quint16>();
    const qint64 rowCount = in.read<quint32>();
    const quint32 flags = in.read<quint32>();
    in.read<quint16>(); // first-row offset: the rows start where the metadata ends, whatever it says
    if (!(flags & kFlagMetadata))
        in.fail(QStringLiteral("it carries no metadata"), StoreStatus::NoMetadata);
    if (columnCount == 0)
        in.fail(QStringLiteral("it has no columns"));

    std::vector<int> prefixes;
    for (int c = 0; c < columnCount; ++c) {
        const QByteArray name = readName(in);
        const quint32 word = in.read<quint32>();
        const quint16 attributes = in.read<quint16>();
        const int attributeCount = in.read<quint16>();
        ColumnDesc type;
        int prefix = 0;
        if (!columnType(word, type, prefix))
            in.fail(QStringLiteral("column %1 has an unsupported type 0x%2")
                        .arg(QString::fromLatin1(name))
                        .arg(word, 8, 16, QLatin1Char('0')));
        load.addColumn(name, type, attributes);
        readAttributes(in, attributeCount, load, false);
        prefixes.push_back(prefix);
    }
    load.createStore();
    readAttributes(in, in.read<quint16>(), load, true);
    readRows(in, load, prefixes, rowCount, packet.size());
    return load.finish();
}

} // namespace

namespace PacketReader {

bool isBinary(const QByteArray &packet)
{
    if (packet.size() < 8)
        return false;
    quint32 signature;
    quint16 major;
    quint16 minor;
    std::memcpy(&signature, packet.constData(), 4);
    std::memcpy(&major, packet.constData() + 4, 2);
    std::memcpy(&minor, packet.constData() + 6, 2);
    return (signature == kSignature && major <= 3 && minor <= 3) || signature == kOldSignature;
}

std::unique_ptr<IRecordStore> load(const QByteArray &packet, const QString &sourceName)
{
    if (packet.isEmpty())
        throw EStoreError(StoreStatus::NoMetadata, QStringLiteral("%1: the file is empty").arg(sourceName));
    if (isBinary(packet))
        return loadBinary(packet, sourceName);
    return PacketXml::read(packet, sourceName);
}

} // namespace PacketReader
