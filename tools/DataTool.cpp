#include "DataTool.h"
#include "DataToolCsv.h"

#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "platform/FileIO.h"
#include "platform/RegionalSettings.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QFileInfo>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace DataTool {

namespace {

constexpr const char *kUsage
    = "usage:\n"
      "  quillot-data dump FILE [--index FIELDS] [--filter EXPR] [--case-insensitive]"
      " [--no-partial-compare]\n"
      "  quillot-data add FILE NAME=VALUE...\n"
      "  quillot-data convert IN OUT\n";

// A bad command line or a refused request; its text is the whole message.
class UsageError : public std::runtime_error
{
public:
    explicit UsageError(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    { }
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

void requireFile(const QString &fileName)
{
    // A table saved for the first time may still live in the change journal alone.
    if (QFileInfo(fileName).isFile()
        || (!QFileInfo::exists(fileName) && TCustomMemTable::TableExists(fileName)))
        return;
    throw UsageError(QStringLiteral("%1: no such file").arg(fileName));
}

// Opens a table file the way the program does: loaded, then the change log switched off.
void openTable(TMemTable &table, const QString &fileName)
{
    requireFile(fileName);
    table.setFileName(fileName);
    table.Open();
    table.setKeepChangeLog(false);
}

void printWarning(QTextStream &err, QString message)
{
    message.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    err << "quillot-data: warning: " << message << '\n';
    err.flush();
}

void writeBytes(QIODevice &device, const char *bytes, qint64 length)
{
    qint64 done = 0;
    while (done < length) {
        const qint64 n = device.write(bytes + done, length - done);
        if (n <= 0)
            throw UsageError(QStringLiteral("cannot write the output: %1").arg(device.errorString()));
        done += n;
    }
}

QString valueText(const TField &field)
{
    if (field.IsNullValue())
        return QString();
    switch (field.DataType()) {
    case ftInteger:
    case ftAutoInc:
    case ftSmallint:
    case ftWord:
        return QString::number(field.AsInteger());
    case ftFloat:
    case ftCurrency:
        return shortestNumber(field.AsNumber());
    case ftDateTime:
        return isoDateTime(field.AsDateTime());
    default:
        return field.AsString();
    }
}

int dump(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.isEmpty())
        throw UsageError(QStringLiteral("dump needs a FILE"));
    QString fileName;
    QString index;
    QString filter;
    bool hasFilter = false;
    TFilterOptions options = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const auto value = [&]() {
            if (i + 1 >= args.size())
                throw UsageError(QStringLiteral("%1 needs a value").arg(arg));
            return args[++i];
        };
        if (arg == QLatin1String("--index")) {
            index = value();
        } else if (arg == QLatin1String("--filter")) {
            filter = value();
            hasFilter = true;
        } else if (arg == QLatin1String("--case-insensitive")) {
            options |= foCaseInsensitive;
        } else if (arg == QLatin1String("--no-partial-compare")) {
            options |= foNoPartialCompare;
        } else if (arg.startsWith(QLatin1String("--"))) {
            throw UsageError(QStringLiteral("unknown option %1").arg(arg));
        } else if (fileName.isEmpty()) {
            fileName = arg;
        } else {
            throw UsageError(QStringLiteral("unexpected argument %1").arg(arg));
        }
    }
    if (fileName.isEmpty())
        throw UsageError(QStringLiteral("dump needs a FILE"));

