#include "preview/RpExpressionBuilder.h"

TRpExpressionBuilder::TRpExpressionBuilder(QWidget *datasetForm, RpVariableList *environment, QWidget *parent)
    : RpWizardWindow(
        RpWizardSettings::engine(), std::make_shared<RpFormDataSets>(datasetForm), environment, parent)
    , m_datasetForm(datasetForm)
{ }

RpWizardWindow *TRpExpressionBuilder::createNested()
{
    return new TRpExpressionBuilder(m_datasetForm, variables());
}

bool OpenExpressionWizard(const QString &heading, QString &expression, QWidget *datasetForm,
    RpVariableList *environment, QWidget *parent)
{
    // On the heap: a parent that is destroyed while the wizard runs inside it takes the wizard along.
    const QPointer<TRpExpressionBuilder> wizard = new TRpExpressionBuilder(datasetForm, environment);
    const bool ok = wizard->execute(heading, expression, parent);
    delete wizard.data();
    return ok;
}

bool OpenExpressionWizard(const QString &heading, QString &expression, QWidget *datasetForm,
    TRpEvEnvironment *environment, QWidget *parent)
{
    if (!environment)
        return OpenExpressionWizard(
            heading, expression, datasetForm, static_cast<RpVariableList *>(nullptr), parent);
    RpEnvironmentVariables variables(*environment);
    return OpenExpressionWizard(heading, expression, datasetForm, &variables, parent);
}
