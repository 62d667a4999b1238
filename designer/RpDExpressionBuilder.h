#pragma once

#include "preview/WizardWindow.h"

class TRpDesigner;

// The report's data as the designer's expression wizard offers it: the available tables (the "__" rule, the
// restricting lists) and their visible fields, each shown as its name and, when it has another label, two
// blanks and the label in parentheses; OnShowDatafield may hide a field.
class RpReportDataSets : public RpWizardDataSets
{
public:
    explicit RpReportDataSets(TRpDesigner &engine)
        : m_engine(&engine)
    { }
    QList<TDataSet *> dataSets() const override;
    QList<RpWizardField> fields(TDataSet &dataSet) const override;

private:
    QPointer<TRpDesigner> m_engine;
};

// The designer's "Expression Wizard": the wizard with the designer's settings (arguments joined by ", ",
// " not ", " and ", " or ", categories up to 7, floats in their shortest form) over the report's data and
// variables.
class TRpDExpressionBuilder : public RpWizardWindow
{
    Q_OBJECT

public:
    TRpDExpressionBuilder(TRpDesigner &engine, RpVariableList *variables, QWidget *parent = nullptr);

    TRpDesigner *engine() const;

protected:
    RpWizardWindow *createNested() override;

private:
    QPointer<TRpDesigner> m_engine;
};

// Opens the designer's wizard on the expression: inside `parentWizard` when given, otherwise modal. The
// variables are the given ones, or the report's own when none are given. True with the expression in one
// line; false with it emptied.
bool OpenDesignerExpressionWizard(const QString &heading, QString &expression, TRpDesigner &engine,
    RpVariableList *variables = nullptr, QWidget *parentWizard = nullptr);
