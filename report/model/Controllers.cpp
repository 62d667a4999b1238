#include "report/model/Controllers.h"

#include "report/model/Report.h"

QList<TCustomRpReport *> TRpCompositeReport::reports() const
{
    QList<TCustomRpReport *> list;
    for (const QPointer<TCustomRpReport> &report : m_reports) {
        if (report)
            list.append(report);
    }
    return list;
}

void TRpCompositeReport::addReport(TCustomRpReport *report)
{
    if (report)
        m_reports.append(report);
}
