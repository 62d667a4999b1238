#pragma once

#include "store/DatabaseError.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// The record store: all rows of one table in memory, in fixed-size slots, with the indexes that order them,
// and the cursor through which a table object reads and changes them. Display-free and independent of the
// table object above it: it knows columns, rows and record buffers, not fields or states.

// Storage types of the packet format (type classes and sizes), of which the program's tables use Int32,
// Float (with or without the money subtype), DateTimeStamp and Text.
enum class StoreType : quint8 {
    Int8,
    Int16,
    Int32,
    Int64,
    UInt8,
    UInt16,
    UInt32,
    UInt64,
    Bool,
    Float,
    Float10,
    Decimal,
    Date,
    Time,
    DateTimeStamp,
    Text,
    WideText,
    Bytes,
    VarBytes,
    Blob,
    Struct,
    Array,
    EmbeddedTable,
    Reference,
    SqlTimeStamp,
    FormattedDecimal,
};

// Subtype numbers of the packet format; 0 means none.
namespace StoreSubtype {
constexpr int None = 0;
constexpr int Money = 21;
constexpr int Autoinc = 29;
} // namespace StoreSubtype

// Field attribute bits.
namespace StoreAttr {
constexpr quint16 Hidden = 1;
constexpr quint16 ReadOnly = 2;
constexpr quint16 Required = 4;
constexpr quint16 Link = 8;
} // namespace StoreAttr

// The state byte of a field in a row.
enum class FieldState : quint8 { Value = 0, Null = 1, Unassigned = 2 };

// An attribute of a column or of the table that the store does not interpret: kept as read and written back
// unchanged. `value` holds the value bytes as the binary packet encodes them (with their length prefix or
// element count).
struct PacketAttribute
{
    QByteArray name;
    quint32 typeWord = 0;
    QByteArray value;
};

struct ColumnDesc
{
    QByteArray name; // at most 31 characters
    StoreType type = StoreType::Int32;
    int subtype = StoreSubtype::None;
    int width = 0; // text: characters (the slot holds width + 1 bytes)
    quint16 attributes = 0;
    // Packet details a table object does not need to set:
    int decimals = 0;
    int fixedSize = 0; // value bytes of Bool (1, 2, 4; 0 = 2), Decimal, FormattedDecimal and Bytes columns
    bool calculated = false;
    std::vector<PacketAttribute> keptAttributes; // unknown column attributes (and unknown subtype names)
};

// Value bytes of a column in a record (without its state byte); 0 for a column the store cannot hold.
int columnValueSize(const ColumnDesc &column);

// Renames duplicate column names (compared ignoring case) by appending "_1", "_2", … incremented until the
// name is unique, keeping every name within 31 characters. fromPacket() applies it to the columns it reads,
// so a store's column names are always unique.
void makeColumnNamesUnique(std::vector<ColumnDesc> &columns);

// Where each column sits in a record buffer: its state byte at stateOffset(i), its value bytes right after.
// Values are stored as in the file: 32-bit integers and doubles little-endian, text as Windows-1252 bytes
// zero-filled after the text.
class RecordLayout
{
public:
    RecordLayout() = default;
    explicit RecordLayout(const std::vector<ColumnDesc> &columns);

    int recordSize() const { return m_recordSize; }
    int columnCount() const { return int(m_offsets.size()); }
    int stateOffset(int column) const { return m_offsets[size_t(column)]; }
    int valueOffset(int column) const { return m_offsets[size_t(column)] + 1; }
    int valueSize(int column) const { return m_sizes[size_t(column)]; }
    // Text columns hold at most valueSize - 1 bytes followed by zeros.
    bool isText(int column) const { return m_text[size_t(column)]; }

private:
    std::vector<int> m_offsets;
    std::vector<int> m_sizes;
    std::vector<bool> m_text;
    int m_recordSize = 0;
};

// Helpers over a record buffer of a layout.
namespace Record {
inline FieldState state(const RecordLayout &layout, const char *record, int column)
{
    const char s = record[layout.stateOffset(column)];
    return s == 0 ? FieldState::Value : (s == 1 ? FieldState::Null : FieldState::Unassigned);
}
// Marks the column null or unassigned and zeroes its value bytes.
void setState(const RecordLayout &layout, char *record, int column, FieldState state);
// Stores raw value bytes (at most the column's value size, the rest zero-filled) and marks the column Value.
// A text keeps at most the column's width (valueSize - 1) bytes, so its slot always ends in a zero.
void setValue(const RecordLayout &layout, char *record, int column, const char *bytes, int length);
const char *value(const RecordLayout &layout, const char *record, int column);
} // namespace Record

