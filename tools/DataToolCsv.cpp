#include "DataToolCsv.h"

#include "DataTool.h"

#include "platform/Cp1252.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "store/MemTable.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

namespace CsvRows {

namespace {

// The UTF-8 bytes of each Windows-1252 byte.
struct Utf8Table
{
    Utf8Table()
    {
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QByteArray utf8 = Cp1252::decode(QByteArrayView(&byte, 1)).toUtf8();
            length[size_t(b)] = quint8(utf8.size());
            std::memcpy(
                bytes[size_t(b)].data(), utf8.constData(), size_t(std::min<qsizetype>(utf8.size(), 4)));
        }
    }
    std::array<std::array<char, 4>, 256> bytes {};
    std::array<quint8, 256> length {};
};

const Utf8Table &utf8Table()
{
    static const Utf8Table table;
    return table;
}

char *twoDigits(char *out, int value)
{
    out[0] = char('0' + value / 10);
    out[1] = char('0' + value % 10);
    return out + 2;
}

// A day number (1 = 1 January of year 1) as yyyy-MM-dd in the proleptic Gregorian calendar.
char *isoDate(char *out, qint64 dayNumber)
{
    // Days since 1 March of year 0, counted in 400-year eras.
    const qint64 z = dayNumber + 305;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 dayOfEra = z - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 mp = (5 * dayOfYear + 2) / 153;
    const int day = int(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = int(mp < 10 ? mp + 3 : mp - 9);
    const qint64 year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    out[0] = char('0' + year / 1000 % 10);
    out[1] = char('0' + year / 100 % 10);
    out[2] = char('0' + year / 10 % 10);
    out[3] = char('0' + year % 10);
    out[4] = '-';
    out = twoDigits(out + 5, month);
    *out++ = '-';
    return twoDigits(out, day);
}

struct Column
{
    enum Kind { Integer, Number, Stamp, Text } kind;
    StoreType type;
    int stateOffset;
    int valueOffset;
    int width; // text: the most bytes
};

template <class T> T load(const char *p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// What a byte asks of a CSV field: quotes around it (1), or more than one byte in UTF-8 (2).
struct ByteClasses
{
    constexpr ByteClasses()
    {
        for (int b = 0x80; b < 256; ++b)
            of[size_t(b)] = 2;
        of[size_t(',')] = of[size_t('"')] = of[size_t('\r')] = of[size_t('\n')] = 1;
    }
    std::array<quint8, 256> of {};
};
constexpr ByteClasses kClasses;

char *writeText(char *out, const char *value, int width)
{
    const qsizetype length = qsizetype(qstrnlen(value, size_t(width)));
    unsigned classes = 0;
    for (qsizetype i = 0; i < length; ++i)
        classes |= kClasses.of[quint8(value[i])];
    if (classes == 0) {
        std::memcpy(out, value, size_t(length));
        return out + length;
    }
    const Utf8Table &table = utf8Table();
    const bool quote = classes & 1;
    if (quote)
        *out++ = '"';
    for (qsizetype i = 0; i < length; ++i) {
        const auto b = quint8(value[i]);
        if (b < 0x80) {
            if (quote && b == '"')
                *out++ = '"';
            *out++ = char(b);
        } else {
            std::memcpy(out, table.bytes[b].data(), 4);
            out += table.length[b];
        }
    }
    if (quote)
        *out++ = '"';
    return out;
}

// A stamp that DateTime::stampToDateTime accepts (checked before the first row is printed): the rounding of
// the field's own reading, then the calendar date and the time of day.
char *writeStamp(char *out, double stamp)
{
    const qint64 t = qint64(std::llround(stamp));
    const qint64 day = t / DateTime::kMsPerDay;
    const int ms = int(t % DateTime::kMsPerDay);
    out = isoDate(out, day);
    if (ms != 0) {
        *out++ = 'T';
        out = twoDigits(out, ms / 3600000);
        *out++ = ':';
        out = twoDigits(out, ms / 60000 % 60);
        *out++ = ':';
        out = twoDigits(out, ms / 1000 % 60);
        if (ms % 1000 != 0) {
            *out++ = '.';
            *out++ = char('0' + ms % 1000 / 100);
            out = twoDigits(out, ms % 100);
        }
    }
    return out;
}

char *writeValue(char *out, const Column &c, const char *record)
{
    if (record[c.stateOffset] != 0)
        return out;
    const char *value = record + c.valueOffset;
    switch (c.kind) {
    case Column::Integer: {
        qint32 v = 0;
        switch (c.type) {
        case StoreType::Int8:
            v = load<qint8>(value);
            break;
        case StoreType::UInt8:
            v = load<quint8>(value);
            break;
        case StoreType::Int16:
            v = load<qint16>(value);
            break;
        case StoreType::UInt16:
            v = load<quint16>(value);
            break;
        default:
            v = load<qint32>(value);
            break;
        }
        return std::to_chars(out, out + 16, v).ptr;
    }
    case Column::Number:
        // The shortest text that reads back to the same double, as DataTool::shortestNumber gives it.
        return std::to_chars(out, out + 32, load<double>(value)).ptr;
    case Column::Stamp:
        return writeStamp(out, load<double>(value));
    case Column::Text:
        return writeText(out, value, c.width);
    }
    return out;
}

} // namespace

bool dump(const TCustomMemTable &table, const std::function<void(const char *bytes, qsizetype length)> &sink)
{
    const IRecordStore *store = table.store();
    const IRecordCursor *cursor = table.cursor();
    if (!store || !cursor)
        return false;
    const RecordLayout &layout = store->layout();
    std::vector<Column> columns;
    qsizetype lineBytes = 2;
    QByteArray header;
    for (const auto &field : table.Fields()) {
        const int index = TCustomMemTable::columnOf(*field);
        if (index < 0 || index >= layout.columnCount())
            return false;
        const ColumnDesc &desc = store->columns()[size_t(index)];
        Column c { Column::Integer, desc.type, layout.stateOffset(index), layout.valueOffset(index), 0 };
        switch (field->DataType()) {
        case ftInteger:
        case ftAutoInc:
        case ftSmallint:
        case ftWord:
            if (desc.type != StoreType::Int8 && desc.type != StoreType::UInt8 && desc.type != StoreType::Int16
                && desc.type != StoreType::UInt16 && desc.type != StoreType::Int32)
                return false;
            lineBytes += 16;
            break;
        case ftFloat:
        case ftCurrency:
            if (desc.type != StoreType::Float)
                return false;
            c.kind = Column::Number;
            lineBytes += 32;
            break;
        case ftDateTime:
            if (desc.type != StoreType::DateTimeStamp)
                return false;
            c.kind = Column::Stamp;
            lineBytes += 32;
            break;
        case ftString:
            if (desc.type != StoreType::Text)
                return false;
            c.kind = Column::Text;
            c.width = std::max(0, desc.width);
            // Every byte may take three, doubled quotes two, and two more for the quotes around.
            lineBytes += 3 * qsizetype(c.width) + 2;
            break;
        default:
            return false;
        }
        columns.push_back(c);
        if (!header.isEmpty())
            header += ',';
        header += DataTool::csvField(field->FieldName()).toUtf8();
        lineBytes += 1;
    }

    const int rows = cursor->viewRowCount();
    // The dates first: one that cannot be read stops the dump before anything is printed, and the rows
    // below need not check them again.
    for (const Column &c : columns) {
        if (c.kind != Column::Stamp)
            continue;
        for (int i = 0; i < rows; ++i) {
            const char *record = cursor->rowData(cursor->rowAt(i));
            if (record[c.stateOffset] == 0)
                DateTime::stampToDateTime(load<double>(record + c.valueOffset));
        }
    }
    constexpr qsizetype kPart = qsizetype(1) << 20;
    std::vector<char> part(size_t(kPart + std::max<qsizetype>(lineBytes, header.size() + 2)));
    char *const begin = part.data();
    char *out = begin;
    std::memcpy(out, header.constData(), size_t(header.size()));
    out += header.size();
    *out++ = '\r';
    *out++ = '\n';
    for (int i = 0; i < rows; ++i) {
        if (out - begin > kPart - lineBytes) {
            sink(begin, out - begin);
            out = begin;
        }
        const char *record = cursor->rowData(cursor->rowAt(i));
        for (size_t k = 0; k < columns.size(); ++k) {
            if (k > 0)
                *out++ = ',';
            out = writeValue(out, columns[k], record);
        }
        *out++ = '\r';
        *out++ = '\n';
    }
    sink(begin, out - begin);
    return true;
}

} // namespace CsvRows
