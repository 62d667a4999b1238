#include "store/detail/MemRecordStore.h"

#include "store/detail/ByteReader.h"
#include "store/detail/Crc32.h"
#include "store/detail/PacketFormat.h"
#include "store/detail/PacketRows.h"
#include "store/detail/RowSort.h"

#include "platform/Cp1252.h"
#include "platform/RegionalSettings.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <new>
#include <sys/mman.h>
#include <unordered_map>

namespace {

template <class T> T load(const char *p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class T> int compareNumbers(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

QString textOf(const char *value, int maxBytes)
{
    const char *end = static_cast<const char *>(std::memchr(value, 0, size_t(maxBytes)));
    return Cp1252::decode(QByteArrayView(value, end ? end - value : maxBytes));
}

EStoreError outOfMemory()
{
    return EStoreError(StoreStatus::OutOfMemory);
}

// Room for one more element, growing geometrically (reserve(size + 1) would copy on every insert).
template <class T> void roomForOne(std::vector<T> &v)
{
    if (v.size() == v.capacity())
        v.reserve(std::max<size_t>(16, v.capacity() * 2));
}

} // namespace

// ---- RowSlots

constexpr size_t kHugePage = size_t(2) << 20;

int RowSlots::chunkShiftFor(int recordSize)
{
    int shift = 7;
    while (shift < 20 && (qint64(1) << shift) * recordSize < qint64(8) << 20)
        ++shift;
    return shift;
}

void RowSlots::Free::operator()(char *p) const
{
    ::munmap(p, bytes);
}

void RowSlots::reserveOne()
{
    if ((m_count >> m_chunkShift) < int(m_chunks.size()))
        return;
    roomForOne(m_chunks);
    const size_t bytes = (size_t(m_recordSize) << m_chunkShift);
    const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    // One huge page more than needed, so an aligned stretch can be kept and the rest given back.
    void *mapped
        = ::mmap(nullptr, rounded + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    char *raw = static_cast<char *>(mapped);
    char *aligned = reinterpret_cast<char *>(
        (reinterpret_cast<quintptr>(raw) + kHugePage - 1) & ~quintptr(kHugePage - 1));
    if (aligned > raw)
        ::munmap(raw, size_t(aligned - raw));
    const size_t tail = size_t(raw + rounded + kHugePage - (aligned + rounded));
    if (tail > 0)
        ::munmap(aligned + rounded, tail);
#ifdef MADV_HUGEPAGE
    ::madvise(aligned, rounded, MADV_HUGEPAGE);
#endif
    m_chunks.push_back(std::unique_ptr<char, Free>(aligned, Free { rounded }));
}

char *RowSlots::append()
{
    char *p = slot(m_count);
    ++m_count;
    return p;
}

void RowSlots::dropLast()
{
    --m_count;
    std::memset(slot(m_count), 0, size_t(m_recordSize));
}

// ---- Comparison

int compareColumn(
    const ColumnDesc &column, const RecordLayout &layout, int index, const char *a, const char *b)
{
    const bool nullA = Record::state(layout, a, index) != FieldState::Value;
    const bool nullB = Record::state(layout, b, index) != FieldState::Value;
    if (nullA || nullB)
        return nullA == nullB ? 0 : (nullA ? -1 : 1);
    const char *va = Record::value(layout, a, index);
    const char *vb = Record::value(layout, b, index);
    const int size = layout.valueSize(index);
    switch (column.type) {
    case StoreType::Int8:
        return compareNumbers(load<qint8>(va), load<qint8>(vb));
    case StoreType::Int16:
        return compareNumbers(load<qint16>(va), load<qint16>(vb));
    case StoreType::Int32:
    case StoreType::Date:
    case StoreType::Time:
        return compareNumbers(load<qint32>(va), load<qint32>(vb));
    case StoreType::Int64:
        return compareNumbers(load<qint64>(va), load<qint64>(vb));
    case StoreType::UInt8:
        return compareNumbers(load<quint8>(va), load<quint8>(vb));
    case StoreType::UInt16:
        return compareNumbers(load<quint16>(va), load<quint16>(vb));
    case StoreType::UInt32:
        return compareNumbers(load<quint32>(va), load<quint32>(vb));
    case StoreType::UInt64:
        return compareNumbers(load<quint64>(va), load<quint64>(vb));
    case StoreType::Float:
    case StoreType::DateTimeStamp:
        return compareNumbers(load<double>(va), load<double>(vb));
    case StoreType::Bool: {
        const bool x = std::any_of(va, va + size, [](char c) { return c != 0; });
        const bool y = std::any_of(vb, vb + size, [](char c) { return c != 0; });
        return compareNumbers(int(x), int(y));
    }
    case StoreType::Text:
        return RegionalSettings::current().compareStr(textOf(va, size), textOf(vb, size));
    default: {
        const int r = std::memcmp(va, vb, size_t(size));
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    }
    }
}

KeyComparer::KeyComparer(
    const std::vector<ColumnDesc> &columns, const RecordLayout &layout, QList<int> keyColumns)
    : m_columns(&columns)
    , m_layout(&layout)
    , m_keys(std::move(keyColumns))
{ }

int KeyComparer::compare(const char *a, const char *b, int keyCount) const
{
    for (int i = 0; i < keyCount && i < m_keys.size(); ++i) {
        const int column = m_keys[i];
        const int r = compareColumn((*m_columns)[size_t(column)], *m_layout, column, a, b);
        if (r != 0)
            return r;
    }
    return 0;
}

// ---- Store

MemRecordStore::MemRecordStore(QString name, std::vector<ColumnDesc> columns)
    : tableName(std::move(name))
    , m_columns(std::move(columns))
    , m_layout(m_columns)
    , m_slots(m_layout.recordSize())
{
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].type == StoreType::Int32 && m_columns[i].subtype == StoreSubtype::Autoinc) {
            m_autoIncColumn = int(i);
            break;
        }
    }
}

