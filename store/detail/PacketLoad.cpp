#include "store/detail/PacketLoad.h"

#include "store/detail/PacketFormat.h"

using namespace PacketFormat;

namespace PacketValue {

QByteArray int16(qint64 v)
{
    QByteArray b(2, 0);
    b[0] = char(v & 0xFF);
    b[1] = char((v >> 8) & 0xFF);
    return b;
}

QByteArray int32(qint64 v)
{
    QByteArray b(4, 0);
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (8 * i)) & 0xFF);
    return b;
}

QByteArray text(const QByteArray &bytes)
{
    return int16(bytes.size() + 1) + bytes + QByteArray(1, '\0');
}

} // namespace PacketValue

namespace {

qint64 littleEndian(const char *p, int size, bool isSigned)
{
    quint64 v = 0;
    for (int i = 0; i < size; ++i)
        v |= quint64(quint8(p[i])) << (8 * i);
    if (isSigned && size < 8 && (v >> (8 * size - 1)) & 1)
        v |= ~quint64(0) << (8 * size);
    return qint64(v);
}

bool isName(const QByteArray &name, const char *known)
{
    return name.compare(known, Qt::CaseInsensitive) == 0;
}

} // namespace

void PacketLoad::fail(const QString &problem, int status) const
{
    throw EStoreError(status, QStringLiteral("%1 is not a valid table file: %2").arg(m_source, problem));
}

qint64 PacketLoad::integerValue(const QByteArray &name, quint32 typeWord, const QByteArray &value) const
{
    const quint32 word = typeWord & ~kRoundtrip;
    const int cls = typeClass(word);
    const int size = typeSize(word);
    if ((word & (kVarying | kArray)) || (cls != 1 && cls != 2 && cls != 3) || size < 1 || size > 8
        || value.size() != size)
        fail(QStringLiteral("the attribute %1 is not an integer").arg(QString::fromLatin1(name)));
    return littleEndian(value.constData(), size, cls == 1);
}

QByteArray PacketLoad::textValue(const QByteArray &name, quint32 typeWord, const QByteArray &value) const
{
    const quint32 word = typeWord & ~kRoundtrip;
    const int prefix = typeSize(word);
    if (!(word & kVarying) || (word & kArray) || typeClass(word) != 9 || prefix < 1 || prefix > 4
        || value.size() < prefix)
        fail(QStringLiteral("the attribute %1 is not a text").arg(QString::fromLatin1(name)));
    QByteArray bytes = value.mid(prefix);
    const int zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return bytes;
}

std::vector<qint64> PacketLoad::arrayValue(
    const QByteArray &name, quint32 typeWord, const QByteArray &value, int elementSize) const
{
    const quint32 word = typeWord & ~kRoundtrip;
    const int cls = typeClass(word);
    if (!(word & kArray) || (word & kVarying) || (cls != 1 && cls != 2) || typeSize(word) != elementSize
        || value.size() < 4)
        fail(QStringLiteral("the attribute %1 is not a list of integers").arg(QString::fromLatin1(name)));
    const qint64 count = littleEndian(value.constData(), 4, false);
    if (count * elementSize != value.size() - 4)
        fail(QStringLiteral("the attribute %1 has a wrong length").arg(QString::fromLatin1(name)));
    std::vector<qint64> items;
    items.reserve(size_t(count));
    for (qint64 i = 0; i < count; ++i)
        items.push_back(littleEndian(value.constData() + 4 + i * elementSize, elementSize, cls == 1));
    return items;
}

void PacketLoad::addColumn(const QByteArray &name, const ColumnDesc &typeOnly, quint16 fieldAttributes)
{
    if (m_columns.size() >= 0xFFFF)
        fail(QStringLiteral("too many columns"));
    if (name.isEmpty() || name.contains('\0'))
        fail(QStringLiteral("column %1 has no valid name").arg(m_columns.size() + 1));
    ColumnDesc column = typeOnly;
    column.name = name.left(kMaxNameLength);
    column.attributes
        = fieldAttributes & (StoreAttr::Hidden | StoreAttr::ReadOnly | StoreAttr::Required | StoreAttr::Link);
    m_columns.push_back(std::move(column));
}