enum class PacketForm { Binary, Xml };

// The next auto-increment value cannot grow past this; an insert that would need it is refused: when the next
// value has reached it, insertRecord throws EStoreError(StoreStatus::NotAllowed) and changes nothing, so the
// highest number ever handed out is kMaxAutoIncValue - 1.
constexpr qint32 kMaxAutoIncValue = 2147483647;

// Row status bytes.
namespace RowStatus {
constexpr quint8 Current = 0;
constexpr quint8 Original = 1;
constexpr quint8 Deleted = 2;
constexpr quint8 Inserted = 4;
constexpr quint8 NewVersion = 8;
constexpr quint8 Unused = 32;
} // namespace RowStatus

// One entry of the change log: the row, the row it replaces (0 for none) and the kind (a RowStatus value).
struct ChangeLogEntry
{
    qint32 row = 0;
    qint32 replaces = 0;
    qint32 kind = 0;
};

class IRecordCursor;

class IRecordStore
{
public:
    virtual ~IRecordStore() = default;

    // An empty store. The first Int32 column with the Autoinc subtype becomes the auto-increment column.
    // The change log starts switched on. A column the store cannot hold (a text without a positive width, a
    // structure, array, embedded table, reference or large object) throws EStoreError(NotAllowed).
    static std::unique_ptr<IRecordStore> create(const QString &tableName, std::vector<ColumnDesc> columns);
    // A store loaded from a whole table packet, binary or XML (recognised from the content). A damaged packet
    // throws EStoreError (InvalidPacket or NoMetadata) with a message naming `sourceName` and the problem.
    // An empty packet throws EStoreError(NoMetadata) with the message "<sourceName>: the file is empty"; the
    // table object reports "Missing data provider or data packet" for it (check packet.isEmpty() first).
    // Duplicate column names are renamed (makeColumnNamesUnique). The next auto-increment value is the
    // larger of the stored "AUTOINCVALUE" and the highest key of the loaded rows + 1, at least 1.
    static std::unique_ptr<IRecordStore> fromPacket(const QByteArray &packet, const QString &sourceName);
    // Reads a whole table file and loads it like fromPacket (the file named in every message). A file that
    // cannot be read throws EFOpenError "Cannot open file %s" or EFileError; an empty file throws
    // EStoreError(NoMetadata). Reads large files with fewer page faults than a plain whole-file read.
    static std::unique_ptr<IRecordStore> fromFile(const QString &path);

    // The whole table as a packet: live rows in default order when the change log is empty.
    virtual QByteArray toPacket(PacketForm form) const = 0;

    virtual const std::vector<ColumnDesc> &columns() const = 0;
    virtual const RecordLayout &layout() const = 0;
    virtual int autoIncColumn() const = 0; // -1 when none

    virtual bool keepChangeLog() const = 0;
    virtual void setKeepChangeLog(bool on) = 0;
    virtual bool readOnly() const = 0;
    virtual void setReadOnly(bool on) = 0;
    virtual bool stringTrim() const = 0;
    virtual void setStringTrim(bool on) = 0;
    virtual qint64 changeCount() const = 0;
    virtual void resetChangeCount() = 0;
    virtual qint32 nextAutoIncValue() const = 0;
    virtual int liveRowCount() const = 0;
    // Every row slot, live or not (row numbers run from 1 to rowCount()).
    virtual int rowCount() const = 0;
    virtual quint8 rowStatus(int rowNumber) const = 0;
    virtual const std::vector<ChangeLogEntry> &changeLog() const = 0;

    // Noting changes for the change journal (store/ChangeJournal.h). While on, every insert, modification
    // and deletion made with the change log off is noted by the key of its row (the auto-increment number)
    // with the row's new values. Switching it on starts a complete note only when no change is pending.
    virtual void setRecordChanges(bool on) = 0;
    // The changes noted since the last forgetRecordedChanges(), as one journal part. False when some change
    // could not be noted: recording was off, the change log was on, the rows have no usable keys (no
    // auto-increment column, or a key that is empty or given twice), a key was changed, or the note grew
    // too large to keep (then the whole table is written instead).
    virtual bool recordedChanges(QByteArray &body) const = 0;
    virtual void forgetRecordedChanges() = 0;
    // Applies parts that recordedChanges() made, in order, by the keys of their rows: an insert whose key is
    // present, and a modification or deletion whose key is absent, change nothing, so parts applied twice
    // give the same rows. Counts no change. A part that does not fit the table's columns changes nothing and
    // is named in the returned messages (with `source`).
    virtual QStringList applyChanges(const std::vector<QByteArray> &parts, const QString &source) = 0;

