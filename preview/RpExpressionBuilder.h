#pragma once

#include "preview/WizardWindow.h"

class TRpEvEnvironment;

// The report engine's expression wizard: the wizard with the engine's settings (arguments joined by ",",
// "Not", "And" and "Or" capitalised, every function under "All"), offering the data sets of a form and of
// the application's data modules with every field by its name.
class TRpExpressionBuilder : public RpWizardWindow
{
    Q_OBJECT

public:
    TRpExpressionBuilder(QWidget *datasetForm, RpVariableList *environment, QWidget *parent = nullptr);

    QWidget *datasetForm() const { return m_datasetForm; }

protected:
    RpWizardWindow *createNested() override;

private:
    QPointer<QWidget> m_datasetForm;
};

// Opens the engine's wizard on the expression: inside `parent` when one is given, otherwise modal. True
// with the edited expression in one line; false with the expression emptied.
bool OpenExpressionWizard(const QString &heading, QString &expression, QWidget *datasetForm,
    RpVariableList *environment, QWidget *parent);
bool OpenExpressionWizard(const QString &heading, QString &expression, QWidget *datasetForm,
    TRpEvEnvironment *environment, QWidget *parent);
