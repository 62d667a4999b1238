#pragma once

#include "store/detail/MemRecordStore.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

// What the binary and the XML reader share: the meaning of the known column and table attributes, given as
// (name, type word, encoded value) whatever form they came in, and the checks before and after the rows.
class PacketLoad
{
public:
    explicit PacketLoad(QString source)
        : m_source(std::move(source))
    { }

    [[noreturn]] void fail(const QString &problem, int status = StoreStatus::InvalidPacket) const;
    const QString &source() const { return m_source; }

    // Column descriptors, in order.
    void addColumn(const QByteArray &name, const ColumnDesc &typeOnly, quint16 fieldAttributes);
    void applyColumnAttribute(const QByteArray &name, quint32 typeWord, const QByteArray &value);
    void applyTableAttribute(const QByteArray &name, quint32 typeWord, const QByteArray &value);
    const std::vector<ColumnDesc> &columns() const { return m_columns; }

    // Checks the columns and creates the store; rows follow through store().
    void createStore();
    MemRecordStore &store() { return *m_store; }
    // Refuses row counts whose slots would need far more memory than the packet could describe.
    void checkRowMemory(qint64 rows, qint64 packetSize) const;
    // Checks the change log against the rows read and hands the store over.
    std::unique_ptr<IRecordStore> finish();

private:
    qint64 integerValue(const QByteArray &name, quint32 typeWord, const QByteArray &value) const;
    QByteArray textValue(const QByteArray &name, quint32 typeWord, const QByteArray &value) const;
    std::vector<qint64> arrayValue(
        const QByteArray &name, quint32 typeWord, const QByteArray &value, int elementSize) const;

    QString m_source;
    std::vector<ColumnDesc> m_columns;
    std::vector<PacketAttribute> m_orderAttributes;
    std::vector<PacketAttribute> m_tableAttributes;
    std::vector<ChangeLogEntry> m_changeLog;
    qint64 m_autoIncValue = 0;
    bool m_readOnly = false;
    int m_lcid = 0;
    std::unique_ptr<MemRecordStore> m_store;
};

// Encoded attribute values.
namespace PacketValue {
QByteArray int16(qint64 v);
QByteArray int32(qint64 v);
// Text with a 2-byte length counting the terminating zero, which is stored.
QByteArray text(const QByteArray &bytes);
} // namespace PacketValue