    virtual std::unique_ptr<IRecordCursor> createCursor() = 0;
};

// Where a cursor stands.
enum class CursorPosition { BeforeFirst, OnRow, Between, AfterLast };

// Compares two values of one column as a sort or range key (nulls first, text by the locale's collation).
using KeyCompare = std::function<int(const char *recordA, const char *recordB)>;

class IRecordCursor
{
public:
    virtual ~IRecordCursor() = default;

    virtual void moveToBeforeFirst() = 0;
    virtual void moveToAfterLast() = 0;
    // Steps |n| rows of the view; returns the rows actually moved (negative backwards). From BeforeFirst the
    // first step lands on the first row, from AfterLast on the last one; from Between (after a delete, or an
    // insert whose row is not in the view) a step forward lands on the row after the gap, a step backward on
    // the row before it. When the view runs out the cursor stays on the last row it reached (or where it was
    // when it found none: BeforeFirst/AfterLast/Between stay so).
    virtual int moveBy(int n) = 0;
    // Positions on a row of the view by its row number; false when the row is not in the view. In arrival
    // order this searches the view; moveToViewIndex() does not.
    virtual bool moveToRow(int rowNumber) = 0;
    // Positions on the row at a view index (0-based) at once; false (and no move) when out of range.
    virtual bool moveToViewIndex(int viewIndex) = 0;
    virtual CursorPosition position() const = 0;
    virtual int currentRow() const = 0; // row number, 0 when not on a row
    // Index of the current row inside the view (0-based), -1 when not on a row.
    virtual int viewIndex() const = 0;
    virtual int viewRowCount() const = 0;
    // Row number at a view index (0-based).
    virtual int rowAt(int viewIndex) const = 0;

    // Copies the current row (or the given row) into a record buffer of the store's layout.
    virtual bool getRecord(char *record) const = 0;
    virtual void readRow(int rowNumber, char *record) const = 0;
    // The stored bytes of a row, read in place: valid until the store next changes. A row number out of
    // range throws EStoreError(NotAllowed).
    virtual const char *rowData(int rowNumber) const = 0;
    // Every field unassigned, every value zero.
    virtual void initRecord(char *record) const = 0;

    // Insert: into the store and every index (before the current row in an unkeyed index when the cursor
    // stands on one; at the end of the other unkeyed indexes; after the last equal key in a sort index); the
    // auto-increment column receives the next value. Returns the new row number. Afterwards the cursor stands
    // on the new row when the view shows it, otherwise between rows. An append is moveToAfterLast() first.
    // Rejections throw EStoreError with the status code and leave the store unchanged. Text values are cut
    // at their column's width and, with stringTrim() on, lose their trailing blanks.
    virtual int insertRecord(const char *record) = 0;
    // Replaces the current row (the cursor must stand on a row; NotAllowed otherwise). The cursor stays on
    // the row (with the change log on: on its new version) when the view still shows it, else between rows.
    virtual void modifyRecord(const char *record) = 0;
    // Deletes the current row; the cursor then stands between rows (a step forward reaches the next row).
    virtual void deleteRecord() = 0;

    // Row order: sort on these columns (ascending, case-sensitive), or arrival order for an empty list.
    virtual void setSortColumns(const QList<int> &columns) = 0;
    virtual QList<int> sortColumns() const = 0;
    // Range on the sort columns (the first key.size() of them); both ends inclusive; values compared like
    // the sort. The keys are record buffers whose key columns hold the bounds.
    virtual void setRange(const QByteArray &lowKey, const QByteArray &highKey, int keyColumns) = 0;
    virtual void dropRange() = 0;
    virtual bool hasRange() const = 0;

    // Filters: a row is in the view only when every filter accepts it.
    using RowFilter = std::function<bool(const char *record)>;
    virtual int addFilter(RowFilter filter) = 0;
    virtual void dropFilter(int id) = 0;
    // Re-evaluates the view after a filter's meaning changed.
    virtual void refreshView() = 0;
};
