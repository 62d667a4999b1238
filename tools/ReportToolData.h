#pragma once

#include <QObject>
#include <QString>

// The finance program's data module for reports run by quillot-report: an object named "DataModule1"
// holding the four tables of a data folder under their component names (tblAccount, tblTransaction,
// tblExpence, tblIncome), read-only, each on its first row; a missing table file gives an empty table.
// While it lives, reports that use the application's data find it.
namespace ReportTool {

class ReportData
{
public:
    explicit ReportData(const QString &dataFolder);
    ~ReportData();
    ReportData(const ReportData &) = delete;
    ReportData &operator=(const ReportData &) = delete;

    QObject *module() { return &m_module; }

private:
    QObject m_module;
};

} // namespace ReportTool
