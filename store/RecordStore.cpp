#include "store/RecordStore.h"

#include "store/PacketReader.h"
#include "store/PacketWriter.h"
#include "store/detail/MemRecordStore.h"

#include <QFile>
#include <QSet>
#include <cstring>
#include <limits>
#include <sys/mman.h>

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

FieldState state(const RecordLayout &layout, const char *record, int column)
{
    const char s = record[layout.stateOffset(column)];
    return s == 0 ? FieldState::Value : (s == 1 ? FieldState::Null : FieldState::Unassigned);
}

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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(path);
    const qint64 size = file.size();
    if (size >= qint64(std::numeric_limits<int>::max()))
        throw EStoreError(
            StoreStatus::InvalidPacket, QStringLiteral("%1 is too large for a table file").arg(path));
    QByteArray bytes(size, Qt::Uninitialized);
#ifdef MADV_HUGEPAGE
    constexpr quintptr kHugePage = quintptr(2) << 20;
    const auto begin = (reinterpret_cast<quintptr>(bytes.data()) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<quintptr>(bytes.data()) + quintptr(size)) & ~(kHugePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#endif
    qint64 done = 0;
    while (done < size) {
        const qint64 n = file.read(bytes.data() + done, size - done);
        if (n <= 0)
            throw EFileError(QStringLiteral("Cannot read file %1: %2").arg(path, file.errorString()));
        done += n;
    }
    return fromPacket(bytes, path);
}

QByteArray MemRecordStore::toPacket(PacketForm form) const
{
    return PacketWriter::write(*this, form);
}
