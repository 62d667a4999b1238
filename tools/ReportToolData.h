#pragma once

#include "report/expressions/EvaluatorDataSet.h"

#include <QString>
#include <memory>
#include <vector>

class RpEvTableDataSet;
class TDataModule1;
class TMemTable;

// The finance program's data module over a data folder, for the reports quillot-report runs and the
// expressions it computes.
namespace ReportTool {

// As the program builds it at start-up: the four tables from their files, a missing one empty, tblTransaction
// following the first account. Nothing is ever written back: the tables keep no file name once loaded. While
// it lives it is the program's DataModule1, and reports that use the application's data find it.
class DataFolder
{
public:
    explicit DataFolder(const QString &dir);
    ~DataFolder();
    DataFolder(const DataFolder &) = delete;
    DataFolder &operator=(const DataFolder &) = delete;

    // The table of that component name, ignoring case, or null.
    TMemTable *table(const QString &name) const;
    // The four tables for expressions that name their fields.
    const TRpEvDataSetList *dataSets() const { return &m_dataSets; }

private:
    std::unique_ptr<TDataModule1> m_module;
    std::vector<std::unique_ptr<RpEvTableDataSet>> m_sources;
    TRpEvDataSetList m_dataSets;
};

} // namespace ReportTool
