#include "store/RecordStore.h"

#include "platform/FileIO.h"
#include "store/PacketReader.h"
#include "store/PacketWriter.h"
#include "store/detail/MemRecordStore.h"

#include <QFileInfo>
#include <QSet>
#include <cstring>
#include <limits>

// Largest record a store holds: far above any table of the program, and low enough that a hostile packet
// cannot make a few rows cost gigabytes.
constexpr int kMaxRecordSize = 1 << 20;

int columnValueSize(const ColumnDesc &column)
{
    const int fixed = column.fixedSize;
    switch (column.type) {
    case StoreType::Int8:
    case StoreType::UInt8:
        return 1;
    case StoreType::Int16:
    case StoreType::UInt16:
        return 2;
    case StoreType::Int32:
    case StoreType::UInt32:
    case StoreType::Date:
    case StoreType::Time:
        return 4;
    case StoreType::Int64:
    case StoreType::UInt64:
    case StoreType::Float:
    case StoreType::DateTimeStamp:
        return 8;
    case StoreType::Float10:
        return 10;
    case StoreType::SqlTimeStamp:
        return 16;
    case StoreType::Bool:
        return fixed == 0 ? 2 : (fixed == 1 || fixed == 2 || fixed == 4 ? fixed : 0);
    case StoreType::Decimal:
    case StoreType::FormattedDecimal:
        return fixed > 0 && fixed <= 64 ? fixed : 0;
    case StoreType::Bytes:
        return fixed > 0 && fixed <= 65535 ? fixed : 0;
    case StoreType::Text:
        return column.width > 0 && column.width <= 65535 ? column.width + 1 : 0;
    // Length (2 bytes) and the bytes.
    case StoreType::VarBytes:
        return column.width > 0 && column.width <= 65535 ? column.width + 2 : 0;
    case StoreType::WideText:
        return column.width > 0 && column.width <= 32767 ? 2 * column.width + 2 : 0;
    default:
        return 0;
    }
}

void makeColumnNamesUnique(std::vector<ColumnDesc> &columns)
{
    QSet<QByteArray> taken;
    for (ColumnDesc &column : columns) {
        if (!taken.contains(column.name.toUpper())) {
            taken.insert(column.name.toUpper());
            continue;
        }
        for (int n = 1;; ++n) {
            const QByteArray suffix = "_" + QByteArray::number(n);
            const QByteArray candidate = column.name.left(31 - suffix.size()) + suffix;
            if (!taken.contains(candidate.toUpper())) {
                column.name = candidate;
                taken.insert(candidate.toUpper());
                break;
            }
        }
    }
}

RecordLayout::RecordLayout(const std::vector<ColumnDesc> &columns)
{
    qint64 offset = 0;
    for (const ColumnDesc &column : columns) {
        const int size = columnValueSize(column);
        m_offsets.push_back(int(offset));
        m_sizes.push_back(size);
        m_text.push_back(column.type == StoreType::Text);
        offset += 1 + size;
        if (offset > kMaxRecordSize)
            throw EStoreError(
                StoreStatus::NotAllowed, QStringLiteral("the rows of this table are too large"));
    }
    m_recordSize = std::max<int>(int(offset), 1);
}

namespace Record {

void setState(const RecordLayout &layout, char *record, int column, FieldState state)
{
    record[layout.stateOffset(column)] = char(state);
    std::memset(record + layout.valueOffset(column), 0, size_t(layout.valueSize(column)));
}

void setValue(const RecordLayout &layout, char *record, int column, const char *bytes, int length)
{
    const int size = layout.valueSize(column);
    const int room = layout.isText(column) ? size - 1 : size;
    const int n = std::clamp(length, 0, room);
    char *value = record + layout.valueOffset(column);
    record[layout.stateOffset(column)] = char(FieldState::Value);
    if (n > 0)
        std::memmove(value, bytes, size_t(n));
    std::memset(value + n, 0, size_t(size - n));
}

const char *value(const RecordLayout &layout, const char *record, int column)
{
    return record + layout.valueOffset(column);
}

} // namespace Record

std::unique_ptr<IRecordStore> IRecordStore::create(const QString &tableName, std::vector<ColumnDesc> columns)
{
    for (const ColumnDesc &column : columns) {
        if (columnValueSize(column) == 0)
            throw EStoreError(StoreStatus::NotAllowed,
                QStringLiteral("Column %1 cannot be stored").arg(QString::fromLatin1(column.name)));
    }
    return std::make_unique<MemRecordStore>(tableName, std::move(columns));
}

std::unique_ptr<IRecordStore> IRecordStore::fromPacket(const QByteArray &packet, const QString &sourceName)
{
    return PacketReader::load(packet, sourceName);
}

std::unique_ptr<IRecordStore> IRecordStore::fromFile(const QString &path)
{
    if (QFileInfo(path).size() >= qint64(std::numeric_limits<int>::max()))
        throw EStoreError(
            StoreStatus::InvalidPacket, QStringLiteral("%1 is too large for a table file").arg(path));
    const FileIO::MappedFile file(path);
    return fromPacket(file.bytes(), path);
}

QByteArray MemRecordStore::toPacket(PacketForm form) const
{
    return PacketWriter::write(*this, form);
}
