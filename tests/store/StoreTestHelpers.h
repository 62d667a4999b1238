#pragma once

#include "store/RecordStore.h"

#include <QByteArray>
#include <cstring>
#include <memory>
#include <vector>

// Small builders over record buffers for the store tests.
namespace StoreTest {

inline std::vector<ColumnDesc> accountColumns()
{
    std::vector<ColumnDesc> columns(3);
    columns[0].name = "Account_Number";
    columns[0].type = StoreType::Int32;
    columns[0].subtype = StoreSubtype::Autoinc;
    columns[0].attributes = StoreAttr::ReadOnly;
    columns[1].name = "Account_Type";
    columns[1].type = StoreType::Text;
    columns[1].width = 50;
    columns[2].name = "Account_Balance";
    columns[2].type = StoreType::Float;
    columns[2].subtype = StoreSubtype::Money;
    return columns;
}

// Number (autoinc), Key (Int32), Name (text 10).
inline std::vector<ColumnDesc> keyedColumns()
{
    std::vector<ColumnDesc> columns(3);
    columns[0].name = "Number";
    columns[0].subtype = StoreSubtype::Autoinc;
    columns[0].attributes = StoreAttr::ReadOnly;
    columns[1].name = "Key";
    columns[2].name = "Name";
    columns[2].type = StoreType::Text;
    columns[2].width = 10;
    return columns;
}

class Rec
{
public:
    explicit Rec(const IRecordStore &store)
        : m_layout(&store.layout())
        , m_bytes(store.layout().recordSize(), 0)
    {
        for (int i = 0; i < m_layout->columnCount(); ++i)
            Record::setState(*m_layout, data(), i, FieldState::Unassigned);
    }
    char *data() { return m_bytes.data(); }
    const char *data() const { return m_bytes.constData(); }
    const QByteArray &bytes() const { return m_bytes; }
    Rec &setInt(int column, qint32 v)
    {
        Record::setValue(*m_layout, data(), column, reinterpret_cast<const char *>(&v), 4);
        return *this;
    }
    Rec &setDouble(int column, double v)
    {
        Record::setValue(*m_layout, data(), column, reinterpret_cast<const char *>(&v), 8);
        return *this;
    }
    Rec &setText(int column, const QByteArray &text)
    {
        Record::setValue(*m_layout, data(), column, text.constData(), int(text.size()));
        return *this;
    }
    Rec &setNull(int column)
    {
        Record::setState(*m_layout, data(), column, FieldState::Null);
        return *this;
    }
    qint32 intAt(int column) const
    {
        qint32 v;
        std::memcpy(&v, Record::value(*m_layout, data(), column), 4);
        return v;
    }
    QByteArray textAt(int column) const { return QByteArray(Record::value(*m_layout, data(), column)); }
    FieldState stateAt(int column) const { return Record::state(*m_layout, data(), column); }

private:
    const RecordLayout *m_layout;
    QByteArray m_bytes;
};

// The row numbers of a cursor's view, in order.
inline std::vector<int> viewRows(const IRecordCursor &cursor)
{
    std::vector<int> rows;
    for (int i = 0; i < cursor.viewRowCount(); ++i)
        rows.push_back(cursor.rowAt(i));
    return rows;
}

} // namespace StoreTest