MemRecordStore::~MemRecordStore() = default;

quint8 MemRecordStore::rowStatus(int rowNumber) const
{
    if (rowNumber < 1 || rowNumber > m_slots.count())
        return RowStatus::Unused;
    return m_status[size_t(rowNumber - 1)];
}

void MemRecordStore::normalize(char *record) const
{
    for (int i = 0; i < m_layout.columnCount(); ++i) {
        char *state = record + m_layout.stateOffset(i);
        char *value = record + m_layout.valueOffset(i);
        const int size = m_layout.valueSize(i);
        if (*state != char(FieldState::Value)) {
            if (*state != char(FieldState::Null))
                *state = char(FieldState::Unassigned);
            std::memset(value, 0, size_t(size));
            continue;
        }
        if (!m_layout.isText(i))
            continue;
        const char *end = static_cast<const char *>(std::memchr(value, 0, size_t(size - 1)));
        int length = end ? int(end - value) : size - 1;
        if (m_stringTrim) {
            while (length > 0 && value[length - 1] == ' ')
                --length;
        }
        std::memset(value + length, 0, size_t(size - length));
    }
}

void MemRecordStore::checkWritable() const
{
    if (m_readOnly)
        throw EStoreError(StoreStatus::ReadOnlyStore);
}

void MemRecordStore::checkRequired(const char *record) const
{
    for (int i = 0; i < m_layout.columnCount(); ++i) {
        if (!(m_columns[size_t(i)].attributes & StoreAttr::Required))
            continue;
        const bool missing = Record::state(m_layout, record, i) != FieldState::Value
            || (m_layout.isText(i) && *Record::value(m_layout, record, i) == 0);
        if (missing)
            throw EStoreError(StoreStatus::RequiredFieldNull);
    }
}

void MemRecordStore::reserveForChange()
{
    try {
        m_slots.reserveOne();
        roomForOne(m_status);
        roomForOne(m_defaultOrder);
        for (auto &index : m_sortIndexes)
            roomForOne(index->rows);
        if (m_keepChangeLog)
            roomForOne(m_changeLog);
    } catch (const std::bad_alloc &) {
        throw outOfMemory();
    }
}

void MemRecordStore::insertSorted(SortIndex &index, int rowNumber)
{
    const char *record = m_slots.row(rowNumber);
    auto pos = std::upper_bound(index.rows.begin(), index.rows.end(), record,
        [&](const char *r, int row) { return index.comparer.compare(r, m_slots.row(row)) < 0; });
    index.rows.insert(pos, rowNumber);
}

void MemRecordStore::eraseFrom(SortIndex &index, int rowNumber, const char *oldRecord)
{
    auto range = std::equal_range(
        index.rows.begin(), index.rows.end(), oldRecord, [&](const auto &x, const auto &y) {
            if constexpr (std::is_same_v<std::decay_t<decltype(x)>, int>)
                return index.comparer.compare(m_slots.row(x), y) < 0;
            else
                return index.comparer.compare(x, m_slots.row(y)) < 0;
        });
    auto it = std::find(range.first, range.second, rowNumber);
    if (it == range.second)
        it = std::find(index.rows.begin(), index.rows.end(), rowNumber);
    if (it != index.rows.end())
        index.rows.erase(it);
}

int MemRecordStore::positionIn(const SortIndex *index, int rowNumber) const
{
    if (rowNumber < 1 || rowNumber > m_slots.count() || !isLive(m_status[size_t(rowNumber - 1)]))
        return -1;
    if (!index) {
        // Appended rows are the common case.
        if (!m_defaultOrder.empty() && m_defaultOrder.back() == rowNumber)
            return int(m_defaultOrder.size()) - 1;
        auto it = std::find(m_defaultOrder.begin(), m_defaultOrder.end(), rowNumber);
        return it == m_defaultOrder.end() ? -1 : int(it - m_defaultOrder.begin());
    }
    const char *record = m_slots.row(rowNumber);
    const KeyComparer &cmp = index->comparer;
    auto first = std::lower_bound(index->rows.begin(), index->rows.end(), record,
        [&](int row, const char *r) { return cmp.compare(m_slots.row(row), r) < 0; });
    auto last = std::upper_bound(first, index->rows.end(), record,
        [&](const char *r, int row) { return cmp.compare(r, m_slots.row(row)) < 0; });
    // New rows go after the last equal key, so search the equal keys from the back.
    for (auto it = last; it != first;) {
        --it;
        if (*it == rowNumber)
            return int(it - index->rows.begin());
    }
    auto it = std::find(index->rows.begin(), index->rows.end(), rowNumber);
    return it == index->rows.end() ? -1 : int(it - index->rows.begin());
}

int MemRecordStore::insertRow(const char *record, int defaultOrderPosition)
{
    checkWritable();
    std::vector<char> row(record, record + m_layout.recordSize());
    normalize(row.data());
    if (m_autoIncColumn >= 0) {
        if (m_nextAutoInc >= kMaxAutoIncValue)
            throw EStoreError(StoreStatus::NotAllowed);
        const qint32 value = qint32(m_nextAutoInc);
        Record::setValue(m_layout, row.data(), m_autoIncColumn, reinterpret_cast<const char *>(&value), 4);
    }
    checkRequired(row.data());
    if (m_slots.count() >= 0x7FFFFFFE)
        throw outOfMemory();
    reserveForChange();

    // Nothing below allocates: the store cannot be left half changed.
    std::memcpy(m_slots.append(), row.data(), row.size());
    const int rowNumber = m_slots.count();
    m_status.push_back(m_keepChangeLog ? RowStatus::Inserted : RowStatus::Current);
    if (m_keepChangeLog)
        m_changeLog.push_back({ rowNumber, 0, RowStatus::Inserted });
    if (defaultOrderPosition < 0 || defaultOrderPosition > int(m_defaultOrder.size()))
        m_defaultOrder.push_back(rowNumber);
    else
        m_defaultOrder.insert(m_defaultOrder.begin() + defaultOrderPosition, rowNumber);
    for (auto &index : m_sortIndexes)
        insertSorted(*index, rowNumber);
    if (m_autoIncColumn >= 0)
        ++m_nextAutoInc;
    ++m_liveRows;
    ++m_changeCount;
    ++m_generation;
    const bool placed = defaultOrderPosition >= 0 && defaultOrderPosition + 1 < int(m_defaultOrder.size())
        && m_defaultOrder[size_t(defaultOrderPosition)] == rowNumber;
    noteChange(ChangeKind::Insert, rowNumber, placed ? m_defaultOrder[size_t(defaultOrderPosition) + 1] : 0);
    return rowNumber;
}

