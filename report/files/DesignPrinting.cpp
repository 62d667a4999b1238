#include "report/files/DesignClasses.h"

#include "platform/Exceptions.h"
#include "report/expressions/Evaluator.h"
#include "report/model/PrintRun.h"
#include "store/DataSet.h"
#include "store/Fields.h"

// How the design kinds print what only the designer sets on them.

void TRpDesignDBText::BeginPrintRun(RpPrintRun &run)
{
    TRpDBText::BeginPrintRun(run);
    m_printOptions = RpDataFieldOptions();
    m_printOptions.mapList = m_mapList;
    m_printOptions.suppressRepeatedValues = m_suppressRepeatedValues;
    m_printOptions.reprintOnNewPage = m_reprintOnNewPage;
    m_printOptions.blankIfZero = m_blankIfZero;
}

QString TRpDesignDBText::TextFromCaption()
{
    const QString text = TRpDBText::TextFromCaption();
    RpPrintRun *run = printRun();
    if (!run)
        return text;
    auto evaluate = [run](const QString &expression) {
        TRpEvaluator evaluator(run->Functions(), &run->DataSets());
        evaluator.Compile(expression);
        return evaluator.Compute();
    };
    return m_printOptions.apply(text, m_blankIfZero && fieldIsZero(), run->PageNumber(), evaluate);
}

bool TRpDesignDBText::fieldIsZero() const
{
    const auto *table = qobject_cast<const TDataSet *>(dataSet());
    if (!table || dataField().isEmpty())
        return false;
    try {
        const TField *field = table->LookupField(dataField());
        return field && !field->IsNullValue() && field->AsNumber() == 0;
    } catch (const Exception &) {
        return false; // a field that cannot be read as a number is no zero
    }
}

void ForgetRepeatedValuesOfGroup(const TRpGroup &group)
{
    QList<const TRpCustomBand *> bands;
    QObject *master = group.effectiveMaster();
    if (auto *report = qobject_cast<TCustomRpReport *>(master)) {
        for (const TRpCustomBand *band : report->bandList()) {
            if (band->bandType() == Rp::rbDetail && qobject_cast<const TRpBand *>(band))
                bands << band;
        }
    } else if (auto *band = qobject_cast<const TRpCustomBand *>(master)) {
        bands << band;
    }
    for (const TRpCustomBand *band : std::as_const(bands)) {
        for (TRpDesignDBText *field : band->findChildren<TRpDesignDBText *>(Qt::FindDirectChildrenOnly)) {
            if (field->reprintOnNewGroup())
                field->ForgetLastText();
        }
    }
}
