// Parses arbitrary text as a filter expression over a small transaction table and evaluates it on every row.
// The first byte picks the options and the syntax. Any outcome but a result or one of the program's
// exceptions is a fault.
#include "platform/Exceptions.h"
#include "store/FilterExpr.h"
#include "store/FinanceTables.h"

#include <QTemporaryDir>
#include <cstdint>

namespace {

TMemTable &fuzzTable()
{
    static QTemporaryDir dir;
    static TMemTable table;
    static bool ready = false;
    if (!ready) {
        ready = true;
        table.FieldDefs() = FinanceTables::transactionDefs();
        table.setFileName(dir.filePath(QStringLiteral("Transaction.dat")));
        table.CreateEmpty();
        table.setKeepChangeLog(false);
        const char *descriptions[] = {"DUPONT", "Dupuis", "", "l'eau", "a*b"};
        for (int i = 0; i < 6; ++i) {
            table.AppendRow();
            if (i < 5) {
                table.FieldNamed(QStringLiteral("Transaction_Description"))
                    ->setAsString(QString::fromLatin1(descriptions[i]));
                table.FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(i * 37.5 - 50);
                table.FieldNamed(QStringLiteral("Transaction_Date"))->setAsDateTime(45000 + i * 0.75);
            }
            table.Post();
        }
    }
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    TMemTable &table = fuzzTable();
    const int options = data[0] & 3;
    const bool extended = (data[0] & 4) == 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    try {
        const auto expr = TExprParser::parse(table, text, options, extended);
        QByteArray record(table.store()->layout().recordSize(), '\0');
        for (int row = 1; row <= table.store()->rowCount(); ++row) {
            table.cursor()->readRow(row, record.data());
            (void)expr->evaluate(record.constData());
        }
    } catch (const Exception &) {
        // A refused text is an expected outcome.
    }
    return 0;
}