int MemRecordStore::modifyRow(int rowNumber, const char *record)
{
    checkWritable();
    if (rowNumber < 1 || rowNumber > m_slots.count() || !isLive(m_status[size_t(rowNumber - 1)]))
        throw EStoreError(StoreStatus::NotAllowed);
    std::vector<char> row(record, record + m_layout.recordSize());
    normalize(row.data());
    const char *old = m_slots.row(rowNumber);
    for (int i = 0; i < m_layout.columnCount(); ++i) {
        if (!(m_columns[size_t(i)].attributes & StoreAttr::ReadOnly))
            continue;
        const int from = m_layout.stateOffset(i);
        if (std::memcmp(old + from, row.data() + from, size_t(m_layout.valueSize(i) + 1)) != 0)
            throw EStoreError(StoreStatus::ReadOnlyField);
    }
    checkRequired(row.data());
    reserveForChange();

    if (m_notesComplete) {
        qint32 oldKey = 0;
        qint32 newKey = 0;
        if (keyOf(old, oldKey) != keyOf(row.data(), newKey) || oldKey != newKey) {
            // Rows are found again by their key; one that changes it cannot be.
            stopNoting();
            m_keyCheck = KeyCheck::Unknown;
        }
    }
    std::vector<SortIndex *> moved;
    for (auto &index : m_sortIndexes) {
        if (index->comparer.compare(old, row.data()) != 0)
            moved.push_back(index.get());
    }
    int target = rowNumber;
    if (m_keepChangeLog) {
        std::memcpy(m_slots.append(), row.data(), row.size());
        target = m_slots.count();
        m_status.push_back(RowStatus::NewVersion);
        m_status[size_t(rowNumber - 1)] = RowStatus::Original;
        m_changeLog.push_back({ target, rowNumber, RowStatus::NewVersion });
        std::replace(m_defaultOrder.begin(), m_defaultOrder.end(), rowNumber, target);
        for (auto &index : m_sortIndexes) {
            if (std::find(moved.begin(), moved.end(), index.get()) == moved.end())
                std::replace(index->rows.begin(), index->rows.end(), rowNumber, target);
        }
        for (SortIndex *index : moved) {
            eraseFrom(*index, rowNumber, old);
            insertSorted(*index, target);
        }
    } else {
        for (SortIndex *index : moved)
            eraseFrom(*index, rowNumber, old);
        std::memcpy(m_slots.row(rowNumber), row.data(), row.size());
        for (SortIndex *index : moved)
            insertSorted(*index, rowNumber);
    }
    ++m_changeCount;
    ++m_generation;
    noteChange(ChangeKind::Modify, target);
    return target;
}

void MemRecordStore::deleteRow(int rowNumber)
{
    checkWritable();
    if (rowNumber < 1 || rowNumber > m_slots.count() || !isLive(m_status[size_t(rowNumber - 1)]))
        throw EStoreError(StoreStatus::NotAllowed);
    if (m_keepChangeLog) {
        try {
            roomForOne(m_changeLog);
        } catch (const std::bad_alloc &) {
            throw outOfMemory();
        }
        m_changeLog.push_back({ rowNumber, 0, RowStatus::Deleted });
    }
    const char *old = m_slots.row(rowNumber);
    auto it = std::find(m_defaultOrder.begin(), m_defaultOrder.end(), rowNumber);
    if (it != m_defaultOrder.end())
        m_defaultOrder.erase(it);
    for (auto &index : m_sortIndexes)
        eraseFrom(*index, rowNumber, old);
    m_status[size_t(rowNumber - 1)] = RowStatus::Deleted;
    --m_liveRows;
    ++m_changeCount;
    ++m_generation;
    noteChange(ChangeKind::Delete, rowNumber);
}

