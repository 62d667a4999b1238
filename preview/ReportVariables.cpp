#include "preview/ReportVariables.h"

#include "report/expressions/Evaluator.h"
#include "report/model/Report.h"

RpReportVariables::RpReportVariables(TCustomRpReport *report, std::function<bool()> running)
    : m_report(report)
    , m_running(std::move(running))
    , m_environment(std::make_unique<TRpEvEnvironment>())
{ }

RpReportVariables::~RpReportVariables() = default;

int RpReportVariables::count() const
{
    return m_report ? int(m_report->functions()->entries().size()) : 0;
}

QString RpReportVariables::name(int index) const
{
    return m_report->functions()->entries().at(index).name;
}

QString RpReportVariables::expression(int index) const
{
    return m_report->functions()->entries().at(index).expression;
}

bool RpReportVariables::prepared() const
{
    return !m_report || (m_running && m_running());
}

bool RpReportVariables::owned(const QString &name) const
{
    static const QStringList kRunVariables
        = { QStringLiteral("PAGENUMBER"), QStringLiteral("COLUMNNUMBER"), QStringLiteral("REPORTTITLE") };
    if (kRunVariables.contains(name, Qt::CaseInsensitive))
        return true;
    if (!m_report)
        return false;
    const auto bands = m_report->findChildren<TRpControllerBand *>();
    for (const TRpControllerBand *band : bands) {
        const bool hasVariable
            = qobject_cast<const TRpLoopBand *>(band) || qobject_cast<const TRpStringsBand *>(band);
        if (hasVariable && band->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

TRpEvEnvironment &RpReportVariables::environment()
{
    if (!m_environment->Prepared()) {
        m_environment->Clear();
        for (int i = 0; i < count(); ++i)
            m_environment->AddNamedExpression(name(i), expression(i));
    }
    return *m_environment;
}

void RpReportVariables::doAdd(const QString &name, const QString &expression)
{
    m_report->functions()->addNamedExpression(name, expression);
}

void RpReportVariables::doRename(int index, const QString &name)
{
    m_report->functions()->renameNamedExpression(index, name);
}

void RpReportVariables::doSetExpression(int index, const QString &expression)
{
    m_report->functions()->addNamedExpression(name(index), expression);
}

void RpReportVariables::doRemove(int index)
{
    m_report->functions()->removeNamedExpression(name(index));
}
