#include "ReportToolData.h"

#include "platform/Exceptions.h"
#include "report/files/ReportFile.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QDir>
#include <QFileInfo>

namespace ReportTool {

ReportData::ReportData(const QString &dataFolder)
{
    if (!QFileInfo(dataFolder).isDir())
        throw EFOpenError(dataFolder);
    m_module.setObjectName(QStringLiteral("DataModule1"));
    for (const QString &base : FinanceTables::baseNames()) {
        auto *table = new TMemTable(&m_module);
        table->setObjectName(QStringLiteral("tbl") + base);
        FinanceTables::defsForBaseName(base, table->FieldDefs());
        const QString fileName = QDir(dataFolder).filePath(base + QStringLiteral(".dat"));
        if (QFileInfo::exists(fileName)) {
            table->setFileName(fileName);
            table->Open();
        } else {
            table->CreateEmpty();
        }
        table->setReadOnly(true);
        table->First();
    }
    RpComponents::addDataModule(&m_module);
}

ReportData::~ReportData()
{
    RpComponents::remove(&m_module);
}

} // namespace ReportTool