SortIndex *MemRecordStore::sortIndexFor(const QList<int> &keyColumns)
{
    for (auto &index : m_sortIndexes) {
        if (index->comparer.keys() == keyColumns)
            return index.get();
    }
    auto index = std::make_unique<SortIndex>(m_columns, m_layout, keyColumns);
    std::vector<int> rows;
    rows.reserve(size_t(m_liveRows));
    for (int r = 1; r <= m_slots.count(); ++r) {
        if (isLive(m_status[size_t(r - 1)]))
            rows.push_back(r);
    }
    const int first = keyColumns.value(0, -1);
    const StoreType type = first >= 0 ? m_columns[size_t(first)].type : StoreType::Text;
    const bool numeric = keyColumns.size() == 1
        && (type == StoreType::Int32 || type == StoreType::Int16 || type == StoreType::Int8
            || type == StoreType::UInt8 || type == StoreType::UInt16 || type == StoreType::UInt32
            || type == StoreType::Float || type == StoreType::DateTimeStamp || type == StoreType::Date
            || type == StoreType::Time);
    const bool integer = keyColumns.size() == 1
        && (type == StoreType::Int32 || type == StoreType::Int16 || type == StoreType::Int8
            || type == StoreType::UInt8 || type == StoreType::UInt16 || type == StoreType::UInt32);
    if (integer) {
        // One integer key: entries of the key (null lowest, then the value, in 33 bits) above the row number
        // (31 bits), sorted on the key alone.
        constexpr int kRowBits = RowSort::kPackedRowBits;
        std::vector<quint64> entries;
        entries.reserve(rows.size());
        const RecordLayout &layout = m_layout;
        const int state = layout.stateOffset(first);
        const int at = layout.valueOffset(first);
        for (int r : rows) {
            const char *rec = m_slots.row(r);
            qint64 value = 0;
            if (rec[state] == char(FieldState::Value)) {
                const char *v = rec + at;
                switch (type) {
                case StoreType::Int8:
                    value = load<qint8>(v);
                    break;
                case StoreType::Int16:
                    value = load<qint16>(v);
                    break;
                case StoreType::UInt8:
                    value = load<quint8>(v);
                    break;
                case StoreType::UInt16:
                    value = load<quint16>(v);
                    break;
                case StoreType::UInt32:
                    value = load<quint32>(v);
                    break;
                default:
                    value = load<qint32>(v);
                    break;
                }
                value += qint64(1) << 31; // the lowest value becomes 0 ...
                ++value; // ... and 1, above the null's 0
            }
            entries.push_back((quint64(value) << kRowBits) | quint64(r));
        }
        RowSort::sortPackedKeys(entries);
        for (size_t i = 0; i < entries.size(); ++i)
            rows[i] = int(entries[i] & ((quint64(1) << kRowBits) - 1));
    } else if (numeric) {
        // One numeric key: sort (null flag, value, row) entries, which compare exactly like the records.
        struct Entry
        {
            double value;
            int row;
            bool hasValue;
        };
        std::vector<Entry> entries;
        entries.reserve(rows.size());
        const RecordLayout &layout = m_layout;
        for (int r : rows) {
            const char *rec = m_slots.row(r);
            Entry e { 0.0, r, Record::state(layout, rec, first) == FieldState::Value };
            if (e.hasValue) {
                const char *v = Record::value(layout, rec, first);
                switch (type) {
                case StoreType::Int8:
                    e.value = load<qint8>(v);
                    break;
                case StoreType::Int16:
                    e.value = load<qint16>(v);
                    break;
                case StoreType::UInt8:
                    e.value = load<quint8>(v);
                    break;
                case StoreType::UInt16:
                    e.value = load<quint16>(v);
                    break;
                case StoreType::UInt32:
                    e.value = load<quint32>(v);
                    break;
                case StoreType::Float:
                case StoreType::DateTimeStamp:
                    e.value = load<double>(v);
                    break;
                default:
                    e.value = load<qint32>(v);
                    break;
                }
            }
            entries.push_back(e);
        }
        RowSort::sort(entries, [](const Entry &a, const Entry &b) {
            if (a.hasValue != b.hasValue)
                return !a.hasValue;
            return a.value < b.value;
        });
        for (size_t i = 0; i < entries.size(); ++i)
            rows[i] = entries[i].row;
    } else {
        const KeyComparer &comparer = index->comparer;
        RowSort::sort(
            rows, [&](int a, int b) { return comparer.compare(m_slots.row(a), m_slots.row(b)) < 0; });
    }
    index->rows = std::move(rows);
    m_sortIndexes.push_back(std::move(index));
    ++m_generation;
    return m_sortIndexes.back().get();
}

void MemRecordStore::reserveRows(qint64 rows)
{
    m_status.reserve(size_t(rows));
}

void MemRecordStore::dropLastLoadedRow()
{
    m_slots.dropLast();
    m_status.pop_back();
}

char *MemRecordStore::appendLoadedRow(quint8 status)
{
    m_slots.reserveOne();
    roomForOne(m_status);
    m_status.push_back(status);
    return m_slots.append();
}

void MemRecordStore::finishLoad(qint64 storedAutoIncValue)
{
    m_defaultOrder.clear();
    m_defaultOrder.reserve(size_t(m_slots.count()));
    qint64 highest = 0;
    // Live rows whose numbers rise in file order have a number each and none twice: the check that noting
    // changes needs is then done here, while the rows pass by anyway, instead of by a pass of its own over
    // every row at the first change.
    bool rising = m_autoIncColumn >= 0;
    qint64 lastLive = std::numeric_limits<qint64>::min();
    for (int r = 1; r <= m_slots.count(); ++r) {
        const bool live = isLive(m_status[size_t(r - 1)]);
        if (live)
            m_defaultOrder.push_back(r);
        if (m_autoIncColumn >= 0) {
            const char *rec = m_slots.row(r);
            if (Record::state(m_layout, rec, m_autoIncColumn) == FieldState::Value) {
                const qint32 key = load<qint32>(Record::value(m_layout, rec, m_autoIncColumn));
                highest = std::max<qint64>(highest, key);
                if (live) {
                    rising = rising && key > lastLive;
                    lastLive = key;
                }
            } else if (live) {
                rising = false;
            }
        }
    }
    m_keyCheck = rising ? KeyCheck::Usable : KeyCheck::Unknown;
    // Numbers already in use are never handed out again, whatever the stored value says.
    m_nextAutoInc = std::clamp<qint64>(std::max(storedAutoIncValue, highest + 1), 1, kMaxAutoIncValue);
    m_liveRows = int(m_defaultOrder.size());
    m_changeCount = 0;
    ++m_generation;
}

// ---- Changes for the journal

