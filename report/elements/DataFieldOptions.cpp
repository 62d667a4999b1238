#include "report/elements/DataFieldOptions.h"

#include "report/expressions/EvaluatorValue.h"

namespace {

constexpr QStringView kExpressionMark = u"%%";

bool isMappedExpression(const QString &text)
{
    return text.size() > 2 * kExpressionMark.size() && text.startsWith(kExpressionMark)
        && text.endsWith(kExpressionMark);
}

} // namespace

QString RpDataFieldOptions::mapValue(
    const QStringList &mapList, const QString &text, const Evaluate &evaluate)
{
    for (const QString &line : mapList) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab < 0 || QStringView(line).mid(tab + 1) != text)
            continue;
        const QString displayed = line.left(tab);
        if (!isMappedExpression(displayed) || !evaluate)
            return displayed;
        const TRpEvValue value
            = evaluate(displayed.mid(kExpressionMark.size(), displayed.size() - 2 * kExpressionMark.size()));
        switch (value.Kind()) {
        case evString:
            return value.Text();
        case evInteger:
            return QString::number(value.AsInteger());
        default:
            return QString();
        }
    }
    return text;
}

QString RpDataFieldOptions::apply(
    const QString &text, bool valueIsZero, int pageNumber, const Evaluate &evaluate)
{
    QString result = mapValue(mapList, text, evaluate);
    if (suppressRepeatedValues) {
        if (!m_hasLast || result != m_lastText) {
            m_hasLast = true;
            m_lastText = result;
        } else if (!reprintOnNewPage || pageNumber == m_lastPage) {
            result.clear();
        }
        m_lastPage = pageNumber;
    }
    if (blankIfZero && valueIsZero)
        result.clear();
    return result;
}

void RpDataFieldOptions::forgetLastText()
{
    m_hasLast = false;
    m_lastText.clear();
}
