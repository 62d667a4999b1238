// Opens arbitrary bytes as a table file through TMemTable::Open, then reads every value of every row the way
// the windows and reports do. Any outcome but a clean open or one of the program's exceptions is a fault.
#include "platform/Exceptions.h"
#include "store/MemTable.h"

#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>

namespace {

const QString &inputFile()
{
    static QTemporaryDir dir;
    static const QString file = dir.filePath(QStringLiteral("Fuzz.dat"));
    return file;
}

void readEverything(TMemTable &table)
{
    table.First();
    for (int rows = 0; !table.AtEnd() && rows < 10000; ++rows) {
        for (const auto &field : table.Fields()) {
            try {
                (void)field->AsString();
                (void)field->DisplayText();
                (void)field->EditText();
            } catch (const Exception &) {
                // A stored value can be unreadable (a stamp out of range); the row walk goes on.
            }
        }
        table.Next();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        FILE *file = std::fopen(qPrintable(inputFile()), "wb");
        if (!file)
            return 0;
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    TMemTable table;
    table.setObjectName(QStringLiteral("tblFuzz"));
    table.setFileName(inputFile());
    try {
        table.Open();
        table.setKeepChangeLog(false);
        readEverything(table);
        if (table.FieldCount() > 0)
            table.setIndexFieldNames(table.Fields().front()->FieldName());
        readEverything(table);
        table.Close();
    } catch (const Exception &) {
        // Refusing a damaged file is the expected outcome for most inputs.
    }
    return 0;
}