namespace {

// A note larger than this is dropped: the table is then written whole, which is cheaper than keeping it.
constexpr qsizetype kMaxNotes = qsizetype(4) << 20;

void put32(QByteArray &out, quint32 v)
{
    char b[4];
    std::memcpy(b, &v, 4);
    out.append(b, 4);
}

// Rows by their key, for applying journal parts.
class KeyIndex
{
public:
    void add(qint32 key, int row)
    {
        if (m_dense) {
            const qint64 at = qint64(key) - m_base;
            if (at >= 0 && at < qint64(m_rows.size())) {
                m_rows[size_t(at)] = row;
                return;
            }
        }
        m_sparse[key] = row;
    }
    void remove(qint32 key) { add(key, 0); }
    int find(qint32 key) const
    {
        if (m_dense) {
            const qint64 at = qint64(key) - m_base;
            if (at >= 0 && at < qint64(m_rows.size()))
                return m_rows[size_t(at)];
        }
        const auto it = m_sparse.find(key);
        return it == m_sparse.end() ? 0 : it->second;
    }
    // Keys from `low` to `high` are kept in a plain array when they are not spread too thin.
    void reserveRange(qint64 low, qint64 high, qint64 rows)
    {
        if (high >= low && high - low < 4 * rows + 4096) {
            m_dense = true;
            m_base = low;
            m_rows.assign(size_t(high - low + 1 + 4096), 0);
        }
    }

private:
    bool m_dense = false;
    qint64 m_base = 0;
    std::vector<int> m_rows;
    std::unordered_map<qint32, int> m_sparse;
};

} // namespace

const PacketRows &MemRecordStore::rowCodec() const
{
    if (!m_rowCodec) {
        std::vector<int> prefixes;
        for (const ColumnDesc &column : m_columns)
            prefixes.push_back(PacketFormat::prefixSizeFor(column));
        m_rowCodec = std::make_unique<PacketRows>(m_columns, m_layout, std::move(prefixes));
    }
    return *m_rowCodec;
}

quint32 MemRecordStore::columnFingerprint() const
{
    QByteArray shape;
    for (const ColumnDesc &column : m_columns) {
        shape += column.name;
        shape += '\0';
        put32(shape, PacketFormat::typeWordFor(column));
        put32(shape, quint32(column.width));
    }
    return Crc32::of(shape.constData(), shape.size());
}

bool MemRecordStore::keyOf(const char *record, qint32 &key) const
{
    if (m_autoIncColumn < 0 || Record::state(m_layout, record, m_autoIncColumn) != FieldState::Value)
        return false;
    key = load<qint32>(Record::value(m_layout, record, m_autoIncColumn));
    return true;
}

bool MemRecordStore::keysUsable()
{
    if (m_keyCheck != KeyCheck::Unknown)
        return m_keyCheck == KeyCheck::Usable;
    m_keyCheck = KeyCheck::Unusable;
    if (m_autoIncColumn < 0)
        return false;
    std::vector<qint32> keys;
    keys.reserve(m_defaultOrder.size());
    qint64 low = std::numeric_limits<qint64>::max();
    qint64 high = std::numeric_limits<qint64>::min();
    for (int row : m_defaultOrder) {
        qint32 key = 0;
        if (!keyOf(m_slots.row(row), key))
            return false;
        keys.push_back(key);
        low = std::min<qint64>(low, key);
        high = std::max<qint64>(high, key);
    }
    if (!keys.empty() && high - low < qint64(64) << 20) {
        std::vector<bool> seen(size_t(high - low + 1));
        for (qint32 key : keys) {
            if (seen[size_t(key - low)])
                return false;
            seen[size_t(key - low)] = true;
        }
    } else {
        std::sort(keys.begin(), keys.end());
        if (std::adjacent_find(keys.begin(), keys.end()) != keys.end())
            return false;
    }
    m_keyCheck = KeyCheck::Usable;
    return true;
}

void MemRecordStore::setRecordChanges(bool on)
{
    m_recordChanges = on;
    stopNoting();
    m_notesComplete = on && m_changeCount == 0;
}

void MemRecordStore::stopNoting()
{
    m_notesComplete = false;
    m_notes = QByteArray();
    m_noteCount = 0;
}

void MemRecordStore::forgetRecordedChanges()
{
    stopNoting();
    m_notesComplete = m_recordChanges;
}

void MemRecordStore::noteChange(ChangeKind kind, int rowNumber, int beforeRow)
{
    if (!m_notesComplete)
        return;
    qint32 key = 0;
    if (m_keepChangeLog || !keysUsable() || !keyOf(m_slots.row(rowNumber), key)
        || m_notes.size() > kMaxNotes) {
        stopNoting();
        return;
    }
    try {
        m_notes.append(char(kind));
        put32(m_notes, quint32(key));
        if (kind == ChangeKind::Insert) {
            qint32 beforeKey = 0;
            const bool before = beforeRow > 0 && keyOf(m_slots.row(beforeRow), beforeKey);
            m_notes.append(char(before ? 1 : 0));
            put32(m_notes, quint32(beforeKey));
        }
        if (kind != ChangeKind::Delete) {
            const PacketRows &codec = rowCodec();
            const qsizetype at = m_notes.size();
            m_notes.resize(at + 4 + codec.maxRowBytes());
            char *end = codec.encode(m_slots.row(rowNumber), RowStatus::Current, m_notes.data() + at + 4);
            const quint32 length = quint32(end - (m_notes.data() + at + 4));
            std::memcpy(m_notes.data() + at, &length, 4);
            m_notes.truncate(at + 4 + length);
        }
        ++m_noteCount;
    } catch (const std::bad_alloc &) {
        stopNoting();
    }
}

bool MemRecordStore::recordedChanges(QByteArray &body) const
{
    if (!m_recordChanges || !m_notesComplete)
        return false;
    body.clear();
    body.reserve(12 + m_notes.size());
    put32(body, columnFingerprint());
    put32(body, quint32(qint32(m_nextAutoInc)));
    put32(body, m_noteCount);
    body.append(m_notes);
    return true;
}

