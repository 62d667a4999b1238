// The designer's data-set functions, and the settings readers READINI and READREGISTRY.
#include "platform/IniFile.h"
#include "report/scripts/ScriptComponents.h"
#include "report/scripts/detail/ScriptFunctionSupport.h"
#include "store/DataSet.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace RpScriptDetail {

namespace {

// Settings files larger than this are not read: an expression must not make the report read a huge file.
constexpr qint64 kMaxIniFileSize = 1024 * 1024;

TDataSet *dataSetNamed(const QString &name, const QString &fieldName = {})
{
    TDataSet *dataSet = RpComponentSearch::findDataSet(name, fieldName);
    if (!dataSet)
        throw Exception(QStringLiteral("Dataset not found: %1").arg(name));
    return dataSet;
}

TField *fieldOf(const QString &dataSetName, const QString &fieldName)
{
    TField *field = dataSetNamed(dataSetName, fieldName)->LookupField(fieldName);
    if (!field)
        throw Exception(QStringLiteral("Field not found: %1").arg(fieldName));
    return field;
}

class TRpEvFunctionRecordCount : public TRpScriptFunction
{
    const char *Signature() const override { return "S"; }
    TRpEvValue Result() override
    {
        TDataSet *dataSet = dataSetNamed(Text(0));
        if (!dataSet->Active())
            return failure(QStringLiteral("Dataset not open: %1").arg(Text(0)));
        return TRpEvValue::Integer(dataSet->ViewRowCount());
    }
};

class TRpEvFunctionEof : public TRpScriptFunction
{
    const char *Signature() const override { return "S"; }
    TRpEvValue Result() override { return TRpEvValue::Boolean(dataSetNamed(Text(0))->AtEnd()); }
};

class TRpEvFunctionIsNull : public TRpScriptFunction
{
    const char *Signature() const override { return "SS"; }
    TRpEvValue Result() override { return TRpEvValue::Boolean(fieldOf(Text(0), Text(1))->IsNullValue()); }
};

class TRpEvFunctionIsEmpty : public TRpScriptFunction
{
    const char *Signature() const override { return "SS"; }
    TRpEvValue Result() override
    {
        const TField *field = fieldOf(Text(0), Text(1));
        return TRpEvValue::Boolean(field->IsNullValue() || field->AsString().isEmpty());
    }
};

class TRpEvFunctionFieldLen : public TRpScriptFunction
{
    const char *Signature() const override { return "SS"; }
    TRpEvValue Result() override { return TRpEvValue::Integer(fieldOf(Text(0), Text(1))->Size()); }
};

class TRpEvFunctionMemoLine : public TRpScriptFunction
{
    const char *Signature() const override { return "SSN"; }
    TRpEvValue Result() override
    {
        const QString text = fieldOf(Text(0), Text(1))->AsString();
        qint64 line = 0;
        if (!wholeNumber(Argument(2), std::numeric_limits<qint64>::min() / 2,
                std::numeric_limits<qint64>::max() / 2, line))
            return failure(QStringLiteral("Wrong arguments for %1").arg(Name()));
        static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
        const QStringList lines = text.split(lineBreak);
        if (line < 1 || line > lines.size())
            return TRpEvValue::String(QString());
        return TRpEvValue::String(lines[qsizetype(line - 1)]);
    }
};

// Reads one value of a settings file named relative to the working folder. The file is only read: a missing
// one gives the empty text and is not created; one too large to be a settings file is an error.
class TRpEvFunctionReadIni : public TRpScriptFunction
{
    const char *Signature() const override { return "SSS"; }
    TRpEvValue Result() override
    {
        const QFileInfo info(Text(0));
        if (Text(0).isEmpty() || !info.exists())
            return TRpEvValue::String(QString());
        if (!info.isFile())
            return failure(QStringLiteral("%1 is not a settings file").arg(info.absoluteFilePath()));
        if (info.size() > kMaxIniFileSize)
            return failure(
                QStringLiteral("%1 is too large to be a settings file").arg(info.absoluteFilePath()));
        const IniFile ini(info.absoluteFilePath());
        return TRpEvValue::String(ini.readString(Text(1), Text(2)));
    }
};

// The registry does not exist on this platform: every value read is empty.
class TRpEvFunctionReadRegistry : public TRpScriptFunction
{
    const char *Signature() const override { return "SSS"; }
    TRpEvValue Result() override { return TRpEvValue::String(QString()); }
};

} // namespace

void appendDataSetFunctions(std::vector<ScriptFunction> &list)
{
    list.push_back(scriptFunction<TRpEvFunctionRecordCount>(
        "RECORDCOUNT", "4S", describe("RECORDCOUNT(<DS>)", "Returns a dataset's record count")));
    list.push_back(scriptFunction<TRpEvFunctionEof>("EOF", "4S",
        describe("EOF(TABLE)", "Tests whether the current dataset position is the end-of-file")));
    list.push_back(scriptFunction<TRpEvFunctionIsNull>(
        "ISNULL", "4SS", describe("ISNULL(TABLE,FIELD)", "Checks if a table's field contains no data.")));
    list.push_back(scriptFunction<TRpEvFunctionIsEmpty>("ISEMPTY", "4SS",
        describe("ISEMPTY(TABLE,FIELD)",
            "Checks if a table's field (e.g. memo) contains no data or an empty string.")));
    list.push_back(scriptFunction<TRpEvFunctionFieldLen>(
        "FIELDLEN", "4SS", describe("FIELDLEN(TABLE,FIELD)", "Returns the data field size in characters.")));
    // Three arguments: the codes name all three, so that the wizards build a call that works.
    list.push_back(scriptFunction<TRpEvFunctionMemoLine>("MEMOLINE", "4SSN",
        describe("MEMOLINE(TABLE,FIELD,LINENO)",
            "Returns a single line (1..n) from a memo field.\r\nExample: MEMOLINE('CustTable','Info',1)")));
    list.push_back(scriptFunction<TRpEvFunctionReadIni>("READINI", "7SSS",
        describe("READINI(<S1>,<S2>,<S3>)", "Reads entry S3 in section S2 from INI file S1")));
    list.push_back(scriptFunction<TRpEvFunctionReadRegistry>("READREGISTRY", "7SSS",
        describe("READREGISTRY(S1,S2,S3)",
            "Reads entry S3 in section S2 from registry key S1\r\n"
            "Example: ReadRegistry('HKEY_USERS','Software\\Microsoft','Test')")));
}

} // namespace RpScriptDetail
