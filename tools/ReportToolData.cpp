#include "ReportToolData.h"

#include "forms/Datamod.h"
#include "platform/Exceptions.h"
#include "report/files/ReportFile.h"

#include <QDir>
#include <QFileInfo>

namespace ReportTool {

DataFolder::DataFolder(const QString &dir)
{
    if (!QFileInfo(dir).isDir())
        throw EFOpenError(dir);
    m_module = std::make_unique<TDataModule1>();
    const QDir folder(dir);
    const char *const files[] = { "Account.dat", "Transaction.dat", "Expence.dat", "Income.dat" };
    const auto tables = m_module->tables();
    for (size_t i = 0; i < tables.size(); ++i) {
        TMemTable *table = tables[i];
        const QString fileName = folder.filePath(QLatin1String(files[i]));
        if (QFileInfo::exists(fileName)) {
            table->setFileName(fileName);
            try {
                table->Open();
            } catch (const Exception &error) {
                throw Exception(
                    QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(fileName), error.message()));
            }
            table->setFileName(QString());
        } else {
            table->CreateEmpty();
        }
        table->setKeepChangeLog(false);
    }
    DataModule1 = m_module.get();
    // The data module registers itself with the reports when it is made.
}

DataFolder::~DataFolder()
{
    if (DataModule1 == m_module.get())
        DataModule1 = nullptr;
}

} // namespace ReportTool