QStringList MemRecordStore::applyChanges(const std::vector<QByteArray> &parts, const QString &source)
{
    // Every part is read and checked first, so a part that does not fit changes nothing; the parts that fit
    // are applied in order with one index of the rows by their keys.
    QStringList problems;
    std::vector<Change> changes;
    qint64 nextValue = 0;
    for (const QByteArray &body : parts) {
        std::vector<Change> changesOfPart;
        try {
            nextValue = std::max<qint64>(nextValue, readChanges(body, source, changesOfPart));
        } catch (const EStoreError &error) {
            problems << error.message();
            continue;
        }
        changes.insert(changes.end(), std::make_move_iterator(changesOfPart.begin()),
            std::make_move_iterator(changesOfPart.end()));
    }
    if (changes.empty() && nextValue <= m_nextAutoInc)
        return problems;

    try {
        m_status.reserve(m_status.size() + changes.size());
        m_defaultOrder.reserve(m_defaultOrder.size() + changes.size());
    } catch (const std::bad_alloc &) {
        throw outOfMemory();
    }
    KeyIndex keys;
    qint64 low = std::numeric_limits<qint64>::max();
    qint64 high = std::numeric_limits<qint64>::min();
    for (int row : m_defaultOrder) {
        qint32 key = 0;
        if (keyOf(m_slots.row(row), key)) {
            low = std::min<qint64>(low, key);
            high = std::max<qint64>(high, key);
        }
    }
    keys.reserveRange(low, std::max<qint64>(high, m_nextAutoInc), qint64(m_defaultOrder.size()));
    for (int row : m_defaultOrder) {
        qint32 key = 0;
        if (keyOf(m_slots.row(row), key))
            keys.add(key, row);
    }
    bool deleted = false;
    for (const Change &change : changes) {
        const int existing = keys.find(change.key);
        switch (change.kind) {
        case ChangeKind::Insert: {
            if (existing != 0)
                break;
            m_slots.reserveOne();
            std::memcpy(m_slots.append(), change.record.data(), change.record.size());
            const int rowNumber = m_slots.count();
            m_status.push_back(RowStatus::Current);
            const int beforeRow = change.before ? keys.find(change.beforeKey) : 0;
            auto at = beforeRow ? std::find(m_defaultOrder.begin(), m_defaultOrder.end(), beforeRow)
                                : m_defaultOrder.end();
            m_defaultOrder.insert(at, rowNumber);
            for (auto &index : m_sortIndexes)
                insertSorted(*index, rowNumber);
            keys.add(change.key, rowNumber);
            m_nextAutoInc = std::max<qint64>(m_nextAutoInc, qint64(change.key) + 1);
            ++m_liveRows;
            break;
        }
        case ChangeKind::Modify: {
            if (existing == 0)
                break;
            char *record = m_slots.row(existing);
            for (auto &index : m_sortIndexes)
                eraseFrom(*index, existing, record);
            std::memcpy(record, change.record.data(), change.record.size());
            for (auto &index : m_sortIndexes)
                insertSorted(*index, existing);
            break;
        }
        case ChangeKind::Delete:
            if (existing == 0)
                break;
            for (auto &index : m_sortIndexes)
                eraseFrom(*index, existing, m_slots.row(existing));
            m_status[size_t(existing - 1)] = RowStatus::Deleted;
            keys.remove(change.key);
            --m_liveRows;
            deleted = true;
            break;
        }
    }
    if (deleted) {
        std::erase_if(m_defaultOrder, [&](int row) { return !isLive(m_status[size_t(row - 1)]); });
    }
    m_nextAutoInc = std::clamp<qint64>(std::max<qint64>(m_nextAutoInc, nextValue), 1, kMaxAutoIncValue);
    m_keyCheck = KeyCheck::Unknown;
    ++m_generation;
    return problems;
}

qint64 MemRecordStore::readChanges(
    const QByteArray &body, const QString &source, std::vector<Change> &changes) const
{
    ByteReader in(body, source);
    auto refuse = [&](const QString &problem) {
        throw EStoreError(StoreStatus::InvalidPacket,
            QStringLiteral("%1: the saved changes of %2 cannot be applied: %3")
                .arg(source, tableName, problem));
    };
    if (in.read<quint32>() != columnFingerprint())
        refuse(QStringLiteral("they were saved for other columns"));
    const qint32 nextValue = in.read<qint32>();
    const quint32 count = in.read<quint32>();
    if (qint64(count) > in.remaining() / 5)
        refuse(QStringLiteral("they are cut short"));
    changes.reserve(count);
    const PacketRows &codec = rowCodec();
    for (quint32 i = 0; i < count; ++i) {
        Change change { ChangeKind(in.read<quint8>()), in.read<qint32>(), false, 0, {} };
        if (change.kind != ChangeKind::Insert && change.kind != ChangeKind::Modify
            && change.kind != ChangeKind::Delete)
            refuse(QStringLiteral("change %1 is of an unknown kind").arg(i + 1));
        if (change.kind == ChangeKind::Insert) {
            change.before = in.read<quint8>() != 0;
            change.beforeKey = in.read<qint32>();
        }
        if (change.kind != ChangeKind::Delete) {
            const quint32 length = in.read<quint32>();
            const qint64 end = in.position() + qint64(length);
            in.need(length);
            change.record.assign(size_t(m_layout.recordSize()), 0);
            codec.readStatus(in, i + 1);
            codec.decodeValues(in, change.record.data(), i + 1);
            qint32 key = 0;
            if (in.position() != end || !keyOf(change.record.data(), key) || key != change.key)
                refuse(QStringLiteral("change %1 is damaged").arg(i + 1));
        }
        changes.push_back(std::move(change));
    }
    if (!in.atEnd())
        refuse(QStringLiteral("there are bytes after the last change"));
    return nextValue;
}

// ---- Cursor

namespace {

class MemCursor : public IRecordCursor
{
public:
    explicit MemCursor(MemRecordStore &store)
        : m_store(store)
    { }

