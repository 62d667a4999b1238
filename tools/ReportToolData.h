#pragma once

#include "report/expressions/EvaluatorDataSet.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class TMemTable;
class RpEvTableDataSet;

namespace ReportTool {

// The finance tables of a data folder, read-only, each on its first row, in the program's data module
// "DataModule1" (registered as the application's data module while it lives); a missing table file gives an
// empty table. Raises EFOpenError when the folder does not exist.
class DataFolder
{
public:
    explicit DataFolder(const QString &dir);
    ~DataFolder();
    DataFolder(const DataFolder &) = delete;
    DataFolder &operator=(const DataFolder &) = delete;

    QObject *module() { return &m_module; }
    // The table of that component name, ignoring case, or null.
    TMemTable *table(const QString &name) const;
    const TRpEvDataSetList *dataSets() const { return &m_dataSets; }

private:
    // The module owns the tables.
    QObject m_module;
    std::vector<TMemTable *> m_tables;
    std::vector<std::unique_ptr<RpEvTableDataSet>> m_sources;
    TRpEvDataSetList m_dataSets;
};

} // namespace ReportTool
