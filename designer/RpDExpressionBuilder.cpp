#include "designer/RpDExpressionBuilder.h"

#include "designer/DataSources.h"
#include "designer/RpDesigner.h"
#include "preview/ReportVariables.h"
#include "report/generation/RunReport.h"
#include "store/DataSet.h"

QList<TDataSet *> RpReportDataSets::dataSets() const
{
    return m_engine ? rpAvailableDataSets(*m_engine) : QList<TDataSet *>();
}

QList<RpWizardField> RpReportDataSets::fields(TDataSet &dataSet) const
{
    QList<RpWizardField> list;
    if (!m_engine)
        return list;
    for (TField *field : rpListableFields(*m_engine, dataSet, false)) {
        QString text = field->FieldName();
        const QString label = field->DisplayLabel();
        if (!label.isEmpty() && label != field->FieldName())
            text += QStringLiteral("  (") + label + QLatin1Char(')');
        list.append({ field->FieldName(), text });
    }
    return list;
}

TRpDExpressionBuilder::TRpDExpressionBuilder(TRpDesigner &engine, RpVariableList *variables, QWidget *parent)
    : RpWizardWindow(
        RpWizardSettings::designer(), std::make_shared<RpReportDataSets>(engine), variables, parent)
    , m_engine(&engine)
{ }

TRpDesigner *TRpDExpressionBuilder::engine() const
{
    return m_engine;
}

RpWizardWindow *TRpDExpressionBuilder::createNested()
{
    if (!m_engine)
        return RpWizardWindow::createNested();
    return new TRpDExpressionBuilder(*m_engine, variables());
}

bool OpenDesignerExpressionWizard(const QString &heading, QString &expression, TRpDesigner &engine,
    RpVariableList *variables, QWidget *parentWizard)
{
    std::unique_ptr<RpReportVariables> own;
    if (!variables && engine.report()) {
        TCustomRpReport *report = engine.report();
        own = std::make_unique<RpReportVariables>(report, [report] { return IsReportRunning(*report); });
        variables = own.get();
    }
    const QPointer<TRpDExpressionBuilder> wizard = new TRpDExpressionBuilder(engine, variables);
    const bool ok = wizard->execute(heading, expression, parentWizard);
    delete wizard.data();
    return ok;
}
