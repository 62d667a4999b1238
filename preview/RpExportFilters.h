#pragma once

#include "report/pages/RpPrinter.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

// One kind of export filter the preview's save dialog offers after the page file type.
struct TRpExportFilterEntry
{
    std::function<std::unique_ptr<TRpExportFilter>(const QString &fileName)> make;
    QString description;
    QString extension;
};

// The program-wide list of export filters. Nothing registers one yet, so the list is empty.
class TRpExportFilterLibrary
{
public:
    static TRpExportFilterLibrary &instance();

    const QList<TRpExportFilterEntry> &entries() const { return m_entries; }
    void Register(TRpExportFilterEntry entry) { m_entries.append(std::move(entry)); }

private:
    QList<TRpExportFilterEntry> m_entries;
};
