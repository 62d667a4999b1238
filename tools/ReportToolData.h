#pragma once

#include <QString>
#include <memory>

class TDataModule1;

// The finance program's data module over a data folder, for the reports quillot-report runs.
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

private:
    std::unique_ptr<TDataModule1> m_module;
};

} // namespace ReportTool
