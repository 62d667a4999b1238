#include "store/PacketWriter.h"

#include "store/detail/MemRecordStore.h"
#include "store/detail/PacketFormat.h"
#include "store/detail/PacketRows.h"
#include "store/detail/PacketXml.h"

#include <cstring>

using namespace PacketFormat;

char *PacketWriter::grow(qint64 bytes)
{
    if (m_size + bytes > m_data.size())
        m_data.resize(std::max<qint64>(m_size + bytes, std::max<qint64>(256, m_data.size() * 2)));
    char *p = m_data.data() + m_size;
    m_size += bytes;
    return p;
}

void PacketWriter::patch16(qint64 at, quint16 value)
{
    m_data[at] = char(value & 0xFF);
    m_data[at + 1] = char(value >> 8);
}

void PacketWriter::putName(const QByteArray &name)
{
    if (name.size() > 255)
        throw EStoreError(StoreStatus::NotAllowed,
            QStringLiteral("The name %1 is too long for a table file").arg(QString::fromLatin1(name)));
    put<quint8>(quint8(name.size()));
    std::memcpy(grow(name.size()), name.constData(), size_t(name.size()));
}

void PacketWriter::start(int columnCount)
{
    m_columnCount = columnCount;
    m_flagBytes = (columnCount + 3) / 4;
    put<quint32>(kSignature);
    put<quint16>(1);
    put<quint16>(0);
    put<quint32>(kHeaderSize);
    put<quint16>(quint16(columnCount));
    put<quint32>(0);
    put<quint32>(kFlagMetadata);
    put<quint16>(0);
}

void PacketWriter::addColumn(const QByteArray &name, quint32 typeWord, quint16 fieldAttributes)
{
    putName(name);
    put<quint32>(typeWord);
    put<quint16>(fieldAttributes);
    m_countAt = m_size;
    put<quint16>(0);
}

void PacketWriter::beginTableAttributes()
{
    m_countAt = m_size;
    put<quint16>(0);
}

void PacketWriter::addAttribute(const QByteArray &name, quint32 typeWord, const QByteArray &value)
{
    putName(name);
    put<quint32>(typeWord);
    std::memcpy(grow(value.size()), value.constData(), size_t(value.size()));
    const int count = quint8(m_data[m_countAt]) | (quint8(m_data[m_countAt + 1]) << 8);
    if (count == 0xFFFF)
        throw EStoreError(StoreStatus::NotAllowed, QStringLiteral("Too many attributes for a table file"));
    patch16(m_countAt, quint16(count + 1));
}

void PacketWriter::beginRow(quint8 status)
{
    if (m_metadataEnd < 0)
        m_metadataEnd = m_size;
    put<quint8>(status);
    m_rowFlagsAt = m_size;
    std::memset(grow(m_flagBytes), 0, size_t(m_flagBytes));
}

void PacketWriter::setFlag(int column, int bits)
{
    m_data[m_rowFlagsAt + column / 4]
        = char(m_data[m_rowFlagsAt + column / 4] | (bits << (2 * (column % 4))));
}

void PacketWriter::putFixed(const char *bytes, int length)
{
    std::memcpy(grow(length), bytes, size_t(length));
}

void PacketWriter::putVarying(int prefixSize, const char *bytes, int length)
{
    char *p = grow(prefixSize + length);
    for (int i = 0; i < prefixSize; ++i)
        p[i] = char(quint32(length) >> (8 * i));
    std::memcpy(p + prefixSize, bytes, size_t(length));
}

void PacketWriter::endRow()
{
    ++m_rows;
}

QByteArray PacketWriter::finish()
{
    if (m_metadataEnd < 0)
        m_metadataEnd = m_size;
    const quint32 rows = m_rows;
    for (int i = 0; i < 4; ++i)
        m_data[14 + i] = char(rows >> (8 * i));
    // The 16-bit first-row offset is only claimed valid when it fits.
    const bool offsetFits = m_metadataEnd < 65536;
    const quint32 flags = kFlagMetadata | (offsetFits ? kFlagRowOffset : 0);
    for (int i = 0; i < 4; ++i)
        m_data[18 + i] = char(flags >> (8 * i));
    patch16(22, offsetFits ? quint16(m_metadataEnd) : 0);
    m_data.truncate(m_size);
    return std::move(m_data);
}

