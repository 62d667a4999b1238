#pragma once

#include "preview/WizardCore.h"

#include <QPointer>
#include <functional>
#include <memory>

class TCustomRpReport;
class TRpEvEnvironment;

// A report's Functions as a variable list. Loop and strings bands find their variable by the band's name,
// and the report run writes PAGENUMBER, COLUMNNUMBER and REPORTTITLE by name: these names are owned and
// keep their names. Changes are refused while the report runs (`running`, when given, tells).
class RpReportVariables : public RpVariableList
{
public:
    explicit RpReportVariables(TCustomRpReport *report, std::function<bool()> running = {});
    ~RpReportVariables() override;

    TCustomRpReport *report() const { return m_report; }

    int count() const override;
    QString name(int index) const override;
    QString expression(int index) const override;
    bool prepared() const override;
    bool owned(const QString &name) const override;
    // An environment holding the report's variables as they are now (rebuilt whenever it is not prepared).
    TRpEvEnvironment &environment() override;

protected:
    void doAdd(const QString &name, const QString &expression) override;
    void doRename(int index, const QString &name) override;
    void doSetExpression(int index, const QString &expression) override;
    void doRemove(int index) override;

private:
    QPointer<TCustomRpReport> m_report;
    std::function<bool()> m_running;
    std::unique_ptr<TRpEvEnvironment> m_environment;
};