    void moveToBeforeFirst() override { setPosition(CursorPosition::BeforeFirst, 0, -1); }
    void moveToAfterLast() override { setPosition(CursorPosition::AfterLast, 0, -1); }
    int moveBy(int n) override;
    bool moveToRow(int rowNumber) override;
    bool moveToViewIndex(int viewIndex) override;
    CursorPosition position() const override
    {
        sync();
        return m_position;
    }
    int currentRow() const override
    {
        sync();
        return m_position == CursorPosition::OnRow ? m_row : 0;
    }
    int viewIndex() const override
    {
        sync();
        return m_position == CursorPosition::OnRow ? m_viewIndex : -1;
    }
    int viewRowCount() const override;
    int rowAt(int viewIndex) const override;

    bool getRecord(char *record) const override;
    void readRow(int rowNumber, char *record) const override;
    const char *rowData(int rowNumber) const override;
    void initRecord(char *record) const override;

    int insertRecord(const char *record) override;
    void modifyRecord(const char *record) override;
    void deleteRecord() override;

    void setSortColumns(const QList<int> &columns) override;
    QList<int> sortColumns() const override { return m_index ? m_index->comparer.keys() : QList<int>(); }
    void setRange(const QByteArray &lowKey, const QByteArray &highKey, int keyColumns) override;
    void dropRange() override;
    bool hasRange() const override { return m_hasRange; }

    int addFilter(RowFilter filter) override;
    void dropFilter(int id) override;
    void refreshView() override { m_viewGeneration = ~quint64(0); }

private:
    const std::vector<int> &indexRows() const { return m_index ? m_index->rows : m_store.defaultOrder(); }
    void ensureView() const;
    // Brings the position up to date after changes made through another cursor or a view refresh.
    void sync() const;
    void setPosition(CursorPosition position, int row, int viewIndex);
    // View index of a row, -1 when the view does not show it.
    int locate(int rowNumber) const;
    int indexPositionOf(int viewIndex) const;
    // Places the cursor on a row after a change, or between rows at `gap` when the view does not show it.
    void settleOn(int rowNumber, int gap);

    MemRecordStore &m_store;
    SortIndex *m_index = nullptr;
    bool m_hasRange = false;
    QByteArray m_low;
    QByteArray m_high;
    int m_keyColumns = 0;
    std::map<int, RowFilter> m_filters;
    int m_nextFilterId = 1;

    mutable quint64 m_viewGeneration = ~quint64(0);
    mutable quint64 m_viewVersion = 0; // grows with every recomputed view
    mutable int m_rangeBegin = 0;
    mutable int m_rangeEnd = 0;
    mutable std::vector<int> m_filtered; // index positions the filters accept, when there are filters

