#include "ReportToolData.h"

#include "platform/Exceptions.h"
#include "report/expressions/EvaluatorTable.h"
#include "report/files/ReportFile.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QDir>
#include <QFileInfo>

namespace ReportTool {

DataFolder::DataFolder(const QString &dir)
{
    if (!QFileInfo(dir).isDir())
        throw EFOpenError(dir);
    m_module.setObjectName(QStringLiteral("DataModule1"));
    for (const QString &base : FinanceTables::baseNames()) {
        auto table = std::make_unique<TMemTable>(&m_module);
        table->setObjectName(QStringLiteral("tbl") + base);
        FinanceTables::defsForBaseName(base, table->FieldDefs());
        const QString fileName = QDir(dir).filePath(base + QStringLiteral(".dat"));
        if (QFileInfo::exists(fileName)) {
            table->setFileName(fileName);
            table->Open();
        } else {
            table->CreateEmpty();
        }
        table->setReadOnly(true);
        table->First();
        m_sources.push_back(std::make_unique<RpEvTableDataSet>(table.get()));
        m_dataSets.push_back(m_sources.back().get());
        m_tables.push_back(table.release());
    }
    RpComponents::addDataModule(&m_module);
}

DataFolder::~DataFolder()
{
    RpComponents::remove(&m_module);
}

TMemTable *DataFolder::table(const QString &name) const
{
    for (TMemTable *table : m_tables) {
        if (table->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return table;
    }
    return nullptr;
}

} // namespace ReportTool