void PacketLoad::applyColumnAttribute(const QByteArray &name, quint32 typeWord, const QByteArray &value)
{
    ColumnDesc &column = m_columns.back();
    const auto columnName = QString::fromLatin1(column.name);
    if (isName(name, "SUBTYPE")) {
        const QByteArray subtype = textValue(name, typeWord, value);
        const int number = subtypeNumber(subtype);
        if (number == 0) {
            column.keptAttributes.push_back({ name, typeWord, value }); // written back as it came
            return;
        }
        column.subtype = number;
        if (number == StoreSubtype::Autoinc)
            column.attributes |= StoreAttr::ReadOnly;
    } else if (isName(name, "WIDTH") || isName(name, "ELEMENTS")) {
        const qint64 width = integerValue(name, typeWord, value);
        if (width < 0 || width > 65535)
            fail(QStringLiteral("column %1 has an invalid width").arg(columnName));
        column.width = int(width);
    } else if (isName(name, "DECIMALS")) {
        const qint64 decimals = integerValue(name, typeWord, value);
        if (decimals < 0 || decimals > 255)
            fail(QStringLiteral("column %1 has invalid decimals").arg(columnName));
        column.decimals = int(decimals);
    } else if (isName(name, "CALCULATED")) {
        column.calculated = integerValue(name, typeWord, value) != 0;
    } else {
        column.keptAttributes.push_back({ name, typeWord, value });
    }
}

void PacketLoad::applyTableAttribute(const QByteArray &name, quint32 typeWord, const QByteArray &value)
{
    const int columns = int(m_columns.size());
    if (isName(name, "AUTOINCVALUE")) {
        if ((typeWord & ~kRoundtrip) != kInt32Word || value.size() != 4)
            fail(QStringLiteral("AUTOINCVALUE is not a 32-bit integer"));
        m_autoIncValue = integerValue(name, typeWord, value);
    } else if (isName(name, "DEFAULT_ORDER") || isName(name, "PRIMARY_KEY") || isName(name, "UNIQUE_KEY")) {
        for (qint64 field : arrayValue(name, typeWord, value, 2)) {
            const qint64 number = field & 0x3FFF;
            if (number < 1 || number > columns)
                fail(QStringLiteral("%1 names a column that does not exist").arg(QString::fromLatin1(name)));
        }
        m_orderAttributes.push_back({ name, typeWord, value });
    } else if (isName(name, "CHANGE_LOG")) {
        const std::vector<qint64> items = arrayValue(name, typeWord, value, 4);
        if (items.size() % 3 != 0)
            fail(QStringLiteral("the change log is incomplete"));
        for (size_t i = 0; i < items.size(); i += 3)
            m_changeLog.push_back({ qint32(items[i]), qint32(items[i + 1]), qint32(items[i + 2]) });
    } else {
        if (isName(name, "LCID")) {
            const qint64 lcid = integerValue(name, typeWord, value);
            m_lcid = lcid > 0 && lcid <= 0xFFFFFF ? int(lcid) : 0;
        } else if (isName(name, "READONLY")) {
            m_readOnly = integerValue(name, typeWord, value) != 0;
        }
        m_tableAttributes.push_back({ name, typeWord, value });
    }
}

void PacketLoad::createStore()
{
    if (m_columns.empty())
        fail(QStringLiteral("it has no columns"));
    for (const ColumnDesc &column : m_columns) {
        const auto name = QString::fromLatin1(column.name);
        const bool sized = column.type == StoreType::Text || column.type == StoreType::VarBytes
            || column.type == StoreType::WideText;
        if (sized && column.width <= 0)
            fail(QStringLiteral("column %1 has no positive WIDTH").arg(name));
        if (columnValueSize(column) == 0)
            fail(QStringLiteral("column %1 has a type the program cannot hold").arg(name));
    }
    makeColumnNamesUnique(m_columns);
    try {
        m_store = std::make_unique<MemRecordStore>(QString(), m_columns);
    } catch (const EStoreError &) {
        fail(QStringLiteral("its rows are too large"));
    }
}

void PacketLoad::checkRowMemory(qint64 rows, qint64 packetSize) const
{
    // Real tables need a few times their file size in memory; far more means a forged row count or layout.
    const qint64 limit = (qint64(16) << 20) + 64 * packetSize;
    if (rows < 0 || rows > 0x7FFFFFFE || rows * qint64(m_store->layout().recordSize()) > limit)
        fail(QStringLiteral("its row count does not fit its size"));
}

std::unique_ptr<IRecordStore> PacketLoad::finish()
{
    const int rows = m_store->rowCount();
    for (const ChangeLogEntry &e : m_changeLog) {
        if (e.row < 1 || e.row > rows || e.replaces < 0 || e.replaces > rows)
            fail(QStringLiteral("the change log names a row that does not exist"));
    }
    m_store->orderAttributes = m_orderAttributes;
    m_store->keptTableAttributes = m_tableAttributes;
    m_store->lcid = m_lcid;
    m_store->restoreChangeLog(m_changeLog);
    m_store->finishLoad(m_autoIncValue);
    m_store->setReadOnly(m_readOnly);
    return std::move(m_store);
}