    mutable CursorPosition m_position = CursorPosition::BeforeFirst;
    mutable int m_row = 0;
    mutable int m_viewIndex = -1; // OnRow: the row's view index; Between: the view index after the gap
    mutable quint64 m_positionGeneration = 0;
};

void MemCursor::ensureView() const
{
    if (m_viewGeneration == m_store.generation())
        return;
    const std::vector<int> &rows = indexRows();
    m_rangeBegin = 0;
    m_rangeEnd = int(rows.size());
    if (m_hasRange && m_index) {
        const KeyComparer &cmp = m_index->comparer;
        const int keys = std::min<int>(m_keyColumns, int(cmp.keys().size()));
        const char *low = m_low.constData();
        const char *high = m_high.constData();
        auto first = std::lower_bound(rows.begin(), rows.end(), low,
            [&](int row, const char *key) { return cmp.compare(m_store.record(row), key, keys) < 0; });
        auto last = std::upper_bound(first, rows.end(), high,
            [&](const char *key, int row) { return cmp.compare(key, m_store.record(row), keys) < 0; });
        m_rangeBegin = int(first - rows.begin());
        m_rangeEnd = int(last - rows.begin());
    }
    m_filtered.clear();
    if (!m_filters.empty()) {
        for (int p = m_rangeBegin; p < m_rangeEnd; ++p) {
            const char *record = m_store.record(rows[size_t(p)]);
            const bool accepted = std::all_of(
                m_filters.begin(), m_filters.end(), [&](const auto &f) { return f.second(record); });
            if (accepted)
                m_filtered.push_back(p);
        }
    }
    m_viewGeneration = m_store.generation();
    ++m_viewVersion;
}

int MemCursor::viewRowCount() const
{
    ensureView();
    return m_filters.empty() ? m_rangeEnd - m_rangeBegin : int(m_filtered.size());
}

int MemCursor::indexPositionOf(int viewIndex) const
{
    return m_filters.empty() ? m_rangeBegin + viewIndex : m_filtered[size_t(viewIndex)];
}

int MemCursor::rowAt(int viewIndex) const
{
    if (viewIndex < 0 || viewIndex >= viewRowCount())
        return 0;
    return indexRows()[size_t(indexPositionOf(viewIndex))];
}

int MemCursor::locate(int rowNumber) const
{
    ensureView();
    const int p = m_store.positionIn(m_index, rowNumber);
    if (p < m_rangeBegin || p >= m_rangeEnd)
        return -1;
    if (m_filters.empty())
        return p - m_rangeBegin;
    auto it = std::lower_bound(m_filtered.begin(), m_filtered.end(), p);
    return it != m_filtered.end() && *it == p ? int(it - m_filtered.begin()) : -1;
}

void MemCursor::sync() const
{
    ensureView();
    if (m_positionGeneration == m_viewVersion)
        return;
    const int count = viewRowCount();
    if (m_position == CursorPosition::OnRow) {
        const int index = locate(m_row);
        if (index >= 0) {
            m_viewIndex = index;
        } else {
            m_position = CursorPosition::Between;
            m_viewIndex = std::clamp(m_viewIndex, 0, count);
        }
    } else if (m_position == CursorPosition::Between) {
        m_viewIndex = std::clamp(m_viewIndex, 0, count);
    }
    m_positionGeneration = m_viewVersion;
}

void MemCursor::setPosition(CursorPosition position, int row, int viewIndex)
{
    ensureView();
    m_position = position;
    m_row = row;
    m_viewIndex = viewIndex;
    m_positionGeneration = m_viewVersion;
}

int MemCursor::moveBy(int n)
{
    sync();
    const qint64 count = viewRowCount();
    if (n == 0)
        return 0;
    qint64 start = 0;
    switch (m_position) {
    case CursorPosition::BeforeFirst:
        start = -1;
        break;
    case CursorPosition::AfterLast:
        start = count;
        break;
    case CursorPosition::OnRow:
        start = m_viewIndex;
        break;
    case CursorPosition::Between:
        start = n > 0 ? m_viewIndex - 1 : m_viewIndex;
        break;
    }
    const qint64 target = std::clamp<qint64>(start + n, 0, count - 1);
    const qint64 moved = target - start;
    if (count == 0 || (n > 0 && moved <= 0) || (n < 0 && moved >= 0))
        return 0;
    setPosition(CursorPosition::OnRow, rowAt(int(target)), int(target));
    return int(moved);
}

bool MemCursor::moveToRow(int rowNumber)
{
    const int index = locate(rowNumber);
    if (index < 0)
        return false;
    setPosition(CursorPosition::OnRow, rowNumber, index);
    return true;
}

bool MemCursor::moveToViewIndex(int viewIndex)
{
    const int row = rowAt(viewIndex);
    if (row == 0)
        return false;
    setPosition(CursorPosition::OnRow, row, viewIndex);
    return true;
}

bool MemCursor::getRecord(char *record) const
{
    sync();
    if (m_position != CursorPosition::OnRow)
        return false;
    std::memcpy(record, m_store.record(m_row), size_t(m_store.layout().recordSize()));
    return true;
}

void MemCursor::readRow(int rowNumber, char *record) const
{
    if (rowNumber < 1 || rowNumber > m_store.rowCount())
        throw EStoreError(StoreStatus::NotAllowed);
    std::memcpy(record, m_store.record(rowNumber), size_t(m_store.layout().recordSize()));
}

const char *MemCursor::rowData(int rowNumber) const
{
    if (rowNumber < 1 || rowNumber > m_store.rowCount())
        throw EStoreError(StoreStatus::NotAllowed);
    return m_store.record(rowNumber);
}

void MemCursor::initRecord(char *record) const
{
    const RecordLayout &layout = m_store.layout();
    std::memset(record, 0, size_t(layout.recordSize()));
    for (int i = 0; i < layout.columnCount(); ++i)
        record[layout.stateOffset(i)] = char(FieldState::Unassigned);
}

void MemCursor::settleOn(int rowNumber, int gap)
{
    const int index = locate(rowNumber);
    if (index >= 0)
        setPosition(CursorPosition::OnRow, rowNumber, index);
    else
        setPosition(CursorPosition::Between, 0, std::clamp(gap, 0, viewRowCount()));
}

int MemCursor::insertRecord(const char *record)
{
    sync();
    int defaultPosition = -1;
    if (!m_index && m_position == CursorPosition::OnRow)
        defaultPosition = indexPositionOf(m_viewIndex);
    const int gap = m_position == CursorPosition::OnRow || m_position == CursorPosition::Between
        ? m_viewIndex
        : (m_position == CursorPosition::BeforeFirst ? 0 : viewRowCount());
    const int row = m_store.insertRow(record, defaultPosition);
    settleOn(row, gap);
    return row;
}

void MemCursor::modifyRecord(const char *record)
{
    sync();
    if (m_position != CursorPosition::OnRow)
        throw EStoreError(StoreStatus::NotAllowed);
    const int gap = m_viewIndex;
    const int row = m_store.modifyRow(m_row, record);
    settleOn(row, gap);
}

void MemCursor::deleteRecord()
{
    sync();
    if (m_position != CursorPosition::OnRow)
        throw EStoreError(StoreStatus::NotAllowed);
    const int gap = m_viewIndex;
    m_store.deleteRow(m_row);
    setPosition(CursorPosition::Between, 0, std::clamp(gap, 0, viewRowCount()));
}

void MemCursor::setSortColumns(const QList<int> &columns)
{
    for (int c : columns) {
        if (c < 0 || c >= int(m_store.columns().size()))
            throw EStoreError(StoreStatus::NotAllowed);
    }
    sync();
    const CursorPosition position = m_position;
    const int row = m_row;
    m_index = columns.isEmpty() ? nullptr : m_store.sortIndexFor(columns);
    refreshView();
    if (position == CursorPosition::OnRow)
        settleOn(row, 0);
    else
        setPosition(CursorPosition::BeforeFirst, 0, -1);
}

void MemCursor::setRange(const QByteArray &lowKey, const QByteArray &highKey, int keyColumns)
{
    const int size = m_store.layout().recordSize();
    if (lowKey.size() < size || highKey.size() < size || keyColumns < 0)
        throw EStoreError(StoreStatus::NotAllowed);
    m_low = lowKey;
    m_high = highKey;
    m_keyColumns = keyColumns;
    m_hasRange = true;
    refreshView();
    setPosition(CursorPosition::BeforeFirst, 0, -1);
}

void MemCursor::dropRange()
{
    if (!m_hasRange)
        return;
    sync();
    m_hasRange = false;
    m_low.clear();
    m_high.clear();
    m_keyColumns = 0;
    refreshView();
    sync();
}

int MemCursor::addFilter(RowFilter filter)
{
    sync();
    const int id = m_nextFilterId++;
    m_filters.emplace(id, std::move(filter));
    refreshView();
    sync();
    return id;
}

void MemCursor::dropFilter(int id)
{
    sync();
    m_filters.erase(id);
    refreshView();
    sync();
}

} // namespace

std::unique_ptr<IRecordCursor> MemRecordStore::createCursor()
{
    return std::make_unique<MemCursor>(*this);
}
