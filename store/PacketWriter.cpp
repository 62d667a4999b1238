#include "store/PacketWriter.h"

#include "store/detail/MemRecordStore.h"
#include "store/detail/PacketFormat.h"
#include "store/detail/PacketXml.h"

#include <cstring>
#include <sys/mman.h>

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

void writeRow(PacketWriter &writer, const MemRecordStore &store, const std::vector<int> &prefixes,
    int rowNumber, quint8 status)
{
    const RecordLayout &layout = store.layout();
    const char *record = store.record(rowNumber);
    writer.beginRow(status);
    const int columns = layout.columnCount();
    for (int i = 0; i < columns; ++i) {
        const FieldState state = Record::state(layout, record, i);
        if (state == FieldState::Null) {
            writer.putNull(i);
            continue;
        }
        if (state == FieldState::Unassigned) {
            writer.putUnassigned(i);
            continue;
        }
        const char *value = Record::value(layout, record, i);
        const int size = layout.valueSize(i);
        const int prefix = prefixes[size_t(i)];
        if (prefix == 0) {
            writer.putFixed(value, size);
        } else if (layout.isText(i)) {
            const char *end = static_cast<const char *>(std::memchr(value, 0, size_t(size)));
            const int length = end ? int(end - value) : size - 1;
            if (length == 0)
                writer.putVarying(prefix, "", 1); // an empty text: one zero byte
            else
                writer.putVarying(prefix, value, length);
        } else {
            const int length = std::min(quint8(value[0]) | (quint8(value[1]) << 8), size - 2);
            writer.putVarying(prefix, value + 2, length);
        }
    }
    writer.endRow();
}

// The exact size of the rows, so the packet is allocated once.
qint64 rowBytes(const MemRecordStore &store, const std::vector<int> &prefixes, const std::vector<int> &rows)
{
    const RecordLayout &layout = store.layout();
    const int columns = layout.columnCount();
    qint64 fixedPart = 1 + (columns + 3) / 4;
    qint64 total = 0;
    for (int row : rows) {
        const char *record = store.record(row);
        qint64 bytes = fixedPart;
        for (int i = 0; i < columns; ++i) {
            if (Record::state(layout, record, i) != FieldState::Value)
                continue;
            const int prefix = prefixes[size_t(i)];
            const int size = layout.valueSize(i);
            const char *value = Record::value(layout, record, i);
            if (prefix == 0) {
                bytes += size;
            } else if (layout.isText(i)) {
                const char *end = static_cast<const char *>(std::memchr(value, 0, size_t(size)));
                bytes += prefix + std::max<qint64>(1, end ? end - value : size - 1);
            } else {
                bytes += prefix + std::min(quint8(value[0]) | (quint8(value[1]) << 8), size - 2);
            }
        }
        total += bytes;
    }
    return total;
}

} // namespace

void PacketWriter::reserve(qint64 bytes)
{
    if (m_size + bytes <= m_data.size())
        return;
    m_data.resize(m_size + bytes);
#ifdef MADV_HUGEPAGE
    // A large packet is written once from start to end: huge pages spare most of its page faults.
    constexpr quintptr kHugePage = quintptr(2) << 20;
    const auto begin = (reinterpret_cast<quintptr>(m_data.data()) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<quintptr>(m_data.data()) + quintptr(m_data.size())) & ~(kHugePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

QByteArray PacketWriter::write(const IRecordStore &store, PacketForm form)
{
    const auto &mem = static_cast<const MemRecordStore &>(store);
    if (form == PacketForm::Xml)
        return PacketXml::write(mem);

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

    std::vector<int> rows;
    if (log.empty()) {
        rows = mem.defaultOrder();
    } else {
        rows.resize(size_t(mem.rowCount()));
        for (size_t i = 0; i < rows.size(); ++i)
            rows[i] = int(i) + 1;
    }
    writer.reserve(rowBytes(mem, prefixes, rows));
    if (log.empty()) {
        const bool keepStatus = mem.keepChangeLog();
        for (int row : rows)
            writeRow(writer, mem, prefixes, row, keepStatus ? mem.rowStatus(row) : RowStatus::Current);
    } else {
        for (int row : rows)
            writeRow(writer, mem, prefixes, row, mem.rowStatus(row));
    }
    return writer.finish();
}
