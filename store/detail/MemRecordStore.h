#pragma once

#include "store/RecordStore.h"

#include <QList>
#include <QStringList>
#include <cstdlib>
#include <memory>
#include <vector>

// The in-memory record store behind IRecordStore: row slots in chunks, row status bytes, the change log and
// the indexes. The packet reader and writer of this folder fill and stream it through the public members.

// Row slots: fixed-size records in chunks of kChunkRows, so the store grows without moving rows and without
// the copy peak of one growing block.
class RowSlots
{
public:
    explicit RowSlots(int recordSize)
        : m_recordSize(recordSize)
        , m_chunkShift(chunkShiftFor(recordSize))
    { }

    int count() const { return m_count; }
    char *row(int rowNumber) { return slot(rowNumber - 1); }
    const char *row(int rowNumber) const { return const_cast<RowSlots *>(this)->slot(rowNumber - 1); }
    // Makes room for one more row (throws std::bad_alloc), without counting it yet.
    void reserveOne();
    // The next slot, zero-filled; reserveOne() must have been called.
    char *append();
    // Gives the last slot back, cleared.
    void dropLast();

private:
    // Chunks are large (several megabytes), taken from the system directly and aligned for its huge pages,
    // so a million rows cost a few hundred page faults instead of tens of thousands. The system hands the
    // memory out zero-filled and a slot is handed out once, so a new slot needs no clearing, and the
    // untouched rows of a chunk cost no memory.
    struct Free
    {
        size_t bytes = 0;
        void operator()(char *p) const;
    };
    static int chunkShiftFor(int recordSize);
    char *slot(int index)
    {
        return m_chunks[size_t(index >> m_chunkShift)].get()
            + qint64(index & ((1 << m_chunkShift) - 1)) * m_recordSize;
    }

    std::vector<std::unique_ptr<char, Free>> m_chunks;
    int m_recordSize;
    int m_chunkShift;
    int m_count = 0;
};

// Compares records on a list of columns: nulls first, text by the locale's collation, numbers numerically.
class KeyComparer
{
public:
    KeyComparer(const std::vector<ColumnDesc> &columns, const RecordLayout &layout, QList<int> keyColumns);
    int compare(const char *a, const char *b) const { return compare(a, b, int(m_keys.size())); }
    // Compares only the first `keyCount` key columns.
    int compare(const char *a, const char *b, int keyCount) const;
    const QList<int> &keys() const { return m_keys; }

private:
    const std::vector<ColumnDesc> *m_columns;
    const RecordLayout *m_layout;
    QList<int> m_keys;
};

int compareColumn(
    const ColumnDesc &column, const RecordLayout &layout, int index, const char *a, const char *b);

struct SortIndex
{
    SortIndex(const std::vector<ColumnDesc> &columns, const RecordLayout &layout, QList<int> keyColumns)
        : comparer(columns, layout, std::move(keyColumns))
    { }
    KeyComparer comparer;
    std::vector<int> rows;
};

class PacketRows;

class MemRecordStore : public IRecordStore
{
public:
    MemRecordStore(QString tableName, std::vector<ColumnDesc> columns);
    ~MemRecordStore() override;

    QByteArray toPacket(PacketForm form) const override;
    const std::vector<ColumnDesc> &columns() const override { return m_columns; }
    const RecordLayout &layout() const override { return m_layout; }
    int autoIncColumn() const override { return m_autoIncColumn; }
    bool keepChangeLog() const override { return m_keepChangeLog; }
    void setKeepChangeLog(bool on) override { m_keepChangeLog = on; }
    bool readOnly() const override { return m_readOnly; }
    void setReadOnly(bool on) override { m_readOnly = on; }
    bool stringTrim() const override { return m_stringTrim; }
    void setStringTrim(bool on) override { m_stringTrim = on; }
    qint64 changeCount() const override { return m_changeCount; }
    void resetChangeCount() override { m_changeCount = 0; }
    qint32 nextAutoIncValue() const override { return qint32(m_nextAutoInc); }
    int liveRowCount() const override { return m_liveRows; }
    int rowCount() const override { return m_slots.count(); }
    quint8 rowStatus(int rowNumber) const override;
    const std::vector<ChangeLogEntry> &changeLog() const override { return m_changeLog; }
    void setRecordChanges(bool on) override;
    bool recordedChanges(QByteArray &body) const override;
    void forgetRecordedChanges() override;
    QStringList applyChanges(const std::vector<QByteArray> &parts, const QString &source) override;
    std::unique_ptr<IRecordCursor> createCursor() override;