namespace {

QByteArray encode16(quint16 v)
{
    QByteArray b(2, 0);
    b[0] = char(v & 0xFF);
    b[1] = char((v >> 8) & 0xFF);
    return b;
}

QByteArray encode32(quint32 v)
{
    QByteArray b(4, 0);
    for (int i = 0; i < 4; ++i)
        b[i] = char(v >> (8 * i));
    return b;
}

QByteArray subtypeValue(const QByteArray &name)
{
    return encode16(quint16(name.size() + 1)) + name + QByteArray(1, '\0');
}

bool hasWidthAttribute(const ColumnDesc &column)
{
    switch (column.type) {
    case StoreType::Text:
    case StoreType::VarBytes:
    case StoreType::WideText:
    case StoreType::Blob:
    case StoreType::Decimal:
    case StoreType::FormattedDecimal:
        return column.width > 0;
    default:
        return false;
    }
}

void writeColumn(PacketWriter &writer, const ColumnDesc &column)
{
    writer.addColumn(column.name, typeWordFor(column), column.attributes);
    const QByteArray subtype = subtypeName(column.subtype);
    const PacketAttribute *keptSubtype = nullptr;
    for (const PacketAttribute &a : column.keptAttributes) {
        if (a.name.compare("SUBTYPE", Qt::CaseInsensitive) == 0)
            keptSubtype = &a;
    }
    if (!subtype.isEmpty())
        writer.addAttribute("SUBTYPE", kSubtypeWord, subtypeValue(subtype));
    else if (keptSubtype)
        writer.addAttribute(keptSubtype->name, keptSubtype->typeWord, keptSubtype->value);
    if (column.decimals > 0 && column.type != StoreType::Struct && column.type != StoreType::Array)
        writer.addAttribute("DECIMALS", kUInt16Word, encode16(quint16(column.decimals)));
    if (hasWidthAttribute(column))
        writer.addAttribute("WIDTH", kUInt16Word, encode16(quint16(column.width)));
    if (column.calculated)
        writer.addAttribute("CALCULATED", kUInt16Word, encode16(1));
    for (const PacketAttribute &a : column.keptAttributes) {
        if (&a != keptSubtype)
            writer.addAttribute(a.name, a.typeWord, a.value);
    }
}

} // namespace

// Rows go out in parts of this size: large enough that the writes cost nothing, small enough to stay in the
// processor's caches while they are filled.
constexpr qint64 kPartBytes = qint64(1) << 20;

QByteArray PacketWriter::finishHead(qint64 rowCount)
{
    m_metadataEnd = m_size;
    m_rows = quint32(rowCount);
    QByteArray head = finish();
    m_metadataEnd = -1;
    return head;
}

void PacketWriter::writeBinary(const IRecordStore &store, const PacketSink &sink)
{
    const auto &mem = static_cast<const MemRecordStore &>(store);
    PacketWriter writer;
    const std::vector<ColumnDesc> &columns = mem.columns();
    writer.start(int(columns.size()));
    std::vector<int> prefixes;
    for (const ColumnDesc &column : columns) {
        writeColumn(writer, column);
        prefixes.push_back(prefixSizeFor(column));
    }
    writer.beginTableAttributes();
    for (const PacketAttribute &a : mem.orderAttributes)
        writer.addAttribute(a.name, a.typeWord, a.value);
    const std::vector<ChangeLogEntry> &log = mem.changeLog();
    if (!log.empty()) {
        QByteArray value = encode32(quint32(log.size() * 3));
        for (const ChangeLogEntry &e : log)
            value += encode32(quint32(e.row)) + encode32(quint32(e.replaces)) + encode32(quint32(e.kind));
        writer.addAttribute("CHANGE_LOG", kChangeLogWord, value);
    }
    if (mem.autoIncColumn() >= 0)
        writer.addAttribute("AUTOINCVALUE", kInt32Word, encode32(quint32(mem.nextAutoIncValue())));
    for (const PacketAttribute &a : mem.keptTableAttributes)
        writer.addAttribute(a.name, a.typeWord, a.value);

    // With an empty change log the live rows go out in default order, each with status 0 unless the log is
    // switched on; with entries every row goes out in row-number order with its status.
    const std::vector<int> &order = mem.defaultOrder();
    const bool inOrder = log.empty();
    const bool keepStatus = !inOrder || mem.keepChangeLog();
    const qint64 rowCount = inOrder ? qint64(order.size()) : qint64(mem.rowCount());
    const QByteArray head = writer.finishHead(rowCount);
    sink(head.constData(), head.size());

    const PacketRows rows(columns, mem.layout(), std::move(prefixes));
    std::vector<char> part(size_t(std::max(kPartBytes, 2 * rows.maxRowBytes())));
    char *const begin = part.data();
    char *const limit = begin + part.size() - rows.maxRowBytes();
    char *out = begin;
    for (qint64 i = 0; i < rowCount; ++i) {
        if (out > limit) {
            sink(begin, out - begin);
            out = begin;
        }
        const int row = inOrder ? order[size_t(i)] : int(i + 1);
        out = rows.encode(mem.record(row), keepStatus ? mem.statusOf(row) : RowStatus::Current, out);
    }
    if (out != begin)
        sink(begin, out - begin);
}

QByteArray PacketWriter::write(const IRecordStore &store, PacketForm form)
{
    if (form == PacketForm::Xml)
        return PacketXml::write(static_cast<const MemRecordStore &>(store));
    // Room for the largest rows at once (pages never written cost no memory), so the packet is not copied
    // as it grows.
    const auto &mem = static_cast<const MemRecordStore &>(store);
    std::vector<int> prefixes;
    for (const ColumnDesc &column : mem.columns())
        prefixes.push_back(prefixSizeFor(column));
    const qint64 rows = mem.changeLog().empty() ? qint64(mem.defaultOrder().size()) : qint64(mem.rowCount());
    const qint64 most = PacketRows(mem.columns(), mem.layout(), std::move(prefixes)).maxRowBytes() * rows;
    QByteArray packet;
    packet.reserve(qsizetype(std::min<qint64>(most + 65536, qint64(1) << 31)));
    writeBinary(store, [&](const char *bytes, qint64 length) { packet.append(bytes, qsizetype(length)); });
    return packet;
}