    TMemTable table;
    openTable(table, fileName);
    table.setReadOnly(true);
    if (!index.isEmpty())
        table.setIndexFieldNames(index);
    if (hasFilter) {
        table.setFilterOptions(options);
        table.setFilter(filter);
        table.setFiltered(true);
    }
    for (const QString &warning : table.LoadWarnings())
        printWarning(err, warning);
    // A value that cannot be read prints nothing: the fast rows check every date first, the others are
    // built whole before they are printed.
    QByteArray text;
    QIODevice *device = out.device();
    out.flush();
    const bool fast = CsvRows::dump(table, [&](const char *bytes, qsizetype length) {
        if (device)
            writeBytes(*device, bytes, length);
        else
            text.append(bytes, length);
    });
    if (!fast) {
        QString slow;
        QStringList header;
        for (const auto &field : table.Fields())
            header << csvField(field->FieldName());
        slow += header.join(QLatin1Char(',')) + QStringLiteral("\r\n");
        table.First();
        while (!table.AtEnd()) {
            QStringList line;
            for (const auto &field : table.Fields())
                line << csvField(valueText(*field));
            slow += line.join(QLatin1Char(',')) + QStringLiteral("\r\n");
            table.Next();
        }
        text = slow.toUtf8();
        if (device)
            writeBytes(*device, text.constData(), text.size());
    }
    if (!device)
        out << QString::fromUtf8(text);
    table.Close();
    return 0;
}

int add(const QStringList &args, QTextStream &out)
{
    if (args.size() < 2)
        throw UsageError(QStringLiteral("add needs a FILE and at least one NAME=VALUE"));
    const QString fileName = args[0];
    QList<QPair<QString, QString>> assignments;
    for (const QString &arg : args.mid(1)) {
        const qsizetype equals = arg.indexOf(QLatin1Char('='));
        if (equals <= 0)
            throw UsageError(QStringLiteral("'%1' is not NAME=VALUE").arg(arg));
        assignments.append({ arg.left(equals), arg.mid(equals + 1) });
    }

    TMemTable table;
    try {
        if (TCustomMemTable::TableExists(fileName)) {
            openTable(table, fileName);
        } else {
            const QString base = QFileInfo(fileName).completeBaseName();
            TFieldDefs defs;
            if (!FinanceTables::defsForBaseName(base, defs))
                throw UsageError(
                    QStringLiteral("%1 does not exist, and '%2' is none of the program's tables (%3)")
                        .arg(fileName, base, FinanceTables::baseNames().join(QStringLiteral(", "))));
            table.FieldDefs() = defs;
            table.setFileName(fileName);
            table.CreateEmpty();
            table.setKeepChangeLog(false);
        }
        table.AppendRow();
        for (const auto &[name, value] : assignments)
            table.FieldNamed(name)->setAsString(value);
        table.Post();
    } catch (...) {
        // Nothing of a failed request reaches the disk.
        table.setFileName(QString());
        throw;
    }
    QString number;
    for (const auto &field : table.Fields())
        if (field->DataType() == ftAutoInc && number.isEmpty())
            number = field->AsString();
    table.Close();
    if (!number.isEmpty())
        out << number << '\n';
    return 0;
}

int convert(const QStringList &args)
{
    if (args.size() != 2)
        throw UsageError(QStringLiteral("convert needs IN and OUT"));
    TMemTable table;
    openTable(table, args[0]);
    const bool xml = args[1].endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive);
    const QByteArray packet = table.store()->toPacket(xml ? PacketForm::Xml : PacketForm::Binary);
    table.Close();
    FileIO::writeAtomically(args[1], packet);
    return 0;
}

void printError(QTextStream &err, QString message)
{
    message.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    err << "quillot-data: " << message << '\n';
    err.flush();
}

} // namespace

QString csvField(const QString &text)
{
    static const QString special = QStringLiteral(",\"\r\n");
    bool quote = false;
    for (QChar c : text)
        quote = quote || special.contains(c);
    if (!quote)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString shortestNumber(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString isoDateTime(double dateTime)
{
    const QDateTime moment = DateTime::toQDateTime(dateTime);
    QString text = moment.date().toString(QStringLiteral("yyyy-MM-dd"));
    const int ms = DateTime::msecOfDay(dateTime);
    if (ms != 0)
        text += moment.time().toString(
            ms % 1000 != 0 ? QStringLiteral("'T'hh:mm:ss.zzz") : QStringLiteral("'T'hh:mm:ss"));
    return text;
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    RegionalSettings::setCurrent(RegionalSettings::fixed());
    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help")) {
        (arguments.isEmpty() ? err : out) << kUsage;
        return arguments.isEmpty() ? 1 : 0;
    }
    const QString command = arguments.first();
    const QStringList rest = arguments.mid(1);
    try {
        if (command == QLatin1String("dump"))
            return dump(rest, out, err);
        if (command == QLatin1String("add"))
            return add(rest, out);
        if (command == QLatin1String("convert"))
            return convert(rest);
        throw UsageError(QStringLiteral("unknown command '%1' (dump, add or convert)").arg(command));
    } catch (const UsageError &error) {
        printError(err, error.message());
    } catch (const Exception &error) {
        printError(err, error.message());
    }
    return 1;
}

} // namespace DataTool