    static bool isLive(quint8 status)
    {
        return (status & (RowStatus::Original | RowStatus::Deleted | RowStatus::Unused)) == 0;
    }

    // Cursor services.
    quint64 generation() const { return m_generation; }
    const char *record(int rowNumber) const { return m_slots.row(rowNumber); }
    quint8 statusOf(int rowNumber) const { return m_status[size_t(rowNumber - 1)]; }
    const std::vector<int> &defaultOrder() const { return m_defaultOrder; }
    SortIndex *sortIndexFor(const QList<int> &keyColumns);
    // Position of a live row in an index (nullptr: DEFAULT_ORDER), -1 when absent.
    int positionIn(const SortIndex *index, int rowNumber) const;
    // defaultOrderPosition: where the row goes in DEFAULT_ORDER, -1 for the end.
    int insertRow(const char *record, int defaultOrderPosition);
    int modifyRow(int rowNumber, const char *record);
    void deleteRow(int rowNumber);

    // Loading (packet readers): rows are appended as they are, then finishLoad() builds the indexes and the
    // auto-increment value. Loading counts no change.
    void reserveRows(qint64 rows);
    char *appendLoadedRow(quint8 status);
    void dropLastLoadedRow();
    void finishLoad(qint64 storedAutoIncValue);
    void restoreChangeLog(std::vector<ChangeLogEntry> log) { m_changeLog = std::move(log); }

    // Packet details kept for writing back.
    QString tableName;
    std::vector<PacketAttribute> orderAttributes; // DEFAULT_ORDER, PRIMARY_KEY, UNIQUE_KEY as read
    std::vector<PacketAttribute> keptTableAttributes;
    int lcid = 0;

    // Normalises a record for storing: value bytes of null and unassigned columns zero, text cut at its
    // width (trimmed with stringTrim) and zero-filled.
    void normalize(char *record) const;

private:
    enum class ChangeKind : quint8 { Insert = 1, Modify = 2, Delete = 3 };
    struct Change
    {
        ChangeKind kind;
        qint32 key;
        bool before;
        qint32 beforeKey;
        std::vector<char> record;
    };
    // The changes of one part, checked; returns the next auto-increment value the part gives. Throws
    // EStoreError(InvalidPacket) for a part that does not fit.
    qint64 readChanges(const QByteArray &body, const QString &source, std::vector<Change> &changes) const;
    // Notes a change for the journal; beforeRow is the row a new row stands before in DEFAULT_ORDER (0: at
    // the end).
    void noteChange(ChangeKind kind, int rowNumber, int beforeRow = 0);
    void stopNoting();
    // The row's key, false when it has none.
    bool keyOf(const char *record, qint32 &key) const;
    // Whether every live row has a key of its own (checked once; new rows always get a new key).
    bool keysUsable();
    const PacketRows &rowCodec() const;
    quint32 columnFingerprint() const;

    void checkWritable() const;
    void checkRequired(const char *record) const;
    void insertSorted(SortIndex &index, int rowNumber);
    void eraseFrom(SortIndex &index, int rowNumber, const char *oldRecord);
    void reserveForChange();

    std::vector<ColumnDesc> m_columns;
    RecordLayout m_layout;
    int m_autoIncColumn = -1;
    RowSlots m_slots;
    std::vector<quint8> m_status;
    std::vector<int> m_defaultOrder;
    std::vector<std::unique_ptr<SortIndex>> m_sortIndexes;
    std::vector<ChangeLogEntry> m_changeLog;
    qint64 m_nextAutoInc = 1;
    qint64 m_changeCount = 0;
    quint64 m_generation = 0;
    int m_liveRows = 0;
    bool m_keepChangeLog = true;
    bool m_readOnly = false;
    bool m_stringTrim = true;

    // Changes noted for the journal since they were last forgotten.
    bool m_recordChanges = false;
    bool m_notesComplete = false;
    enum class KeyCheck : quint8 { Unknown, Usable, Unusable } m_keyCheck = KeyCheck::Unknown;
    QByteArray m_notes;
    quint32 m_noteCount = 0;
    mutable std::unique_ptr<PacketRows> m_rowCodec;
};
